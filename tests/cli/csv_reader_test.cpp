#include "cli/csv_reader.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace triex::cli {
namespace {

std::vector<CsvRecord> read_all(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<CsvRecord> records;
  for (CsvRecord r; reader.next(r);) records.push_back(r);
  return records;
}

using Cells = std::vector<std::string>;

TEST(CsvReader, ReadsQuotedCellsWithCommasQuotesAndLineBreaks) {
  const auto records = read_all("name,x\r\n\"a, \"\"b\"\"\",1\n\"two\nlines\",2\nplain,\n");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].cells, (Cells{"name", "x"}));
  EXPECT_EQ(records[1].cells, (Cells{"a, \"b\"", "1"}));
  EXPECT_EQ(records[2].cells, (Cells{"two\nlines", "2"}));
  EXPECT_EQ(records[3].cells, (Cells{"plain", ""}));
  for (const auto& r : records) EXPECT_FALSE(r.problem) << *r.problem;
}

TEST(CsvReader, TakesTheSeparatorFromTheHeaderLine) {
  const struct {
    std::string text;
    char separator;
    Cells second;
  } cases[] = {
      {"name;a_over_b\nx;22,5\n", ';', {"x", "22,5"}},
      {"name\ta_over_b\n\"x;\ty\"\t2\n", '\t', {"x;\ty", "2"}},
      {"\"a;b;c\",d\nx;y,z\n", ',', {"x;y", "z"}},              // separators inside quotes do not count
      {"a,b;c;d\n1,2;3;4\n", ';', {"1,2", "3", "4"}},              // the most frequent
      {"a;b,c\tz\n1;2,3\t4\n", ',', {"1;2", "3\t4"}},             // a tie: the comma
      {"\n\nname\n1;2\n", ',', {"1;2"}},                         // after empty lines; one cell
      {"\"h\nstill h;x;y\";z\n1;2\n", ';', {"1", "2"}},           // a quoted line break
  };
  for (const auto& c : cases) {
    std::istringstream in(c.text);
    CsvReader reader(in);
    CsvRecord r;
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(reader.separator(), c.separator) << c.text;
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(r.cells, c.second) << c.text;
  }
}

TEST(CsvReader, CountsLinesFromTheHeaderAsOneAcrossQuotedBreaksAndEmptyLines) {
  const auto records = read_all("h\n\"a\nb\"\n\n\r\nc\nd");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].line, 1u);
  EXPECT_EQ(records[1].line, 2u);
  EXPECT_EQ(records[2].line, 6u);
  EXPECT_EQ(records[3].line, 7u);
  EXPECT_EQ(records[3].cells, (Cells{"d"}));  // no line end at the end of the file
}

