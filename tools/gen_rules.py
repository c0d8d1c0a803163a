#!/usr/bin/env python3
"""Generate the quadrature rule tables of the integrators.

    python3 tools/gen_rules.py            write quadrature/tables/*.hpp
    python3 tools/gen_rules.py --check    regenerate into a temporary directory and
                                          compare byte for byte with the committed files
    python3 tools/gen_rules.py --out DIR  write the headers into DIR instead

Both tables are computed here from first principles in multiple-precision
arithmetic (mpmath, 250 significant decimal digits) and validated before
anything is written:

* gauss_kronrod15.hpp: the 15-point Gauss-Kronrod rule, i.e. the 7-point
  Gauss-Legendre rule extended by the 8 roots of the degree-8 polynomial that
  is orthogonal to all lower degrees under the weight P7(x) on [-1, 1]
  (A. S. Kronrod, "Nodes and weights of quadrature formulas", 1965).  Values
  are the correctly rounded doubles.

* patterson.hpp: Patterson's nested sequence of 1, 3, 7, 15, 31, 63, 127 and
  255 points (T. N. L. Patterson, "The optimum addition of points to
  quadrature formulae", Math. Comp. 22 (1968) 847-856).  Starting from the
  1-point rule {0}, every extension adds the N+1 roots of the polynomial of
  degree N+1 that is orthogonal to all lower degrees under the weight
  pi(x) = prod (x - x_i) over the N existing nodes; the interpolatory weights
  of every rule are computed in full.  The 381 entries are laid out stage by
  stage as the two-dimensional integrator reads them, rounded to 16
  significant decimal digits (the precision of the published coefficients)
  and then to the nearest double; the entries known from the published table
  with fewer digits are used with exactly those digits.

All polynomials are handled in the Legendre basis, which keeps the linear
systems well conditioned; the integrals of products of polynomials of degree
up to 382 are taken exactly with a 256-point Gauss-Legendre rule.

The build never runs this script; `make tables` does.
"""

import argparse
import difflib
import os
import sys
import tempfile
from decimal import ROUND_HALF_EVEN, Decimal, localcontext

try:
    import mpmath
    from mpmath import mp, mpf
except ImportError:  # pragma: no cover - reported to the caller
    sys.stderr.write("gen_rules.py: the Python module mpmath is required\n")
    sys.exit(3)

DPS = 250  # working precision in decimal digits
# Residual allowed in every validation identity: far below double precision,
# far above the rounding level of the working precision.
VALIDATION_TOLERANCE_DIGITS = 200
AUX_POINTS = 256  # auxiliary Gauss-Legendre rule: exact to degree 511 >= 382

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KRONROD_HEADER = "gauss_kronrod15.hpp"
PATTERSON_HEADER = "patterson.hpp"

PATTERSON_STAGES = 7  # 3, 7, 15, 31, 63, 127, 255 points
PATTERSON_TABLE_SIZE = 381

# Entries of the Patterson table known from the published coefficients, by
# 1-based position in the table, with the exact decimal text that is used.
PATTERSON_QUOTED = {
    1: "0.7745966692414834",
    2: "0.5555555555555556",
    3: "0.888888888888889",
    4: "0.2684880898683334",
    5: "0.9604912687080203",
    6: "0.1046562260264673",
    7: "0.4342437493468026",
    8: "0.4013974147759622",
    9: "0.4509165386584741",
    10: "0.1344152552437842",
    11: "0.05160328299707974",
    12: "0.200628529376989",
    13: "0.993831963212755",
    14: "0.01700171962994026",
    381: "0.01409440709009618",
}

# Known values of the Gauss-Kronrod table (shortest round-trip decimal form).
KRONROD_QUOTED = {
    ("XGK", 1): "0.9914553711208126",
    ("WGK", 8): "0.20948214108472782",
    ("WG", 8): "0.4179591836734694",
}


class GenerationError(Exception):
    pass


def fail(message):
    raise GenerationError(message)


