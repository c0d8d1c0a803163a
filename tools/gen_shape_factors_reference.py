#!/usr/bin/python3
"""Reference values of the hydrodynamic and scattering shape factors.

    /usr/bin/python3 tools/gen_shape_factors_reference.py           write tests/api/shape_factors_reference.hpp
    /usr/bin/python3 tools/gen_shape_factors_reference.py --check   regenerate into a temporary file and
                                                                    compare byte for byte with the committed one

For each set of semi-axes a, b, c (exact doubles, written with 17 significant
digits, which read back to the same double) the Stokes radius R_S, the Perrin
ratio P, the radius of gyration R_g and its ratio G, the three reduced
rotational frictions Z_a, Z_b, Z_c, the five relaxation times tau_k/tau0, their
harmonic mean tau_h/tau0, the viscosity increment nu and the reduced excluded
volume u_red, written with 25 significant digits.

Every value is computed twice, by routes that share nothing but the semi-axes:

A. Carlson's closed forms (mpmath's elliprf, elliprd, elliprg) at 80 digits
   and more: R_S = 1/R_F(a^2, b^2, c^2); Z_i from R_D; the tau_k from Favro's
   rates in the cancellation-free form; nu from the divided differences of
   R_D (Mura's identity where two axes are equal), Eshelby's tensor at Poisson
   ratio 1/2 through (tr M - 1)/det M, and the Brownian term as the pairwise
   weighted variance of Jeffery's spin factors. Route A is evaluated at two
   working precisions 30 digits apart, which must agree to 45 digits.

B. The defining integrals by mpmath.quad (tanh-sinh on [0, x_min], on
   logarithmic pieces between the squared semi-axes, and on the tail after
   lambda = x_max / w^2): Jeffery's (1922) chi, alpha_i, alpha_ij and alpha_ii
   each integrated directly (no differences); the frictions from them; the
   tau_k as eigenvalues of the rotational diffusion operator sum D_i L_i^2 on
   the five second-rank Cartesian tensors (L_i acting by commutators; Perrin
   1934, Favro 1960), diagonalised with mpmath.eigsy; nu from Eshelby's tensor
   built of the integrated alpha_ij, alpha_ii and inverted as a matrix, plus the
   Brownian term in the form sum z_i lambda_i (lambda_i + kappa); R_g from the
   slab integral of r^2 over the ellipsoid; u_red from R_G as the integral
   DLMF 19.16.3.

Before anything is written the two routes must agree to 30 digits for every
shape (route B's working precision is raised up to 120 digits where needed;
a shape that still fails is an error, not a fallback), and the values of the
shapes tabulated in the formula sheet (2:1:1, 1:1:0.5, 3:2:1, 10:1:1, 50:20:1,
100:10:1, the sphere and the spheroid table) must be reproduced to every
printed digit.

The generation takes about five minutes of processor time on one core (most
of it in route B), so --check is not part of the test suite: run it by hand
after changing this script or updating mpmath. The C++ tests read only the
committed header.

References: G. B. Jeffery, Proc. R. Soc. Lond. A 102 (1922) 161; F. Perrin,
J. Phys. Radium 5 (1934) 497 and 7 (1936) 1; L. D. Favro, Phys. Rev. 119
(1960) 53; J. D. Eshelby, Proc. R. Soc. Lond. A 241 (1957) 376; R. Simha,
J. Phys. Chem. 44 (1940) 25; B. C. Carlson, Numer. Algorithms 10 (1995) 13.
"""

import argparse
import difflib
import os
import random
import sys
import tempfile
import time

try:
    import mpmath
    from mpmath import mp, mpf
except ImportError:
    sys.stderr.write("gen_shape_factors_reference.py: the Python module mpmath is required\n")
    sys.exit(3)

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(REPO, "tests", "api", "shape_factors_reference.hpp")
WRITTEN_DIGITS = 25
ROUTE_A_DPS = 80          # plus the digits lost to near-equal axes, see route_a_dps
ROUTE_A_SELF_DIGITS = 45  # route A at two precisions must agree this far
AGREEMENT_DIGITS = 30     # route A against route B
ROUTE_B_DPS_LADDER = (45, 60, 80, 100, 120)
CYCLIC = ((0, 1, 2), (1, 2, 0), (2, 0, 1))  # (i, j, k)
NAMES = ("stokes_radius", "perrin_ratio", "radius_of_gyration", "gyration_ratio",
         "Z_a", "Z_b", "Z_c", "tau_1", "tau_2", "tau_3", "tau_4", "tau_5",
         "harmonic_relaxation_time", "viscosity_increment", "ured")


