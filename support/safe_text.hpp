// Text from the user, made safe to echo on a terminal: cut only between
// UTF-8 characters, and with control characters shown as '?' so that an
// escape sequence or a NUL typed into an answer, a file name or a CSV cell is
// not sent on to the terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace triex {

// The longest start of `text` of at most `limit` bytes that does not end inside
// a UTF-8 sequence: a cut that would split a character moves back to its first
// byte. Bytes that are not UTF-8 are taken one by one.
std::string_view cut_between_characters(std::string_view text, std::size_t limit);

// `text` with each C0 control character (0x00 to 0x1F) and DEL (0x7F) replaced by '?'.
std::string with_controls_shown(std::string_view text);

}  // namespace triex
