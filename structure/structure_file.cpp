#include "structure/structure_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <gemmi/mmread.hpp>
#include <gemmi/polyheur.hpp>
#include <new>
#include <stdexcept>

#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex {
namespace {

[[noreturn]] void refuse(const std::string& reason) { throw std::invalid_argument(reason); }

const std::string kTooLarge = "larger than " + std::to_string(kMaxStructureBytes >> 20) +
                              " MiB of text: refused rather than held in memory";

// A message of the parser, which may quote a line of the file: one line, at
// most 160 characters, control characters shown as '?'.
std::string shown(std::string_view text) {
  constexpr std::size_t kShown = 160;
  return with_controls_shown(cut_between_characters(text, kShown)) + (text.size() > kShown ? "..." : "");
}

// The whole file, refused beyond kMaxStructureBytes (a pipe is read up to that bound).
std::string read_bounded(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) refuse("cannot read it: " + std::string(std::strerror(errno)));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info;
  if (::fstat(fd, &info) != 0) refuse("cannot read it: " + std::string(std::strerror(errno)));
  if (S_ISDIR(info.st_mode)) refuse("cannot read it: " + std::string(std::strerror(EISDIR)));
  if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > kMaxStructureBytes)
    refuse("the file is " + std::to_string(info.st_size) + " bytes, " + kTooLarge);
  std::string text;
  std::size_t size = 0;
  for (;;) {
    if (size == text.size()) text.resize(std::min(kMaxStructureBytes + 1, std::max<std::size_t>(1 << 16, 2 * size)));
    const ::ssize_t n = ::read(fd, text.data() + size, text.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) refuse("cannot read it: " + std::string(std::strerror(errno)));
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
    if (size > kMaxStructureBytes) refuse(kTooLarge);
  }
  text.resize(size);
  return text;
}

bool is_gzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
         static_cast<unsigned char>(bytes[1]) == 0x8b;
}

// The decompressed text of gzip data (one member or several in a row),
// refused beyond kMaxStructureBytes: a small file may expand without limit.
std::string gunzip_bounded(std::string_view bytes) {
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) refuse("cannot decompress it: zlib could not start");
  struct Ender {
    z_stream* z;
    ~Ender() { inflateEnd(z); }
  } ender{&z};
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());  // at most kMaxStructureBytes
  std::string text;
  std::size_t size = 0;
  for (;;) {
    if (size == text.size()) text.resize(std::min(kMaxStructureBytes + 1, std::max<std::size_t>(1 << 16, 2 * size)));
    z.next_out = reinterpret_cast<Bytef*>(text.data() + size);
    z.avail_out = static_cast<uInt>(text.size() - size);
    const int status = inflate(&z, Z_NO_FLUSH);
    size = text.size() - z.avail_out;
    if (size > kMaxStructureBytes) refuse("decompressed, it is " + kTooLarge);
    if (status == Z_STREAM_END) {
      // Concatenated members are one file (as gzip -d reads them); other bytes after the end are not.
      if (z.avail_in == 0) break;
      if (!is_gzip({reinterpret_cast<const char*>(z.next_in), z.avail_in}))
        refuse("not a gzip file after its first " + std::to_string(bytes.size() - z.avail_in) + " bytes");
      inflateReset(&z);
      continue;
    }
    if (status == Z_BUF_ERROR && z.avail_in == 0) refuse("truncated: the gzip data end before their last block");
    if (status != Z_OK && status != Z_BUF_ERROR)
      refuse("corrupt gzip data: " + std::string(z.msg ? z.msg : "inflate failed"));
  }
  text.resize(size);
  return text;
}

// A coordinate record cut off by the end of the file: the text does not end
// with a line break, and its last line is an atom of either format.
bool ends_in_cut_atom(const std::string& text) {
  if (text.empty() || text.back() == '\n' || text.back() == '\r') return false;
  const std::size_t start = text.find_last_of('\n') + 1;  // npos + 1 == 0
  const std::string_view last(text.data() + start, text.size() - start);
  return last.substr(0, 4) == "ATOM" || last.substr(0, 6) == "HETATM";
}