class GenerationError(Exception):
    pass


# ---------------------------------------------------------------- route A


def route_a_dps(axes):
    """Working digits for route A: the divided differences lose
    log10(x_i / |x_i - x_j|) digits, the extensional modes of nu about
    2 log10 of the axial ratio."""
    x = sorted(mpf(t) ** 2 for t in axes)
    loss = 0
    for lo, hi in ((x[0], x[1]), (x[1], x[2]), (x[0], x[2])):
        if hi != lo:
            loss = max(loss, float(mpmath.log10(hi / (hi - lo))))
    spread = float(mpmath.log10(x[2] / x[0]))
    return ROUTE_A_DPS + int(loss) + int(spread) + 5


def favro_times(Z):
    """tau_k / tau0 from the reduced frictions (D_i tau0 = 1/(6 Z_i)); the slow
    rate 6D - 2Delta as 12(D1 D2 + D2 D3 + D3 D1)/(6D + 2Delta)."""
    d = [1 / (6 * z) for z in Z]
    mean = (d[0] + d[1] + d[2]) / 3
    delta = mpmath.sqrt(((d[0] - d[1]) ** 2 + (d[1] - d[2]) ** 2 + (d[2] - d[0]) ** 2) / 2)
    fast = 6 * mean + 2 * delta
    slow = 12 * (d[0] * d[1] + d[1] * d[2] + d[2] * d[0]) / fast
    return [1 / slow] + [1 / (3 * (mean + di)) for di in d] + [1 / fast]


def route_a(axes, dps):
    with mp.workdps(dps):
        a = [mpf(t) for t in axes]
        x = [t * t for t in a]
        abc = a[0] * a[1] * a[2]
        RF = mpmath.elliprf(x[0], x[1], x[2])
        R = [mpmath.elliprd(x[j], x[k], x[i]) for i, j, k in CYCLIC]

        def divided(i, j):
            # Delta_ij = (R_j - R_i)/(x_i - x_j) = (3/2) alpha_ij; for x_i = x_j
            # Mura's identity 3 alpha_ii + alpha_ij + alpha_ik = 2/(x_i abc)
            # with alpha_ii = alpha_ij.
            if x[i] != x[j]:
                return (R[j] - R[i]) / (x[i] - x[j])
            k = 3 - i - j
            if x[k] != x[i]:
                return (3 / (x[i] * abc) - divided(i, k)) / 4
            return mpf(3) / (5 * a[0] ** 5)

        dd = {(i, j): divided(i, j) for i in range(3) for j in range(3) if i != j}
        r0 = mpmath.cbrt(abc)
        RS = 1 / RF
        Rg = mpmath.sqrt((x[0] + x[1] + x[2]) / 5)
        Z = [(x[j] + x[k]) / (abc * (x[j] * R[j] + x[k] * R[k])) for i, j, k in CYCLIC]
        taus = favro_times(Z)
        tau_h = 3 / (1 / Z[0] + 1 / Z[1] + 1 / Z[2])

        z = [3 * Zi / 2 for Zi in Z]
        lam = [(x[j] - x[k]) / (x[j] + x[k]) for i, j, k in CYCLIC]
        F = [3 / (abc * (x[j] + x[k]) * dd[(j, k)]) for i, j, k in CYCLIC]
        M = mpmath.matrix(3, 3)
        for i, j, k in CYCLIC:
            M[i, i] = abc * (R[i] - (x[j] * dd[(i, j)] + x[k] * dd[(i, k)]) / 3)
            M[i, j] = abc * x[j] * dd[(i, j)] / 3
            M[i, k] = abc * x[k] * dd[(i, k)] / 3
        T = (M[0, 0] + M[1, 1] + M[2, 2] - 1) / mpmath.det(M)
        zsum = z[0] + z[1] + z[2]
        brownian = sum(z[i] * z[j] * (lam[i] - lam[j]) ** 2 for i, j in ((0, 1), (1, 2), (0, 2))) / zsum
        nu = (T + F[0] + F[1] + F[2] + brownian) / 5
        nu_nr = (T + F[0] + F[1] + F[2] + sum(zi * li * li for zi, li in zip(z, lam))) / 5

        RG = mpmath.elliprg(x[0], x[1], x[2])
        RG_inv = mpmath.elliprg(1 / x[0], 1 / x[1], 1 / x[2])
        ured = 2 + 6 * RG * RG_inv
        values = [RS, RS / r0, Rg, Rg / (mpmath.sqrt(mpf(3) / 5) * r0)] + Z + taus + [tau_h, nu, ured]
        extras = {"R_F": RF, "R_D": R, "alpha": {key: 2 * v / 3 for key, v in dd.items()},
                  "alpha_ii": [(2 * R[i] / 3 - (x[j] * 2 * dd[(i, j)] / 3 + x[k] * 2 * dd[(i, k)] / 3) / 3) / x[i]
                               for i, j, k in CYCLIC],
                  "nu_nr": nu_nr}
        return [+v for v in values], extras


