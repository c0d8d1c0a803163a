// triex._core: the compiled half of the Python package `triex`.
//
// Every element-wise function of the package goes through one loop,
// map_elements below: it broadcasts its float64 arguments against each other
// as NumPy does, reads each through its own strides (nothing is copied, not
// even a broadcast view of stride 0), and computes the elements with the
// interpreter's lock released, split over threads by parallel_for for large
// arrays, so other Python threads go on while a large array is computed.
// Each element is computed by the public C++ API (include/triex/triex.hpp)
// and written by index, so the result does not depend on the number of
// threads.
//
// A value the API refuses throws triex::Refusal; Python shows it as
// ValueError "KEYWORD: WORDS", the keyword of the input and the words every
// front end uses, and for arrays the index of the first refused element in C
// order (for arrays of more than zero dimensions).

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "api/result_columns.hpp"
#include "solution/given_inputs.hpp"
#include "support/exit_status.hpp"
#include "support/number_text.hpp"
#include "support/parallel_for.hpp"
#include "structure/structure_report.hpp"
#include "triex/triex.hpp"

namespace py = pybind11;

namespace triex::python {
// triex._core.fit (python/fit_binding.cpp).
void define_fit(py::module_& m);
}  // namespace triex::python

namespace triex::python {
namespace {

// A float64 array of any strides; forcecast converts other numeric types
// (that alone makes a copy), and a float64 array is taken as it is.
using Input = py::array_t<double, py::array::forcecast>;
using Output = py::array_t<double>;

// How much work one element is, and so from how many elements threads pay.
// Starting them costs about 25 us whether they help or not; from about 0.3 to
// 0.5 ms of work they gain where other cores are free (to 0.6 of the time on
// two cores) and lose a few percent where they are busy. Measured by
// bench/ured_python_bench.py on two cores, one thread against two:
//   closed forms, 0.27 us an element (u_red; the shape factors about 1 us):
//     1000 elements 0.27 against 0.29 ms, 2000 0.53 against 0.34 to 0.55 ms,
//     5000 1.35 against 0.86 ms;
//   arithmetic on given quantities, about 15 ns an element (u_red from B):
//     10000 elements 0.15 against 0.17 ms, 20000 0.29 against 0.23 ms;
//   the quadrature, milliseconds an element: any array.
enum class Cost { arithmetic, closed_form, quadrature };

std::size_t elements_for_threads(Cost cost) {
  switch (cost) {
    case Cost::arithmetic: return 20000;
    case Cost::closed_form: return 2000;
    case Cost::quadrature: return 2;
  }
  return 2;
}

// A refusal of the library's as Python raises it: triex.Refusal (a
// ValueError) with the keyword of its input and its words, str() "KEYWORD: WORDS".
void raise_refusal(const Refusal& refusal) {
  const py::object type = py::module_::import("triex").attr("Refusal");
  const py::object error = type(field_keyword(refusal.field()), refusal.what());
  PyErr_SetObject(type.ptr(), error.ptr());
}

unsigned thread_count(std::size_t elements, Cost cost, std::optional<unsigned> requested) {
  if (requested) {
    if (*requested == 0) throw std::invalid_argument("threads = 0 must be at least 1");
    return *requested;
  }
  return elements < elements_for_threads(cost) ? 1 : default_thread_count();
}

// A refused element, carried out of the worker threads with its flat index.
struct RefusedElement {
  std::size_t index;
  std::string reason;
  std::optional<Field> field;  // a refusal of the library's
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

// "(2, 3)", "(2,)" or "()", as Python writes a shape.
std::string shape_text(const py::array& array) {
  std::string text(1, '(');
  for (py::ssize_t d = 0; d < array.ndim(); ++d) {
    if (d > 0) text.append(", ");
    text.append(std::to_string(array.shape(d)));
  }
  text.append(array.ndim() == 1 ? ",)" : ")");
  return text;
}

// The inputs broadcast as NumPy does: the common shape, and for each input
// its strides in bytes over that shape (0 along a dimension it is repeated in).
template <std::size_t N>
struct Broadcast {
  std::vector<py::ssize_t> shape;
  std::array<std::vector<py::ssize_t>, N> strides;
  std::array<const char*, N> data{};