TEST(CsvReader, SkipsAByteOrderMarkOnlyAtTheStart) {
  const auto records = read_all("\xEF\xBB\xBFname\n\xEF\xBB\xBFx\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].cells, (Cells{"name"}));
  EXPECT_EQ(records[1].cells, (Cells{"\xEF\xBB\xBFx"}));
}

struct Refused {
  std::string text;
  std::string problem;
  std::optional<std::size_t> cell;
};

TEST(CsvReader, RefusesMalformedRecordsAndGoesOnWithTheNext) {
  const Refused cases[] = {
      {"a,\"open\nnext,1\n", "a quote opened on line 1 is not closed: it takes in the 1 row after it, to the end of the file", 1},
      {"\"two\nlines\",x\"y,\"open\nr1\n\nr3", "a quote opened on line 2 is not closed: it takes in the 3 rows after it, to the end of the file", 2},
      {"a,\"open", "a quote opened on line 1 is not closed before the end of the file", 1},
      {"\"x\"y,1\nok\n", "text after a closing quote", 0},
      {"x\"y,1\nok\n", "a quote inside a cell that is not quoted", 0},
      {std::string("a,b\0c\nok\n", 9), "a NUL byte", 1},
      {"a,\xC3\x28\nok\n", "text that is not valid UTF-8", 1},
      {"a,\xED\xA0\x80\nok\n", "text that is not valid UTF-8", 1},  // a surrogate
      {"a,\xC0\xAF\nok\n", "text that is not valid UTF-8", 1},      // an overlong form
  };
  for (const Refused& c : cases) {
    const auto records = read_all(c.text);
    ASSERT_GE(records.size(), 1u) << c.text;
    ASSERT_TRUE(records[0].problem) << c.text;
    EXPECT_EQ(*records[0].problem, c.problem) << c.text;
    EXPECT_EQ(records[0].problem_cell, c.cell) << c.text;
    if (c.problem.find("not closed") == std::string::npos) {
      ASSERT_EQ(records.size(), 2u) << c.text;
      EXPECT_EQ(records[1].cells, (Cells{"ok"}));
      EXPECT_FALSE(records[1].problem);
    }
  }
}

TEST(CsvReader, AcceptsEveryFormOfValidUtf8) {
  EXPECT_TRUE(valid_utf8("Lysozym \xC3\xA9 \xE2\x82\xAC \xF0\x9F\xA7\xAC \xEF\xBF\xBF \xF4\x8F\xBF\xBF"));
  EXPECT_FALSE(valid_utf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  // Every sequence cut short, at the end or before an ASCII byte; a stray
  // continuation byte; leads that begin no sequence.
  for (const std::string bad : {"\xC3", "\xE2", "\xE2\x82", "\xF0", "\xF0\x9F", "\xF0\x9F\xA7", "\x80", "\xBF",
                                "\xC3\xA9\xA9", "\xC1\xBF", "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
    EXPECT_FALSE(valid_utf8(bad)) << testing::PrintToString(bad);
    EXPECT_FALSE(valid_utf8("a" + bad + "z")) << testing::PrintToString(bad);
  }
}

// A stream of `size` bytes of one character, made up as it is read: the
// reader must not hold it whole.
class Repeating : public std::streambuf {
 public:
  Repeating(char c, std::size_t size, std::string tail) : c_(c), left_(size), tail_(std::move(tail)) {}

 protected:
  int_type underflow() override {
    if (left_ > 0) {
      const std::size_t n = std::min(left_, block_.size());
      block_.assign(n, c_);
      left_ -= n;
    } else if (!tail_.empty()) {
      block_ = std::move(tail_);
      tail_.clear();
    } else {
      return traits_type::eof();
    }
    setg(block_.data(), block_.data(), block_.data() + block_.size());
    return traits_type::to_int_type(block_[0]);
  }

 private:
  char c_;
  std::size_t left_;
  std::string tail_;
  std::string block_ = std::string(1 << 16, ' ');
};

TEST(CsvReader, RefusesA200MegabyteLineWithoutHoldingItAndReadsTheNextRecord) {
  Repeating source('x', 200u << 20, "\nafter,1\n");
  std::istream in(&source);
  CsvReader reader(in);
  CsvRecord r;
  ASSERT_TRUE(reader.next(r));
  ASSERT_TRUE(r.problem);
  EXPECT_EQ(*r.problem, "the line is longer than 1048576 bytes");
  EXPECT_TRUE(r.cells.empty());
  ASSERT_TRUE(reader.next(r));
  EXPECT_EQ(r.line, 2u);
  EXPECT_EQ(r.cells, (Cells{"after", "1"}));
}

TEST(CsvReader, RefusesAMillionColumns) {
  Repeating source(',', 1000000, "\nafter\n");
  std::istream in(&source);
  CsvReader reader(in);
  CsvRecord r;
  ASSERT_TRUE(reader.next(r));
  ASSERT_TRUE(r.problem);
  EXPECT_EQ(*r.problem, "more than 1024 cells");
  ASSERT_TRUE(reader.next(r));
  EXPECT_EQ(r.cells, (Cells{"after"}));
}

TEST(CsvReader, TakesExactly1024CellsAndRefusesOneMore) {
  const std::string full(kMaxCells - 1, ',');
  const auto records = read_all(full + "\n" + full + ",\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].problem);
  EXPECT_EQ(records[0].cells.size(), kMaxCells);
  ASSERT_TRUE(records[1].problem);
  EXPECT_EQ(*records[1].problem, "more than 1024 cells");
}

TEST(CsvReader, ALongQuotedCellWithLineBreaksIsSkippedAsOneRecord) {
  std::string text = "\"" + std::string(kMaxRecordBytes, 'y') + "\n,\"\"\nstill inside\",1\nnext\n";
  const auto records = read_all(text);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].problem);
  EXPECT_EQ(records[1].cells, (Cells{"next"}));
  EXPECT_EQ(records[1].line, 4u);  // Unclosed, it is named as such, not as a long line.
  const auto unclosed = read_all("\"" + std::string(kMaxRecordBytes, 'y') + "\nr\n");
  ASSERT_EQ(unclosed.size(), 1u);
  EXPECT_EQ(unclosed[0].problem, "a quote opened on line 1 is not closed: it takes in the 1 row after it, to the end of the file");
}

TEST(CsvReader, AnEmptyInputHasNoRecords) {
  EXPECT_TRUE(read_all("").empty());
  EXPECT_TRUE(read_all("\n\r\n\n").empty());
}

}  // namespace
}  // namespace triex::cli
