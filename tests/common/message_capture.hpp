// Sends the library's messages to a string for the lifetime of the object.
#pragma once

#include <ostream>
#include <sstream>
#include <string>

#include "support/message_unit.hpp"

namespace triex::testing_support {

class MessageCapture {
 public:
  MessageCapture() : previous_(set_message_stream(out_)) {}
  ~MessageCapture() { set_message_stream(previous_); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;
  std::string text() const { return out_.str(); }

 private:
  std::ostringstream out_;
  std::ostream& previous_;
};

}  // namespace triex::testing_support
