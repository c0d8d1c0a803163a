// triex batch: one molecule a row of a CSV file, the dialogue's report for
// each as the columns of its output row.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "cli/batch.hpp"
#include "cli/command_runs.hpp"
#include "cli/csv_reader.hpp"
#include "cli/destination.hpp"
#include "cli/progress.hpp"
#include "cli/rounds.hpp"
#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex::cli {
namespace {

// Text from the file as it appears in a message: at most 80 bytes, cut
// between characters, control characters shown as '?'.
std::string shown(std::string_view text) { return with_controls_shown(cut_between_characters(text, 80)); }

// "FILE:LINE: column "NAME": what is wrong", or without the column.
void report(std::ostream& err, const std::string& file, std::size_t line, const ColumnProblem& problem) {
  err << shown(file) << ':' << line << ": ";
  if (!problem.column.empty()) err << "column \"" << shown(problem.column) << "\": ";
  err << problem.what << '\n';
}

// The problem of a record the reader refused, naming the column when it can.
ColumnProblem record_problem(const CsvRecord& record, const std::vector<std::string>& header) {
  std::string column;
  if (record.problem_cell) {
    const std::size_t i = *record.problem_cell;
    column = i < header.size() ? header[i] : "column " + std::to_string(i + 1);
  }
  return {column, *record.problem};
}

// Records read per round, then computed by all threads and written in order.
std::size_t round_size(Method method, unsigned threads) {
  return method == Method::Exact ? 4096 : std::size_t{8} * std::max(1u, threads);
}

// The most bytes of cells read in one round (rows are copied once into the output).
constexpr std::size_t kRoundBytes = std::size_t{4} << 20;

struct Row {
  std::size_t line = 0;
  BatchRow result;
};

// The CSV input: the file, or standard input for "-". A read that failed is
// not the end of the file: the rows would be incomplete, so it ends the
// command (check()).
class BatchInput {
 public:
  BatchInput(const std::string& path, Streams& streams) : path_(path), streams_(streams) {
    if (standard_input()) return;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) errno = EISDIR;
    else file_.open(path, std::ios::binary);
    if (!file_.is_open()) cannot_read(shown(path), errno);
  }
  std::istream& stream() { return standard_input() ? streams_.in : file_; }
  // The file as rows name it.
  std::string name() const { return standard_input() ? "<stdin>" : path_; }
  void check() const {
    const int error_number = standard_input() ? (streams_.read_error ? streams_.read_error(streams_.in) : 0)
                                              : (file_.bad() ? EIO : 0);
    if (error_number != 0) cannot_read(standard_input() ? "standard input" : shown(path_), error_number);
  }

 private:
  bool standard_input() const { return path_ == "-"; }
  std::string path_;
  Streams& streams_;
  std::ifstream file_;
};

// The header decides the columns: the layout, or the problem that refuses
// the file whole.
std::optional<ColumnProblem> read_header(CsvReader& reader, CsvRecord& header, BatchLayout& layout) {
  if (!reader.next(header)) {
    header.line = 1;
    return ColumnProblem{"", "the file is empty: a header row naming the columns is needed"};
  }
  if (header.problem) return record_problem(header, {});  // the header's cells are not names yet: "column N"
  return read_layout(header.cells, result_columns(), layout);
}

// The rows after the header, a round at a time: read, computed by all
// threads, then written in order with a line on standard error for each
// refused or plainly wrong row.
class RowRounds {
 public:
  RowRounds(const BatchLayout& layout, const CommonOptions& common, std::ostream& err, std::string file,
            bool decimal_comma)
      : layout_(layout), method_(common.method), threads_(common.threads), err_(err), file_(std::move(file)),
        decimal_comma_(decimal_comma), records_(round_size(method_, threads_)), rows_(records_.size()) {}

  // Reads the next round; false when the input has ended and nothing was read.
  bool read(CsvReader& reader);
  void compute();
  void write(RowWriter& writer, Progress& progress);

