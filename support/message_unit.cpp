// X04AAF and X04BAF: the message unit of the library and its one write.
#include "support/message_unit.hpp"

#include <iostream>

namespace triex {
namespace {
int current_unit = 6;
std::ostream* stream = &std::cout;
}  // namespace

// X04AAF: reads or sets the current message unit.
void X04AAF(int IMODE, int& IUNIT) {
  if (IMODE == 0) {
    IUNIT = current_unit;
  } else if (IMODE == 1) {
    current_unit = IUNIT;
  }
}

// X04BAF: one message record, without its trailing blanks.
void X04BAF(int IUNIT, std::string_view TEXT) {
  if (IUNIT < 0) return;
  std::size_t length = TEXT.size();
  while (length >= 2 && TEXT[length - 1] == ' ') --length;
  std::ostream& out = message_stream();
  out.write(TEXT.data(), static_cast<std::streamsize>(length));
  out.put('\n');
}

std::ostream& set_message_stream(std::ostream& s) {
  std::ostream& previous = *stream;
  stream = &s;
  return previous;
}

std::ostream& message_stream() { return *stream; }

}  // namespace triex
