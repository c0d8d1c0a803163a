"""The u_red map, drawn by the Agg backend, and python3 -m triex map."""

import os
import subprocess
import sys

import numpy as np
import pytest

import triex

matplotlib = pytest.importorskip("matplotlib", reason="Matplotlib (Debian python3-matplotlib) is not installed")
matplotlib.use("Agg")
import matplotlib.image  # noqa: E402
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
    assert ax.get_xlabel().startswith("a/b") and ax.get_ylabel().startswith("b/c")
    curves = [line for line in ax.get_lines() if "u_red = 20" in line.get_label()]
    assert len(curves) == 1
    np.testing.assert_allclose(triex.ured_ratios(*curves[0].get_data()), 20.0, rtol=1e-12)


def test_a_measured_B_draws_the_curve_of_its_ured():
    data = dict(molar_mass=66000.0, vs=0.98, valency=-10.0, ionic_strength=0.15)
    B = triex.virial(a_over_b=4.0, b_over_c=1.0, **data)["B_ml_mol_per_g2"]
    ax = ured_map(B=B, **data).axes[0]
    (curve,) = [line for line in ax.get_lines() if "measured B" in line.get_label()]
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
    (dict(ured=12.0, B=1e-4, vs=1, molar_mass=1e4), "give either ured or the measured B with its data, not both"),
    (dict(ured=5.0), "ured = 5 is below 8, the sphere's: no ellipsoid has it"),
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


def test_the_command_refuses_without_touching_the_file(tmp_path):
    (tmp_path / "map.png").write_bytes(b"earlier")
    run = run_module("map", "--ured", "7", "-o", "map.png", cwd=tmp_path)
    assert run.returncode == 2
    assert run.stderr == "triex: ured = 7 is below 8, the sphere's: no ellipsoid has it\n"
    assert sorted(os.listdir(tmp_path)) == ["map.png"] and (tmp_path / "map.png").read_bytes() == b"earlier"
    run = run_module("map", "--ured", "12", "-o", "map.jpg", cwd=tmp_path)
    assert run.returncode == 2 and "must end in .png, .svg or .pdf" in run.stderr
    run = run_module("map", "--ured", "12", "-o", "missing/map.png", cwd=tmp_path)
    assert run.returncode == 1 and run.stderr.startswith("triex: cannot write missing/map.png")
