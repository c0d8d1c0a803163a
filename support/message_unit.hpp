// The library's message unit: where the legacy routines write their message
// lines. X04AAF reads or sets the current unit number (6, standard output, at
// the start of the run; a negative unit silences every message), X04BAF writes
// one record to a unit. Every unit that is not negative writes to one message
// stream, standard output unless a harness that runs the program in-process
// redirects it.
#pragma once

#include <iosfwd>
#include <string_view>

namespace triex {

// X04AAF: the current message unit. IMODE 0 reads it into IUNIT, IMODE 1 sets
// it from IUNIT, any other IMODE does nothing.
void X04AAF(int IMODE, int& IUNIT);

// X04BAF: writes one message record to unit IUNIT without its trailing blanks
// (at least its first character stays); a negative unit writes nothing.
void X04BAF(int IUNIT, std::string_view TEXT);

// The stream behind the message units. Returns the previous stream.
std::ostream& set_message_stream(std::ostream& stream);
std::ostream& message_stream();

}  // namespace triex
