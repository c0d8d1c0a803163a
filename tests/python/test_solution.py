"""The report's quantities, the inverse problem, and refused values in the
command line's words."""

import json
import math
import os
import re
import subprocess

import numpy as np
import pytest

import triex

# The solver places each shape within 1e-12 relative of the asked u_red.
SOLVER_AGREEMENT = 1e-12

BATCH_COLUMNS = ["ured", "U_ml_per_mol", "u_ml", "Bex_ml_mol_per_g2", "Bz_ml_mol_per_g2", "B_ml_mol_per_g2",
                 "BM_ml_per_g", "BM2_l_per_mol", "BM2_per_uM"]


class TestVirial:
    def test_the_report_of_the_example_3_2_1(self):
        # The dialogue's report for 3, 2, 1 Angstrom, vs = 0.75 ml/g and
        # M = 14300 g/mol (tests/golden/axes_321) prints these to 5 digits.
        q = triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=14300, method="quadrature")
        assert list(q) == BATCH_COLUMNS
        printed = {"ured": 10.1736, "U_ml_per_mol": 0.10911e6, "u_ml": 0.18118e-18,
                   "Bex_ml_mol_per_g2": 0.26679e-3, "BM_ml_per_g": 0.38151e1, "BM2_l_per_mol": 0.54556e2}
        for key, value in printed.items():
            assert q[key] == pytest.approx(value, rel=1e-4), key
        assert q["Bz_ml_mol_per_g2"] == 0.0
        assert q["B_ml_mol_per_g2"] == q["Bex_ml_mol_per_g2"]
        assert q["ured"] == triex.ured(3, 2, 1, method="quadrature")

    def test_the_quantities_follow_their_definitions(self):
        q = triex.virial(a_over_b=2.5, b_over_c=1.5, vs=0.74, molar_mass=66000)
        u_red = triex.ured_ratios(2.5, 1.5)
        assert q["ured"] == u_red
        assert q["U_ml_per_mol"] == pytest.approx(0.74 * 66000 * u_red, rel=1e-15)
        assert q["Bex_ml_mol_per_g2"] == pytest.approx(q["U_ml_per_mol"] / (2 * 66000**2), rel=1e-15)
        assert q["BM_ml_per_g"] == pytest.approx(q["B_ml_mol_per_g2"] * 66000, rel=1e-6)

    def test_hydration_data_give_vs_and_its_column(self):
        q = triex.virial(a=3, b=2, c=1, hydration=0.3, solvent_density=1.0, vbar=0.73, molar_mass=14300)
        assert list(q) == BATCH_COLUMNS[:1] + ["vs_ml_per_g"] + BATCH_COLUMNS[1:]
        assert q["vs_ml_per_g"] == triex.swollen_specific_volume(0.73, 0.3, 1.0) == 0.73 + 0.3 / 1.0
        same = triex.virial(a=3, b=2, c=1, vs=q["vs_ml_per_g"], molar_mass=14300)
        assert all(same[k] == q[k] for k in BATCH_COLUMNS)

    def test_a_charge_adds_a_positive_screened_term(self):
        neutral = triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=14300)
        charged = triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=14300, valency=[0, 5, -5], ionic_strength=0.1)
        assert charged["Bz_ml_mol_per_g2"][0] == 0.0
        assert charged["Bz_ml_mol_per_g2"][1] == charged["Bz_ml_mol_per_g2"][2] > 0
        # Unscreened, B(z) would be Z^2 / (4 I M^2) in l mol/g^2; the Debye factor is at most 1.
        assert charged["Bz_ml_mol_per_g2"][1] < 1000 * 25 / (4 * 0.1 * 14300**2)
        np.testing.assert_array_equal(charged["Bex_ml_mol_per_g2"], neutral["Bex_ml_mol_per_g2"])
        np.testing.assert_array_equal(charged["B_ml_mol_per_g2"],
                                      charged["Bex_ml_mol_per_g2"] + charged["Bz_ml_mol_per_g2"])


