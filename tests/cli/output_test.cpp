#include "cli/output.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

namespace triex::cli {
namespace {

std::string written(Format format, std::vector<std::string> columns, std::vector<std::vector<Cell>> rows) {
  StringSink sink;
  RowWriter writer(sink, format, std::move(columns));
  for (const auto& row : rows) writer.row(row);
  writer.finish();
  return sink.text();
}

TEST(CsvOutput, QuotesOnlyCellsThatNeedItAndDoublesTheirQuotes) {
  const std::string text = written(Format::Csv, {"name", "x"},
                                   {{std::string("plain"), 1.0},
                                    {std::string("a, b"), 2.0},
                                    {std::string("say \"hi\""), 3.0},
                                    {std::string("two\nlines"), 4.0},
                                    {std::string(" padded"), std::monostate{}},
                                    {std::string("a; b"), 5.0},
                                    {std::string("x\ty"), 6.0},
                                    {std::string("Lysozym \xC3\xA9"), std::int64_t{7}}});
  EXPECT_EQ(text,
            "name,x\nplain,1\n\"a, b\",2\n\"say \"\"hi\"\"\",3\n\"two\nlines\",4\n\" padded\",\n\"a; b\",5\n\"x\ty\",6\n"
            "Lysozym \xC3\xA9,7\n");
}

TEST(NumberOutput, EveryNumberReadsBackToTheSameDouble) {
  const double values[] = {0.1,
                           1.0 / 3,
                           -0.0,
                           5e-324,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           10.173618525404557,
                           6.0221367e+23,
                           123456789012345680.0};
  std::vector<std::vector<Cell>> rows;
  for (const double v : values) rows.push_back({v});
  const std::string csv = written(Format::Csv, {"x"}, rows);
  const std::string json = written(Format::Json, {"x"}, rows);
  const nlohmann::json parsed = nlohmann::json::parse(json);
  std::size_t start = csv.find('\n') + 1;
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const std::size_t end = csv.find('\n', start);
    const std::string cell = csv.substr(start, end - start);
    start = end + 1;
    double back = 0;
    std::from_chars(cell.data(), cell.data() + cell.size(), back);
    EXPECT_EQ(std::signbit(back), std::signbit(values[i])) << cell;
    EXPECT_EQ(back, values[i]) << cell;
    EXPECT_EQ(parsed[i]["x"].get<double>(), values[i]);
    // Shortest: one digit fewer would not read back (checked by the C library's %.*g).
    char shorter[400];
    std::string mantissa;  // the significant digits, without leading or trailing zeros
    for (char c : cell.substr(0, cell.find('e')))
      if (c >= '0' && c <= '9' && (c != '0' || !mantissa.empty())) mantissa += c;
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    const int digits = static_cast<int>(mantissa.size());
    if (digits > 1 && values[i] != 0) {
      std::snprintf(shorter, sizeof shorter, "%.*g", digits - 1, values[i]);
      EXPECT_NE(std::strtod(shorter, nullptr), values[i]) << cell << " is not the shortest";
    }
  }
}

TEST(JsonOutput, OneArrayOfObjectsWithTheSameKeysEscapedByTheLibrary) {
  const std::string json = written(Format::Json, {"name", "x", "n", "empty"},
                                   {{std::string("a \"quoted\", \\ name\n\x01"), 1.5, std::int64_t{3}, std::monostate{}},
                                    {std::string("\xC3\xA9\xE2\x82\xAC"), std::numeric_limits<double>::infinity(),
                                     std::int64_t{-1}, std::string("")}});
  const nlohmann::json parsed = nlohmann::json::parse(json);
  ASSERT_TRUE(parsed.is_array());
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0]["name"], "a \"quoted\", \\ name\n\x01");
  EXPECT_EQ(parsed[0]["x"], 1.5);
  EXPECT_EQ(parsed[0]["n"], 3);
  EXPECT_FALSE(parsed[0].contains("empty"));  // a missing value has no key
  EXPECT_EQ(parsed[1]["name"], "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(parsed[1]["x"], "inf");  // JSON has no infinity: the text that reads back as one
  EXPECT_EQ(written(Format::Json, {"x"}, {}), "[]\n");
}

