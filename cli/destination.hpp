// The destination of a command's rows: standard output, or the file of -o
// written under a temporary name and renamed into place only when complete.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/output.hpp"

namespace triex::cli {

class Destination {
 public:
  // Opens the -o file (when there is one) at once, so that a path that cannot
  // be written is refused before any work.
  Destination(const std::string& path, Sink& standard_output);
  Sink& sink() { return file_ ? static_cast<Sink&>(*file_) : standard_output_; }
  // Whether nothing has failed so far.
  bool good() { return sink().error() == 0; }
  // Completes the output (the rename of the -o file). Returns 0, or 3 after
  // writing "triex: cannot write WHERE: REASON" on `err`.
  int finish(std::ostream& err);
  // The failure message for a sink that failed before finish.
  int report_failure(std::ostream& err);

 private:
  std::string path_;
  Sink& standard_output_;
  std::unique_ptr<ReplacingFile> file_;
};

}  // namespace triex::cli