class TestSolve:
    @pytest.mark.parametrize("u_red", [8.0 + 1e-9, 8.5, 12.5, 100.0, 1e4])
    def test_every_shape_of_the_curve_has_the_asked_ured(self, u_red):
        curve = triex.solve(u_red, points=40)
        assert len(curve.a_over_b) == len(curve.b_over_c) == 40
        np.testing.assert_allclose(triex.ured_ratios(*curve), u_red, rtol=SOLVER_AGREEMENT, atol=0)
        # Prolate end first: a/b falls from (p, 1) and b/c rises to (1, q).
        assert curve.b_over_c[0] == 1.0 and curve.a_over_b[-1] == 1.0
        assert np.all(np.diff(curve.a_over_b) < 0) and np.all(np.diff(curve.b_over_c) > 0)

    def test_the_sphere_alone_has_ured_8(self):
        curve = triex.solve(8.0)
        assert list(curve.a_over_b) == [1.0] and list(curve.b_over_c) == [1.0]

    @pytest.mark.parametrize("charge", [{}, {"valency": 12.0, "ionic_strength": 0.05}])
    def test_a_measured_B_gives_back_the_shape_that_made_it(self, charge):
        data = {"molar_mass": 66000.0, "hydration": 0.35, "solvent_density": 1.0, "vbar": 0.733, **charge}
        B = triex.virial(a_over_b=3.0, b_over_c=1.0, **data)["B_ml_mol_per_g2"]
        u_red = triex.ured_from_virial(B=B, **data)
        assert u_red == pytest.approx(triex.ured_ratios(3.0, 1.0), rel=1e-14)
        curve = triex.solve_virial(B=B, points=7, **data)
        assert curve.a_over_b[0] == pytest.approx(3.0, rel=1e-11)
        np.testing.assert_allclose(triex.ured_ratios(*curve), u_red, rtol=SOLVER_AGREEMENT, atol=0)
        # Arrays broadcast, element for element the scalars' values.
        B_values = np.array([[B], [2 * B]])
        many = triex.ured_from_virial(B=B_values, **{**data, "molar_mass": [66000.0, 33000.0]})
        np.testing.assert_array_equal(many, [[triex.ured_from_virial(B=b, **{**data, "molar_mass": m})
                                              for m in (66000.0, 33000.0)] for b in B_values[:, 0]])


def refusal(message):
    return pytest.raises(ValueError, match="^" + re.escape(message) + "$")


