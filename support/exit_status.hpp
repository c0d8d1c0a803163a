// How a run ended, and the exit status each ending gives, for the dialogue,
// the commands and `python3 -m triex` alike (the Python module exports the
// table below). The numbers are part of the program's interface:
//   0  a normal end;
//   1  a library routine failed hard (the dialogue ends), a quadrature value
//      is plainly wrong (the commands), or the data of a fit are inconsistent;
//   2  input refused, or input that could not be read;
//   3  output that could not be written, standard error included.
#pragma once

namespace triex {

enum class ExitStatus : int { Normal = 0, Failure = 1, Refused = 2, WriteFailed = 3 };

enum class Outcome {
  Done,
  HardFailure,             // a library routine ended the dialogue
  QuadraturePlainlyWrong,  // not finite, or far from the closed form; the row is written
  DataInconsistent,        // no ellipsoid fits the data of triex fit; the closest shapes are written
  Refused,                 // an argument, an answer, a row or a file; an unreadable input
  WriteFailed,
};

// The one place that decides a status. When the words that explain an ending
// could not be written to standard error, the ending is a failed write.
constexpr ExitStatus status_for(Outcome outcome, bool diagnostics_written = true) {
  if (!diagnostics_written) return ExitStatus::WriteFailed;
  switch (outcome) {
    case Outcome::Done: return ExitStatus::Normal;
    case Outcome::HardFailure:
    case Outcome::QuadraturePlainlyWrong:
    case Outcome::DataInconsistent: return ExitStatus::Failure;
    case Outcome::Refused: return ExitStatus::Refused;
    case Outcome::WriteFailed: return ExitStatus::WriteFailed;
  }
  return ExitStatus::Failure;
}

// The status as the process returns it.
constexpr int exit_code(Outcome outcome, bool diagnostics_written = true) {
  return static_cast<int>(status_for(outcome, diagnostics_written));
}

}  // namespace triex
