// The words of a refused value, shared by the dialogue, the commands and the
// library API so that each says the same thing about the same value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace triex {

// The shortest decimal text that reads back as the value ("1e+200", "-0", "inf").
std::string shortest(double value);

// A value that a later formula divides by or takes a root of must be a
// positive finite number: nothing when it is, else "NAME = VALUE must be a
// positive number".
std::optional<std::string> not_positive(std::string_view name, double value);

// A value whose square a later formula takes must also keep that square
// finite (a molar mass of 1e200 would turn B(ex) into 0): nothing when the
// value is positive with a finite square, else the reason.
std::optional<std::string> not_positive_with_finite_square(std::string_view name, double value);

// A value that may take any sign must still be a finite number.
std::optional<std::string> not_finite(std::string_view name, double value);

}  // namespace triex
