// The number grammar of the commands and of the Python module's command
// line: decimal numbers as people and spreadsheets write them. (The
// dialogue reads its answers by a grammar of its own, list-directed input.)
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "triex/refusal.hpp"

namespace triex {

// A decimal number as people and spreadsheets write it ("30", "2.5",
// "-1.5e3", "+4"), blanks around it ignored. "inf" and "nan" are read as
// such, for the rules of each value to refuse. A number beyond the range of a
// double is refused; one too small to represent becomes the nearest double,
// zero included. With `decimal_comma` a comma is read as the decimal point
// ("22,5"), as spreadsheets write numbers in files separated by semicolons.
// On refusal, `problem` says why.
std::optional<double> parse_number(std::string_view text, std::string& problem, bool decimal_comma = false);

// The number typed for an input of the library; a text that is no number is
// refused as the library refuses a value, with the field (Refusal).
double number_for(Field field, std::string_view text);
}  // namespace triex
