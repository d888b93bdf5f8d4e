#!/usr/bin/env python3
"""Checks `tarvelin-table bank` against tools that never saw its code: replicas of other
tools' bank layouts written here with struct and numpy are read, and every bank it writes is
read back by python3-soundfile, Python's wave module, sndfile-info and exiftool.

Usage: bank_reference.py TARVELIN_TABLE WORKDIR
       bank_reference.py --corpus DIR   (writes the malformed files, for the fuzzer's seeds)
"""
import json
import os
import struct
import subprocess
import sys
import wave

import numpy as np

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def chunk(cid, body):
    data = cid + struct.pack("<I", len(body)) + body
    return data + (b"\0" if len(body) % 2 else b"")


def riff(chunks, size_extra=0):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body) + size_extra) + body


def fmt_float(rate=44100):
    return chunk(b"fmt ", struct.pack("<HHIIHHH", 3, 1, rate, rate * 4, 4, 32, 0))


def fmt_pcm16(rate=44100, byte_rate=None, align=2):
    return chunk(b"fmt ", struct.pack("<HHIIHH", 1, 1, rate, byte_rate or rate * 2, align, 16))


def bank_values(frames, n, seed):
    """Frames that differ from each other, within -1..1."""
    rng = np.random.default_rng(seed)
    x = np.arange(n) / n
    return np.concatenate([np.sin(2 * np.pi * (k + 1) * x + rng.uniform(0, 6)) * rng.uniform(0.2, 0.9)
                           for k in range(frames)])


def pcm16(y):
    return np.clip(np.round(y * 32768), -32768, 32767).astype("<i2")


def replicas():
    """Peers' layouts: name -> (bytes, frames, samples, frame_size_from, values)."""
    out = {}
    y = bank_values(4, 2048, 1)
    data = y.astype("<f4")
    out["serum.wav"] = (riff([fmt_float(), chunk(b"fact", struct.pack("<I", y.size)),
                              chunk(b"clm ", b"<!>2048 01000000 wavetable (www.xferrecords.com)"),
                              chunk(b"data", data.tobytes())]), 4, 2048, "clm", data.astype(float))
    y = bank_values(3, 2048, 2)
    data = pcm16(y)
    out["vital.wav"] = (riff([fmt_pcm16(88200), chunk(b"clm ", b"<!>2048 20000000 wavetable (vital.audio)"),
                              chunk(b"data", data.tobytes())]), 3, 2048, "clm", data / 32768.0)
    # Surge's own export: the RIFF size 2 bytes too large, the byte rate 8 times too large.
    y = bank_values(2, 1024, 3)
    data = pcm16(y)
    out["surge-quirks.wav"] = (riff([fmt_pcm16(44100, 44100 * 2 * 8, 2),
                                     chunk(b"srge", struct.pack("<II", 1, 1024)),
                                     chunk(b"data", data.tobytes())], size_extra=2),
                               2, 1024, "srge", data / 32768.0)
    y = bank_values(5, 512, 4)
    data = y.astype("<f4")
    out["uhe.wav"] = (riff([fmt_float(), chunk(b"uhWT", struct.pack("<III", 0, 5, 512)),
                            chunk(b"data", data.tobytes())]), 5, 512, "uhWT", data.astype(float))
    # Cue points at every frame's start.
    y = bank_values(4, 256, 5)
    data = pcm16(y)
    cues = struct.pack("<I", 4) + b"".join(struct.pack("<II4sIII", k, k * 256, b"data", 0, 0, k * 256)
                                           for k in range(4))
    out["cues.wav"] = (riff([fmt_pcm16(), chunk(b"cue ", cues), chunk(b"data", data.tobytes())]),
                       4, 256, "cue", data / 32768.0)
    # One smpl loop over the first frame; a smpl chunk with no loop means 2048.
    def smpl(loops):
        body = struct.pack("<9I", 0, 0, 22675, 60, 0, 0, 0, len(loops), 0)
        return chunk(b"smpl", body + b"".join(struct.pack("<6I", 0, 0, s, e, 0, 0) for s, e in loops))
    y = bank_values(3, 600, 6)
    data = pcm16(y)
    out["smpl-loop.wav"] = (riff([fmt_pcm16(), smpl([(0, 599)]), chunk(b"data", data.tobytes())]),
                            3, 600, "smpl", data / 32768.0)
    y = bank_values(2, 2048, 7)
    data = pcm16(y)
    out["smpl-none.wav"] = (riff([fmt_pcm16(), smpl([]), chunk(b"data", data.tobytes())]),
                            2, 2048, "smpl", data / 32768.0)
    # WaveEdit: 64 x 256 raw after a 44-byte header, nothing to say the frame size.
    y = bank_values(64, 256, 8)
    data = pcm16(y)
    out["waveedit.wav"] = (riff([fmt_pcm16(), chunk(b"data", data.tobytes())]), 64, 256, "guess",
                           data / 32768.0)
    # Surge/Bitwig .wt: int16 divided by 16384 (flag 4), and float.
    y = bank_values(3, 256, 9) * 0.5
    data = np.round(y * 16384).astype("<i2")
    out["int16.wt"] = (b"vawt" + struct.pack("<IHH", 256, 3, 4) + data.tobytes(), 3, 256, "wt",
                       data / 16384.0)
    y = bank_values(2, 128, 10)
    data = y.astype("<f4")
    out["float.wt"] = (b"vawt" + struct.pack("<IHH", 128, 2, 0x10) + data.tobytes() + b"<xml/>\0",
                       2, 128, "wt", data.astype(float))
    return out


