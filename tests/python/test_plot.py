"""The u_red map, drawn by the Agg backend, and python3 -m triex map."""

import os
import subprocess
import sys

import numpy as np
import pytest

import triex

matplotlib = pytest.importorskip("matplotlib", reason="Matplotlib (Debian python3-matplotlib) is not installed")
matplotlib.use("Agg")
import matplotlib.figure  # noqa: E402
import matplotlib.image  # noqa: E402
import matplotlib.text  # noqa: E402
from matplotlib.backends.backend_agg import FigureCanvasAgg  # noqa: E402
import matplotlib.pyplot  # noqa: E402

from triex.plot import default_levels, ured_map  # noqa: E402

# The default figure is 6.4 by 5.2 inches.
WIDTH_INCHES, HEIGHT_INCHES = 6.4, 5.2


def read_png(path):
    image = matplotlib.image.imread(path)
    assert image.ndim == 3 and image.shape[2] in (3, 4)
    return image


def assert_not_blank(image):
    colours = np.unique((image[:, :, :3] * 255).astype(np.uint8).reshape(-1, 3), axis=0)
    # The filled bands alone give a colour each; a blank or single-colour
    # picture has one or two.
    assert len(colours) > 50
    white = np.all(image[:, :, :3] > 0.99, axis=2).mean()
    assert white < 0.6


def test_the_map_renders_to_png_with_its_size_and_content(tmp_path):
    figure = ured_map(ured=12.5)
    path = tmp_path / "map.png"
    figure.savefig(path, dpi=50)
    image = read_png(path)
    assert image.shape[:2] == (HEIGHT_INCHES * 50, WIDTH_INCHES * 50)
    assert_not_blank(image)


def test_the_map_draws_the_fitting_shapes_and_labels_its_axes():
    figure = ured_map(ab=(1, 30), bc=(1, 30), ured=20.0)
    ax = figure.axes[0]
    assert ax.get_xscale() == ax.get_yscale() == "log"
    assert ax.get_xlabel() == "$a/b$" and ax.get_ylabel() == "$b/c$"
    curves = [line for line in ax.get_lines() if r"$u_\mathrm{red}$ = 20" in line.get_label()]
    assert len(curves) == 1 and ax.get_legend_handles_labels()[0].count(curves[0]) == 1
    np.testing.assert_allclose(triex.ured_ratios(*curves[0].get_data()), 20.0, rtol=1e-12)
    colour_bar = figure.axes[1]
    assert colour_bar.get_ylabel() == r"$u_\mathrm{red}$ (sphere = 8)"


def visible_texts(figure):
    """The texts that a drawing of the figure shows, with their boxes in pixels."""
    canvas = FigureCanvasAgg(figure)
    canvas.draw()
    # An axis keeps spare tick labels: only those of its major ticks within
    # its limits are drawn (the minor ones have none).
    tick_labels, drawn = set(), set()
    for ax in figure.axes:
        for axis in (ax.xaxis, ax.yaxis):
            low, high = sorted(axis.get_view_interval())
            tick_labels.update(label for tick in axis.majorTicks + axis.minorTicks
                               for label in (tick.label1, tick.label2))
            drawn.update(label for tick, where in zip(axis.majorTicks, axis.get_majorticklocs())
                         if low * (1 - 1e-9) <= where <= high * (1 + 1e-9) for label in (tick.label1, tick.label2))
    texts = [t for t in figure.findobj(matplotlib.text.Text)
             if t.get_visible() and t.get_text().strip() and (t not in tick_labels or t in drawn)]
    return [(t.get_text(), t.get_window_extent(canvas.get_renderer())) for t in texts]


def small_figure():
    figure = matplotlib.figure.Figure(figsize=(3.3, 3.0), layout="constrained")
    return figure, figure.add_subplot()


@pytest.mark.parametrize("size", ["default", "one column of a paper"])
@pytest.mark.parametrize("arguments", [dict(ured=12.5), dict(ured=500, ab=(1, 1e6), bc=(1, 1e5)),
                                       dict(ured=10, ab=(2, 3), bc=(1, 1.5))])
