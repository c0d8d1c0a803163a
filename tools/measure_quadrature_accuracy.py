"""How far the dialogue's quadrature lies from the exact u_red: the numbers
of the README's table.

The relative error |u_quadrature - u_exact| / u_exact of triex.quadrature
(the dialogue's two double integrals, pi taken as 3.14159) against the
closed form triex.ured: on the grid of 200 by 200 axial ratios a/b and b/c
from 1 to 10 (log spacing, as `triex table --ab 1:10:200 --bc 1:10:200`),
and on 200 shapes from the needle to the disc for each of a/c = 100, 300,
1000 and 2000. The integrals are asked for an absolute accuracy, so the
error depends on the size as well as the shape: the shapes are taken with
c = 1 (as the dialogue's axial ratios give them) and, for the elongated
ones, also scaled down to a = 1.

    PYTHONPATH=build/python /usr/bin/python3 tools/measure_quadrature_accuracy.py
"""

import numpy as np

import triex

THRESHOLD = 1e-6


def row(name, a, b, c):
    details = triex.quadrature(a, b, c)
    exact = triex.ured(a, b, c)
    error = np.abs(details["ured"] - exact) / exact
    worst = np.argmax(error)
    failed = np.count_nonzero((details["ifail_surface"] != 0) | (details["ifail_curvature"] != 0))
    print(f"| {name} | {error.size} | {np.count_nonzero(error > THRESHOLD)} | {error.max():.2g} "
          f"(a/b = {a[worst] / b[worst]:.4g}, b/c = {b[worst] / c[worst]:.4g}) | {failed} |")


def main():
    print(f"| shapes | number | above {THRESHOLD:g} | largest relative error (at) | with IFAIL != 0 |")
    print("|---|---|---|---|---|")
    ratios = np.geomspace(1.0, 10.0, 200)
    ab, bc = (x.ravel() for x in np.meshgrid(ratios, ratios, indexing="ij"))
    row("a/b, b/c from 1 to 10, c = 1", ab * bc, bc, np.ones_like(bc))
    for a_over_c in (100, 300, 1000, 2000):
        ab = np.geomspace(1.0, a_over_c, 200)
        bc = a_over_c / ab
        row(f"a/c = {a_over_c}, c = 1", ab * bc, bc, np.ones_like(bc))
        row(f"a/c = {a_over_c}, a = 1", np.ones_like(bc), 1.0 / ab, 1.0 / a_over_c * np.ones_like(bc))


if __name__ == "__main__":
    main()
