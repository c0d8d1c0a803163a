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

#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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

// How much work one element is: below kExactElementsForThreads exact
// evaluations (about 3 ms) starting threads costs more than it saves; the
// quadrature is expensive enough per element to split any array.
enum class Cost { cheap, expensive };
constexpr std::size_t kExactElementsForThreads = 20000;

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
  if (cost == Cost::cheap && elements < kExactElementsForThreads) return 1;
  return default_thread_count();
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
  return map_elements<1>(std::array{a, b, c}, Cost::cheap, threads,
                         [](const auto& x, auto& y) { y[0] = ured(x[0], x[1], x[2]); })[0];
}

Output ured_ratios_exact(Input a_over_b, Input b_over_c, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{a_over_b, b_over_c}, Cost::cheap, threads,
                         [](const auto& x, auto& y) { y[0] = ured_ratios(x[0], x[1]); })[0];
}

// The dialogue's quadrature: u_red, S, R, the evaluation counts and the
// failure codes of the two double integrals (the counts and codes as exact
// doubles), for semi-axes or, with `ratios`, for a/b and b/c.
py::tuple quadrature_array(Input first, Input second, Input third, bool ratios, std::optional<unsigned> threads) {
  return as_tuple(map_elements<7>(std::array{first, second, third}, Cost::expensive, threads,
                                  [ratios](const auto& x, auto& y) {
                                    const QuadratureResult q =
                                        ratios ? quadrature_ratios(x[0], x[1]) : quadrature(x[0], x[1], x[2]);
                                    y = {q.ured,
                                         q.surface,
                                         q.mean_radius,
                                         static_cast<double>(q.npts_surface),
                                         static_cast<double>(q.npts_curvature),
                                         static_cast<double>(q.ifail_surface),
                                         static_cast<double>(q.ifail_curvature)};
                                  }));
}

// ---- Shape functions ----

py::tuple shape_functions_array(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<3>(std::array{a, b, c}, Cost::cheap, threads, [](const auto& x, auto& y) {
    const ShapeFunctions f = shape_functions(x[0], x[1], x[2]);
    y = {f.volume, f.surface, f.mean_radius};
  }));
}

Output mixture_array(Input V1, Input S1, Input R1, Input V2, Input S2, Input R2, std::optional<unsigned> threads) {
  return map_elements<1>(std::array{V1, S1, R1, V2, S2, R2}, Cost::cheap, threads, [](const auto& x, auto& y) {
    y[0] = mixture_excluded_volume({x[0], x[1], x[2]}, {x[3], x[4], x[5]});
  })[0];
}

// ---- Quantities of the solution ----

Output swollen_specific_volume_array(Input vbar, Input hydration, Input solvent_density,
                                     std::optional<unsigned> threads) {
  return map_elements<1>(std::array{vbar, hydration, solvent_density}, Cost::cheap, threads,
                         [](const auto& x, auto& y) { y[0] = swollen_specific_volume(x[0], x[1], x[2]); })[0];
}

// The eight quantities of Virial, in its order. Without charge the valency
// and ionic strength arrays are ignored.
py::tuple virial_array(Input ured_values, Input vs, Input molar_mass, Input valency, Input ionic_strength,
                       bool charged, std::optional<unsigned> threads) {
  return as_tuple(map_elements<8>(std::array{ured_values, vs, molar_mass, valency, ionic_strength}, Cost::cheap,
                                  threads, [charged](const auto& x, auto& y) {
                                    VirialInputs inputs{x[0], x[1], x[2], std::nullopt};
                                    if (charged) inputs.charge = Charge{x[3], x[4]};
                                    const Virial v = virial(inputs);
                                    y = {v.U, v.u, v.Bex, v.Bz, v.B, v.BM, v.BM2, v.BM2_per_uM};
                                  }));
}

// u_red = 2 M (B - B(z)) / vs; without charge the valency and ionic strength
// arrays are ignored.
Output ured_from_virial_array(Input B, Input vs, Input molar_mass, Input valency, Input ionic_strength, bool charged,
                              std::optional<unsigned> threads) {
  return map_elements<1>(std::array{B, vs, molar_mass, valency, ionic_strength}, Cost::cheap, threads,
                         [charged](const auto& x, auto& y) {
                           std::optional<Charge> charge;
                           if (charged) charge = Charge{x[3], x[4]};
                           y[0] = ured_from_virial(x[0], x[1], x[2], charge);
                         })[0];
}

// ---- Hydrodynamic and scattering shape factors, and what they predict ----