def test_no_two_words_of_the_map_overlap_and_none_is_cut(size, arguments):
    figure = ured_map(**arguments) if size == "default" else ured_map(ax=small_figure()[1], **arguments)
    texts = visible_texts(figure)
    frame = figure.bbox
    for text, box in texts:
        assert frame.x0 <= box.x0 and box.x1 <= frame.x1 and frame.y0 <= box.y0 and box.y1 <= frame.y1, text
    for i, (text, box) in enumerate(texts):
        for other, other_box in texts[i + 1:]:
            assert not box.overlaps(other_box), (text, other)
    # Iso-line labels sit inside the frame of the map, and there are some.
    ax = figure.axes[0]
    labels = [t.get_window_extent() for t in ax.texts]
    assert len(labels) >= 3
    assert all(ax.bbox.contains(b.x0, b.y0) and ax.bbox.contains(b.x1, b.y1) for b in labels)


def test_ticks_are_plain_numbers_and_no_triangle_stands_below_the_sphere():
    figure = ured_map(ured=12.5)
    figure.canvas.draw()
    ax, colour_bar = figure.axes
    assert [t.get_text() for t in ax.get_xticklabels() if 1 <= t.get_position()[0] <= 100] == \
        ["1", "2", "5", "10", "20", "50", "100"]
    # The map holds values beyond the highest level but none below 8.
    assert colour_bar._colorbar.extend == "max"
    assert ured_map(ab=(2, 10), bc=(2, 10), levels=[12, 20, 1e5]).axes[1]._colorbar.extend == "min"


def test_a_ured_beyond_the_drawn_ranges_is_said_and_not_in_the_legend():
    with pytest.warns(UserWarning, match=r"^the shapes with u_red = 1000 lie beyond the drawn ranges") as caught:
        ax = ured_map(ab=(1, 3), bc=(1, 3), ured=1000).axes[0]
    assert caught[0].filename == __file__
    assert not [label for label in ax.get_legend_handles_labels()[1] if "fitting" in label]


def test_a_measured_B_draws_the_curve_of_its_ured():
    data = dict(molar_mass=66000.0, vs=0.98, valency=-10.0, ionic_strength=0.15)
    B = triex.virial(a_over_b=4.0, b_over_c=1.0, **data)["B_ml_mol_per_g2"]
    ax = ured_map(B=B, **data).axes[0]
    (curve,) = [line for line in ax.get_lines() if "measured $B$" in line.get_label()]
    assert curve.get_data()[0][0] == pytest.approx(4.0, rel=1e-11)


def test_the_map_draws_on_a_given_axes():
    figure, (left, right) = matplotlib.pyplot.subplots(1, 2)
    try:
        assert ured_map(ax=right, levels=[8, 10, 20, 50]) is figure
        assert right.collections and not left.collections
    finally:
        matplotlib.pyplot.close(figure)


def test_default_levels_start_at_the_sphere_and_stay_below_the_highest():
    assert default_levels(12.0) == [8.0, 9.0, 10.0]
    assert default_levels(700.0) == [8, 9, 10, 15, 20, 30, 50, 100, 150, 200, 300, 500]


@pytest.mark.parametrize("arguments, message", [
    (dict(ab=(0.5, 10)), "ab = (0.5, 10) must be two increasing axial ratios, the first at least 1"),
    (dict(bc=(10, 10)), "bc = (10, 10) must be two increasing axial ratios, the first at least 1"),
    (dict(ured=12.0, B=1e-4, vs=1, molar_mass=1e4), "ured takes no solution data: give ured, or B with its data"),
    (dict(ured=5.0), "ured: ured = 5 is below 8, the sphere's: no ellipsoid has it"),
    (dict(temperature=300), "unknown argument(s) temperature"),
])
def test_refused_arguments(arguments, message):
    with pytest.raises(ValueError) as refusal:
        ured_map(**arguments)
    assert str(refusal.value) == message


def run_module(*arguments, cwd):
    # The package under test, wherever the test runs from.
    package_parent = os.path.dirname(os.path.dirname(os.path.abspath(triex.__file__)))
    path = os.pathsep.join(filter(None, [package_parent, os.environ.get("PYTHONPATH")]))
    return subprocess.run([sys.executable, "-m", "triex", *arguments], cwd=cwd, capture_output=True, text=True,
                          timeout=300, env={**os.environ, "PYTHONPATH": path})


@pytest.mark.parametrize("name", ["map.png", "map.svg", "map.pdf"])
def test_the_command_writes_the_map(tmp_path, name):
    run = run_module("map", "--ured", "12.5", "-o", name, cwd=tmp_path)
    assert run.returncode == 0 and run.stderr == "", run.stderr
    assert sorted(os.listdir(tmp_path)) == [name]
    content = (tmp_path / name).read_bytes()
    if name.endswith(".png"):
        image = read_png(tmp_path / name)
        assert image.shape[:2] == (HEIGHT_INCHES * 100, WIDTH_INCHES * 100)
        assert_not_blank(image)
    else:
        assert content.startswith(b"%PDF" if name.endswith(".pdf") else b"<?xml")


