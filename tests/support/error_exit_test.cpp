#include "support/error_exit.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sstream>

#include "support/machine_constants.hpp"
#include "tests/common/child_process.hpp"
#include "support/message_unit.hpp"
#include "tests/common/message_capture.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;

std::array<MessageLine, 2> two_lines() {
  return {LineBuilder().text(" ** first line").line(), LineBuilder().text("    second").line()};
}

constexpr const char* kAbnormal = " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     1\n";

TEST(P01ABF, SuccessReturnsZeroSilentlyWhateverIFAIL) {
  for (int ifail : {0, 1, -1, -13, 10}) {
    MessageCapture capture;
    const auto lines = two_lines();
    EXPECT_EQ(P01ABF(ifail, 0, "D01AMF", 2, lines), 0);
    EXPECT_EQ(capture.text(), "");
  }
}

TEST(P01ABF, NoisySoftFailurePrintsRoutineLinesThenStandardLines) {
  for (int ifail : {-1, 11, 111, 21}) {
    MessageCapture capture;
    const auto lines = two_lines();
    EXPECT_EQ(P01ABF(ifail, 1, "D01AMF", 2, lines), 1);
    EXPECT_EQ(capture.text(), std::string(" ** first line\n    second\n") + kAbnormal +
                                 " ** Soft failure - control returned\n")
        << ifail;
  }
}

TEST(P01ABF, MinusThirteenPrintsOnlyTheRoutineLines) {
  MessageCapture capture;
  const auto lines = two_lines();
  EXPECT_EQ(P01ABF(-13, 4, "M01EAF", 2, lines), 4);
  EXPECT_EQ(capture.text(), " ** first line\n    second\n");
  MessageCapture none;
  EXPECT_EQ(P01ABF(-13, 4, "M01EAF", 0, {}), 4);
  EXPECT_EQ(none.text(), "");
}

TEST(P01ABF, SilentSelectorsReturnTheCodeWithoutOutput) {
  for (int ifail : {1, 2, 100, -5, 9, 101, -2}) {
    MessageCapture capture;
    const auto lines = two_lines();
    EXPECT_EQ(P01ABF(ifail, 7, "D01DAF", 2, lines), 7) << ifail;
    EXPECT_EQ(capture.text(), "") << ifail;
  }
}

TEST(P01ABF, ErrorCodeFieldIsSixWideWithAsterisksOnOverflow) {
  MessageCapture capture;
  P01ABF(-1, -12345, "D01DAF", 0, {});
  P01ABF(-1, 1234567, "D01DAF", 0, {});
  EXPECT_EQ(capture.text(),
            " ** ABNORMAL EXIT from library routine D01DAF: IFAIL =-12345\n"
            " ** Soft failure - control returned\n"
            " ** ABNORMAL EXIT from library routine D01DAF: IFAIL =******\n"
            " ** Soft failure - control returned\n");
}

TEST(P01ABF, DecodesEverySelectorRow) {
  EXPECT_EQ(decode_ifail(0), FailureMode::NoisyHard);
  EXPECT_EQ(decode_ifail(1), FailureMode::Silent);
  EXPECT_EQ(decode_ifail(-1), FailureMode::NoisySoft);
  EXPECT_EQ(decode_ifail(-13), FailureMode::RoutineLinesOnly);
  EXPECT_EQ(decode_ifail(-7), FailureMode::Silent);
  EXPECT_EQ(decode_ifail(2), FailureMode::Silent);
  EXPECT_EQ(decode_ifail(100), FailureMode::Silent);
  EXPECT_EQ(decode_ifail(11), FailureMode::NoisySoft);
  EXPECT_EQ(decode_ifail(111), FailureMode::NoisySoft);
  EXPECT_EQ(decode_ifail(10), FailureMode::NoisyHard);
  EXPECT_EQ(decode_ifail(12), FailureMode::NoisyHard);
  EXPECT_EQ(decode_ifail(110), FailureMode::NoisyHard);
}

// As the dialogue does: the program's hook ends the process with status 1.
void hard_failure(int ifail) {
  set_hard_failure_hook([] { std::exit(1); });
  const auto lines = two_lines();
  P01ABF(ifail, 1, "D01AMF", 2, lines);
  std::cout << "returned\n";
}

TEST(P01ABFDeathTest, HardFailurePrintsEverythingAndEndsWithStatusOne) {
  for (int ifail : {0, 10, 12, 110}) {
    EXPECT_EXIT(hard_failure(ifail), testing::ExitedWithCode(1), "") << ifail;
  }
}

// Without a program's hook the library does not end the process: the
// failure comes back as an exception, after the same lines.
TEST(P01ABF, WithoutTheProgramsHookAHardFailureIsThrown) {
  const auto lines = two_lines();
  MessageCapture capture;
  EXPECT_THROW(P01ABF(0, 1, "D01AMF", 2, lines), HardFailure);
  EXPECT_EQ(capture.text(), std::string(" ** first line\n    second\n") + kAbnormal + " ** Hard failure - execution terminated\n");
}

// The exact standard output of a hard failure, seen from a child process.
TEST(P01ABFDeathTest, HardFailureLinesOnStandardOutput) {
  const auto child = testing_support::run_in_child([] { hard_failure(0); });
  EXPECT_EQ(child.exit_status, 1);
  EXPECT_EQ(child.out, std::string(" ** first line\n    second\n") + kAbnormal + " ** Hard failure - execution terminated\n");
}

TEST(X04AAF, ReadsSetsAndIgnoresOtherModes) {
  int unit = 9;
  X04AAF(1, unit);
  int got = 0;
  X04AAF(0, got);
  EXPECT_EQ(got, 9);
  int untouched = 42;
  X04AAF(2, untouched);
  EXPECT_EQ(untouched, 42);
  X04AAF(0, got);
  EXPECT_EQ(got, 9);
  int six = 6;
  X04AAF(1, six);
}

TEST(X04AAF, NegativeUnitSilencesSoftAndHardFailures) {
  int silent = -1;
  X04AAF(1, silent);
  {
    MessageCapture capture;
    const auto lines = two_lines();
    EXPECT_EQ(P01ABF(-1, 3, "D01AMF", 2, lines), 3);
    EXPECT_EQ(capture.text(), "");
  }
  EXPECT_EXIT(hard_failure(0), testing::ExitedWithCode(1), "");
  int six = 6;
  X04AAF(1, six);
}

TEST(X04BAF, WritesTheLineWithoutTrailingBlanksKeepingOneCharacter) {
  MessageCapture capture;
  X04BAF(6, std::string(80, ' '));
  X04BAF(6, "abc" + std::string(77, ' '));
  X04BAF(6, "  a b  ");
  X04BAF(-1, "never");
  EXPECT_EQ(capture.text(), " \nabc\n  a b\n");
}

TEST(MachineConstants, AreTheStoredBitPatterns) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(X02AJF()), 0x3CA0040000000020u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(X02AMF()), 0x0012838B84E02510u);
  EXPECT_NEAR(X02AJF(), 1.11130722679765e-16, 1e-30);
  EXPECT_NEAR(X02AMF(), 2.57466740049304e-308, 1e-321);
  EXPECT_NE(X02AJF(), 0x1p-53);
  EXPECT_EQ(1.0 / X02AMF(), 3.883996821525388e+307);
}

}  // namespace
}  // namespace triex
