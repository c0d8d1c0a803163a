"""u_red and the shape functions: broadcasting as ufuncs do, and agreement
with an independent formula written with SciPy's Carlson R_G."""

import tracemalloc

import numpy as np
import pytest

import triex

# The closed forms are within a few ulps of 32-digit references; SciPy's R_G
# is an independent implementation of the same integral, also within a few
# ulps, and the formulas below combine at most five such values.
REFERENCE_AGREEMENT = 1e-14


def random_semi_axes(count, seed):
    # Log-uniform over six decades, so that needles and discs are drawn too.
    rng = np.random.default_rng(seed)
    return 10.0 ** rng.uniform(-3.0, 3.0, size=(3, count))


class TestBroadcasting:
    def test_scalars_give_a_numpy_scalar(self):
        value = triex.ured(1, 1, 1)
        assert np.ndim(value) == 0 and not isinstance(value, np.ndarray)
        assert value == 8.0
        assert np.ndim(triex.ured_ratios(2.0, 3.0)) == 0

    def test_arrays_broadcast_against_each_other(self):
        a = np.linspace(1, 4, 3).reshape(3, 1)
        b = np.linspace(1, 2, 4)
        result = triex.ured(a, b, 0.5)
        assert result.shape == (3, 4)
        expected = [[triex.ured(x, y, 0.5) for y in b] for x in a[:, 0]]
        np.testing.assert_array_equal(result, expected)
        assert triex.ured_ratios([[1.0], [2.0]], [1.0, 2.0, 3.0]).shape == (2, 3)

    def test_every_method_and_function_keeps_the_broadcast_shape(self):
        ab = np.array([[1.5, 2.0]])
        bc = np.array([[1.0], [3.0], [2.0]])
        assert triex.ured_ratios(ab, bc, method="quadrature").shape == (3, 2)
        volume, surface, radius = triex.shape_functions(ab, bc, 1.0)
        assert volume.shape == surface.shape == radius.shape == (3, 2)
        shapes = triex.shape_functions(ab, bc, 1.0)
        assert triex.mixture_excluded_volume(shapes, triex.shape_functions(1, 1, 1)).shape == (3, 2)
        quantities = triex.virial(a_over_b=ab, b_over_c=bc, vs=0.75, molar_mass=[[1e4], [2e4], [3e4]])
        assert all(np.shape(v) == (3, 2) for v in quantities.values())

    def test_empty_arrays_give_empty_results(self):
        assert triex.ured(np.empty((0, 3)), 1, 1).shape == (0, 3)

    def test_shapes_that_do_not_broadcast_are_refused(self):
        with pytest.raises(ValueError):
            triex.ured([1, 2], [1, 2, 3], 1)

    def test_other_numeric_types_and_strided_views_are_read_as_doubles(self):
        a = np.arange(1, 21, dtype=np.int32)[::2]
        b = np.linspace(1, 3, 20)[::-2]
        np.testing.assert_array_equal(triex.ured(a, b, np.float32(0.5)),
                                      [triex.ured(float(x), float(y), 0.5) for x, y in zip(a, b)])
        # Transposed, reversed and broadcast views of one 3-d array, and an
        # unaligned field of a packed record array, read through their strides.
        cube = np.linspace(1, 4, 24).reshape(2, 3, 4)
        views = (cube.T, cube[::-1, :, ::2].transpose(2, 0, 1), np.broadcast_to(cube[0, 0, :, None], (4, 5)))
        for view in views:
            np.testing.assert_array_equal(triex.ured(view, 1.5, 0.5), triex.ured(view.copy(), 1.5, 0.5))
        packed = np.zeros(5, dtype=[("tag", "u1"), ("a", "<f8")])
        packed["a"] = [1.0, 2.0, 3.0, 4.0, 5.0]
        np.testing.assert_array_equal(triex.ured(packed["a"], 1, 1), triex.ured(np.arange(1.0, 6.0), 1, 1))
        # Read in place: a strided view and a broadcast scalar cost no memory
        # beyond the result (NumPy reports its buffers to tracemalloc).
        columns = np.ones((100000, 3))
        tracemalloc.start()
        triex.ured(columns[:, 0], np.broadcast_to(2.0, (100000,)), columns[:, 2])
        peak = tracemalloc.get_traced_memory()[1]
        tracemalloc.stop()
        assert peak < 1.1 * columns[:, 0].nbytes

    def test_the_quadrature_and_the_mixture_broadcast(self):
        details = triex.quadrature([[3.0], [2.0]], [2.0, 1.5, 1.0], 1.0)
        assert all(np.shape(v) == (2, 3) for v in details.values())
        assert details["npts_surface"].dtype == np.int64
        assert {k: v[0, 0] for k, v in details.items()} == triex.quadrature(3, 2, 1)
        axes = np.array([[3.0, 2.0, 1.0], [1.0, 1.0, 1.0]])
        # Semi-axes, a tuple of three or an array of shape (..., 3), are never
        # read as (volume, surface, mean radius).
        mixed = triex.mixture_excluded_volume(axes, (3, 2, 1))
        np.testing.assert_array_equal(mixed, triex.mixture_excluded_volume(triex.shape_functions(*axes.T),
                                                                           triex.shape_functions(3, 2, 1)))
        assert mixed[0] == pytest.approx(triex.ured(3, 2, 1) * triex.shape_functions(3, 2, 1).volume, rel=1e-15)
        assert not isinstance(triex.mixture_excluded_volume((3, 2, 1), (3, 2, 1)), np.ndarray)

    def test_the_result_does_not_depend_on_the_number_of_threads(self):
        a, b, c = random_semi_axes(30001, seed=7)
        one = triex.ured(a, b, c, threads=1)
        for threads in (2, 3, 7):
            np.testing.assert_array_equal(triex.ured(a, b, c, threads=threads), one)
        np.testing.assert_array_equal(one[::5000], [triex.ured(*s) for s in zip(a[::5000], b[::5000], c[::5000])])
        ab, bc = a / b, b / c
        np.testing.assert_array_equal(triex.ured_ratios(ab, bc, threads=3), triex.ured_ratios(ab, bc, threads=1))


