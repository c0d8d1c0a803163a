// The swollen specific volume of a command's options: --vs, or vbar + delta/rho
// from --hydration, --solvent-density and --vbar, as the shared rule of which
// of them may come together decides (solution/given_inputs).
#pragma once

#include <optional>
#include <string>

#include "cli/values.hpp"
#include "solution/given_inputs.hpp"
#include "triex/triex.hpp"

namespace triex::cli {

// Options: any type with the optional texts vs, hydration, solvent_density
// and vbar. Which of them were given.
template <class Options>
GivenVolume given_volume(const Options& o) {
  return {o.vs.has_value(), o.hydration.has_value(), o.solvent_density.has_value(), o.vbar.has_value()};
}

// Where vs comes from, by the shared rule (refused when they do not go together).
template <class Options>
VolumeSource volume_source_of(const Options& o, VbarAndRho vbar_and_rho, std::optional<Field> needed_by) {
  return specific_volume_source(given_volume(o), vbar_and_rho, needed_by, command_label);
}

// The number of vs from that source, read from the options (none for none).
template <class Options>
std::optional<double> specific_volume_of(const Options& o, VolumeSource source) {
  switch (source) {
    case VolumeSource::vs: return number_for(Field::vs, *o.vs);
    case VolumeSource::hydration:
      return swollen_specific_volume(number_for(Field::vbar, *o.vbar), number_for(Field::hydration, *o.hydration),
                                     number_for(Field::solvent_density, *o.solvent_density));
    case VolumeSource::none: break;
  }
  return std::nullopt;
}

}  // namespace triex::cli
