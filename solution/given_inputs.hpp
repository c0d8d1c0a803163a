// Which optional inputs of the solution may come together: the swollen
// specific volume typed (vs) or derived from hydration data (vbar + delta/rho),
// a charge as valency with ionic strength, and the u_red to solve for, typed
// or implied by a measured B. The commands and the Python module take these
// inputs as options or keywords that may be absent; whether what was given
// makes sense is decided here, once, in one set of words. Each front end
// passes its own names for the inputs (an option, a keyword), so the words
// read in its vocabulary. A refusal is a std::invalid_argument under no
// single input.
#pragma once

#include <optional>
#include <string>

#include "support/function_ref.hpp"
#include "triex/refusal.hpp"

namespace triex {

// The front end's name of an input: "--solvent-density", "solvent_density".
using InputNames = function_ref<std::string(Field)>;

// Which of the specific-volume inputs were given.
struct GivenVolume {
  bool vs = false, hydration = false, solvent_density = false, vbar = false;
};

enum class VolumeSource { none, vs, hydration };

// Whether vbar and rho may stand beside a typed vs: so where they serve other
// quantities too (s and f/f0 of the predictions), not where they would only
// derive vs.
enum class VbarAndRho { only_for_vs, also_for_others };

// Where vs comes from. With `needed_by` (the input that needs vs: the molar
// mass of the predictions, a measured B) a missing vs is refused; without it,
// none is a valid answer. Refused: vs with the hydration data; hydration data
// that are incomplete.
VolumeSource specific_volume_source(const GivenVolume& given, VbarAndRho vbar_and_rho, std::optional<Field> needed_by,
                                    InputNames name);

// Whether a charge was given: valency and ionic strength both, or neither.
bool charge_given(bool valency, bool ionic_strength, InputNames name);

// The solution data of a measured B.
struct GivenSolution {
  bool molar_mass = false;
  GivenVolume volume;
  bool valency = false, ionic_strength = false;
};

// The u_red to solve for is typed (ured), or implied by a measured B with its
// molar mass, its vs (typed or from hydration data) and optionally a charge;
// returns whether it comes from B (false also when neither is given). Refused:
// ured with any of B's data, data without B, and B with incomplete data.
bool ured_from_measurement(bool ured, bool B, const GivenSolution& given, InputNames name);

}  // namespace triex