  explicit Broadcast(const std::array<Input, N>& inputs) {
    py::ssize_t dims = 0;
    for (const Input& input : inputs) dims = std::max<py::ssize_t>(dims, input.ndim());
    shape.assign(static_cast<std::size_t>(dims), 1);
    for (const Input& input : inputs) {
      const py::ssize_t skip = dims - input.ndim();
      for (py::ssize_t d = 0; d < input.ndim(); ++d) {
        py::ssize_t& extent = shape[static_cast<std::size_t>(skip + d)];
        if (input.shape(d) == extent || input.shape(d) == 1) continue;
        if (extent != 1) {
          std::string message = "arrays of shapes";
          for (const Input& each : inputs) message.append(" ").append(shape_text(each));
          throw std::invalid_argument(message.append(" do not broadcast to one shape"));
        }
        extent = input.shape(d);
      }
    }
    for (std::size_t k = 0; k < N; ++k) {
      const Input& input = inputs[k];
      const py::ssize_t skip = dims - input.ndim();
      strides[k].assign(static_cast<std::size_t>(dims), 0);
      for (py::ssize_t d = 0; d < input.ndim(); ++d)
        if (input.shape(d) != 1) strides[k][static_cast<std::size_t>(skip + d)] = input.strides(d);
      data[k] = reinterpret_cast<const char*>(input.data());
    }
  }

  std::size_t size() const {
    std::size_t count = 1;
    for (py::ssize_t extent : shape) count *= static_cast<std::size_t>(extent);
    return count;
  }
};

// The one element-wise loop of the package. element(x, y) gets the N input
// values of one element in x and writes its M results into y; it may throw
// std::invalid_argument to refuse the element. Returns M new C-contiguous
// arrays of the broadcast shape. The first refused element in C order is
// reported: each block stops at its first refusal and parallel_for rethrows
// the earliest block's.
template <std::size_t M, std::size_t N, class Element>
std::array<Output, M> map_elements(const std::array<Input, N>& inputs, Cost cost, std::optional<unsigned> threads,
                                   Element element) {
  const Broadcast<N> in(inputs);
  std::array<Output, M> outputs;
  std::array<double*, M> out{};
  for (std::size_t m = 0; m < M; ++m) {
    outputs[m] = Output(in.shape);
    out[m] = outputs[m].mutable_data();
  }
  const std::size_t count = in.size();
  const unsigned thread_total = thread_count(count, cost, threads);
  try {
    py::gil_scoped_release release;
    parallel_for(count, thread_total, [&](std::size_t begin, std::size_t end) {
      // The multi-index of `begin` and the address of each input's element
      // there; then the next element in C order, as an odometer turns.
      const std::size_t dims = in.shape.size();
      std::vector<py::ssize_t> index(dims);
      std::array<const char*, N> at = in.data;
      for (std::size_t d = dims, rest = begin; d-- > 0;) {
        const auto extent = static_cast<std::size_t>(in.shape[d]);
        index[d] = static_cast<py::ssize_t>(rest % extent);
        rest /= extent;
        for (std::size_t k = 0; k < N; ++k) at[k] += index[d] * in.strides[k][d];
      }
      std::array<double, N> x;
      std::array<double, M> y;
      for (std::size_t i = begin; i < end; ++i) {
        // memcpy: an array may be unaligned (a view into a record array).
        for (std::size_t k = 0; k < N; ++k) std::memcpy(&x[k], at[k], sizeof(double));
        try {
          element(x, y);
        } catch (const std::invalid_argument& refusal) {
          const auto* library = dynamic_cast<const Refusal*>(&refusal);
          throw RefusedElement{i, refusal.what(), library ? std::optional(library->field()) : std::nullopt};
        }
        for (std::size_t m = 0; m < M; ++m) out[m][i] = y[m];
        for (std::size_t d = dims; d-- > 0;) {
          for (std::size_t k = 0; k < N; ++k) at[k] += in.strides[k][d];
          if (++index[d] < in.shape[d]) break;
          for (std::size_t k = 0; k < N; ++k) at[k] -= in.strides[k][d] * in.shape[d];
          index[d] = 0;
        }
      }
    });
  } catch (const RefusedElement& refused) {
    const std::string words = refused.reason + index_suffix(refused.index, in.shape);
    if (refused.field) throw Refusal(*refused.field, "", words);
    throw std::invalid_argument(words);
  }
  return outputs;
}

template <std::size_t M>
py::tuple as_tuple(const std::array<Output, M>& arrays) {
  py::tuple result(M);
  for (std::size_t m = 0; m < M; ++m) result[m] = arrays[m];
  return result;
}

// ---- u_red ----

Output ured_exact(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{a, b, c}, Cost::closed_form, threads,
                         [](const auto& x, auto& y) { y[0] = ured(x[0], x[1], x[2]); })[0];
}

Output ured_ratios_exact(Input a_over_b, Input b_over_c, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{a_over_b, b_over_c}, Cost::closed_form, threads,
                         [](const auto& x, auto& y) { y[0] = ured_ratios(x[0], x[1]); })[0];
}

// The dialogue's quadrature: u_red, S, R, the evaluation counts and the
// failure codes of the two double integrals (the counts and codes as exact
// doubles).
void quadrature_values(const QuadratureResult& q, std::array<double, 7>& y) {
  y = {q.ured,
       q.surface,
       q.mean_radius,
       static_cast<double>(q.npts_surface),
       static_cast<double>(q.npts_curvature),
       static_cast<double>(q.ifail_surface),
       static_cast<double>(q.ifail_curvature)};
}

py::tuple quadrature_array(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<7>(std::array{a, b, c}, Cost::quadrature, threads,
                                  [](const auto& x, auto& y) { quadrature_values(quadrature(x[0], x[1], x[2]), y); }));
}

