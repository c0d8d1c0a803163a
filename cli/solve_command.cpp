// triex solve: the shapes whose exact reduced excluded volume is a given
// value, typed or implied by a measured second virial coefficient.
#include <stdexcept>

#include "cli/command_runs.hpp"
#include "cli/destination.hpp"
#include "cli/specific_volume_option.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

// The u_red to solve for: --ured, or 2 M (B - B(z)) / vs from --virial.
double target_ured(const SolveOptions& o) {
  const GivenSolution given{o.molar_mass.has_value(), given_volume(o), o.valency.has_value(),
                            o.ionic_strength.has_value()};
  if (!ured_from_measurement(o.ured.has_value(), o.virial.has_value(), given, command_label)) {
    if (!o.ured) throw std::invalid_argument("give --ured X, or --virial B with --molar-mass and --vs (or hydration)");
    return number_for(Field::ured, *o.ured);
  }
  // Where vs comes from was judged with B's other data just above.
  const double vs = *specific_volume_of(o, o.vs ? VolumeSource::vs : VolumeSource::hydration);
  std::optional<Charge> z;
  if (o.valency) z = Charge{number_for(Field::valency, *o.valency), number_for(Field::ionic_strength, *o.ionic_strength)};
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
