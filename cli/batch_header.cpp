#include "cli/batch_header.hpp"

#include <algorithm>

#include "support/safe_text.hpp"

namespace triex::cli {
namespace {

// ASCII letters in lower case; other bytes (UTF-8 included) as they are.
char lower_case(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string lower_case(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = lower_case(c);
  return lower;
}

// Whether two names are at most two slips apart: a letter left out, added,
// changed, or two neighbours swapped (the optimal-string-alignment distance;
// Damerau, Commun. ACM 1964), case aside. Only names of nearly equal length
// are compared, so a long cell costs nothing.
bool close(std::string_view typed, std::string_view known) {
  constexpr std::size_t kSlips = 2;
  if (typed.size() + kSlips < known.size() || known.size() + kSlips < typed.size()) return false;
  const std::size_t m = typed.size(), n = known.size();
  std::vector<std::size_t> d((m + 1) * (n + 1));
  const auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * (n + 1) + j]; };
  for (std::size_t i = 0; i <= m; ++i) at(i, 0) = i;
  for (std::size_t j = 0; j <= n; ++j) at(0, j) = j;
  for (std::size_t i = 1; i <= m; ++i)
    for (std::size_t j = 1; j <= n; ++j) {
      const auto t = [&](std::size_t k) { return lower_case(typed[k]); };
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (t(i - 1) != known[j - 1])});
      if (i > 1 && j > 1 && t(i - 1) == known[j - 2] && t(i - 2) == known[j - 1])
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
    }
  return at(m, n) <= kSlips;
}

}  // namespace

std::string joined(std::span<const Datum> data) {
  std::string text;
  for (const Datum d : data) {
    if (!text.empty()) text += ',';
    text += name_of(d);
  }
  return text;
}

namespace {

// Names every column of the header: a datum, a result that batch computes
// again, or text carried through (whose index joins `carried`).
std::optional<ColumnProblem> name_columns(const std::vector<std::string>& raw_header,
                                          const std::vector<std::string>& results, BatchLayout& layout,
                                          std::vector<std::size_t>& carried) {
  std::vector<bool> result_seen(results.size(), false);
  for (std::size_t i = 0; i < raw_header.size(); ++i) {
    std::string name(trimmed(raw_header[i]));
    const std::string key = lower_case(name);
    const auto datum = std::find(kDatumNames.begin(), kDatumNames.end(), key);
    const auto result = std::find_if(results.begin(), results.end(),
                                     [&](const std::string& r) { return lower_case(r) == key; });
    if (datum != kDatumNames.end()) {
      std::optional<std::size_t>& place = layout.place[static_cast<std::size_t>(datum - kDatumNames.begin())];
      if (place) return ColumnProblem{std::string(*datum), "appears twice in the header"};
      place = i;
      name = *datum;
    } else if (result != results.end()) {
      const auto r = static_cast<std::size_t>(result - results.begin());
      if (result_seen[r]) return ColumnProblem{*result, "appears twice in the header"};
      result_seen[r] = true;
      layout.recomputed[i] = true;
      name = *result;
    } else {
      carried.push_back(i);
    }
    layout.header.push_back(std::move(name));
  }
  return std::nullopt;
}

// Which data a named header has, and the carried names that are a slip away
// from a datum's.
class HeaderData {
 public:
  HeaderData(const BatchLayout& layout, const std::vector<std::size_t>& carried) : layout_(layout), carried_(carried) {}
  bool has(Datum d) const { return layout_[d].has_value(); }
  std::size_t count(std::span<const Datum> group) const {
    return static_cast<std::size_t>(std::count_if(group.begin(), group.end(), [&](Datum d) { return has(d); }));
  }
  // The carried column whose name is a slip away from the datum's, if any.
  std::optional<std::size_t> slip_for(Datum d) const {
    for (const std::size_t i : carried_)
      if (close(layout_.header[i], name_of(d))) return i;
    return std::nullopt;
  }
  // A datum the header lacks; when a carried name is a slip away from it, that name is the problem.
  ColumnProblem missing(Datum d, std::string what) const {
    if (const auto i = slip_for(d))
      return ColumnProblem{layout_.header[*i], "unknown name; did you mean \"" + std::string(name_of(d)) + "\"?"};
    return ColumnProblem{std::string(name_of(d)), std::move(what)};
  }

