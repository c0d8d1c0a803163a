#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace triex {
namespace {

struct Outcome {
  CommandLineAction action;
  int status;
  std::string out, err;
};

Outcome handle(std::vector<std::string_view> args) {
  std::ostringstream out, err;
  int status = -1;
  const CommandLineAction action = handle_command_line(args, out, err, status);
  return {action, status, out.str(), err.str()};
}

TEST(CommandLine, NoArgumentsRunsTheDialogue) {
  const Outcome o = handle({});
  EXPECT_EQ(o.action, CommandLineAction::RunDialogue);
  EXPECT_EQ(o.out, "");
}

TEST(CommandLine, HelpDescribesTheDialogueInputAndExitStatuses) {
  const Outcome o = handle({"--help"});
  EXPECT_EQ(o.action, CommandLineAction::Exit);
  EXPECT_EQ(o.status, 0);
  EXPECT_NE(o.out.find("Usage: triex"), std::string::npos);
  EXPECT_NE(o.out.find("piped in"), std::string::npos);
  EXPECT_NE(o.out.find("Exit status: 0"), std::string::npos);
  EXPECT_NE(o.out.find("2 an answer"), std::string::npos);
  EXPECT_EQ(o.err, "");
}

TEST(CommandLine, VersionPrintsTheVersion) {
  const Outcome o = handle({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out.rfind("triex ", 0), 0u);
  EXPECT_EQ(o.out.back(), '\n');
}

TEST(CommandLine, AnyOtherArgumentIsRefusedWithStatusTwo) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{{"-x"}, {"input.txt"}, {"--help", "extra"}}) {
    const Outcome o = handle(args);
    EXPECT_EQ(o.action, CommandLineAction::Exit);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("triex: unknown argument \"", 0), 0u) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace triex
