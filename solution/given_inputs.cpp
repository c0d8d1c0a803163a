#include "solution/given_inputs.hpp"

#include <stdexcept>
#include <string>

namespace triex {

VolumeSource specific_volume_source(const GivenVolume& given, VbarAndRho vbar_and_rho, std::optional<Field> needed_by,
                                    InputNames name) {
  const bool only_for_vs = vbar_and_rho == VbarAndRho::only_for_vs;
  const bool complete = given.hydration && given.solvent_density && given.vbar;
  if (given.vs) {
    // vbar and rho beside vs would be read as a second, conflicting vs.
    if (given.hydration || (only_for_vs && (given.solvent_density || given.vbar))) {
      const std::string hydration_data =
          only_for_vs ? name(Field::hydration) + ", " + name(Field::solvent_density) + " and " + name(Field::vbar)
                      : name(Field::hydration);
      throw std::invalid_argument("give " + name(Field::vs) + " or " + hydration_data + ", not both");
    }
    return VolumeSource::vs;
  }
  if (complete) return VolumeSource::hydration;
  if (needed_by)
    throw std::invalid_argument(name(*needed_by) + " needs " + name(Field::vs) + ", or all of " +
                                name(Field::hydration) + ", " + name(Field::solvent_density) + " and " +
                                name(Field::vbar));
  if (given.hydration)
    throw std::invalid_argument(name(Field::hydration) + " needs " + name(Field::solvent_density) + " and " +
                                name(Field::vbar));
  return VolumeSource::none;
}

bool charge_given(bool valency, bool ionic_strength, InputNames name) {
  if (valency != ionic_strength)
    throw std::invalid_argument(name(Field::valency) + " and " + name(Field::ionic_strength) + " go together");
  return valency;
}

bool ured_from_measurement(bool ured, bool B, const GivenSolution& given, InputNames name) {
  const GivenVolume& v = given.volume;
  const bool data = given.molar_mass || v.vs || v.hydration || v.solvent_density || v.vbar || given.valency ||
                    given.ionic_strength;
  if (ured) {
    if (B || data)
      throw std::invalid_argument(name(Field::ured) + " takes no solution data: give " + name(Field::ured) +
                                  ", or " + name(Field::B) + " with its data");
    return false;
  }
  if (!B) {
    if (data)
      throw std::invalid_argument(name(Field::molar_mass) + ", " + name(Field::vs) +
                                  " and the other solution data go with " + name(Field::B));
    return false;
  }
  if (!given.molar_mass) throw std::invalid_argument(name(Field::B) + " needs " + name(Field::molar_mass));
  specific_volume_source(v, VbarAndRho::only_for_vs, Field::B, name);
  charge_given(given.valency, given.ionic_strength, name);
  return true;
}

}  // namespace triex
