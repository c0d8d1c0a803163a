// triex._core: the compiled half of the Python package `triex`.
//
// Each function takes NumPy arrays that the package has already broadcast to
// one shape (python/triex/__init__.py does that, as a ufunc would) and
// returns arrays of that shape. The loop over the elements runs here with the
// interpreter's lock released, split over threads by parallel_for, so other
// Python threads go on while a large array is computed; each element is
// computed by the public C++ API (include/triex/triex.hpp) and written by
// index, so the result does not depend on the number of threads.
//
// A value the API refuses throws std::invalid_argument in the words of the
// command line; the binding adds the index of the first refused element in C
// order (for arrays of more than zero dimensions) and pybind11 raises it as
// ValueError.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/parallel_for.hpp"
#include "triex/triex.hpp"

namespace py = pybind11;

namespace triex::python {
namespace {

// Any float64 array; forcecast converts other numeric types, c_style makes
// a contiguous copy of broadcast views (whose strides may be 0).
using Input = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Output = py::array_t<double>;

// Below this many exact evaluations (about 3 ms of work) starting threads
// costs more than it saves; the quadrature is expensive enough per element
// to split any array.
constexpr std::size_t kExactElementsForThreads = 20000;

unsigned thread_count(std::size_t elements, bool expensive, std::optional<unsigned> requested) {
  if (requested) {
    if (*requested == 0) throw std::invalid_argument("threads = 0 must be at least 1");
    return *requested;
  }
  if (!expensive && elements < kExactElementsForThreads) return 1;
  return default_thread_count();
}

// A refused element, carried out of the worker threads with its flat index.
struct RefusedElement {
  std::size_t index;
  std::string reason;
};

// " (at index (1, 2))" for element 5 of a 2 by 3 array; nothing for a 0-d one.
std::string index_suffix(std::size_t flat, const std::vector<py::ssize_t>& shape) {
  if (shape.empty()) return "";
  std::vector<std::size_t> index(shape.size());
  for (std::size_t d = shape.size(); d-- > 0;) {
    const auto extent = static_cast<std::size_t>(shape[d]);
    index[d] = flat % extent;
    flat /= extent;
  }
  std::string text;
  for (std::size_t d = 0; d < index.size(); ++d) text += (d ? ", " : "") + std::to_string(index[d]);
  return " (at index " + (shape.size() == 1 ? text : "(" + text + ")") + ")";
}

std::vector<py::ssize_t> shape_of(const py::array& array) {
  return std::vector<py::ssize_t>(array.shape(), array.shape() + array.ndim());
}

template <std::size_t N>
std::vector<py::ssize_t> common_shape(const std::array<Input, N>& inputs) {
  const std::vector<py::ssize_t> shape = shape_of(inputs[0]);
  for (const Input& input : inputs)
    if (shape_of(input) != shape) throw std::invalid_argument("the arrays must have been broadcast to one shape");
  return shape;
}

// Runs element(i) for every index with the lock released. The first refused
// element in C order is reported: each block stops at its first refusal and
// parallel_for rethrows the earliest block's.
template <class Element>
void for_each_element(const std::vector<py::ssize_t>& shape, std::size_t count, unsigned threads, Element element) {
  try {
    py::gil_scoped_release release;
    parallel_for(count, threads, [&](std::size_t begin, std::size_t end) {
      for (std::size_t i = begin; i < end; ++i) {
        try {
          element(i);
        } catch (const std::invalid_argument& refusal) {
          throw RefusedElement{i, refusal.what()};
        }
      }
    });
  } catch (const RefusedElement& refused) {
    throw std::invalid_argument(refused.reason + index_suffix(refused.index, shape));
  }
}

std::array<const double*, 3> data_of(const std::array<Input, 3>& inputs) {
  return {inputs[0].data(), inputs[1].data(), inputs[2].data()};
}

// ---- u_red ----

Output ured_exact(Input a, Input b, Input c, std::optional<unsigned> threads) {
  const std::array<Input, 3> in{a, b, c};
  const auto shape = common_shape(in);
  Output result(shape);
  const std::array<const double*, 3> x = data_of(in);
  double* out = result.mutable_data();
  const auto n = static_cast<std::size_t>(result.size());
  for_each_element(shape, n, thread_count(n, false, threads), [&](std::size_t i) { out[i] = ured(x[0][i], x[1][i], x[2][i]); });
  return result;
}

Output ured_ratios_exact(Input a_over_b, Input b_over_c, std::optional<unsigned> threads) {
  const std::array<Input, 2> in{a_over_b, b_over_c};
  const auto shape = common_shape(in);
  Output result(shape);
  const double* AB = a_over_b.data();
  const double* BC = b_over_c.data();
  double* out = result.mutable_data();
  const auto n = static_cast<std::size_t>(result.size());
  for_each_element(shape, n, thread_count(n, false, threads),
                   [&](std::size_t i) { out[i] = ured_ratios(AB[i], BC[i]); });
  return result;
}

// The dialogue's quadrature over an array: u_red and whether both double
// integrals converged (IFAIL = 0) for each element.
py::tuple ured_quadrature(Input first, Input second, Input third, bool ratios, std::optional<unsigned> threads) {
  const std::array<Input, 3> in{first, second, third};
  const auto shape = common_shape(in);
  Output result(shape);
  py::array_t<bool> converged(shape);
  const std::array<const double*, 3> x = data_of(in);
  double* out = result.mutable_data();
  bool* ok = converged.mutable_data();
  const auto n = static_cast<std::size_t>(result.size());
  for_each_element(shape, n, thread_count(n, true, threads), [&](std::size_t i) {
    const QuadratureResult q = ratios ? quadrature_ratios(x[0][i], x[1][i]) : quadrature(x[0][i], x[1][i], x[2][i]);
    out[i] = q.ured;
    ok[i] = q.ifail_surface == 0 && q.ifail_curvature == 0;
  });
  return py::make_tuple(result, converged);
}

// ---- Shape functions ----

py::tuple shape_functions_array(Input a, Input b, Input c) {
  const std::array<Input, 3> in{a, b, c};
  const auto shape = common_shape(in);
  Output volume(shape), surface(shape), mean_radius(shape);
  const std::array<const double*, 3> x = data_of(in);
  double* V = volume.mutable_data();
  double* S = surface.mutable_data();
  double* R = mean_radius.mutable_data();
  const auto n = static_cast<std::size_t>(volume.size());
  for_each_element(shape, n, thread_count(n, false, std::nullopt), [&](std::size_t i) {
    const ShapeFunctions f = shape_functions(x[0][i], x[1][i], x[2][i]);
    V[i] = f.volume;
    S[i] = f.surface;
    R[i] = f.mean_radius;
  });
  return py::make_tuple(volume, surface, mean_radius);
}

Output mixture_array(Input V1, Input S1, Input R1, Input V2, Input S2, Input R2) {
  const std::array<Input, 6> in{V1, S1, R1, V2, S2, R2};
  const auto shape = common_shape(in);
  Output result(shape);
  std::array<const double*, 6> x{};
  for (std::size_t k = 0; k < in.size(); ++k) x[k] = in[k].data();
  double* out = result.mutable_data();
  const auto n = static_cast<std::size_t>(result.size());
  for_each_element(shape, n, thread_count(n, false, std::nullopt), [&](std::size_t i) {
    out[i] = mixture_excluded_volume({x[0][i], x[1][i], x[2][i]}, {x[3][i], x[4][i], x[5][i]});
  });
  return result;
}

// ---- Quantities of the solution ----

Output swollen_specific_volume_array(Input vbar, Input hydration, Input solvent_density) {
  const std::array<Input, 3> in{vbar, hydration, solvent_density};
  const auto shape = common_shape(in);
  Output result(shape);
  const std::array<const double*, 3> x = data_of(in);
  double* out = result.mutable_data();
  const auto n = static_cast<std::size_t>(result.size());
  for_each_element(shape, n, thread_count(n, false, std::nullopt),
                   [&](std::size_t i) { out[i] = swollen_specific_volume(x[0][i], x[1][i], x[2][i]); });
  return result;
}

// The eight quantities of Virial, in its order. Without charge the valency
// and ionic strength arrays are ignored.
py::tuple virial_array(Input ured_values, Input vs, Input molar_mass, Input valency, Input ionic_strength,
                       bool charged) {
  const std::array<Input, 5> in{ured_values, vs, molar_mass, valency, ionic_strength};
  const auto shape = common_shape(in);
  std::array<Output, 8> outputs{Output(shape), Output(shape), Output(shape), Output(shape),
                                Output(shape), Output(shape), Output(shape), Output(shape)};
  std::array<double*, 8> out{};
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = outputs[k].mutable_data();
  const double* X = ured_values.data();
  const double* VS = vs.data();
  const double* M = molar_mass.data();
  const double* Z = valency.data();
  const double* I = ionic_strength.data();
  const auto n = static_cast<std::size_t>(outputs[0].size());
  for_each_element(shape, n, thread_count(n, false, std::nullopt), [&](std::size_t i) {
    VirialInputs inputs{X[i], VS[i], M[i], std::nullopt};
    if (charged) inputs.charge = Charge{Z[i], I[i]};
    const Virial v = virial(inputs);
    const double values[] = {v.U, v.u, v.Bex, v.Bz, v.B, v.BM, v.BM2, v.BM2_per_uM};
    for (std::size_t k = 0; k < out.size(); ++k) out[k][i] = values[k];
  });
  py::tuple result(outputs.size());
  for (std::size_t k = 0; k < outputs.size(); ++k) result[k] = outputs[k];
  return result;
}

// ---- Scalars: the quadrature's details and the inverse problem ----

py::dict quadrature_details(double first, double second, double third, bool ratios) {
  QuadratureResult q;
  {
    py::gil_scoped_release release;
    q = ratios ? quadrature_ratios(first, second) : quadrature(first, second, third);
  }
  py::dict d;
  d["ured"] = q.ured;
  d["surface"] = q.surface;
  d["mean_radius"] = q.mean_radius;
  d["npts_surface"] = q.npts_surface;
  d["npts_curvature"] = q.npts_curvature;
  d["ifail_surface"] = q.ifail_surface;
  d["ifail_curvature"] = q.ifail_curvature;
  return d;
}

py::tuple solve_curve(double X, int points) {
  std::vector<AxialRatios> curve;
  {
    py::gil_scoped_release release;
    curve = solve(X, points);
  }
  const auto n = static_cast<py::ssize_t>(curve.size());
  Output a_over_b(n), b_over_c(n);
  double* ab = a_over_b.mutable_data();
  double* bc = b_over_c.mutable_data();
  for (std::size_t i = 0; i < curve.size(); ++i) {
    ab[i] = curve[i].a_over_b;
    bc[i] = curve[i].b_over_c;
  }
  return py::make_tuple(a_over_b, b_over_c);
}

double ured_from_virial_scalar(double B, double vs, double molar_mass, std::optional<double> valency,
                               std::optional<double> ionic_strength) {
  std::optional<Charge> charge;
  if (valency && ionic_strength) charge = Charge{*valency, *ionic_strength};
  return ured_from_virial(B, vs, molar_mass, charge);
}

}  // namespace
}  // namespace triex::python

