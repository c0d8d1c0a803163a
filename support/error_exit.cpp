#include "support/error_exit.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "support/message_unit.hpp"

namespace triex {
namespace {

// A library never ends the process by itself: without a hook from the
// program, a hard failure reaches the caller as an exception.
void throw_hard_failure() { throw HardFailure(); }

HardFailureHook hard_failure_hook = &throw_hard_failure;

}  // namespace

HardFailure::HardFailure() : std::runtime_error("a library routine failed hard (its lines are on the message unit)") {}

FailureMode decode_ifail(int IFAIL) {
  if (IFAIL == 0) return FailureMode::NoisyHard;
  if (IFAIL == -1) return FailureMode::NoisySoft;
  if (IFAIL == -13) return FailureMode::RoutineLinesOnly;
  if (IFAIL < 0 || (IFAIL / 10) % 10 == 0) return FailureMode::Silent;
  // The last digit (remainder taking the sign of IFAIL; IFAIL is positive here)
  // selects a soft failure when it is 1.
  return IFAIL % 10 == 1 ? FailureMode::NoisySoft : FailureMode::NoisyHard;
}

int P01ABF(int IFAIL, int ICODE, std::string_view RNAME, int NMSG, std::span<const MessageLine> MSGS) {
  if (ICODE == 0) return 0;
  const FailureMode mode = decode_ifail(IFAIL);
  if (mode == FailureMode::Silent) return ICODE;

  int NOUT = 0;
  X04AAF(0, NOUT);
  for (int i = 0; i < NMSG && i < static_cast<int>(MSGS.size()); ++i) X04BAF(NOUT, view(MSGS[static_cast<std::size_t>(i)]));
  if (mode == FailureMode::RoutineLinesOnly) return ICODE;

  // The abnormal-exit record is 72 characters long; X04BAF drops its trailing blanks.
  char record[72];
  std::fill(std::begin(record), std::end(record), ' ');
  LineBuilder exit_line;
  exit_line.text(" ** ABNORMAL EXIT from library routine ").text(RNAME).text(": IFAIL").text(" =").I(ICODE, 6);
  std::copy_n(exit_line.line().begin(), 72, record);
  X04BAF(NOUT, std::string_view(record, sizeof record));

  if (mode == FailureMode::NoisyHard) {
    X04BAF(NOUT, " ** Hard failure - execution terminated");
    P01ABZ();
  }
  X04BAF(NOUT, " ** Soft failure - control returned");
  return ICODE;
}

void P01ABZ() {
  message_stream().flush();  // the library's lines may go to a stream other than std::cout
  std::cout.flush();
  std::fflush(stdout);
  hard_failure_hook();
  std::abort();  // a hook must not return; if one does, stop here all the same
}

HardFailureHook set_hard_failure_hook(HardFailureHook hook) {
  const HardFailureHook previous = hard_failure_hook;
  hard_failure_hook = hook != nullptr ? hook : &throw_hard_failure;
  return previous;
}

}  // namespace triex
