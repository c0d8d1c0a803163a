#include "cli/values.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex::cli {

double number_for(std::string_view label, std::string_view text) {
  std::string problem;
  const auto value = parse_number(text, problem);
  if (!value) throw std::invalid_argument(std::string(label) + ": " + problem);
  return *value;
}

// The shape's numbers as typed: semi-axes A B C, or --ratios AB BC.
std::vector<double> shape_numbers(const std::vector<std::string>& texts, bool ratios) {
  constexpr Field kAxes[] = {Field::a, Field::b, Field::c};
  constexpr Field kRatios[] = {Field::a_over_b, Field::b_over_c};
  std::vector<double> values;
  for (std::size_t i = 0; i < texts.size(); ++i) values.push_back(number_for((ratios ? kRatios : kAxes)[i], texts[i]));
  return values;
}

std::string command_label(Field field) {
  switch (field) {
    case Field::a: return "semi-axis A";
    case Field::b: return "semi-axis B";
    case Field::c: return "semi-axis C";
    case Field::a_over_b: return "--ratios AB";
    case Field::b_over_c: return "--ratios BC";
    case Field::B: return "--virial";
    default: break;
  }
  std::string option = "--" + std::string(field_keyword(field));
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

std::string labelled(const std::invalid_argument& error) {
  const auto* refusal = dynamic_cast<const Refusal*>(&error);
  return refusal ? command_label(refusal->field()) + ": " + error.what() : error.what();
}

GridSpec parse_grid(std::string_view text, std::string_view option) {
  const std::string where = std::string(option) + " " + std::string(text);
  const auto first = text.find(':');
  const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos || text.find(':', second + 1) != std::string_view::npos)
    throw std::invalid_argument(where + ": expected LO:HI:N");
  std::string problem;
  const auto lo = parse_number(text.substr(0, first), problem);
  if (!lo) throw std::invalid_argument(where + ": LO " + problem);
  const auto hi = parse_number(text.substr(first + 1, second - first - 1), problem);
  if (!hi) throw std::invalid_argument(where + ": HI " + problem);
  for (const double end : {*lo, *hi})
    if (const auto p = not_positive("an axial ratio", end)) throw std::invalid_argument(where + ": " + *p);
  const std::string_view count = trimmed(text.substr(second + 1));
  long n = 0;
  const auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), n);
  if (count.empty() || end != count.data() + count.size() || ec != std::errc() || n < 1 || n > kMaxGridPoints)
    throw std::invalid_argument(where + ": N must be a whole number from 1 to " + std::to_string(kMaxGridPoints));
  if (n == 1 && *lo != *hi) throw std::invalid_argument(where + ": one point needs LO = HI");
  return {*lo, *hi, n};
}

std::vector<double> grid_values(const GridSpec& grid, Spacing spacing) {
  std::vector<double> values(static_cast<std::size_t>(grid.n));
  const double last = static_cast<double>(grid.n - 1);
  // In decimal logarithms, so that a grid over decades (1:1000:4) hits the
  // powers of ten exactly: log10 and pow of exact powers of ten are exact.
  const double log_lo = std::log10(grid.lo), log_hi = std::log10(grid.hi);
  for (long i = 0; i < grid.n; ++i) {
    const double t = static_cast<double>(i) / last;
    // Weighted ends, not LO + i*step: the last point cannot run past HI.
    values[static_cast<std::size_t>(i)] = spacing == Spacing::Log ? std::pow(10.0, log_lo * (1 - t) + log_hi * t)
                                                                  : grid.lo * (1 - t) + grid.hi * t;
  }
  values.front() = grid.lo;
  values.back() = grid.hi;
  return values;
}

}  // namespace triex::cli