py::tuple quadrature_ratios_array(Input a_over_b, Input b_over_c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<7>(std::array{a_over_b, b_over_c}, Cost::quadrature, threads,
                                  [](const auto& x, auto& y) { quadrature_values(quadrature_ratios(x[0], x[1]), y); }));
}

// ---- Shape functions ----

py::tuple shape_functions_array(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<3>(std::array{a, b, c}, Cost::closed_form, threads, [](const auto& x, auto& y) {
    const ShapeFunctions f = shape_functions(x[0], x[1], x[2]);
    y = {f.volume, f.surface, f.mean_radius};
  }));
}

Output mixture_array(Input V1, Input S1, Input R1, Input V2, Input S2, Input R2, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{V1, S1, R1, V2, S2, R2}, Cost::arithmetic, threads, [](const auto& x, auto& y) {
    y[0] = mixture_excluded_volume({x[0], x[1], x[2]}, {x[3], x[4], x[5]});
  })[0];
}

// ---- Quantities of the solution ----

Output swollen_specific_volume_array(Input vbar, Input hydration, Input solvent_density,
                                     std::optional<unsigned> threads) {
  return map_elements<1>(std::array{vbar, hydration, solvent_density}, Cost::arithmetic, threads,
                         [](const auto& x, auto& y) { y[0] = swollen_specific_volume(x[0], x[1], x[2]); })[0];
}

// The quantities of Virial, in the order of kVirialColumns.
void virial_values(const VirialInputs& inputs, std::array<double, kVirialColumns.size()>& y) {
  const Virial v = virial(inputs);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = v.*kVirialColumns[i].value;
}

py::tuple virial_array(Input ured_values, Input vs, Input molar_mass, std::optional<unsigned> threads) {
  return as_tuple(map_elements<kVirialColumns.size()>(std::array{ured_values, vs, molar_mass}, Cost::arithmetic,
                                                      threads, [](const auto& x, auto& y) {
                                                        virial_values({x[0], x[1], x[2], std::nullopt}, y);
                                                      }));
}

py::tuple virial_charged_array(Input ured_values, Input vs, Input molar_mass, Input valency, Input ionic_strength,
                               std::optional<unsigned> threads) {
  return as_tuple(map_elements<kVirialColumns.size()>(std::array{ured_values, vs, molar_mass, valency, ionic_strength},
                                                      Cost::arithmetic, threads, [](const auto& x, auto& y) {
                                                        virial_values({x[0], x[1], x[2], Charge{x[3], x[4]}}, y);
                                                      }));
}

// u_red = 2 M (B - B(z)) / vs, B(z) = 0 without a charge.
Output ured_from_virial_array(Input B, Input vs, Input molar_mass, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{B, vs, molar_mass}, Cost::arithmetic, threads,
                         [](const auto& x, auto& y) { y[0] = ured_from_virial(x[0], x[1], x[2], std::nullopt); })[0];
}

Output ured_from_virial_charged_array(Input B, Input vs, Input molar_mass, Input valency, Input ionic_strength,
                                      std::optional<unsigned> threads) {
  return map_elements<1>(std::array{B, vs, molar_mass, valency, ionic_strength}, Cost::arithmetic, threads,
                         [](const auto& x, auto& y) {
                           y[0] = ured_from_virial(x[0], x[1], x[2], Charge{x[3], x[4]});
                         })[0];
}

