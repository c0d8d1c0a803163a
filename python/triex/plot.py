"""Maps of the reduced excluded volume over the plane of axial ratios.

Every ellipsoid a >= b >= c is a point (a/b, b/c) with both ratios at least
1: the bottom edge b/c = 1 holds the prolate spheroids (needles towards the
right), the left edge a/b = 1 the oblate ones (discs towards the top), the
corner (1, 1) the sphere. u_red grows from 8 at the sphere along every ray
from it, so a measured u_red is met by one curve from the prolate edge to the
oblate one: the shapes that fit the measurement.
"""

import warnings

import numpy as np
from matplotlib.colors import BoundaryNorm
from matplotlib.figure import Figure
from matplotlib.lines import Line2D
from matplotlib.transforms import ScaledTranslation
from matplotlib.ticker import FixedLocator, FuncFormatter, LogLocator, MaxNLocator, NullFormatter

from . import _core, _given, _stacklevel, solve, ured_from_virial, ured_ratios

__all__ = ["ured_map", "default_levels", "fit_map"]

# Grid points per axis: smooth iso-lines over two decades at a few ms of work.
_GRID_POINTS = 241

# Shapes along a curve of fitting shapes: smooth at the scale of the map.
_CURVE_POINTS = 200

_VIRIAL_ARGUMENTS = ("B", "molar_mass", "vs", "hydration", "solvent_density", "vbar", "valency", "ionic_strength")

_URED = r"$u_\mathrm{red}$"

# The fitting curve is red on a white halo; the spheroid edges take colours
# that neither the curve nor the viridis bands use.
_CURVE_COLOUR = "tab:red"
_PROLATE_COLOUR = "tab:cyan"
_OBLATE_COLOUR = "tab:pink"

# Iso-line labels: their size, the least distance between two of them and
# from the fitting curve, and how far inside the frame they stay (inches).
_LABEL_POINTS = 7
_LABEL_GAP_INCHES = 0.32
_LABEL_INSET_INCHES = (0.22, 0.12)
# Colour-bar tick labels: at most one per this height (inches).
_TICK_PITCH_INCHES = 0.2
# The axes of the default figure (inches): smaller axes, such as a panel of
# one column of a paper, get smaller type, down to _SMALLEST_SCALE.
_DEFAULT_AXES_INCHES = (4.96, 4.0)
_SMALLEST_SCALE = 0.65


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


def _number_text(value, _position=None):
    """One format for every number of the map: plain up to 99 999 (digits
    grouped by a thin space from 10 000 on), m x 10^k from 100 000 on; never
    a power of ten for a small number (no 2 x 10^0)."""
    if value >= 1e5:
        mantissa, exponent = f"{value:.2e}".split("e")
        mantissa = mantissa.rstrip("0").rstrip(".")
        power = f"10^{{{int(exponent)}}}"
        return f"${power}$" if mantissa == "1" else f"${mantissa}\\times{power}$"
    if value >= 1e4 and value == round(value):
        return f"{value:,.0f}".replace(",", "\u2009")
    return f"{value:.6g}"


def _power_text(value, _position=None):
    return f"$10^{{{round(np.log10(value))}}}$"


def _log_axis(axis, low, high, inches):
    """Ticks of a log axis, written as plain numbers: 1-2-5 (or finer) steps
    where a decade is long enough for them, decades alone where not; beyond
    four decades the decades alone, as powers of ten."""
    decades = np.log10(high / low)
    per_decade = inches / decades
    if decades > 4:
        axis.set_major_locator(LogLocator(subs=(1.0,), numticks=8))
        axis.set_major_formatter(FuncFormatter(_power_text))
    elif decades < 0.5:
        # Less than half a decade: evenly spaced round numbers.
        axis.set_major_locator(MaxNLocator(nbins=max(2, int(inches * 1.2)), steps=[1, 2, 2.5, 5, 10]))
        axis.set_major_formatter(FuncFormatter(_number_text))
    else:
        subs = (1.0, 1.5, 2.0, 3.0, 5.0, 7.0) if per_decade >= 4 else (1.0, 2.0, 5.0) if per_decade >= 1.5 else (1.0,)
        axis.set_major_locator(LogLocator(subs=subs))
        axis.set_major_formatter(FuncFormatter(_number_text))
    axis.set_minor_formatter(NullFormatter())


def _axes_inches(ax):
    width, height = ax.figure.get_size_inches()
    box = ax.get_position()
    return width * box.width, height * box.height


