// Stream buffers that fail the way a full disk, a closed descriptor or an
// unreadable input does, and record the error number as the program's own
// standard-stream buffers do: for driving the run in-process into its
// write and read failures.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <utility>

#include "app/standard_streams.hpp"

namespace triex::testing_support {

// Accepts `capacity` bytes, then fails every write with `error_number`.
class FailingOutput : public std::streambuf, public TransferFailure {
 public:
  FailingOutput(std::size_t capacity, int error_number) : capacity_(capacity), error_number_(error_number) {}
  const std::string& written() const { return written_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (written_.size() >= capacity_) {
      record_failure(error_number_);
      return traits_type::eof();
    }
    written_.push_back(traits_type::to_char_type(c));
    return c;
  }

 private:
  std::size_t capacity_;
  int error_number_;
  std::string written_;
};

// Hands out `text`, then fails to read with `error_number`.
class FailingInput : public std::streambuf, public TransferFailure {
 public:
  FailingInput(std::string text, int error_number) : text_(std::move(text)), error_number_(error_number) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override {
    record_failure(error_number_);
    return traits_type::eof();
  }

 private:
  std::string text_;
  int error_number_;
};

}  // namespace triex::testing_support
