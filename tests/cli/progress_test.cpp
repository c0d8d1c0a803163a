#include "cli/progress.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string_view>

namespace triex::cli {
namespace {

// A clock that the test moves by hand.
Progress::Clock::time_point fake_time;
Progress::Clock::time_point fake_now() { return fake_time; }
void advance(int milliseconds) { fake_time += std::chrono::milliseconds(milliseconds); }

const std::string kHalfDone = "triex table: [###############...............] 50% (5 of 10)";

// Appended piece by piece (GCC 12 warns wrongly about chains of operator+).
std::string joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}
const std::string kShown = joined({"\r", kHalfDone});
const std::string kErased = joined({"\r", std::string(kHalfDone.size(), ' '), "\r"});

TEST(Progress, ShowsOnlyOnATerminalAfterASecondAndErasesItself) {
  std::ostringstream quiet, early, shown;
  {
    Progress p(quiet, false, "table", 10, fake_now);
    Progress q(early, true, "table", 10, fake_now);
    advance(1100);
    p.update(5);
  }
  EXPECT_EQ(quiet.str(), "");  // not a terminal
  EXPECT_EQ(early.str(), "");  // never updated: nothing to show or erase
  {
    Progress p(shown, true, "table", 10, fake_now);
    p.update(1);  // within the first second: nothing
    advance(999);
    p.update(2);
    EXPECT_EQ(shown.str(), "");
    advance(1);
    p.update(5);
  }
  EXPECT_EQ(shown.str(), joined({kShown, kErased}));
}

TEST(Progress, AMessageErasesTheLineWhichComesBackAtTheNextRefresh) {
  std::ostringstream err;
  const std::string note = "!triex table: note: 3 shapes\n";
  {
    Progress p(err, true, "table", 10, fake_now);
    advance(1000);
    p.update(5);
    err.put('!');  // through any of the stream's writes, one character or many
    err << "triex table: note: " << 3 << " shapes\n";
    advance(199);
    p.update(5);  // within 0.2 s of the last line: not redrawn
    EXPECT_EQ(err.str(), joined({kShown, kErased, note}));
    advance(1);
    p.update(5);
  }
  EXPECT_EQ(err.str(), joined({kShown, kErased, note, kShown, kErased}));
  // The stream writes to its own buffer again, and keeps a failure it had.
  err << "after";
  EXPECT_EQ(err.str().substr(err.str().size() - 5), "after");
  err.setstate(std::ios::failbit);
  { Progress p(err, true, "table", 10, fake_now); }
  EXPECT_TRUE(err.fail());
}

}  // namespace
}  // namespace triex::cli
