// triex batch: the header, refused rows among good ones, names that need
// quoting, and the report's quantities, which must be the library's (and so
// the dialogue's) to the bit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/csv_reader.hpp"
#include "support/refusal.hpp"
#include "tests/cli/command_harness.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

using testing_support::lines;
using testing_support::run;

std::vector<CsvRecord> records(const std::string& csv) {
  std::istringstream in(csv);
  CsvReader reader(in);
  std::vector<CsvRecord> result;
  for (CsvRecord r; reader.next(r);) result.push_back(r);
  return result;
}

// The output as one map from column to cell per row.
std::vector<std::map<std::string, std::string>> table(const std::string& csv) {
  const auto all = records(csv);
  std::vector<std::map<std::string, std::string>> rows;
  for (std::size_t i = 1; i < all.size(); ++i) {
    rows.emplace_back();
    for (std::size_t k = 0; k < all[0].cells.size(); ++k) rows.back()[all[0].cells[k]] = all[i].cells.at(k);
  }
  return rows;
}

TEST(Batch, EveryQuantityIsTheLibrarysForTheSameInputs) {
  const std::string input =
      "name,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol,valency,ionic_strength_mol_per_l\n"
      "lysozyme,22.5,15,15,0.74,14300,8,0.1\n"
      "neutral,30,20,10,0.73,66000,,\n";
  const auto o = run({"batch", "-"}, input);
  ASSERT_EQ(o.status, 0) << o.err;
  const auto rows = table(o.out);
  ASSERT_EQ(rows.size(), 2u);
  const Virial charged = virial({ured(22.5, 15, 15), 0.74, 14300, Charge{8, 0.1}});
  const Virial neutral = virial({ured(30, 20, 10), 0.73, 66000, std::nullopt});
  const std::pair<const Virial*, std::size_t> expected[] = {{&charged, 0}, {&neutral, 1}};
  for (const auto& [q, i] : expected) {
    const auto& row = rows[i];
    EXPECT_EQ(row.at("U_ml_per_mol"), shortest(q->U));
    EXPECT_EQ(row.at("u_ml"), shortest(q->u));
    EXPECT_EQ(row.at("Bex_ml_mol_per_g2"), shortest(q->Bex));
    EXPECT_EQ(row.at("Bz_ml_mol_per_g2"), shortest(q->Bz));
    EXPECT_EQ(row.at("B_ml_mol_per_g2"), shortest(q->B));
    EXPECT_EQ(row.at("BM_ml_per_g"), shortest(q->BM));
    EXPECT_EQ(row.at("BM2_l_per_mol"), shortest(q->BM2));
    EXPECT_EQ(row.at("BM2_per_uM"), shortest(q->BM2_per_uM));
  }
  EXPECT_NE(rows[0].at("Bz_ml_mol_per_g2"), "0");
  EXPECT_EQ(rows[1].at("Bz_ml_mol_per_g2"), "0");
  EXPECT_EQ(rows[1].at("valency"), "");  // an empty cell stays empty
  EXPECT_EQ(rows[0].at("ured"), rows[0].at("ured_exact"));
  EXPECT_EQ(rows[0].count("vs_ml_per_g"), 1u);
}

TEST(Batch, ColumnsComeInAnyOrderAndHydrationAddsTheDerivedVs) {
  const std::string input =
      "molar_mass_g_per_mol,vbar_ml_per_g,b_over_c,extra,solvent_density_g_per_ml,a_over_b,hydration_g_per_g\n"
      "66000,0.73,2,kept as is,1.0,1.5,0.35\n";
  const auto o = run({"batch", "-"}, input);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(lines(o.out).at(0),
            "molar_mass_g_per_mol,vbar_ml_per_g,b_over_c,extra,solvent_density_g_per_ml,a_over_b,hydration_g_per_g,"
            "ured_exact,ured,vs_ml_per_g,U_ml_per_mol,u_ml,Bex_ml_mol_per_g2,Bz_ml_mol_per_g2,B_ml_mol_per_g2,"
            "BM_ml_per_g,BM2_l_per_mol,BM2_per_uM");
  const auto row = table(o.out).at(0);
  EXPECT_EQ(row.at("extra"), "kept as is");
  EXPECT_EQ(row.at("vs_ml_per_g"), shortest(swollen_specific_volume(0.73, 0.35, 1.0)));
  EXPECT_EQ(row.at("ured"), shortest(ured_ratios(1.5, 2)));
}

