// The rules a value must keep, in the words of a refusal shared by the
// dialogue, the commands, the library API and the Python module, so that
// each says the same thing about the same value. The API applies them to
// every input (api/triex_api.cpp); the dialogue applies them to its answers
// as they come, so as to refuse the answer that broke one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "triex/refusal.hpp"

namespace triex {

// The shortest decimal text that reads back as the value ("1e+200", "-0", "inf").
std::string shortest(double value);

// Each rule gives nothing when the value keeps it, else the refusal of the
// field, whose words name the field by its symbol ("M = 0 ..."), or by the
// formula it was derived by when one is given ("a = (a/b)(b/c) = inf ...").

// The derived values that a refusal names by their formula: the semi-axis a
// of axial ratios (c the unit of length), refused as the ratio a/b, and vs
// from the hydration data, refused as the hydration (the datum that most
// often makes it so, a hydration below -vbar rho).
inline constexpr std::string_view kDerivedA = "a = (a/b)(b/c)";
inline constexpr std::string_view kDerivedVs = "vs = vbar + delta/rho";

// A value that a later formula divides by or takes a root of must be a
// positive finite number: "... must be a positive number".
std::optional<Refusal> not_positive(Field field, double value, std::string_view formula = {});

// A size that may underflow to 0 (the volume of a tiny particle) must be a
// finite number of at least 0: "... must be a non-negative number".
std::optional<Refusal> not_non_negative(Field field, double value);

// A value that may take any sign must still be a finite number.
std::optional<Refusal> not_finite(Field field, double value);

// A molar mass must be positive and keep 2 M M finite: B(ex) = U / (2 M M)
// would otherwise come out as 0 (M above 9.480751908109176e153 g/mol).
std::optional<Refusal> not_a_molar_mass(Field field, double value);

// The shape factors stay finite up to this ratio of the longest semi-axis to
// the shortest: beyond about 1e70 the viscosity increment's terms overflow,
// and beyond about 1e75 the duplications of the Jeffery integrals cannot
// reach their tolerance. No molecule comes near it; u_red has no such bound.
inline constexpr double kMaxShapeFactorRatio = 1e50;

// Nothing when the longest of a, b, c is at most kMaxShapeFactorRatio times
// the shortest, else the refusal of `field`: "the longest semi-axis is 1e+60
// times the shortest, beyond 1e+50: ...".
std::optional<Refusal> too_elongated_for_shape_factors(Field field, double a, double b, double c);

// The same rule for a value that is no input of the API (a datum of the fit,
// the end of a grid), named in the words by `name`.
std::optional<std::string> not_positive(std::string_view name, double value);

// Why a text is no number, after its quoted excerpt: the words of the
// commands' number grammar and of the dialogue's answers alike.
inline constexpr std::string_view kNotANumber = "is not a number";
inline constexpr std::string_view kBeyondDouble = "is beyond the range of a double";
inline constexpr std::string_view kEmpty = "empty";  // a cell or option with no text

// Throws the refusal, if any.
inline void require(const std::optional<Refusal>& refusal) {
  if (refusal) throw *refusal;
}

}  // namespace triex
