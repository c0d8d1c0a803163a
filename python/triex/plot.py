"""Maps of the reduced excluded volume over the plane of axial ratios.

Every ellipsoid a >= b >= c is a point (a/b, b/c) with both ratios at least
1: the bottom edge b/c = 1 holds the prolate spheroids (needles towards the
right), the left edge a/b = 1 the oblate ones (discs towards the top), the
corner (1, 1) the sphere. u_red grows from 8 at the sphere along every ray
from it, so a measured u_red is met by one curve from the prolate edge to the
oblate one: the shapes that fit the measurement.
"""

import numpy as np
from matplotlib.colors import LogNorm
from matplotlib.figure import Figure
from matplotlib.ticker import FormatStrFormatter

from . import solve, ured_from_virial, ured_ratios

__all__ = ["ured_map", "default_levels"]

# Grid points per axis: smooth iso-lines over two decades at a few ms of work.
_GRID_POINTS = 241

# Shapes along a curve of fitting shapes: smooth at the scale of the map.
_CURVE_POINTS = 200

# Names of the spheroid edges, legible over any band.
_LABEL_BOX = dict(boxstyle="round,pad=0.2", facecolor="white", edgecolor="none", alpha=0.8)

_VIRIAL_ARGUMENTS = ("B", "molar_mass", "vs", "hydration", "solvent_density", "vbar", "valency", "ionic_strength")


def default_levels(highest):
    """Iso-lines from the sphere's 8 up to `highest`: 8, 9, 10, then 1-1.5-2-3-5
    steps per decade."""
    levels = [8.0, 9.0]
    decade = 10.0
    while decade <= highest:
        levels += [m * decade for m in (1.0, 1.5, 2.0, 3.0, 5.0) if m * decade <= highest]
        decade *= 10.0
    return levels


def _check_range(name, bounds):
    low, high = (float(x) for x in bounds)
    if not (1.0 <= low < high < np.inf):
        raise ValueError(f"{name} = ({low:g}, {high:g}) must be two increasing axial ratios, the first at least 1")
    return low, high


def ured_map(ab=(1, 100), bc=(1, 100), levels=None, ured=None, ax=None, **measurement):
    """Draw u_red over log axes of a/b and b/c, with the shapes that fit a
    measured u_red or second virial coefficient.

    Parameters
    ----------
    ab, bc : (float, float)
        Ranges of the axial ratios a/b (horizontal) and b/c (vertical), each
        at least 1.
    levels : sequence of float, optional
        u_red of the filled bands and labelled iso-lines (default: 8, 9, 10,
        15, 20, 30, 50, ... up to the largest value in the map).
    ured : float, optional
        A measured u_red: its curve of fitting shapes is drawn on top.
    ax : matplotlib.axes.Axes, optional
        Where to draw; by default on a new Figure (not managed by pyplot).
    **measurement
        Instead of `ured`, the arguments of `triex.ured_from_virial` (B,
        molar_mass, vs or hydration, solvent_density and vbar, valency and
        ionic_strength): the curve for the u_red that B implies.

    Returns
    -------
    matplotlib.figure.Figure
        The figure drawn on; it is never shown.

    Raises
    ------
    ValueError
        For ranges that are not increasing ratios of at least 1, both `ured`
        and a measurement, an unknown keyword, or a u_red the solver refuses.
    """
    unknown = set(measurement) - set(_VIRIAL_ARGUMENTS)
    if unknown:
        raise ValueError(f"unknown argument(s) {', '.join(sorted(unknown))}")
    if ured is not None and measurement:
        raise ValueError("give either ured or the measured B with its data, not both")
    ab_range, bc_range = _check_range("ab", ab), _check_range("bc", bc)
    target = float(ured) if ured is not None else ured_from_virial(**measurement) if measurement else None
    curve = solve(target, _CURVE_POINTS) if target is not None else None

    x = np.geomspace(*ab_range, _GRID_POINTS)
    y = np.geomspace(*bc_range, _GRID_POINTS)
    values = ured_ratios(x[np.newaxis, :], y[:, np.newaxis])
    if levels is None:
        levels = default_levels(values.max())
    levels = np.asarray(sorted(float(v) for v in levels))
    if levels.size < 2:
        raise ValueError("levels must hold at least two values")

    if ax is None:
        figure = Figure(figsize=(6.4, 5.2), layout="constrained")
        ax = figure.add_subplot()
    else:
        figure = ax.figure
    norm = LogNorm(vmin=levels[0], vmax=levels[-1])
    bands = ax.contourf(x, y, values, levels=levels, norm=norm, cmap="viridis", extend="both")
    lines = ax.contour(x, y, values, levels=levels, colors="k", linewidths=0.6)
    ax.clabel(lines, fmt="%g", fontsize=7)
    colorbar = figure.colorbar(bands, ax=ax, label="u_red (sphere = 8)", ticks=levels)
    colorbar.ax.minorticks_off()
    colorbar.ax.yaxis.set_major_formatter(FormatStrFormatter("%g"))
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("a/b (dimensionless)")
    ax.set_ylabel("b/c (dimensionless)")
    ax.set_xlim(ab_range)
    ax.set_ylim(bc_range)

    # The spheroids lie on the edges where a ratio is 1.
    if ab_range[0] == 1.0:
        ax.axvline(1.0, color="tab:orange", linewidth=3)
        ax.annotate("oblate (a = b)", (1.0, np.sqrt(bc_range[0] * bc_range[1])), xytext=(6, 0),
                    textcoords="offset points", rotation=90, va="center", color="tab:orange", bbox=_LABEL_BOX)
    if bc_range[0] == 1.0:
        ax.axhline(1.0, color="tab:red", linewidth=3)
        ax.annotate("prolate (b = c)", (np.sqrt(ab_range[0] * ab_range[1]), 1.0), xytext=(0, 6),
                    textcoords="offset points", ha="center", color="tab:red", bbox=_LABEL_BOX)

    if curve is not None:
        source = " from the measured B" if measurement else ""
        label = f"fitting shapes, u_red = {target:.4g}{source}"
        ax.plot(curve.a_over_b, curve.b_over_c, color="white", linewidth=3.5)
        ax.plot(curve.a_over_b, curve.b_over_c, color="tab:red", linewidth=1.8, label=label)
        ax.legend(loc="upper right", fontsize=8)
    ax.set_title("Reduced excluded volume of triaxial ellipsoids")
    return figure
