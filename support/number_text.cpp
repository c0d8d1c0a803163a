#include "support/number_text.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex {
namespace {

// A text read as a number: its value, or the reason it is none.
struct ReadNumber {
  std::optional<double> value;
  std::string_view reason;
};

ReadNumber read_number(std::string_view text, bool decimal_comma) {
  std::string_view t = trimmed(text);
  std::string with_point;
  if (decimal_comma && t.find(',') != std::string_view::npos) {
    // Every comma becomes a point: "1.234,5" or "1,2,3" then read as no number.
    with_point = t;
    std::replace(with_point.begin(), with_point.end(), ',', '.');
    t = with_point;
  }
  if (t.empty()) return {std::nullopt, kEmpty};
  // from_chars takes no leading '+', and no second sign after it.
  std::string_view digits = t;
  if (digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+' || (digits.front() == '-' && t.front() == '+'))
    return {std::nullopt, kNotANumber};
  double value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (end != digits.data() + digits.size() || ec == std::errc::invalid_argument) return {std::nullopt, kNotANumber};
  if (ec == std::errc::result_out_of_range) {
    // Beyond the range, or below the smallest subnormal: strtod tells which,
    // and gives the nearest double for the second.
    const std::string copy(digits);
    errno = 0;
    value = std::strtod(copy.c_str(), nullptr);
    if (std::isinf(value)) return {std::nullopt, kBeyondDouble};
  }
  return {value, {}};
}

// The text a refusal of it begins with: quoted, or nothing for an empty one.
std::string subject_of(std::string_view text, std::string_view reason) {
  return reason == kEmpty ? std::string() : quoted_excerpt(text);
}

}  // namespace

std::optional<double> parse_number(std::string_view text, std::string& problem, bool decimal_comma) {
  const ReadNumber read = read_number(text, decimal_comma);
  if (!read.value) {
    problem = subject_of(text, read.reason);
    problem.append(problem.empty() ? "" : " ").append(read.reason);
  }
  return read.value;
}

double number_for(Field field, std::string_view text) {
  const ReadNumber read = read_number(text, false);
  if (!read.value) throw Refusal(field, subject_of(text, read.reason), std::string(read.reason));
  return *read.value;
}

}  // namespace triex
