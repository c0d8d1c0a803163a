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

// A molar mass must be positive and keep 2 M M finite: B(ex) = U / (2 M M)
// would otherwise come out as 0 (M above 9.480751908109176e153 g/mol).
// Nothing when it does, else the reason.
std::optional<std::string> not_a_molar_mass(std::string_view name, double value);

// A size that may underflow to 0 (the volume of a tiny particle) must be a
// finite number of at least 0: "NAME = VALUE must be a non-negative number".
std::optional<std::string> not_non_negative(std::string_view name, double value);

// A value that may take any sign must still be a finite number.
std::optional<std::string> not_finite(std::string_view name, double value);

}  // namespace triex
