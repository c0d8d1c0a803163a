// triex ured and triex table: the reduced excluded volume of one shape, and
// of a grid of axial ratios.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "cli/command_runs.hpp"
#include "cli/destination.hpp"
#include "cli/progress.hpp"
#include "cli/rounds.hpp"
#include "support/refusal.hpp"

namespace triex::cli {
namespace {

// Rows computed per round: a round is computed by all threads, then written
// in order, so memory stays bounded and the progress line moves. A quadrature
// takes about a millisecond, at most a few hundred: 64 a thread keep the
// threads evenly loaded without a long wait for the progress line.
std::size_t round_size(Method method, unsigned threads) {
  return method == Method::Exact ? std::size_t{1} << 16 : std::size_t{64} * std::max(1u, threads);
}

}  // namespace

Outcome run_ured(const UredOptions& options, const CommonOptions& common, Streams& streams) {
  const bool ratios = !options.ratios.empty();
  if (ratios == !options.axes.empty())
    refuse(ratios ? "give the semi-axes A B C or --ratios AB BC, not both" : "give the semi-axes A B C, or --ratios AB BC");
  if (ratios ? options.ratios.size() != 2 : options.axes.size() != 3)
    refuse(ratios ? "--ratios takes two numbers, a/b and b/c" : "give three semi-axes A B C");
  const std::vector<double> shape = shape_numbers(ratios ? options.ratios : options.axes, ratios);
  const ShapeValues values = ratios ? evaluate_ratios(shape[0], shape[1], common.method)
                                    : evaluate_axes(shape[0], shape[1], shape[2], common.method);
  std::vector<std::string> columns = ratios ? std::vector<std::string>{"a_over_b", "b_over_c"}
                                            : std::vector<std::string>{"a_angstrom", "b_angstrom", "c_angstrom"};
  for (std::string& column : method_columns(common.method)) columns.push_back(std::move(column));

  Destination destination(common.output, streams.out);
  RowWriter writer(destination.sink(), common.format, columns);
  std::vector<Cell> cells(shape.begin(), shape.end());
  method_cells(values, common.method, cells);
  writer.row(cells);
  writer.finish();
  destination.finish();
  QuadratureTally tally;
  tally.add(values, common.method);
  return quadrature_status(streams.err, "ured", tally);
}

Outcome run_table(const TableOptions& options, const CommonOptions& common, Streams& streams) {
  const std::vector<double> ab = grid_values(parse_grid(options.ab, "--ab"), options.spacing);
  const std::vector<double> bc = grid_values(parse_grid(options.bc, "--bc"), options.spacing);
  // a = (a/b)(b/c) must stay a positive finite number over the whole grid;
  // the products are monotone in each ratio, so the corners decide.
  const auto [ab_low, ab_high] = std::minmax_element(ab.begin(), ab.end());
  const auto [bc_low, bc_high] = std::minmax_element(bc.begin(), bc.end());
  for (const double a : {*ab_low * *bc_low, *ab_high * *bc_high})
    if (const auto refused = not_positive(Field::a_over_b, a, kDerivedA))
      refuse(std::string(refused->what()) + " at a corner of the grid");

  std::vector<std::string> columns = {"a_over_b", "b_over_c"};
  for (std::string& column : method_columns(common.method)) columns.push_back(std::move(column));
  Destination destination(common.output, streams.out);
  RowWriter writer(destination.sink(), common.format, columns);

  const std::size_t count = ab.size() * bc.size();
  const std::size_t round = round_size(common.method, common.threads);
  Progress progress(streams.err, streams.err_is_terminal, "table", count);
  std::vector<ShapeValues> results;
  std::vector<Cell> cells;
  QuadratureTally tally;
  for (std::size_t start = 0; start < count && destination.good(); start += round) {
    const std::size_t n = std::min(round, count - start);
    results.resize(n);
    // a/b is the outer loop of the rows, b/c the inner.
    interleaved_for(n, common.threads, [&](std::size_t i) {
      const std::size_t k = start + i;
      results[i] = evaluate_ratios(ab[k / bc.size()], bc[k % bc.size()], common.method);
    });
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t k = start + i;
      cells.assign({ab[k / bc.size()], bc[k % bc.size()]});
      method_cells(results[i], common.method, cells);
      writer.row(cells);
      tally.add(results[i], common.method);
    }
    writer.flush();
    progress.update(start + n);
  }
  writer.finish();
  destination.finish();
  progress.clear();
  return quadrature_status(streams.err, "table", tally);
}

}  // namespace triex::cli
