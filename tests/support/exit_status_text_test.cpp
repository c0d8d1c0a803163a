#include "support/exit_status_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace triex {
namespace {

// The statuses of a help text are one paragraph in lines of at most 80
// characters, broken only at spaces; a word longer than a line stands alone.
TEST(ExitStatusText, FillsLinesOfAtMost80CharactersBrokenAtSpaces) {
  const std::string fits(64, 'a'), over(65, 'a'), long_word(90, 'b');
  const struct {
    std::string meaning, expected;
  } cases[] = {
      {fits, "Exit status: 0 " + fits + ".\n"},  // exactly 80 characters
      {over, "Exit status: 0\n" + over + ".\n"},
      {long_word, "Exit status: 0\n" + long_word + ".\n"},
      {"done and " + long_word, "Exit status: 0 done and\n" + long_word + ".\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(exit_status_text({{0, c.meaning}}), c.expected) << c.meaning;
}

}  // namespace
}  // namespace triex