# ---------------------------------------------------------------------------
# Legendre polynomials


def legendre_values(nmax, x):
    """[P_0(x), ..., P_nmax(x)] by the three-term recurrence (stable on [-1, 1])."""
    p = [mpf(1), x]
    for l in range(1, nmax):
        p.append(((2 * l + 1) * x * p[l] - l * p[l - 1]) / (l + 1))
    return p[: nmax + 1]


def legendre_series(coeffs, x):
    """Value and derivative of sum coeffs[l] * P_l(x)."""
    n = len(coeffs) - 1
    p_prev, p = mpf(1), x
    d_prev, d = mpf(0), mpf(1)
    value = coeffs[0] + (coeffs[1] * x if n >= 1 else 0)
    deriv = coeffs[1] if n >= 1 else mpf(0)
    for l in range(1, n):
        p_next = ((2 * l + 1) * x * p - l * p_prev) / (l + 1)
        d_next = d_prev + (2 * l + 1) * p  # P'_{l+1} = P'_{l-1} + (2l+1) P_l
        p_prev, p = p, p_next
        d_prev, d = d, d_next
        value += coeffs[l + 1] * p
        deriv += coeffs[l + 1] * d
    return value, deriv


def find_root(func, lo, hi):
    """Root of func (returning value, derivative) in [lo, hi], which must
    bracket a sign change: Newton's method safeguarded by bisection."""
    f_lo, _ = func(lo)
    f_hi, _ = func(hi)
    if f_lo == 0:
        return lo
    if f_hi == 0:
        return hi
    if (f_lo > 0) == (f_hi > 0):
        fail("no sign change in the bracket [%s, %s]" % (mpmath.nstr(lo, 20), mpmath.nstr(hi, 20)))
    eps = mpf(10) ** (-(mp.dps - 5))
    x = (lo + hi) / 2
    for _ in range(2000):
        f, df = func(x)
        if f == 0:
            return x
        if (f > 0) == (f_lo > 0):
            lo = x
        else:
            hi = x
        if df != 0:
            step = f / df
            if abs(step) <= eps * abs(x):
                return x - step
            x_new = x - step
        if df == 0 or not (lo < x_new < hi):
            x_new = (lo + hi) / 2  # Newton left the bracket: bisect instead
            if x_new in (lo, hi):
                return x_new
        x = x_new
    fail("root iteration did not converge in [%s, %s]" % (mpmath.nstr(lo, 20), mpmath.nstr(hi, 20)))


def solve(matrix, rhs):
    """Gaussian elimination with partial pivoting on lists of mpf."""
    n = len(rhs)
    a = [row[:] + [rhs[i]] for i, row in enumerate(matrix)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(a[r][col]))
        if a[pivot][col] == 0:
            fail("singular linear system")
        a[col], a[pivot] = a[pivot], a[col]
        pivot_row = a[col]
        inv = 1 / pivot_row[col]
        for r in range(col + 1, n):
            row = a[r]
            factor = row[col] * inv
            if factor != 0:
                for c in range(col, n + 1):
                    row[c] -= factor * pivot_row[c]
    x = [mpf(0)] * n
    for r in range(n - 1, -1, -1):
        s = a[r][n] - mpmath.fdot(a[r][r + 1 : n], x[r + 1 : n])
        x[r] = s / a[r][r]
    return x


class AuxiliaryRule:
    """Gauss-Legendre rule with AUX_POINTS points (positive half), with the
    Legendre polynomials tabulated at its nodes."""

    def __init__(self, points, degree):
        self.nodes, self.weights = gauss_legendre_positive(points)
        self.legendre = [legendre_values(degree, x) for x in self.nodes]


