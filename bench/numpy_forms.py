"""numpy writers of the bytes `export_forms DIR` wrote: the same 10 million samples scaled onto
12-bit words (16-bit PCM in a WAV file, written by python3-soundfile) in every word form,
vectorised, best of five, each checked byte for byte against Tarvelin's file (a WAV file's
samples only: the headers' chunks differ). Prints both times and their ratio."""
import os
import sys

import numpy as np
import soundfile

from best_of import best_of

HEX = np.frombuffer(b"0123456789ABCDEF", np.uint8)


def words(y, top):
    lo, hi = y.min(), y.max()
    return np.floor((y - lo) * (top / (hi - lo)) + 0.5).astype(np.int64)


TABLES = {}


def digits(w, count, base):
    """The digits of every word, gathered from a table of all the values they can take."""
    if (count, base) not in TABLES:
        shift, mask = (4, 15) if base == 16 else (1, 1)
        every = np.arange(base ** count, dtype=np.int64)
        table = np.empty((len(every), count), np.uint8)
        for d in range(count):
            table[:, d] = HEX[(every >> ((count - 1 - d) * shift)) & mask]
        TABLES[(count, base)] = table
    return TABLES[(count, base)][w]


def lines(tokens, per, sep, eol, indent=b""):
    """Each token followed by `sep`, the last of a line by `eol` (as long), lines indented."""
    n, k = tokens.shape
    s = len(sep)
    cells = np.empty((n, k + s), np.uint8)
    cells[:, :k] = tokens
    cells[:, k:] = np.frombuffer(sep, np.uint8)
    cells[per - 1::per, k:] = np.frombuffer(eol, np.uint8)
    cells[-1, k:] = np.frombuffer(eol, np.uint8)
    full = n // per * per
    body = cells[:full].reshape(-1, per * (k + s))
    if indent:
        body = np.hstack([np.broadcast_to(np.frombuffer(indent, np.uint8), (len(body), len(indent))),
                          body])
    rest = (indent + cells[full:].tobytes()) if full < n else b""
    return body.tobytes() + rest


def mem(y, base):
    w = words(y, 4095)
    return b"// Table: %d words of 12 bits, unsigned, scaled\n" % len(y) + lines(
        digits(w, 3 if base == 16 else 12, base), 8, b" ", b"\n")


def coe(y):
    w = words(y, 4095)
    tokens = np.empty((len(w), 4), np.uint8)
    tokens[:, :3] = digits(w, 3, 16)
    tokens[:, 3] = ord(",")
    tokens[-1, 3] = ord(";")
    return (b"; Table: %d words of 12 bits, unsigned, scaled\nmemory_initialization_radix=16;\n"
            b"memory_initialization_vector=\n" % len(y)) + lines(tokens, 8, b" ", b"\n")


def mif(y):
    w = words(y, 4095)
    n = len(w)
    parts = [b"-- Table: %d words of 12 bits, unsigned, scaled\nWIDTH=12;\nDEPTH=%d;\n"
             b"ADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n" % (n, n)]
    low = 0
    for width in range(1, 11):  # the addresses of each number of digits: lines of one length
        high = min(n, 10 ** width)
        if low >= high:
            continue
        a = np.arange(low, high, dtype=np.int64)
        line = np.empty((high - low, width + 9), np.uint8)
        line[:, 0] = ord("\t")
        for d in range(width):
            line[:, 1 + d] = HEX[(a // 10 ** (width - 1 - d)) % 10]
        line[:, width + 1:width + 4] = np.frombuffer(b" : ", np.uint8)
        line[:, width + 4:width + 7] = digits(w[low:high], 3, 16)
        line[:, width + 7:] = np.frombuffer(b";\n", np.uint8)
        parts.append(line.tobytes())
        low = high
    return b"".join(parts) + b"END;\n"


def vhdl(y):
    w = words(y, 4095)
    n = len(w)
    tokens = np.empty((n, 6), np.uint8)
    tokens[:, :2] = np.frombuffer(b'x"', np.uint8)
    tokens[:, 2:5] = digits(w, 3, 16)
    tokens[:, 5] = ord('"')
    body = lines(tokens, 8, b", ", b",\n", b"        ")
    return (b"-- Table: %d words of 12 bits, unsigned, scaled\nlibrary ieee;\n"
            b"use ieee.std_logic_1164.all;\n\npackage Table_pkg is\n"
            b"    type Table_t is array (0 to %d) of std_logic_vector(11 downto 0);\n"
            b"    constant Table : Table_t := (\n" % (n, n - 1)) + body[:-2] + \
        b"\n    );\nend package Table_pkg;\n"


def ihex(y):
    image = words(y, 4095).astype("<u2").view(np.uint8)
    records = len(image) // 16  # 10 M words: whole records
    data = image[:records * 16].reshape(records, 16).astype(np.int64)
    address = np.arange(records, dtype=np.int64) * 16
    line = np.empty((records, 44), np.uint8)
    line[:, 0] = ord(":")
    line[:, 1:3] = np.frombuffer(b"10", np.uint8)
    line[:, 3:7] = digits(address & 0xFFFF, 4, 16)
    line[:, 7:9] = np.frombuffer(b"00", np.uint8)
    line[:, 9:41] = digits(data, 2, 16).reshape(records, 32)
    total = 16 + (address >> 8 & 0xFF) + (address & 0xFF) + data.sum(axis=1)
    line[:, 41:43] = digits((0x100 - (total & 0xFF)) & 0xFF, 2, 16)
    line[:, 43] = ord("\n")
    parts = []
    per = 0x10000 // 16  # records of one 64 KiB segment, each after its extended address
    for segment in range(0, records, per):
        upper = segment // per
        if upper:
            check = (0x100 - ((2 + 4 + (upper >> 8) + (upper & 0xFF)) & 0xFF)) & 0xFF
            parts.append(b":02000004%04X%02X\n" % (upper, check))
        parts.append(line[segment:segment + per].tobytes())
    return b"".join(parts) + b":00000001FF\n"


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)


def main():
    folder = sys.argv[1]
    # The writers' times first: the end of them is when the samples' file is whole.
    ours = dict(line.split() for line in sys.stdin.read().splitlines())
    y = np.fromfile(os.path.join(folder, "samples.f64"))
    out = os.path.join(folder, "numpy.out")
    forms = {
        "bin": lambda: words(y, 4095).astype("<u2").tofile(out),
        "wav": lambda: soundfile.write(out, (words(y, 65535) - 32768).astype("<i2"), 44100,
                                       subtype="PCM_16", format="WAV"),
        "mem": lambda: write(out, mem(y, 16)),
        "memb": lambda: write(out, mem(y, 2)),
        "coe": lambda: write(out, coe(y)),
        "mif": lambda: write(out, mif(y)),
        "ihex": lambda: write(out, ihex(y)),
        "vhdl": lambda: write(out, vhdl(y)),
    }
    print(f"{'form':6} {'Tarvelin':>10} {'numpy':>10} {'ratio':>6}   (ms, best of 5, 10 M samples)")
    for name, writer in forms.items():
        seconds = best_of(5, writer) * 1000
        with open(out, "rb") as f:
            theirs = f.read()
        with open(os.path.join(folder, "tarvelin." + name), "rb") as f:
            mine = f.read()
        same = mine[-2 * len(y):] == theirs[-2 * len(y):] if name == "wav" else mine == theirs
        print(f"{name:6} {float(ours[name]):10.1f} {seconds:10.1f} "
              f"{float(ours[name]) / seconds:6.2f}   {'same bytes' if same else 'BYTES DIFFER'}")
    os.remove(out)


if __name__ == "__main__":
    main()