def malformed():
    """name -> (bytes, words the message must hold)."""
    d = pcm16(bank_values(2, 256, 11)).tobytes()
    clm = lambda text: riff([fmt_pcm16(), chunk(b"clm ", text), chunk(b"data", d)])
    return {
        "clm-no-digits.wav": (clm(b"<!> 01000000 x"), "no frame size"),
        "clm-zero.wav": (clm(b"<!>0 01000000 x"), "frame size of 0"),
        "clm-five-digits.wav": (clm(b"<!>20480 01000000 x"), "four digits"),
        "odd-chunk-no-pad.wav": (b"RIFF" + struct.pack("<I", 4 + 24 + 8 + 3 + 8 + len(d)) + b"WAVE" +
                                 fmt_pcm16() + b"junk" + struct.pack("<I", 3) + b"abc" +
                                 b"data" + struct.pack("<I", len(d)) + d, "pad byte"),
        "chunk-past-end.wav": (riff([fmt_pcm16(), b"data" + struct.pack("<I", len(d) + 100) + d]),
                               "past the end"),
        "riff-beyond-file.wav": (riff([fmt_pcm16(), chunk(b"data", d)], size_extra=1000), "cut short"),
        "not-whole-frames.wav": (riff([fmt_pcm16(), chunk(b"srge", struct.pack("<II", 1, 300)),
                                       chunk(b"data", d)]), "no whole number"),
        "srge-version.wav": (riff([fmt_pcm16(), chunk(b"srge", struct.pack("<II", 2, 256)),
                                   chunk(b"data", d)]), "version 2"),
        "wt-no-frames.wt": (b"vawt" + struct.pack("<IHH", 256, 0, 0), "0 frames"),
        "wt-not-power.wt": (b"vawt" + struct.pack("<IHH", 300, 1, 0) + bytes(1200), "power of two"),
        "wt-cut.wt": (b"vawt" + struct.pack("<IHH", 256, 2, 0) + bytes(1000), "cut short"),
        "csv-ragged.csv": (b"1,2,3\n# a comment\n\n4,5\n", "Line 4"),
    }


def run(*args, ok=True):
    r = subprocess.run([table, "bank", *args], capture_output=True, text=True)
    if ok and r.returncode != 0:
        failures.append(f"{' '.join(args)}: exit {r.returncode}: {r.stderr.strip()}")
    return r


def info(path, *options):
    r = run("info", "--json", *options, path)
    return json.loads(r.stdout) if r.returncode == 0 else {}


def values_of(path, *options):
    """The bank as tarvelin reads it, through its own text form."""
    csv = path + ".read.csv"
    run("convert", *options, path, "-o", csv)
    return np.loadtxt(csv, delimiter=",", ndmin=2)


def check_replicas():
    for name, (data, frames, samples, source, values) in replicas().items():
        path = os.path.join(work, name)
        open(path, "wb").write(data)
        got = info(path)
        check(got.get("frames") == frames and got.get("samples") == samples and
              got.get("frame_size_from") == source, f"{name}: read as {got}")
        if got:
            read = values_of(path)
            check(read.shape == (frames, samples) and
                  np.array_equal(read.ravel(), values), f"{name}: the values differ")


