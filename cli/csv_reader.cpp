#include "cli/csv_reader.hpp"

#include <iterator>

#include "support/safe_text.hpp"

namespace triex::cli {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();

}  // namespace

int CsvReader::bump() {
  if (ahead_read_ < ahead_.size()) return static_cast<unsigned char>(ahead_[ahead_read_++]);
  if (!ahead_.empty()) {  // read again whole: its memory goes
    std::string().swap(ahead_);
    ahead_read_ = 0;
  }
  return in_.sbumpc();
}

int CsvReader::get() {
  const int c = bump();
  if (c == '\n') ++line_;
  if (c != kEnd) last_ = c;
  return c;
}

int CsvReader::peek() {
  return ahead_read_ < ahead_.size() ? static_cast<unsigned char>(ahead_[ahead_read_]) : in_.sgetc();
}

// Reads the header line ahead (to its end, or one byte past the longest
// record) and counts its separators outside quotes; get() reads it again.
void CsvReader::detect_separator() {
  constexpr char kCandidates[] = {',', ';', '\t'};  // the comma first, for a tie
  std::size_t count[std::size(kCandidates)] = {};
  bool quoted = false;
  for (int c; ahead_.size() <= kMaxRecordBytes && (c = in_.sbumpc()) != kEnd;) {
    ahead_ += static_cast<char>(c);
    if (c == '"') quoted = !quoted;  // a doubled quote toggles twice
    else if (c == '\n' && !quoted) break;
    for (std::size_t k = 0; k < std::size(kCandidates); ++k)
      if (!quoted && c == kCandidates[k]) ++count[k];
  }
  std::size_t best = 0;
  for (std::size_t k = 1; k < std::size(kCandidates); ++k)
    if (count[k] > count[best]) best = k;
  separator_ = kCandidates[best];
}

void CsvReader::refuse(CsvRecord& record, std::string what, std::optional<std::size_t> cell) {
  if (record.problem) return;  // the first problem is the one reported
  record.problem = std::move(what);
  record.problem_cell = cell;
}

// An unclosed quote takes every line after it into its cell: the message
// names the line it opened on and how many rows it took, the usual trace of
// a stray quote in a spreadsheet's export.
void CsvReader::refuse_unclosed_quote(CsvRecord& record, std::size_t cell) {
  // The lines begun after the quote's; a line end at the very end begins none.
  const std::size_t taken = line_ - quote_line_ - (last_ == '\n' ? 1 : 0);
  std::string what = "a quote opened on line " + std::to_string(quote_line_) + " is not closed";
  what += taken == 0 ? " before the end of the file"
                     : ": it takes in the " + std::to_string(taken) + (taken == 1 ? " row" : " rows") +
                           " after it, to the end of the file";
  record.problem.reset();  // this explains any other problem of the record
  refuse(record, std::move(what), cell);
}

// Reads on to the end of the record, keeping nothing; false when the input
// ends inside quotes.
bool CsvReader::skip_to_record_end(bool in_quotes) {
  for (int c; (c = get()) != kEnd;) {
    if (c == '"') {
      in_quotes = !in_quotes;  // a doubled quote toggles twice
      if (in_quotes) quote_line_ = line_;
    } else if (c == '\n' && !in_quotes) {
      return true;
    }
  }
  return !in_quotes;
}

// A byte-order mark, as spreadsheets write before UTF-8 text (nothing is read ahead yet).
void CsvReader::skip_byte_order_mark(CsvRecord& record) {
  const int mark = triex::skip_byte_order_mark(in_);
  if (mark != 0 && mark != static_cast<int>(std::size(kByteOrderMark)))
    refuse(record, "the file starts with an incomplete byte-order mark", std::nullopt);
}

