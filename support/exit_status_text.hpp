// The exit statuses in words, for the help texts of the dialogue and the
// commands: each meaning is written here once, and each help text lists the
// statuses it can end with. The numbers are those of support/exit_status.hpp.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "support/exit_status.hpp"

namespace triex {

struct StatusMeaning {
  int status;
  std::string_view words;
};

// The commands'.
inline constexpr StatusMeaning kDone{exit_code(Outcome::Done), "done"};
inline constexpr StatusMeaning kSomethingRefused{exit_code(Outcome::Refused), "a value, a row or a file was refused"};
inline constexpr StatusMeaning kValueRefused{exit_code(Outcome::Refused), "a value was refused"};
inline constexpr StatusMeaning kOutputNotWritten{exit_code(Outcome::WriteFailed), "the output could not be written"};
inline constexpr std::string_view kReasonsOnStandardError = "Reasons go to standard error.";

// triex fit's.
inline constexpr StatusMeaning kFitFound{exit_code(Outcome::Done), "a fit was found"};
inline constexpr StatusMeaning kDataInconsistent{
    exit_code(Outcome::DataInconsistent),
    "inconsistent data: no ellipsoid fits them within the 99.9 % point of chi2 (the closest shapes are written, "
    "their residuals on standard error)"};
inline constexpr StatusMeaning kDataRefused{
    exit_code(Outcome::Refused), "a value was refused, or the data cannot fix the shape (too few, or one that no ellipsoid gives)"};

// The dialogue's.
inline constexpr StatusMeaning kNormalEnd{exit_code(Outcome::Done), "normal end"};
// The end after a hard failure of a library routine (app/standard_streams.cpp).
inline constexpr StatusMeaning kLibraryFailureEnded{exit_code(Outcome::HardFailure), "a library failure ended the run"};
inline constexpr StatusMeaning kAnswerRefused{exit_code(Outcome::Refused),
                                              "an answer was refused or standard input could not be read"};
inline constexpr StatusMeaning kStreamNotWritten{exit_code(Outcome::WriteFailed),
                                                 "a write to standard output or standard error failed"};

// "Exit status: 0 done; 2 a value was refused; 3 the output could not be
// written." and then `more`, in lines of at most 80 characters broken at
// spaces, each ended by a newline.
std::string exit_status_text(std::initializer_list<StatusMeaning> meanings, std::string_view more = {});

}  // namespace triex
