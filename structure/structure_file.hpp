// A macromolecular model read from a PDB or mmCIF file (gzipped or not):
// the atoms of one model, of the chosen chains, reduced in one pass to their
// mass, centre and second moments, and the equivalent ellipsoid of inertia
// of those atoms.
//
// Selection: the first model unless a model number is given; every chain, or
// the named ones; the residues of polymers only (waters, ligands and ions
// left out) unless hetero residues are asked for; of an atom's alternate
// locations, the one of highest occupancy (the first of equal ones). Each
// atom weighs its element's standard atomic mass.
//
// The file is parsed whole by gemmi (a library for macromolecular files),
// which holds the text and the model in memory: files whose text is larger
// than kMaxStructureBytes are refused rather than read, gzipped ones while
// they are being decompressed. Memory is thus bounded per file; the inertia
// itself takes constant memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "structure/equivalent_ellipsoid.hpp"

namespace triex {

// The largest text of a structure file that is read (256 MiB): an mmCIF file
// of about 2.5 million atoms, beyond the largest deposited models of single
// molecules and complexes.
inline constexpr std::size_t kMaxStructureBytes = std::size_t{256} << 20;
// Coordinates beyond this distance from the origin on any axis (10 micrometres)
// are no molecule's: a corrupted field, or the wrong unit.
inline constexpr double kMaxCoordinate = 1e5;  // Angstrom

struct StructureSelection {
  std::optional<int> model;         // the model number of the file; the first model when empty
  std::vector<std::string> chains;  // chain names; every chain when empty
  bool with_hetero = false;         // waters, ligands and ions too
};

struct StructureModel {
  std::size_t atoms;             // atoms taken into the ellipsoid
  double molar_mass;             // sum of their standard atomic masses, g/mol
  EquivalentEllipsoid ellipsoid;
};

// Reads the file at `path` and returns the equivalent ellipsoid of its
// selected atoms. Throws std::invalid_argument with the reason when the file
// cannot be read or is refused: not a structure, truncated, larger than
// kMaxStructureBytes, no atoms in the selection, an unknown element, a
// coordinate beyond kMaxCoordinate, one atom, atoms on a line or in a plane.
StructureModel read_structure_model(const std::string& path, const StructureSelection& selection);

// The same for the text of a file (gzip-compressed or not); `name` names it
// in messages.
StructureModel structure_model_from_bytes(std::string_view bytes, const std::string& name,
                                          const StructureSelection& selection);

}  // namespace triex