// The fifteen factors of ShapeFactors: R_S, P, R_g, G, Z_1..3, tau_1..5 / tau0,
// tau_h / tau0, nu, u_red.
py::tuple shape_factors_array(Input a, Input b, Input c, std::optional<unsigned> threads) {
  return as_tuple(map_elements<15>(std::array{a, b, c}, Cost::cheap, threads, [](const auto& x, auto& y) {
    const ShapeFactors f = shape_factors(x[0], x[1], x[2]);
    const RotationalDiffusion& r = f.rotation;
    y = {f.translation.stokes_radius, f.translation.perrin_ratio, f.gyration.radius_of_gyration,
         f.gyration.gyration_ratio, r.rotational_friction[0], r.rotational_friction[1], r.rotational_friction[2],
         r.relaxation_times[0], r.relaxation_times[1], r.relaxation_times[2], r.relaxation_times[3],
         r.relaxation_times[4], r.harmonic_relaxation_time, f.viscosity_increment, f.ured};
  }));
}

// The measurements of Predictions for a shape (semi-axes, or with `ratios`
// a/b, b/c and an ignored third array): s, D, R_S, f/f0, R_g, tau_h, [eta],
// B(ex). Without vbar (or rho) the vbar (rho) array is ignored, and s and
// f/f0 (s) come out NaN, for the caller to leave out.
py::tuple predict_array(Input first, Input second, Input third, Input molar_mass, Input vs, Input vbar, Input rho,
                        Input viscosity, Input temperature, bool ratios, bool with_vbar, bool with_rho,
                        std::optional<unsigned> threads) {
  return as_tuple(map_elements<8>(
      std::array{first, second, third, molar_mass, vs, vbar, rho, viscosity, temperature}, Cost::cheap, threads,
      [=](const auto& x, auto& y) {
        const ShapeFactors f = ratios ? shape_factors_ratios(x[0], x[1]) : shape_factors(x[0], x[1], x[2]);
        PredictionInputs in{};
        in.molar_mass = x[3];
        in.vs = x[4];
        if (with_vbar) in.vbar = x[5];
        if (with_rho) in.solvent.density = x[6];
        in.solvent.viscosity = x[7];
        in.solvent.temperature = x[8];
        const Predictions p = predict(f, in);
        const double missing = std::numeric_limits<double>::quiet_NaN();
        y = {p.s_svedberg.value_or(missing), p.D_cm2_per_s, p.stokes_radius_angstrom, p.f_over_f0.value_or(missing),
             p.rg_angstrom, p.tau_h_ns, p.intrinsic_viscosity_ml_per_g, p.Bex_ml_mol_per_g2};
      }));
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
  m.def("quadrature", &quadrature_array, "first"_a, "second"_a, "third"_a, "ratios"_a, threads);
  m.def("shape_functions", &shape_functions_array, "a"_a, "b"_a, "c"_a, threads);
  m.def("mixture_excluded_volume", &mixture_array, "V1"_a, "S1"_a, "R1"_a, "V2"_a, "S2"_a, "R2"_a, threads);
  m.def("swollen_specific_volume", &swollen_specific_volume_array, "vbar"_a, "hydration"_a, "solvent_density"_a,
        threads);
  m.def("virial", &virial_array, "ured"_a, "vs"_a, "molar_mass"_a, "valency"_a, "ionic_strength"_a, "charged"_a,
        threads);
  m.def("ured_from_virial", &ured_from_virial_array, "B"_a, "vs"_a, "molar_mass"_a, "valency"_a, "ionic_strength"_a,
        "charged"_a, threads);
  m.def("solve", &solve_curve, "ured"_a, "points"_a);
  // The commands' number grammar, for the package's own command line: the
  // number, or ValueError in the commands' words ("\"x\" is not a number").
  m.def("number", [](const std::string& text) -> double {
    std::string problem;
    const auto value = triex::parse_number(text, problem);
    if (!value) throw std::invalid_argument(problem);
    return *value;
  }, "text"_a);
  m.def("shape_factors", &shape_factors_array, "a"_a, "b"_a, "c"_a, threads);
  m.def("predict", &predict_array, "first"_a, "second"_a, "third"_a, "molar_mass"_a, "vs"_a, "vbar"_a, "rho"_a,
        "viscosity"_a, "temperature"_a, "ratios"_a, "with_vbar"_a, "with_rho"_a, threads);
  // The solvent that predict assumes unless told otherwise: water at 20 C.
  m.attr("default_viscosity") = triex::Solvent{}.viscosity;
  m.attr("default_temperature") = triex::Solvent{}.temperature;
  m.def("structure", &structure_quantities, "path"_a, "model"_a, "chains"_a, "with_hetero"_a, "molar_mass"_a, "vs"_a,
        "vbar"_a, "solvent_density"_a, "viscosity"_a, "temperature"_a);
  m.attr("max_solve_ratio") = triex::kMaxSolveRatio;
  define_fit(m);
  // The project's version, set once in CMakeLists.txt (project(... VERSION)).
  m.attr("__version__") = TRIEX_VERSION;
}
