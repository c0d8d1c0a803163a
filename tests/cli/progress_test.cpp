#include "cli/progress.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace triex::cli {
namespace {

TEST(Progress, ShowsOnlyOnATerminalAfterASecondAndErasesItself) {
  std::ostringstream quiet, early, shown;
  {
    Progress p(quiet, false, "table", 10);
    Progress q(early, true, "table", 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    p.update(5);
  }
  EXPECT_EQ(quiet.str(), "");  // not a terminal
  EXPECT_EQ(early.str(), "");  // never updated: nothing to show or erase
  {
    Progress p(shown, true, "table", 10);
    p.update(1);  // within the first second: nothing
    EXPECT_EQ(shown.str(), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    p.update(5);
  }
  const std::string text = shown.str();
  const std::string line = "triex table: [###############...............] 50% (5 of 10)";
  EXPECT_EQ(text, "\r" + line + "\r" + std::string(line.size(), ' ') + "\r");
}

}  // namespace
}  // namespace triex::cli