// gemmi 0.5 reads the distance field of an SSBOND or LINK record past the
// end of a short line (a heap over-read that fuzzing found). The model's
// connectivity plays no part here, so in PDB text every line that gemmi would
// take for SSBOND, LINK or CISPEP is renamed to a record it skips. A line
// starts, for gemmi's reader, after a line break, and also after a NUL or a
// byte above 127, where it stops skipping the rest of a line too long.
void hide_connectivity_records(std::string& text) {
  const auto is_line_start = [&](std::size_t p) {
    if (p == 0) return true;
    const unsigned char before = static_cast<unsigned char>(text[p - 1]);
    return before == '\n' || before == 0 || before > 127;
  };
  for (std::size_t p = 0; p < text.size(); ++p) {
    if (!is_line_start(p)) continue;
    char head[4] = {0, 0, 0, 0};
    text.copy(head, 4, p);
    const int id = gemmi::ialpha4_id(head);
    if (id == gemmi::ialpha4_id("SSBO") || id == gemmi::ialpha4_id("LINK") || id == gemmi::ialpha4_id("CISP"))
      text[p] = '!';
  }
}

std::string atom_name(const gemmi::Atom& atom, const gemmi::Residue& residue, const gemmi::Chain& chain) {
  return "atom " + std::to_string(atom.serial) + " (" + shown(atom.name) + " of " + shown(residue.name) + " " +
         residue.seqid.str() + " in chain " + shown(chain.name) + ")";
}

// Of the alternate locations of each atom of a residue (same name, an altloc
// mark), the one of highest occupancy stays, the first of equal ones.
std::vector<bool> kept_locations(const gemmi::Residue& residue) {
  std::vector<bool> kept(residue.atoms.size(), true);
  std::vector<std::size_t> alternates;
  for (std::size_t i = 0; i < residue.atoms.size(); ++i)
    if (residue.atoms[i].has_altloc()) alternates.push_back(i);
  if (alternates.empty()) return kept;
  std::stable_sort(alternates.begin(), alternates.end(), [&](std::size_t x, std::size_t y) {
    const gemmi::Atom &p = residue.atoms[x], &q = residue.atoms[y];
    if (p.name != q.name) return p.name < q.name;
    return p.occ > q.occ;
  });
  for (std::size_t k = 1; k < alternates.size(); ++k)
    if (residue.atoms[alternates[k]].name == residue.atoms[alternates[k - 1]].name) kept[alternates[k]] = false;
  return kept;
}

gemmi::Model& chosen_model(gemmi::Structure& st, const StructureSelection& selection) {
  if (!selection.model) return st.models.front();
  const std::string wanted = std::to_string(*selection.model);
  for (gemmi::Model& model : st.models)
    if (model.name == wanted) return model;
  refuse("no model " + wanted + ": the file has " + std::to_string(st.models.size()) +
         (st.models.size() == 1 ? " model, " : " models, ") + shown(st.models.front().name) +
         (st.models.size() == 1 ? "" : " to " + shown(st.models.back().name)));
}

std::string selection_words(const gemmi::Model& model, const StructureSelection& selection) {
  std::string words = "model " + shown(model.name);
  if (!selection.chains.empty()) {
    words += ", chain";
    words += selection.chains.size() == 1 ? " " : "s ";
    for (std::size_t i = 0; i < selection.chains.size(); ++i) words += (i ? "," : "") + shown(selection.chains[i]);
  }
  return words;
}

