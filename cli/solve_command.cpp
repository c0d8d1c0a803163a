// triex solve: the shapes whose exact reduced excluded volume is a given
// value, typed or implied by a measured second virial coefficient.
#include <stdexcept>

#include "cli/command_runs.hpp"
#include "cli/destination.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

// The u_red to solve for: --ured, or 2 M (B - B(z)) / vs from --virial.
double target_ured(const SolveOptions& o) {
  const bool hydration = o.hydration || o.solvent_density || o.vbar;
  const bool charge = o.valency || o.ionic_strength;
  if (o.ured) {
    if (o.virial || o.molar_mass || o.vs || hydration || charge)
      throw std::invalid_argument("--ured takes no solution data: give --ured X, or --virial B with its data");
    return number_for(Field::ured, *o.ured);
  }
  if (!o.virial) throw std::invalid_argument("give --ured X, or --virial B with --molar-mass and --vs (or hydration)");
  if (!o.molar_mass) throw std::invalid_argument("--virial needs --molar-mass M");
  if (o.vs && hydration) throw std::invalid_argument("give --vs or --hydration, --solvent-density and --vbar, not both");
  if (!o.vs && !(o.hydration && o.solvent_density && o.vbar))
    throw std::invalid_argument("--virial needs --vs, or all of --hydration, --solvent-density and --vbar");
  if (charge && !(o.valency && o.ionic_strength))
    throw std::invalid_argument("--valency and --ionic-strength go together");
  const double vs = o.vs ? number_for(Field::vs, *o.vs)
                         : swollen_specific_volume(number_for(Field::vbar, *o.vbar),
                                                   number_for(Field::hydration, *o.hydration),
                                                   number_for(Field::solvent_density, *o.solvent_density));
  std::optional<Charge> z;
  if (charge) z = Charge{number_for(Field::valency, *o.valency), number_for(Field::ionic_strength, *o.ionic_strength)};
  return ured_from_virial(number_for(Field::B, *o.virial), vs, number_for(Field::molar_mass, *o.molar_mass), z);
}

}  // namespace

Outcome run_solve(const SolveOptions& options, const CommonOptions& common, Streams& streams) {
  std::vector<AxialRatios> curve;
  try {
    curve = solve(target_ured(options), options.points);
  } catch (const Refusal& e) {
    // A u_red implied by --virial is refused as the u_red it came to, under no option.
    if (e.field() == Field::ured && !options.ured) refuse(e.what());
    throw;
  }
  Destination destination(common.output, streams.out);
  RowWriter writer(destination.sink(), common.format, {"a_over_b", "b_over_c", "ured_exact"});
  for (const AxialRatios& shape : curve)
    writer.row(std::vector<Cell>{shape.a_over_b, shape.b_over_c, ured_ratios(shape.a_over_b, shape.b_over_c)});
  writer.finish();
  destination.finish();
  return Outcome::Done;
}

}  // namespace triex::cli