class TestShapeFactors:
    """The factors and predictions are the command line's, to the bit, and
    broadcast as the other functions do."""

    @staticmethod
    def command_row(*args):
        program = os.environ.get("TRIEX_BINARY")
        if not program:
            pytest.skip("TRIEX_BINARY (the built triex program) is not set")
        run = subprocess.run([program, "shape", *args, "--format", "json"], capture_output=True, text=True, timeout=60)
        assert run.returncode == 0, run.stderr
        return json.loads(run.stdout)[0]

    def test_the_factors_are_the_commands_and_broadcast_with_their_axes_last(self):
        row = self.command_row("30", "20", "10")
        f = triex.shape_factors(30, 20, 10)
        assert list(f) == ["stokes_radius", "perrin_ratio", "radius_of_gyration", "gyration_ratio",
                           "rotational_friction", "relaxation_times", "harmonic_relaxation_time",
                           "viscosity_increment", "ured"]
        for key in ("stokes_radius", "perrin_ratio", "radius_of_gyration", "gyration_ratio",
                    "harmonic_relaxation_time", "viscosity_increment", "ured"):
            assert np.ndim(f[key]) == 0 and f[key] == row[key], key
        assert list(f["rotational_friction"]) == [row[f"rotational_friction_{i}"] for i in (1, 2, 3)]
        assert list(f["relaxation_times"]) == [row[f"relaxation_time_{i}"] for i in (1, 2, 3, 4, 5)]

        many = triex.shape_factors([30, 3], [[20], [2], [40]], 10, threads=2)
        assert many["stokes_radius"].shape == (3, 2)
        assert many["rotational_friction"].shape == (3, 2, 3) and many["relaxation_times"].shape == (3, 2, 5)
        np.testing.assert_array_equal(many["relaxation_times"][0, 0], f["relaxation_times"])
        one = triex.shape_factors(3, 40, 10)
        np.testing.assert_array_equal(many["rotational_friction"][2, 1], one["rotational_friction"])
        assert many["viscosity_increment"][2, 1] == one["viscosity_increment"]

    @pytest.mark.parametrize("keywords, options", [
        (dict(hydration=0.35, solvent_density=0.9982, vbar=0.703),
         ["--hydration", "0.35", "--solvent-density", "0.9982", "--vbar", "0.703"]),
        (dict(vs=0.98, viscosity=0.89, temperature=298.15),
         ["--vs", "0.98", "--viscosity", "0.89", "--temperature", "298.15"]),
        (dict(vs=0.98, vbar=0.73), ["--vs", "0.98", "--vbar", "0.73"]),
    ])
    def test_the_predictions_are_the_commands_with_the_same_quantities_present(self, keywords, options):
        row = self.command_row("--ratios", "1.5", "1", "--molar-mass", "14300", *options)
        p = triex.predict(a_over_b=1.5, b_over_c=1, molar_mass=14300, **keywords)
        assert p == {key: row[key] for key in p}
        expected = {"D_cm2_per_s", "stokes_radius_angstrom", "rg_angstrom", "tau_h_ns",
                    "intrinsic_viscosity_ml_per_g", "Bex_ml_mol_per_g2"}
        if "vbar" in keywords:
            expected.add("f_over_f0")
            if "solvent_density" in keywords:
                expected.add("s_svedberg")
        assert set(p) == expected
        # The shape's size does not enter, only its axial ratios.
        assert triex.predict(a=15, b=10, c=10, molar_mass=14300, **keywords) == p
        arrays = triex.predict(a_over_b=[1.5, 3.0], b_over_c=1, molar_mass=14300, **keywords)
        assert all(arrays[key][0] == p[key] for key in p)


