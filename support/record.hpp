// Fixed-length message lines of the library: 80 characters, blank padded,
// composed from literal pieces and numeric fields without allocating.
#pragma once

#include <array>
#include <string_view>

namespace triex {

inline constexpr int kLineLength = 80;
using MessageLine = std::array<char, kLineLength>;

class LineBuilder {
 public:
  LineBuilder() { line_.fill(' '); }
  LineBuilder& text(std::string_view s);
  LineBuilder& I(long long value, int w);
  LineBuilder& D1P(double value, int w, int d);  // 1P,Dw.d
  const MessageLine& line() const { return line_; }

 private:
  MessageLine line_;
  int pos_ = 0;
  int room(int w) const;
};

inline std::string_view view(const MessageLine& line) { return {line.data(), line.size()}; }

}  // namespace triex