TEST(JsonOutput, KeysAreUniqueWhenColumnNamesAreEmptyOrRepeated) {
  const auto parsed = nlohmann::json::parse(written(Format::Json, {"note", "", "note", "column 2", "note"},
                                                    {{std::string("a"), 1.0, 2.0, 3.0, 4.0}}));
  EXPECT_EQ(parsed[0], (nlohmann::json{{"note", "a"}, {"column 2", 1.0}, {"note (2)", 2.0}, {"column 2 (2)", 3.0},
                                       {"note (3)", 4.0}}));
}

TEST(JsonOutput, InvalidUtf8IsReplacedNotWritten) {
  const std::string json = written(Format::Json, {"name"}, {{std::string("a\xFFz")}});
  EXPECT_EQ(nlohmann::json::parse(json)[0]["name"], "a\xEF\xBF\xBDz");
}

std::filesystem::path scratch_dir() {
  const auto dir = std::filesystem::temp_directory_path() / ("triex_output_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ReplacingFile, TheTargetKeepsItsOldContentsUntilCommitAndNoTemporaryIsLeft) {
  const auto dir = scratch_dir();
  const auto target = dir / "result.csv";
  std::ofstream(target) << "old\n";
  {
    ReplacingFile file(target.string());
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write("new\n"));
    EXPECT_EQ(contents(target), "old\n");
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(contents(target), "new\n");
  {
    ReplacingFile abandoned(target.string());
    abandoned.write("half");
  }  // destroyed without commit: as a run that failed
  EXPECT_EQ(contents(target), "new\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  std::filesystem::remove_all(dir);
}

TEST(ReplacingFile, ANewFileHasTheModeTheUmaskGivesAndAnOldOneKeepsItsOwn) {
  const auto dir = scratch_dir();
  const auto mode = [](const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  };
  const mode_t previous = ::umask(027);
  for (const char* name : {"new.csv", "link.csv"}) {
    ReplacingFile file((dir / name).string());
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(mode(dir / "new.csv"), 0640u);
  ::chmod((dir / "new.csv").c_str(), 04751);
  std::filesystem::remove(dir / "link.csv");
  std::filesystem::create_symlink("new.csv", dir / "link.csv");
  for (const char* name : {"new.csv", "link.csv"}) {
    ReplacingFile file((dir / name).string());
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(mode(dir / "new.csv"), 0751u) << name;  // no set-user-ID bit carried over
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.csv"));
  ::umask(previous);
  std::filesystem::remove_all(dir);
}

TEST(ReplacingFile, ASignalThatEndsTheRunLeavesNeitherTheFileNorItsTemporary) {
  const auto dir = scratch_dir();
  const auto target = dir / "interrupted.csv";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ReplacingFile file(target.string());
    file.write("half a table");
    raise(SIGINT);
    _exit(0);  // not reached
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);  // ended by the signal, as without the handler
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 0);
  std::filesystem::remove_all(dir);
}

TEST(ReplacingFile, AFolderThatDoesNotExistAndAFullDeviceReportTheirErrors) {
  ReplacingFile missing((scratch_dir() / "no" / "such" / "x.csv").string());
  EXPECT_FALSE(missing.open());
  EXPECT_EQ(missing.error(), ENOENT);
  std::filesystem::remove_all(scratch_dir());

  ReplacingFile full("/dev/full");  // a device is written in place, never replaced
  ASSERT_TRUE(full.open());
  EXPECT_FALSE(full.write("x"));
  EXPECT_EQ(full.error(), ENOSPC);
  EXPECT_FALSE(full.commit());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(DescriptorSink, AClosedDescriptorFailsWithItsReason) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[1]);
  DescriptorSink sink(fds[1]);
  EXPECT_FALSE(sink.write("x"));
  EXPECT_EQ(sink.error(), EBADF);
  EXPECT_FALSE(sink.write("y"));  // nothing after the first failure
  close(fds[0]);
}

}  // namespace
}  // namespace triex::cli