class TestRefusedValues:
    @pytest.mark.parametrize("call, message", [
        (lambda: triex.ured(0, 1, 1), "a: a = 0 must be a positive number"),
        (lambda: triex.ured(1, -2.5, 1), "b: b = -2.5 must be a positive number"),
        (lambda: triex.ured(1, 1, math.inf), "c: c = inf must be a positive number"),
        (lambda: triex.ured([1, 2, math.nan], 1, 1), "a: a = nan must be a positive number (at index 2)"),
        (lambda: triex.ured([[1, 1], [1, 1]], [[1, 1], [1, -0.0]], 1), "b: b = -0 must be a positive number (at index (1, 1))"),
        (lambda: triex.ured(1, [[1, 1, 1], [0, 1, 1]], [1, 2, 3]), "b: b = 0 must be a positive number (at index (1, 0))"),
        (lambda: triex.ured_ratios(0, 1), "a_over_b: a/b = 0 must be a positive number"),
        (lambda: triex.ured_ratios(1e200, 1e200), "a_over_b: a = (a/b)(b/c) = inf must be a positive number"),
        (lambda: triex.shape_functions(1, math.nan, 1), "b: b = nan must be a positive number"),
        (lambda: triex.ured(1, 1, 1, threads=0), "threads = 0 must be at least 1"),
        (lambda: triex.solve(7.5), "ured: ured = 7.5 is below 8, the sphere's: no ellipsoid has it"),
        (lambda: triex.solve(math.nan), "ured: ured = nan must be a number"),
        (lambda: triex.solve(12.0, points=1), "points: points = 1 must be at least 2"),
        (lambda: triex.solve(12.0, points=2.5), "points = 2.5 must be a whole number"),
        (lambda: triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=0), "molar_mass: M = 0 must be a positive number"),
        (lambda: triex.virial(a=3, b=2, c=1, vs=-1, molar_mass=1e4), "vs: vs = -1 must be a positive number"),
        (lambda: triex.virial(a=3, b=2, c=1, hydration=0.3, solvent_density=0, vbar=0.7, molar_mass=1e4),
         "solvent_density: rho = 0 must be a positive number"),
        (lambda: triex.virial(a=3, b=2, c=1, hydration=-1, solvent_density=1, vbar=0.7, molar_mass=1e4),
         "hydration: vs = vbar + delta/rho = -0.30000000000000004 must be a positive number"),
        (lambda: triex.virial(a=3, b=2, c=1, vs=1, molar_mass=1e4, valency=2, ionic_strength=0),
         "ionic_strength: I = 0 must be a positive number"),
        (lambda: triex.virial(a=3, b=2, c=1, vs=1, molar_mass=1e4, valency=2),
         "valency and ionic_strength go together"),
        (lambda: triex.virial(a=3, b=2, vs=1, molar_mass=1e4), "give the shape as a, b, c or as a_over_b, b_over_c"),
        (lambda: triex.virial(a=3, b=2, c=1, a_over_b=2, b_over_c=1, vs=1, molar_mass=1e4),
         "give the shape as a, b, c or as a_over_b, b_over_c"),
        (lambda: triex.virial(a=3, b=2, c=1, molar_mass=1e4), "molar_mass needs vs, or all of hydration, solvent_density and vbar"),
        (lambda: triex.virial(a=3, b=2, c=1, vs=1, vbar=0.7, molar_mass=1e4),
         "give vs or hydration, solvent_density and vbar, not both"),
        (lambda: triex.ured_from_virial(B=1e-4, molar_mass=1e4, hydration=0.3, vbar=0.7),
         "B needs vs, or all of hydration, solvent_density and vbar"),
        (lambda: triex.solve_virial(B=1e-4, vs=1.0, molar_mass=1e4), "ured: ured = 2 is below 8, the sphere's: no ellipsoid has it"),
        (lambda: triex.ured_from_virial(B=math.inf, vs=0.75, molar_mass=1e4), "B: B = inf must be a finite number"),
        (lambda: triex.ured_from_virial(B=[1e-4, math.nan], vs=0.75, molar_mass=1e4),
         "B: B = nan must be a finite number (at index 1)"),
        # Values that are no numbers, and arguments that take no arrays.
        (lambda: triex.ured(None, 1, 1), "a is missing (None): give a number or an array of numbers"),
        (lambda: triex.ured(1, "2", 1), "b = '2' must be a number or an array of numbers"),
        (lambda: triex.ured_ratios([1, None], 1), "a_over_b = an array of object must be a number or an array of numbers"),
        (lambda: triex.ured(np.ma.masked_less([1.0, -1.0], 0), 1, 1),
         "a is a masked array, whose mask would be ignored: pass a.compressed() or a.filled(value)"),
        (lambda: triex.virial(a=[1, 2], b=[1, 2, 3], c=1, vs=1, molar_mass=1e4),
         "the shapes do not broadcast against each other: a (2,), b (3,), c ()"),
        (lambda: triex.solve([10.0, 12.0]),
         "ured has shape (2,): solve takes single values (one curve each); call it once for each value"),
        (lambda: triex.solve_virial(B=1e-3, vs=1.0, molar_mass=[1e4, 2e4]),
         "molar_mass has shape (2,): solve_virial takes single values (one curve each); call it once for each value"),
        (lambda: triex.mixture_excluded_volume([3, 2], (1, 1, 1)),
         "shape1 of shape (2,) must be semi-axes (a, b, c), an array whose last dimension is 3, "
         "or the result of shape_functions"),
        (lambda: triex.mixture_excluded_volume((1, 1, 1), [triex.shape_functions(1, 1, 1)] * 3),
         "shape2 is a sequence of ShapeFunctions: give one ShapeFunctions of arrays, "
         "shape_functions(a, b, c) with a, b, c arrays"),
        (lambda: triex.mixture_excluded_volume([[1, 1, 1], [1, 0, 1]], (1, 1, 1)),
         "b: b = 0 must be a positive number (at index 1)"),
        (lambda: triex.shape_factors(1, [1, -1], 1), "b: b = -1 must be a positive number (at index 1)"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=1, molar_mass=-1), "molar_mass: M = -1 must be a positive number"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=0, molar_mass=1e4), "vs: vs = 0 must be a positive number"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=1, molar_mass=1e4, viscosity=[1, 0]),
         "viscosity: eta = 0 must be a positive number (at index 1)"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=1, molar_mass=1e4, temperature=-1), "temperature: T = -1 must be a positive number"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=1, molar_mass=1e4, vbar=0), "vbar: vbar = 0 must be a positive number"),
        (lambda: triex.predict(a=3, b=2, c=1, vs=1, molar_mass=1e4, solvent_density=math.nan),
         "solvent_density: rho = nan must be a positive number"),
        (lambda: triex.predict(a=3, b=2, c=1, hydration=0.3, solvent_density=1, vbar=0.7, vs=1, molar_mass=1e4),
         "give vs or hydration, not both"),
        (lambda: triex.predict(a=3, b=2, c=1, hydration=0.3, vbar=0.7, molar_mass=1e4),
         "molar_mass needs vs, or all of hydration, solvent_density and vbar"),
        (lambda: triex.predict(a_over_b=3, b=2, vs=1, molar_mass=1e4), "give the shape as a, b, c or as a_over_b, b_over_c"),
    ])
    def test_refused_with_the_command_lines_words(self, call, message):
        with refusal(message):
            call()

    def test_the_first_refused_element_in_c_order_is_named_whatever_the_threads(self):
        a = np.ones(100000)
        a[[77777, 23456, 99999]] = [-1.0, math.nan, 0.0]
        for threads in (1, 2, 5):
            with refusal("a: a = nan must be a positive number (at index 23456)"):
                triex.ured(a, 1.0, 1.0, threads=threads)