# ---------------------------------------------------------------- route B


def lambda_integral(f, x):
    """The integral of f over [0, inf) for an integrand whose scales are the
    squared semi-axes x: tanh-sinh on [0, x_min], on pieces of at most e^4 in
    lambda between the x_i (lambda = e^s), and on the tail (lambda = X/w^2)."""
    xs = sorted(set(x))
    total = mpmath.quad(f, [0, xs[0]])
    for lo, hi in zip(xs, xs[1:]):
        slo, shi = mpmath.log(lo), mpmath.log(hi)
        n = max(1, int(mpmath.ceil((shi - slo) / 4)))
        pieces = [slo + (shi - slo) * m / n for m in range(n + 1)]
        total += mpmath.quad(lambda s: f(mpmath.exp(s)) * mpmath.exp(s), pieces)
    X = xs[-1]
    total += mpmath.quad(lambda w: f(X / (w * w)) * 2 * X / (w * w * w), [0, 1])
    return total


def rotational_rates(D):
    """Eigenvalues of sum_i D_i L_i^2 on symmetric traceless 3x3 tensors Q,
    with L_i Q = [e_i, Q] and (e_i)_ab = -epsilon_iab (rotation about axis i).
    Returned as [slowest of the diagonal pair, axis a, axis b, axis c, fastest
    of the diagonal pair]: the tensor Q_bc + Q_cb relaxes with the rate of axis a."""
    gens = []
    for i in range(3):
        g = mpmath.matrix(3, 3)
        for p in range(3):
            for q in range(3):
                g[p, q] = -mpmath.mpf((i - p) * (p - q) * (q - i)) / 2  # -epsilon_ipq
        gens.append(g)
    s2, s6 = mpmath.sqrt(2), mpmath.sqrt(6)
    basis = []
    for i, j, k in CYCLIC:  # off-diagonal pair (j, k) belongs to axis i
        q = mpmath.matrix(3, 3)
        q[j, k] = q[k, j] = 1 / s2
        basis.append(q)
    basis.append(mpmath.diag([2 / s6, -1 / s6, -1 / s6]))
    basis.append(mpmath.diag([0, 1 / s2, -1 / s2]))

    def apply(q):
        out = mpmath.matrix(3, 3)
        for Di, g in zip(D, gens):
            c1 = g * q - q * g
            out += Di * (c1 * g - g * c1)  # -[g, [g, q]]: the operator is -sum D_i L_i^2
        return out

    H = mpmath.matrix(5, 5)
    for n, q in enumerate(basis):
        hq = apply(q)
        for m, p in enumerate(basis):
            H[m, n] = sum(hq[r, s] * p[r, s] for r in range(3) for s in range(3))
    scale = max(abs(H[m, n]) for m in range(5) for n in range(5))
    for m in range(5):
        for n in range(5):
            if (m != n and (m < 3 or n < 3)) and abs(H[m, n]) > scale * mpf(10) ** (-mp.dps + 5):
                raise GenerationError("rotational diffusion operator not block diagonal")
    block = mpmath.matrix([[H[3, 3], H[3, 4]], [H[4, 3], H[4, 4]]])
    eig, _ = mpmath.eigsy(block)
    low, high = sorted([eig[0], eig[1]])
    return [low, H[0, 0], H[1, 1], H[2, 2], high]


