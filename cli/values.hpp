// The values the commands read from their arguments and cells: decimal
// numbers, and the grids of axial ratios of `triex table`.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/number_text.hpp"
#include "triex/refusal.hpp"

namespace triex::cli {

// The same for a value that is no input of its own (a datum of the fit):
// refused as "LABEL: WORDS" (std::invalid_argument).
double number_for(std::string_view label, std::string_view text);

// The shape's numbers as typed: the semi-axes A B C, or the ratios of --ratios AB BC.
std::vector<double> shape_numbers(const std::vector<std::string>& texts, bool ratios);

// How the commands name an input: by its option ("--molar-mass", "--virial"
// for B), the semi-axes by their places in the usage ("semi-axis A") and the
// axial ratios as "--ratios AB" and "--ratios BC".
std::string command_label(Field field);
// A refusal as the commands show it, "LABEL: WORDS"; any other error as its words.
std::string labelled(const std::invalid_argument& error);

enum class Spacing { Log, Linear };

// The most points of one axis of a grid (its values are held in memory).
inline constexpr long kMaxGridPoints = 1000000;

// A grid LO:HI:N of N > 0 positive values from LO to HI; N = 1 needs LO = HI.
struct GridSpec {
  double lo, hi;
  long n;
};
// Throws std::invalid_argument with the reason, naming the option.
GridSpec parse_grid(std::string_view text, std::string_view option);
// The N values, equally spaced in the logarithm or linearly; the first is LO
// and the last HI exactly as typed.
std::vector<double> grid_values(const GridSpec& grid, Spacing spacing);

}  // namespace triex::cli