// ---- Hydrodynamic and scattering shape factors, and what they predict ----

// The factors of ShapeFactors, in the order of kShapeFactorColumns.
py::tuple shape_factors_array(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<kShapeFactorValues>(
      std::array{a, b, c}, Cost::closed_form, threads,
      [](const auto& x, auto& y) { y = shape_factor_values(shape_factors(x[0], x[1], x[2])); }));
}

// An argument not given: a scalar NaN, never read (the element function
// knows from the optional which of its inputs are there).
Input given_or_nan(const std::optional<Input>& input) {
  if (input) return *input;
  Input nan(std::vector<py::ssize_t>{});
  *nan.mutable_data() = std::numeric_limits<double>::quiet_NaN();
  return nan;
}

// The measurements of Predictions for a shape, in the order of
// kPredictionColumns. Without vbar
// (or the solvent's density) s and f/f0 (s) come out NaN, for the caller to
// leave out. x holds the shape's numbers first, then M, vs, the viscosity,
// the temperature, vbar and the density.
template <std::size_t Shape, class ShapeFactorsOf>
py::tuple predict_array(std::array<Input, Shape> shape, Input molar_mass, Input vs, Input viscosity, Input temperature,
                        const std::optional<Input>& vbar, const std::optional<Input>& density,
                        std::optional<unsigned> threads, ShapeFactorsOf shape_factors_of) {
  std::array<Input, Shape + 6> inputs;
  std::copy(shape.begin(), shape.end(), inputs.begin());
  const std::array<Input, 6> rest{molar_mass, vs, viscosity, temperature, given_or_nan(vbar), given_or_nan(density)};
  std::copy(rest.begin(), rest.end(), inputs.begin() + Shape);
  const bool with_vbar = vbar.has_value(), with_density = density.has_value();
  return as_tuple(
      map_elements<kPredictionColumns.size()>(inputs, Cost::closed_form, threads, [=](const auto& x, auto& y) {
        const double* measured = x.data() + Shape;
        PredictionInputs in{};
        in.molar_mass = measured[0];
        in.vs = measured[1];
        in.solvent.viscosity = measured[2];
        in.solvent.temperature = measured[3];
        if (with_vbar) in.vbar = measured[4];
        if (with_density) in.solvent.density = measured[5];
        const Predictions p = predict(shape_factors_of(x), in);
        for (std::size_t i = 0; i < y.size(); ++i)
          y[i] = kPredictionColumns[i].value(p).value_or(std::numeric_limits<double>::quiet_NaN());
      }));
}

py::tuple predict_axes(Input a, Input b, Input c, Input molar_mass, Input vs, Input viscosity, Input temperature,
                       std::optional<Input> vbar, std::optional<Input> solvent_density,
                       std::optional<unsigned> threads) {
  return predict_array(std::array{a, b, c}, molar_mass, vs, viscosity, temperature, vbar, solvent_density, threads,
                       [](const auto& x) { return shape_factors(x[0], x[1], x[2]); });
}

py::tuple predict_ratios_array(Input a_over_b, Input b_over_c, Input molar_mass, Input vs, Input viscosity,
                               Input temperature, std::optional<Input> vbar, std::optional<Input> solvent_density,
                               std::optional<unsigned> threads) {
  return predict_array(std::array{a_over_b, b_over_c}, molar_mass, vs, viscosity, temperature, vbar, solvent_density,
                       threads, [](const auto& x) { return shape_factors_ratios(x[0], x[1]); });
}

// ---- The inverse problem: one curve for one u_red ----

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

// ---- structures ----

// The equivalent ellipsoid of a structure file and its quantities, keyed as
// the columns of `triex structure`; a refused file raises ValueError "PATH: reason".
py::dict structure_quantities(const std::string& path, std::optional<int> model, std::vector<std::string> chains,
                              bool with_hetero, std::optional<double> molar_mass, std::optional<double> vs,
                              std::optional<double> vbar, std::optional<double> solvent_density,
                              std::optional<double> viscosity, std::optional<double> temperature) {
  StructureInputs inputs{molar_mass, vs, vbar, {}};
  if (viscosity) inputs.solvent.viscosity = *viscosity;
  if (temperature) inputs.solvent.temperature = *temperature;
  inputs.solvent.density = solvent_density;
  check_structure_inputs(inputs);
  StructureModel structure{};
  std::vector<double> values;
  std::string problem;
  {
    py::gil_scoped_release release;
    try {
      structure = read_structure_model(path, {model, std::move(chains), with_hetero});
      values = structure_values(structure, inputs);
    } catch (const std::invalid_argument& e) {
      problem = e.what();
    }
  }
  if (!problem.empty()) throw std::invalid_argument(path + ": " + problem);
  py::dict d;
  d["file"] = path;
  d["atoms"] = structure.atoms;
  const std::vector<std::string> names = structure_columns(inputs);
  for (std::size_t i = 0; i < names.size(); ++i) d[py::str(names[i])] = values[i];
  return d;
}

