// Structure files written by the tests: atoms as mmCIF or PDB text, and
// points filling a known ellipsoid.
#pragma once

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace triex::testing_support {

struct TestAtom {
  std::array<double, 3> x;
  std::string element = "C";
  std::string chain = "A";
  std::string residue = "ALA";
  int seq = 1;
  std::string name = "CA";
  bool hetero = false;
  char altloc = '.';
  double occupancy = 1.0;
};

// The atoms as an mmCIF file's text (coordinates with six decimals).
inline std::string mmcif_text(const std::vector<TestAtom>& atoms) {
  std::string text =
      "data_test\nloop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n"
      "_atom_site.label_atom_id\n_atom_site.label_alt_id\n_atom_site.label_comp_id\n_atom_site.label_asym_id\n"
      "_atom_site.label_seq_id\n_atom_site.Cartn_x\n_atom_site.Cartn_y\n_atom_site.Cartn_z\n"
      "_atom_site.occupancy\n_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_id\n_atom_site.auth_asym_id\n"
      "_atom_site.pdbx_PDB_model_num\n";
  char line[256];
  int id = 0;
  for (const TestAtom& a : atoms) {
    // Waters and ligands have no place in a polymer's sequence (label_seq_id
    // "."), and a label_asym_id of their own, as in deposited files.
    const std::string label_seq = a.hetero ? "." : std::to_string(a.seq);
    const std::string label_asym = a.hetero ? a.chain + "W" : a.chain;
    std::snprintf(line, sizeof line, "%s %d %s %s %c %s %s %s %.6f %.6f %.6f %.2f 20.0 %d %s 1\n",
                  a.hetero ? "HETATM" : "ATOM", ++id, a.element.c_str(), a.name.c_str(), a.altloc, a.residue.c_str(),
                  label_asym.c_str(), label_seq.c_str(), a.x[0], a.x[1], a.x[2], a.occupancy, a.seq, a.chain.c_str());
    text += line;
  }
  return text;
}

// `n` points uniform in the ellipsoid with semi-axes `axes` along the columns
// of the rotation `r`, centred at `centre`, each an alanine CA of its own residue.
inline std::vector<TestAtom> filled_ellipsoid(std::size_t n, std::array<double, 3> axes,
                                              const std::array<std::array<double, 3>, 3>& r,
                                              std::array<double, 3> centre, unsigned seed = 1) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<TestAtom> atoms;
  while (atoms.size() < n) {
    const std::array<double, 3> u{uniform(random), uniform(random), uniform(random)};
    if (u[0] * u[0] + u[1] * u[1] + u[2] * u[2] > 1) continue;  // rejection from the cube
    TestAtom atom;
    for (std::size_t k = 0; k < 3; ++k) {
      atom.x[k] = centre[k];
      for (std::size_t i = 0; i < 3; ++i) atom.x[k] += r[i][k] * axes[i] * u[i];
    }
    atom.seq = static_cast<int>(atoms.size()) + 1;
    atoms.push_back(atom);
  }
  return atoms;
}

// A file in the test's temporary folder, removed at the end of the test.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& text, const std::string& suffix = ".cif") {
    static int serial = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("triex_structure_" + std::to_string(::getpid()) + "_" + std::to_string(++serial) + suffix))
                .string();
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TemporaryFile() { std::filesystem::remove(path_); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace triex::testing_support
