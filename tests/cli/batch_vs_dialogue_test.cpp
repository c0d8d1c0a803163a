// A batch row under --method quadrature reproduces the dialogue's report for
// the same answers: the program is run on the answers, and every result line
// of its report is rebuilt from the row's numbers with the report's fields.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/csv_reader.hpp"
#include "support/edit.hpp"
#include "tests/cli/command_harness.hpp"

namespace triex::cli {
namespace {

// The dialogue's standard output for the answers.
std::string dialogue(const std::string& answers) {
  const auto path = std::filesystem::temp_directory_path() / ("triex_answers_" + std::to_string(getpid()));
  std::ofstream(path) << answers;
  const std::string command = std::string(TRIEX_BINARY) + " < " + path.string();
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    EXPECT_EQ(pclose(pipe), 0);
  }
  std::filesystem::remove(path);
  return out;
}

struct Molecule {
  std::string answers;  // for the dialogue, saying yes to B(ex)
  std::string header, row;  // for the batch
};

double cell(const std::map<std::string, std::string>& row, const std::string& column) {
  return std::stod(row.at(column));
}

TEST(BatchVersusDialogue, QuadratureRowsReproduceEveryLineOfTheReport) {
  const Molecule molecules[] = {
      {"lysozyme\n1\n45 15 15\n1\n0.74\n14300\nyes\nno\n0\n",
       "name,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol", "lysozyme,45,15,15,0.74,14300"},
      {"albumin\n2\n1.5 2\n2\n0.35 1.0 0.73\n66000\nyes\nyes\n-12\n0.15\n0\n",
       "name,a_over_b,b_over_c,hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g,molar_mass_g_per_mol,valency,"
       "ionic_strength_mol_per_l",
       "albumin,1.5,2,0.35,1.0,0.73,66000,-12,0.15"},
      {"disc\n1\n50 50 5\n1\n0.72\n250000\nyes\nyes\n20\n0.01\n0\n",
       "name,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol,valency,ionic_strength_mol_per_l",
       "disc,50,50,5,0.72,250000,20,0.01"},
  };
  for (const Molecule& m : molecules) {
    const auto batch = testing_support::run({"batch", "-", "--method", "quadrature"}, m.header + "\n" + m.row + "\n");
    ASSERT_EQ(batch.status, 0) << batch.err;
    std::istringstream in(batch.out);
    CsvReader reader(in);
    CsvRecord header, values;
    ASSERT_TRUE(reader.next(header) && reader.next(values));
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < header.cells.size(); ++i) row[header.cells[i]] = values.cells.at(i);
    const bool charged = row.count("valency") > 0 && !row.at("valency").empty();
    const double vs = cell(row, "vs_ml_per_g");  // typed, or derived from the hydration data

    const std::string expected[] = {
        " Reduced excluded volume (sphere = 8), ured = " + edit_F(cell(row, "ured"), 10, 4),
        " Excluded volume, u = " + edit_E(cell(row, "u_ml"), 12, 5) + " ml",
        " vs = " + edit_F(vs, 10, 4) + "ml/g",
        " Molar mass, M = " + edit_E(cell(row, "molar_mass_g_per_mol"), 12, 5) + " g/mol",
        " Molar covolume, U = " + edit_E(cell(row, "U_ml_per_mol"), 12, 5) + " ml/mol",
        " B(ex) = " + edit_E(cell(row, "Bex_ml_mol_per_g2"), 12, 5) + " ml.mol/g**2",
        charged ? " B(z) = " + edit_E(cell(row, "Bz_ml_mol_per_g2"), 12, 5) + " ml.mol/g**2" : "",
        " B = B(ex) + B(z) = " + edit_E(cell(row, "B_ml_mol_per_g2"), 12, 4) + " ml.mol/g**2",
        " BM = " + edit_E(cell(row, "BM_ml_per_g"), 12, 5) + " ml/g",
        " BM**2 = " + edit_E(cell(row, "BM2_l_per_mol"), 12, 5) + " litre/mol",
        "       = " + edit_E(cell(row, "BM2_per_uM"), 12, 5) + " uM**-1",
        " Reduced excluded volume, ured = " + edit_E(cell(row, "ured_quadrature"), 12, 5),
    };
    const std::string report = dialogue(m.answers);
    ASSERT_NE(report.find("TRIEX Output Data"), std::string::npos) << report;
    for (const std::string& line : expected) {
      if (line.empty()) continue;
      EXPECT_NE(report.find("\n" + line + "\n"), std::string::npos) << line << "\n" << report;
    }
    EXPECT_EQ(cell(row, "ured"), cell(row, "ured_quadrature"));
  }
}

}  // namespace
}  // namespace triex::cli
