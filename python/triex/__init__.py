"""The excluded volume of rigid triaxial ellipsoids and the second virial
coefficient of their solutions.

A macromolecule is modelled as an ellipsoid with semi-axes a, b, c (in
Angstrom, or any unit of length: the reduced excluded volume has none), or by
its axial ratios a/b and b/c. Its reduced excluded volume

    u_red = 2 + 2 R S / V        (8 for a sphere)

follows from its volume V, surface area S and mean radius of curvature R,
here in closed form by Carlson's elliptic integral R_G (B. C. Carlson,
Numer. Algorithms 10, 1995, 13-26). With the swollen specific volume vs
(ml/g) and the molar mass M (g/mol) it gives the molar excluded volume
U = vs M u_red and the exclusion term B(ex) = U / (2 M^2) of the second
virial coefficient; a charged molecule adds B(z).

The functions broadcast their array arguments as NumPy ufuncs do and return
scalars for scalar arguments; the loops run in compiled code with the
interpreter's lock released. A value that has no meaning raises ValueError
with the words of the triex command line, e.g. ``a = -1 must be a positive
number``, and for arrays the index of the first such element.

Functions: ured, ured_ratios, shape_functions, mixture_excluded_volume,
quadrature, quadrature_ratios, swollen_specific_volume, virial,
ured_from_virial, solve, solve_virial. Maps: triex.plot.ured_map.
"""

import collections
import warnings

import numpy as np

from . import _core

__all__ = [
    "IntegrationWarning",
    "ShapeFunctions",
    "Curve",
    "ured",
    "ured_ratios",
    "shape_functions",
    "mixture_excluded_volume",
    "quadrature",
    "quadrature_ratios",
    "swollen_specific_volume",
    "virial",
    "ured_from_virial",
    "solve",
    "solve_virial",
    "MAX_SOLVE_RATIO",
]

#: The largest axial ratio (a/b or b/c) that `solve` considers.
MAX_SOLVE_RATIO = _core.max_solve_ratio

_METHODS = ("exact", "quadrature")


class IntegrationWarning(RuntimeWarning):
    """A double integral of the quadrature did not converge (IFAIL != 0)."""


ShapeFunctions = collections.namedtuple("ShapeFunctions", ["volume", "surface", "mean_radius"])
ShapeFunctions.__doc__ = """Volume V, surface area S and mean radius of curvature R of an ellipsoid,
in the unit of the semi-axes cubed, squared and to the first power."""

Curve = collections.namedtuple("Curve", ["a_over_b", "b_over_c"])
Curve.__doc__ = """Axial ratios of the ellipsoids a >= b >= c along a curve of constant
u_red, the prolate end (a/b largest, b/c = 1) first."""


def _broadcast(*values):
    """The values as float64 arrays of one broadcast shape (ValueError when
    the shapes do not broadcast), and whether all were scalars."""
    arrays = [np.asarray(v, dtype=np.float64) for v in values]
    return np.broadcast_arrays(*arrays), all(a.ndim == 0 for a in arrays)


def _result(array, scalar):
    # A 0-d array becomes a NumPy scalar, as a ufunc returns for scalars.
    return array[()] if scalar else array


def _check_method(method):
    if method not in _METHODS:
        raise ValueError(f"method = {method!r} must be 'exact' or 'quadrature'")


def _warn_unconverged(converged):
    failed = np.size(converged) - np.count_nonzero(converged)
    if failed:
        first = np.unravel_index(np.argmin(converged), np.shape(converged)) if np.ndim(converged) else ()
        where = f" (the first at index {first if len(first) > 1 else first[0]})" if first else ""
        warnings.warn(
            f"the quadrature did not converge for {failed} of {np.size(converged)} shapes{where}; "
            "their u_red is the integrals' last estimate (triex.quadrature gives IFAIL)",
            IntegrationWarning,
            stacklevel=3,
        )


