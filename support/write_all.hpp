// Writes all of a byte range to a file descriptor through write(2): a partial
// write is continued and an interrupted one (EINTR) retried. Returns false at
// the first failure, with its errno value in error_number. A write to a pipe
// whose reader has gone raises SIGPIPE as usual.
#pragma once

#include <string_view>

namespace triex {

bool write_all(int fd, std::string_view bytes, int& error_number);

}  // namespace triex
