#include "cli/destination.hpp"

#include "cli/command_error.hpp"

namespace triex::cli {

Destination::Destination(const std::string& path, Sink& standard_output)
    : path_(path), standard_output_(standard_output) {
  if (!path.empty()) file_ = std::make_unique<ReplacingFile>(path);
  if (!good()) fail();
}

void Destination::fail() { cannot_write(file_ ? path_ : std::string("standard output"), sink().error()); }

void Destination::finish() {
  if (file_ ? !file_->commit() : !good()) fail();
}

}  // namespace triex::cli