StructureModel model_of_text(std::string text, const std::string& name, const StructureSelection& selection) {
  if (ends_in_cut_atom(text)) refuse("truncated: its last line, an atom record, ends without a line break");
  if (gemmi::coor_format_from_content(text.data(), text.data() + text.size()) == gemmi::CoorFormat::Pdb)
    hide_connectivity_records(text);
  gemmi::Structure st;
  try {
    st = gemmi::read_structure_from_char_array(text.data(), text.size(), name);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    refuse("not a structure that can be read: " + shown(e.what()));
  }
  if (st.models.empty() || std::all_of(st.models.begin(), st.models.end(), [](const gemmi::Model& m) {
        return std::all_of(m.chains.begin(), m.chains.end(), [](const gemmi::Chain& c) { return c.residues.empty(); });
      }))
    refuse("not a structure: no atoms (no ATOM or HETATM records, or no _atom_site table)");

  gemmi::Model& model = chosen_model(st, selection);
  for (const std::string& chain : selection.chains)
    if (!model.find_chain(chain)) {
      // A chain may come in parts (its polymer, then its waters after TER): each name once.
      std::vector<std::string> names;
      for (const gemmi::Chain& c : model.chains)
        if (std::find(names.begin(), names.end(), c.name) == names.end()) names.push_back(c.name);
      std::string list;
      for (const std::string& n : names) list += (list.empty() ? "" : ",") + n;
      refuse("no chain " + shown(chain) + " in model " + shown(model.name) + " (it has " + shown(list) + ")");
    }
  // Polymer, water or other, from the file's entities or, where it has
  // none, from the residues' names along each chain.
  for (gemmi::Chain& chain : model.chains) gemmi::add_entity_types(chain, false);

  MassMoments moments;
  double molar_mass = 0;
  for (const gemmi::Chain& chain : model.chains) {
    if (!selection.chains.empty() &&
        std::find(selection.chains.begin(), selection.chains.end(), chain.name) == selection.chains.end())
      continue;
    for (const gemmi::Residue& residue : chain.residues) {
      if (!selection.with_hetero && residue.entity_type != gemmi::EntityType::Polymer) continue;
      const std::vector<bool> kept = kept_locations(residue);
      for (std::size_t i = 0; i < residue.atoms.size(); ++i) {
        if (!kept[i]) continue;
        const gemmi::Atom& atom = residue.atoms[i];
        const double mass = atom.element.weight();
        if (!(mass > 0)) refuse(atom_name(atom, residue, chain) + ": unknown element, no atomic mass");
        const std::array<double, 3> x{atom.pos.x, atom.pos.y, atom.pos.z};
        for (std::size_t k = 0; k < 3; ++k)
          if (!(std::abs(x[k]) <= kMaxCoordinate))
            refuse(atom_name(atom, residue, chain) + ": coordinate " + "xyz"[k] + " = " + shortest(x[k]) +
                   " Angstrom is beyond " + shortest(kMaxCoordinate) + " Angstrom, larger than any molecule");
        moments.add(mass, x);
        molar_mass += mass;
      }
    }
  }
  if (moments.count() == 0)
    refuse("no atoms in " + selection_words(model, selection) +
           (selection.with_hetero ? "" : " (polymer residues only; --with-hetero takes the others too)"));
  try {
    return {moments.count(), molar_mass, equivalent_ellipsoid(moments)};
  } catch (const std::invalid_argument& e) {
    refuse(std::string(e.what()) + " in " + selection_words(model, selection));
  }
}

}  // namespace

StructureModel read_structure_model(const std::string& path, const StructureSelection& selection) {
  std::string bytes = read_bounded(path);
  if (is_gzip(bytes)) return model_of_text(gunzip_bounded(bytes), path, selection);
  return model_of_text(std::move(bytes), path, selection);
}

StructureModel structure_model_from_bytes(std::string_view bytes, const std::string& name,
                                          const StructureSelection& selection) {
  if (bytes.size() > kMaxStructureBytes) refuse(kTooLarge);
  if (is_gzip(bytes)) return model_of_text(gunzip_bounded(bytes), name, selection);
  return model_of_text(std::string(bytes), name, selection);
}

}  // namespace triex