def route_b(axes, dps):
    with mp.workdps(dps):
        # In units of the largest semi-axis (quadrature tolerances are absolute);
        # R_S and R_g are scaled back at the end, every other factor is a ratio.
        unit = mpf(max(axes))
        a = [mpf(t) / unit for t in axes]
        x = [t * t for t in a]
        abc = a[0] * a[1] * a[2]

        def delta(t):
            return mpmath.sqrt((x[0] + t) * (x[1] + t) * (x[2] + t))

        chi = lambda_integral(lambda t: 1 / delta(t), x)
        alpha = [lambda_integral(lambda t, i=i: 1 / ((x[i] + t) * delta(t)), x) for i in range(3)]
        alpha_ij = {}
        for i, j in ((0, 1), (1, 2), (0, 2)):
            alpha_ij[(i, j)] = alpha_ij[(j, i)] = lambda_integral(
                lambda t, i=i, j=j: 1 / ((x[i] + t) * (x[j] + t) * delta(t)), x)
        alpha_ii = [lambda_integral(lambda t, i=i: 1 / ((x[i] + t) ** 2 * delta(t)), x) for i in range(3)]

        r0 = mpmath.cbrt(abc)
        RS = 2 / chi  # R_S = 1/R_F, chi = 2 R_F: f = 16 pi eta / (chi + x_i alpha_i) averaged
        # Slab integral: the section at x is an ellipse of semi-axes b s, c s, s^2 = 1 - x^2/a^2.
        second_moment = mpmath.quad(
            lambda u: mp.pi * a[1] * a[2] * (1 - u * u / x[0]) * (u * u + (1 - u * u / x[0]) * (x[1] + x[2]) / 4),
            [-a[0], 0, a[0]])
        Rg = mpmath.sqrt(second_moment / (4 * mp.pi * abc / 3))
        Z = [2 * (x[j] + x[k]) / (3 * abc * (x[j] * alpha[j] + x[k] * alpha[k])) for i, j, k in CYCLIC]
        rates = rotational_rates([1 / (6 * Zi) for Zi in Z])
        taus = [1 / r for r in rates]
        tau_h = 5 / sum(rates)

        # Eshelby's tensor at Poisson ratio 1/2 (Mura 1987): S_iiii = (3/2) abc x_i alpha_ii,
        # S_iijj = (1/2) abc x_j alpha_ij, S_ijij = (1/4) abc (x_i + x_j) alpha_ij.
        M = mpmath.matrix(3, 3)
        for i in range(3):
            for j in range(3):
                M[i, j] = 3 * abc * x[i] * alpha_ii[i] / 2 if i == j else abc * x[j] * alpha_ij[(i, j)] / 2
        T = sum(mpmath.inverse(M)[i, i] for i in range(3)) - 1  # M has the eigenvalue 1 on (1, 1, 1)
        F = [1 / (2 * abc * (x[j] + x[k]) * alpha_ij[(j, k)] / 4) for i, j, k in CYCLIC]
        z = [3 * Zi / 2 for Zi in Z]
        lam = [(x[j] - x[k]) / (x[j] + x[k]) for i, j, k in CYCLIC]
        kappa = -sum(zi * li for zi, li in zip(z, lam)) / sum(z)
        nu = (T + sum(F) + sum(zi * li * (li + kappa) for zi, li in zip(z, lam))) / 5

        def carlson_rg(y):
            # DLMF 19.16.3
            s = lambda t: mpmath.sqrt((t + y[0]) * (t + y[1]) * (t + y[2]))
            return lambda_integral(lambda t: t * (y[0] / (t + y[0]) + y[1] / (t + y[1]) + y[2] / (t + y[2])) / s(t), y) / 4

        ured = 2 + 6 * carlson_rg(x) * carlson_rg([1 / t for t in x])
        values = [RS * unit, RS / r0, Rg * unit, Rg / (mpmath.sqrt(mpf(3) / 5) * r0)] + Z + taus + [tau_h, nu, ured]
        return [+v for v in values]


def digits_of_agreement(u, v):
    worst = mpf(0)
    for p, q in zip(u, v):
        worst = max(worst, abs(p / q - 1))
    return float("inf") if worst == 0 else -float(mpmath.log10(worst))


# ---------------------------------------------------------------- the shapes


