#include "support/refusal.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace triex {
namespace {

struct FieldNames {
  std::string_view symbol, keyword;
};
// In the order of the enumeration.
constexpr std::array<FieldNames, kFieldCount> kFieldNames = {{
    {"a", "a"},
    {"b", "b"},
    {"c", "c"},
    {"a/b", "a_over_b"},
    {"b/c", "b_over_c"},
    {"V", "volume"},
    {"S", "surface"},
    {"R", "mean_radius"},
    {"ured", "ured"},
    {"vs", "vs"},
    {"delta", "hydration"},
    {"rho", "solvent_density"},
    {"vbar", "vbar"},
    {"M", "molar_mass"},
    {"Z", "valency"},
    {"I", "ionic_strength"},
    {"eta", "viscosity"},
    {"T", "temperature"},
    {"B", "B"},
    {"points", "points"},
}};

constexpr const char* kPositive = "must be a positive number";
constexpr const char* kNonNegative = "must be a non-negative number";
constexpr const char* kFinite = "must be a finite number";
constexpr const char* kMolarMassOverflow = "is too large: 2*M*M overflows a double";

bool positive(double value) { return std::isfinite(value) && value > 0; }

std::string subject(std::string_view name, double value) { return std::string(name) + " = " + shortest(value); }

std::optional<Refusal> refusal(Field field, std::string_view formula, double value, const char* reason) {
  return Refusal(field, subject(formula.empty() ? field_symbol(field) : formula, value), reason);
}

}  // namespace

std::string_view field_symbol(Field field) { return kFieldNames[static_cast<std::size_t>(field)].symbol; }
std::string_view field_keyword(Field field) { return kFieldNames[static_cast<std::size_t>(field)].keyword; }

std::string shortest(double value) {
  char buf[32];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

std::optional<Refusal> not_positive(Field field, double value, std::string_view formula) {
  if (positive(value)) return std::nullopt;
  return refusal(field, formula, value, kPositive);
}

std::optional<Refusal> not_non_negative(Field field, double value) {
  if (std::isfinite(value) && value >= 0) return std::nullopt;
  return refusal(field, {}, value, kNonNegative);
}

std::optional<Refusal> not_finite(Field field, double value) {
  if (std::isfinite(value)) return std::nullopt;
  return refusal(field, {}, value, kFinite);
}

std::optional<Refusal> too_elongated_for_shape_factors(Field field, double a, double b, double c) {
  const double ratio = std::max({a, b, c}) / std::min({a, b, c});
  if (ratio <= kMaxShapeFactorRatio) return std::nullopt;
  return Refusal(field, "the longest semi-axis is " + shortest(ratio) + " times the shortest,",
                 "beyond " + shortest(kMaxShapeFactorRatio) + ": its shape factors overflow a double");
}

std::optional<Refusal> not_a_molar_mass(Field field, double value) {
  if (auto refused = not_positive(field, value)) return refused;
  if (std::isfinite(2.0 * (value * value))) return std::nullopt;
  return refusal(field, {}, value, kMolarMassOverflow);
}

std::optional<std::string> not_positive(std::string_view name, double value) {
  if (positive(value)) return std::nullopt;
  return subject(name, value) + " " + kPositive;
}

}  // namespace triex
