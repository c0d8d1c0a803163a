"""triex.fit, triex.plot.fit_map and python3 -m triex fit: the shape from
several measurements, in the words and statuses of triex fit."""

import subprocess
import sys
import warnings

import pytest

import triex

matplotlib = pytest.importorskip("matplotlib")

# A 66 kDa protein, 2.5 : 1.6 : 1 at 0.35 g/g, in water at 20 C: its data to four digits and exact.
MOLECULE = dict(molar_mass=66000, vbar=0.733, hydration=0.35)


def exact_data():
    """The model's data of 2.5 : 1.6 : 1 (MeasurementModel::predicted), ten digits."""
    return dict(intrinsic_viscosity=4.285315102, relaxation_time=44.44045558, virial=9.609291327e-05,
                sedimentation=4.488814048)


def test_a_pair_fits_its_shape_back_and_sigma_can_be_written_three_ways():
    d = exact_data()
    plain = triex.fit(**MOLECULE, intrinsic_viscosity=d["intrinsic_viscosity"], relaxation_time=d["relaxation_time"])
    best = plain.solutions[0]
    assert best.a_over_b == pytest.approx(2.5, rel=1e-7)
    assert best.b_over_c == pytest.approx(1.6, rel=1e-7)
    assert best.plausible and plain.consistent and not plain.ill_conditioned
    assert best.a_over_b_95[0] < best.a_over_b_68[0] < 2.5 < best.a_over_b_68[1] < best.a_over_b_95[1]
    for eta in ((d["intrinsic_viscosity"], "2%"), (d["intrinsic_viscosity"], 0.02 * d["intrinsic_viscosity"])):
        again = triex.fit(**MOLECULE, intrinsic_viscosity=eta, relaxation_time=d["relaxation_time"])
        assert again.solutions[0] == best
    assert plain.search["chi2"].shape == (121, 121)
    assert len(plain.datum_deviation) == 2


def test_an_ill_conditioned_fit_warns_with_the_weak_pair_and_the_helpful_datum():
    d = exact_data()
    with pytest.warns(triex.FitWarning, match="virial and sedimentation cross at .* relaxation_time would help most"):
        result = triex.fit(**MOLECULE, virial=d["virial"], sedimentation=(d["sedimentation"], "1%"))
    assert result.ill_conditioned
    assert result.solutions[0].amplification > 10


@pytest.mark.parametrize("data", [
    # A refinement steps to ratios beyond 1e75, where the shape factors' duplications fail.
    dict(diffusion=5.150231652892078e-07, virial=3.1173027360817895e-4, intrinsic_viscosity=9.454338537826564),
    # The best node's refinement leaves the box down a valley to vs -> 0; only the sphere's stays.
    dict(intrinsic_viscosity=47.604877056238074, relaxation_time=59.15042338207336, diffusion=3.9704364418585893e-07),
])
def test_no_solution_is_worse_than_the_best_node_of_the_search(data):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", triex.FitWarning)
        result = triex.fit(molar_mass=50000, vbar=0.73, solvent_density=0.9982, **data)
    assert result.solutions[0].chi2 <= result.search["chi2"].min()


def test_refusals_name_the_keyword_in_the_words_of_the_command():
    d = exact_data()
    with pytest.raises(ValueError, match="2 independent data cannot fix 3 unknowns"):
        triex.fit(molar_mass=66000, vbar=0.733, virial=d["virial"], sedimentation=d["sedimentation"])
    with pytest.raises(ValueError, match="^stokes_radius: R_S = 10 is below what any ellipsoid"):
        triex.fit(**MOLECULE, stokes_radius=10, virial=d["virial"])
    with pytest.raises(ValueError, match="virial must be a value or a"):
        triex.fit(**MOLECULE, virial=(1, 2, 3), sedimentation=d["sedimentation"])
    with pytest.raises(ValueError, match="give the measurements"):
        triex.fit(**MOLECULE)


def test_fit_map_draws_on_the_given_axes_and_returns_its_figure():
    from matplotlib.figure import Figure

    from triex.plot import fit_map

    d = exact_data()
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", triex.FitWarning)
        result = triex.fit(**MOLECULE, virial=d["virial"], sedimentation=d["sedimentation"])
    figure = Figure()
    ax = figure.add_subplot()
    assert fit_map(result, ax=ax) is figure
    assert ax.get_xscale() == "log" and ax.get_xlabel() == "a/b" and ax.get_ylabel() == "b/c"
    labels = [t.get_text() for t in ax.get_legend().get_texts()]
    assert labels[-2:] == ["68 % region", "95 % region"]
    assert any("prolate" in t.get_text() for t in ax.texts) and any("oblate" in t.get_text() for t in ax.texts)


def run_module(*arguments, cwd):
    return subprocess.run([sys.executable, "-m", "triex", "fit", *arguments], cwd=cwd, capture_output=True, text=True,
                          timeout=120)


def test_the_module_writes_the_picture_and_ends_with_the_statuses_of_triex_fit(tmp_path):
    d = exact_data()
    molecule = ["--molar-mass", "66000", "--vbar", "0.733", "--hydration", "0.35"]
    done = run_module(*molecule, "--intrinsic-viscosity", str(d["intrinsic_viscosity"]), "--relaxation-time",
                      f"{d['relaxation_time']}:5%", "-o", "fit.png", cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert (tmp_path / "fit.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    refused = run_module(*molecule, "--virial", str(d["virial"]), "-o", "no.png", cwd=tmp_path)
    assert refused.returncode == 2
    assert refused.stderr.startswith("triex fit: 1 independent data cannot fix 2 unknowns")
    assert not (tmp_path / "no.png").exists()
    inconsistent = run_module(*molecule, "--intrinsic-viscosity", str(d["intrinsic_viscosity"]), "--relaxation-time",
                              str(d["relaxation_time"]), "--radius-of-gyration", "45", "-o", "bad.svg", cwd=tmp_path)
    assert inconsistent.returncode == 1
    assert "inconsistent data" in inconsistent.stderr
    assert (tmp_path / "bad.svg").exists()
