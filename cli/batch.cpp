#include "cli/batch.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "api/result_columns.hpp"
#include "cli/hydrodynamic_cells.hpp"
#include "cli/values.hpp"
#include "support/refusal.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

constexpr std::string_view kUred = "ured";

bool blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

// The results of a row, refused with what is wrong in which column.
struct Refused {
  ColumnProblem problem;
};
[[noreturn]] void refuse(std::string_view column, std::string what) {
  throw Refused{{std::string(column), std::move(what)}};
}
void require(Datum d, const std::optional<std::string>& problem) {
  if (problem) refuse(name_of(d), *problem);
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
  try {
    const std::size_t columns = layout.header.size();
    // Cells past the header's are allowed only blank, as spreadsheets pad short rows.
    if (cells.size() < columns || !std::all_of(cells.begin() + static_cast<std::ptrdiff_t>(std::min(columns, cells.size())),
                                               cells.end(), [](const std::string& cell) { return blank(cell); }))
      refuse("", std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") + " where the header has " +
                     std::to_string(columns) + " columns");
    const auto given = [&](Datum d) { return layout[d] && !blank(cells[*layout[d]]); };
    const auto any_given = [&](std::span<const Datum> group) { return std::any_of(group.begin(), group.end(), given); };

    // The row fills one of the shape's groups; a header with both leaves the choice to each row.
    const bool axes_given = any_given(kAxes), ratios_given = any_given(kRatios);
    const bool both_groups = layout[Datum::A] && layout[Datum::AOverB];
    if (axes_given && ratios_given)
      refuse(name_of(*std::find_if(kRatios.begin(), kRatios.end(), given)),
             "the shape is given twice: fill " + joined(kAxes) + " or " + joined(kRatios) + ", not both");
    if (both_groups && !axes_given && !ratios_given)
      refuse(name_of(Datum::A), "empty: the shape needs " + joined(kAxes) + " or " + joined(kRatios));
    const bool semi_axes = axes_given || (!ratios_given && layout[Datum::A]);

    // Every number the row needs, in the order of the columns; empty charge cells left out.
    std::vector<Datum> read(semi_axes ? kAxes.begin() : kRatios.begin(), semi_axes ? kAxes.end() : kRatios.end());
    if (layout.vs_derived) read.insert(read.end(), kHydration.begin(), kHydration.end());
    else read.push_back(Datum::Vs);
    read.push_back(Datum::MolarMass);
    for (const Datum d : kCharge)
      if (given(d)) read.push_back(d);
    // The solvent and, beside vs, vbar and rho: each optional, for the predictions.
    if (layout.predicts)
      for (const Datum d : {Datum::Viscosity, Datum::Temperature, Datum::Vbar, Datum::SolventDensity})
        if (given(d) && std::find(read.begin(), read.end(), d) == read.end()) read.push_back(d);
    std::sort(read.begin(), read.end(), [&](Datum x, Datum y) { return *layout[x] < *layout[y]; });
    std::array<std::optional<double>, kDatumCount> value;
    for (const Datum d : read) {
      std::string problem;
      value[static_cast<std::size_t>(d)] = parse_number(cells[*layout[d]], problem, decimal_comma);
      if (!value[static_cast<std::size_t>(d)]) refuse(name_of(d), problem);
    }
    const auto number = [&](Datum d) { return *value[static_cast<std::size_t>(d)]; };

    if (semi_axes) {
      for (std::size_t k = 0; k < 3; ++k) require(kAxes[k], not_positive(std::string(1, "abc"[k]), number(kAxes[k])));
      row.shape = evaluate_axes(number(Datum::A), number(Datum::B), number(Datum::C), method);
    } else {
      require(Datum::AOverB, not_positive("a/b", number(Datum::AOverB)));
      require(Datum::BOverC, not_positive("b/c", number(Datum::BOverC)));
      require(Datum::AOverB, not_positive("a = (a/b)(b/c)", number(Datum::AOverB) * number(Datum::BOverC)));
      row.shape = evaluate_ratios(number(Datum::AOverB), number(Datum::BOverC), method);
    }

    double vs = 0;
    if (!layout.vs_derived) {
      vs = number(Datum::Vs);
      require(Datum::Vs, not_positive("vs", vs));
    } else {
      require(Datum::Hydration, not_finite("delta", number(Datum::Hydration)));
      require(Datum::SolventDensity, not_positive("rho", number(Datum::SolventDensity)));
      require(Datum::Vbar, not_finite("vbar", number(Datum::Vbar)));
      try {
        vs = swollen_specific_volume(number(Datum::Vbar), number(Datum::Hydration), number(Datum::SolventDensity));
      } catch (const std::invalid_argument& e) {
        refuse(name_of(Datum::Vbar), e.what());
      }
    }

    const double M = number(Datum::MolarMass);
    require(Datum::MolarMass, not_a_molar_mass("M", M));

    std::optional<Charge> charge;
    if (layout[Datum::Valency]) {
      const bool z = given(Datum::Valency), i = given(Datum::IonicStrength);
      const std::string_view valency = name_of(Datum::Valency), ionic = name_of(Datum::IonicStrength);
      if (z != i)
        refuse(z ? ionic : valency, "empty, while " + std::string(z ? valency : ionic) +
                                        " is given: a charge needs both (leave both empty for none)");
      if (z) {
        require(Datum::Valency, not_finite("Z", number(Datum::Valency)));
        require(Datum::IonicStrength, not_positive("I", number(Datum::IonicStrength)));
        charge = Charge{number(Datum::Valency), number(Datum::IonicStrength)};
      }
    }

    const double u_red = chosen_ured(row.shape, method);
    const Virial q = virial({u_red, vs, M, charge});

    // The measurements the shape predicts, in the row's solvent (water at 20 C
    // where its cell is empty), from the closed forms whatever the method.
    std::optional<Predictions> predicted;
    if (layout.predicts) {
      const auto optional_number = [&](Datum d) { return value[static_cast<std::size_t>(d)]; };
      PredictionInputs in{};
      in.molar_mass = M;
      in.vs = vs;
      in.vbar = optional_number(Datum::Vbar);
      if (in.vbar) require(Datum::Vbar, not_positive("vbar", *in.vbar));
      in.solvent.density = optional_number(Datum::SolventDensity);
      if (in.solvent.density) require(Datum::SolventDensity, not_positive("rho", *in.solvent.density));
      if (const auto eta = optional_number(Datum::Viscosity)) {
        require(Datum::Viscosity, not_positive("eta", *eta));
        in.solvent.viscosity = *eta;
      }
      if (const auto T = optional_number(Datum::Temperature)) {
        require(Datum::Temperature, not_positive("T", *T));
        in.solvent.temperature = *T;
      }
      const ShapeFactors factors = semi_axes
                                       ? shape_factors(number(Datum::A), number(Datum::B), number(Datum::C))
                                       : shape_factors_ratios(number(Datum::AOverB), number(Datum::BOverC));
      predicted = predict(factors, in);
    }

    // The input cells: a number read as the number, an empty datum empty, any other cell as text.
    std::vector<Cell> input(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(columns));
    for (std::size_t d = 0; d < kDatumCount; ++d) {
      if (!layout.place[d]) continue;
      if (value[d]) input[*layout.place[d]] = *value[d];
      else if (blank(cells[*layout.place[d]])) input[*layout.place[d]] = std::monostate{};
    }
    for (std::size_t i = 0; i < columns; ++i)
      if (!layout.recomputed[i]) row.cells.push_back(std::move(input[i]));
    method_cells(row.shape, method, row.cells);
    row.cells.emplace_back(u_red);
    if (layout.vs_derived) row.cells.emplace_back(vs);
    for (const VirialColumn& column : kVirialColumns) row.cells.emplace_back(q.*column.value);
    if (predicted) prediction_cells(*predicted, row.cells);
  } catch (const Refused& r) {
    row.cells.clear();
    row.problem = r.problem;
  } catch (const std::invalid_argument& e) {
    // The library's own checks, should a value pass the ones above.
    row.cells.clear();
    row.problem = ColumnProblem{"", e.what()};
  }
  return row;
}

}  // namespace triex::cli
