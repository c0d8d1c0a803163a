// The header of a `triex batch` file: which column holds which datum.
//
// Names are matched without regard to case or surrounding blanks. A file
// names the shape by a_angstrom, b_angstrom, c_angstrom or by a_over_b,
// b_over_c, or both (each row then fills one of the two); vs_ml_per_g or
// all of hydration_g_per_g, solvent_density_g_per_ml, vbar_ml_per_g;
// molar_mass_g_per_mol; optionally valency with ionic_strength_mol_per_l,
// and the solvent of a measurement, viscosity_mpa_s and temperature_k, with
// which the row predicts the measurements of its molecule (s also needs
// vbar_ml_per_g and solvent_density_g_per_ml, f/f0 vbar_ml_per_g, which may
// then stand beside vs_ml_per_g).
// Any other column is carried along as text, an empty name or a repeated one
// included. The columns that batch computes (its own output read back) are
// left out and computed again. A name that is not known but is a slip away
// from one that the header lacks gets a hint.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace triex::cli {

// What is wrong, and the column it is wrong in (empty when it concerns no one column).
struct ColumnProblem {
  std::string column;
  std::string what;
};

// The data a row may give, each in a column of its own name.
enum class Datum : std::size_t {
  A, B, C,                           // semi-axes, Angstrom
  AOverB, BOverC,                    // or the axial ratios
  Vs,                                // swollen specific volume
  Hydration, SolventDensity, Vbar,   // or what it is made of
  MolarMass,
  Valency, IonicStrength,            // the charge, both or neither
  Viscosity, Temperature,            // the solvent of the predicted measurements
  Count
};
inline constexpr std::size_t kDatumCount = static_cast<std::size_t>(Datum::Count);

// The column name of each datum, in the order of Datum.
inline constexpr std::array<std::string_view, kDatumCount> kDatumNames = {
    "a_angstrom",        "b_angstrom",    "c_angstrom",
    "a_over_b",          "b_over_c",
    "vs_ml_per_g",
    "hydration_g_per_g", "solvent_density_g_per_ml", "vbar_ml_per_g",
    "molar_mass_g_per_mol",
    "valency",           "ionic_strength_mol_per_l",
    "viscosity_mpa_s",   "temperature_k"};

inline constexpr std::string_view name_of(Datum d) { return kDatumNames[static_cast<std::size_t>(d)]; }

// Data that are given together: all of a group's columns, or none.
inline constexpr std::array<Datum, 3> kAxes = {Datum::A, Datum::B, Datum::C};
inline constexpr std::array<Datum, 2> kRatios = {Datum::AOverB, Datum::BOverC};
inline constexpr std::array<Datum, 3> kHydration = {Datum::Hydration, Datum::SolventDensity, Datum::Vbar};
inline constexpr std::array<Datum, 2> kCharge = {Datum::Valency, Datum::IonicStrength};

// The place of each datum among the cells of a row.
struct BatchLayout {
  // The input columns as the output repeats them: a datum under its own name,
  // any other column as the header wrote it (blanks around it removed).
  std::vector<std::string> header;
  std::array<std::optional<std::size_t>, kDatumCount> place{};
  // Per column: a result of an earlier run, left out of the output and computed again.
  std::vector<bool> recomputed;
  bool vs_derived = false;  // vs comes from the hydration data, as an output column
  bool predicts = false;    // a solvent column: the predicted measurements are output columns
  // Notes on the header for standard error (hints, the recomputed columns).
  std::vector<std::string> notes;

  const std::optional<std::size_t>& operator[](Datum d) const { return place[static_cast<std::size_t>(d)]; }
};

// The layout of the header's cells, or what is wrong with the header.
// `results` are the names of the columns batch computes under any method.
std::optional<ColumnProblem> read_layout(const std::vector<std::string>& header,
                                         const std::vector<std::string>& results, BatchLayout& layout);

// The names joined by commas, for messages: "a_over_b,b_over_c".
std::string joined(std::span<const Datum> data);

}  // namespace triex::cli