def shapes():
    """(label, a, b, c) with exact doubles."""
    out = []
    for axes in ((1.0, 1.0, 1.0), (2.0, 1.0, 1.0), (1.0, 1.0, 0.5), (3.0, 2.0, 1.0),
                 (10.0, 1.0, 1.0), (50.0, 20.0, 1.0), (100.0, 10.0, 1.0)):
        out.append(("sheet",) + axes)
    # Spheroids, prolate p:1:1 and oblate p:p:1, and the axis of symmetry in every place.
    for p in (1.5, 2.0, 5.0, 10.0, 20.0, 100.0, 1000.0, 1e4, 1e6):
        out.append(("prolate",) + (p, 1.0, 1.0))
        out.append(("oblate",) + (p, p, 1.0))
    for p in (1.5, 7.0, 1e3):
        out += [("prolate", 1.0, p, 1.0), ("prolate", 1.0, 1.0, p), ("oblate", 1.0, p, p), ("oblate", p, 1.0, p)]
    # Near-spheres and near-spheroids, down to one ulp.
    for eps in (1e-3, 1e-6, 1e-9, 1e-12, 2.0 ** -52):
        out += [("near-sphere", 1.0 + eps, 1.0, 1.0), ("near-sphere", 1.0, 1.0, 1.0 - eps),
                ("near-sphere", 1.0 + eps, 1.0, 1.0 - eps), ("near-sphere", 1.0, 1.0 + eps, 1.0 + 2 * eps),
                ("near-spheroid", 3.0, 1.0 + eps, 1.0), ("near-spheroid", 2.0, 2.0 * (1.0 - eps), 1.0)]
    # Random shapes: a/b and b/c = 10^uniform(0, 6) (general), or one of them
    # below 2 (prolate- and oblate-like); a third kept in the order a >= b >= c,
    # the others permuted at random.
    rng = random.Random(19220101)
    for n in range(246):
        kind = n % 3
        r1 = 10.0 ** rng.uniform(0, 6 if kind != 2 else 0.3)
        r2 = 10.0 ** rng.uniform(0, 6 if kind != 1 else 0.3)
        c = 10.0 ** rng.uniform(-3, 3)
        axes = [r1 * r2 * c, r2 * c, c]
        if n % 3 != 0 or n % 2:
            rng.shuffle(axes)
        out.append((("random", "random-prolate", "random-oblate")[kind],) + tuple(axes))
    # Extreme ratios and magnitudes.
    for axes in ((1e6, 1e3, 1.0), (1e12, 1e6, 1.0), (1e6, 1.0, 1e-6), (1.0, 1e-6, 1e-12), (1e-6, 1.0, 1e6)):
        out.append(("extreme",) + axes)
    for scale in (1e-150, 1e-75, 1e-20, 1e20, 1e75):
        for axes in ((1.0, 1.0, 1.0), (3.0, 2.0, 1.0), (10.0, 1.0, 1.0), (2.0, 2.0, 1.0), (50.0, 20.0, 1.0)):
            out.append(("scaled",) + tuple(t * scale for t in axes))
    for axes in ((1.0, 1.0, 1.0), (1.0, 2.0 / 3.0, 1.0 / 3.0), (1.0, 0.1, 0.1), (0.02, 0.4, 1.0)):
        out.append(("scaled",) + tuple(t * 1e150 for t in axes))
    for label, a, b, c in out:
        for t in (a, b, c):
            if not (1e-150 <= t <= 1e150) or float("%.17g" % t) != t:
                raise GenerationError("semi-axis %r out of range or not read back" % t)
    return out


# ------------------------------------------------- the formula sheet's values

