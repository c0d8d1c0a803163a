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

}  // namespace

int run_batch(const BatchOptions& options, const CommonOptions& common, Streams& streams) {
  std::ostream& err = streams.err;
  const bool standard_input = options.file == "-";
  const std::string file = standard_input ? "<stdin>" : options.file;
  std::ifstream stream;
  if (!standard_input) {
    struct stat info;
    if (::stat(options.file.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) errno = EISDIR;
    else stream.open(options.file, std::ios::binary);
    if (!stream.is_open()) {
      err << "triex batch: cannot read " << shown(options.file) << ": " << std::strerror(errno) << '\n';
      return err ? kStatusRefused : kStatusWriteFailed;
    }
  }
  CsvReader reader(standard_input ? streams.in : stream);
  // A read that failed is not the end of the file: the rows would be incomplete.
  const auto input_failure = [&] {
    const int error_number = standard_input ? (streams.read_error ? streams.read_error(streams.in) : 0)
                                            : (stream.bad() ? EIO : 0);
    if (error_number == 0) return 0;
    err << "triex batch: cannot read " << (standard_input ? "standard input" : shown(options.file)) << ": "
        << std::strerror(error_number) << '\n';
    err.flush();
    return err ? kStatusRefused : kStatusWriteFailed;
  };

  // The header decides the columns; a file without a usable one is refused whole.
  CsvRecord header;
  BatchLayout layout;
  std::optional<ColumnProblem> header_problem;
  if (!reader.next(header)) {
    header.line = 1;
    header_problem = ColumnProblem{"", "the file is empty: a header row naming the columns is needed"};
  } else if (header.problem) {
    header_problem = record_problem(header, {});  // the header's cells are not names yet: "column N"
  } else {
    header_problem = read_layout(header.cells, result_columns(), layout);
  }
  if (const int status = input_failure(); status != 0) return status;
  if (header_problem) {
    report(err, file, header.line, *header_problem);
    err.flush();
    return err ? kStatusRefused : kStatusWriteFailed;
  }

  for (const std::string& note : layout.notes) err << shown(file) << ':' << header.line << ": note: " << note << '\n';
  // Spreadsheets that separate by semicolons write a decimal comma.
  const bool decimal_comma = reader.separator() == ';';

  Destination destination(common.output, streams.out);
  if (!destination.good()) return destination.report_failure(err);
  RowWriter writer(destination.sink(), common.format, output_columns(layout, common.method), options.output_separator);

  Progress progress(err, streams.err_is_terminal, "batch", 0);
  const std::size_t round = round_size(common.method, common.threads);
  std::vector<CsvRecord> records(round);
  std::vector<Row> rows(round);
  std::size_t done = 0, refused = 0;
  QuadratureTally tally;
  bool more = true;
  while (more && destination.good()) {
    // A round ends at `round` records or kRoundBytes of cells, whichever comes
    // first: long rows (up to the reader's 1 MiB each) keep memory bounded too.
    std::size_t n = 0, bytes = 0;
    while (n < round && bytes < kRoundBytes && (more = reader.next(records[n]))) {
      if (!records[n].problem && blank_row(records[n].cells)) continue;
      for (const std::string& cell : records[n].cells) bytes += cell.size();
      ++n;
    }
    interleaved_for(n, common.threads, [&](std::size_t i) {
      rows[i].line = records[i].line;
      if (records[i].problem) {
        rows[i].result = BatchRow{{}, record_problem(records[i], layout.header), {}};
      } else {
        rows[i].result = compute_row(layout, records[i].cells, common.method, decimal_comma);
      }
    });
    for (std::size_t i = 0; i < n; ++i) {
      const BatchRow& row = rows[i].result;
      const bool wrong = !row.problem && plainly_wrong(row.shape, common.method);
      if (row.problem || wrong) progress.clear();
      if (row.problem) {
        report(err, file, rows[i].line, *row.problem);
        ++refused;
        continue;
      }
      writer.row(row.cells);
      tally.add(row.shape, common.method);
      if (wrong)
        err << shown(file) << ':' << rows[i].line << ": ured_quadrature = " << shortest(row.shape.quadrature.ured)
            << " is plainly wrong (" << plainly_wrong_rule() << ")"
            << (common.method == Method::Quadrature ? ", and so is what the row computes from it\n" : "\n");
    }
    writer.flush();
    done += n;
    progress.update(done);
  }
  if (const int status = input_failure(); status != 0) return status;  // the -o file is not put in place
  writer.finish();
  err.flush();
  if (const int status = destination.finish(err); status != 0) return status;
  progress.clear();
  const int quadrature = quadrature_status(err, "batch", tally);
  if (!err) return kStatusWriteFailed;
  return refused > 0 ? kStatusRefused : quadrature;
}

}  // namespace triex::cli
