#!/usr/bin/env python3
"""Checks every figure of `tarvelin-table analyse` against numpy on the same samples.

Usage: analyse_reference.py TARVELIN_TABLE WORKDIR
"""
import json
import subprocess
import sys

import numpy as np

np.seterr(divide="ignore", invalid="ignore")

table, work = sys.argv[1], sys.argv[2]
rng = np.random.default_rng(20261208)
failures = []


ABSOLUTE = ("dc", "rms", "rms_ac", "peak", "fundamental", "seam", "max_step")


def figures(y):
    """The figures as numpy computes them from their definitions, on the samples scaled by
    their peak (so that 1e160 and 1e-170 square within the doubles), then scaled back."""
    scale = np.abs(y).max() or 1.0
    f, amp, phase = unscaled_figures(y / scale)
    for key in ABSOLUTE:
        f[key] *= scale
    return f, amp * scale, phase


def unscaled_figures(y):
    n = len(y)
    x = np.fft.rfft(y)
    amp = np.abs(x) * 2 / n
    amp[0] /= 2
    if n % 2 == 0:
        amp[-1] /= 2
    power = amp ** 2 / 2
    if n % 2 == 0:
        power[-1] = amp[-1] ** 2
    f = {"dc": y.mean(), "rms": np.sqrt(np.mean(y ** 2)), "peak": np.abs(y).max(),
         "seam": abs(y[0] - y[-1]), "max_step": np.abs(np.diff(y)).max() if n > 1 else 0.0}
    f["rms_ac"] = np.sqrt(np.mean((y - y.mean()) ** 2))
    f["crest"] = np.abs(y - y.mean()).max() / f["rms_ac"]
    k1 = 1 + int(np.argmax(amp[1:]))
    f["fundamental_harmonic"] = k1
    f["fundamental"] = amp[k1]
    f["phase_deg"] = np.degrees(np.angle(x[k1]))
    ks = np.arange(len(amp))
    # Harmonics 2..10 of k1, those above n/2 folded back as IEEE 1241 folds them.
    folded = {min((m * k1) % n, n - (m * k1) % n) for m in range(2, 11)} - {0, k1}
    harm = np.isin(ks, sorted(folded))
    rest = (ks >= 1) & (ks != k1)
    h, noise = power[harm].sum(), power[rest & ~harm].sum()
    s = power[k1]
    f["thd_percent"] = 100 * np.sqrt(h / s)
    f["thd_db"] = 20 * np.log10(np.sqrt(h / s))
    f["sinad_db"] = 10 * np.log10(s / (h + noise))
    f["snr_db"] = 10 * np.log10(s / noise)
    f["sfdr_db"] = 20 * np.log10(amp[k1] / amp[rest].max())
    return f, amp, np.degrees(np.angle(x))


def run(path, *options):
    out = subprocess.run([table, "analyse", "--json", *options, path], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)


def compare(name, got, want, scale=1.0):
    for key, value in want.items():
        g = got[key]
        if not np.isfinite(value):  # JSON has no infinity: null stands for it
            if g is not None:
                failures.append(f"{name}: {key} is {g}, numpy gives {value}")
            continue
        # Figures in the samples' units are as exact as the samples' scale allows.
        tolerance = 1e-6 * max(abs(value), scale if key in ABSOLUTE else 1.0)
        if key.endswith("_db") or key == "phase_deg" or key == "thd_percent":
            tolerance = 1e-5 * max(1.0, abs(value))
        if g is None or abs(g - value) > tolerance:
            failures.append(f"{name}: {key} is {g}, numpy gives {value}")


cases = {
    "sine 256": np.sin(2 * np.pi * np.arange(256) / 256) + 0.01 * rng.standard_normal(256),
    "odd count 1001": np.cos(2 * np.pi * 3 * np.arange(1001) / 1001 + 0.3)
    + 0.1 * rng.standard_normal(1001),
    "saw 64": np.linspace(-1, 1, 64, endpoint=False) + 0.25,
    "noise 4096": rng.uniform(-3, 5, 4096),
    "eight 8": rng.uniform(-1, 1, 8),
    # A 7th harmonic of a 100-cycle table lies above n/2 and folds back.
    "folded 1024": np.sin(2 * np.pi * 100 * np.arange(1024) / 1024)
    + 0.01 * np.sin(2 * np.pi * 700 * np.arange(1024) / 1024),
    "unsigned sine 512": 2048 + 2047 * np.sin(2 * np.pi * np.arange(512) / 512),
    "huge 256": 1e160 * (np.sin(2 * np.pi * np.arange(256) / 256 + 0.1)
                         + 0.01 * rng.standard_normal(256)),
    "tiny 256": 1e-170 * (np.sin(2 * np.pi * np.arange(256) / 256 + 0.1) + 0.5
                          + 0.01 * rng.standard_normal(256)),
}
for name, y in cases.items():
    # Written as Tarvelin saves: "%f" lines, read back the same way here.
    path = f"{work}/{name.replace(' ', '_')}.txt"
    with open(path, "w") as f:  # "%f" loses what lies below 1e-6: tiny ones in full
        f.writelines(("%f\n" if np.abs(y).max() > 1e-3 else "%.17g\n") % v for v in y)
    y = np.loadtxt(path, ndmin=1)
    want, amp, phase = figures(y)
    compare(name, run(path), want, np.abs(y).max())

    # The table as stored: 12-bit words over the waveform's range, rounded half away from 0.
    exact = (y - y.min()) * 4095 / (y.max() - y.min())
    stored = np.sign(exact) * np.floor(np.abs(exact) + 0.5)
    want, _, _ = figures(stored)
    err = stored - exact
    want["error_max_lsb"] = np.abs(err).max()
    want["error_rms_lsb"] = np.sqrt(np.mean(err ** 2))
    # What storing did, against a full-scale sine of the 12-bit range (IEEE 1241).
    e = np.fft.rfft(err)
    ea = np.abs(e) * 2 / len(err)
    ep = ea ** 2 / 2
    if len(err) % 2 == 0:
        ea[-1] /= 2
        ep[-1] = ea[-1] ** 2
    full = (4096 / 2) ** 2 / 2
    k1 = want["fundamental_harmonic"]
    n = len(err)
    folded = {min((m * k1) % n, n - (m * k1) % n) for m in range(2, 11)} - {0, k1}
    noise = sum(ep[k] for k in range(1, len(ep)) if k not in folded)
    want["stored_sinad_dbfs"] = 10 * np.log10(full / ep[1:].sum())
    want["stored_snr_dbfs"] = 10 * np.log10(full / noise)
    want["stored_sfdr_dbfs"] = 20 * np.log10(2048 / ea[1:].max())
    want["enob"] = (want["stored_sinad_dbfs"] - 1.76) / 6.02
    compare(name + " as 12-bit words", run(path, "--width", "12", "--scale", "auto"), want)

    # The spectrum file: dB below the largest harmonic, and the phase.
    csv = f"{work}/spectrum.csv"
    subprocess.run([table, "analyse", "--spectrum", csv, path], check=True, capture_output=True)
    rows = np.genfromtxt(csv, delimiter=",", names=True)
    db = 20 * np.log10(amp / amp.max())
    heard = db > -200  # below, bins hold rounding alone, which no two transforms share
    if len(rows) != len(amp) or np.abs(rows["magnitude_db"] - db)[heard].max() > 1e-6 \
            or np.abs(rows["phase_deg"] - phase)[heard].max() > 1e-6:
        failures.append(f"{name}: the spectrum file differs from numpy's")

print("\n".join(failures) or f"{len(cases)} tables agree with numpy")
sys.exit(1 if failures else 0)
