"""triex.fit: the shape of a molecule from several of its measurements."""

import collections
import os
import warnings

from . import _core

# The measurements, (keyword, symbol, unit), in the order of the library's
# enumeration, whose keywords the module gives.
MEASUREMENTS = tuple(zip(_core.measurement_keywords,
                         ("B", "s", "D", "R_S", "R_g", "[eta]", "tau_h", "u_red"),
                         ("ml mol/g^2", "S", "cm^2/s", "Angstrom", "Angstrom", "ml/g", "ns", ""), strict=True))
_KEYWORDS = _core.measurement_keywords

#: The relative error of a datum given without one.
DEFAULT_RELATIVE_ERROR = 0.02

#: The largest axial ratio of the search (a/b and b/c).
MAX_FIT_RATIO = _core.max_fit_ratio


class FitWarning(UserWarning):
    """The data determine the shape poorly (ill-conditioned) or fit no ellipsoid (inconsistent)."""


FitSolution = collections.namedtuple(
    "FitSolution",
    ["a_over_b", "b_over_c", "a_angstrom", "b_angstrom", "c_angstrom", "vs", "hydration", "chi2", "a_over_b_68",
     "b_over_c_68", "a_over_b_95", "b_over_c_95", "amplification", "plausible", "residuals"])
FitSolution.__doc__ = """One local minimum of chi2: the axial ratios, the hydrated particle's
semi-axes (Angstrom), vs (ml/g) and hydration (g/g), chi2, the (lo, hi)
intervals of a/b and b/c of the 68 % and 95 % regions (lo = 1 where a region
reaches a spheroid line: an upper bound only; NaN outside the regions), the
error amplification (% error of the ratios per 1 % error of every datum),
whether the hydration is between 0 and 2 g/g, and each datum's residual
(ln m - ln model)/(sigma/m)."""


class FitResult:
    """The result of `triex.fit`.

    Attributes
    ----------
    solutions : list of FitSolution
        Every local minimum of chi2, the smallest first.
    data : list of (keyword, value, sigma)
        The data as fitted, sigma absolute.
    consistent : bool
        False when the smallest chi2 lies beyond `chi2_limit`, the 99.9 %
        point for `degrees_of_freedom` (at least 1): no ellipsoid fits.
    ill_conditioned : bool
        Amplification above 10; `note` then says which pair of data is weak
        and which measurement would help most.
    hydration_fitted : bool
    search : dict of 2-D arrays ``x``, ``y``, ``chi2``
        chi2 over the whole box, x = ln(a/b), y = ln(b/c).
    regions : list of dict or None
        For each solution, chi2 on the grid that resolves its regions (None
        for a solution outside them).
    datum_deviation : list of 2-D arrays
        Each datum's (ln m - ln model)/(sigma/m) on the nodes of `search`.
    chi2_min : float
    structure : dict or None
        The equivalent ellipsoid of the structure file given to `fit`.
    """

    def __init__(self, raw, data, structure=None, inputs=None):
        self._inputs = inputs  # for maps of chi2 at another scale (chi2_map)
        self.solutions = [FitSolution(**s) for s in raw["solutions"]]
        self.data = data
        self.consistent = raw["consistent"]
        self.chi2_limit = raw["chi2_limit"]
        self.degrees_of_freedom = raw["degrees_of_freedom"]
        self.hydration_fitted = raw["hydration_fitted"]
        self.ill_conditioned = raw["ill_conditioned"]
        self.note = raw["note"]
        self.search = raw["search"]
        self.regions = raw["regions"]
        self.datum_deviation = raw["datum_deviation"]
        self.chi2_min = self.solutions[0].chi2
        self.structure = structure

    def chi2_map(self, ab_max, bc_max, nodes=241):
        """chi2 (minimised over vs where it is fitted) and each datum's
        deviation (at the best solution's vs) on a grid of nodes x nodes
        uniform in ln(a/b) from 0 to ln(ab_max) and ln(b/c) from 0 to
        ln(bc_max): a dict of 2-D arrays ``x``, ``y``, ``chi2`` and the list
        ``datum_deviation``."""
        import math
        return _core.fit_map(self._inputs, math.log(self.solutions[0].vs), float(ab_max), float(bc_max), int(nodes))

    def __repr__(self):
        best = self.solutions[0]
        return (f"<FitResult: {len(self.solutions)} solution(s), best a/b = {best.a_over_b:.4g}, "
                f"b/c = {best.b_over_c:.4g}, chi2 = {best.chi2:.3g}"
                f"{'' if self.consistent else ', inconsistent'}{', ill-conditioned' if self.ill_conditioned else ''}>")


def _datum(keyword, given):
    """(value, sigma) from a value or a (value, sigma) pair; sigma a number or a text "N%"."""
    if isinstance(given, (tuple, list)):
        if len(given) != 2:
            raise ValueError(f"{keyword} must be a value or a (value, sigma) pair")
        value, sigma = given
    else:
        value, sigma = given, None
    value = _number(keyword, value)
    if sigma is None:
        return value, DEFAULT_RELATIVE_ERROR * abs(value)
    if isinstance(sigma, str) and sigma.strip().endswith("%"):
        return value, _number(keyword + " (its error in %)", sigma.strip()[:-1]) / 100 * abs(value)
    return value, _number(keyword + " (its error)", sigma)


