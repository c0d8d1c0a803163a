// libFuzzer target: the structure reader on arbitrary bytes (PDB, mmCIF or
// gzip). Every input either is refused with std::invalid_argument or gives a
// proper ellipsoid (a >= b >= c > 0, finite) whose shape factors and
// predictions are finite; nothing crashes, hangs or reads out of bounds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "structure/structure_report.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the selection: hetero residues, chain A only, model 2.
  triex::StructureSelection selection;
  selection.with_hetero = (data[0] & 1) != 0;
  if (data[0] & 2) selection.chains = {"A"};
  if (data[0] & 4) selection.model = 2;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  triex::StructureModel model{};
  try {
    model = triex::structure_model_from_bytes(bytes, "fuzz", selection);
  } catch (const std::invalid_argument&) {
    return 0;
  }
  const auto& axes = model.ellipsoid.semi_axes;
  if (!(axes[0] >= axes[1] && axes[1] >= axes[2] && axes[2] > 0 && std::isfinite(axes[0]))) std::abort();
  if (!(model.atoms >= 2 && model.molar_mass > 0 && std::isfinite(model.ellipsoid.radius_of_gyration))) std::abort();
  triex::StructureInputs inputs{15000.0, 0.98, 0.73, {}};
  inputs.solvent.density = 1.0;
  for (const double x : triex::structure_values(model, inputs))
    if (!std::isfinite(x)) std::abort();
  return 0;
}
