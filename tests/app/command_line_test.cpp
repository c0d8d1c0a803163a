#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <vector>

#include "tests/common/failing_streams.hpp"

namespace triex {
namespace {

constexpr std::string_view kCommands = "Commands for scripts: triex ured ...\n";

struct Outcome {
  CommandLineAction action;
  int status;
  std::string out, err;
};

Outcome handle(std::vector<std::string_view> args) {
  std::ostringstream out, err;
  int status = -1;
  const CommandLineAction action = handle_command_line(args, kCommands, out, err, status);
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
  EXPECT_TRUE(o.out.ends_with(std::string("\n\n").append(kCommands))) << o.out;
  EXPECT_EQ(o.err, "");
}

TEST(CommandLine, VersionPrintsTheVersion) {
  const Outcome o = handle({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out.rfind("triex ", 0), 0u);
  EXPECT_EQ(o.out.back(), '\n');
}

TEST(CommandLine, OfHelpAndVersionTheFirstGivenIsAnswered) {
  EXPECT_EQ(handle({"--version", "--help"}).out, handle({"--version"}).out);
  EXPECT_EQ(handle({"--help", "--version"}).out, handle({"--help"}).out);
  EXPECT_EQ(handle({"-h", "--version", "-h"}).out, handle({"--help"}).out);
  EXPECT_EQ(handle({"--version", "--help"}).status, 0);
  EXPECT_EQ(handle({"--version", "--help"}).err, "");
}

TEST(CommandLine, AFailedWriteOfHelpOrVersionGivesStatusThreeAndOneLine) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{{"--help"}, {"--version"}}) {
    for (std::size_t capacity : {std::size_t{0}, std::size_t{5}}) {
      testing_support::FailingOutput failing(capacity, ENOSPC);
      std::ostream out(&failing);
      std::ostringstream err;
      int status = -1;
      EXPECT_EQ(handle_command_line(args, kCommands, out, err, status), CommandLineAction::Exit);
      EXPECT_EQ(status, 3);
      EXPECT_EQ(err.str(), "triex: cannot write standard output: No space left on device\n");
    }
  }
  // A stream that does not say why it failed: the line names no reason.
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);
  int status = -1;
  const std::vector<std::string_view> help = {"--help"};
  handle_command_line(help, kCommands, out, err, status);
  EXPECT_EQ(status, 3);
  EXPECT_EQ(err.str(), "triex: cannot write standard output\n");
}

TEST(CommandLine, ARefusedArgumentIsEchoedWithoutControlCharacters) {
  const Outcome o = handle({"\x1b]0;title\x07\x1b[2J"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "triex: unknown argument \"?]0;title??[2J\" (try triex --help)\n");
  const std::string long_argument = std::string(79, 'a') + "\xC3\xA9";
  EXPECT_EQ(handle({long_argument}).err, "triex: unknown argument \"" + std::string(79, 'a') + "\" (try triex --help)\n");
}

TEST(CommandLine, AnyOtherArgumentIsRefusedWithStatusTwo) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"-x"}, {"input.txt"}, {"--help", "extra"}, {"--version", "--help", "-v"}}) {
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
