#include "support/edit.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace triex {
namespace {

void fill_stars(std::span<char> field) { std::fill(field.begin(), field.end(), '*'); }

// Right-justifies text in the field, or fills it with asterisks when it is too long.
void justify(std::span<char> field, std::string_view text) {
  const std::size_t w = field.size();
  if (text.size() > w) return fill_stars(field);
  const std::size_t pad = w - text.size();
  std::fill_n(field.begin(), pad, ' ');
  std::copy(text.begin(), text.end(), field.begin() + static_cast<std::ptrdiff_t>(pad));
}

void put_non_finite(std::span<char> field, double value) {
  if (std::isnan(value)) {
    justify(field, "NaN");
    return;
  }
  const bool negative = value < 0;
  std::string_view longform = negative ? "-Infinity" : "Infinity";
  std::string_view shortform = negative ? "-Inf" : "Inf";
  justify(field, longform.size() <= field.size() ? longform : shortform);
}

// Appends an exponent in the form letter-sign-two-digits, or sign-three-digits
// without the letter when two digits are not enough. Returns false when even
// three digits do not hold it.
bool append_exponent(char* out, std::size_t& len, char letter, int exponent) {
  const int magnitude = std::abs(exponent);
  const char sign = exponent < 0 ? '-' : '+';
  if (magnitude <= 99) {
    out[len++] = letter;
    out[len++] = sign;
    out[len++] = static_cast<char>('0' + magnitude / 10);
    out[len++] = static_cast<char>('0' + magnitude % 10);
    return true;
  }
  if (magnitude <= 999) {
    out[len++] = sign;
    out[len++] = static_cast<char>('0' + magnitude / 100);
    out[len++] = static_cast<char>('0' + magnitude / 10 % 10);
    out[len++] = static_cast<char>('0' + magnitude % 10);
    return true;
  }
  return false;
}

// Scientific digits of |value| with `digits` significant digits: writes the
// digits (no point) to out and returns the decimal exponent of the first one.
// printf rounds the exact binary value, ties to even.
int scientific_digits(double magnitude, int digits, char* out) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, magnitude);
  std::size_t k = 0;
  const char* p = buf;
  for (; *p != 'e'; ++p) {
    if (*p != '.') out[k++] = *p;
  }
  return std::atoi(p + 1);
}

}  // namespace

void put_I(std::span<char> field, long long value) {
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%lld", value);
  justify(field, std::string_view(buf, static_cast<std::size_t>(n)));
}

void put_F(std::span<char> field, int d, double value) {
  assert(d >= 0 && d <= kMaxDecimals);
  if (!std::isfinite(value)) return put_non_finite(field, value);
  // Largest double has 309 integer digits; with sign, point and decimals this fits.
  char buf[400];
  const bool negative = value < 0;  // -0.0 is not below zero
  buf[0] = '-';
  const int n = std::snprintf(buf + 1, sizeof buf - 1, "%.*f", d, std::fabs(value));
  justify(field, std::string_view(negative ? buf : buf + 1, static_cast<std::size_t>(n) + (negative ? 1 : 0)));
}

void put_E(std::span<char> field, int d, double value) {
  assert(d >= 1 && d <= kMaxDecimals);
  if (!std::isfinite(value)) return put_non_finite(field, value);
  char buf[96];
  std::size_t len = 0;
  if (value < 0) buf[len++] = '-';
  buf[len++] = '0';
  buf[len++] = '.';
  int exponent = 0;
  if (value == 0) {
    std::fill_n(buf + len, d, '0');
  } else {
    // 0.d1d2...dd x 10^(e+1) where d1.d2...dd x 10^e is the scientific form.
    exponent = scientific_digits(std::fabs(value), d, buf + len) + 1;
  }
  len += static_cast<std::size_t>(d);
  if (!append_exponent(buf, len, 'E', exponent)) return fill_stars(field);
  justify(field, std::string_view(buf, len));
}

void put_1PD(std::span<char> field, int d, double value) {
  assert(d >= 0 && d <= kMaxDecimals);
  if (!std::isfinite(value)) return put_non_finite(field, value);
  char digits[64];
  int exponent = 0;
  if (value == 0) {
    std::fill_n(digits, d + 1, '0');
  } else {
    exponent = scientific_digits(std::fabs(value), d + 1, digits);
  }
  char buf[96];
  std::size_t len = 0;
  if (value < 0) buf[len++] = '-';
  buf[len++] = digits[0];
  buf[len++] = '.';
  std::memcpy(buf + len, digits + 1, static_cast<std::size_t>(d));
  len += static_cast<std::size_t>(d);
  if (!append_exponent(buf, len, 'D', exponent)) return fill_stars(field);
  justify(field, std::string_view(buf, len));
}

namespace {
template <class Put, class T>
std::string edit_with(Put put, int w, T value, int d) {
  assert(w >= 1 && w <= kMaxFieldWidth);
  std::string s(static_cast<std::size_t>(w), ' ');
  put(std::span<char>(s.data(), s.size()), d, value);
  return s;
}
}  // namespace

std::string edit_I(long long value, int w) {
  assert(w >= 1 && w <= kMaxFieldWidth);
  std::string s(static_cast<std::size_t>(w), ' ');
  put_I(std::span<char>(s.data(), s.size()), value);
  return s;
}
std::string edit_F(double value, int w, int d) { return edit_with(put_F, w, value, d); }
std::string edit_E(double value, int w, int d) { return edit_with(put_E, w, value, d); }
std::string edit_1PD(double value, int w, int d) { return edit_with(put_1PD, w, value, d); }

}  // namespace triex
