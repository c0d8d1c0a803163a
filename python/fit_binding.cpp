// triex._core.fit: the shape fit of the C++ API (triex::fit) for the Python
// package, its result as plain Python objects and NumPy arrays. The data and
// the solvent arrive already named and checked for presence by triex.fit;
// every value is checked by the library, whose refusal becomes ValueError
// naming the keyword of the datum.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "triex/triex.hpp"

namespace py = pybind11;

namespace triex::python {
namespace {

// The keyword of each measurement in triex.fit.
std::string keyword(Measurement kind) { return measurement_keyword(kind); }

py::array_t<double> grid_array(const std::vector<double>& values, int rows, int columns) {
  py::array_t<double> out({rows, columns});
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::dict grid_dict(const FitGrid& grid) {
  py::dict d;
  d["x"] = grid_array(grid.x, grid.rows, grid.columns);
  d["y"] = grid_array(grid.y, grid.rows, grid.columns);
  d["chi2"] = grid_array(grid.chi2, grid.rows, grid.columns);
  return d;
}

py::tuple interval(const RatioInterval& r) { return py::make_tuple(r.lo, r.hi); }

FitInputs inputs(double molar_mass, double vbar, std::optional<double> hydration, std::optional<double> vs,
                 std::optional<double> solvent_density, double viscosity, double temperature,
                 std::optional<double> valency, std::optional<double> ionic_strength, const std::vector<int>& kinds,
                 const std::vector<double>& values, const std::vector<double>& sigmas) {
  FitInputs in{};
  in.molar_mass = molar_mass;
  in.vbar = vbar;
  in.hydration = hydration;
  in.vs = vs;
  in.solvent.density = solvent_density;
  in.solvent.viscosity = viscosity;
  in.solvent.temperature = temperature;
  if (valency && ionic_strength) in.charge = Charge{*valency, *ionic_strength};
  for (std::size_t k = 0; k < kinds.size(); ++k)
    in.data.push_back({static_cast<Measurement>(kinds[k]), values[k], sigmas[k]});
  return in;
}

py::dict fit_dict(const FitInputs& in) {
  FitResult r;
  try {
    py::gil_scoped_release unlocked;
    r = fit(in);
  } catch (const FitRefused& e) {
    if (e.field) throw Refusal(*e.field, "", e.what());  // triex.Refusal, as any function's
    throw py::value_error(e.measurement ? keyword(*e.measurement) + ": " + e.what() : std::string(e.what()));
  }
  py::list solutions;
  for (const FitSolution& s : r.solutions) {
    py::dict d;
    d["a_over_b"] = s.a_over_b;
    d["b_over_c"] = s.b_over_c;
    d["a_angstrom"] = s.a_angstrom;
    d["b_angstrom"] = s.b_angstrom;
    d["c_angstrom"] = s.c_angstrom;
    d["vs"] = s.vs;
    d["hydration"] = s.hydration;
    d["chi2"] = s.chi2;
    d["a_over_b_68"] = interval(s.a_over_b_68);
    d["b_over_c_68"] = interval(s.b_over_c_68);
    d["a_over_b_95"] = interval(s.a_over_b_95);
    d["b_over_c_95"] = interval(s.b_over_c_95);
    d["amplification"] = s.amplification;
    d["plausible"] = s.plausible;
    d["residuals"] = s.residuals;
    solutions.append(d);
  }
  py::dict out;
  out["solutions"] = solutions;
  out["hydration_fitted"] = r.hydration_fitted;
  out["degrees_of_freedom"] = r.degrees_of_freedom;
  out["chi2_limit"] = r.chi2_limit;
  out["consistent"] = r.consistent;
  out["ill_conditioned"] = r.ill_conditioned;
  out["note"] = conditioning_note(r, in.data, keyword);
  out["search"] = grid_dict(r.search);
  py::list regions;
  for (const FitGrid& g : r.regions) regions.append(g.rows ? py::object(grid_dict(g)) : py::object(py::none()));
  out["regions"] = regions;
  py::list deviations;
  for (const auto& d : r.datum_deviation) deviations.append(grid_array(d, r.search.rows, r.search.columns));
  out["datum_deviation"] = deviations;
  return out;
}

py::dict map_dict(const FitInputs& in, double w, double ab_max, double bc_max, int nodes) {
  FitMap map;
  {
    py::gil_scoped_release unlocked;
    map = fit_map(in, w, ab_max, bc_max, nodes);
  }
  py::dict out = grid_dict(map.chi2);
  py::list deviations;
  for (const auto& d : map.datum_deviation) deviations.append(grid_array(d, nodes, nodes));
  out["datum_deviation"] = deviations;
  return out;
}

}  // namespace

void define_fit(py::module_& m) {
  using namespace pybind11::literals;
  // The molecule, its solvent and its data, held for a fit and for its maps.
  py::class_<FitInputs>(m, "FitInputs");
  m.def("fit_inputs", &inputs, "molar_mass"_a, "vbar"_a, "hydration"_a, "vs"_a, "solvent_density"_a,
        "viscosity"_a, "temperature"_a, "valency"_a, "ionic_strength"_a, "kinds"_a, "values"_a, "sigmas"_a);
  m.def("fit", &fit_dict, "inputs"_a);
  m.def("fit_map", &map_dict, "inputs"_a, "w"_a, "ab_max"_a, "bc_max"_a, "nodes"_a);
  py::tuple keywords(kMeasurementKinds);
  for (int k = 0; k < kMeasurementKinds; ++k) keywords[k] = measurement_keyword(static_cast<Measurement>(k));
  m.attr("measurement_keywords") = keywords;
  m.attr("max_fit_ratio") = kMaxFitRatio;
  m.attr("default_solvent_density") = kDefaultSolventDensity;
}

}  // namespace triex::python