// Empty lines between records are skipped. A lone CR is not a line end: it
// starts a record whose first cell holds it.
void CsvReader::skip_empty_lines(CsvRecord& record) {
  for (;;) {
    if (peek() == '\r') {
      bump();
      if (peek() != '\n') {
        record.line = line_;
        record.cells.emplace_back("\r");
        return;
      }
    }
    if (peek() != '\n') return;
    get();
  }
}

// A record longer than kMaxRecordBytes: refused and read on to its end, its
// cells dropped. `c` is not part of the record yet: it may itself end it, or
// open or close a quote.
void CsvReader::skip_long_record(CsvRecord& record, int c, bool quoted, std::size_t cell) {
  refuse(record, "the line is longer than " + std::to_string(kMaxRecordBytes) + " bytes", std::nullopt);
  if (c == '"' && !quoted) quote_line_ = line_;
  if ((quoted || c != '\n') && !skip_to_record_end(quoted != (c == '"'))) refuse_unclosed_quote(record, cell);
  record.cells.clear();
}

// A character inside quotes: a doubled quote stands for one, a single one closes them.
void CsvReader::read_quoted(int c, std::string& cell, Quotes& quotes) {
  if (c != '"') {
    cell += static_cast<char>(c);
  } else if (peek() == '"') {
    bump();
    cell += '"';
  } else {
    quotes.open = false;
    quotes.closed = true;
  }
}

// A character outside quotes, other than a separator or a line end.
void CsvReader::read_unquoted(int c, CsvRecord& record, Quotes& quotes) {
  std::string& cell = record.cells.back();
  const std::size_t index = record.cells.size() - 1;
  if (c == '\r' && peek() == '\n') return;  // CRLF ends the record at the LF
  if (c == '"') {
    if (cell.empty() && !quotes.closed) {
      quotes.open = true;
      quote_line_ = line_;
      return;
    }
    refuse(record, quotes.closed ? "text after a closing quote" : "a quote inside a cell that is not quoted", index);
  } else if (quotes.closed) {
    refuse(record, "text after a closing quote", index);
  }
  cell += static_cast<char>(c);
}

// Reads the cells to the end of the record; false when it was refused for its
// length or its number of cells (and skipped to its end, its cells dropped).
bool CsvReader::read_cells(CsvRecord& record) {
  std::size_t bytes = 0;
  Quotes quotes;
  for (;;) {
    const int c = get();
    if (c == kEnd) {
      if (quotes.open) refuse_unclosed_quote(record, record.cells.size() - 1);
      return true;
    }
    if (++bytes > kMaxRecordBytes) {
      skip_long_record(record, c, quotes.open, record.cells.size() - 1);
      return false;
    }
    if (quotes.open) {
      read_quoted(c, record.cells.back(), quotes);
    } else if (c == separator_) {
      if (record.cells.size() == kMaxCells) {
        refuse(record, "more than " + std::to_string(kMaxCells) + " cells", std::nullopt);
        skip_to_record_end(false);
        record.cells.clear();
        return false;
      }
      record.cells.emplace_back();
      quotes.closed = false;
    } else if (c == '\n') {
      return true;
    } else {
      read_unquoted(c, record, quotes);
    }
  }
}

void CsvReader::refuse_bad_bytes(CsvRecord& record) {
  for (std::size_t i = 0; i < record.cells.size(); ++i) {
    const std::string& cell = record.cells[i];
    if (cell.find('\0') != std::string::npos) refuse(record, "a NUL byte", i);
    else if (!valid_utf8(cell)) refuse(record, "text that is not valid UTF-8", i);
  }
}

bool CsvReader::next(CsvRecord& record) {
  record = CsvRecord{};
  if (!started_) {
    started_ = true;
    skip_byte_order_mark(record);
  }
  skip_empty_lines(record);
  if (separator_ == 0) detect_separator();
  if (peek() == kEnd && record.cells.empty() && !record.problem) return false;
  record.line = line_;
  if (record.cells.empty()) record.cells.emplace_back();
  if (read_cells(record)) refuse_bad_bytes(record);
  return true;
}

}  // namespace triex::cli
