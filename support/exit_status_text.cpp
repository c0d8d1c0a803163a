#include "support/exit_status_text.hpp"

namespace triex {
namespace {

constexpr std::size_t kLineWidth = 80;

// `text` in lines of at most kLineWidth characters, broken at spaces (a word
// longer than a line stands alone on its line).
std::string wrapped(std::string_view text) {
  std::string lines;
  std::size_t line_start = 0;
  while (!text.empty()) {
    const std::size_t end = text.find(' ');
    const std::string_view word = text.substr(0, end);
    if (lines.size() > line_start) {
      if (lines.size() - line_start + 1 + word.size() > kLineWidth) {
        lines += '\n';
        line_start = lines.size();
      } else {
        lines += ' ';
      }
    }
    lines += word;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines + '\n';
}

}  // namespace

std::string exit_status_text(std::initializer_list<StatusMeaning> meanings, std::string_view more) {
  std::string text = "Exit status:";
  const char* separator = " ";
  for (const StatusMeaning& meaning : meanings) {
    text.append(separator).append(std::to_string(meaning.status)).append(" ").append(meaning.words);
    separator = "; ";
  }
  text += '.';
  if (!more.empty()) text.append(" ").append(more);
  return wrapped(text);
}

}  // namespace triex
