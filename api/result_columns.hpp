// The names of the results, with their units where they have one, as the
// commands write them in their header rows and the Python module uses them as
// the keys of its dictionaries: one table for every front end, so that a
// column of `triex batch` and the key of `triex.virial` can never drift apart.
// Each table lists the quantities in the order their values come out of the
// functions beside it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "triex/triex.hpp"

namespace triex {

// ---- The report's virial quantities (triex batch, triex.virial) ----

struct VirialColumn {
  std::string_view name;
  double Virial::*value;
};
inline constexpr std::array<VirialColumn, 8> kVirialColumns = {{{"U_ml_per_mol", &Virial::U},
                                                                {"u_ml", &Virial::u},
                                                                {"Bex_ml_mol_per_g2", &Virial::Bex},
                                                                {"Bz_ml_mol_per_g2", &Virial::Bz},
                                                                {"B_ml_mol_per_g2", &Virial::B},
                                                                {"BM_ml_per_g", &Virial::BM},
                                                                {"BM2_l_per_mol", &Virial::BM2},
                                                                {"BM2_per_uM", &Virial::BM2_per_uM}}};

// ---- The measurements a shape predicts (triex shape, triex batch, triex.predict) ----

// s and f/f0 are missing when their inputs (vbar, and for s the solvent's
// density) are; the others always have a value.
struct PredictionColumn {
  std::string_view name;
  std::optional<double> (*value)(const Predictions&);
};
inline constexpr std::array<PredictionColumn, 8> kPredictionColumns = {{
    {"s_svedberg", [](const Predictions& p) { return p.s_svedberg; }},
    {"D_cm2_per_s", [](const Predictions& p) { return std::optional(p.D_cm2_per_s); }},
    {"stokes_radius_angstrom", [](const Predictions& p) { return std::optional(p.stokes_radius_angstrom); }},
    {"f_over_f0", [](const Predictions& p) { return p.f_over_f0; }},
    {"rg_angstrom", [](const Predictions& p) { return std::optional(p.rg_angstrom); }},
    {"tau_h_ns", [](const Predictions& p) { return std::optional(p.tau_h_ns); }},
    {"intrinsic_viscosity_ml_per_g",
     [](const Predictions& p) { return std::optional(p.intrinsic_viscosity_ml_per_g); }},
    // The same B(ex) as the report's (kVirialColumns), from the predicted shape.
    {"Bex_ml_mol_per_g2", [](const Predictions& p) { return std::optional(p.Bex_ml_mol_per_g2); }},
}};

// ---- The shape factors (triex shape, triex batch, triex.shape_factors) ----

// A factor of `count` numbers: one column `name`, or name_1 ... name_count,
// which Python returns as one array of shape (..., count) under `array_key`.
struct ShapeFactorColumn {
  std::string_view name;
  std::size_t count = 1;
  std::string_view array_key = {};
};
inline constexpr std::array<ShapeFactorColumn, 9> kShapeFactorColumns = {{
    {"stokes_radius"},
    {"perrin_ratio"},
    {"radius_of_gyration"},
    {"gyration_ratio"},
    {"rotational_friction", 3, "rotational_friction"},
    {"relaxation_time", 5, "relaxation_times"},
    {"harmonic_relaxation_time"},
    {"viscosity_increment"},
    {"ured"},
}};
inline constexpr std::size_t kShapeFactorValues = 15;

// The fifteen numbers of kShapeFactorColumns, in its order.
inline std::array<double, kShapeFactorValues> shape_factor_values(const ShapeFactors& f) {
  const RotationalDiffusion& r = f.rotation;
  // The factors of several numbers each on lines of their own.
  // clang-format off
  return {f.translation.stokes_radius, f.translation.perrin_ratio, f.gyration.radius_of_gyration,
          f.gyration.gyration_ratio,
          r.rotational_friction[0], r.rotational_friction[1], r.rotational_friction[2],
          r.relaxation_times[0], r.relaxation_times[1], r.relaxation_times[2],
                                 r.relaxation_times[3], r.relaxation_times[4],
          r.harmonic_relaxation_time, f.viscosity_increment, f.ured};
  // clang-format on
}

// The column names of kShapeFactorColumns, each factor of several numbers
// numbered from 1.
inline std::vector<std::string> shape_factor_column_names() {
  std::vector<std::string> names;
  for (const ShapeFactorColumn& column : kShapeFactorColumns) {
    if (column.count == 1) names.emplace_back(column.name);
    for (std::size_t i = 1; column.count > 1 && i <= column.count; ++i)
      names.push_back(std::string(column.name) + "_" + std::to_string(i));
  }
  return names;
}

// ---- The counts and failure codes of the dialogue's quadrature ----

inline constexpr std::array<std::string_view, 4> kQuadratureCountColumns = {"npts_surface", "npts_curvature",
                                                                            "ifail_surface", "ifail_curvature"};

}  // namespace triex