TEST(Batch, NamesWithCommasQuotesLineBreaksAndUtf8ComeBackUnchanged) {
  const std::string names[] = {"serum albumin, bovine", "the \"big\" one", "two\nlines", "Lysozym \xC3\xA9 \xE2\x80\x94 \xE6\xB0\xB4"};
  std::string input = "name,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n";
  for (const std::string& name : names) {
    std::string quoted = "\"";
    for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    input += quoted + "\",2,1,0.74,14000\n";
  }
  for (const std::string_view format : {"csv", "json"}) {
    const auto o = run({"batch", "-", "--format", format}, input);
    ASSERT_EQ(o.status, 0) << o.err;
    if (format == "csv") {
      const auto rows = table(o.out);
      ASSERT_EQ(rows.size(), std::size(names));
      for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].at("name"), names[i]);
    } else {
      const auto rows = nlohmann::json::parse(o.out);
      ASSERT_EQ(rows.size(), std::size(names));
      for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]["name"], names[i]);
        EXPECT_EQ(rows[i]["a_over_b"], 2.0);
      }
    }
  }
}

TEST(Batch, ARefusedRowIsNamedAndTheOthersAreStillWritten) {
  const std::string input =
      "name,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol,valency,ionic_strength_mol_per_l\n"
      "good1,3,2,1,0.74,14000,,\n"
      "flat,3,0,1,0.74,14000,,\n"
      "good2,3,2,1,0.74,15000,,\n"
      "short,3,2,1\n"
      "\"broken,3,2,1,0.74,14000,,\n";
  const auto o = run({"batch", "-"}, input);
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err,
            "<stdin>:3: column \"b_angstrom\": b = 0 must be a positive number\n"
            "<stdin>:5: 4 cells where the header has 8 columns\n"
            "<stdin>:6: column \"name\": a quote opened on line 6 is not closed before the end of the file\n");
  const auto rows = table(o.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("name"), "good1");
  EXPECT_EQ(rows[1].at("name"), "good2");
}

// Each rule of the dialogue, as a batch row refuses it.
TEST(Batch, RowsAreRefusedByTheDialoguesRules) {
  const std::string header =
      "name,a_over_b,b_over_c,hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g,molar_mass_g_per_mol,valency,"
      "ionic_strength_mol_per_l\n";
  const struct {
    const char* row;
    const char* err;
  } cases[] = {
      {"x,-1,2,0.35,1,0.73,66000,,", "column \"a_over_b\": a/b = -1 must be a positive number"},
      {"x,1,nan,0.35,1,0.73,66000,,", "column \"b_over_c\": b/c = nan must be a positive number"},
      {"x,1e200,1e200,0.35,1,0.73,66000,,", "column \"a_over_b\": a = (a/b)(b/c) = inf must be a positive number"},
      {"x,1,2,0.35,0,0.73,66000,,", "column \"solvent_density_g_per_ml\": rho = 0 must be a positive number"},
      {"x,1,2,-1,1,0.73,66000,,", "column \"hydration_g_per_g\": vs = vbar + delta/rho = -0.27 must be a positive number"},
      {"x,1,2,inf,1,0.73,66000,,", "column \"hydration_g_per_g\": delta = inf must be a finite number"},
      {"x,1,2,0.35,1,0.73,0,,", "column \"molar_mass_g_per_mol\": M = 0 must be a positive number"},
      {"x,1,2,0.35,1,0.73,1e154,,", "column \"molar_mass_g_per_mol\": M = 1e+154 is too large: 2*M*M overflows a double"},
      {"x,1,2,0.35,1,0.73,66000,5,", "column \"ionic_strength_mol_per_l\": empty, while valency is given: a charge needs both (leave both empty for none)"},
      {"x,1,2,0.35,1,0.73,66000,,0.1", "column \"valency\": empty, while ionic_strength_mol_per_l is given: a charge needs both (leave both empty for none)"},
      {"x,1,2,0.35,1,0.73,66000,5,0", "column \"ionic_strength_mol_per_l\": I = 0 must be a positive number"},
      {"x,1,2,0.35,1,0.73,66000,inf,0.1", "column \"valency\": Z = inf must be a finite number"},
      {"x,1,2,0.35,1,0.73,1e400,,", "column \"molar_mass_g_per_mol\": \"1e400\" is beyond the range of a double"},
      {"x,1,2,0.35,1,0.73,,,", "column \"molar_mass_g_per_mol\": empty"},
      {"x, ,,0.35,1,0.73,66000,,", "column \"a_over_b\": empty"},
      {"x,1,2,0.35,1,0.73,66 kDa,,", "column \"molar_mass_g_per_mol\": \"66 kDa\" is not a number"},
  };
  for (const auto& c : cases) {
    const auto o = run({"batch", "-"}, header + c.row + "\n");
    EXPECT_EQ(o.status, 2) << c.row;
    EXPECT_EQ(o.err, std::string("<stdin>:2: ") + c.err + "\n");
    EXPECT_EQ(lines(o.out).size(), 1u);  // the header row only
  }
}

