#include "cli/batch.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "cli/values.hpp"
#include "support/refusal.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

constexpr std::array<std::string_view, 3> kAxes = {"a_angstrom", "b_angstrom", "c_angstrom"};
constexpr std::array<std::string_view, 2> kRatios = {"a_over_b", "b_over_c"};
constexpr std::string_view kVs = "vs_ml_per_g";
constexpr std::array<std::string_view, 3> kHydration = {"hydration_g_per_g", "solvent_density_g_per_ml",
                                                        "vbar_ml_per_g"};
constexpr std::string_view kMolarMass = "molar_mass_g_per_mol";
constexpr std::string_view kValency = "valency";
constexpr std::string_view kIonicStrength = "ionic_strength_mol_per_l";

// The report's quantities, after the method's columns.
constexpr std::array<std::string_view, 8> kReport = {"U_ml_per_mol",    "u_ml",        "Bex_ml_mol_per_g2",
                                                     "Bz_ml_mol_per_g2", "B_ml_mol_per_g2", "BM_ml_per_g",
                                                     "BM2_l_per_mol",   "BM2_per_uM"};

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Where each of `names` is in the header; all or none must be there.
std::optional<ColumnProblem> find_set(const std::vector<std::string>& header, std::span<const std::string_view> names,
                                      std::vector<std::size_t>& places, bool& found) {
  places.clear();
  for (const std::string_view name : names) {
    const auto it = std::find(header.begin(), header.end(), name);
    if (it != header.end()) places.push_back(static_cast<std::size_t>(it - header.begin()));
  }
  found = !places.empty();
  if (!found || places.size() == names.size()) return std::nullopt;
  for (const std::string_view name : names)
    if (std::find(header.begin(), header.end(), name) == header.end())
      return ColumnProblem{std::string(name), "missing from the header, which has the other columns of its group"};
  return std::nullopt;
}

std::string joined(std::span<const std::string_view> names) {
  std::string text;
  for (const std::string_view name : names) {
    if (!text.empty()) text += ',';
    text += name;
  }
  return text;
}

// The results of a row, refused with what is wrong in which column.
struct Refused {
  ColumnProblem problem;
};
[[noreturn]] void refuse(std::string_view column, std::string what) {
  throw Refused{{std::string(column), std::move(what)}};
}
void require(std::string_view column, const std::optional<std::string>& problem) {
  if (problem) refuse(column, *problem);
}

}  // namespace

std::optional<ColumnProblem> read_layout(const std::vector<std::string>& raw_header, BatchLayout& layout) {
  layout = BatchLayout{};
  for (const std::string& cell : raw_header) layout.header.emplace_back(trimmed(cell));
  const std::vector<std::string>& header = layout.header;
  for (std::size_t i = 0; i < header.size(); ++i)
    if (std::find(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(i), header[i]) !=
        header.begin() + static_cast<std::ptrdiff_t>(i))
      return ColumnProblem{header[i], "appears twice in the header"};

  bool axes = false, ratios = false;
  std::vector<std::size_t> ratio_places;
  if (auto p = find_set(header, kAxes, layout.shape, axes)) return p;
  if (auto p = find_set(header, kRatios, ratio_places, ratios)) return p;
  if (axes && ratios) return ColumnProblem{"a_over_b", "the shape is given twice: keep the semi-axes or the ratios"};
  if (!axes && !ratios)
    return ColumnProblem{"a_angstrom", "missing from the header: the shape needs " + joined(kAxes) + " or " +
                                           joined(kRatios)};
  layout.semi_axes = axes;
  if (ratios) layout.shape = ratio_places;

  const auto vs = std::find(header.begin(), header.end(), kVs);
  bool hydration = false;
  std::vector<std::size_t> hydration_places;
  if (auto p = find_set(header, kHydration, hydration_places, hydration)) return p;
  if (vs != header.end() && hydration)
    return ColumnProblem{std::string(kVs), "vs is given twice: keep vs_ml_per_g or the hydration data"};
  if (vs == header.end() && !hydration)
    return ColumnProblem{std::string(kVs), "missing from the header: give vs_ml_per_g or " + joined(kHydration)};
  layout.vs_given = !hydration;
  layout.volume = hydration ? hydration_places : std::vector{static_cast<std::size_t>(vs - header.begin())};

  const auto molar_mass = std::find(header.begin(), header.end(), kMolarMass);
  if (molar_mass == header.end()) return ColumnProblem{std::string(kMolarMass), "missing from the header"};
  layout.molar_mass = static_cast<std::size_t>(molar_mass - header.begin());

  const auto valency = std::find(header.begin(), header.end(), kValency);
  const auto ionic = std::find(header.begin(), header.end(), kIonicStrength);
  if ((valency == header.end()) != (ionic == header.end()))
    return ColumnProblem{std::string(valency == header.end() ? kValency : kIonicStrength),
                         "missing from the header: valency and ionic_strength_mol_per_l go together"};
  if (valency != header.end()) {
    layout.valency = static_cast<std::size_t>(valency - header.begin());
    layout.ionic_strength = static_cast<std::size_t>(ionic - header.begin());
  }

  // An input column may not take the name of a result, which would then appear twice.
  const std::vector<std::string> all = output_columns(layout, Method::Both);
  for (auto result = all.begin() + static_cast<std::ptrdiff_t>(header.size()); result != all.end(); ++result)
    if (std::find(header.begin(), header.end(), *result) != header.end())
      return ColumnProblem{*result, "is the name of a result column; rename the input column"};

  layout.numeric.assign(header.size(), false);
  for (const std::size_t i : layout.shape) layout.numeric[i] = true;
  for (const std::size_t i : layout.volume) layout.numeric[i] = true;
  layout.numeric[layout.molar_mass] = true;
  if (layout.valency) layout.numeric[*layout.valency] = layout.numeric[*layout.ionic_strength] = true;
  return std::nullopt;
}

