// The hard-failure end the program installs: the process exits with status 1
// after the library's lines. (The library alone throws HardFailure.)
#pragma once

#include <cstdlib>

#include "support/error_exit.hpp"

namespace triex::testing_support {

inline void exit_on_hard_failure() {
  set_hard_failure_hook([] { std::exit(1); });
}

}  // namespace triex::testing_support
