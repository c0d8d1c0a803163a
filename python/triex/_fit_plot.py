"""triex.plot.fit_map: a fit of the shape over the plane of axial ratios.

Every datum is a level curve in the plane of (a/b, b/c) with a band of one
standard error around it; the shape lies where the bands cross, and the
confidence regions of the fit show how well the crossing is determined. The
spheroid lines a/b = 1 (oblate) and b/c = 1 (prolate) are mirror lines of
every shape function: all level curves are tangent to each other there, so
near them the regions stretch along the line.
"""

import numpy as np
from matplotlib.figure import Figure
from matplotlib.ticker import FuncFormatter, LogLocator, NullFormatter

from ._fit import MEASUREMENTS

_NAMES = {keyword: name for keyword, name, _ in MEASUREMENTS}
_TEX = {"B": "$B$", "s": "$s$", "D": "$D$", "R_S": "$R_S$", "R_g": "$R_g$", "[eta]": r"$[\eta]$",
        "tau_h": r"$\tau_h$", "u_red": r"$u_\mathrm{red}$"}
_COLOURS = ("tab:blue", "tab:orange", "tab:green", "tab:purple", "tab:brown", "tab:pink", "tab:olive", "tab:cyan")
_LABEL_BOX = dict(boxstyle="round,pad=0.2", facecolor="white", edgecolor="none", alpha=0.8)
_DELTA_68, _DELTA_95 = 2.2957489288986, 5.9914645471080
# Nodes a side of the map of chi2 and the data: bands of 1/100 of the range resolved.
_MAP_NODES = 241


def _tick_text(value, _position=None):
    return f"{value:g}"


def _extent(result):
    """The drawn range of both ratios: the solutions and their 95 % regions
    with room around them, at least 1 to 10."""
    high = 10.0
    for s in result.solutions:
        for value in (s.a_over_b, s.b_over_c, s.a_over_b_95[1], s.b_over_c_95[1]):
            if np.isfinite(value):
                high = max(high, 1.6 * value)
    if result.structure is not None:
        high = max(high, 1.6 * result.structure["a_over_b"], 1.6 * result.structure["b_over_c"])
    return min(high, 1000.0)


def fit_map(result, ax=None):
    """Draw a fit of `triex.fit`: each datum's level curve with its band of
    one standard error, the 68 % and 95 % confidence regions filled, every
    solution marked, the spheroid lines labelled.

    Parameters
    ----------
    result : triex.FitResult
    ax : matplotlib.axes.Axes, optional
        Where to draw; by default on a new Figure (not managed by pyplot).

    Returns
    -------
    matplotlib.figure.Figure
        The figure drawn on; it is never shown.
    """
    if ax is None:
        figure = Figure(figsize=(6.4, 5.6))
        ax = figure.add_subplot()
    high = _extent(result)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlim(1.0, high)
    ax.set_ylim(1.0, high)

    # chi2 and the data over the drawn range, fine enough for a narrow band
    # (the search grid of the fit is 0.057 in ln a step).
    drawn = result.chi2_map(high, high, _MAP_NODES)
    X, Y = np.exp(drawn["x"]), np.exp(drawn["y"])
    handles = []
    for k, ((keyword, value, sigma), deviation) in enumerate(zip(result.data, drawn["datum_deviation"])):
        colour = _COLOURS[k % len(_COLOURS)]
        ax.contourf(X, Y, deviation, levels=[-1.0, 1.0], colors=[colour], alpha=0.18)
        ax.contour(X, Y, deviation, levels=[0.0], colors=[colour], linewidths=1.4)
        name = _TEX.get(_NAMES[keyword], _NAMES[keyword])
        handles.append(ax.plot([], [], color=colour, lw=6, alpha=0.35,
                               label=f"{name} = {value:.4g} ± {sigma:.2g}")[0])

    # The confidence regions.
    levels = [-np.inf, result.chi2_min + _DELTA_68, result.chi2_min + _DELTA_95]
    ax.contourf(X, Y, drawn["chi2"], levels=levels, colors=["0.25", "0.6"], alpha=0.55)
    ax.contour(X, Y, drawn["chi2"], levels=levels[1:], colors=["0.1", "0.35"], linewidths=0.8)
    handles.append(ax.fill([], [], color="0.25", alpha=0.55, label="68 % region")[0])
    handles.append(ax.fill([], [], color="0.6", alpha=0.55, label="95 % region")[0])

    for number, s in enumerate(result.solutions, 1):
        marker = dict(marker="o", color="black") if s.plausible else dict(marker="o", mfc="white", color="black")
        ax.plot([s.a_over_b], [s.b_over_c], ms=6, ls="none", zorder=5, **marker)
        ax.annotate(f"{number}" + ("" if s.plausible else f" (δ = {s.hydration:.2g})"), (s.a_over_b, s.b_over_c),
                    textcoords="offset points", xytext=(6, 5), fontsize=9, zorder=6, bbox=_LABEL_BOX)
    if result.structure is not None:
        ax.plot([result.structure["a_over_b"]], [result.structure["b_over_c"]], marker="*", ms=12, color="crimson",
                ls="none", zorder=5)
        handles.append(ax.plot([], [], marker="*", ms=10, color="crimson", ls="none", label="structure")[0])

    ax.text(high ** 0.5, 1.0, "prolate (b = c)", ha="center", va="bottom", fontsize=9, bbox=_LABEL_BOX, zorder=6)
    ax.text(1.0, high ** 0.5, "oblate (a = b)", ha="left", va="center", rotation=90, fontsize=9, bbox=_LABEL_BOX,
            zorder=6)
    for axis in (ax.xaxis, ax.yaxis):
        axis.set_major_locator(LogLocator(subs=(1.0, 2.0, 5.0)))
        axis.set_major_formatter(FuncFormatter(_tick_text))
        axis.set_minor_formatter(NullFormatter())
    ax.set_xlabel("a/b")
    ax.set_ylabel("b/c")
    best = result.solutions[0]
    verdict = "ill-conditioned" if result.ill_conditioned else "well conditioned"
    if not result.consistent:
        verdict = "inconsistent data"
    ax.set_title(f"a/b = {best.a_over_b:.3g}, b/c = {best.b_over_c:.3g}: {verdict} "
                 f"(amplification {best.amplification:.3g})", fontsize=10)
    ax.legend(handles=handles, loc="upper right", fontsize=8, framealpha=0.9)
    return ax.figure
