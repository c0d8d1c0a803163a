// A progress line on standard error for work that runs longer than a second,
// shown only when standard error is a terminal, and erased when done.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace triex::cli {

class Progress {
 public:
  // `total` 0: the amount of work is not known in advance (a batch read as it comes).
  Progress(std::ostream& err, bool terminal, std::string label, std::size_t total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void update(std::size_t done);
  // Erases the line shown, so that a message can be written in its place.
  void clear();

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  bool terminal_;
  std::string label_;
  std::size_t total_;
  Clock::time_point start_, last_;
  std::size_t width_ = 0;  // of the line shown, 0 while none is
};

}  // namespace triex::cli
