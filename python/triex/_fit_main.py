"""python3 -m triex fit: the picture of a fit of the shape, written to a file.

    python3 -m triex fit --molar-mass 14300 --vbar 0.703 --hydration 0.35 \\
        --intrinsic-viscosity 4.1 --relaxation-time 12.6:5% -o fit.png

The options are those of ``triex fit``; each measurement is VALUE or
VALUE:SIGMA (SIGMA absolute, or relative with a trailing %). Exit status 0
when the picture is written (notes on an ill-conditioned fit on standard
error), 1 when the data are inconsistent (the picture is still written), 2
for refused arguments, 3 when the file cannot be written.
"""

from . import _command
from ._fit import MEASUREMENTS
_SOLUTION = ("molar_mass", "vbar", "hydration", "vs", "solvent_density", "viscosity", "temperature", "valency",
             "ionic_strength")


def add_fit_parser(commands):
    p = commands.add_parser("fit", help="the shape from several measurements, as a picture",
                            description="Fit the shape to the data and draw the fit (triex.plot.fit_map).")
    # Its own words on a refusal, as triex fit writes them.
    p.error = _refuse_arguments
    p.add_argument("-o", "--output", required=True, help="output file, .png, .svg or .pdf")
    p.add_argument("--dpi", type=float, default=100, help="resolution of a PNG (dots per inch)")
    for name in _SOLUTION:
        p.add_argument("--" + name.replace("_", "-"), dest="fit_" + name, metavar="NUMBER")
    for keyword, name, unit in MEASUREMENTS:
        p.add_argument("--" + keyword.replace("_", "-"), dest="fit_" + keyword, metavar="VALUE[:SIGMA]",
                       help=f"{name}{', ' + unit if unit else ''}")
    p.add_argument("--structure", dest="fit_structure", metavar="FILE", help="mark this model's equivalent ellipsoid")


def _value(option, text):
    try:
        return float(text)
    except ValueError:
        raise ValueError(f"--{option.replace('_', '-')} {text!r} is not a number") from None


def _datum(keyword, text):
    value, colon, sigma = text.partition(":")
    if not colon:
        return _value(keyword, value)
    if sigma.endswith("%"):
        return (_value(keyword, value), sigma)
    return (_value(keyword, value), _value(keyword, sigma))


def _refuse_arguments(message):
    raise _command.CommandError(f"{message} (try python3 -m triex fit --help)")


def _fit_and_draw(args):
    from . import fit
    from .plot import fit_map

    keywords = {name: _value(name, getattr(args, "fit_" + name)) for name in _SOLUTION
                if getattr(args, "fit_" + name) is not None}
    for keyword, _, _ in MEASUREMENTS:
        text = getattr(args, "fit_" + keyword)
        if text is not None:
            keywords[keyword] = _datum(keyword, text)
    for required in ("molar_mass", "vbar"):
        if required not in keywords:
            raise ValueError(f"give --{required.replace('_', '-')}")
    result = fit(structure=args.fit_structure, **keywords)
    return fit_map(result), ("done" if result.consistent else "data_inconsistent")


def run(args):
    """Fits, draws and writes the file; returns the outcome's name."""
    return _command.draw_and_write("fit", lambda: _fit_and_draw(args), args.output, args.dpi)
