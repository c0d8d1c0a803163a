// Reads CSV records (RFC 4180) from a stream in bounded memory: cells
// separated by commas, semicolons or tabs (as spreadsheets export them in
// different locales; the header line tells which), records by LF or CRLF, a
// cell in double quotes may hold separators, line breaks and doubled quotes.
// A record longer than kMaxRecordBytes or with more than kMaxCells cells is
// skipped to its end and refused, as is one with a NUL byte, invalid UTF-8,
// an unclosed quote or text after a closing quote; the reader then goes on
// with the next record. Empty lines are skipped; a UTF-8 byte-order mark at
// the start is ignored.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "support/safe_text.hpp"

namespace triex::cli {

inline constexpr std::size_t kMaxRecordBytes = 1 << 20;
inline constexpr std::size_t kMaxCells = 1024;

struct CsvRecord {
  std::size_t line = 0;  // the line it starts on, the first line being 1
  std::vector<std::string> cells;
  // Why the record cannot be read, and the 0-based cell it concerns when there is one.
  std::optional<std::string> problem;
  std::optional<std::size_t> problem_cell;
};

class CsvReader {
 public:
  // With separator 0 the first record (the header) decides: of comma,
  // semicolon and tab, the one it has most often outside quotes, the comma
  // on a tie.
  explicit CsvReader(std::istream& in, char separator = 0) : in_(*in.rdbuf()), separator_(separator) {}
  // The next record; false at the end of the input.
  bool next(CsvRecord& record);
  // The separator of the cells; 0 until the first record has been read.
  char separator() const { return separator_; }

 private:
  int bump();
  int get();
  int peek();
  void detect_separator();
  void refuse(CsvRecord& record, std::string what, std::optional<std::size_t> cell);
  void refuse_unclosed_quote(CsvRecord& record, std::size_t cell);
  bool skip_to_record_end(bool in_quotes);

  // The quotes of the cell being read: inside them, or past their close.
  struct Quotes {
    bool open = false, closed = false;
  };
  void skip_byte_order_mark(CsvRecord& record);
  void skip_empty_lines(CsvRecord& record);
  bool read_cells(CsvRecord& record);
  void read_quoted(int c, std::string& cell, Quotes& quotes);
  void read_unquoted(int c, CsvRecord& record, Quotes& quotes);
  void skip_long_record(CsvRecord& record, int c, bool quoted, std::size_t cell);
  void refuse_bad_bytes(CsvRecord& record);

  std::streambuf& in_;
  char separator_;
  std::string ahead_;          // the header line, read ahead to find the separator, then read again
  std::size_t ahead_read_ = 0;
  std::size_t line_ = 1;
  std::size_t quote_line_ = 0;  // the line on which the last quote opened
  int last_ = 0;                // the last character read
  bool started_ = false;
};

}  // namespace triex::cli
