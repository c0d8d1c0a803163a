// The current message unit of the library: 6 (standard output) at the start of
// the run. IMODE 0 reads it into IUNIT, IMODE 1 sets it from IUNIT, any other
// IMODE does nothing. A negative unit silences all library messages.
#pragma once

#include <iosfwd>

namespace triex {

void X04AAF(int IMODE, int& IUNIT);

// The stream behind the message units (standard output unless a harness that
// runs the program in-process redirects it). Returns the previous stream.
std::ostream& set_message_stream(std::ostream& stream);
std::ostream& message_stream();

}  // namespace triex
