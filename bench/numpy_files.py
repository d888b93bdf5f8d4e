"""numpy's loadtxt and savetxt on the same files, for comparison with the C++ benchmarks."""
import json
import os
import sys
import tempfile

import numpy as np

from best_of import best_of


def main():
    folder = os.environ.get("TARVELIN_BENCH_DIR", tempfile.gettempdir())
    results = {}
    for count in (1_000_000, 10_000_000):
        path = os.path.join(folder, f"tarvelin-bench-{count}.txt")
        runs = 3
        data = np.loadtxt(path)
        results[f"loadtxt/{count}"] = best_of(runs, lambda: np.loadtxt(path))
        out = os.path.join(folder, "tarvelin-numpy-out.txt")
        results[f"savetxt/{count}"] = best_of(
            runs, lambda: np.savetxt(out, data, fmt="%f", newline="\r\n"))
        os.remove(out)
    json.dump(results, sys.stdout, indent=1)
    print()


if __name__ == "__main__":
    main()
