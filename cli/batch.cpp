#include "cli/batch.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>
#include <variant>

#include "api/result_columns.hpp"
#include "cli/hydrodynamic_cells.hpp"
#include "cli/values.hpp"
#include "support/refusal.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

constexpr std::string_view kUred = "ured";

bool blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

// The column a library refusal points at: the datum of its field, and a
// u_red (the quadrature's may be no number) at the shape's first column.
std::optional<Datum> column_of(Field field, bool semi_axes) {
  switch (field) {
    case Field::a: return Datum::A;
    case Field::b: return Datum::B;
    case Field::c: return Datum::C;
    case Field::a_over_b: return Datum::AOverB;
    case Field::b_over_c: return Datum::BOverC;
    case Field::ured: return semi_axes ? Datum::A : Datum::AOverB;
    case Field::vs: return Datum::Vs;
    case Field::hydration: return Datum::Hydration;
    case Field::solvent_density: return Datum::SolventDensity;
    case Field::vbar: return Datum::Vbar;
    case Field::molar_mass: return Datum::MolarMass;
    case Field::valency: return Datum::Valency;
    case Field::ionic_strength: return Datum::IonicStrength;
    case Field::viscosity: return Datum::Viscosity;
    case Field::temperature: return Datum::Temperature;
    case Field::volume: case Field::surface: case Field::mean_radius: case Field::B: case Field::points: break;
  }
  return std::nullopt;
}

// The numbers of a row, read from its cells; which shape group it filled.
struct RowNumbers {
  std::array<std::optional<double>, kDatumCount> value;
  bool semi_axes = false;
  double operator[](Datum d) const { return *value[static_cast<std::size_t>(d)]; }
  const std::optional<double>& optional(Datum d) const { return value[static_cast<std::size_t>(d)]; }
};

// The row's numbers, or what is wrong with the row as a whole, with a cell,
// or with a group of cells; the values themselves are the library's to judge.
std::variant<RowNumbers, ColumnProblem> read_row(const BatchLayout& layout, const std::vector<std::string>& cells,
                                                 bool decimal_comma) {
  const std::size_t columns = layout.header.size();
  // Cells past the header's are allowed only blank, as spreadsheets pad short rows.
  if (cells.size() < columns || !std::all_of(cells.begin() + static_cast<std::ptrdiff_t>(std::min(columns, cells.size())),
                                             cells.end(), [](const std::string& cell) { return blank(cell); }))
    return ColumnProblem{"", std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") +
                                 " where the header has " + std::to_string(columns) + " columns"};
  const auto given = [&](Datum d) { return layout[d] && !blank(cells[*layout[d]]); };
  const auto any_given = [&](std::span<const Datum> group) { return std::any_of(group.begin(), group.end(), given); };
  const auto problem = [](Datum d, std::string what) { return ColumnProblem{std::string(name_of(d)), std::move(what)}; };

  // The row fills one of the shape's groups; a header with both leaves the choice to each row.
  const bool axes_given = any_given(kAxes), ratios_given = any_given(kRatios);
  if (axes_given && ratios_given)
    return problem(*std::find_if(kRatios.begin(), kRatios.end(), given),
                   "the shape is given twice: fill " + joined(kAxes) + " or " + joined(kRatios) + ", not both");
  if (layout[Datum::A] && layout[Datum::AOverB] && !axes_given && !ratios_given)
    return problem(Datum::A, "empty: the shape needs " + joined(kAxes) + " or " + joined(kRatios));
  RowNumbers row;
  row.semi_axes = axes_given || (!ratios_given && layout[Datum::A]);

  // Every number the row needs, in the order of the columns; empty charge cells left out.
  std::vector<Datum> read(row.semi_axes ? kAxes.begin() : kRatios.begin(), row.semi_axes ? kAxes.end() : kRatios.end());
  if (layout.vs_derived) read.insert(read.end(), kHydration.begin(), kHydration.end());
  else read.push_back(Datum::Vs);
  read.push_back(Datum::MolarMass);
  if (layout[Datum::Valency]) {
    const bool z = given(Datum::Valency), i = given(Datum::IonicStrength);
    if (z != i)
      return problem(z ? Datum::IonicStrength : Datum::Valency,
                     "empty, while " + std::string(name_of(z ? Datum::Valency : Datum::IonicStrength)) +
                         " is given: a charge needs both (leave both empty for none)");
    if (z) read.insert(read.end(), kCharge.begin(), kCharge.end());
  }
  // The solvent and, beside vs, vbar and rho: each optional, for the predictions.
  if (layout.predicts)
    for (const Datum d : {Datum::Viscosity, Datum::Temperature, Datum::Vbar, Datum::SolventDensity})
      if (given(d) && std::find(read.begin(), read.end(), d) == read.end()) read.push_back(d);
  std::sort(read.begin(), read.end(), [&](Datum x, Datum y) { return *layout[x] < *layout[y]; });
  for (const Datum d : read) {
    std::string what;
    row.value[static_cast<std::size_t>(d)] = parse_number(cells[*layout[d]], what, decimal_comma);
    if (!row.value[static_cast<std::size_t>(d)]) return problem(d, std::move(what));
  }
  return row;
}

