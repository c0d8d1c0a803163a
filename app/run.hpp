// One run of TRIEX: the whole dialogue from the molecule's name to the closing
// pause, on the given streams. Library failure messages go to the same output
// stream, in the order written.
//
// Returns the exit status: 0 for a normal end; 2 when an answer was refused
// (one line on `err` names the question and what was wrong; nothing more is
// written to `out`) or `in` could not be read (one line names the error); 3
// when a write to `out` failed (one line on `err`; the run ends at the next
// flush, at the latest before the next read) or the line on `err` could not be
// written. A hard library failure ends the process through P01ABZ.
//
// An accepted answer whose line held values the question did not read gets
// one note on `err` ("triex: note: answer to ..."); the run and its status
// are the same as without them.
#pragma once

#include <iosfwd>

namespace triex {

int run(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace triex
