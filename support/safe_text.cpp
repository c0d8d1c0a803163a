#include "support/safe_text.hpp"

namespace triex {
namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 sequence that a lead byte announces; 0 for a byte
// that cannot begin one (a continuation byte or an invalid lead).
std::size_t sequence_length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::string_view cut_between_characters(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  // The first byte dropped is a continuation byte: look back (at most three
  // bytes) for the lead byte of its character, and cut before that character
  // when the cut would leave it incomplete.
  std::size_t start = limit;
  while (start > 0 && limit - start < 3 && is_continuation(static_cast<unsigned char>(text[start]))) --start;
  if (start < limit && start + sequence_length(static_cast<unsigned char>(text[start])) > limit) return text.substr(0, start);
  return text.substr(0, limit);
}

bool valid_utf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = sequence_length(static_cast<unsigned char>(c));
    if (length == 0 || i + length > n) return false;
    // The range of the second byte: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    const unsigned lowest = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned highest = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    if (s[i + 1] < lowest || s[i + 1] > highest) return false;
    for (std::size_t k = 2; k < length; ++k)
      if (!is_continuation(s[i + k])) return false;
    i += length;
  }
  return true;
}

std::string with_controls_shown(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return shown;
}

std::string quoted_excerpt(std::string_view text, std::size_t length) {
  std::string shown = "\"";
  shown += with_controls_shown(cut_between_characters(text, kExcerptBytes));
  shown += length > kExcerptBytes ? "...\"" : "\"";
  return shown;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int skip_byte_order_mark(std::streambuf& in) {
  int matched = 0;
  for (const unsigned char byte : kByteOrderMark) {
    if (in.sgetc() != byte) break;
    in.sbumpc();
    ++matched;
  }
  return matched;
}

}  // namespace triex
