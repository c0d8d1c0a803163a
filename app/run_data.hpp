// Every answer and result of one run; they live until the run ends.
#pragma once

#include <string>

#include "solution/virial.hpp"

namespace triex {

struct RunData {
  // Dialogue answers
  std::string NAME;  // 80 characters
  int ENTRY = 0;     // 1: semi-axes (a, b, c); otherwise axial ratios (a/b, b/c)
  double N1 = 0, N2 = 0;
  double ASAVE = 0, BSAVE = 0, CSAVE = 0;
  int METHOD = 0;  // 1: vs typed; otherwise vs from hydration data
  double VS = 0, HYDRAT = 0, SOLDEN = 0, VBAR = 0;
  double MOLMAS = 0;
  std::string CALCB, CALCPB;  // yes/no answers, 80 characters, kept for the report
  double Z = 0, IONIC = 0;

  // Results
  double URED = 0;
  double MOLVOL = 0, EXCVOL = 0;
  double BEX = 0, BZ = 0;
  double KAPPA = 0, RAD = 0, FACTOR = 0;
  double VIRIAL = 0, BM = 0, BMM = 0, MICROBMM = 0;
};

// A yes/no answer is yes when its first character is "y" or "Y".
inline bool is_yes(const std::string& answer) { return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y'); }

}  // namespace triex
