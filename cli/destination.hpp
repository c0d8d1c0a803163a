// The destination of a command's rows: standard output, or the file of -o
// written under a temporary name and renamed into place only when complete.
#pragma once

#include <memory>
#include <string>

#include "cli/output.hpp"

namespace triex::cli {

class Destination {
 public:
  // Opens the -o file (when there is one) at once, so that a path that cannot
  // be written ends the command before any work (CommandError, "cannot write
  // WHERE: REASON").
  Destination(const std::string& path, Sink& standard_output);
  Sink& sink() { return file_ ? static_cast<Sink&>(*file_) : standard_output_; }
  // Whether nothing has failed so far.
  bool good() { return sink().error() == 0; }
  // Completes the output (the rename of the -o file), or ends the command as
  // the constructor does. A file not completed is removed.
  void finish();

 private:
  [[noreturn]] void fail();

  std::string path_;
  Sink& standard_output_;
  std::unique_ptr<ReplacingFile> file_;
};

}  // namespace triex::cli