TEST(Batch, AFileWithoutAUsableHeaderIsRefusedWhole) {
  const struct {
    std::string input;
    std::string err;
  } cases[] = {
      {"", "<stdin>:1: the file is empty: a header row naming the columns is needed\n"},
      {"\n\n", "<stdin>:1: the file is empty: a header row naming the columns is needed\n"},
      {"name,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g\nx,1,1,1,1\n",
       "<stdin>:1: column \"molar_mass_g_per_mol\": missing from the header\n"},
      {"a_angstrom,b_angstrom,vs_ml_per_g,molar_mass_g_per_mol\n",
       "<stdin>:1: column \"c_angstrom\": missing from the header, which has the other columns of its group\n"},
      {"3,2,1,0.74,14000\n",
       "<stdin>:1: column \"a_angstrom\": missing from the header: the shape needs a_angstrom,b_angstrom,c_angstrom "
       "or a_over_b,b_over_c\n"},
      {"a_over_b,b_over_c,vs_ml_per_g,vbar_ml_per_g,hydration_g_per_g,solvent_density_g_per_ml,molar_mass_g_per_mol\n",
       "<stdin>:1: column \"vs_ml_per_g\": vs is given twice: keep vs_ml_per_g or the hydration data\n"},
      {"a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,valency\n",
       "<stdin>:1: column \"ionic_strength_mol_per_l\": missing from the header: valency and "
       "ionic_strength_mol_per_l go together\n"},
      {"a_over_b,b_over_c,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n",
       "<stdin>:1: column \"b_over_c\": appears twice in the header\n"},
      {"a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,ured,URED\n",
       "<stdin>:1: column \"ured\": appears twice in the header\n"},
      {"A_over_b,b_over_c, a_over_B ,vs_ml_per_g,molar_mass_g_per_mol\n",
       "<stdin>:1: column \"a_over_b\": appears twice in the header\n"},
      {"a_angstom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol\n",
       "<stdin>:1: column \"a_angstom\": unknown name; did you mean \"a_angstrom\"?\n"},
      {"a_over_b,b_over_c,vs_ml_per_g,Molarmass_g_per_mol\n",
       "<stdin>:1: column \"Molarmass_g_per_mol\": unknown name; did you mean \"molar_mass_g_per_mol\"?\n"},
      {"a_agnstrmo,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol\n",  // two swaps are two slips
       "<stdin>:1: column \"a_agnstrmo\": unknown name; did you mean \"a_angstrom\"?\n"},
      {"a_over_b,b_over_c,vs_ml_per_g,molarmass_g_per_l\n",  // three slips: no hint
       "<stdin>:1: column \"molar_mass_g_per_mol\": missing from the header\n"},
      {"a_over_b,\"b_over_c\nvs_ml_per_g\n", "<stdin>:1: column \"column 2\": a quote opened on line 1 is not closed: it takes in the 1 row after it, to "
       "the end of the file\n"},
  };
  for (const auto& c : cases) {
    const auto o = run({"batch", "-"}, c.input);
    EXPECT_EQ(o.status, 2) << c.input;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, c.err);
  }
  // A slip in the name of a column the header can do without is carried, with a hint.
  const auto hint = run({"batch", "-"}, "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,Valncy\n");
  EXPECT_EQ(hint.status, 0);
  EXPECT_EQ(hint.err, "<stdin>:1: note: column \"Valncy\" is carried as text: did you mean \"valency\"?\n");
}