 private:
  const BatchLayout& layout_;
  const std::vector<std::size_t>& carried_;
};

// Whether the data make rows: complete groups, a shape, vs typed or from
// hydration data (in batch's own output both, and the typed vs is computed
// again), a molar mass, a charge in full or not at all.
std::optional<ColumnProblem> check_data(const HeaderData& data, BatchLayout& layout) {
  const auto has = [&](Datum d) { return data.has(d); };
  // With a solvent column vbar and rho may stand beside vs, for s and f/f0; the hydration needs both.
  layout.predicts = has(Datum::Viscosity) || has(Datum::Temperature);
  for (const std::span<const Datum> group : {std::span<const Datum>(kAxes), std::span<const Datum>(kRatios),
                                             std::span<const Datum>(kHydration)})
    if (data.count(group) != 0 && data.count(group) != group.size() &&
        !(layout.predicts && group.data() == kHydration.data() && !has(Datum::Hydration)))
      return data.missing(*std::find_if_not(group.begin(), group.end(), has),
                          "missing from the header, which has the other columns of its group");
  if (data.count(kAxes) == 0 && data.count(kRatios) == 0)
    return data.missing(Datum::A,
                        "missing from the header: the shape needs " + joined(kAxes) + " or " + joined(kRatios));

  const bool hydration = data.count(kHydration) == kHydration.size();
  const bool earlier_output = std::find(layout.recomputed.begin(), layout.recomputed.end(), true) !=
                              layout.recomputed.end();
  if (has(Datum::Vs) && hydration) {
    // In batch's own output the vs next to the hydration data is the derived one.
    if (!earlier_output)
      return ColumnProblem{std::string(name_of(Datum::Vs)), "vs is given twice: keep vs_ml_per_g or the hydration data"};
    layout.recomputed[*layout[Datum::Vs]] = true;
    layout.place[static_cast<std::size_t>(Datum::Vs)].reset();
  }
  if (!has(Datum::Vs) && !hydration)
    return data.missing(Datum::Vs, "missing from the header: give vs_ml_per_g or " + joined(kHydration));
  layout.vs_derived = hydration;

  if (!has(Datum::MolarMass)) return data.missing(Datum::MolarMass, "missing from the header");
  if (data.count(kCharge) == 1)
    return data.missing(has(Datum::Valency) ? Datum::IonicStrength : Datum::Valency,
                        "missing from the header: valency and ionic_strength_mol_per_l go together");
  return std::nullopt;
}

// The notes on an accepted header: a carried name that looks like a datum the
// header lacks, and the results of an earlier run that are computed again.
void add_notes(const HeaderData& data, BatchLayout& layout) {
  for (std::size_t d = 0; d < kDatumCount; ++d) {
    const Datum datum = static_cast<Datum>(d);
    if (data.has(datum) || (datum == Datum::Vs && layout.vs_derived)) continue;
    if (const auto i = data.slip_for(datum))
      layout.notes.push_back("column \"" + layout.header[*i] + "\" is carried as text: did you mean \"" +
                             std::string(name_of(datum)) + "\"?");
  }
  std::string recomputed;
  for (std::size_t i = 0; i < layout.header.size(); ++i)
    if (layout.recomputed[i]) recomputed += (recomputed.empty() ? "" : ", ") + layout.header[i];
  if (!recomputed.empty())
    layout.notes.push_back("columns that batch computes are computed again, not carried: " + recomputed);
}

}  // namespace

std::optional<ColumnProblem> read_layout(const std::vector<std::string>& raw_header,
                                         const std::vector<std::string>& results, BatchLayout& layout) {
  layout = BatchLayout{};
  layout.recomputed.assign(raw_header.size(), false);
  std::vector<std::size_t> carried;  // the columns of no datum and no result
  if (auto problem = name_columns(raw_header, results, layout, carried)) return problem;
  const HeaderData data(layout, carried);
  if (auto problem = check_data(data, layout)) return problem;
  add_notes(data, layout);
  return std::nullopt;
}

}  // namespace triex::cli
