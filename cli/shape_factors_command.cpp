// triex shape: every hydrodynamic and scattering shape factor of one shape,
// and with a molar mass and a swollen specific volume the measurements they
// predict for a molecule of that shape.
#include <stdexcept>

#include "api/result_columns.hpp"
#include "cli/command_runs.hpp"
#include "cli/destination.hpp"
#include "cli/hydrodynamic_cells.hpp"
#include "cli/specific_volume_option.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

// The inputs of the predictions, when --molar-mass is given; every other
// option of the solution needs it.
std::optional<PredictionInputs> prediction_inputs(const ShapeOptions& o) {
  const bool hydration = o.hydration.has_value();
  if (!o.molar_mass) {
    if (o.vs || hydration || o.solvent_density || o.vbar || o.viscosity || o.temperature)
      throw std::invalid_argument("the solution's options need --molar-mass M");
    return std::nullopt;
  }
  const VolumeSource source = volume_source_of(o, VbarAndRho::also_for_others, Field::molar_mass);
  PredictionInputs in{};
  in.molar_mass = number_for(Field::molar_mass, *o.molar_mass);
  if (o.vbar) in.vbar = number_for(Field::vbar, *o.vbar);
  if (o.solvent_density) in.solvent.density = number_for(Field::solvent_density, *o.solvent_density);
  in.vs = *specific_volume_of(o, source);
  if (o.viscosity) in.solvent.viscosity = number_for(Field::viscosity, *o.viscosity);
  if (o.temperature) in.solvent.temperature = number_for(Field::temperature, *o.temperature);
  return in;
}

}  // namespace

Outcome run_shape(const ShapeOptions& options, const CommonOptions& common, Streams& streams) {
  const bool ratios = !options.ratios.empty();
  if (ratios == !options.axes.empty())
    refuse(ratios ? "give the semi-axes A B C or --ratios AB BC, not both"
                         : "give the semi-axes A B C, or --ratios AB BC");
  if (ratios ? options.ratios.size() != 2 : options.axes.size() != 3)
    refuse(ratios ? "--ratios takes two numbers, a/b and b/c" : "give three semi-axes A B C");

  std::vector<Cell> cells;
  for (const double x : shape_numbers(ratios ? options.ratios : options.axes, ratios)) cells.emplace_back(x);
  const auto value = [&](std::size_t i) { return std::get<double>(cells[i]); };
  const ShapeFactors factors =
      ratios ? shape_factors_ratios(value(0), value(1)) : shape_factors(value(0), value(1), value(2));
  std::optional<Predictions> predictions;
  if (const auto inputs = prediction_inputs(options)) predictions = predict(factors, *inputs);

  std::vector<std::string> columns = ratios ? std::vector<std::string>{"a_over_b", "b_over_c"}
                                            : std::vector<std::string>{"a_angstrom", "b_angstrom", "c_angstrom"};
  columns.insert(columns.end(), shape_factor_columns().begin(), shape_factor_columns().end());
  shape_factor_cells(factors, cells);
  if (predictions) {
    columns.insert(columns.end(), prediction_columns().begin(), prediction_columns().end());
    const PredictionColumn& bex = kPredictionColumns.back();
    columns.emplace_back(bex.name);
    prediction_cells(*predictions, cells);
    cells.emplace_back(*bex.value(*predictions));
  }

  Destination destination(common.output, streams.out);
  RowWriter writer(destination.sink(), common.format, columns);
  writer.row(cells);
  writer.finish();
  destination.finish();
  return Outcome::Done;
}

}  // namespace triex::cli