TEST(Batch, EachRowFillsOneGroupOfTheShapeAndNoCellBeyondTheHeader) {
  const std::string header = "a_angstrom,b_angstrom,c_angstrom,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n";
  const struct {
    const char* row;
    const char* err;
  } cases[] = {
      {"3,2,1,1.5,,0.74,14000", "column \"a_over_b\": the shape is given twice: fill a_angstrom,b_angstrom,c_angstrom "
                                "or a_over_b,b_over_c, not both"},
      {" ,,,,,0.74,14000", "column \"a_angstrom\": empty: the shape needs a_angstrom,b_angstrom,c_angstrom or "
                           "a_over_b,b_over_c"},
      {"3, ,1,,,0.74,14000", "column \"b_angstrom\": empty"},
      {",,,1.5,,0.74,14000", "column \"b_over_c\": empty"},
      {"3,2,1,,,0.74,14000,, x", "9 cells where the header has 7 columns"},
      {"3,2,1,,,0.74", "6 cells where the header has 7 columns"},
  };
  for (const auto& c : cases) {
    const auto o = run({"batch", "-"}, header + c.row + "\n");
    EXPECT_EQ(o.status, 2) << c.row;
    EXPECT_EQ(o.err, std::string("<stdin>:2: ") + c.err + "\n");
  }
  const auto json = nlohmann::json::parse(run({"batch", "-", "--format", "json"}, header + "3,2,1,,,0.74,1e4\n,,,3,2,1,1e4\n").out);
  ASSERT_EQ(json.size(), 2u);
  EXPECT_EQ(json[0]["ured"], ured(3, 2, 1));
  EXPECT_FALSE(json[0].contains("a_over_b"));  // the other group's cells are empty
  EXPECT_EQ(json[1]["ured"], ured_ratios(3, 2));
  EXPECT_FALSE(json[1].contains("a_angstrom"));
}

// Semicolons with decimal commas, names in other cases and with blanks, rows
// and cells of blanks (as spreadsheets export them), an empty name and a
// repeated one among the carried columns.
TEST(Batch, ASpreadsheetsExportGivesTheRowsOfItsPlainTwin) {
  const std::string plain =
      "name,a_angstrom,b_angstrom,c_angstrom,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,,note,note\n"
      "lysozyme,22.5,15,15,,,0.74,14300,,x,y\n"
      "ratios,,,,1.5,2,0.73,66000,,,\n";
  const std::string spreadsheet =
      " name ;A_Angstrom; b_angstrom ;C_ANGSTROM;a_over_b;b_over_c;vs_ml_per_g;molar_mass_g_per_mol;;note;note\r\n"
      ";;;;;;;;;;\r\n"
      "lysozyme;22,5;15;15;;;0,74;14300;;x;y;; \r\n"
      " ; ;\t; ;;;;;;;\r\n"
      "ratios;;;;1,5;2;0.73;66000;;;\r\n";
  const auto expected = run({"batch", "-"}, plain);
  ASSERT_EQ(expected.status, 0) << expected.err;
  const auto rows = table(expected.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("ured"), shortest(ured(22.5, 15, 15)));
  EXPECT_EQ(rows[1].at("ured"), shortest(ured_ratios(1.5, 2)));
  const auto read = run({"batch", "-"}, spreadsheet);
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.err, "");
  EXPECT_EQ(read.out, expected.out);

  // For spreadsheets that expect them: semicolons and decimal commas, read back as the same rows.
  std::string with_semicolons = expected.out;
  for (char& c : with_semicolons) c = c == ',' ? ';' : c == '.' ? ',' : c;
  const auto semicolons = run({"batch", "-", "--output-separator", "semicolon"}, spreadsheet);
  EXPECT_EQ(semicolons.out, with_semicolons);
  const auto back = run({"batch", "-"}, semicolons.out);
  EXPECT_EQ(back.status, 0);
  EXPECT_EQ(back.out, expected.out);
  EXPECT_EQ(back.err.rfind("<stdin>:1: note: columns that batch computes are computed again, not carried: ured_exact, ured, ", 0), 0u) << back.err;
  EXPECT_EQ(lines(back.err).size(), 1u);
  EXPECT_EQ(run({"batch", "-", "--output-separator", "semicolon", "--format", "json"}, plain).status, 2);
  // Only with semicolons is a comma a decimal point: elsewhere "0,74" may mean 74.
  EXPECT_EQ(run({"batch", "-"}, "a_over_b\tb_over_c\tvs_ml_per_g\tmolar_mass_g_per_mol\n1\t1\t0,74\t1e4\n").err,
            "<stdin>:2: column \"vs_ml_per_g\": \"0,74\" is not a number\n");
}