PYBIND11_MODULE(_core, m) {
  using namespace triex::python;
  using namespace pybind11::literals;
  m.doc() = "Compiled loops of the triex package; use the functions of `triex` itself.";
  m.def("ured_exact", &ured_exact, "a"_a, "b"_a, "c"_a, "threads"_a = py::none());
  m.def("ured_ratios_exact", &ured_ratios_exact, "a_over_b"_a, "b_over_c"_a, "threads"_a = py::none());
  m.def("ured_quadrature", &ured_quadrature, "first"_a, "second"_a, "third"_a, "ratios"_a, "threads"_a = py::none());
  m.def("shape_functions", &shape_functions_array, "a"_a, "b"_a, "c"_a);
  m.def("mixture_excluded_volume", &mixture_array, "V1"_a, "S1"_a, "R1"_a, "V2"_a, "S2"_a, "R2"_a);
  m.def("swollen_specific_volume", &swollen_specific_volume_array, "vbar"_a, "hydration"_a, "solvent_density"_a);
  m.def("virial", &virial_array, "ured"_a, "vs"_a, "molar_mass"_a, "valency"_a, "ionic_strength"_a, "charged"_a);
  m.def("quadrature", &quadrature_details, "first"_a, "second"_a, "third"_a, "ratios"_a);
  m.def("solve", &solve_curve, "ured"_a, "points"_a);
  m.def("ured_from_virial", &ured_from_virial_scalar, "B"_a, "vs"_a, "molar_mass"_a, "valency"_a, "ionic_strength"_a);
  m.attr("max_solve_ratio") = triex::kMaxSolveRatio;
}
