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
  std::string NAME1 = "Name of molecule: " + with_controls_shown(cut_between_characters(run.NAME, kNameShown));
  NAME1.resize(80, ' ');
  list_record(out, {NAME1});
  empty_record(out);

  // The shape as it was entered.
  if (run.ENTRY == 1) {
    formatted_record(out, {" (a, b, c) = ", edit_F(run.ASAVE, 10, 4), edit_F(run.BSAVE, 10, 4),
                           edit_F(run.CSAVE, 10, 4), " A"});
  } else {
    formatted_record(out, {" (a/b, b/c) = ", edit_F(run.N1, 10, 4), edit_F(run.N2, 10, 4)});
  }

  formatted_record(out, {" Reduced excluded volume (sphere = 8), ured = ", edit_F(run.URED, 10, 4)});
  formatted_record(out, {" Excluded volume, u = ", edit_E(run.EXCVOL, 12, 5), " ml"});
  formatted_record(out, {" vs = ", edit_F(run.VS, 10, 4), "ml/g"});
  formatted_record(out, {" Molar mass, M = ", edit_E(run.MOLMAS, 12, 5), " g/mol"});
  formatted_record(out, {" Molar covolume, U = ", edit_E(run.MOLVOL, 12, 5), " ml/mol"});
  // The stored answers decide again, so a line shows exactly when its quantity was computed.
  if (is_yes(run.CALCB)) formatted_record(out, {" B(ex) = ", edit_E(run.BEX, 12, 5), " ml.mol/g**2"});
  if (is_yes(run.CALCPB)) formatted_record(out, {" B(z) = ", edit_E(run.BZ, 12, 5), " ml.mol/g**2"});
  formatted_record(out, {" B = B(ex) + B(z) = ", edit_E(run.VIRIAL, 12, 4), " ml.mol/g**2"});
  formatted_record(out, {" BM = ", edit_E(run.BM, 12, 5), " ml/g"});
  formatted_record(out, {" BM**2 = ", edit_E(run.BMM, 12, 5), " litre/mol"});
  formatted_record(out, {"       = ", edit_E(run.MICROBMM, 12, 5), " uM**-1"});
}

}  // namespace triex
