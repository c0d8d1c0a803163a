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
interpreter's lock released. A value that has no meaning raises Refusal, a
ValueError naming the argument and giving the words of the triex command
line, e.g. ``a: a = -1 must be a positive number``, and for arrays the index
of the first such element. None, text and
masked arrays are refused (a mask would be ignored by the computation: pass
``x.compressed()`` or ``x.filled(value)``).

Functions: ured, ured_ratios, shape_functions, mixture_excluded_volume,
quadrature, quadrature_ratios, swollen_specific_volume, virial,
ured_from_virial, solve, solve_virial, shape_factors, predict. Maps:
triex.plot.ured_map.
"""

import collections
import os
import sys
import warnings

import numpy as np

from . import _core
from ._fit import FitResult, FitSolution, FitWarning, fit  # noqa: E402

#: The project's version, as ``triex --version`` prints it.
__version__ = _core.__version__

__all__ = [
    "fit",
    "FitResult",
    "FitSolution",
    "FitWarning",
    "IntegrationWarning",
    "Refusal",
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
    "structure",
    "shape_factors",
    "predict",
    "MAX_SOLVE_RATIO",
]

#: The largest axial ratio (a/b or b/c) that `solve` considers.
MAX_SOLVE_RATIO = _core.max_solve_ratio

_METHODS = ("exact", "quadrature")


class Refusal(ValueError):
    """A value that has no meaning, refused by the library: `keyword` names
    the argument it came in (or the quantity it gave, such as ``ured``),
    `words` says what is wrong in the words of every triex front end;
    ``str()`` is ``"keyword: words"``."""

    def __init__(self, keyword, words):
        super().__init__(f"{keyword}: {words}")
        self.keyword, self.words = keyword, words


class IntegrationWarning(RuntimeWarning):
    """A double integral of the quadrature did not converge (IFAIL != 0)."""


ShapeFunctions = collections.namedtuple("ShapeFunctions", ["volume", "surface", "mean_radius"])
ShapeFunctions.__doc__ = """Volume V, surface area S and mean radius of curvature R of an ellipsoid,
in the unit of the semi-axes cubed, squared and to the first power."""

Curve = collections.namedtuple("Curve", ["a_over_b", "b_over_c"])
Curve.__doc__ = """Axial ratios of the ellipsoids a >= b >= c along a curve of constant
u_red, the prolate end (a/b largest, b/c = 1) first."""


def _arrays(**named):
    """The named arguments as NumPy arrays of numbers, for the compiled loop
    (which broadcasts them without copying), and whether all were scalars.

    ValueError, naming the argument, for None, text, objects and masked
    arrays, and for shapes that do not broadcast against each other."""
    arrays = []
    for name, value in named.items():
        if value is None:
            raise ValueError(f"{name} is missing (None): give a number or an array of numbers")
        if np.ma.isMaskedArray(value):
            raise ValueError(f"{name} is a masked array, whose mask would be ignored: "
                             f"pass {name}.compressed() or {name}.filled(value)")
        array = np.asarray(value)
        if array.dtype.kind not in "iuf":
            shown = repr(value) if array.ndim == 0 else f"an array of {array.dtype}"
            raise ValueError(f"{name} = {shown} must be a number or an array of numbers")
        arrays.append(array)
    try:
        np.broadcast_shapes(*(a.shape for a in arrays))
    except ValueError:
        shapes = ", ".join(f"{name} {a.shape}" for name, a in zip(named, arrays))
        raise ValueError(f"the shapes do not broadcast against each other: {shapes}") from None
    return arrays, all(a.ndim == 0 for a in arrays)


def _single(function, **named):
    """Refuses arrays where `function` takes single values."""
    for name, value in named.items():
        if value is not None and np.ndim(value) != 0:
            raise ValueError(f"{name} has shape {np.shape(value)}: {function} takes single values "
                             "(one curve each); call it once for each value")


_PACKAGE_DIRECTORY = os.path.dirname(os.path.abspath(__file__))


def _stacklevel():
    """The stacklevel that makes a warning point at the first caller outside
    this package, however deep inside it the warning is raised: for the
    caller of the function that calls this one, 1 names that function."""
    frame, level = sys._getframe(1), 1
    while frame is not None and os.path.dirname(os.path.abspath(frame.f_code.co_filename)) == _PACKAGE_DIRECTORY:
        frame, level = frame.f_back, level + 1
    return level


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
            stacklevel=_stacklevel(),
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
    (a, b, c), scalar = _arrays(a=a, b=b, c=c)
    if method == "exact":
        return _result(_core.ured_exact(a, b, c, threads), scalar)
    return _result(_quadrature_ured(_core.quadrature(a, b, c, threads)), scalar)


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
    (ab, bc), scalar = _arrays(a_over_b=a_over_b, b_over_c=b_over_c)
    if method == "exact":
        return _result(_core.ured_ratios_exact(ab, bc, threads), scalar)
    return _result(_quadrature_ured(_core.quadrature_ratios(ab, bc, threads)), scalar)


def _quadrature_ured(quadrature_arrays):
    values, _, _, _, _, ifail_surface, ifail_curvature = quadrature_arrays
    _warn_unconverged((ifail_surface == 0) & (ifail_curvature == 0))
    return values


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
    (a, b, c), scalar = _arrays(a=a, b=b, c=c)
    return ShapeFunctions(*(_result(x, scalar) for x in _core.shape_functions(a, b, c)))


def mixture_excluded_volume(shape1, shape2):
    """Orientation-averaged excluded volume of two different ellipsoids,
    u12 = V1 + V2 + R1 S2 + R2 S1 (Isihara, J. Chem. Phys. 18, 1950, 1446).

    Parameters
    ----------
    shape1, shape2 : array_like or ShapeFunctions
        Each either semi-axes, an array whose last dimension holds a, b, c
        (``(3, 2, 1)``, or shape (..., 3) for many), or the result of
        `shape_functions`; in one unit of length L. The shapes broadcast
        against each other (without their last dimension of 3).

    Returns
    -------
    ndarray or float
        u12 in L^3; for two equal shapes it is u_red V.

    Raises
    ------
    ValueError
        For anything else (a last dimension other than 3, a list of
        ShapeFunctions), for semi-axes `shape_functions` refuses, or a
        volume, surface or radius that is not a positive number.
    """
    (V1, S1, R1), scalar1 = _shape_functions_of("shape1", shape1)
    (V2, S2, R2), scalar2 = _shape_functions_of("shape2", shape2)
    arrays, _ = _arrays(V1=V1, S1=S1, R1=R1, V2=V2, S2=S2, R2=R2)
    return _result(_core.mixture_excluded_volume(*arrays), scalar1 and scalar2)


def _shape_functions_of(name, shape):
    """V, S and R of one argument of mixture_excluded_volume, and whether it
    was a single shape."""
    if isinstance(shape, ShapeFunctions):
        return tuple(shape), all(np.ndim(x) == 0 for x in shape)
    if isinstance(shape, (list, tuple)) and any(isinstance(x, ShapeFunctions) for x in shape):
        raise ValueError(f"{name} is a sequence of ShapeFunctions: give one ShapeFunctions of arrays, "
                         "shape_functions(a, b, c) with a, b, c arrays")
    (axes,), _ = _arrays(**{name: shape})
    if axes.ndim == 0 or axes.shape[-1] != 3:
        raise ValueError(f"{name} of shape {axes.shape} must be semi-axes (a, b, c), an array whose last "
                         "dimension is 3, or the result of shape_functions")
    return tuple(_core.shape_functions(axes[..., 0], axes[..., 1], axes[..., 2])), axes.ndim == 1


def quadrature(a, b, c, *, threads=None):
    """The interactive program's two-dimensional quadrature, with its
    evaluation counts and failure codes.

    Parameters
    ----------
    a, b, c : array_like
        Semi-axes, positive and finite. Broadcast against each other.
    threads : int, optional
        As for `ured`.

    Returns
    -------
    dict
        ``ured``, ``surface`` (S), ``mean_radius`` (R), ``npts_surface`` and
        ``npts_curvature`` (integrand evaluations of the two double
        integrals, NPTS), ``ifail_surface`` and ``ifail_curvature`` (0 when
        every nested rule converged, IFAIL); bit for bit the program's values.
        Each an array of the broadcast shape (the counts and codes of
        integers), or a Python float or int for scalar arguments.

    Raises
    ------
    ValueError
        For a semi-axis that is zero, negative, infinite or NaN.
    """
    (a, b, c), scalar = _arrays(a=a, b=b, c=c)
    return _quadrature_details(_core.quadrature(a, b, c, threads), scalar)


def quadrature_ratios(a_over_b, b_over_c, *, threads=None):
    """`quadrature` for the axial ratios: the ellipsoid (a/b)(b/c), b/c, 1.

    Parameters
    ----------
    a_over_b, b_over_c : array_like
        Axial ratios, positive and finite. Broadcast against each other.
    threads : int, optional
        As for `ured`.

    Returns
    -------
    dict
        As for `quadrature`.
    """
    (ab, bc), scalar = _arrays(a_over_b=a_over_b, b_over_c=b_over_c)
    return _quadrature_details(_core.quadrature_ratios(ab, bc, threads), scalar)


_QUADRATURE_KEYS = ("ured", "surface", "mean_radius") + _core.quadrature_count_columns


def _quadrature_details(arrays, scalar):
    # The counts and codes come as exact doubles.
    details = {}
    for key, array in zip(_QUADRATURE_KEYS, arrays):
        if key.startswith(("npts", "ifail")):
            array = array.astype(np.int64)
        details[key] = array.item() if scalar else array
    return details


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
    arrays, scalar = _arrays(vbar=vbar, hydration=hydration, solvent_density=solvent_density)
    return _result(_core.swollen_specific_volume(*arrays), scalar)


def _given(**named):
    """The keywords given (not None)."""
    return [name for name, x in named.items() if x is not None]


def _specific_volume(vs, hydration, solvent_density, vbar, *, needed_by=None, beside_vs=False):
    """vs as given, or derived from the hydration data; and whether derived.
    With `beside_vs`, vbar and solvent_density may come with vs (for other
    quantities); without `needed_by` (the keyword that needs vs), vs may be
    missing (None, False)."""
    given = _given(vs=vs, hydration=hydration, solvent_density=solvent_density, vbar=vbar)
    source = _core.specific_volume_source(given, str, beside_vs, needed_by)
    if source == "hydration":
        return swollen_specific_volume(vbar, hydration, solvent_density), True
    return vs, False


def _charge(valency, ionic_strength):
    """The charge as named arguments: both or none."""
    if not _core.charge_given(_given(valency=valency, ionic_strength=ionic_strength), str):
        return {}
    return {"valency": valency, "ionic_strength": ionic_strength}


def _shape(a, b, c, a_over_b, b_over_c):
    """The shape as three numbers, and whether they are the ratios (a/b, b/c, 1)."""
    axes, ratios = (a, b, c), (a_over_b, b_over_c)
    if all(x is not None for x in axes) and all(x is None for x in ratios):
        return axes, False
    if all(x is not None for x in ratios) and all(x is None for x in axes):
        return (a_over_b, b_over_c, 1.0), True
    raise ValueError("give the shape as a, b, c or as a_over_b, b_over_c")


def _shape_ured(a, b, c, a_over_b, b_over_c, method):
    shape, ratios = _shape(a, b, c, a_over_b, b_over_c)
    return ured_ratios(*shape[:2], method) if ratios else ured(*shape, method)


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
    specific_volume, derived = _specific_volume(vs, hydration, solvent_density, vbar, needed_by="molar_mass")
    charge = _charge(valency, ionic_strength)
    arrays, scalar = _arrays(ured=u, vs=specific_volume, molar_mass=molar_mass, **charge)
    arrays = np.broadcast_arrays(*arrays)
    quantities = (_core.virial_charged if charge else _core.virial)(*arrays)
    result = {"ured": _result(arrays[0].copy(), scalar)}
    if derived:
        result["vs_ml_per_g"] = _result(arrays[1].copy(), scalar)
    result.update((name, _result(x, scalar)) for name, x in zip(_core.virial_columns, quantities))
    return result


def ured_from_virial(*, B, molar_mass, vs=None, hydration=None, solvent_density=None, vbar=None, valency=None,
                     ionic_strength=None):
    """The reduced excluded volume that a measured second virial coefficient
    implies: u_red = 2 M (B - B(z)) / vs.

    Parameters
    ----------
    B : array_like
        Second virial coefficient, ml mol/g^2.
    molar_mass, vs, hydration, solvent_density, vbar, valency, ionic_strength : array_like
        As for `virial`; with a charge, its screened B(z) is taken off B
        first. All broadcast against each other.

    Returns
    -------
    ndarray or float
        u_red (8 for a sphere; below 8 no ellipsoid has it), of the broadcast
        shape; a scalar when all arguments are scalars.
    """
    specific_volume, _ = _specific_volume(vs, hydration, solvent_density, vbar, needed_by="B")
    charge = _charge(valency, ionic_strength)
    arrays, scalar = _arrays(B=B, vs=specific_volume, molar_mass=molar_mass, **charge)
    return _result((_core.ured_from_virial_charged if charge else _core.ured_from_virial)(*arrays), scalar)


def shape_factors(a, b, c, *, threads=None):
    """The hydrodynamic and scattering shape factors of the ellipsoid with
    semi-axes a, b, c, in closed form (Carlson's R_F and R_D).

    Parameters
    ----------
    a, b, c : array_like
        Semi-axes, positive and finite, in any order and one unit of length L.
        Broadcast against each other.
    threads : int, optional
        As for `ured`.

    Returns
    -------
    dict
        Keyed as the columns of ``triex shape``, each factor relative to the
        sphere of equal volume unless a unit is given:
        ``stokes_radius`` (R_S = 1/R_F(a^2, b^2, c^2), L: the translational
        friction is 6 pi eta R_S); ``perrin_ratio`` (P = f/f0);
        ``radius_of_gyration`` (R_g, L); ``gyration_ratio``;
        ``rotational_friction`` (shape (..., 3): zeta_i / (8 pi eta abc)
        about the axes a, b, c); ``relaxation_times`` (shape (..., 5): the
        five relaxation times of second-rank orientation functions, tau_k /
        tau0 with tau0 = eta V / kT, in the order 1/(6D - 2 Delta),
        1/(3(D + D_a)), 1/(3(D + D_b)), 1/(3(D + D_c)), 1/(6D + 2 Delta),
        D the mean rotational diffusion coefficient);
        ``harmonic_relaxation_time`` (tau_h / tau0); ``viscosity_increment``
        (nu, [eta] = nu vs; 5/2 for a sphere); ``ured``. Arrays of the
        broadcast shape, scalars for scalar arguments.

    Raises
    ------
    ValueError
        For a semi-axis that is zero, negative, infinite or NaN, e.g.
        ``a = 0 must be a positive number``.
    """
    (a, b, c), scalar = _arrays(a=a, b=b, c=c)
    factors = iter(_core.shape_factors(a, b, c, threads))
    result = {}
    for name, count, array_key in _core.shape_factor_columns:
        if count == 1:
            result[name] = _result(next(factors), scalar)
        else:
            result[array_key] = np.stack([next(factors) for _ in range(count)], axis=-1)
    return result


def predict(*, molar_mass, a=None, b=None, c=None, a_over_b=None, b_over_c=None, vs=None, hydration=None,
            solvent_density=None, vbar=None, viscosity=None, temperature=None, threads=None):
    """The measurements that the shape predicts for a molecule: its hydrated
    particle is the ellipsoid scaled to the volume M vs / N_A, so only the
    axial ratios of the shape enter. All arguments are keywords and
    broadcast against each other.

    Parameters
    ----------
    molar_mass : array_like
        M, g/mol, positive (with 2 M^2 finite).
    a, b, c : array_like, optional
        Semi-axes (any unit); or instead
    a_over_b, b_over_c : array_like, optional
        the axial ratios.
    vs : array_like, optional
        Swollen specific volume, ml/g; or instead
    hydration : array_like, optional
        delta, g/g, with `solvent_density` and `vbar`: vs = vbar + delta / rho.
    solvent_density : array_like, optional
        rho, g/ml: needed (with `vbar`) for the sedimentation coefficient.
    vbar : array_like, optional
        Partial specific volume, ml/g: needed for s and f/f0.
    viscosity : array_like, optional
        The solvent's viscosity eta, mPa s (default 1.002, water at 20 C).
    temperature : array_like, optional
        T, K (default 293.15).
    threads : int, optional
        As for `ured`.

    Returns
    -------
    dict
        Keyed as the columns of ``triex shape``: ``s_svedberg`` (only with
        vbar and solvent_density), ``D_cm2_per_s``, ``stokes_radius_angstrom``,
        ``f_over_f0`` (against the sphere of the anhydrous volume M vbar / N_A;
        only with vbar), ``rg_angstrom``, ``tau_h_ns``,
        ``intrinsic_viscosity_ml_per_g`` and ``Bex_ml_mol_per_g2``.

    Raises
    ------
    ValueError
        For a missing or contradictory combination of inputs, or a value
        that the command line refuses, in its words (``eta = 0 must be a
        positive number``).
    """
    shape, ratios = _shape(a, b, c, a_over_b, b_over_c)
    shape, compute = (({"a_over_b": shape[0], "b_over_c": shape[1]}, _core.predict_ratios) if ratios
                      else ({"a": shape[0], "b": shape[1], "c": shape[2]}, _core.predict))
    vs, _ = _specific_volume(vs, hydration, solvent_density, vbar, needed_by="molar_mass", beside_vs=True)
    with_vbar, with_rho = vbar is not None, solvent_density is not None
    named = dict(shape, molar_mass=molar_mass, vs=vs,
                 viscosity=_core.default_viscosity if viscosity is None else viscosity,
                 temperature=_core.default_temperature if temperature is None else temperature)
    named.update((name, x) for name, x in (("vbar", vbar), ("solvent_density", solvent_density)) if x is not None)
    arrays, scalar = _arrays(**named)
    values = compute(**dict(zip(named, arrays)), threads=threads)
    present = {"s_svedberg": with_vbar and with_rho, "f_over_f0": with_vbar}
    return {name: _result(x, scalar) for name, x in zip(_core.prediction_columns, values) if present.get(name, True)}


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
        ratios up to MAX_SOLVE_RATIO reach; for an array of u_red (one curve
        each: call solve once for each value).
    """
    _single("solve", ured=ured)
    (ured,), _ = _arrays(ured=ured)
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

    Raises
    ------
    ValueError
        As `ured_from_virial` and `solve` do; for an array argument (one
        curve for each measurement: call solve_virial once for each).
    """
    _single("solve_virial", B=B, molar_mass=molar_mass, vs=vs, hydration=hydration, solvent_density=solvent_density,
            vbar=vbar, valency=valency, ionic_strength=ionic_strength)
    target = ured_from_virial(B=B, molar_mass=molar_mass, vs=vs, hydration=hydration,
                              solvent_density=solvent_density, vbar=vbar, valency=valency,
                              ionic_strength=ionic_strength)
    return solve(target, points)


def structure(path, *, model=None, chains=None, with_hetero=False, molar_mass=None, vs=None, hydration=None,
              solvent_density=None, vbar=None, viscosity=None, temperature=None):
    """The equivalent ellipsoid of inertia of a PDB or mmCIF model (gzipped
    or not) and what it predicts: ``triex structure`` for one file.

    The atoms of one model (polymer residues unless `with_hetero`; of
    alternate locations the one of highest occupancy), each weighing its
    element's atomic mass, give the uniform ellipsoid with the same
    principal moments of inertia, a_i^2 = (5/2M)(I_j + I_k - I_i). It keeps
    the model's inertia, not its surface.

    Parameters
    ----------
    path : str or os.PathLike
        The structure file.
    model : int, optional
        The model number in the file; the first model by default.
    chains : str or sequence of str, optional
        The chains to take ("A,B" or ["A", "B"]); every chain by default.
    with_hetero : bool
        Take waters, ligands and ions too.
    molar_mass : float, optional
        M (g/mol) of the molecule, with `vs` or the hydration data: the
        predictions of the ellipsoid scaled to the hydrated volume M vs / NA.
    vs : float, optional
        Swollen specific volume, ml/g; or instead all three of
    hydration, solvent_density, vbar : float, optional
        g/g, g/ml and ml/g (vs = vbar + hydration / solvent_density).
        `vbar` alone gives f/f0; with `solvent_density` also s.
    viscosity, temperature : float, optional
        Of the solvent, mPa s and K (defaults 1.002 and 293.15, water at 20 C).

    Returns
    -------
    dict
        Keyed as the columns of ``triex structure``: ``file``, ``atoms``,
        ``model_molar_mass_g_per_mol``, ``rg_atoms_angstrom``,
        ``a_angstrom``, ``b_angstrom``, ``c_angstrom`` (a >= b >= c),
        ``a_over_b``, ``b_over_c``, the unit vectors ``axis_a_x`` ...
        ``axis_c_z``, ``ured`` and the dimensionless shape factors; with a
        molar mass and vs, ``a_hydrated_angstrom`` ... and the predictions
        (``stokes_radius_angstrom``, ``D_cm2_per_s``, ``s_svedberg``,
        ``f_over_f0``, ``rg_angstrom``, ``tau_h_ns``,
        ``intrinsic_viscosity_ml_per_g``, ``Bex_ml_mol_per_g2``).

    Raises
    ------
    ValueError
        "PATH: reason" for a refused file (not a structure, truncated, too
        large, no atoms selected, an unknown element, coordinates beyond any
        molecule, one atom, atoms on a line or in a plane), or for a value
        the command line refuses, in its words.
    """
    import os

    path = os.fspath(path)
    if isinstance(chains, str):
        chains = chains.split(",")
    chains = [] if chains is None else [str(c) for c in chains]
    vs, _ = _specific_volume(vs, hydration, solvent_density, vbar, beside_vs=True)
    optional = [None if x is None else float(x) for x in (molar_mass, vs, vbar, solvent_density, viscosity, temperature)]
    return _core.structure(path, model, chains, bool(with_hetero), *optional)