def check_interpolation_kept():
    """A Serum file's interpolation flag is written again as it came, unless told another."""
    source = os.path.join(work, "serum.wav")
    for options, flag in (([], b"0"), (["--interp", "spectral"], b"2")):
        out = os.path.join(work, "kept-%s.wav" % flag.decode())
        run("convert", *options, source, "-o", out)
        if os.path.exists(out):
            blob = open(out, "rb").read()
            clm = blob[blob.index(b"clm ") + 8:][:38]
            check(clm.startswith(b"<!>2048 " + flag), f"{options}: clm {clm}")


def check_writers():
    y = bank_values(4, 2048, 12)
    source = os.path.join(work, "source.csv")
    np.savetxt(source, y.reshape(4, 2048), delimiter=",", fmt="%.17g")
    cases = [("serum-float.wav", ["--to", "serum"], 4, 2048, "float"),
             ("serum-pcm16.wav", ["--to", "serum", "--sample-format", "pcm16", "--interp", "spectral"], 4, 2048, "pcm16"),
             ("modwave.wav", ["--to", "modwave"], 4, 2048, "float"),
             ("waveedit.wav", ["--to", "waveedit"], 64, 256, "pcm16"),  # resampled to 256
             ("behringer.wav", ["--to", "64x128", "--samples", "128"], 64, 128, "pcm16"),
             ("bank.wt", [], 4, 2048, "float"),
             ("bank16.wt", ["--sample-format", "pcm16"], 4, 2048, "pcm16"),
             ("bank.csv", [], 4, 2048, "text")]
    for name, options, frames, samples, form in cases:
        path = os.path.join(work, name)
        run("convert", source, *options, "-o", path)
        if not os.path.exists(path):
            continue
        # An untagged 64 x 128 reads as frames of 2048 unless told.
        read = values_of(path, *(["--frame-size", "128"] if samples == 128 else []))
        check(read.shape == (frames, samples), f"{name}: read back as {read.shape}")
        if samples == 2048 and read.shape == (frames, samples):
            want = y.reshape(4, 2048)
            if form == "float":
                check(np.array_equal(read, want.astype(np.float32).astype(float)), f"{name}: float32 round trip")
            elif form == "pcm16":
                check(np.abs(read - want).max() <= 1 / 32768, f"{name}: more than 1 LSB off")
            else:
                check(np.array_equal(read, want), f"{name}: text round trip not exact")
        if not name.endswith(".wav"):
            continue
        blob = open(path, "rb").read()
        # sndfile-info finds no header inconsistency.
        log = subprocess.run(["sndfile-info", path], capture_output=True, text=True).stdout
        check("should be" not in log, f"{name}: sndfile-info: {log}")
        # soundfile and numpy give the frames.
        import soundfile
        sf_data, rate = soundfile.read(path, dtype="float64")
        check(sf_data.size == frames * samples and rate == 44100, f"{name}: soundfile reads {sf_data.shape}")
        if form == "pcm16":
            with wave.open(path) as w:  # Python's wave reads the PCM ones
                check(w.getnframes() == frames * samples and w.getsampwidth() == 2, f"{name}: wave module")
        # exiftool lists the chunks: every one of even length, the frame-size ones before data.
        dump = subprocess.run(["exiftool", "-v3", path], capture_output=True, text=True).stdout
        listed = [(line[6:10].encode(), int(line.split("(")[1].split()[0]))
                  for line in dump.splitlines() if line.startswith("RIFF '")]
        ids = [cid for cid, _ in listed]
        check(all(size % 2 == 0 for _, size in listed) and ids and ids[-1] == b"data" and
              12 + sum(8 + size for _, size in listed) == len(blob), f"{name}: exiftool lists {listed}")
        if name.startswith("waveedit") or name.startswith("behringer"):
            check(len(blob) == 44 + 2 * frames * samples, f"{name}: not a 44-byte header")
        elif name.startswith("serum") or name.startswith("modwave"):
            check(b"clm " in ids and b"srge" in ids, f"{name}: chunks {ids}")
            clm = blob[blob.index(b"clm ") + 8:][:38]
            flag = b"2" if "spectral" in options else b"1"
            check(clm == b"<!>2048 " + flag + b"0000000 wavetable (Tarvelin)\0", f"{name}: clm {clm}")