# Tabulated values of the formula sheet (semi-axes as written), each to be
# reproduced to every printed digit; values with at most three digits are exact.
SHEET = {
    (2.0, 1.0, 1.0): dict(
        R_S="1.3151907222040505831", P="1.0438675679827629493", G="1.1224620483093729814",
        tau_h="1.1679410491009025873", nu="2.9076115846733289237", nu_nr="2.9076115846733289237",
        ured="9.0769733103828349045", Z=("0.80667669931776093089", "1.5049262372352519523", "1.5049262372352519523"),
        tau=("1.504926237235252", "0.954261483004438", "1.315190722204051", "1.315190722204051", "0.954261483004438"),
        Pi="3.121797064721296229", beta_r="1.3673091670598921972", u_P3="7.9800358881580029331",
        Rg_RS="0.83291730736553581365", tau_nu="0.40168399907930657514",
        R_F="0.76034599630094634753",
        R_D=("0.26034599630094634753", "0.61982700184952682623", "0.61982700184952682623"),
        alpha=("0.2300288330250789", "0.07988466789968455", "0.07988466789968455"),
        alpha_ii=("0.03007688806687697", "0.2300288330250789", "0.2300288330250789")),
    (1.0, 1.0, 0.5): dict(
        R_S="0.82699334313268807427", P="1.0419463211358074549", G="1.0911236359717214036",
        tau_h="1.2113580628646217173", nu="2.8543745645858836452", nu_nr="2.8543745645858836452",
        ured="9.0769733103828349045", Z=("1.1316315768762854058", "1.1316315768762854058", "1.4100403237971322815"),
        tau=("1.303169883591062", "1.170138366461477", "1.170138366461477", "1.303169883591062", "1.131631576876285"),
        Pi="3.1800217893616684243", beta_r="1.3614184815755578849", u_P3="8.0242605449983744216",
        Rg_RS="0.81115573519472237939", tau_nu="0.4243865111096122426",
        R_F="1.2091995761561452337",
        R_D=("1.4183991523122904675", "1.4183991523122904675", "3.1632016953754190651")),
    (3.0, 2.0, 1.0): dict(
        R_S="1.9660092007093945246", P="1.081936558566649167", G="1.1888296836162948597",
        tau_h="1.3932100484731440365", nu="3.2451264825649527639", nu_nr="3.245398122576474708",
        ured="10.173618525404556956", Z=("1.0130718143660005841", "1.6807415744653384529", "1.7506136755791027686"),
        tau=("1.715479230203879", "1.173114300029932", "1.523528238348300", "1.551596258499879", "1.172874378146593"),
        Pi="3.1350452994865438496", beta_r="1.3683863931800806574", u_P3="8.0328574782240186833",
        Rg_RS="0.85112524013843247063", tau_nu="0.42932380477569205773",
        R_F="0.50864461857003023821",
        R_D=("0.078150349414635492158", "0.13357702013100225913", "0.28827263045436224872"),
        alpha=("0.03437680229408000", "0.01751019008664390", "0.007390222762182236"),
        alpha_ii=("0.004045541396070302", "0.01385543609235703", "0.09381544698420315")),
    (10.0, 1.0, 1.0): dict(
        R_S="3.3241341799667970612", P="1.5429264091164456811", G="2.7064881204447221172",
        tau_h="1.8527876480540375739", nu="13.634345193410900892", nu_nr="13.634345193410900892",
        ured="26.382647049462708147", Z=("0.68047061205147475732", "13.368036809804655742", "13.368036809804655742"),
        tau=("13.36803680980466", "0.9953722956144482", "3.254506160098270", "3.254506160098270", "0.9953722956144482"),
        Pi="1.9350138694018621669", beta_r="1.5483395802539651109", u_P3="7.1826173402539375982",
        Rg_RS="1.3587405536979858465", tau_nu="0.13589120869181441994",
        R_F="0.30083021498548185778",
        R_D=("0.0060857640904691472056", "0.1469571179547654264", "0.1469571179547654264")),
    (50.0, 20.0, 1.0): dict(
        R_S="21.638883474644896178", P="2.1638883474644896178", G="3.1096623610932425472",
        tau_h="13.698491461603966051", nu="29.723193711936793933", nu_nr="29.928469583546382684",
        ured="88.820984524930238541", Z=("7.2631532768366828274", "28.99211718690061425", "21.354363905383349459"),
        tau=("24.71271998986985", "9.492980573667485", "18.60588463418366", "16.69037050267664", "9.475395963425158"),
        Pi="2.9882718992360451718", beta_r="1.4315185355628032732", u_P3="8.7661932018505531726",
        Rg_RS="1.1131508287804396781", tau_nu="0.46086876108816902202",
        R_F="0.046213105272817707168",
        R_D=("3.3371654315361295164e-5", "1.3093621976031389697e-4", "2.8356921259243248079e-3")),
    (100.0, 10.0, 1.0): dict(
        R_S="27.774660867529096825", P="2.7774660867529096825", G="5.8025856305616033537",
        tau_h="9.608203941585243303", nu="100.00761472366437314", nu_nr="100.91635938836283604",
        ured="156.89083498570416258", Z=("3.404809380069094195", "123.36107855640766777", "95.926116227711742911"),
        tau=("107.9549284753356", "5.027905850444077", "17.82785285378635", "17.46688066140984", "5.027846137735938"),
        Pi="1.5687888909181208267", beta_r="1.6712019158333387516", u_P3="7.3223634206757171988",
        Rg_RS="1.6182604438839965636", tau_nu="0.09607472359113965743",
        R_F="0.036004039969002238862",
        R_D=("7.8348197870363832576e-6", "2.6941168541848404437e-4", "2.7227534947944795724e-3"),
        alpha=("1.652082026515822e-5", "1.810126796017897e-7", "1.761460374622543e-8"),
        alpha_ii=("4.575722173282811e-10", "1.153855043698519e-6", "6.610993890184133e-4")),
    (1.0, 1.0, 1.0): dict(
        R_S="1", P="1", G="1", tau_h="1", nu="2.5", nu_nr="2.5", ured="8", Z=("1", "1", "1"),
        tau=("1", "1", "1", "1", "1"), Pi="3.2", beta_r="1.3572088082974532858", u_P3="8",
        Rg_RS="0.77459666924148337704", tau_nu="0.4", alpha=("0.4", "0.4", "0.4"), alpha_ii=("0.4", "0.4", "0.4")),
}

