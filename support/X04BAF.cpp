#include "support/X04BAF.hpp"

#include <ostream>

#include "support/X04AAF.hpp"

namespace triex {

void X04BAF(int IUNIT, std::string_view TEXT) {
  if (IUNIT < 0) return;
  std::size_t length = TEXT.size();
  while (length >= 2 && TEXT[length - 1] == ' ') --length;
  std::ostream& out = message_stream();
  out.write(TEXT.data(), static_cast<std::streamsize>(length));
  out.put('\n');
}

}  // namespace triex
