"""The timing the numpy benchmarks share."""
import time


def best_of(runs, work):
    """The shortest of `runs` runs of `work`, in seconds."""
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best
