"""numpy and scipy on the work wave_bench and resampler_bench time: the transforms of 10
million samples (on the editor's layout, X and Y side by side, and on a plain array of Y),
and scipy's resample_poly from 10 to 15 million samples with the stop-band attenuation it
keeps (measured as resampler_bench measures it)."""
import time

import numpy as np
from scipy.signal import resample_poly


def best_of(runs, prepare, work):
    best = float("inf")
    for _ in range(runs):
        data = prepare()
        start = time.perf_counter()
        work(data)
        best = min(best, time.perf_counter() - start)
    return best * 1000


def main():
    rng = np.random.default_rng(3)
    n = 10_000_000
    pairs = np.empty((n, 2))
    pairs[:, 0] = np.arange(n)
    pairs[:, 1] = rng.uniform(-1, 1, n)
    plain = pairs[:, 1].copy()
    work = {
        "normalise": lambda y: np.multiply(y, 1.0 / np.abs(y).max(), out=y),
        "scale_offset": lambda y: np.add(np.multiply(y, 1.5, out=y), 0.25, out=y),
        "remove_dc": lambda y: np.subtract(y, y.mean(), out=y),
        "invert": lambda y: np.negative(y, out=y),
        "reverse": lambda y: np.copyto(y, y[::-1].copy()),
        "smooth_101": lambda y: np.copyto(y, np.convolve(y, np.ones(101) / 101, mode="same")),
        "clip": lambda y: np.clip(y, -0.5, 0.5, out=y),
        "quantise_12": lambda y: np.copyto(
            y, np.round((np.clip(y, -1, 1) + 1) / 2 * 4095) / 4095 * 2 - 1),
    }
    print(f"{'transform, 10 M samples':24} {'X,Y pairs':>10} {'plain Y':>10}   (ms, best of 5)")
    for name, f in work.items():
        runs = 2 if name == "smooth_101" else 5
        on_pairs = best_of(runs, lambda: pairs.copy()[:, 1], f)
        on_plain = best_of(runs, plain.copy, f)
        print(f"{name:24} {on_pairs:10.1f} {on_plain:10.1f}")

    walk = np.cumsum(rng.uniform(-1, 1, n))
    seconds = best_of(3, lambda: walk, lambda x: resample_poly(x, 3, 2)) / 1000
    length, cycles = 3 << 15, 19661
    f_in = cycles / length * 1.5
    tone = np.sin(2 * np.pi * f_in * np.arange(4 * length))
    out = resample_poly(tone, 3, 2)[2 * length:3 * length]
    spectrum = np.abs(np.fft.rfft(out))
    spur = np.delete(spectrum, cycles).max()
    print(f"scipy resample_poly 10 M -> 15 M: {seconds:.3f} s, stop-band attenuation "
          f"{20 * np.log10(spectrum[cycles] / spur):.1f} dB")


if __name__ == "__main__":
    main()
