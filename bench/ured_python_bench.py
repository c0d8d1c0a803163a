#!/usr/bin/python3
"""triex.ured on a million random shapes against the same formula written
with SciPy's Carlson R_G in NumPy, measured side by side in one run.

    PYTHONPATH=build/python /usr/bin/python3 bench/ured_python_bench.py [--shapes N] [--repeat K]

Each time is the best of K runs (the least disturbed by other work on the
machine). Then, for arrays of growing size, one thread against every core:
where the threads begin to pay is where the module starts them by itself
(elements_for_threads in python/triex_module.cpp). Run by `make bench`;
never part of the tests.
"""

import argparse
import os
import time

import numpy as np
from scipy.special import elliprg

import triex


def scipy_ured(a, b, c):
    # u_red = 2 + 2 R S / V = 2 + 6 R_G(a^2, b^2, c^2) R_G(a^-2, b^-2, c^-2)
    a2, b2, c2 = a * a, b * b, c * c
    return 2.0 + 6.0 * elliprg(a2, b2, c2) * elliprg(1.0 / a2, 1.0 / b2, 1.0 / c2)


def best_time(function, repeat):
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        result = function()
        best = min(best, time.perf_counter() - start)
    return best, result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--shapes", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    # Semi-axes log-uniform over four decades: spheres to needles and discs.
    a, b, c = 10.0 ** np.random.default_rng(12).uniform(-2.0, 2.0, size=(3, args.shapes))

    scipy_seconds, reference = best_time(lambda: scipy_ured(a, b, c), args.repeat)
    runs = [("triex.ured, threads=1", 1), (f"triex.ured, default threads ({os.cpu_count()} cores)", None)]
    print(f"{args.shapes} shapes, best of {args.repeat} runs")
    print(f"{'SciPy elliprg formula in NumPy':44s} {scipy_seconds * 1e3:9.1f} ms")
    for label, threads in runs:
        seconds, values = best_time(lambda: triex.ured(a, b, c, threads=threads), args.repeat)
        agreement = np.max(np.abs(values - reference) / reference)
        print(f"{label:44s} {seconds * 1e3:9.1f} ms   {seconds / scipy_seconds:.3f} of SciPy's time"
              f"   (largest relative difference {agreement:.1e})")

    # Where threads begin to pay, for the closed form (u_red) and for plain
    # arithmetic (u_red from a virial coefficient): the module starts them by
    # itself from there (elements_for_threads in python/triex_module.cpp).
    timed = {
        "ured": lambda n, threads: triex.ured(a[:n], b[:n], c[:n], threads=threads),
        # The compiled loop itself: triex.ured_from_virial chooses its threads.
        "ured_from_virial": lambda n, threads: triex._core.ured_from_virial(np.broadcast_to(1e-3, (n,)), 0.75, 1e4,
                                                                            threads=threads),
    }
    sizes = {"ured": (100, 200, 500, 1000, 2000, 5000, 20000, 100000),
             "ured_from_virial": (2000, 5000, 10000, 20000, 50000, 100000, 1000000)}
    for name, call in timed.items():
        print(f"\n{name:>18s} {'1 thread':>11s} {f'{os.cpu_count()} threads':>11s}   ratio")
        for size in sizes[name]:
            if size > len(a):
                continue
            times = [best_time(lambda: call(size, threads), 5 * args.repeat)[0] for threads in (1, os.cpu_count())]
            print(f"{size:18d} {times[0] * 1e3:8.3f} ms {times[1] * 1e3:8.3f} ms   {times[1] / times[0]:.2f}")

if __name__ == "__main__":
    main()
