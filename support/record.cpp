#include "support/record.hpp"

#include <algorithm>
#include <span>

#include "support/edit.hpp"

namespace triex {

LineBuilder& LineBuilder::text(std::string_view s) {
  const int n = std::min(static_cast<int>(s.size()), kLineLength - pos_);
  std::copy_n(s.begin(), n, line_.begin() + pos_);
  pos_ += n;
  return *this;
}

int LineBuilder::room(int w) const { return std::min(w, kLineLength - pos_); }

// A field that would run past column 80 is cut there, as a record of fixed length is.
LineBuilder& LineBuilder::I(long long value, int w) {
  char field[kMaxFieldWidth];
  put_I(std::span<char>(field, static_cast<std::size_t>(w)), value);
  return text(std::string_view(field, static_cast<std::size_t>(room(w))));
}

LineBuilder& LineBuilder::D1P(double value, int w, int d) {
  char field[kMaxFieldWidth];
  put_1PD(std::span<char>(field, static_cast<std::size_t>(w)), d, value);
  return text(std::string_view(field, static_cast<std::size_t>(room(w))));
}

}  // namespace triex
