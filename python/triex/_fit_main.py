"""python3 -m triex fit: the picture of a fit of the shape, written to a file.

    python3 -m triex fit --molar-mass 14300 --vbar 0.703 --hydration 0.35 \\
        --intrinsic-viscosity 4.1 --relaxation-time 12.6:5% -o fit.png

The options are those of ``triex fit``; each measurement is VALUE or
VALUE:SIGMA (SIGMA absolute, or relative with a trailing %). Exit status 0
when the picture is written (notes on an ill-conditioned fit on standard
error), 1 when the data are inconsistent (the picture is still written), 2
for refused arguments, 3 when the file cannot be written.
"""

import os
import sys
import warnings

from ._fit import MEASUREMENTS

_PREFIX = "triex fit: "
_FORMATS = {".png": "png", ".svg": "svg", ".pdf": "pdf"}
_SOLUTION = ("molar_mass", "vbar", "hydration", "vs", "solvent_density", "viscosity", "temperature", "valency",
             "ionic_strength")


def add_fit_parser(commands):
    p = commands.add_parser("fit", help="the shape from several measurements, as a picture",
                            description="Fit the shape to the data and draw the fit (triex.plot.fit_map).")
    # Its own words on a refusal, as triex fit writes them.
    p.error = lambda message: p.exit(2, f"{_PREFIX}{message} (try python3 -m triex fit --help)\n")
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


def run(args, write):
    """Fits, draws and writes; `write(figure, path, format, dpi)` writes the file atomically."""
    suffix = os.path.splitext(args.output)[1].lower()
    if suffix not in _FORMATS:
        print(f"{_PREFIX}output {args.output!r} must end in .png, .svg or .pdf", file=sys.stderr)
        return 2
    from . import fit
    from .plot import fit_map

    try:
        keywords = {name: _value(name, getattr(args, "fit_" + name)) for name in _SOLUTION
                    if getattr(args, "fit_" + name) is not None}
        for keyword, _, _ in MEASUREMENTS:
            text = getattr(args, "fit_" + keyword)
            if text is not None:
                keywords[keyword] = _datum(keyword, text)
        for required in ("molar_mass", "vbar"):
            if required not in keywords:
                raise ValueError(f"give --{required.replace('_', '-')}")
        with warnings.catch_warnings(record=True) as notes:
            warnings.simplefilter("always")
            result = fit(structure=args.fit_structure, **keywords)
            figure = fit_map(result)
    except ValueError as refusal:
        print(f"{_PREFIX}{refusal}", file=sys.stderr)
        return 2
    for note in notes:
        print(f"{_PREFIX}{note.message}", file=sys.stderr)
    try:
        write(figure, args.output, _FORMATS[suffix], args.dpi)
    except OSError as failure:
        print(f"{_PREFIX}cannot write {args.output}: {failure.strerror or failure}", file=sys.stderr)
        return 3
    return 0 if result.consistent else 1