# One fault, one set of words: the same bad value through every front end.
# Each row: the words; the dialogue's answers; the C++ API (through the
# module, which calls it element by element) with the keyword it names; a
# command with its label of the input; a batch header and row with the column.
AXES = "a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol"
RATIOS = "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol"
HYDRATED = "a_angstrom,b_angstrom,c_angstrom,hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g,molar_mass_g_per_mol"
CHARGED = AXES + ",valency,ionic_strength_mol_per_l"
SOLVE_VIRIAL = ["solve", "--virial", "1e-3", "--molar-mass", "1e4"]
ONE_WORDS_PER_FAULT = [
    ("a = 0 must be a positive number", "x\n1\n0 1 1\n", lambda: triex.ured(0, 1, 1), "a",
     ["ured", "0", "1", "1"], "semi-axis A", (AXES, "0,1,1,0.75,1e4"), "a_angstrom"),
    ("b/c = -1 must be a positive number", "x\n2\n3 -1\n", lambda: triex.ured_ratios(3, -1), "b_over_c",
     ["ured", "--ratios", "3", "-1"], "--ratios BC", (RATIOS, "3,-1,0.75,1e4"), "b_over_c"),
    ("a = (a/b)(b/c) = inf must be a positive number", "x\n2\n1e200 1e200\n", lambda: triex.ured_ratios(1e200, 1e200),
     "a_over_b", ["ured", "--ratios", "1e200", "1e200"], "--ratios AB", (RATIOS, "1e200,1e200,0.75,1e4"), "a_over_b"),
    ("vs = -0.5 must be a positive number", "x\n1\n3 2 1\n1\n-0.5\n",
     lambda: triex.virial(a=3, b=2, c=1, vs=-0.5, molar_mass=1e4), "vs",
     ["shape", "3", "2", "1", "--molar-mass", "1e4", "--vs", "-0.5"], "--vs", (AXES, "3,2,1,-0.5,1e4"), "vs_ml_per_g"),
    ("M = 1e+200 is too large: 2*M*M overflows a double", "x\n1\n3 2 1\n1\n0.75\n1e200\n",
     lambda: triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=1e200), "molar_mass",
     ["shape", "3", "2", "1", "--molar-mass", "1e200", "--vs", "0.75"], "--molar-mass", (AXES, "3,2,1,0.75,1e200"),
     "molar_mass_g_per_mol"),
    ("rho = -2 must be a positive number", "x\n1\n3 2 1\n2\n0.3 -2 0.7\n",
     lambda: triex.virial(a=3, b=2, c=1, hydration=0.3, solvent_density=-2, vbar=0.7, molar_mass=1e4), "solvent_density",
     SOLVE_VIRIAL + ["--hydration", "0.3", "--solvent-density", "-2", "--vbar", "0.7"], "--solvent-density",
     (HYDRATED, "3,2,1,0.3,-2,0.7,1e4"), "solvent_density_g_per_ml"),
    ("vs = vbar + delta/rho = -1.3 must be a positive number", "x\n1\n3 2 1\n2\n-2 1 0.7\n",
     lambda: triex.virial(a=3, b=2, c=1, hydration=-2, solvent_density=1, vbar=0.7, molar_mass=1e4), "hydration",
     SOLVE_VIRIAL + ["--hydration", "-2", "--solvent-density", "1", "--vbar", "0.7"], "--hydration",
     (HYDRATED, "3,2,1,-2,1,0.7,1e4"), "hydration_g_per_g"),
    ("I = 0 must be a positive number", "x\n1\n3 2 1\n1\n0.75\n14300\ny\ny\n5\n0\n",
     lambda: triex.virial(a=3, b=2, c=1, vs=0.75, molar_mass=14300, valency=5, ionic_strength=0), "ionic_strength",
     SOLVE_VIRIAL + ["--vs", "0.75", "--valency", "5", "--ionic-strength", "0"], "--ionic-strength",
     (CHARGED, "3,2,1,0.75,14300,5,0"), "ionic_strength_mol_per_l"),
    # Texts that are no number: Python reads them by the commands' grammar
    # (python3 -m triex map), which refuses without naming a keyword.
    ('"1e400" is beyond the range of a double', "x\n1\n1e400 1 1\n", lambda: triex._core.number("1e400"), None,
     ["ured", "1e400", "1", "1"], "semi-axis A", (AXES, "1e400,1,1,0.75,1e4"), "a_angstrom"),
    ('"x" is not a number', "x\n1\n3 2 1\n1\nx\n", lambda: triex._core.number("x"), None,
     ["shape", "3", "2", "1", "--molar-mass", "1e4", "--vs", "x"], "--vs", (AXES, "3,2,1,x,1e4"), "vs_ml_per_g"),
]


