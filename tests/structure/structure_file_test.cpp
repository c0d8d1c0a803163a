#include "structure/structure_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "structure/mass_moments.hpp"
#include "structure_files.hpp"

namespace triex {
namespace {

using testing_support::filled_ellipsoid;
using testing_support::mmcif_text;
using testing_support::TemporaryFile;
using testing_support::TestAtom;
using Rotation = std::array<std::array<double, 3>, 3>;

constexpr Rotation kIdentity = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
// The axes turned by 30 degrees about z, then 40 degrees about the new x.
const Rotation kTurned = [] {
  const double c1 = std::cos(0.5235987755982988), s1 = std::sin(0.5235987755982988);
  const double c2 = std::cos(0.6981317007977318), s2 = std::sin(0.6981317007977318);
  return Rotation{{{c1, s1, 0}, {-s1 * c2, c1 * c2, s2}, {s1 * s2, -c1 * s2, c2}}};
}();

StructureModel model_of(const std::vector<TestAtom>& atoms, const StructureSelection& selection = {}) {
  return structure_model_from_bytes(mmcif_text(atoms), "test.cif", selection);
}

double dot(const std::array<double, 3>& u, const std::array<double, 3>& v) {
  return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

// The relative sampling error of a semi-axis from n uniform points is about
// 0.53/sqrt(n) (the spread of x^2 over a uniform ellipsoid); 20 000 points:
// 0.4 %. The tolerance is five of those.
constexpr std::size_t kPoints = 20000;
constexpr double kSamplingTolerance = 0.02;

TEST(EquivalentEllipsoid, AtomsFillingAnEllipsoidGiveItBackWithinTheSamplingError) {
  struct Case {
    const char* name;
    std::array<double, 3> axes;
    Rotation rotation;
    std::array<double, 3> centre;
    int known_directions;  // leading axes whose direction is determined (distinct semi-axes)
  };
  const Case cases[] = {
      {"triaxial, turned", {30, 20, 10}, kTurned, {12.5, -40, 7}, 3},
      {"triaxial, far from the origin", {30, 20, 10}, kIdentity, {5000, -3000, 8000}, 3},
      {"sphere", {15, 15, 15}, kTurned, {0, 0, 0}, 0},
      {"rod", {60, 6, 6}, kTurned, {1, 2, 3}, 1},
      {"disc", {40, 40, 4}, kIdentity, {0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StructureModel m = model_of(filled_ellipsoid(kPoints, c.axes, c.rotation, c.centre));
    EXPECT_EQ(m.atoms, kPoints);
    EXPECT_NEAR(m.molar_mass, kPoints * 12.0107, 1e-9 * m.molar_mass);  // carbon's standard atomic weight
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(m.ellipsoid.semi_axes[i], c.axes[i], kSamplingTolerance * c.axes[i]) << "axis " << i;
      EXPECT_NEAR(m.ellipsoid.centre[i], c.centre[i], kSamplingTolerance * c.axes[0]);
    }
    for (int i = 0; i < c.known_directions; ++i)
      EXPECT_GT(std::abs(dot(m.ellipsoid.directions[static_cast<std::size_t>(i)],
                             c.rotation[static_cast<std::size_t>(i)])), 0.999)
          << "axis " << i;
    for (const auto& u : m.ellipsoid.directions) {  // unit vectors, each one's largest component positive
      EXPECT_NEAR(dot(u, u), 1.0, 1e-14);
      EXPECT_GT(*std::max_element(u.begin(), u.end()), -*std::min_element(u.begin(), u.end()));
    }
  }
}

// The second moments about a centre 10^5 Angstrom away keep their digits.
TEST(MassMoments, KeepTheSpreadOfAMoleculeFarFromTheOrigin) {
  MassMoments moments;
  std::vector<std::array<double, 3>> points;
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> spread(-0.5, 0.5);
  for (int i = 0; i < 1000; ++i) points.push_back({99999 + spread(random), -99999 + spread(random), 5e4 + spread(random)});
  long double mean[3] = {0, 0, 0};
  for (const auto& p : points)
    for (int k = 0; k < 3; ++k) mean[k] += p[static_cast<std::size_t>(k)] / 1000.0L;
  long double xx = 0, xy = 0;
  for (const auto& p : points) {
    moments.add(2.0, p);
    xx += (p[0] - mean[0]) * (p[0] - mean[0]) / 1000.0L;
    xy += (p[0] - mean[0]) * (p[1] - mean[1]) / 1000.0L;
  }
  // The coordinates' own rounding (an ulp of 1e5 is 1.5e-11) bounds what any method keeps;
  // raw sums of m x x^T would lose about 1e-5 relative here.
  EXPECT_NEAR(moments.covariance()[0], static_cast<double>(xx), 1e-10 * static_cast<double>(xx));
  EXPECT_NEAR(moments.covariance()[3], static_cast<double>(xy), 1e-10 * static_cast<double>(xx));
  EXPECT_DOUBLE_EQ(moments.mass(), 2000.0);
}

// Two copies of one chain, the second moved by d: each alone gives the same
// ellipsoid, and together the tensor of one plus d d^T / 4 (the parallel-axis
// theorem), at twice the mass.
TEST(StructureSelection, TwoCopiesOfOneChainFollowTheParallelAxisTheorem) {
  std::vector<TestAtom> atoms = filled_ellipsoid(600, {20, 12, 8}, kTurned, {3, 4, 5});
  const std::array<double, 3> d{30, -10, 4};
  const std::size_t n = atoms.size();
  for (std::size_t i = 0; i < n; ++i) {
    TestAtom copy = atoms[i];
    copy.chain = "B";
    for (std::size_t k = 0; k < 3; ++k) copy.x[k] += d[k];
    atoms.push_back(copy);
  }
  const StructureModel a = model_of(atoms, {std::nullopt, {"A"}, false});
  const StructureModel b = model_of(atoms, {std::nullopt, {"B"}, false});
  const StructureModel both = model_of(atoms);
  EXPECT_EQ(both.atoms, 2 * n);
  EXPECT_NEAR(both.molar_mass, 2 * a.molar_mass, 1e-12 * both.molar_mass);
  // The written coordinates are rounded to 1e-6 Angstrom.
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(b.ellipsoid.semi_axes[i], a.ellipsoid.semi_axes[i], 1e-9);
    EXPECT_NEAR(b.ellipsoid.centre[i], a.ellipsoid.centre[i] + d[i], 1e-9);
  }
  // The tensor sum_i lambda_i u_i u_i^T from a semi-axis and direction each.
  const auto tensor = [](const EquivalentEllipsoid& e) {
    std::array<std::array<double, 3>, 3> t{};
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t k = 0; k < 3; ++k)
          t[j][k] += e.semi_axes[i] * e.semi_axes[i] / 5 * e.directions[i][j] * e.directions[i][k];
    return t;
  };
  const auto one = tensor(a.ellipsoid), two = tensor(both.ellipsoid);
  for (std::size_t j = 0; j < 3; ++j)
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(two[j][k], one[j][k] + d[j] * d[k] / 4, 1e-9) << j << k;
}

// Waters and ligands only when asked for; of two alternate locations the
// more occupied one, whichever comes first.
TEST(StructureSelection, HeteroResiduesAndAlternateLocations) {
  std::vector<TestAtom> atoms = filled_ellipsoid(50, {10, 8, 6}, kIdentity, {0, 0, 0});
  TestAtom less{{40, 0, 0}}, more{{0, 40, 0}};
  less.name = more.name = "CB";
  less.altloc = 'A', less.occupancy = 0.4;
  more.altloc = 'B', more.occupancy = 0.6;
  atoms.push_back(less);
  atoms.push_back(more);
  TestAtom water{{0, 0, 60}, "O", "A", "HOH", 900, "O", true};
  atoms.push_back(water);

  const StructureModel polymer = model_of(atoms);
  EXPECT_EQ(polymer.atoms, 51u);
  std::array<double, 3> centre{};
  for (std::size_t i = 0; i < 50; ++i)
    for (std::size_t k = 0; k < 3; ++k) centre[k] += atoms[i].x[k] / 51;
  centre[1] += 40.0 / 51;  // the B location, not the A one
  // The file holds the coordinates to 1e-6 Angstrom; taking location A would move the centre by 0.8.
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(polymer.ellipsoid.centre[k], centre[k], 1e-6);

  std::swap(atoms[50], atoms[51]);  // the order of the locations does not matter
  EXPECT_NEAR(model_of(atoms).ellipsoid.centre[1], centre[1], 1e-6);
  const StructureModel everything = model_of(atoms, {std::nullopt, {}, true});
  EXPECT_EQ(everything.atoms, 52u);
  EXPECT_NEAR(everything.molar_mass, polymer.molar_mass + 15.9994, 1e-9);
}

std::string gzip(const std::string& text, std::size_t cut = std::string::npos) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(out.size() - z.avail_out);
  deflateEnd(&z);
  return out.substr(0, cut);
}

std::string refusal(const std::string& bytes, const StructureSelection& selection = {}) {
  try {
    structure_model_from_bytes(bytes, "test", selection);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "(read)";
}

TEST(StructureRefusals, EachBadFileIsRefusedWithItsReason) {
  const std::vector<TestAtom> good = filled_ellipsoid(200, {10, 8, 6}, kTurned, {0, 0, 0});
  std::vector<TestAtom> plane, line;
  for (int i = 0; i < 100; ++i) {
    const double u = i % 10 - 4.5, v = i / 10 - 4.5;
    plane.push_back({{u, v, 0.3 * u - 0.7 * v}});
    line.push_back({{u + v, 2 * (u + v), -3 * (u + v)}});
    plane.back().seq = line.back().seq = i + 1;
  }
  // A sheet 4000 Angstrom across and 0.2 thick: thicker than 0.01 Angstrom, thinner than 1e-4 of its width.
  std::vector<TestAtom> sheet = filled_ellipsoid(400, {2000, 1500, 0.1}, kTurned, {0, 0, 0});
  std::vector<TestAtom> unknown = good, far = good, waters;
  unknown[17].element = "Qq";
  far[3].x[1] = 2e5;
  for (int i = 0; i < 5; ++i) waters.push_back({{1.0 * i, 2.0 * i * i, 0}, "O", "A", "HOH", i + 1, "O", true});
  const std::string pdb_line = "ATOM      1  CA  ALA A   1      11.104  13.207   2.100  1.00 20.00           C\n";
  std::string cif = mmcif_text(good);
  std::vector<TestAtom> nan_atom = good;
  nan_atom[0].x[0] = std::nan("");  // written "nan", which mmCIF readers take as a number

  struct Case {
    const char* name;
    std::string bytes;
    StructureSelection selection;
    const char* words;
  };
  const Case cases[] = {
      {"plane", mmcif_text(plane), {}, "the atoms lie in a plane"},
      {"line", mmcif_text(line), {}, "the atoms lie on a line"},
      {"sheet", mmcif_text(sheet), {}, "the atoms lie in a plane"},
      // A lone residue is a ligand, not a polymer: these two are taken as hetero atoms.
      {"one atom", mmcif_text({good[0]}), {std::nullopt, {}, true}, "one atom"},
      {"one point twice", mmcif_text({good[0], good[0]}), {std::nullopt, {}, true}, "all at one point"},
      {"waters only", mmcif_text(waters), {}, "no atoms in model 1 (polymer residues only"},
      {"unknown element", mmcif_text(unknown), {}, "atom 18 (CA of ALA 18 in chain A): unknown element"},
      {"coordinate far out", mmcif_text(far), {}, "coordinate y = 2e+05 Angstrom is beyond 1e+05 Angstrom"},
      {"coordinate not a number", mmcif_text(nan_atom), {}, "coordinate x = nan Angstrom is beyond"},
      {"no such chain", cif, {std::nullopt, {"A", "Q"}, false}, "no chain Q in model 1 (it has A)"},
      {"no such model", cif, {7, {}, false}, "no model 7: the file has 1 model, 1"},
      {"text", "Dear editor,\nplease find attached\n", {}, "not a structure"},
      {"empty", "", {}, "not a structure"},
      {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20), {}, "not a structure"},
      {"PDB cut within an atom", pdb_line + pdb_line.substr(0, 40), {}, "truncated"},
      {"mmCIF cut within a loop row", cif.substr(0, cif.size() - 20), {}, "truncated"},
      {"gzip cut short", gzip(cif, 300), {}, "truncated"},
      {"gzip with trailing bytes", gzip(cif) + "junk", {}, "not a gzip file after its first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(refusal(c.bytes, c.selection).find(c.words), std::string::npos) << refusal(c.bytes, c.selection);
  }
  EXPECT_EQ(refusal(gzip(cif)), "(read)");

  // A disulfide record cut short of its distance field is no reason to refuse
  // the atoms (and, under AddressSanitizer, nothing is read past its end).
  std::string pdb;
  char text[96];
  for (std::size_t i = 0; i < 12; ++i) {
    std::snprintf(text, sizeof text, "ATOM  %5zu  CA  ALA A%4zu    %8.3f%8.3f%8.3f  1.00 20.00           C\n", i + 1,
                  i + 1, good[i].x[0], good[i].x[1], good[i].x[2]);
    pdb += text;
  }
  const std::string ssbond = "SSBOND   1 CYS A    1    CYS A    2                          1555   1555  2";
  ASSERT_EQ(ssbond.size(), 75u);
  for (const char* tail : {"\n", ""}) EXPECT_EQ(refusal(ssbond + "\n" + pdb + "LINK" + ssbond.substr(4) + tail), "(read)");
}

// A file beyond the bound is refused from its size, before it is read; a
// small gzip file that expands beyond it, while it is decompressed.
TEST(StructureRefusals, FilesBeyondTheMemoryBoundAreRefusedUnread) {
  TemporaryFile large("");
  ASSERT_EQ(::truncate(large.path().c_str(), static_cast<off_t>(kMaxStructureBytes + 1)), 0);
  try {
    read_structure_model(large.path(), {});
    ADD_FAILURE() << "read";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("the file is 268435457 bytes, larger than 256 MiB"), std::string::npos)
        << e.what();
  }
  // 257 members of 1 MiB of blanks each: a quarter of a megabyte that expands past the bound.
  const std::string member = gzip(std::string(std::size_t{1} << 20, ' '));
  std::string bomb;
  for (int i = 0; i < 257; ++i) bomb += member;
  EXPECT_LT(bomb.size(), std::size_t{1} << 20);
  EXPECT_NE(refusal(bomb).find("decompressed, it is larger than 256 MiB"), std::string::npos) << refusal(bomb);
  EXPECT_NE(refusal(member).find("not a structure"), std::string::npos);  // one member is read
}

}  // namespace
}  // namespace triex