py::str text(std::string_view name) { return py::str(name.data(), name.size()); }

// A tuple of one Python object for each entry of a table of names.
template <class Table, class Entry>
py::tuple names_of(const Table& table, Entry entry) {
  py::tuple names(table.size());
  for (std::size_t i = 0; i < table.size(); ++i) names[i] = entry(table[i]);
  return names;
}

// Which optional inputs may come together, for Python's keywords that may be
// None: `given` holds the keywords given, `name` spells an input as the
// caller shows it (the keyword itself, or an option of python3 -m triex).
class GivenKeywords {
 public:
  GivenKeywords(std::vector<std::string> given, py::function name) : given_(std::move(given)), name_(std::move(name)) {}
  bool has(Field field) const {
    return std::find(given_.begin(), given_.end(), field_keyword(field)) != given_.end();
  }
  GivenVolume volume() const {
    return {has(Field::vs), has(Field::hydration), has(Field::solvent_density), has(Field::vbar)};
  }
  std::string operator()(Field field) const { return name_(text(field_keyword(field))).cast<std::string>(); }

 private:
  std::vector<std::string> given_;
  py::function name_;
};

std::optional<Field> field_named(const std::optional<std::string>& keyword) {
  if (!keyword) return std::nullopt;
  for (int f = 0; f < kFieldCount; ++f)
    if (field_keyword(static_cast<Field>(f)) == *keyword) return static_cast<Field>(f);
  throw std::invalid_argument("no input is named " + *keyword);
}

std::string specific_volume_source_of(const GivenKeywords& given, bool also_for_others,
                                      const std::optional<std::string>& needed_by) {
  switch (specific_volume_source(given.volume(), also_for_others ? VbarAndRho::also_for_others : VbarAndRho::only_for_vs,
                                 field_named(needed_by), given)) {
    case VolumeSource::vs: return "vs";
    case VolumeSource::hydration: return "hydration";
    case VolumeSource::none: break;
  }
  return "none";
}

bool charge_given_of(const GivenKeywords& given) {
  return charge_given(given.has(Field::valency), given.has(Field::ionic_strength), given);
}

bool ured_from_measurement_of(const GivenKeywords& given) {
  const GivenSolution solution{given.has(Field::molar_mass), given.volume(), given.has(Field::valency),
                               given.has(Field::ionic_strength)};
  return ured_from_measurement(given.has(Field::ured), given.has(Field::B), solution, given);
}

}  // namespace
}  // namespace triex::python