def ured(a, b, c, method="exact", *, threads=None):
    """Reduced excluded volume u_red = 2 + 2 R S / V of the ellipsoid with
    semi-axes a, b, c.

    Parameters
    ----------
    a, b, c : array_like
        Semi-axes, positive and finite, in any order and any one unit of
        length (u_red has no unit). Broadcast against each other.
    method : {"exact", "quadrature"}
        "exact" (default): the closed form by Carlson's R_G, within a few
        units in the last place. "quadrature": the interactive program's
        two-dimensional quadrature, bit for bit its value (pi taken as
        3.14159, accuracy about 1e-5); an IntegrationWarning names the
        shapes for which an integral did not converge.
    threads : int, optional
        Number of threads for the loop (default: every core for large
        arrays, one for small ones). The result does not depend on it.

    Returns
    -------
    ndarray or float
        u_red (8 for a sphere), of the broadcast shape; a scalar when all
        arguments are scalars.

    Raises
    ------
    ValueError
        For a semi-axis that is zero, negative, infinite or NaN, e.g.
        ``a = nan must be a positive number (at index 3)``.
    """
    _check_method(method)
    (a, b, c), scalar = _broadcast(a, b, c)
    if method == "exact":
        return _result(_core.ured_exact(a, b, c, threads), scalar)
    values, converged = _core.ured_quadrature(a, b, c, False, threads)
    _warn_unconverged(converged)
    return _result(values, scalar)


def ured_ratios(a_over_b, b_over_c, method="exact", *, threads=None):
    """Reduced excluded volume from the axial ratios a/b and b/c.

    The ellipsoid is a = (a/b)(b/c), b = b/c, c = 1.

    Parameters
    ----------
    a_over_b, b_over_c : array_like
        Axial ratios, positive and finite (their product too). Broadcast
        against each other.
    method : {"exact", "quadrature"}
        As for `ured`.
    threads : int, optional
        As for `ured`.

    Returns
    -------
    ndarray or float
        u_red of the broadcast shape; a scalar for scalar arguments.

    Raises
    ------
    ValueError
        For a ratio that is zero, negative, infinite or NaN, e.g.
        ``a/b = 0 must be a positive number``.
    """
    _check_method(method)
    (ab, bc), scalar = _broadcast(a_over_b, b_over_c)
    if method == "exact":
        return _result(_core.ured_ratios_exact(ab, bc, threads), scalar)
    values, converged = _core.ured_quadrature(ab, bc, np.ones_like(ab), True, threads)
    _warn_unconverged(converged)
    return _result(values, scalar)


def shape_functions(a, b, c):
    """Volume, surface area and mean radius of curvature of the ellipsoid
    with semi-axes a, b, c, in closed form.

    Parameters
    ----------
    a, b, c : array_like
        Semi-axes, positive and finite, in one unit of length L (e.g.
        Angstrom). Broadcast against each other.

    Returns
    -------
    ShapeFunctions
        Named tuple (volume [L^3], surface [L^2], mean_radius [L]) of arrays
        of the broadcast shape, or of scalars for scalar arguments.

    Raises
    ------
    ValueError
        For a semi-axis that is zero, negative, infinite or NaN.
    """
    (a, b, c), scalar = _broadcast(a, b, c)
    return ShapeFunctions(*(_result(x, scalar) for x in _core.shape_functions(a, b, c)))


def mixture_excluded_volume(shape1, shape2):
    """Orientation-averaged excluded volume of two different ellipsoids,
    u12 = V1 + V2 + R1 S2 + R2 S1 (Isihara, J. Chem. Phys. 18, 1950, 1446).

    Parameters
    ----------
    shape1, shape2 : ShapeFunctions
        Each the result of `shape_functions` (or a triple volume, surface,
        mean_radius) in one unit of length L; arrays broadcast.

    Returns
    -------
    ndarray or float
        u12 in L^3; for two equal shapes it is u_red V.

    Raises
    ------
    ValueError
        For a volume, surface or radius that is not a positive number.
    """
    (V1, S1, R1, V2, S2, R2), scalar = _broadcast(*tuple(shape1), *tuple(shape2))
    return _result(_core.mixture_excluded_volume(V1, S1, R1, V2, S2, R2), scalar)