def check_malformed():
    for name, (data, words) in malformed().items():
        path = os.path.join(work, name)
        open(path, "wb").write(data)
        r = run("info", path, ok=False)
        check(r.returncode == 1 and words in r.stderr, f"{name}: exit {r.returncode}: {r.stderr.strip()}")


def check_tables():
    """A C [F][N] table compiled, and a flat .mem read by Icarus Verilog."""
    y = bank_values(3, 64, 13)
    source = os.path.join(work, "small.csv")
    np.savetxt(source, y.reshape(3, 64), delimiter=",", fmt="%.17g")
    header = os.path.join(work, "bank.h")
    run("export", "--type", "int16", "--scale", "-1:1:full", source, "-o", header)
    program = os.path.join(work, "bank_print.c")
    open(program, "w").write('#include <stdio.h>\n#include "bank.h"\nint main(void){for(int k=0;k<3;++k)'
                             'for(int i=0;i<64;++i)printf("%d\\n",Table[k][i]);return 0;}\n')
    exe = os.path.join(work, "bank_print")
    built = subprocess.run(["cc", "-Wall", "-Werror", "-std=c99", "-I", work, program, "-o", exe],
                           capture_output=True, text=True)
    check(built.returncode == 0, f"bank.h does not compile: {built.stderr}")
    want = np.clip(np.round(-32768 + (y + 1) / 2 * 65535 + 1e-9 * np.sign(y)), -32768, 32767)
    if built.returncode == 0:
        got = np.array(subprocess.run([exe], capture_output=True, text=True).stdout.split(), dtype=float)
        check(got.size == y.size and np.abs(got - want).max() <= 1, "bank.h holds other values")
    mem = os.path.join(work, "bank.mem")
    run("export", "--format", "mem", "--width", "12", "--scale", "-1:1:0:4095", "--layout", "flat", source, "-o", mem)
    tb = os.path.join(work, "bank_tb.v")
    open(tb, "w").write('module t; reg [11:0] m[0:191]; integer i; initial begin $readmemh("%s", m);'
                        ' for (i = 0; i < 192; i = i + 1) $display("%%0d", m[i]); end endmodule\n' % mem)
    vvp = os.path.join(work, "bank_tb.vvp")
    if subprocess.run(["iverilog", "-o", vvp, tb]).returncode == 0:
        words = np.array(subprocess.run(["vvp", "-n", vvp], capture_output=True, text=True).stdout.split(),
                         dtype=float)
        check(words.size == 192 and np.abs(words - np.round(y * 2047.5 + 2047.5)).max() <= 1,
              "the .mem words are not frame k's sample i at k x N + i")


def check_split_join():
    y = bank_values(3, 32, 14)
    source = os.path.join(work, "sj.csv")
    np.savetxt(source, y.reshape(3, 32), delimiter=",", fmt="%.17g")
    folder = os.path.join(work, "frames")
    run("split", source, "--dir", folder)
    parts = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    check(parts == ["sj-0.txt", "sj-1.txt", "sj-2.txt"], f"split made {parts}")
    joined = os.path.join(work, "joined.csv")
    run("join", *[os.path.join(folder, p) for p in parts], "-o", joined)
    if os.path.exists(joined):
        check(np.abs(np.loadtxt(joined, delimiter=",") - y.reshape(3, 32)).max() <= 5e-7,
              "split then join does not give the bank back")


def spectral_morph(a, b, t):
    """The spectral morph's formulas in numpy: sqrt-magnitude and shortest-arc phase per bin,
    DC and Nyquist as real values."""
    if t <= 0 or t >= 1:
        return a if t <= 0 else b
    x, y = np.fft.rfft(a), np.fft.rfft(b)
    root = (1 - t) * np.sqrt(np.abs(x)) + t * np.sqrt(np.abs(y))
    turn = np.remainder(np.angle(y) - np.angle(x) + np.pi, 2 * np.pi) - np.pi
    z = root ** 2 * np.exp(1j * (np.angle(x) + t * turn))
    z[0] = (1 - t) * x[0] + t * y[0]
    if len(a) % 2 == 0:
        z[-1] = (1 - t) * x[-1] + t * y[-1]
    return np.fft.irfft(z, len(a))


