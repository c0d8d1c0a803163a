#include "cli/destination.hpp"

#include <cstring>

#include "cli/command_runs.hpp"

namespace triex::cli {

Destination::Destination(const std::string& path, Sink& standard_output)
    : path_(path), standard_output_(standard_output) {
  if (!path.empty()) file_ = std::make_unique<ReplacingFile>(path);
}

int Destination::report_failure(std::ostream& err) {
  const int error_number = sink().error();
  err << "triex: cannot write " << (file_ ? path_ : std::string("standard output")) << ": "
      << (error_number != 0 ? std::strerror(error_number) : "unknown error") << '\n';
  err.flush();
  return kStatusWriteFailed;
}

int Destination::finish(std::ostream& err) {
  if (file_ ? !file_->commit() : !good()) return report_failure(err);
  return 0;
}

}  // namespace triex::cli
