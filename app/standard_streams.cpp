#include "app/standard_streams.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <system_error>

#include "support/write_all.hpp"

namespace triex {
namespace {

// The streams whose hard-failure exit is in force; one per process.
StandardStreams* active_streams = nullptr;

// The C library's description of an errno value ("No space left on device").
std::string describe(int error_number) { return std::generic_category().message(error_number); }

}  // namespace

int transfer_error(const std::streambuf* buffer) {
  const auto* recorded = dynamic_cast<const TransferFailure*>(buffer);
  return recorded != nullptr ? recorded->error_number() : 0;
}

DescriptorInput::int_type DescriptorInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (error_number() != 0) return traits_type::eof();
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
      return traits_type::to_int_type(*gptr());
    }
    if (n == 0) return traits_type::eof();
    if (errno != EINTR) {
      record_failure(errno);
      return traits_type::eof();
    }
  }
}

DescriptorOutput::DescriptorOutput(int fd) : fd_(fd) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

// Writes the buffer out, a partial write being continued; false once a write has failed.
bool DescriptorOutput::drain() {
  if (error_number() != 0) return false;
  int error = 0;
  if (!write_all(fd_, std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())), error)) record_failure(error);
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_number() == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int DescriptorOutput::sync() { return drain() ? 0 : -1; }

int report_write_failure(const std::ostream& out, std::ostream& err) {
  err << "triex: cannot write standard output";
  if (const int error_number = transfer_error(out.rdbuf()); error_number != 0) err << ": " << describe(error_number);
  err << '\n';
  err.flush();
  return exit_code(Outcome::WriteFailed);
}

int read_error(const std::istream& in) { return transfer_error(in.rdbuf()); }

int report_read_failure(int error_number, std::ostream& err) {
  err << "triex: cannot read standard input: " << describe(error_number) << '\n';
  err.flush();
  return exit_code(Outcome::Refused, static_cast<bool>(err));
}

StandardStreams::StandardStreams() : previous_hook_(set_hard_failure_hook(&end_after_hard_failure)) {
  active_streams = this;
}

StandardStreams::~StandardStreams() {
  active_streams = nullptr;
  set_hard_failure_hook(previous_hook_);
}

void StandardStreams::end_after_hard_failure() {
  if (active_streams != nullptr) {
    std::ostream& out = active_streams->out();
    out.flush();
    if (!out) std::exit(report_write_failure(out, std::cerr));
  }
  std::exit(exit_code(Outcome::HardFailure));
}

}  // namespace triex
