"""python3 -m triex map: write the u_red map to a file.

    python3 -m triex map --ured 12.5 -o map.png
    python3 -m triex map --B 3.1e-4 --molar-mass 66000 --vs 0.98 -o albumin.svg

The format follows the suffix (.png, .svg or .pdf). The file is written to a
temporary name beside it and renamed into place, so an existing file is
replaced whole or not at all. Exit status 0 on success, 2 for refused
arguments (one line on standard error), 1 when the file cannot be written.
"""

import argparse
import os
import sys
import tempfile

_FORMATS = {".png": "png", ".svg": "svg", ".pdf": "pdf"}


def _parser():
    parser = argparse.ArgumentParser(prog="python3 -m triex", description="Maps of the reduced excluded volume.")
    commands = parser.add_subparsers(dest="command", required=True)
    m = commands.add_parser("map", help="u_red over the axial ratios, with the shapes that fit a measurement",
                            description="Write u_red over log axes of a/b and b/c to a PNG, SVG or PDF file.")
    m.add_argument("-o", "--output", required=True, help="output file, .png, .svg or .pdf")
    m.add_argument("--ab", nargs=2, type=float, default=(1, 100), metavar=("LOW", "HIGH"), help="range of a/b")
    m.add_argument("--bc", nargs=2, type=float, default=(1, 100), metavar=("LOW", "HIGH"), help="range of b/c")
    m.add_argument("--levels", type=float, nargs="+", help="u_red of the iso-lines")
    m.add_argument("--dpi", type=float, default=100, help="resolution of a PNG (dots per inch)")
    fit = m.add_argument_group("shapes that fit a measurement (either --ured, or --B with its data)")
    fit.add_argument("--ured", type=float, help="measured reduced excluded volume")
    fit.add_argument("--B", type=float, dest="B", help="measured second virial coefficient, ml mol/g^2")
    fit.add_argument("--molar-mass", type=float, help="g/mol")
    fit.add_argument("--vs", type=float, help="swollen specific volume, ml/g")
    fit.add_argument("--hydration", type=float, help="g/g")
    fit.add_argument("--solvent-density", type=float, help="g/ml")
    fit.add_argument("--vbar", type=float, help="partial specific volume, ml/g")
    fit.add_argument("--valency", type=float, help="charge Z of the molecule")
    fit.add_argument("--ionic-strength", type=float, help="mol/l")
    return parser


def _measurement(args):
    names = ("B", "molar_mass", "vs", "hydration", "solvent_density", "vbar", "valency", "ionic_strength")
    return {name: getattr(args, name) for name in names if getattr(args, name) is not None}


def _write_atomically(figure, path, file_format, dpi):
    directory = os.path.dirname(os.path.abspath(path))
    descriptor, temporary = tempfile.mkstemp(prefix=".triex-map-", suffix=".tmp", dir=directory)
    try:
        with os.fdopen(descriptor, "wb") as stream:
            figure.savefig(stream, format=file_format, dpi=dpi)
        os.chmod(temporary, 0o666 & ~_umask())
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def _umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def main(argv=None):
    args = _parser().parse_args(argv)
    suffix = os.path.splitext(args.output)[1].lower()
    if suffix not in _FORMATS:
        print(f"triex: output {args.output!r} must end in .png, .svg or .pdf", file=sys.stderr)
        return 2
    # Imported here so that --help works without Matplotlib.
    from .plot import ured_map

    try:
        figure = ured_map(ab=args.ab, bc=args.bc, levels=args.levels, ured=args.ured, **_measurement(args))
    except ValueError as refusal:
        print(f"triex: {refusal}", file=sys.stderr)
        return 2
    try:
        _write_atomically(figure, args.output, _FORMATS[suffix], args.dpi)
    except OSError as failure:
        print(f"triex: cannot write {args.output}: {failure.strerror or failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
