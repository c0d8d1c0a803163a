// Every answer and result of one run; they live until the run ends.
#pragma once

#include <string>

#include "solution/virial.hpp"

namespace triex {

struct RunData {
  // The answers
  std::string name;  // 80 characters
  int entry = 0;     // 1: semi-axes (a, b, c); otherwise axial ratios (a/b, b/c)
  double a_over_b = 0, b_over_c = 0;
  double a = 0, b = 0, c = 0;  // the semi-axes as typed, or from the ratios with c = 1
  int method = 0;              // 1: vs typed; otherwise vs from hydration data
  double vs = 0, hydration = 0, solvent_density = 0, vbar = 0;
  double molar_mass = 0;
  std::string exclusion_answer, polyelectrolyte_answer;  // yes/no, 80 characters, kept for the report
  Charge charge{};

  // The results
  double ured = 0;
  Virial virial{};
};

// A yes/no answer is yes when its first character is "y" or "Y".
inline bool is_yes(const std::string& answer) { return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y'); }

}  // namespace triex