// A solvent column adds the measurements the shape predicts, the library's to
// the bit: an empty solvent cell is water at 20 C, s needs vbar and rho, f/f0
// vbar (beside vs or as part of the hydration data), else their cells are empty.
TEST(Batch, ASolventColumnAddsThePredictedMeasurementsOfTheLibrary) {
  const auto inputs = [](double vs, std::optional<double> vbar, std::optional<double> rho, double eta, double T) {
    PredictionInputs in{};
    in.molar_mass = 14300;
    in.vs = vs;
    in.vbar = vbar;
    in.solvent.density = rho;
    in.solvent.viscosity = eta;
    in.solvent.temperature = T;
    return in;
  };
  const double hydrated = swollen_specific_volume(0.703, 0.35, 0.9982);
  const struct {
    std::string input;
    PredictionInputs in;
  } cases[] = {
      {"a_over_b,b_over_c,vs_ml_per_g,vbar_ml_per_g,solvent_density_g_per_ml,molar_mass_g_per_mol,viscosity_mpa_s,"
       "temperature_k\n1.5,1,1.05,0.703,0.9982,14300,0.89,298.15\n",
       inputs(1.05, 0.703, 0.9982, 0.89, 298.15)},
      {"a_over_b,b_over_c,vs_ml_per_g,vbar_ml_per_g,solvent_density_g_per_ml,molar_mass_g_per_mol,viscosity_mpa_s,"
       "temperature_k\n1.5,1,1.05,,,14300,,\n",
       inputs(1.05, std::nullopt, std::nullopt, 1.002, 293.15)},
      {"temperature_k,a_over_b,b_over_c,hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g,molar_mass_g_per_mol\n"
       "293.15,1.5,1,0.35,0.9982,0.703,14300\n",
       inputs(hydrated, 0.703, 0.9982, 1.002, 293.15)},
  };
  for (const auto& c : cases) {
    const auto o = run({"batch", "-"}, c.input);
    ASSERT_EQ(o.status, 0) << o.err;
    const Predictions p = predict(shape_factors_ratios(1.5, 1), c.in);
    const auto row = table(o.out).at(0);
    const auto cell = [](const std::optional<double>& x) { return x ? shortest(*x) : std::string(); };
    EXPECT_EQ(row.at("s_svedberg"), cell(p.s_svedberg)) << c.input;
    EXPECT_EQ(row.at("D_cm2_per_s"), shortest(p.D_cm2_per_s));
    EXPECT_EQ(row.at("stokes_radius_angstrom"), shortest(p.stokes_radius_angstrom));
    EXPECT_EQ(row.at("f_over_f0"), cell(p.f_over_f0)) << c.input;
    EXPECT_EQ(row.at("rg_angstrom"), shortest(p.rg_angstrom));
    EXPECT_EQ(row.at("tau_h_ns"), shortest(p.tau_h_ns));
    EXPECT_EQ(row.at("intrinsic_viscosity_ml_per_g"), shortest(p.intrinsic_viscosity_ml_per_g));
    EXPECT_TRUE(lines(o.out).at(0).ends_with(",BM2_per_uM,s_svedberg,D_cm2_per_s,stokes_radius_angstrom,f_over_f0,"
                                             "rg_angstrom,tau_h_ns,intrinsic_viscosity_ml_per_g"));
    EXPECT_EQ(run({"batch", "-"}, o.out).out, o.out);  // its own output computes the same again
  }
  // Without a solvent column the output keeps its columns, and vbar and rho
  // beside vs, which would serve nothing, stay refused.
  const auto plain = run({"batch", "-"}, "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n1.5,1,1,14300\n");
  EXPECT_TRUE(lines(plain.out).at(0).ends_with(",BM2_per_uM"));
  EXPECT_EQ(run({"batch", "-"}, "a_over_b,b_over_c,vs_ml_per_g,vbar_ml_per_g,molar_mass_g_per_mol\n").err,
            "<stdin>:1: column \"hydration_g_per_g\": missing from the header, which has the other columns of its group\n");

  const std::string header =
      "a_over_b,b_over_c,vs_ml_per_g,vbar_ml_per_g,solvent_density_g_per_ml,molar_mass_g_per_mol,viscosity_mpa_s,"
      "temperature_k\n";
  const struct {
    const char* row;
    const char* err;
  } refused[] = {
      {"1.5,1,1,0.7,1,14300,0,", "column \"viscosity_mpa_s\": eta = 0 must be a positive number"},
      {"1.5,1,1,0.7,1,14300,,-1", "column \"temperature_k\": T = -1 must be a positive number"},
      {"1.5,1,1,0,1,14300,,", "column \"vbar_ml_per_g\": vbar = 0 must be a positive number"},
      {"1.5,1,1,0.7,nan,14300,,", "column \"solvent_density_g_per_ml\": rho = nan must be a positive number"},
      {"1.5,1,1,0.7,1,14300,1 cP,", "column \"viscosity_mpa_s\": \"1 cP\" is not a number"},
  };
  for (const auto& c : refused) {
    const auto o = run({"batch", "-"}, header + c.row + "\n");
    EXPECT_EQ(o.status, 2) << c.row;
    EXPECT_EQ(o.err, std::string("<stdin>:2: ") + c.err + "\n");
  }
}