def write_values(path, y):
    open(path, "w").write("".join("%.17g\n" % v for v in y))


def check_morph():
    rng = np.random.default_rng(15)
    n = 256
    a, b = rng.uniform(-1, 1, n), rng.uniform(-1, 1, n)
    write_values(os.path.join(work, "a.txt"), a)
    write_values(os.path.join(work, "b.txt"), b)
    for method in ("spectral", "linear"):
        out = os.path.join(work, "morph-%s.csv" % method)
        run("morph", "--frames", "10", "--method", method, os.path.join(work, "a.txt"),
            os.path.join(work, "b.txt"), "-o", out)
        if not os.path.exists(out):
            continue
        got = np.loadtxt(out, delimiter=",")
        check(got.shape == (10, n) and np.array_equal(got[0], a) and np.array_equal(got[-1], b),
              f"{method} morph: ends not exact")
        for k in range(1, 9):
            t = k / 9
            want = spectral_morph(a, b, t) if method == "spectral" else (1 - t) * a + t * b
            check(np.all(np.isfinite(got[k])) and np.abs(got[k] - want).max() <= 1e-12,
                  f"{method} morph frame {k}: {np.abs(got[k] - want).max()} from numpy")
    # Two sines of different phase: the spectral morph keeps their level, the linear one dips.
    x = np.arange(n) / n
    write_values(os.path.join(work, "s0.txt"), np.sin(2 * np.pi * x))
    write_values(os.path.join(work, "s1.txt"), np.sin(2 * np.pi * x + 2.5))
    rms = {}
    for method in ("spectral", "linear"):
        out = os.path.join(work, "sines-%s.csv" % method)
        run("morph", "--frames", "3", "--method", method, os.path.join(work, "s0.txt"),
            os.path.join(work, "s1.txt"), "-o", out)
        if os.path.exists(out):
            rms[method] = np.sqrt(np.mean(np.loadtxt(out, delimiter=",")[1] ** 2))
    check(abs(rms.get("spectral", 0) - np.sqrt(0.5)) < 1e-9 and rms.get("linear", 1) < 0.25,
          f"the middle of two sines: rms {rms}")
    # Identical ends give identical frames.
    out = os.path.join(work, "same.csv")
    run("morph", "--frames", "5", os.path.join(work, "a.txt"), os.path.join(work, "a.txt"), "-o", out)
    if os.path.exists(out):
        check(np.abs(np.loadtxt(out, delimiter=",") - a).max() <= 1e-12, "a morph of A to A is not A")


def check_mipmaps():
    rng = np.random.default_rng(16)
    n = 2048
    y = rng.uniform(-1, 1, (2, n))
    source = os.path.join(work, "mip-source.csv")
    np.savetxt(source, y, delimiter=",", fmt="%.17g")
    out = os.path.join(work, "mips.csv")
    run("mipmaps", "--levels", "6", source, "-o", out)
    if os.path.exists(out):
        levels = np.loadtxt(out, delimiter=",")
        check(levels.shape == (12, n), f"mipmaps: {levels.shape}")
        for f in range(2):
            x = np.fft.rfft(y[f])
            for k in range(6):
                cut = n >> (k + 1)
                z = np.fft.rfft(levels[f * 6 + k])
                check(np.abs(z[:cut] - x[:cut]).max() <= 1e-9 and np.abs(z[cut:]).max() <= 1e-9,
                      f"mipmap frame {f} level {k}: not the source below {cut} and nothing above")
    header = os.path.join(work, "mips.h")
    run("mipmaps", "--levels", "4", "--halve", source, "-o", header)
    if os.path.exists(header):
        text = open(header).read()
        check("level 3: harmonics 0 to 127, 256 samples" in text and "Mipmaps_F1_L3[256]" in text,
              "the halved C table does not name its levels")


if sys.argv[1] == "--corpus":
    for name, (data, _) in malformed().items():
        open(os.path.join(sys.argv[2], name), "wb").write(data)
    for name, (data, *_) in replicas().items():
        if len(data) < 20000:
            open(os.path.join(sys.argv[2], name), "wb").write(data)
    sys.exit(0)

table, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
check_replicas()
check_interpolation_kept()
check_writers()
check_malformed()
check_tables()
check_split_join()
check_morph()
check_mipmaps()
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