@pytest.mark.parametrize("arguments, status, message", [
    (["--ured", "7"], 2, "--ured: ured = 7 is below 8, the sphere's: no ellipsoid has it"),
    # A negative B is read (and implies a u_red below the sphere's), also
    # under the earlier name --B.
    (["--virial", "-1e-4", "--molar-mass", "1e4", "--vs", "1"], 2, "ured = -2 is below 8, the sphere's: no ellipsoid has it"),
    (["--B", "-1e-4", "--molar-mass", "1e4", "--vs", "1"], 2, "ured = -2 is below 8, the sphere's: no ellipsoid has it"),
    (["--virial", "3e-4", "--vs", "1"], 2, "--virial needs --molar-mass"),
    (["--virial", "3e-4", "--molar-mass", "1e4"], 2, "--virial needs --vs, or all of --hydration, --solvent-density and --vbar"),
    (["--ured", "12", "--vs", "1"], 2, "--ured takes no solution data: give --ured, or --virial with its data"),
    (["--ured", "12", "--dpi", "0"], 2, "--dpi 0 must be a positive number of at most 10000"),
    (["--ured", "x"], 2, 'argument --ured: "x" is not a number (try python3 -m triex map --help)'),
    (["--ured", "1e400"], 2, 'argument --ured: "1e400" is beyond the range of a double (try python3 -m triex map --help)'),
    (["--ured", "12", "-o", "map.jpg"], 2, "output 'map.jpg' must end in .png, .svg or .pdf"),
    (["--ured", "12", "-o", "missing/map.png"], 3, "cannot write missing/map.png: No such file or directory"),
])
def test_the_command_refuses_without_touching_the_file(tmp_path, arguments, status, message):
    (tmp_path / "map.png").write_bytes(b"earlier")
    run = run_module("map", "-o", "map.png", *arguments, cwd=tmp_path)
    assert (run.returncode, run.stderr) == (status, f"triex map: {message}\n")
    assert sorted(os.listdir(tmp_path)) == ["map.png"] and (tmp_path / "map.png").read_bytes() == b"earlier"


@pytest.mark.parametrize("arguments, stream", [
    (["map", "--ured", "7", "-o", "map.png"], "stderr"),  # the refusal cannot be told
    (["map", "--ured", "1000", "--ab", "1", "3", "--bc", "1", "3", "-o", "map.svg"], "stderr"),  # nor the note
    (["map", "--help"], "stdout"),
    (["fit", "--help"], "stdout"),
])
def test_a_standard_stream_that_cannot_be_written_is_a_failed_write_as_in_the_program(tmp_path, arguments, stream):
    with open("/dev/full", "w") as full:
        package_parent = os.path.dirname(os.path.dirname(os.path.abspath(triex.__file__)))
        run = subprocess.run([sys.executable, "-m", "triex", *arguments], cwd=tmp_path, timeout=300,
                             env={**os.environ, "PYTHONPATH": package_parent}, **{stream: full})
    assert run.returncode == 3


def test_the_command_notes_fitting_shapes_beyond_the_map_and_writes_it(tmp_path):
    run = run_module("map", "--ured", "1000", "--ab", "1", "3", "--bc", "1", "3", "-o", "map.svg", cwd=tmp_path)
    assert run.returncode == 0 and run.stderr.startswith("triex map: note: the shapes with u_red = 1000 lie beyond")
    assert run.stderr.count("\n") == 1 and (tmp_path / "map.svg").exists()


def test_the_written_file_has_the_usual_mode_and_replaces_the_linked_file(tmp_path):
    (tmp_path / "kept.png").write_bytes(b"earlier")
    os.chmod(tmp_path / "kept.png", 0o600)
    os.symlink("kept.png", tmp_path / "link.png")
    umask = os.umask(0o027)
    try:
        run = run_module("map", "--ured", "12", "--dpi", "20", "-o", "link.png", cwd=tmp_path)
    finally:
        os.umask(umask)
    assert run.returncode == 0, run.stderr
    assert os.path.islink(tmp_path / "link.png") and sorted(os.listdir(tmp_path)) == ["kept.png", "link.png"]
    assert (tmp_path / "kept.png").read_bytes().startswith(b"\x89PNG")
    assert os.stat(tmp_path / "kept.png").st_mode & 0o777 == 0o640