  std::size_t done() const { return done_; }
  std::size_t refused() const { return refused_; }
  const QuadratureTally& tally() const { return tally_; }

 private:
  const BatchLayout& layout_;
  Method method_;
  unsigned threads_;
  std::ostream& err_;
  std::string file_;
  bool decimal_comma_;
  std::vector<CsvRecord> records_;
  std::vector<Row> rows_;
  std::size_t n_ = 0, done_ = 0, refused_ = 0;
  bool more_ = true;
  QuadratureTally tally_;
};

// A round ends at the round's size in records or kRoundBytes of cells,
// whichever comes first: long rows (up to the reader's 1 MiB each) keep
// memory bounded too.
bool RowRounds::read(CsvReader& reader) {
  if (!more_) return false;
  std::size_t bytes = 0;
  n_ = 0;
  while (n_ < records_.size() && bytes < kRoundBytes && (more_ = reader.next(records_[n_]))) {
    if (!records_[n_].problem && blank_row(records_[n_].cells)) continue;
    for (const std::string& cell : records_[n_].cells) bytes += cell.size();
    ++n_;
  }
  return true;
}

void RowRounds::compute() {
  interleaved_for(n_, threads_, [&](std::size_t i) {
    rows_[i].line = records_[i].line;
    if (records_[i].problem) {
      rows_[i].result = BatchRow{{}, record_problem(records_[i], layout_.header), {}};
    } else {
      rows_[i].result = compute_row(layout_, records_[i].cells, method_, decimal_comma_);
    }
  });
}

void RowRounds::write(RowWriter& writer, Progress& progress) {
  for (std::size_t i = 0; i < n_; ++i) {
    const BatchRow& row = rows_[i].result;
    const bool wrong = !row.problem && plainly_wrong(row.shape, method_);
    if (row.problem || wrong) progress.clear();
    if (row.problem) {
      report(err_, file_, rows_[i].line, *row.problem);
      ++refused_;
      continue;
    }
    writer.row(row.cells);
    tally_.add(row.shape, method_);
    if (wrong)
      err_ << shown(file_) << ':' << rows_[i].line << ": ured_quadrature = " << shortest(row.shape.quadrature.ured)
           << " is plainly wrong (" << plainly_wrong_rule() << ")"
           << (method_ == Method::Quadrature ? ", and so is what the row computes from it\n" : "\n");
  }
  writer.flush();
  done_ += n_;
  progress.update(done_);
}

}  // namespace

Outcome run_batch(const BatchOptions& options, const CommonOptions& common, Streams& streams) {
  std::ostream& err = streams.err;
  BatchInput input(options.file, streams);
  CsvReader reader(input.stream());
  CsvRecord header;
  BatchLayout layout;
  const std::optional<ColumnProblem> header_problem = read_header(reader, header, layout);
  input.check();
  if (header_problem) {
    report(err, input.name(), header.line, *header_problem);
    return Outcome::Refused;
  }
  for (const std::string& note : layout.notes)
    err << shown(input.name()) << ':' << header.line << ": note: " << note << '\n';

  Destination destination(common.output, streams.out);
  RowWriter writer(destination.sink(), common.format, output_columns(layout, common.method), options.output_separator);
  Progress progress(err, streams.err_is_terminal, "batch", 0);
  // Spreadsheets that separate by semicolons write a decimal comma.
  RowRounds rounds(layout, common, err, input.name(), reader.separator() == ';');
  while (destination.good() && rounds.read(reader)) {
    rounds.compute();
    rounds.write(writer, progress);
  }
  input.check();  // before the -o file is put in place
  writer.finish();
  err.flush();
  destination.finish();
  progress.clear();
  const Outcome quadrature = quadrature_status(err, "batch", rounds.tally());
  return rounds.refused() > 0 ? Outcome::Refused : quadrature;
}

}  // namespace triex::cli