# The spheroid table: p, kind, P, Z_ax, Z_eq, tau_h, nu, u_red, G.
SPHEROIDS = (
    (2, "prolate", "1.0438676", "0.8066767", "1.5049262", "1.167941", "2.9076116", "9.0769733", "1.122462"),
    (2, "oblate", "1.0419463", "1.4100403", "1.1316316", "1.2113581", "2.8543746", "9.0769733", "1.0911236"),
    (5, "prolate", "1.2497387", "0.70608078", "4.6405027", "1.6240302", "5.8062063", "15.104006", "1.7544106"),
    (5, "oblate", "1.2234412", "2.6718384", "2.2397757", "2.3673856", "4.7082106", "15.104006", "1.4100823"),
    (10, "prolate", "1.5429264", "0.68047061", "13.368037", "1.8527876", "13.634345", "26.382647", "2.7064881"),
    (10, "oblate", "1.4576318", "4.7894192", "4.3048753", "4.4551162", "8.0433698", "26.382647", "1.7634808"),
    (20, "prolate", "1.9952117", "0.67119661", "41.819875", "1.950965", "38.530163", "49.615978", "4.2645748"),
    (20, "oblate", "1.7826579", "9.031154", "8.519286", "8.6833375", "14.803917", "49.615978", "2.2176975"),
)


def agrees_to_print(value, printed):
    """value rounds to the printed decimal (exact when three digits or fewer)."""
    mantissa = printed.lower().split("e")[0].replace("-", "").replace(".", "").lstrip("0")
    target = mpf(printed)
    if len(mantissa) <= 3:
        return abs(value - target) <= abs(target) * mpf(10) ** -35
    exponent = int(mpmath.floor(mpmath.log10(abs(target))))
    return abs(value - target) <= mpf(10) ** (exponent - len(mantissa) + 1) / 2 * (1 + mpf(10) ** -12)


def check_sheet(axes, values, extras):
    expected = SHEET.get(axes)
    if expected is None:
        return 0
    RS, P, Rg, G = values[0:4]
    Z, tau, tau_h, nu, ured = values[4:7], values[7:12], values[12], values[13], values[14]
    computed = dict(R_S=RS, P=P, G=G, tau_h=tau_h, nu=nu, nu_nr=extras["nu_nr"], ured=ured, Z=Z, tau=tau,
                    Pi=ured / nu, beta_r=mpmath.cbrt(nu) / P, u_P3=ured / P ** 3, Rg_RS=Rg / RS, tau_nu=tau_h / nu,
                    R_F=extras["R_F"], R_D=extras["R_D"],
                    alpha=[extras["alpha"][(1, 2)], extras["alpha"][(2, 0)], extras["alpha"][(0, 1)]],
                    alpha_ii=extras["alpha_ii"])
    count = 0
    for key, printed in expected.items():
        got = computed[key]
        pairs = zip(got, printed) if isinstance(printed, tuple) else [(got, printed)]
        for g, p in pairs:
            if not agrees_to_print(g, p):
                raise GenerationError("%s of %r: %s, the formula sheet prints %s" % (key, axes, mpmath.nstr(g, 30), p))
            count += 1
    return count


def check_spheroid_table(computed):
    count = 0
    for p, kind, *printed in SPHEROIDS:
        axes = (float(p), 1.0, 1.0) if kind == "prolate" else (float(p), float(p), 1.0)
        v = computed[axes]
        Z_ax, Z_eq = (v[4], v[5]) if kind == "prolate" else (v[6], v[4])
        for got, text in zip((v[1], Z_ax, Z_eq, v[12], v[13], v[14], v[3]), printed):
            if not agrees_to_print(got, text):
                raise GenerationError("spheroid %s %s: %s, the formula sheet prints %s" % (kind, p, mpmath.nstr(got, 20), text))
            count += 1
    return count


# ---------------------------------------------------------------- output


def literal(v):
    text = mpmath.nstr(v, WRITTEN_DIGITS, min_fixed=1, max_fixed=0)
    if "e" not in text and "." not in text:
        text += ".0"
    return text + "L"


