// triex fit: reads the molecule, its solvent and its data, fits, and writes
// one row per solution; the verdicts on the data go to standard error.
#include "cli/fit_command.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "cli/destination.hpp"
#include "solution/given_inputs.hpp"
#include "support/refusal.hpp"

namespace triex::cli {
namespace {

constexpr double kDefaultRelativeError = 0.02;

std::optional<double> optional_number(const std::optional<std::string>& text, Field field) {
  if (!text) return std::nullopt;
  return number_for(field, *text);
}

// VALUE[:SIGMA], SIGMA absolute or a percentage of VALUE with a trailing %.
Datum datum(Measurement kind, const std::string& text) {
  const std::string option = measurement_option(kind);
  const auto colon = text.find(':');
  const double value = number_for(option, std::string_view(text).substr(0, colon));
  if (colon == std::string::npos) return {kind, value, kDefaultRelativeError * std::abs(value)};
  std::string_view sigma = std::string_view(text).substr(colon + 1);
  if (!sigma.empty() && sigma.back() == '%') {
    const double percent = number_for(option + " (its error in %)", sigma.substr(0, sigma.size() - 1));
    return {kind, value, percent / 100 * std::abs(value)};
  }
  return {kind, value, number_for(option + " (its error)", sigma)};
}

FitInputs inputs(const FitOptions& o) {
  if (!o.molar_mass) throw std::invalid_argument("give --molar-mass M");
  if (!o.vbar) throw std::invalid_argument("give --vbar V");
  const bool charge = charge_given(o.valency.has_value(), o.ionic_strength.has_value(), command_label);
  FitInputs in{};
  in.molar_mass = number_for(Field::molar_mass, *o.molar_mass);
  in.vbar = number_for(Field::vbar, *o.vbar);
  in.hydration = optional_number(o.hydration, Field::hydration);
  in.vs = optional_number(o.vs, Field::vs);
  in.solvent.density = optional_number(o.solvent_density, Field::solvent_density);
  if (o.viscosity) in.solvent.viscosity = number_for(Field::viscosity, *o.viscosity);
  if (o.temperature) in.solvent.temperature = number_for(Field::temperature, *o.temperature);
  if (charge)
    in.charge = Charge{number_for(Field::valency, *o.valency), number_for(Field::ionic_strength, *o.ionic_strength)};
  for (int k = 0; k < kMeasurementKinds; ++k)
    if (o.data[k]) in.data.push_back(datum(static_cast<Measurement>(k), *o.data[k]));
  if (in.data.empty()) throw std::invalid_argument("give the measurements to fit (--virial, --sedimentation, ...)");
  return in;
}

std::string option_label(Measurement kind) { return measurement_option(kind); }

Cell finite_or_empty(double value) { return std::isnan(value) ? Cell{} : Cell{value}; }

// Four significant digits, for the words on standard error.
std::string rounded(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", value);
  return text;
}

}  // namespace

std::string measurement_option(Measurement kind) {
  std::string option = std::string("--") + measurement_keyword(kind);
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

Outcome run_fit(const FitOptions& options, const CommonOptions& common, Streams& streams) {
  FitInputs in;
  FitResult result;
  try {
    in = inputs(options);
    result = fit(in);
  } catch (const FitRefused& e) {
    // The datum or the value by its option; a combination is named by the library.
    const std::string option = e.measurement ? measurement_option(*e.measurement) : e.field ? command_label(*e.field) : "";
    refuse(option.empty() ? std::string(e.what()) : option + ": " + e.what());
  }

  Destination destination(common.output, streams.out);
  std::vector<std::string> columns = {
      "a_over_b",      "b_over_c",      "a_angstrom",    "b_angstrom",    "c_angstrom",    "vs_ml_per_g",
      "hydration_g_per_g", "chi2",      "a_over_b_lo68", "a_over_b_hi68", "b_over_c_lo68", "b_over_c_hi68",
      "a_over_b_lo95", "a_over_b_hi95", "b_over_c_lo95", "b_over_c_hi95", "amplification", "plausible"};
  if (common.format == Format::Json)
    for (const Datum& d : in.data) {
      std::string key = "residual_" + measurement_option(d.kind).substr(2);
      std::replace(key.begin(), key.end(), '-', '_');
      columns.push_back(key);
    }
  RowWriter writer(destination.sink(), common.format, columns);
  for (const FitSolution& s : result.solutions) {
    std::vector<Cell> row = {s.a_over_b,
                             s.b_over_c,
                             s.a_angstrom,
                             s.b_angstrom,
                             s.c_angstrom,
                             s.vs,
                             s.hydration,
                             s.chi2,
                             finite_or_empty(s.a_over_b_68.lo),
                             finite_or_empty(s.a_over_b_68.hi),
                             finite_or_empty(s.b_over_c_68.lo),
                             finite_or_empty(s.b_over_c_68.hi),
                             finite_or_empty(s.a_over_b_95.lo),
                             finite_or_empty(s.a_over_b_95.hi),
                             finite_or_empty(s.b_over_c_95.lo),
                             finite_or_empty(s.b_over_c_95.hi),
                             s.amplification,
                             std::int64_t{s.plausible}};
    if (common.format == Format::Json) row.insert(row.end(), s.residuals.begin(), s.residuals.end());
    writer.row(row);
  }
  writer.finish();
  destination.finish();

  const FitSolution& best = result.solutions.front();
  if (const std::string note = conditioning_note(result, in.data, option_label); !note.empty())
    say(streams.err, "fit", "note: " + note);
  if (result.consistent) return Outcome::Done;
  std::ostringstream words;
  words << "inconsistent data: chi2 = " << rounded(best.chi2) << " is beyond " << rounded(result.chi2_limit)
        << ", the 99.9 % point of " << std::max(1, result.degrees_of_freedom) << " degree"
        << (std::max(1, result.degrees_of_freedom) > 1 ? "s" : "")
        << " of freedom: no ellipsoid fits them all; the closest shape's residuals (sigmas):";
  for (std::size_t d = 0; d < in.data.size(); ++d)
    words << (d ? ", " : " ") << measurement_option(in.data[d].kind) << ' ' << rounded(best.residuals[d]);
  say(streams.err, "fit", words.str());
  return Outcome::DataInconsistent;
}

}  // namespace triex::cli
