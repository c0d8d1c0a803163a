#include "support/X04AAF.hpp"

#include <iostream>

namespace triex {
namespace {
int current_unit = 6;
std::ostream* stream = &std::cout;
}  // namespace

void X04AAF(int IMODE, int& IUNIT) {
  if (IMODE == 0) {
    IUNIT = current_unit;
  } else if (IMODE == 1) {
    current_unit = IUNIT;
  }
}

std::ostream& set_message_stream(std::ostream& s) {
  std::ostream& previous = *stream;
  stream = &s;
  return previous;
}

std::ostream& message_stream() { return *stream; }

}  // namespace triex