TEST(Batch, ItsOwnOutputGivesTheSameRowsUnderAnyMethod) {
  const std::string input =
      "name,a_over_b,b_over_c,hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g,molar_mass_g_per_mol\n"
      "x,1.5,2,0.35,1,0.73,66000\n";
  const auto exact = run({"batch", "-"}, input);
  const auto both = run({"batch", "-", "--method", "both"}, input);
  EXPECT_EQ(run({"batch", "-", "--method", "both"}, both.out).out, both.out);
  EXPECT_EQ(run({"batch", "-"}, both.out).out, exact.out);  // the quadrature's columns and the derived vs go
  EXPECT_EQ(run({"batch", "-"}, exact.out).out, exact.out);
}

TEST(Batch, MalformedUtf8IsRefusedAndNeverEchoed) {
  for (const std::string bad : {"\xC3", "\xE2\x82", "\xF0\x9F\xA7", "\x80", "\xF8\x88\x80\x80\x80"}) {
    const auto row = run({"batch", "-"}, "name,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\nx" + bad +
                                             ",2,1,0.74,14000\nx,2,1,0.74,1" + bad + "4\n");
    EXPECT_EQ(row.err, "<stdin>:2: column \"name\": text that is not valid UTF-8\n"
                       "<stdin>:3: column \"molar_mass_g_per_mol\": text that is not valid UTF-8\n");
    const auto header = run({"batch", "-"}, "name" + bad + ",a_over_b\n");
    EXPECT_EQ(header.err, "<stdin>:1: column \"column 1\": text that is not valid UTF-8\n");
  }
}

