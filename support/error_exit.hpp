// The library's error exit. Every library routine that fails hands its error
// code, its name and its own message lines to P01ABF together with the IFAIL
// value its caller supplied; IFAIL decides whether the lines are printed and
// whether the failure is hard (the run ends, through P01ABZ) or soft (the code
// goes back to the caller).
//
//   IFAIL  0            routine lines, abnormal-exit line, hard-failure line; run ends
//   IFAIL  1            nothing printed; code returned
//   IFAIL -1            routine lines, abnormal-exit line, soft-failure line; code returned
//   IFAIL -13           routine lines only; code returned
//   other negative      nothing printed; code returned
//   positive            tens digit 0: silent; otherwise noisy, and hard unless
//                       the last digit is 1
#pragma once

#include <span>
#include <stdexcept>
#include <string_view>

#include "support/record.hpp"

namespace triex {

// A routine's named failure code as the number IFAIL carries: each routine
// names its codes in an enum class whose values are the numbers themselves.
template <class Failure>
constexpr int failure_code(Failure failure) {
  return static_cast<int>(failure);
}

// How P01ABF treats a failure, decoded once from the caller's IFAIL.
enum class FailureMode { Silent, RoutineLinesOnly, NoisySoft, NoisyHard };
FailureMode decode_ifail(int IFAIL);

// Returns ICODE (unless the failure is hard, in which case it does not return).
int P01ABF(int IFAIL, int ICODE, std::string_view RNAME, int NMSG, std::span<const MessageLine> MSGS);

// Ends the run at once: flushes the message stream and standard output and
// calls the hard-failure hook.
[[noreturn]] void P01ABZ();

// What a hard failure does after its lines are written. Only a program
// installs a hook that ends the process (the dialogue exits with status 1);
// by default the failure is thrown as HardFailure, so that a library loaded
// into another process (a Python interpreter) never ends it. A hook must not
// return. Returns the previous hook; nullptr restores the default.
using HardFailureHook = void (*)();
struct HardFailure : std::runtime_error {
  HardFailure();
};
HardFailureHook set_hard_failure_hook(HardFailureHook hook);

}  // namespace triex
