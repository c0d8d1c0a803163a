// Text from the user, made safe to echo on a terminal: cut only between
// UTF-8 characters, and with control characters shown as '?' so that an
// escape sequence or a NUL typed into an answer, a file name or a CSV cell is
// not sent on to the terminal.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace triex {

// The longest start of `text` of at most `limit` bytes that does not end inside
// a UTF-8 sequence: a cut that would split a character moves back to its first
// byte. Bytes that are not UTF-8 are taken one by one.
std::string_view cut_between_characters(std::string_view text, std::size_t limit);

// Whether the bytes are valid UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool valid_utf8(std::string_view text);

// `text` with each C0 control character (0x00 to 0x1F) and DEL (0x7F) replaced by '?'.
std::string with_controls_shown(std::string_view text);

// How many bytes of a text a message quotes.
inline constexpr std::size_t kExcerptBytes = 40;

// A text as a message quotes it: in quotation marks, at most kExcerptBytes
// bytes cut between characters, control characters shown as '?', and "..."
// before the closing mark when the text is longer. `length` is the whole
// text's length, for a reader that keeps only the start of it.
std::string quoted_excerpt(std::string_view text, std::size_t length);
inline std::string quoted_excerpt(std::string_view text) { return quoted_excerpt(text, text.size()); }

// Blanks and tabs around a text removed.
std::string_view trimmed(std::string_view text);

// The UTF-8 byte-order mark that editors and spreadsheets put at the start of
// a text: takes from `in` the bytes that begin like one, and returns how many
// (3 for the whole mark; 1 or 2 when it does not complete: those bytes were
// 0xEF and 0xBB, and the caller decides what they are).
int skip_byte_order_mark(std::streambuf& in);
inline constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

}  // namespace triex
