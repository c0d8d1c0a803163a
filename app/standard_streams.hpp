// Standard input and output of the process as stream buffers on file
// descriptors 0 and 1 that remember why a transfer failed, so that a failed
// read is not mistaken for the end of the answers and a failed write is not
// mistaken for a completed run. The C library's stdio cannot tell: it keeps
// only an error flag, and errno is long overwritten when the flag is read.
//
// The program's exit statuses: support/exit_status.hpp, in words
// support/exit_status_text.hpp.
#pragma once

#include <array>
#include <istream>
#include <ostream>
#include <streambuf>

#include "support/error_exit.hpp"
#include "support/exit_status.hpp"

namespace triex {


// The errno value of the first failed transfer of a stream buffer; 0 while none has failed.
class TransferFailure {
 public:
  int error_number() const { return error_number_; }

 protected:
  void record_failure(int error_number) {
    if (error_number_ == 0) error_number_ = error_number;
  }

 private:
  int error_number_ = 0;
};

// Why a transfer through the stream buffer failed, when the buffer records it
// (it derives from TransferFailure); 0 otherwise.
int transfer_error(const std::streambuf* buffer);

// Reads a file descriptor through read(2). A failed read ends the input, as
// the end of a file does, and is recorded.
class DescriptorInput final : public std::streambuf, public TransferFailure {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}

 protected:
  int_type underflow() override;

 private:
  int fd_;
  std::array<char, 1 << 16> buffer_;
};

// Writes a file descriptor through write(2), in blocks of the buffer's size
// and whenever the stream is flushed. The first failed write is recorded, and
// from then on every write fails: nothing reaches the descriptor after a gap.
// A write to a pipe whose reader has gone raises SIGPIPE as usual.
class DescriptorOutput final : public std::streambuf, public TransferFailure {
 public:
  explicit DescriptorOutput(int fd);

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool drain();
  int fd_;
  std::array<char, 4096> buffer_;
};

// "triex: cannot write standard output: <reason>" on `err`, the reason being
// that recorded by the buffer of `out` when it records one. Returns status 3.
int report_write_failure(const std::ostream& out, std::ostream& err);

// The errno value of a failed read of `in`; 0 when reading only reached the end or did not fail.
int read_error(const std::istream& in);

// "triex: cannot read standard input: <reason>" on `err`. Returns status 2, or
// 3 when that line could not be written either.
int report_read_failure(int error_number, std::ostream& err);

// Standard input and output of the program (file descriptors 0 and 1). While
// an object lives, a hard library failure that ends the run first flushes
// standard output and, when a write to it failed, ends with status 3 and the
// write failure on standard error instead of status 1.
class StandardStreams {
 public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

  std::istream& in() { return in_; }
  std::ostream& out() { return out_; }

 private:
  [[noreturn]] static void end_after_hard_failure();

  DescriptorInput in_buffer_{0};
  DescriptorOutput out_buffer_{1};
  std::istream in_{&in_buffer_};
  std::ostream out_{&out_buffer_};
  HardFailureHook previous_hook_;
};

}  // namespace triex