def _number(name, x):
    if x is None or isinstance(x, bool):
        raise ValueError(f"{name} = {x!r} must be a number")
    try:
        return float(x)
    except (TypeError, ValueError):
        raise ValueError(f"{name} = {x!r} must be a number") from None


def fit(*, molar_mass, vbar, hydration=None, vs=None, solvent_density=None, viscosity=None, temperature=None,
        valency=None, ionic_strength=None, virial=None, sedimentation=None, diffusion=None, stokes_radius=None,
        radius_of_gyration=None, intrinsic_viscosity=None, relaxation_time=None, ured=None, structure=None):
    """The shape of a molecule from several of its measurements: ``triex fit``.

    Each datum m with standard error sigma enters chi2 = sum((ln m - ln
    model)/(sigma/m))^2; the model is the ellipsoid a >= b >= c (a/b and b/c
    from 1 to 1000) scaled to the hydrated volume M vs / NA. With the
    hydration (or vs) given, two independent data fix a/b and b/c; without it
    a third fixes vs too (sedimentation, diffusion and stokes_radius count as
    one). Every local minimum is a solution, with its 68 % and 95 %
    confidence regions {chi2 <= chi2_min + 2.30, + 5.99}.

    Parameters
    ----------
    molar_mass : float
        M, g/mol.
    vbar : float
        Partial specific volume, ml/g.
    hydration, vs : float, optional
        g/g (vs = vbar + hydration / solvent_density), or vs itself (ml/g);
        neither: vs is fitted.
    solvent_density, viscosity, temperature : float, optional
        g/ml, mPa s, K (defaults 0.9982, 1.002, 293.15: water at 20 C).
    valency, ionic_strength : float, optional
        Z and I (mol/l): B includes the charge's B(z).
    virial, sedimentation, diffusion, stokes_radius, radius_of_gyration,
    intrinsic_viscosity, relaxation_time, ured : float or (float, sigma)
        The data: B (ml mol/g^2), s (svedberg), D (cm^2/s), the Stokes radius
        and R_g (Angstrom), [eta] (ml/g), tau_h (ns, the harmonic mean
        rotational relaxation time), u_red. sigma is absolute, or a text
        such as "5%" relative to the value; 2 % when not given.
    structure : str or os.PathLike, optional
        A PDB or mmCIF file whose equivalent ellipsoid (`triex.structure`)
        `triex.plot.fit_map` marks.

    Returns
    -------
    FitResult

    Raises
    ------
    ValueError
        In the words of ``triex fit``: a value without meaning, too few
        independent data, a datum no ellipsoid gives (named by its keyword).

    Warns
    -----
    FitWarning
        When the fit is ill-conditioned (with the note) or the data are
        inconsistent.
    """
    given = dict(virial=virial, sedimentation=sedimentation, diffusion=diffusion, stokes_radius=stokes_radius,
                 radius_of_gyration=radius_of_gyration, intrinsic_viscosity=intrinsic_viscosity,
                 relaxation_time=relaxation_time, ured=ured)
    data = [(k, *_datum(k, given[k])) for k in _KEYWORDS if given[k] is not None]
    if not data:
        raise ValueError("give the measurements to fit (virial, sedimentation, ...)")
    from . import _charge  # the package's, defined after this module is imported

    _charge(valency, ionic_strength)
    optional = lambda name, x: None if x is None else _number(name, x)  # noqa: E731
    inputs = (
        _number("molar_mass", molar_mass), _number("vbar", vbar), optional("hydration", hydration), optional("vs", vs),
        optional("solvent_density", solvent_density),
        _core.default_viscosity if viscosity is None else _number("viscosity", viscosity),
        _core.default_temperature if temperature is None else _number("temperature", temperature),
        optional("valency", valency), optional("ionic_strength", ionic_strength),
        [_KEYWORDS.index(k) for k, _, _ in data], [v for _, v, _ in data], [s for _, _, s in data])
    inputs = _core.fit_inputs(*inputs)
    raw = _core.fit(inputs)
    equivalent = None
    if structure is not None:
        try:
            from . import structure as read_structure  # the equivalent ellipsoid of a model file
        except ImportError:
            raise ValueError("structure: this build of triex reads no structure files") from None
        equivalent = read_structure(os.fspath(structure))
    result = FitResult(raw, data, equivalent, inputs)
    if result.note:
        warnings.warn(result.note, FitWarning, stacklevel=2)
    if not result.consistent:
        best = result.solutions[0]
        warnings.warn(f"inconsistent data: chi2 = {best.chi2:.4g} is beyond {result.chi2_limit:.4g}, the 99.9 % point: "
                      "no ellipsoid fits them all; the closest shape is reported", FitWarning, stacklevel=2)
    return result

