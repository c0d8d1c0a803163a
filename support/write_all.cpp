#include "support/write_all.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace triex {

bool write_all(int fd, std::string_view bytes, int& error_number) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error_number = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace triex
