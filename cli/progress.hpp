// A progress line on standard error for work that runs longer than a second,
// shown only when standard error is a terminal, and erased when done. While
// it is shown, anything else written to that stream (a warning, a refused
// row) first erases it, so that no message starts in the middle of the line;
// the next update draws it again below the message.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>

namespace triex::cli {

class Progress {
 public:
  using Clock = std::chrono::steady_clock;
  // The time source; tests pass their own to step through the delays.
  using Now = Clock::time_point (*)();

  // `total` 0: the amount of work is not known in advance (a batch read as it comes).
  Progress(std::ostream& err, bool terminal, std::string label, std::size_t total, Now now = &Clock::now);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void update(std::size_t done);
  // Erases the line shown, so that a message can be written in its place.
  void clear();

 private:
  // Stands in for the stream's buffer while the progress exists: passes
  // every byte on to it, erasing the progress line before the first.
  class EraseBeforeWriting : public std::streambuf {
   public:
    EraseBeforeWriting(Progress& owner, std::streambuf* target) : owner_(owner), target_(target) {}
    std::streambuf* target() const { return target_; }

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

   private:
    Progress& owner_;
    std::streambuf* target_;
  };

  void write_through(const std::string& text);
  void erase();

  std::ostream& err_;
  bool terminal_;
  std::string label_;
  std::size_t total_;
  Now now_;
  Clock::time_point start_, last_;
  std::size_t width_ = 0;  // of the line shown, 0 while none is
  EraseBeforeWriting guard_;
};

}  // namespace triex::cli