PYBIND11_MODULE(_core, m) {
  using namespace triex::python;
  using namespace pybind11::literals;
  m.doc() = "Compiled loops of the triex package; use the functions of `triex` itself.";
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const triex::Refusal& refusal) {
      raise_refusal(refusal);
    }
  });
  const auto threads = "threads"_a = py::none();
  m.def("ured_exact", &ured_exact, "a"_a, "b"_a, "c"_a, threads);
  m.def("ured_ratios_exact", &ured_ratios_exact, "a_over_b"_a, "b_over_c"_a, threads);
  m.def("quadrature", &quadrature_array, "a"_a, "b"_a, "c"_a, threads);
  m.def("quadrature_ratios", &quadrature_ratios_array, "a_over_b"_a, "b_over_c"_a, threads);
  m.def("shape_functions", &shape_functions_array, "a"_a, "b"_a, "c"_a, threads);
  m.def("mixture_excluded_volume", &mixture_array, "V1"_a, "S1"_a, "R1"_a, "V2"_a, "S2"_a, "R2"_a, threads);
  m.def("swollen_specific_volume", &swollen_specific_volume_array, "vbar"_a, "hydration"_a, "solvent_density"_a,
        threads);
  m.def("virial", &virial_array, "ured"_a, "vs"_a, "molar_mass"_a, threads);
  m.def("virial_charged", &virial_charged_array, "ured"_a, "vs"_a, "molar_mass"_a, "valency"_a, "ionic_strength"_a,
        threads);
  m.def("ured_from_virial", &ured_from_virial_array, "B"_a, "vs"_a, "molar_mass"_a, threads);
  m.def("ured_from_virial_charged", &ured_from_virial_charged_array, "B"_a, "vs"_a, "molar_mass"_a, "valency"_a,
        "ionic_strength"_a, threads);
  m.def("solve", &solve_curve, "ured"_a, "points"_a);
  // Which optional inputs may come together, for keywords that may be None.
  m.def(
      "specific_volume_source",
      [](std::vector<std::string> given, py::function name, bool also_for_others, std::optional<std::string> needed_by) {
        return specific_volume_source_of(GivenKeywords(std::move(given), std::move(name)), also_for_others, needed_by);
      },
      "given"_a, "name"_a, "also_for_others"_a, "needed_by"_a);
  m.def(
      "charge_given",
      [](std::vector<std::string> given, py::function name) {
        return charge_given_of(GivenKeywords(std::move(given), std::move(name)));
      },
      "given"_a, "name"_a);
  m.def(
      "ured_from_measurement",
      [](std::vector<std::string> given, py::function name) {
        return ured_from_measurement_of(GivenKeywords(std::move(given), std::move(name)));
      },
      "given"_a, "name"_a);
  // The commands' number grammar, for the package's own command line: the
  // number, or ValueError in the commands' words ("\"x\" is not a number").
  m.def("number", [](const std::string& text) -> double {
    std::string problem;
    const auto value = triex::parse_number(text, problem);
    if (!value) throw std::invalid_argument(problem);
    return *value;
  }, "text"_a);
  m.def("shape_factors", &shape_factors_array, "a"_a, "b"_a, "c"_a, threads);
  m.def("predict", &predict_axes, "a"_a, "b"_a, "c"_a, "molar_mass"_a, "vs"_a, "viscosity"_a, "temperature"_a,
        "vbar"_a = py::none(), "solvent_density"_a = py::none(), threads);
  m.def("predict_ratios", &predict_ratios_array, "a_over_b"_a, "b_over_c"_a, "molar_mass"_a, "vs"_a, "viscosity"_a,
        "temperature"_a, "vbar"_a = py::none(), "solvent_density"_a = py::none(), threads);
  // The solvent that predict assumes unless told otherwise: water at 20 C.
  m.attr("default_viscosity") = triex::Solvent{}.viscosity;
  m.attr("default_temperature") = triex::Solvent{}.temperature;
  m.def("structure", &structure_quantities, "path"_a, "model"_a, "chains"_a, "with_hetero"_a, "molar_mass"_a, "vs"_a,
        "vbar"_a, "solvent_density"_a, "viscosity"_a, "temperature"_a);
  m.attr("max_solve_ratio") = triex::kMaxSolveRatio;
  // The names of the results (api/result_columns.hpp), the keys of the package's dictionaries.
  m.attr("virial_columns") = names_of(triex::kVirialColumns, [](const auto& c) { return text(c.name); });
  m.attr("prediction_columns") = names_of(triex::kPredictionColumns, [](const auto& c) { return text(c.name); });
  m.attr("shape_factor_columns") = names_of(triex::kShapeFactorColumns, [](const triex::ShapeFactorColumn& c) {
    return py::make_tuple(text(c.name), c.count, text(c.array_key));
  });
  m.attr("quadrature_count_columns") = names_of(triex::kQuadratureCountColumns, text);
  define_fit(m);
  // The exit status of each way a command ends, decided by the program's own
  // table, for python3 -m triex.
  py::dict exit_statuses;
  using triex::Outcome;
  const std::array<std::pair<const char*, Outcome>, 4> outcomes = {{{"done", Outcome::Done},
                                                                   {"data_inconsistent", Outcome::DataInconsistent},
                                                                   {"refused", Outcome::Refused},
                                                                   {"write_failed", Outcome::WriteFailed}}};
  for (const auto& [name, outcome] : outcomes) exit_statuses[name] = triex::exit_code(outcome);
  m.attr("exit_statuses") = exit_statuses;
  // The project's version, set once in CMakeLists.txt (project(... VERSION)).
  m.attr("__version__") = TRIEX_VERSION;
}