TEST(Batch, TheReportUsesTheChosenMethodsUredAndTheExactOneUnderBoth) {
  const std::string input = "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n3,2,0.74,14000\n";
  const QuadratureResult q = quadrature_ratios(3, 2);
  const double exact = ured_ratios(3, 2);
  const auto quadrature_row = table(run({"batch", "-", "--method", "quadrature"}, input).out).at(0);
  EXPECT_EQ(quadrature_row.at("ured"), shortest(q.ured));
  EXPECT_EQ(quadrature_row.at("U_ml_per_mol"), shortest(virial({q.ured, 0.74, 14000, std::nullopt}).U));
  const auto both_row = table(run({"batch", "-", "--method", "both"}, input).out).at(0);
  EXPECT_EQ(both_row.at("ured"), shortest(exact));
  EXPECT_EQ(both_row.at("ured_quadrature"), shortest(q.ured));
  EXPECT_EQ(both_row.at("U_ml_per_mol"), shortest(virial({exact, 0.74, 14000, std::nullopt}).U));
}

TEST(Batch, AHeaderOnlyGivesTheHeaderRowOrAnEmptyArray) {
  const std::string header = "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n";
  const auto csv = run({"batch", "-"}, header);
  EXPECT_EQ(csv.status, 0);
  EXPECT_EQ(csv.out,
            "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,ured_exact,ured,U_ml_per_mol,u_ml,Bex_ml_mol_per_g2,"
            "Bz_ml_mol_per_g2,B_ml_mol_per_g2,BM_ml_per_g,BM2_l_per_mol,BM2_per_uM\n");
  const auto json = run({"batch", "-", "--format", "json"}, header);
  EXPECT_EQ(json.out, "[]\n");
}

TEST(Batch, ReadsAFileAndNamesItInMessages) {
  const auto path = std::filesystem::temp_directory_path() / ("triex_batch_test_" + std::to_string(getpid()) + ".csv");
  std::ofstream(path) << "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n1,1,1,10000\n1,1,-1,10000\n";
  const auto o = run({"batch", path.string()});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, path.string() + ":3: column \"vs_ml_per_g\": vs = -1 must be a positive number\n");
  EXPECT_EQ(table(o.out).at(0).at("ured"), "8");
  std::filesystem::remove(path);
  const auto missing = run({"batch", path.string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "triex batch: cannot read " + path.string() + ": No such file or directory\n");
  const auto directory = run({"batch", "/"});
  EXPECT_EQ(directory.err, "triex batch: cannot read /: Is a directory\n");
  // A file name is shown to 80 bytes, cut between characters.
  const std::string fits = std::string(78, 'x') + "\xC3\xA9", cut = std::string(79, 'x') + "\xC3\xA9";
  EXPECT_EQ(run({"batch", fits}).err, "triex batch: cannot read " + fits + ": No such file or directory\n");
  EXPECT_EQ(run({"batch", cut}).err, "triex batch: cannot read " + cut.substr(0, 79) + ": No such file or directory\n");
}

TEST(Batch, OutputIsIdenticalForOneAndTwoThreads) {
  std::string input = "name,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol,valency,ionic_strength_mol_per_l\n";
  for (int i = 1; i <= 40; ++i) {
    std::ostringstream row;
    row << 'm' << i << ',' << 1 + i % 7 << ',' << 1 + i % 5 << ",0.74," << 10000 + 1000 * i << (i % 3 ? ",2,0.1\n" : ",,\n");
    input += row.str();
  }
  input += "bad,0,1,1,1,,\n";
  for (const std::string_view method : {"exact", "both"}) {
    const auto one = run({"batch", "-", "--method", method, "--threads", "1"}, input);
    const auto two = run({"batch", "-", "--method", method, "--threads", "2"}, input);
    EXPECT_EQ(one.status, 2);
    EXPECT_EQ(lines(one.out).size(), 41u);
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(one.err, two.err);
  }
}

}  // namespace
}  // namespace triex::cli
