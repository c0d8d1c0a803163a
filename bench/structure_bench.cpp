// A structure file to its equivalent ellipsoid and the predictions, and the
// `triex structure` command over many files.
//
// StructureFile/<format>: a 10 000-atom protein-like model (2500 residues of
// N, CA, C, O filling an ellipsoid of 40 x 30 x 20 Angstrom) read from a
// file in the page cache, its ellipsoid, shape factors and predictions; time
// per file. Formats: PDB, mmCIF, gzipped PDB.
// StructureCommand/<threads>: `triex structure` over 1000 files of 1000 atoms
// each, output to a string; time per run, counter "files/s".

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/counters.hpp"
#include "cli/commands.hpp"
#include "structure/structure_report.hpp"
#include "tests/structure/structure_files.hpp"

namespace triex::bench {
namespace {

constexpr const char* kAtomNames[4] = {" N  ", " CA ", " C  ", " O  "};
constexpr const char* kElements[4] = {"N", "C", "C", "O"};

// PDB text of `atoms` atoms uniform in the ellipsoid, four to a residue, in chains of 1000 residues.
std::string pdb_text(std::size_t atoms, unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  std::string text;
  char line[96];
  for (std::size_t i = 0; i < atoms;) {
    const double x = u(random), y = u(random), z = u(random);
    if (x * x + y * y + z * z > 1) continue;
    const std::size_t residue = i / 4;
    std::snprintf(line, sizeof line, "ATOM  %5zu %s ALA %c%4zu    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n",
                  i % 99999 + 1, kAtomNames[i % 4], static_cast<char>('A' + residue / 1000), residue % 1000 + 1,
                  40 * x, 30 * y, 20 * z, kElements[i % 4]);
    text += line;
    ++i;
  }
  return text + "END\n";
}

// The same atoms as mmCIF, written by the tests' writer.
std::string mmcif_text(const std::string& pdb) {
  std::vector<testing_support::TestAtom> atoms;
  std::istringstream in(pdb);
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("ATOM", 0) != 0) continue;
    testing_support::TestAtom atom;
    atom.x = {std::stod(l.substr(30, 8)), std::stod(l.substr(38, 8)), std::stod(l.substr(46, 8))};
    const std::string name = l.substr(12, 4);
    atom.name = name.substr(name.find_first_not_of(' '), name.find_last_not_of(' ') - name.find_first_not_of(' ') + 1);
    atom.element = l.substr(77, 1);
    atom.chain = l.substr(21, 1);
    atom.seq = std::stoi(l.substr(22, 4));
    atoms.push_back(atom);
  }
  return testing_support::mmcif_text(atoms);
}

std::string write_file(const std::string& name, const std::string& text, bool gzip = false) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary) << text;
  if (gzip) {
    if (std::system(("gzip -f -k " + path).c_str()) != 0) return {};
    return path + ".gz";
  }
  return path;
}

const StructureInputs kInputs = [] {
  StructureInputs in{14300.0, 0.98, 0.73, {}};
  in.solvent.density = 0.9982;
  return in;
}();

void StructureFile(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    const StructureModel model = read_structure_model(path, {});
    benchmark::DoNotOptimize(structure_values(model, kInputs));
  }
  state.counters["atoms/s"] = benchmark::Counter(10000, benchmark::Counter::kIsIterationInvariantRate);
}

void StructureCommand(benchmark::State& state, const std::vector<std::string>& paths) {
  const std::string threads = std::to_string(state.range(0));
  std::vector<std::string_view> args = {"structure", "--threads", threads};
  for (const std::string& p : paths) args.push_back(p);
  for (auto _ : state) {
    std::istringstream in;
    cli::StringSink out;
    std::ostringstream err;
    cli::Streams streams{in, out, err, false};
    if (cli::run_command(args, streams) != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.text().size());
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(paths.size()), benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  const std::string pdb = pdb_text(10000, 1);
  const std::string pdb_path = write_file("triex_bench_10000.pdb", pdb);
  const std::string cif_path = write_file("triex_bench_10000.cif", mmcif_text(pdb));
  const std::string gz_path = write_file("triex_bench_10000_gz.pdb", pdb, true);
  benchmark::RegisterBenchmark("StructureFile/pdb", StructureFile, pdb_path)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("StructureFile/mmcif", StructureFile, cif_path)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("StructureFile/pdb_gz", StructureFile, gz_path)->Unit(benchmark::kMillisecond);

  std::vector<std::string> small;
  for (unsigned i = 0; i < 1000; ++i)
    small.push_back(write_file("triex_bench_small_" + std::to_string(i) + ".pdb", pdb_text(1000, i + 2)));
  benchmark::RegisterBenchmark("StructureCommand", StructureCommand, small)
      ->Arg(1)
      ->Arg(2)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  const int status = triex::run_registered_benchmarks(argc, argv);
  for (const std::string& p : small) std::filesystem::remove(p);
  for (const std::string& p : {pdb_path, cif_path, gz_path, pdb_path + ".gz"}) std::filesystem::remove(p);
  std::filesystem::remove(std::filesystem::temp_directory_path() / "triex_bench_10000_gz.pdb");
  return status;
}
