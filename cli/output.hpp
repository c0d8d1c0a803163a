// Where the commands' rows go and how they are written: a byte sink that
// remembers why a write failed (standard output, a string in tests, or a file
// written under a temporary name and renamed into place when complete), and
// the two row formats, CSV (RFC 4180) and a JSON array of objects.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace triex::cli {

// Bytes out. write() returns false once a write has failed; error() is then
// the errno value of the first failure, and nothing is written after it.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool write(std::string_view bytes) = 0;
  int error() const { return error_; }

 protected:
  void fail(int error_number) {
    if (error_ == 0) error_ = error_number;
  }

 private:
  int error_ = 0;
};

// A file descriptor, through write(2) (partial writes continued, EINTR retried).
class DescriptorSink final : public Sink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override;

 private:
  int fd_;
};

// A string, for tests and for output built before it is sent.
class StringSink final : public Sink {
 public:
  bool write(std::string_view bytes) override {
    text_.append(bytes);
    return true;
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// A file written as FILE.tmp-XXXXXX in the same folder and renamed to FILE by
// commit(), so that FILE is either its old self or complete. A new FILE gets
// the mode of any new file (0666 less the umask); a FILE that exists keeps
// its permission bits (set-user-ID, set-group-ID and sticky bits are not
// carried over), though not its owner when another user owns it. Without a
// commit the temporary file is removed, also when SIGINT, SIGTERM, SIGHUP or
// SIGQUIT ends the process meanwhile.
class ReplacingFile final : public Sink {
 public:
  // Opens the temporary file; on failure error() is set and open() false.
  explicit ReplacingFile(std::string path);
  ~ReplacingFile() override;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool open() const { return fd_ >= 0; }
  bool write(std::string_view bytes) override;
  // Flushes to disk, closes and renames into place; false (with error()) when any step failed.
  bool commit();

 private:
  void discard();
  std::string path_, temporary_;
  int fd_ = -1;
};

// One cell of a row: empty, a number, a count or a text.
using Cell = std::variant<std::monostate, double, std::int64_t, std::string>;

enum class Format { Csv, Json };

// Writes the header (CSV) or the opening bracket (JSON) on construction,
// rows one by one, and the end on finish(). Rows are built in a buffer and
// handed to the sink in blocks; every number is written as the shortest text
// that reads back to the same double (non-finite ones as "inf", "-inf" or
// "nan", strings in JSON). CSV cells are separated by commas, or by
// semicolons with a decimal comma in every number ("22,5") as spreadsheets
// in many locales read them. JSON keys are the column names, made unique: an
// empty name becomes "column N" (N counted from 1), a repeated one gets
// " (2)", " (3)", ...
class RowWriter {
 public:
  RowWriter(Sink& sink, Format format, std::vector<std::string> columns, char separator = ',');
  void row(std::span<const Cell> cells);
  // Sends what is buffered; false when the sink has failed.
  bool flush();
  bool finish();
  const std::vector<std::string>& columns() const { return columns_; }

 private:
  void csv_text(std::string_view text);
  void json_text(std::string_view text);
  void number(double value, bool quote_non_finite);

  Sink& sink_;
  Format format_;
  char separator_;
  std::vector<std::string> columns_;
  std::vector<std::string> json_keys_;  // the column names as JSON strings, with the colon
  std::string buffer_;
  bool first_row_ = true;
};

}  // namespace triex::cli
