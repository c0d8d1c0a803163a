#include "support/refusal.hpp"

#include <charconv>
#include <cmath>

namespace triex {

std::string shortest(double value) {
  char buf[32];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

std::optional<std::string> not_positive(std::string_view name, double value) {
  if (std::isfinite(value) && value > 0) return std::nullopt;
  return std::string(name) + " = " + shortest(value) + " must be a positive number";
}

std::optional<std::string> not_non_negative(std::string_view name, double value) {
  if (std::isfinite(value) && value >= 0) return std::nullopt;
  return std::string(name) + " = " + shortest(value) + " must be a non-negative number";
}

std::optional<std::string> not_a_molar_mass(std::string_view name, double value) {
  if (auto problem = not_positive(name, value)) return problem;
  if (std::isfinite(2.0 * (value * value))) return std::nullopt;
  return std::string(name) + " = " + shortest(value) + " is too large: 2*M*M overflows a double";
}

std::optional<std::string> not_finite(std::string_view name, double value) {
  if (std::isfinite(value)) return std::nullopt;
  return std::string(name) + " = " + shortest(value) + " must be a finite number";
}

}  // namespace triex
