"""method="quadrature" and triex.quadrature give the interactive program's
values to the bit: those of its shape section, pinned below (S, R and u_red
as exact doubles, the evaluation counts and failure codes of the two double
integrals)."""

import warnings

import numpy as np
import pytest

import triex

# (a, b, c), u_red, surface, mean radius, the two NPTS and the two IFAIL.
PINS = [
    ((3.0, 2.0, 1.0), "0x1.458e4b132ca92p+3", "0x1.870e8e0773947p+5", "0x1.0cf52bd62c714p+1", 449, 865, 0, 0),
    ((91.98, 80.97, 0.216), "0x1.d925b699cd039p+9", "0x1.6d996dab81f1bp+15", "0x1.0ff204daedc5dp+6", 3825, 3825, 140, 0),
    ((0.1814, 79.81, 0.2402), "0x1.ca078a82633adp+9", "0x1.4db546ca00831p+7", "0x1.3f316349c44afp+5", 12769, 13681, 0, 110),
    ((2.0, 1.0, 1.0), "0x1.227695b820349p+3", "0x1.57a79b1b7db31p+4", "0x1.615309e5109e2p+0", 649, 665, 0, 0),
    ((1.0, 1.0, 0.5), "0x1.227690baa9af4p+3", "0x1.158000ca61c51p+3", "0x1.b58e1a79ecc45p-1", 45, 93, 0, 0),
    ((10.0, 1.0, 1.0), "0x1.a61f5d1c08607p+4", "0x1.8c9a951bb5e37p+6", "0x1.49a06ce368eb6p+2", 1905, 1905, 0, 0),
    ((1.0, 1.0, 0.1), "0x1.a61f5283348d8p+4", "0x1.9e3879edf5bb3p+2", "0x1.93fa46b7c164bp-1", 189, 189, 0, 0),
    ((50.0, 20.0, 1.0), "0x1.6348b0fa98837p+6", "0x1.8aea6c1d5845bp+12", "0x1.cc7222b56c4cdp+4", 3937, 3233, 0, 0),
    ((0.3253, 0.8009, 9.554), "0x1.ace18a69438f3p+5", "0x1.bc6f569887f84p+5", "0x1.35f53201b5c5bp+2", 1953, 2977, 0, 0),
    ((0.6965, 0.3743, 0.3191), "0x1.24b6df155b618p+3", "0x1.4bf126562dffbp+1", "0x1.ebb81c4265764p-2", 273, 689, 0, 0),
    ((14.09, 17.41, 8.916), "0x1.18da6870dee82p+3", "0x1.1a30a95bd2dc9p+11", "0x1.b80508805bac4p+3", 465, 433, 0, 0),
    ((2.351, 1.116, 1.325), "0x1.20b05e7193578p+3", "0x1.f00101fa6a1d8p+4", "0x1.a62e0a1c1f8cap+0", 625, 633, 0, 0),
]


@pytest.fixture(scope="module")
def records():
    return [{"args": list(axes), "ured": float.fromhex(u), "surface": float.fromhex(s),
             "mean_radius": float.fromhex(r), "npts_surface": ns, "npts_curvature": nr,
             "ifail_surface": fs, "ifail_curvature": fr}
            for axes, u, s, r, ns, nr, fs, fr in PINS]


def find(records, args):
    return next(r for r in records if r["args"][:len(args)] == list(args))


def details(record):
    return {k: v for k, v in record.items() if k != "args"}


def test_the_dialogues_example_3_2_1_to_the_bit(records):
    record = find(records, (3.0, 2.0, 1.0))
    assert triex.quadrature(3, 2, 1) == details(record)
    assert triex.ured(3, 2, 1, method="quadrature").hex() == record["ured"].hex() == "0x1.458e4b132ca92p+3"


def test_axial_ratios_to_the_bit(records):
    # a/b = 1.5, b/c = 2 is the ellipsoid (3, 2, 1), c the unit of length.
    record = find(records, (3.0, 2.0, 1.0))
    assert triex.quadrature_ratios(1.5, 2) == details(record)
    assert triex.ured_ratios(1.5, 2, method="quadrature") == record["ured"]


def test_an_array_of_converged_shapes_matches_every_record(records):
    chosen = [r for r in records if r["ifail_surface"] == 0 and r["ifail_curvature"] == 0
              and r["npts_surface"] + r["npts_curvature"] < 20000]
    a, b, c = np.array([r["args"] for r in chosen]).T
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        values = triex.ured(a, b, c, method="quadrature")
    np.testing.assert_array_equal(values, [r["ured"] for r in chosen])


@pytest.mark.parametrize("failing", ["ifail_surface", "ifail_curvature"])
def test_a_quadrature_that_did_not_converge_is_reported(records, failing):
    # The cheapest pinned shape on which this one of the two double
    # integrals failed and the other converged.
    other = "ifail_curvature" if failing == "ifail_surface" else "ifail_surface"
    record = min((r for r in records if r[failing] and not r[other]),
                 key=lambda r: r["npts_surface"] + r["npts_curvature"])
    shapes = np.array([[3.0, 2.0, 1.0], record["args"], record["args"]]).T
    with pytest.warns(triex.IntegrationWarning, match=r"did not converge for 2 of 3 shapes \(the first at index 1\)") as caught:
        values = triex.ured(*shapes, method="quadrature")
    assert values[1] == values[2] == record["ured"]
    with pytest.warns(triex.IntegrationWarning, match=r"did not converge for 1 of 1 shapes;") as caught_too:
        assert triex.ured(*record["args"], method="quadrature") == record["ured"]
        a, b, c = record["args"]
        triex.virial(a=a, b=b, c=c, vs=1, molar_mass=1e4, method="quadrature")
    assert triex.quadrature(*record["args"]) == details(record)
    # Each warning points at the line of this file that called the package,
    # however deep inside it the warning was raised.
    assert [w.filename for w in [*caught, *caught_too]] == [__file__] * 3


def test_refused_values_are_refused_before_any_integration():
    with pytest.raises(ValueError, match=r"^c: c = 0 must be a positive number \(at index 1\)$"):
        triex.ured([1, 1], [1, 1], [1, 0], method="quadrature")
    with pytest.raises(ValueError, match=r"^a: a = -3 must be a positive number$"):
        triex.quadrature(-3, 2, 1)
    with pytest.raises(ValueError, match=r"^method = 'simpson' must be 'exact' or 'quadrature'$"):
        triex.ured(1, 2, 3, method="simpson")