def header(rows, route_b_dps_counts, worst_digits):
    out = []
    out.append("// generated by tools/gen_shape_factors_reference.py, do not edit\n")
    out.append("// Semi-axes (exact doubles, 17 significant digits) and the shape factors of\n")
    out.append("// the ellipsoid to %d significant digits: Carlson's closed forms at 80+ digits,\n" % WRITTEN_DIGITS)
    out.append("// each value confirmed by direct quadrature of the defining integrals to\n")
    out.append("// %.1f digits or better (worst shape); route B working precision in digits:\n" % worst_digits)
    out.append("// %s. Every row has both routes.\n" % ", ".join(
        "%d shapes at %d" % (n, d) for d, n in sorted(route_b_dps_counts.items())))
    out.append("#pragma once\n\nnamespace triex::test {\n\n")
    out.append("struct ShapeFactorsReference {\n")
    out.append("  double a, b, c;\n")
    out.append("  long double stokes_radius, perrin_ratio, radius_of_gyration, gyration_ratio;\n")
    out.append("  long double rotational_friction[3];  // Z about the axes a, b, c\n")
    out.append("  long double relaxation_times[5];     // tau_1 .. tau_5 / tau0\n")
    out.append("  long double harmonic_relaxation_time, viscosity_increment, ured;\n")
    out.append("};\n\n")
    out.append("// clang-format off\n")
    out.append("inline constexpr ShapeFactorsReference kShapeFactorsReference[] = {\n")
    for label, axes, values in rows:
        a, b, c = ("%.17g" % t for t in axes)
        v = [literal(t) for t in values]
        out.append("    // %s\n" % label)
        out.append("    {%s, %s, %s,\n     %s, %s, %s, %s,\n     {%s, %s, %s},\n     {%s, %s, %s, %s, %s},\n     %s, %s, %s},\n"
                   % ((a, b, c) + tuple(v)))
    out.append("};\n")
    out.append("// clang-format on\n\n}  // namespace triex::test\n")
    return "".join(out)


def generate(path, first=None):
    mp.dps = 60  # for the comparisons outside the routes
    started = time.time()
    all_shapes = shapes()
    if first is not None:
        all_shapes = all_shapes[:first]
    rows, dps_counts, computed = [], {}, {}
    worst = float("inf")
    sheet_values = 0
    for n, (label, a, b, c) in enumerate(all_shapes):
        axes = (a, b, c)
        dps = route_a_dps(axes)
        values, extras = route_a(axes, dps)
        again, _ = route_a(axes, dps + 30)
        if digits_of_agreement(values, again) < ROUTE_A_SELF_DIGITS:
            raise GenerationError("route A unstable for %r" % (axes,))
        sheet_values += check_sheet(axes, values, extras)
        ratio = max(axes) / min(axes)
        ladder = [d for d in ROUTE_B_DPS_LADDER if d >= 35 + 2 * mpmath.log10(ratio)] or [ROUTE_B_DPS_LADDER[-1]]
        for dps_b in ladder:
            agreement = digits_of_agreement(values, route_b(axes, dps_b))
            if agreement >= AGREEMENT_DIGITS:
                break
        else:
            raise GenerationError("routes A and B agree to %.1f digits only for %r" % (agreement, axes))
        worst = min(worst, agreement)
        dps_counts[dps_b] = dps_counts.get(dps_b, 0) + 1
        computed[axes] = values
        rows.append(("%s, routes agree to %s digits" % (label, "all" if agreement == float("inf") else "%.1f" % agreement),
                     axes, values))
        sys.stderr.write("\r%d/%d shapes, %.0f s" % (n + 1, len(all_shapes), time.time() - started))
    sys.stderr.write("\n")
    if first is None:
        sheet_values += check_spheroid_table(computed)
        if sheet_values < 150:
            raise GenerationError("only %d tabulated values checked" % sheet_values)
    text = header(rows, dps_counts, worst)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    return len(rows), worst, sheet_values


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true", help="compare a fresh generation with the committed file")
    parser.add_argument("--out", default=OUT, help="output file")
    parser.add_argument("--first", type=int, help="only the first N shapes (for trying changes; skips the spheroid table)")
    args = parser.parse_args()
    try:
        if args.check:
            with tempfile.TemporaryDirectory() as tmp:
                fresh_path = os.path.join(tmp, "fresh.hpp")
                generate(fresh_path, args.first)
                with open(fresh_path) as f:
                    fresh = f.read()
            with open(args.out) as f:
                old = f.read()
            if fresh != old:
                print("%s differs from a fresh generation:" % args.out)
                sys.stdout.writelines(list(difflib.unified_diff(old.splitlines(True), fresh.splitlines(True),
                                                                args.out, "regenerated"))[:40])
                return 1
            print("%s: identical" % args.out)
            return 0
        rows, worst, sheet_values = generate(args.out, args.first)
        print("wrote %d rows to %s; routes agree to %.1f digits or better; %d tabulated values reproduced"
              % (rows, os.path.relpath(args.out, REPO), worst, sheet_values))
    except GenerationError as e:
        sys.stderr.write("gen_shape_factors_reference.py: validation failed: %s\n" % e)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