def quadrature(a, b, c):
    """The interactive program's two-dimensional quadrature for one shape.

    Parameters
    ----------
    a, b, c : float
        Semi-axes, positive and finite.

    Returns
    -------
    dict
        ``ured``, ``surface`` (S), ``mean_radius`` (R), ``npts_surface`` and
        ``npts_curvature`` (integrand evaluations of the two double
        integrals, NPTS), ``ifail_surface`` and ``ifail_curvature`` (0 when
        every nested rule converged, IFAIL); bit for bit the program's values.

    Raises
    ------
    ValueError
        For a semi-axis that is zero, negative, infinite or NaN.
    """
    return _core.quadrature(float(a), float(b), float(c), False)


def quadrature_ratios(a_over_b, b_over_c):
    """`quadrature` for the axial ratios: the ellipsoid (a/b)(b/c), b/c, 1.

    Parameters
    ----------
    a_over_b, b_over_c : float
        Axial ratios, positive and finite.

    Returns
    -------
    dict
        As for `quadrature`.
    """
    return _core.quadrature(float(a_over_b), float(b_over_c), 1.0, True)


def swollen_specific_volume(vbar, hydration, solvent_density):
    """Swollen specific volume vs = vbar + hydration / solvent_density.

    Parameters
    ----------
    vbar : array_like
        Partial specific volume, ml/g (any finite value).
    hydration : array_like
        Hydration delta, g of solvent per g of molecule (any finite value).
    solvent_density : array_like
        Solvent density rho, g/ml, positive.

    Returns
    -------
    ndarray or float
        vs in ml/g.

    Raises
    ------
    ValueError
        For a density that is not positive, a value that is not finite, or
        a vs that comes out zero or negative.
    """
    arrays, scalar = _broadcast(vbar, hydration, solvent_density)
    return _result(_core.swollen_specific_volume(*arrays), scalar)


def _specific_volume(vs, hydration, solvent_density, vbar):
    """vs as given, or derived from the hydration data; and whether derived."""
    hydration_data = (hydration, solvent_density, vbar)
    if vs is not None:
        if any(x is not None for x in hydration_data):
            raise ValueError("give either vs or hydration, solvent_density and vbar, not both")
        return vs, False
    if any(x is None for x in hydration_data):
        raise ValueError("give vs, or all three of hydration, solvent_density and vbar")
    return swollen_specific_volume(vbar, hydration, solvent_density), True


def _charge(valency, ionic_strength):
    if (valency is None) != (ionic_strength is None):
        raise ValueError("valency and ionic_strength go together: give both or neither")
    return valency is not None


def _shape_ured(a, b, c, a_over_b, b_over_c, method):
    axes = (a, b, c)
    ratios = (a_over_b, b_over_c)
    if all(x is not None for x in axes) and all(x is None for x in ratios):
        return ured(a, b, c, method)
    if all(x is not None for x in ratios) and all(x is None for x in axes):
        return ured_ratios(a_over_b, b_over_c, method)
    raise ValueError("give the shape as a, b, c or as a_over_b, b_over_c")