// The row's results by the library, which refuses a value with its field.
void compute_results(const BatchLayout& layout, const RowNumbers& n, Method method, BatchRow& row) {
  row.shape = n.semi_axes ? evaluate_axes(n[Datum::A], n[Datum::B], n[Datum::C], method)
                          : evaluate_ratios(n[Datum::AOverB], n[Datum::BOverC], method);
  const double vs = layout.vs_derived
                        ? swollen_specific_volume(n[Datum::Vbar], n[Datum::Hydration], n[Datum::SolventDensity])
                        : n[Datum::Vs];
  std::optional<Charge> charge;
  if (n.optional(Datum::Valency)) charge = Charge{n[Datum::Valency], n[Datum::IonicStrength]};
  const double u_red = chosen_ured(row.shape, method);
  const Virial q = virial({u_red, vs, n[Datum::MolarMass], charge});

  // The measurements the shape predicts, in the row's solvent (water at 20 C
  // where its cell is empty), from the closed forms whatever the method.
  std::optional<Predictions> predicted;
  if (layout.predicts) {
    PredictionInputs in{};
    in.molar_mass = n[Datum::MolarMass];
    in.vs = vs;
    in.vbar = n.optional(Datum::Vbar);
    in.solvent.density = n.optional(Datum::SolventDensity);
    in.solvent.viscosity = n.optional(Datum::Viscosity).value_or(in.solvent.viscosity);
    in.solvent.temperature = n.optional(Datum::Temperature).value_or(in.solvent.temperature);
    const ShapeFactors factors = n.semi_axes ? shape_factors(n[Datum::A], n[Datum::B], n[Datum::C])
                                             : shape_factors_ratios(n[Datum::AOverB], n[Datum::BOverC]);
    predicted = predict(factors, in);
  }
  method_cells(row.shape, method, row.cells);
  row.cells.emplace_back(u_red);
  if (layout.vs_derived) row.cells.emplace_back(vs);
  for (const VirialColumn& column : kVirialColumns) row.cells.emplace_back(q.*column.value);
  if (predicted) prediction_cells(*predicted, row.cells);
}

}  // namespace

std::vector<std::string> result_columns() {
  std::vector<std::string> columns = method_columns(Method::Both);
  columns.emplace_back(kUred);
  for (const VirialColumn& column : kVirialColumns) columns.emplace_back(column.name);
  for (const std::string& column : prediction_columns()) columns.push_back(column);
  return columns;
}

std::vector<std::string> output_columns(const BatchLayout& layout, Method method) {
  std::vector<std::string> columns;
  for (std::size_t i = 0; i < layout.header.size(); ++i)
    if (!layout.recomputed[i]) columns.push_back(layout.header[i]);
  for (std::string& column : method_columns(method)) columns.push_back(std::move(column));
  columns.emplace_back(kUred);
  if (layout.vs_derived) columns.emplace_back(name_of(Datum::Vs));
  for (const VirialColumn& column : kVirialColumns) columns.emplace_back(column.name);
  if (layout.predicts)
    for (const std::string& column : prediction_columns()) columns.push_back(column);
  return columns;
}

bool blank_row(const std::vector<std::string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return blank(cell); });
}

BatchRow compute_row(const BatchLayout& layout, const std::vector<std::string>& cells, Method method,
                     bool decimal_comma) {
  BatchRow row;
  auto read = read_row(layout, cells, decimal_comma);
  if (auto* problem = std::get_if<ColumnProblem>(&read)) {
    row.problem = std::move(*problem);
    return row;
  }
  const RowNumbers& n = std::get<RowNumbers>(read);
  // The input cells: a number read as the number, an empty datum empty, any other cell as text.
  std::vector<Cell> input(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(layout.header.size()));
  for (std::size_t d = 0; d < kDatumCount; ++d) {
    if (!layout.place[d]) continue;
    if (n.value[d]) input[*layout.place[d]] = *n.value[d];
    else if (blank(cells[*layout.place[d]])) input[*layout.place[d]] = std::monostate{};
  }
  for (std::size_t i = 0; i < input.size(); ++i)
    if (!layout.recomputed[i]) row.cells.push_back(std::move(input[i]));
  try {
    compute_results(layout, n, method, row);
  } catch (const Refusal& refusal) {
    const auto datum = column_of(refusal.field(), n.semi_axes);
    row.cells.clear();
    row.problem = ColumnProblem{datum ? std::string(name_of(*datum)) : std::string(), refusal.what()};
  }
  return row;
}

}  // namespace triex::cli
