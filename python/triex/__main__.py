"""python3 -m triex map: write the u_red map to a file.

    python3 -m triex map --ured 12.5 -o map.png
    python3 -m triex map --virial 3.1e-4 --molar-mass 66000 --vs 0.98 -o albumin.svg

The format follows the suffix (.png, .svg or .pdf). The file is written to a
temporary name beside it and renamed into place, so an existing file is
replaced whole or not at all, with the mode 0666 less the umask. Exit status
0 on success (a note on standard error when the fitting shapes lie beyond
the drawn ranges), 2 for refused arguments, 3 when the file, standard output
or standard error cannot be written; the reason is one line on standard
error, as for the triex commands.
"""

import argparse
import sys

from . import Refusal, _command, _core, _fit_main

# Beyond this a PNG of the default size exceeds the renderer's 65536 pixels a side.
_MAX_DPI = 10000.0

# Options that take one number, which may be negative (--virial -1e-4).
_NUMBER_OPTIONS = ("--ured", "--virial", "--B", "--molar-mass", "--vs", "--hydration", "--solvent-density", "--vbar",
                   "--valency", "--ionic-strength", "--dpi")


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        # One line, as the triex commands write it, instead of the usage and the error.
        raise _command.CommandError(f"{message} (try python3 -m triex map --help)")


def _number(text):
    """A number in the grammar of the triex commands ("1e400" is refused, not read as inf)."""
    try:
        return _core.number(text)
    except ValueError as refusal:
        raise argparse.ArgumentTypeError(str(refusal)) from None


def _labelled(refusal, args):
    """A refusal of the library under the option that gave the value, as the
    triex commands show it; a u_red implied by --virial under none."""
    dest = refusal.keyword
    return f"{_option(dest)}: {refusal.words}" if getattr(args, dest, None) is not None else refusal.words


def _parser():
    parser = _Parser(prog="python3 -m triex", description="Maps of the reduced excluded volume.")
    commands = parser.add_subparsers(dest="command", required=True, parser_class=_Parser)
    m = commands.add_parser("map", help="u_red over the axial ratios, with the shapes that fit a measurement",
                            description="Write u_red over log axes of a/b and b/c to a PNG, SVG or PDF file.")
    m.add_argument("-o", "--output", required=True, help="output file, .png, .svg or .pdf")
    m.add_argument("--ab", nargs=2, type=_number, default=(1, 100), metavar=("LOW", "HIGH"), help="range of a/b")
    m.add_argument("--bc", nargs=2, type=_number, default=(1, 100), metavar=("LOW", "HIGH"), help="range of b/c")
    m.add_argument("--levels", type=_number, nargs="+", help="u_red of the iso-lines")
    m.add_argument("--dpi", type=_number, default=100, help="resolution of a PNG (dots per inch)")
    fit = m.add_argument_group("shapes that fit a measurement (either --ured, or --virial with its data)")
    fit.add_argument("--ured", type=_number, help="measured reduced excluded volume")
    fit.add_argument("--virial", type=_number, dest="B", metavar="B",
                     help="measured second virial coefficient, ml mol/g^2")
    # The earlier spelling of --virial.
    fit.add_argument("--B", type=_number, dest="B", help=argparse.SUPPRESS)
    fit.add_argument("--molar-mass", type=_number, help="g/mol")
    fit.add_argument("--vs", type=_number, help="swollen specific volume, ml/g")
    fit.add_argument("--hydration", type=_number, help="g/g")
    fit.add_argument("--solvent-density", type=_number, help="g/ml")
    fit.add_argument("--vbar", type=_number, help="partial specific volume, ml/g")
    fit.add_argument("--valency", type=_number, help="charge Z of the molecule")
    fit.add_argument("--ionic-strength", type=_number, help="mol/l")
    _fit_main.add_fit_parser(commands)
    return parser


def _negative_number(text):
    try:
        float(text)
    except ValueError:
        return False
    return text.startswith("-")


def _join_negative_values(argv):
    """argparse reads "-1e-4" after an option as another option; written
    "--virial=-1e-4" it is the option's value."""
    joined = []
    for item in argv:
        if joined and joined[-1] in _NUMBER_OPTIONS and _negative_number(item):
            joined[-1] += "=" + item
        else:
            joined.append(item)
    return joined


def _option(keyword):
    """The option of python3 -m triex map that gives the library's keyword."""
    return "--virial" if keyword == "B" else "--" + keyword.replace("_", "-")


def _measurement(args):
    """The arguments of triex.ured_from_virial, checked in the words of the options."""
    names = ("B", "molar_mass", "vs", "hydration", "solvent_density", "vbar", "valency", "ionic_strength")
    measurement = {name: getattr(args, name) for name in names if getattr(args, name) is not None}
    given = list(measurement) + (["ured"] if args.ured is not None else [])
    return measurement if _core.ured_from_measurement(given, _option) else {}


def _map(args):
    if not 0 < args.dpi <= _MAX_DPI:
        raise ValueError(f"--dpi {args.dpi:g} must be a positive number of at most {_MAX_DPI:g}")
    # Imported here so that --help works without Matplotlib.
    from .plot import ured_map

    try:
        figure = ured_map(ab=args.ab, bc=args.bc, levels=args.levels, ured=args.ured, **_measurement(args))
    except Refusal as refusal:
        raise ValueError(_labelled(refusal, args)) from None
    return figure, "done"


def _run(argv):
    args = _parser().parse_args(_join_negative_values(argv))
    if args.command == "fit":
        return _fit_main.run(args)
    return _command.draw_and_write("map", lambda: _map(args), args.output, args.dpi)


def main(argv=None):
    argv = sys.argv[1:] if argv is None else argv
    return _command.run("fit" if argv[:1] == ["fit"] else "map", lambda: _run(argv))


if __name__ == "__main__":
    sys.exit(main())