def virial(*, molar_mass, a=None, b=None, c=None, a_over_b=None, b_over_c=None, vs=None, hydration=None,
           solvent_density=None, vbar=None, valency=None, ionic_strength=None, method="exact"):
    """The excluded volume and second virial coefficient of a solution of
    ellipsoids: the quantities of the triex report, from the inputs of a
    batch row. All arguments are keywords and broadcast against each other.

    Parameters
    ----------
    molar_mass : array_like
        M, g/mol, positive (with 2 M^2 finite).
    a, b, c : array_like, optional
        Semi-axes in Angstrom; or instead
    a_over_b, b_over_c : array_like, optional
        the axial ratios.
    vs : array_like, optional
        Swollen specific volume, ml/g, positive; or instead all three of
    hydration, solvent_density, vbar : array_like, optional
        g/g, g/ml and ml/g, giving vs = vbar + hydration / solvent_density.
    valency, ionic_strength : array_like, optional
        Charge Z of the molecule and ionic strength I (mol/l, positive) of the
        solvent: both or neither; without them B(z) = 0.
    method : {"exact", "quadrature"}
        How u_red is computed, as for `ured`.

    Returns
    -------
    dict
        Keyed as the columns of ``triex batch``, with units in the names:
        ``ured``; ``vs_ml_per_g`` (only when derived from hydration data);
        ``U_ml_per_mol`` (molar excluded volume vs M u_red); ``u_ml``
        (excluded volume of one molecule, U / N_A); ``Bex_ml_mol_per_g2``
        (U / (2 M^2)); ``Bz_ml_mol_per_g2`` (the screened polyelectrolyte
        term, 0 without charge); ``B_ml_mol_per_g2`` (their sum);
        ``BM_ml_per_g``; ``BM2_l_per_mol``; ``BM2_per_uM``.

    Raises
    ------
    ValueError
        For a missing or contradictory combination of inputs, or a value
        that the command line refuses, in its words (``M = 0 must be a
        positive number``).
    """
    _check_method(method)
    u = _shape_ured(a, b, c, a_over_b, b_over_c, method)
    specific_volume, derived = _specific_volume(vs, hydration, solvent_density, vbar)
    charged = _charge(valency, ionic_strength)
    Z, I = (valency, ionic_strength) if charged else (0.0, 1.0)
    arrays, scalar = _broadcast(u, specific_volume, molar_mass, Z, I)
    names = ["U_ml_per_mol", "u_ml", "Bex_ml_mol_per_g2", "Bz_ml_mol_per_g2", "B_ml_mol_per_g2", "BM_ml_per_g",
             "BM2_l_per_mol", "BM2_per_uM"]
    quantities = _core.virial(*arrays, charged)
    result = {"ured": _result(arrays[0].copy(), scalar)}
    if derived:
        result["vs_ml_per_g"] = _result(arrays[1].copy(), scalar)
    result.update((name, _result(x, scalar)) for name, x in zip(names, quantities))
    return result


def ured_from_virial(*, B, molar_mass, vs=None, hydration=None, solvent_density=None, vbar=None, valency=None,
                     ionic_strength=None):
    """The reduced excluded volume that a measured second virial coefficient
    implies: u_red = 2 M (B - B(z)) / vs.

    Parameters
    ----------
    B : float
        Second virial coefficient, ml mol/g^2.
    molar_mass, vs, hydration, solvent_density, vbar, valency, ionic_strength : float
        As for `virial` (scalars); with a charge, its screened B(z) is taken
        off B first.

    Returns
    -------
    float
        u_red (8 for a sphere; below 8 no ellipsoid has it).
    """
    specific_volume, _ = _specific_volume(vs, hydration, solvent_density, vbar)
    charged = _charge(valency, ionic_strength)
    return _core.ured_from_virial(
        float(B), float(specific_volume), float(molar_mass),
        float(valency) if charged else None, float(ionic_strength) if charged else None)


def solve(ured, points=50):
    """The ellipsoids a >= b >= c whose exact u_red is the given value.

    Parameters
    ----------
    ured : float
        Reduced excluded volume, at least 8 (the sphere's).
    points : int
        Number of shapes along the curve, at least 2.

    Returns
    -------
    Curve
        Named tuple (a_over_b, b_over_c) of arrays: `points` shapes from the
        prolate spheroid (a/b, 1) to the oblate one (1, b/c), a/b falling and
        b/c rising; each reproduces u_red within 1e-12 relative. For u_red = 8
        the sphere (1, 1) alone.

    Raises
    ------
    ValueError
        For u_red below 8 or NaN, points < 2, or a u_red beyond what axial
        ratios up to MAX_SOLVE_RATIO reach.
    """
    if isinstance(points, bool) or int(points) != points:
        raise ValueError(f"points = {points!r} must be a whole number")
    return Curve(*_core.solve(float(ured), int(points)))


def solve_virial(*, B, molar_mass, vs=None, hydration=None, solvent_density=None, vbar=None, valency=None,
                 ionic_strength=None, points=50):
    """The ellipsoids that fit a measured second virial coefficient:
    `solve` of `ured_from_virial`.

    Parameters
    ----------
    B, molar_mass, vs, hydration, solvent_density, vbar, valency, ionic_strength : float
        As for `ured_from_virial`.
    points : int
        As for `solve`.

    Returns
    -------
    Curve
        As for `solve`.
    """
    target = ured_from_virial(B=B, molar_mass=molar_mass, vs=vs, hydration=hydration,
                              solvent_density=solvent_density, vbar=vbar, valency=valency,
                              ionic_strength=ionic_strength)
    return solve(target, points)