def _label_positions(ax, x, y, values, levels, curve):
    """Where the iso-lines get their labels: where each crosses a path from
    near the sphere's corner to near the opposite one, below the diagonal
    (the fitting curves are symmetric about it). u_red rises along the path,
    so each level crosses it once. A label is left out where its box, turned
    with its line, would leave the frame or meet a label already placed, or
    where it would sit on the fitting curve."""
    width, height = _axes_inches(ax)
    inset_x, inset_y = _LABEL_INSET_INCHES[0] / width, _LABEL_INSET_INCHES[1] / height
    # The path in the axes' fractions: two straight pieces.
    corners = np.array([[inset_x, inset_y], [1.0 - inset_x, 0.45], [1.0 - inset_x, 1.0 - inset_y]])
    t = np.linspace(0.0, 1.0, 400)[:, np.newaxis]
    path = np.vstack([corners[0] + t * (corners[1] - corners[0]), corners[1] + t * (corners[2] - corners[1])])
    log_x, log_y = np.log10(x), np.log10(y)
    px = 10.0 ** (log_x[0] + path[:, 0] * (log_x[-1] - log_x[0]))
    py = 10.0 ** (log_y[0] + path[:, 1] * (log_y[-1] - log_y[0]))
    along = ured_ratios(px, py)
    # The iso-lines' directions on the page, from the gradient of u_red in inches.
    rows, columns = values.shape
    d_dy, d_dx = np.gradient(values, height / (rows - 1), width / (columns - 1))
    if curve is not None:
        curve_inches = np.column_stack([(np.log10(curve.a_over_b) - log_x[0]) / (log_x[-1] - log_x[0]) * width,
                                        (np.log10(curve.b_over_c) - log_y[0]) / (log_y[-1] - log_y[0]) * height])
    text_height = 1.3 * _LABEL_POINTS / 72
    kept, positions, boxes = [], [], []
    for level in levels:
        if not along[0] < level < along[-1]:
            continue
        k = np.searchsorted(along, level)
        w = (level - along[k - 1]) / (along[k] - along[k - 1])
        point = path[k - 1] + w * (path[k] - path[k - 1])
        centre = point * (width, height)
        i, j = int(round(point[0] * (columns - 1))), int(round(point[1] * (rows - 1)))
        gx, gy = d_dx[j, i], d_dy[j, i]
        cos, sin = abs(gy), abs(gx)
        norm = np.hypot(cos, sin) or 1.0
        cos, sin = cos / norm, sin / norm
        label_width = _label_inches(level)
        half = np.array([label_width * cos + text_height * sin, label_width * sin + text_height * cos]) / 2
        box = (centre - half - 0.05, centre + half + 0.05)
        if np.any(box[0] < 0) or box[1][0] > width or box[1][1] > height:
            continue
        if any(np.all(box[0] < other[1]) and np.all(other[0] < box[1]) for other in boxes):
            continue
        if curve is not None and np.hypot(*(curve_inches - centre).T).min() < _LABEL_GAP_INCHES:
            continue
        kept.append(level)
        positions.append((px[k - 1] * (px[k] / px[k - 1]) ** w, py[k - 1] * (py[k] / py[k - 1]) ** w))
        boxes.append(box)
    return kept, positions


def _label_inches(level):
    """About the width of an iso-line's label: 0.6 em a character; of
    m x 10^k the mantissa, the wider cross, 10 and the smaller exponent."""
    text = _number_text(level)
    if text.startswith("$"):
        mantissa, _, power = text.strip("$").rpartition("\\times")
        shown = len(mantissa) + (1.5 if mantissa else 0) + 2 + 0.8 * len(power.split("{")[1].rstrip("}"))
    else:
        shown = len(text)
    return 0.6 * _LABEL_POINTS / 72 * shown


