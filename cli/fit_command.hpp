// triex fit: the shape of a molecule from several of its measurements, every
// solution with its confidence regions (inverse/shape_fit.hpp).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "cli/command_runs.hpp"
#include "triex/triex.hpp"

namespace triex::cli {


struct FitOptions {
  std::optional<std::string> molar_mass, vbar, hydration, vs, solvent_density, viscosity, temperature, valency,
      ionic_strength;
  // VALUE[:SIGMA] of each measurement, indexed by triex::Measurement.
  std::array<std::optional<std::string>, kMeasurementKinds> data;
};

// The option of each measurement ("--virial", ...).
std::string measurement_option(Measurement kind);

Outcome run_fit(const FitOptions& options, const CommonOptions& common, Streams& streams);

}  // namespace triex::cli
