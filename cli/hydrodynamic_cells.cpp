#include "cli/hydrodynamic_cells.hpp"

#include <optional>

#include "api/result_columns.hpp"

namespace triex::cli {

namespace {
// The predicted measurements but the last, B(ex): rows with the report's
// quantities have it already, and triex shape adds it after them.
constexpr std::size_t kMeasured = kPredictionColumns.size() - 1;
}  // namespace

const std::vector<std::string>& shape_factor_columns() {
  static const std::vector<std::string> columns = shape_factor_column_names();
  return columns;
}

void shape_factor_cells(const ShapeFactors& f, std::vector<Cell>& cells) {
  for (const double x : shape_factor_values(f)) cells.emplace_back(x);
}

const std::vector<std::string>& prediction_columns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kMeasured; ++i) names.emplace_back(kPredictionColumns[i].name);
    return names;
  }();
  return columns;
}

void prediction_cells(const Predictions& p, std::vector<Cell>& cells) {
  for (std::size_t i = 0; i < kMeasured; ++i) {
    // An empty cell for a quantity whose inputs are missing.
    if (const std::optional<double> value = kPredictionColumns[i].value(p)) cells.emplace_back(*value);
    else cells.emplace_back(std::monostate{});
  }
}

}  // namespace triex::cli
