"""What the commands of python3 -m triex share: the exit statuses (the
program's own table, exported by the compiled module), one line
"triex COMMAND: reason" on standard error for whatever ends a command, and
the tail that draws a figure, reports the notes raised while drawing it and
writes it to its file atomically."""

import os
import sys
import tempfile
import warnings

from . import _core

# Outcome name -> exit status, as the triex program decides them.
STATUS = dict(_core.exit_statuses)

_FORMATS = {".png": "png", ".svg": "svg", ".pdf": "pdf"}


class CommandError(Exception):
    """Ends a command; `outcome` names its exit status."""

    def __init__(self, message, outcome="refused"):
        super().__init__(message)
        self.outcome = outcome


class _StandardErrorLost(Exception):
    """Standard error cannot be written: the command ends as a failed write."""


def say(command, message):
    """Writes "triex COMMAND: MESSAGE" as one line on standard error."""
    try:
        sys.stderr.write(f"triex {command}: {message}\n")
        sys.stderr.flush()
    except (AttributeError, OSError, ValueError):  # no standard error, a full or a closed one
        raise _StandardErrorLost from None


def run(command, body):
    """Runs a command's body, which returns the name of its outcome, and
    returns the exit status. A CommandError is reported in one line; output
    that cannot be written, standard output and standard error included, ends
    the command as a failed write, as in the triex program."""
    try:
        try:
            outcome = body()
        except SystemExit as end:  # argparse after --help: the usage must have reached standard output
            outcome = 0 if end.code is None else end.code
        if not isinstance(outcome, int):
            outcome = STATUS[outcome]
        sys.stdout.flush()
        return outcome
    except CommandError as error:
        return _report(command, str(error), error.outcome)
    except OSError as failure:
        return _report(command, f"cannot write standard output: {failure.strerror or failure}", "write_failed")
    except _StandardErrorLost:
        return STATUS["write_failed"]


def _report(command, message, outcome):
    try:
        say(command, message)
    except _StandardErrorLost:
        return STATUS["write_failed"]
    return STATUS[outcome]


def output_format(path):
    """The format of the output file, from its suffix."""
    suffix = os.path.splitext(path)[1].lower()
    if suffix not in _FORMATS:
        raise CommandError(f"output {path!r} must end in .png, .svg or .pdf")
    return _FORMATS[suffix]


def draw_and_write(command, draw, path, dpi):
    """Calls draw(), which returns the figure and the outcome; a ValueError it
    raises is the refusal, each warning a line "note: ..." on standard error.
    Then writes the figure to `path` atomically and returns the outcome."""
    file_format = output_format(path)
    try:
        with warnings.catch_warnings(record=True) as notes:
            warnings.simplefilter("always")
            figure, outcome = draw()
    except ValueError as refusal:
        raise CommandError(str(refusal)) from None
    for note in notes:
        say(command, f"note: {note.message}")
    try:
        _write_atomically(figure, path, file_format, dpi)
    except OSError as failure:
        raise CommandError(f"cannot write {path}: {failure.strerror or failure}", "write_failed") from None
    return outcome


def _write_atomically(figure, path, file_format, dpi):
    """Writes to a temporary file beside the target, then renames it into
    place; through a symbolic link the file it points to is replaced, and a
    target that is no regular file (a device, a pipe) is written in place."""
    if os.path.exists(path) and not os.path.isfile(path):
        with open(path, "wb") as stream:
            figure.savefig(stream, format=file_format, dpi=dpi)
        return
    target = os.path.realpath(path)
    descriptor, temporary = tempfile.mkstemp(prefix=os.path.basename(target) + ".tmp-",
                                             dir=os.path.dirname(target))
    try:
        # mkstemp makes the file private (0600); the result gets the usual mode.
        os.fchmod(descriptor, 0o666 & ~_umask())
        with os.fdopen(descriptor, "wb") as stream:
            figure.savefig(stream, format=file_format, dpi=dpi)
            stream.flush()
            # A full disk may show only when the data reach it.
            os.fsync(stream.fileno())
        os.replace(temporary, target)
    except BaseException:
        os.unlink(temporary)
        raise


def _umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask
