#!/usr/bin/python3
"""Speed of the commands for scripts, measured side by side with their peers.

    /usr/bin/python3 bench/commands_bench.py [--triex build/triex] [--repeat 3] [--scipy-only]

1. `triex table --ab 1:1000:1000 --bc 1:1000:1000 > /dev/null`: a million
   shapes by the exact closed form, written as CSV, against SciPy computing the
   same million values of u_red = 2 + 6 R_G(a^2, b^2, c^2) R_G(a^-2, b^-2, c^-2)
   with scipy.special.elliprg (vectorised, nothing written). Target: triex in at
   most a third of SciPy's time.
2. `triex table --ab 1:100:100 --bc 1:100:100 --method quadrature` with
   --threads 2 against --threads 1. Target: at most 0.6 of the time.

Each figure is the best wall-clock time of --repeat runs. Needs Debian's
python3-numpy and python3-scipy (run by /usr/bin/python3, named explicitly).
Prints the figures and whether each target is met; exit status 0 either way
(it is a benchmark, not a test), 2 when it could not run.
"""

import argparse
import os
import subprocess
import sys
import time


def best_time(action, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return min(times)


def run_triex(triex, args):
    with open(os.devnull, "wb") as devnull:
        # Standard error too: the quadrature's warning about shapes it could not resolve.
        subprocess.run([triex] + args, stdout=devnull, stderr=devnull, check=False)


def grid(lo, hi, n, np):
    # The rule of `triex table --spacing log`: decimal logarithms, the ends exact.
    t = np.arange(n) / (n - 1)
    values = 10.0 ** (np.log10(lo) * (1 - t) + np.log10(hi) * t)
    values[0], values[-1] = lo, hi
    return values


def scipy_ured(ab, bc, np, elliprg):
    # The dialogue's rule for ratios: a = (a/b)(b/c), b = b/c, c = 1.
    AB, BC = np.meshgrid(ab, bc, indexing="ij")
    a, b = AB * BC, BC
    c = np.ones_like(a)
    return 2.0 + 6.0 * elliprg(a * a, b * b, c * c) * elliprg(1 / (a * a), 1 / (b * b), 1 / (c * c))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--triex", default="build/triex")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--scipy-only", action="store_true",
                        help="compute SciPy's million values once and exit (to time the peer as a whole process)")
    options = parser.parse_args()
    try:
        import numpy as np
        from scipy.special import elliprg
    except ImportError as e:
        print(f"commands_bench: needs NumPy and SciPy ({e})", file=sys.stderr)
        return 2
    if options.scipy_only:
        ab = grid(1, 1000, 1000, np)
        scipy_ured(ab, ab, np, elliprg)
        return 0
    if not os.access(options.triex, os.X_OK):
        print(f"commands_bench: {options.triex} is not an executable (build it first)", file=sys.stderr)
        return 2

    # The two compute the same values: a small table agrees to 1e-12.
    check = subprocess.run([options.triex, "table", "--ab", "1:1000:30", "--bc", "1:1000:30"],
                           capture_output=True, text=True, check=True).stdout.split("\n")[1:-1]
    ours = np.array([float(line.split(",")[2]) for line in check])
    theirs = scipy_ured(grid(1, 1000, 30, np), grid(1, 1000, 30, np), np, elliprg).ravel()
    worst = float(np.max(np.abs(ours - theirs) / theirs))
    print(f"agreement with scipy.special.elliprg on a 30 x 30 table: {worst:.1e} relative")

    threads = os.cpu_count()
    ab = bc = grid(1, 1000, 1000, np)
    t_scipy = best_time(lambda: scipy_ured(ab, bc, np, elliprg), options.repeat)
    t_triex = best_time(lambda: run_triex(options.triex, ["table", "--ab", "1:1000:1000", "--bc", "1:1000:1000"]),
                        options.repeat)
    ratio = t_triex / t_scipy
    print(f"a million shapes, exact: triex table {t_triex:.3f} s ({threads} threads, CSV to /dev/null), "
          f"scipy.special.elliprg {t_scipy:.3f} s; ratio {ratio:.3f} "
          f"({'meets' if ratio <= 1 / 3 else 'MISSES'} the target 1/3)")

    quadrature = ["table", "--ab", "1:100:100", "--bc", "1:100:100", "--method", "quadrature"]
    t_one = best_time(lambda: run_triex(options.triex, quadrature + ["--threads", "1"]), options.repeat)
    t_two = best_time(lambda: run_triex(options.triex, quadrature + ["--threads", "2"]), options.repeat)
    ratio = t_two / t_one
    print(f"100 x 100 shapes, quadrature: 1 thread {t_one:.3f} s, 2 threads {t_two:.3f} s; ratio {ratio:.3f} "
          f"({'meets' if ratio <= 0.6 else 'MISSES'} the target 0.6)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