def _colour_bar_ticks(levels, height_inches):
    """Every level, or every k-th one where they would crowd the bar."""
    step = max(1, int(np.ceil(len(levels) * _TICK_PITCH_INCHES / max(height_inches, 1e-3))))
    return levels[::step]


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
        A measured u_red: its curve of fitting shapes is drawn on top. Where
        the curve lies beyond the drawn ranges, a UserWarning says so and the
        legend names no fitting shapes.
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
        For ranges that are not increasing ratios of at least 1, levels that
        are not at least two finite positive numbers, both `ured` and a
        measurement, a measurement without B or molar_mass, an unknown
        keyword, or a u_red the solver refuses.
    """
    unknown = set(measurement) - set(_VIRIAL_ARGUMENTS)
    if unknown:
        raise ValueError(f"unknown argument(s) {', '.join(sorted(unknown))}")
    from_measurement = _core.ured_from_measurement(_given(**measurement, ured=ured), str)
    ab_range, bc_range = _check_range("ab", ab), _check_range("bc", bc)
    target = ured_from_virial(**measurement) if from_measurement else float(ured) if ured is not None else None
    curve = solve(target, _CURVE_POINTS) if target is not None else None

    x = np.geomspace(*ab_range, _GRID_POINTS)
    y = np.geomspace(*bc_range, _GRID_POINTS)
    values = ured_ratios(x[np.newaxis, :], y[:, np.newaxis])
    if levels is None:
        levels = default_levels(values.max())
        if np.count_nonzero((np.asarray(levels) > values.min()) & (np.asarray(levels) < values.max())) < 4:
            # A small part of the plane: round levels across its own values.
            levels = [v for v in MaxNLocator(nbins=8).tick_values(values.min(), values.max()) if v >= 8.0]
    levels = np.unique(np.asarray(levels, dtype=np.float64))
    if levels.size < 2 or not np.all(np.isfinite(levels)) or levels[0] <= 0:
        raise ValueError("levels must be at least two different finite positive numbers")

    if ax is None:
        figure = Figure(figsize=(6.4, 5.2), layout="constrained")
        ax = figure.add_subplot()
    else:
        figure = ax.figure
    # Triangles at the ends of the colour bar only for values of the map
    # beyond the levels: never below the sphere's 8, which no ellipsoid has.
    below, above = values.min() < levels[0], values.max() > levels[-1]
    extend = {(False, False): "neither", (True, False): "min", (False, True): "max", (True, True): "both"}[below, above]
    width, height = _axes_inches(ax)
    scale = float(np.clip(min(width / _DEFAULT_AXES_INCHES[0], height / _DEFAULT_AXES_INCHES[1]), _SMALLEST_SCALE, 1))
    cmap = "viridis"
    norm = BoundaryNorm(levels, ncolors=256, extend=extend)
    bands = ax.contourf(x, y, values, levels=levels, norm=norm, cmap=cmap, extend=extend)
    lines = ax.contour(x, y, values, levels=levels, colors="k", linewidths=0.6)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlim(ab_range)
    ax.set_ylim(bc_range)
    _log_axis(ax.xaxis, *ab_range, width)
    _log_axis(ax.yaxis, *bc_range, height)
    ax.tick_params(labelsize=9 * scale, pad=4.5)
    ax.set_xlabel("$a/b$", fontsize=10 * scale)
    ax.set_ylabel("$b/c$", fontsize=10 * scale)

    inside = None
    if curve is not None:
        inside = ((curve.a_over_b >= ab_range[0]) & (curve.a_over_b <= ab_range[1])
                  & (curve.b_over_c >= bc_range[0]) & (curve.b_over_c <= bc_range[1]))

    colorbar = figure.colorbar(bands, ax=ax, spacing="uniform", extendfrac=0.04)
    colorbar.set_label(f"{_URED} (sphere = 8)", fontsize=10 * scale)
    colorbar.ax.minorticks_off()
    colorbar.ax.yaxis.set_major_locator(FixedLocator(_colour_bar_ticks(levels, height / scale)))
    colorbar.ax.yaxis.set_major_formatter(FuncFormatter(_number_text))
    colorbar.ax.tick_params(labelsize=9 * scale)

    # The spheroids lie on the edges where a ratio is 1.
    legend = []
    if bc_range[0] == 1.0:
        ax.axhline(1.0, color=_PROLATE_COLOUR, linewidth=4, zorder=3)
        legend.append(Line2D([], [], color=_PROLATE_COLOUR, linewidth=3, label="prolate spheroids ($b = c$)"))
    if ab_range[0] == 1.0:
        ax.axvline(1.0, color=_OBLATE_COLOUR, linewidth=4, zorder=3)
        legend.append(Line2D([], [], color=_OBLATE_COLOUR, linewidth=3, label="oblate spheroids ($a = b$)"))
    if curve is not None and inside.any():
        source = " from the measured $B$" if measurement else ""
        ax.plot(curve.a_over_b, curve.b_over_c, color="white", linewidth=3.5, zorder=4)
        (fitting,) = ax.plot(curve.a_over_b, curve.b_over_c, color=_CURVE_COLOUR, linewidth=1.8, zorder=4,
                             label=f"fitting shapes, {_URED} = {target:.4g}{source}")
        legend.append(fitting)
    elif curve is not None:
        warnings.warn(f"the shapes with u_red = {target:.6g} lie beyond the drawn ranges of a/b and b/c "
                      f"(u_red {values.min():.6g} to {values.max():.6g} there): no fitting shapes are drawn",
                      UserWarning, stacklevel=_stacklevel())
    if legend:
        # Below the axes, where it covers neither bands nor labels: under
        # the tick labels (a power of ten is the tallest) and the axis label.
        columns = min(len(legend), 2 if width >= 4 else 1)
        below_points = 4.5 + 1.8 * 9 * scale + 1.4 * 10 * scale + 4
        anchor = ax.transAxes + ScaledTranslation(0, -below_points / 72, figure.dpi_scale_trans)
        ax.legend(handles=legend, loc="upper center", bbox_to_anchor=(0.5, 0), bbox_transform=anchor,
                  ncols=columns, fontsize=8 * scale, frameon=False)
    # Padded clear of the top tick label, a power of ten at most.
    ax.set_title(f"Reduced excluded volume {_URED} of triaxial ellipsoids", fontsize=11 * scale, pad=9)

    # The iso-lines' labels last, placed on the axes as the layout leaves them.
    if figure.get_layout_engine() is not None:
        figure.get_layout_engine().execute(figure)
    shown_curve = curve if inside is not None and inside.any() else None
    labelled, positions = _label_positions(ax, x, y, values, levels, shown_curve)
    if labelled:
        ax.clabel(lines, levels=labelled, manual=positions, fmt=_number_text, fontsize=_LABEL_POINTS, inline=True)
    return figure


# The picture of a shape fit (triex.fit), in a module of its own.
from ._fit_plot import fit_map  # noqa: E402