std::vector<std::string> output_columns(const BatchLayout& layout, Method method) {
  std::vector<std::string> columns = layout.header;
  for (std::string& column : method_columns(method)) columns.push_back(std::move(column));
  columns.emplace_back("ured");
  if (!layout.vs_given) columns.emplace_back(kVs);
  for (const std::string_view name : kReport) columns.emplace_back(name);
  return columns;
}

BatchRow compute_row(const BatchLayout& layout, const std::vector<std::string>& cells, Method method) {
  BatchRow row;
  try {
    if (cells.size() != layout.header.size())
      refuse("", std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") + " where the header has " +
                     std::to_string(layout.header.size()) + " columns");
    // Every number the row needs, empty charge cells left out.
    std::vector<std::optional<double>> value(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (!layout.numeric[i]) continue;
      const bool charge = i == layout.valency || i == layout.ionic_strength;
      if (charge && trimmed(cells[i]).empty()) continue;
      std::string problem;
      value[i] = parse_number(cells[i], problem);
      if (!value[i]) refuse(layout.header[i], problem);
    }
    const auto number = [&](std::size_t i) { return *value[i]; };
    const auto column = [&](std::size_t i) -> const std::string& { return layout.header[i]; };

    ShapeValues shape;
    const std::vector<std::size_t>& s = layout.shape;
    if (layout.semi_axes) {
      for (std::size_t k = 0; k < 3; ++k) require(column(s[k]), not_positive(std::string(1, "abc"[k]), number(s[k])));
      shape = evaluate_axes(number(s[0]), number(s[1]), number(s[2]), method);
    } else {
      require(column(s[0]), not_positive("a/b", number(s[0])));
      require(column(s[1]), not_positive("b/c", number(s[1])));
      require(column(s[0]), not_positive("a = (a/b)(b/c)", number(s[0]) * number(s[1])));
      shape = evaluate_ratios(number(s[0]), number(s[1]), method);
    }

    double vs = 0;
    const std::vector<std::size_t>& v = layout.volume;
    if (layout.vs_given) {
      vs = number(v[0]);
      require(column(v[0]), not_positive("vs", vs));
    } else {
      require(column(v[0]), not_finite("delta", number(v[0])));
      require(column(v[1]), not_positive("rho", number(v[1])));
      require(column(v[2]), not_finite("vbar", number(v[2])));
      try {
        vs = swollen_specific_volume(number(v[2]), number(v[0]), number(v[1]));
      } catch (const std::invalid_argument& e) {
        refuse(column(v[2]), e.what());
      }
    }

    const double M = number(layout.molar_mass);
    require(column(layout.molar_mass), not_a_molar_mass("M", M));

    std::optional<Charge> charge;
    if (layout.valency) {
      const std::size_t z = *layout.valency, i = *layout.ionic_strength;
      if (value[z].has_value() != value[i].has_value())
        refuse(column(value[z] ? i : z), "empty, while " + column(value[z] ? z : i) +
                                             " is given: a charge needs both (leave both empty for none)");
      if (value[z]) {
        require(column(z), not_finite("Z", number(z)));
        require(column(i), not_positive("I", number(i)));
        charge = Charge{number(z), number(i)};
      }
    }

    const double u_red = chosen_ured(shape, method);
    const Virial q = virial({u_red, vs, M, charge});

    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (value[i]) row.cells.emplace_back(*value[i]);
      else if (layout.numeric[i]) row.cells.emplace_back();  // an empty charge cell stays empty
      else row.cells.emplace_back(cells[i]);
    }
    method_cells(shape, method, row.cells);
    row.cells.emplace_back(u_red);
    if (!layout.vs_given) row.cells.emplace_back(vs);
    for (const double x : {q.U, q.u, q.Bex, q.Bz, q.B, q.BM, q.BM2, q.BM2_per_uM}) row.cells.emplace_back(x);
    row.converged = quadrature_converged(shape, method);
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
