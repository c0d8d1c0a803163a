// Writes one message record to unit IUNIT without its trailing blanks (at least
// its first character stays). Every unit that is not negative writes to the
// message stream; a negative unit writes nothing.
#pragma once

#include <string_view>

namespace triex {

void X04BAF(int IUNIT, std::string_view TEXT);

}  // namespace triex