@pytest.mark.parametrize("words, answers, call, keyword, command, label, batch, column", ONE_WORDS_PER_FAULT)
def test_one_fault_has_one_set_of_words_in_every_front_end(words, answers, call, keyword, command, label, batch,
                                                           column):
    with pytest.raises(ValueError) as refused:
        call()
    if keyword is None:
        assert str(refused.value) == words
    else:
        assert (refused.value.keyword, refused.value.words) == (keyword, words)
    program = os.environ.get("TRIEX_BINARY")
    if not program:
        pytest.skip("TRIEX_BINARY (the built triex program) is not set")

    def stderr(arguments, stdin):
        run = subprocess.run([program, *arguments], input=stdin.encode(), capture_output=True, timeout=60)
        assert run.returncode == 2, run.stderr
        return run.stderr.decode()

    assert re.fullmatch(r'triex: answer to "[^"]*": (.*)\n', stderr([], answers)).group(1) == words
    assert stderr(command, "") == f"triex {command[0]}: {label}: {words}\n"
    header, row = batch
    assert stderr(["batch", "-"], f"{header}\n{row}\n") == f'<stdin>:2: column "{column}": {words}\n'


def test_the_version_is_the_programs():
    program = os.environ.get("TRIEX_BINARY")
    if not program:
        pytest.skip("TRIEX_BINARY (the built triex program) is not set")
    run = subprocess.run([program, "--version"], capture_output=True, text=True, timeout=60)
    assert run.stdout == f"triex {triex.__version__}\n" and re.fullmatch(r"\d+\.\d+\.\d+", triex.__version__)