class TestAgainstScipy:
    @pytest.fixture(autouse=True)
    def _scipy(self):
        special = pytest.importorskip("scipy.special", reason="SciPy (Debian python3-scipy) is not installed")
        self.RG = special.elliprg

    def reference_ured(self, a, b, c):
        # u_red = 2 + 2 R S / V with R = R_G(a^2, b^2, c^2) and
        # S = 4 pi a b c R_G(a^-2, b^-2, c^-2).
        return 2.0 + 6.0 * self.RG(a * a, b * b, c * c) * self.RG(1 / (a * a), 1 / (b * b), 1 / (c * c))

    def test_ured_of_random_shapes(self):
        a, b, c = random_semi_axes(100000, seed=1)
        np.testing.assert_allclose(triex.ured(a, b, c), self.reference_ured(a, b, c), rtol=REFERENCE_AGREEMENT)

    def test_ured_from_axial_ratios(self):
        ab, bc = 10.0 ** np.random.default_rng(2).uniform(0, 3, size=(2, 20000))
        np.testing.assert_allclose(triex.ured_ratios(ab, bc), self.reference_ured(ab * bc, bc, 1.0),
                                   rtol=REFERENCE_AGREEMENT)

    def test_shape_functions_of_random_shapes(self):
        a, b, c = random_semi_axes(20000, seed=3)
        volume, surface, radius = triex.shape_functions(a, b, c)
        np.testing.assert_allclose(volume, 4 * np.pi / 3 * a * b * c, rtol=REFERENCE_AGREEMENT)
        np.testing.assert_allclose(surface, 4 * np.pi * self.RG((a * b) ** 2, (b * c) ** 2, (c * a) ** 2),
                                   rtol=REFERENCE_AGREEMENT)
        np.testing.assert_allclose(radius, self.RG(a * a, b * b, c * c), rtol=REFERENCE_AGREEMENT)

    def test_mixture_of_two_shapes(self):
        a, b, c = random_semi_axes(1000, seed=4)
        first = triex.shape_functions(a, b, c)
        second = triex.shape_functions(c, 2 * a, b)
        expected = (first.volume + second.volume + first.mean_radius * second.surface
                    + second.mean_radius * first.surface)
        np.testing.assert_allclose(triex.mixture_excluded_volume(first, second), expected, rtol=REFERENCE_AGREEMENT)
        np.testing.assert_allclose(triex.mixture_excluded_volume(first, first), triex.ured(a, b, c) * first.volume,
                                   rtol=REFERENCE_AGREEMENT)
