#include "app/report.hpp"

#include <string>

#include "app/records.hpp"
#include "support/safe_text.hpp"
#include "support/edit.hpp"

namespace triex {

void write_report(std::ostream& out, const RunData& run) {
  const std::string stars = " " + std::string(50, '*');
  for (int i = 0; i < 10; ++i) empty_record(out);
  formatted_record(out, {stars});
  formatted_record(out, {"                TRIEX Output Data "});
  formatted_record(out, {stars});
  empty_record(out);

  // The name line holds 80 bytes: the label and the first 62 of the name. The
  // cut never splits a UTF-8 character (the record is padded with blanks to its
  // width instead), and control bytes are shown as '?', never sent to the terminal.
  constexpr std::size_t kNameShown = 62;
  std::string NAME1 = "Name of molecule: " + with_controls_shown(cut_between_characters(run.name, kNameShown));
  NAME1.resize(80, ' ');
  list_record(out, {NAME1});
  empty_record(out);

  if (run.entry == 1) {
    formatted_record(out, {" (a, b, c) = ", edit_F(run.a, 10, 4), edit_F(run.b, 10, 4), edit_F(run.c, 10, 4), " A"});
  } else {
    formatted_record(out, {" (a/b, b/c) = ", edit_F(run.a_over_b, 10, 4), edit_F(run.b_over_c, 10, 4)});
  }

  const Virial& v = run.virial;
  formatted_record(out, {" Reduced excluded volume (sphere = 8), ured = ", edit_F(run.ured, 10, 4)});
  formatted_record(out, {" Excluded volume, u = ", edit_E(v.u, 12, 5), " ml"});
  formatted_record(out, {" vs = ", edit_F(run.vs, 10, 4), "ml/g"});
  formatted_record(out, {" Molar mass, M = ", edit_E(run.molar_mass, 12, 5), " g/mol"});
  formatted_record(out, {" Molar covolume, U = ", edit_E(v.U, 12, 5), " ml/mol"});
  // The stored answers decide again, so a line shows exactly when its quantity was computed.
  if (is_yes(run.exclusion_answer)) formatted_record(out, {" B(ex) = ", edit_E(v.Bex, 12, 5), " ml.mol/g**2"});
  if (is_yes(run.polyelectrolyte_answer)) formatted_record(out, {" B(z) = ", edit_E(v.Bz, 12, 5), " ml.mol/g**2"});
  formatted_record(out, {" B = B(ex) + B(z) = ", edit_E(v.B, 12, 4), " ml.mol/g**2"});
  formatted_record(out, {" BM = ", edit_E(v.BM, 12, 5), " ml/g"});
  formatted_record(out, {" BM**2 = ", edit_E(v.BM2, 12, 5), " litre/mol"});
  formatted_record(out, {"       = ", edit_E(v.BM2_per_uM, 12, 5), " uM**-1"});
}

}  // namespace triex
