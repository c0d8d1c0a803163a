// A value the library refuses: which input it was, and why, in one set of
// words shared by every front end. The dialogue, the commands and the Python
// module each show the same words after their own label for the input (an
// answer, an option or a batch column, a keyword). Included by triex.hpp.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace triex {

// The inputs of the library's functions. Each enumerator is spelt as the
// Python keyword of that input.
enum class Field {
  a, b, c,              // semi-axes
  a_over_b, b_over_c,   // axial ratios
  volume, surface, mean_radius,  // ShapeFunctions of a mixture
  ured,                 // reduced excluded volume
  vs,                   // swollen specific volume, ml/g
  hydration,            // delta, g/g
  solvent_density,      // rho, g/ml
  vbar,                 // partial specific volume, ml/g
  molar_mass,           // M, g/mol
  valency,              // Z
  ionic_strength,       // I, mol/l
  viscosity,            // eta, mPa s
  temperature,          // T, K
  B,                    // a measured second virial coefficient, ml mol/g^2
  points,               // the number of shapes of solve()
};
inline constexpr int kFieldCount = static_cast<int>(Field::points) + 1;

// The symbol the words use for the input: "a", "a/b", "V", "M", "delta",
// "rho", "Z", "I", "eta", "T", "B", ...
std::string_view field_symbol(Field field);
// The enumerator's own name ("molar_mass"): the Python keyword.
std::string_view field_keyword(Field field);

// what() is the whole refusal, e.g. "M = 0 must be a positive number" or
// "vs = vbar + delta/rho = -0.27 must be a positive number": the input (its
// symbol, or the formula it was derived by), its value, and reason() after it;
// a text that is no number is its quoted excerpt ("\"x\" is not a number").
class Refusal : public std::invalid_argument {
 public:
  Refusal(Field field, const std::string& subject, const std::string& reason)
      : std::invalid_argument(subject.empty() ? reason : subject + " " + reason), field_(field), reason_(reason) {}
  Field field() const noexcept { return field_; }
  const std::string& reason() const noexcept { return reason_; }

 private:
  Field field_;
  std::string reason_;
};

}  // namespace triex
