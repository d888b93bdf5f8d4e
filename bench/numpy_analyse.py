"""numpy on the work `wave_bench --benchmark_filter=Analyse` times: the figures of 10 million
samples taken as one period (rfft, then the level, harmonics and symmetries), and those of
the same samples stored as 12-bit words (the entries' spectrum and figures, and the error
against the exact values with its own spectrum)."""

import numpy as np

from best_of import best_of


def spectrum(y):
    n = len(y)
    bins = np.fft.rfft(y)
    amplitude = np.abs(bins) * (2 / n)
    amplitude[0] /= 2
    if n % 2 == 0:
        amplitude[-1] /= 2
    return amplitude, np.degrees(np.angle(bins))


def figures(y, amplitude, phase):
    n = len(y)
    lo, hi = y.min(), y.max()
    peak = max(abs(lo), abs(hi))
    mean = y.mean()
    swing = y - mean
    ac_rms = np.sqrt(np.mean(swing * swing))
    f = {"dc": mean, "rms": np.sqrt(np.mean(y * y)), "peak": peak, "rms_ac": ac_rms,
         "crest": np.abs(swing).max() / ac_rms, "seam": abs(y[0] - y[-1]),
         "max_step": np.abs(np.diff(y)).max()}
    mirrored = np.roll(y[::-1], 1)  # y[(n - i) % n]
    middle = lo / 2 + hi / 2
    f["odd"] = np.abs(y - middle + (mirrored - middle)).max()
    f["even"] = np.abs(y - mirrored).max()
    if n % 4 == 0:
        q = n // 4
        f["quarter"] = max(np.abs(y[1:q] - y[2 * q - 1:q:-1]).max(),
                           np.abs(y[:2 * q] + y[2 * q:] - (lo + hi)).max())
    k1 = int(np.argmax(amplitude[1:n // 2 + 1])) + 1
    power = amplitude[1:] ** 2 / 2
    if n % 2 == 0:
        power[-1] *= 2
    harmonic = np.zeros(len(power), dtype=bool)
    for m in range(2, 11):
        b = (m * k1) % n
        b = n - b if 2 * b > n else b
        if b and b != k1:
            harmonic[b - 1] = True
    signal = power[k1 - 1]
    power[k1 - 1] = 0
    harmonics = power[harmonic].sum()
    noise = power.sum() - harmonics
    f.update({"fundamental": amplitude[k1], "phase": phase[k1],
              "thd": np.sqrt(harmonics / signal), "sinad": 10 * np.log10(signal / (harmonics + noise)),
              "snr": 10 * np.log10(signal / noise),
              "sfdr": 20 * np.log10(amplitude[k1] / np.sqrt(power.max() * 2))})
    return f


def stored(y, bits):
    top = 2 ** bits - 1
    lo, hi = y.min(), y.max()
    exact = (y - lo) * (top / (hi - lo))
    words = np.trunc(exact + 0.5)  # halves away from zero, the entries being positive
    error = words - exact
    worst, rms = np.abs(error).max(), np.sqrt(np.mean(error * error))
    error_amplitude, _ = spectrum(error)
    amplitude, phase = spectrum(words)
    f = figures(words, amplitude, phase)
    power = (error_amplitude[1:] / 2 ** (bits - 1)) ** 2 / 2
    sinad = 10 * np.log10(0.5 / power.sum())
    return f, worst, rms, sinad


def main():
    rng = np.random.default_rng(3)
    y = rng.uniform(-1, 1, 10_000_000)
    waveform = best_of(3, lambda: figures(y, *spectrum(y)))
    table = best_of(3, lambda: stored(y, 12))
    print(f"numpy {np.__version__}, 10 M samples, best of 3: the waveform's figures "
          f"{waveform * 1000:.0f} ms, the 12-bit table's {table * 1000:.0f} ms")


if __name__ == "__main__":
    main()
