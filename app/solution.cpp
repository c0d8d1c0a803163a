#include "app/solution.hpp"

namespace triex {

void molar_covolume(RunData& run) {
  run.MOLVOL = molar_covolume(run.VS, run.MOLMAS, run.URED);
  run.EXCVOL = molecular_covolume(run.MOLVOL);
}

void exclusion_term(RunData& run) { run.BEX = exclusion_term(run.MOLVOL, run.MOLMAS); }

void polyelectrolyte_term(RunData& run) {
  const Polyelectrolyte p = polyelectrolyte_term(run.Z, run.IONIC, run.VS, run.MOLMAS);
  run.BZ = p.BZ;
  run.KAPPA = p.KAPPA;
  run.RAD = p.RAD;
  run.FACTOR = p.FACTOR;
}

void virial_sum(RunData& run) { run.VIRIAL = virial_sum(run.BEX, run.BZ); }

void virial_products(RunData& run) {
  const VirialProducts p = virial_products(run.MOLMAS, run.VIRIAL);
  run.BM = p.BM;
  run.BMM = p.BMM;
  run.MICROBMM = p.MICROBMM;
}

}  // namespace triex