def gauss_legendre_positive(m):
    """Positive nodes (ascending) and weights of the m-point Gauss-Legendre
    rule (and, for odd m, the centre node 0 first)."""
    nodes, weights = [], []
    for k in range(1, m // 2 + 1):
        # Initial guess (Tricomi), then Newton on P_m.
        x = mpmath.cos(mp.pi * (4 * k - 1) / (4 * m + 2))
        for _ in range(100):
            p = legendre_values(m, x)
            dp = m * (x * p[m] - p[m - 1]) / (x * x - 1)
            dx = p[m] / dp
            x -= dx
            if abs(dx) <= mpf(10) ** (-(mp.dps - 5)):
                break
        else:
            fail("Gauss-Legendre node did not converge")
        p = legendre_values(m, x)
        dp = m * (x * p[m] - p[m - 1]) / (x * x - 1)
        nodes.append(x)
        weights.append(2 / ((1 - x * x) * dp * dp))
    nodes.reverse()
    weights.reverse()
    if m % 2 == 1:
        p = legendre_values(m, mpf(0))
        # w = 2 / ((1 - x^2) P'_m(x)^2) with P'_m(0) = m P_{m-1}(0)
        dp = m * p[m - 1]
        nodes.insert(0, mpf(0))
        weights.insert(0, 2 / (dp * dp))
    return nodes, weights


# ---------------------------------------------------------------------------
# Rules on [-1, 1], symmetric, with an odd number of nodes: represented by the
# positive nodes (ascending) plus the centre node 0.


def extension_nodes(old_positive, aux):
    """Positive roots of the polynomial q of degree N+1 (N = 2 len(old)+1)
    orthogonal to all lower degrees under the weight pi(x) = x prod (x^2 - x_j^2)."""
    n = len(old_positive)
    big_n = 2 * n + 1
    # q is even (pi is odd); its Legendre coefficients a_0, a_2, ..., a_{N-1}
    # with a_{N+1} = 1 solve int pi q P_k = 0 for odd k = 1, 3, ..., N (for
    # even k the integrand is odd).
    t = []
    for x, w in zip(aux.nodes, aux.weights):
        prod = x
        for xj in old_positive:
            prod *= x * x - xj * xj
        t.append(2 * w * prod)  # factor 2: the integrand is even
    even = list(range(0, big_n + 2, 2))  # 0 .. N+1
    odd = list(range(1, big_n + 1, 2))  # 1 .. N
    columns = {}
    for i in even:
        columns[i] = [t[m] * aux.legendre[m][i] for m in range(len(t))]
    matrix, rhs = [], []
    for k in odd:
        pk = [aux.legendre[m][k] for m in range(len(t))]
        row = [mpmath.fdot(columns[i], pk) for i in even[:-1]]
        matrix.append(row)
        rhs.append(-mpmath.fdot(columns[big_n + 1], pk))
    a = solve(matrix, rhs)
    coeffs = [mpf(0)] * (big_n + 2)
    for i, ai in zip(even[:-1], a):
        coeffs[i] = ai
    coeffs[big_n + 1] = mpf(1)

    def q(x):
        return legendre_series(coeffs, x)

    # The new nodes interlace with the old ones: one root in each gap
    # (0, x_1), (x_1, x_2), ..., (x_n, 1).  A missing sign change means the
    # extension does not exist with real interlacing nodes: fail loudly.
    edges = [mpf(0)] + list(old_positive) + [mpf(1)]
    return [find_root(q, edges[j], edges[j + 1]) for j in range(n + 1)]


def interpolatory_weights(positive):
    """Weights (w0, w_1..w_n) of the symmetric interpolatory rule with nodes
    0, +-positive: exact for P_0, P_2, ..., P_2n."""
    n = len(positive)
    at_zero = legendre_values(2 * n, mpf(0))
    at_nodes = [legendre_values(2 * n, x) for x in positive]
    matrix, rhs = [], []
    for i in range(n + 1):
        row = [at_zero[2 * i]] + [2 * at_nodes[j][2 * i] for j in range(n)]
        matrix.append(row)
        rhs.append(mpf(2) if i == 0 else mpf(0))
    w = solve(matrix, rhs)
    return w[0], w[1:]


def validate_rule(name, positive, w0, weights, degree):
    """Nodes distinct and inside (0, 1), weights positive, w0 + 2 sum w = 2,
    and exactness for x^k, k = 0 .. degree."""
    tol = mpf(10) ** (-VALIDATION_TOLERANCE_DIGITS)
    if any(not (0 < x < 1) for x in positive):
        fail("%s: a node lies outside (0, 1)" % name)
    ordered = sorted(positive)
    if any(ordered[i] == ordered[i + 1] for i in range(len(ordered) - 1)):
        fail("%s: nodes are not distinct" % name)
    if w0 <= 0 or any(w <= 0 for w in weights):
        fail("%s: a weight is not positive" % name)
    total = w0 + 2 * mpmath.fsum(weights)
    if abs(total - 2) > tol:
        fail("%s: w0 + 2 sum w = %s, not 2" % (name, mpmath.nstr(total, 30)))
    powers = [mpf(1)] * len(positive)
    for k in range(degree + 1):
        if k > 0:
            powers = [p * x for p, x in zip(powers, positive)]
        if k % 2 == 1:
            continue  # the symmetric rule integrates odd powers exactly by construction
        value = (w0 if k == 0 else mpf(0)) + 2 * mpmath.fdot(weights, powers)
        exact = mpf(2) / (k + 1)
        if abs(value - exact) > tol:
            fail("%s: not exact for x^%d (error %s)" % (name, k, mpmath.nstr(value - exact, 5)))
    # The degree is also the highest one: the next even power must not be
    # integrated exactly, otherwise the nodes are not the ones intended.
    k = degree + 1 if degree % 2 == 1 else degree + 2
    value = 2 * mpmath.fdot(weights, [x**k for x in positive])
    if abs(value - mpf(2) / (k + 1)) <= tol:
        fail("%s: unexpectedly exact for x^%d" % (name, k))


# ---------------------------------------------------------------------------
# Rounding


def decimal_of(value, digits=200):
    return Decimal(mpmath.nstr(value, digits, strip_zeros=False, min_fixed=-mpmath.inf, max_fixed=mpmath.inf))


def round_significant(d, digits):
    with localcontext() as ctx:
        ctx.prec = digits
        ctx.rounding = ROUND_HALF_EVEN
        return +d


def nearest_double(value):
    """The double nearest to an mpf (round to nearest, ties to even)."""
    x = mpmath.libmp.to_float(value._mpf_, rnd=mpmath.libmp.round_nearest)
    if float(mpmath.nstr(value, 60)) != x:
        fail("inconsistent rounding of %s to double" % mpmath.nstr(value, 30))
    return x


def significant_digits(text):
    digits = text.replace("-", "").replace(".", "").lstrip("0")
    return len(digits)


# ---------------------------------------------------------------------------
# The tables


def kronrod15(aux):
    gauss_positive, gauss_weights = gauss_legendre_positive(7)
    g0, gauss_positive, gauss_w = gauss_weights[0], gauss_positive[1:], gauss_weights[1:]
    validate_rule("Gauss 7", gauss_positive, g0, gauss_w, 13)
    added = extension_nodes(gauss_positive, aux)
    positive = sorted(gauss_positive + added)
    k0, kw = interpolatory_weights(positive)
    validate_rule("Kronrod 15", positive, k0, kw, 22)
    # XGK descending, ending with the centre; the Gauss nodes have even index.
    xgk = list(reversed(positive)) + [mpf(0)]
    wgk = list(reversed(kw)) + [k0]
    gauss_of = dict(zip(gauss_positive, gauss_w))
    wg = [gauss_of.get(x, mpf(0)) for x in xgk[:7]] + [g0]
    for j in range(1, 8):
        is_gauss = xgk[j - 1] in gauss_of
        if is_gauss != (j % 2 == 0):
            fail("Kronrod: the Gauss nodes are not at the even indices")
    table = {
        "XGK": [nearest_double(v) for v in xgk],
        "WGK": [nearest_double(v) for v in wgk],
        "WG": [nearest_double(v) for v in wg],
    }
    for (name, index), text in KRONROD_QUOTED.items():
        if repr(table[name][index - 1]) != text:
            fail("Kronrod: %s(%d) = %r, expected %s" % (name, index, table[name][index - 1], text))
    return table


def patterson(aux):
    """The 381 entries: list of (label, exact value) in table order."""
    entries = []
    positive = []  # nodes of the current rule, ascending
    pairs = []  # positive nodes in the order in which they were added
    for stage in range(1, PATTERSON_STAGES + 1):
        added = extension_nodes(positive, aux)
        positive = sorted(positive + added)
        w0, weights = interpolatory_weights(positive)
        n = len(positive)
        validate_rule("Patterson %d" % (2 * n + 1), positive, w0, weights, 3 * n + 2)
        weight_of = dict(zip(positive, weights))
        old_count = len(pairs)
        for j, x in enumerate(pairs, start=1):
            entries.append(("w%d" % j, weight_of[x]))
        # New pairs in descending order of abscissa.
        for j, x in enumerate(sorted(added, reverse=True), start=old_count + 1):
            pairs.append(x)
            entries.append(("x%d" % j, x))
            entries.append(("w%d" % j, weight_of[x]))
        entries.append(("w0", w0))
    if len(entries) != PATTERSON_TABLE_SIZE:
        fail("Patterson: %d entries instead of %d" % (len(entries), PATTERSON_TABLE_SIZE))
    rows = []
    for position, (label, value) in enumerate(entries, start=1):
        text = format(round_significant(decimal_of(value), 16), "f")
        quoted = PATTERSON_QUOTED.get(position)
        if quoted is not None:
            digits = significant_digits(quoted)
            from_exact = format(round_significant(decimal_of(value), digits), "f")
            from_sixteen = format(round_significant(Decimal(text), digits), "f")
            if from_exact != quoted or from_sixteen != quoted:
                fail(
                    "Patterson: entry %d is %s (16 digits %s), which does not round to the published %s"
                    % (position, from_exact, text, quoted)
                )
            text = quoted
        rows.append((label, text, float(text)))
    return rows


# ---------------------------------------------------------------------------
# Output

HEAD = "// generated by tools/gen_rules.py, do not edit\n"


def kronrod_header(table):
    lines = [
        HEAD,
        "//\n",
        "// The 15-point Gauss-Kronrod rule on [-1, 1]: the 7-point Gauss-Legendre rule\n",
        "// and its Kronrod extension by the 8 roots of the degree-8 polynomial that is\n",
        "// orthogonal to all lower degrees under the weight P7(x) (A. S. Kronrod, \"Nodes\n",
        "// and weights of quadrature formulas\", 1965). The Kronrod rule integrates\n",
        "// polynomials of degree 22 exactly, the embedded Gauss rule those of degree 13.\n",
        "// Computed in %d-digit arithmetic and correctly rounded to double.\n" % DPS,
        "//\n",
        "//   XGK(1..8)  nodes >= 0 in descending order, XGK(8) = 0 the centre;\n",
        "//              the Gauss nodes are those with even index\n",
        "//   WGK(1..8)  Kronrod weights of XGK(1..8)\n",
        "//   WG(1..8)   Gauss weights aligned with XGK: 0 at odd indices, WG(8) the\n",
        "//              Gauss centre weight\n",
        "#pragma once\n",
        "\n",
        "#include <array>\n",
        "\n",
        "// clang-format off\n",
        "namespace triex {\n",
    ]
    for name in ("XGK", "WGK", "WG"):
        lines.append("\n")
        lines.append("inline constexpr std::array<double, 8> %s = {\n" % name)
        for j, v in enumerate(table[name], start=1):
            lines.append("    %-22s  // %s(%d) = %r\n" % (v.hex() + ",", name, j, v))
        lines.append("};\n")
    lines.append("\n}  // namespace triex\n")
    lines.append("// clang-format on\n")
    return "".join(lines)


def patterson_header(rows):
    lines = [
        HEAD,
        "//\n",
        "// Patterson's nested sequence of quadrature rules on [-1, 1] with 1, 3, 7, 15,\n",
        "// 31, 63, 127 and 255 points (T. N. L. Patterson, \"The optimum addition of\n",
        "// points to quadrature formulae\", Math. Comp. 22 (1968) 847-856). Each rule\n",
        "// keeps every node of the one before and adds the N+1 roots of the polynomial\n",
        "// of degree N+1 that is orthogonal to all lower degrees under the weight\n",
        "// prod (x - x_i) over the N existing nodes; the (2n+1)-point rule\n",
        "// w0 f(0) + sum w_j (f(-x_j) + f(x_j)) is exact for polynomials of degree\n",
        "// 3n+2. Computed in %d-digit arithmetic, rounded to 16 significant digits\n" % DPS,
        "// (the precision of Patterson's published coefficients, whose shorter\n",
        "// entries are kept as published) and then to the nearest double.\n",
        "//\n",
        "// Layout, one stage per rule from 3 to 255 points, read strictly in sequence:\n",
        "// the complete weights of the old pairs in the new rule (pairs numbered in\n",
        "// the order in which they were added), then the new pairs x_j, w_j in\n",
        "// descending order of x_j, then the centre weight w0.\n",
        "#pragma once\n",
        "\n",
        "#include <array>\n",
        "\n",
        "// clang-format off\n",
        "namespace triex {\n",
        "\n",
        "inline constexpr std::array<double, %d> kPattersonTable = {\n" % PATTERSON_TABLE_SIZE,
    ]
    position = 0
    for stage in range(1, PATTERSON_STAGES + 1):
        points = 2 ** (stage + 1) - 1
        old = 2 ** (stage - 1) - 1
        new = 2 ** (stage - 1)
        lines.append("    // %d-point rule\n" % points)
        for _ in range(old + 2 * new + 1):
            label, text, value = rows[position]
            position += 1
            lines.append("    %-22s  // %3d %-4s %s\n" % (value.hex() + ",", position, label, text))
    lines.append("};\n")
    lines.append("\n}  // namespace triex\n")
    lines.append("// clang-format on\n")
    return "".join(lines)


def write(directory, name, text):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def generate(directory):
    mp.dps = DPS
    aux = AuxiliaryRule(AUX_POINTS, AUX_POINTS)
    # The Kronrod header first: it is small and needed on its own.
    write(directory, KRONROD_HEADER, kronrod_header(kronrod15(aux)))
    write(directory, PATTERSON_HEADER, patterson_header(patterson(aux)))


def check(committed):
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        generate(tmp)
        for name in (KRONROD_HEADER, PATTERSON_HEADER):
            path = os.path.join(committed, name)
            with open(os.path.join(tmp, name), "rb") as f:
                fresh = f.read()
            try:
                with open(path, "rb") as f:
                    old = f.read()
            except OSError as e:
                print("%s: cannot read (%s)" % (path, e))
                failures += 1
                continue
            if fresh != old:
                failures += 1
                print("%s differs from a fresh generation:" % path)
                diff = difflib.unified_diff(
                    old.decode("ascii", "replace").splitlines(True),
                    fresh.decode("ascii", "replace").splitlines(True),
                    path,
                    "regenerated",
                )
                sys.stdout.writelines(list(diff)[:40])
            else:
                print("%s: identical" % path)
    return failures == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true", help="compare a fresh generation with the committed files")
    parser.add_argument("--out", default=os.path.join(REPO, "quadrature", "tables"), help="output directory")
    args = parser.parse_args()
    try:
        if args.check:
            return 0 if check(args.out) else 1
        generate(args.out)
    except GenerationError as e:
        sys.stderr.write("gen_rules.py: validation failed: %s\n" % e)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
