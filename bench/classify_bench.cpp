// Classification of drug-sized molecules with explicit hydrogens: a 100-fragment atom file and a 40-fragment bond
// file written in the style of the delivered files (hydrogens in brackets, neighbour sets, user symbols,
// hybridisation marks), the nine delivered files themselves, and the Gasteiger-Marsili charges.
// The counter "per50atoms" is the time per molecule scaled to a 50-atom molecule.
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/gasteiger.h"
#include "classify/smiles_classification.h"
#include "core/parser.h"
#include "core/paths.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin {
namespace {

// 100 atom fragments.
const char* const kAtomFragments[] = {
    // carbon
    "[CH4]", "[CH3]C", "[CH3]N", "[CH3]O", "[CH3]S", "[CH3]X", "[CH3]C(:*):*", "[CH3]C(=O)*", "[CH3]*",
    "[CH2](C)C", "[CH2](C)N", "[CH2](C)O", "[CH2](C)X", "[CH2](N)N", "[CH2](C)C(:*):*", "[CH2](*)*", "[CH2]=*",
    "[CH](C)(C)C", "[CH](C)(C)N", "[CH](C)(C)O", "[CH](*)(*)*", "C(C)(C)(C)C", "C(*)(*)(*)*",
    "C(=O)(O)*", "C(=O)(N)*", "C(=O)([O-])*", "C(=O)(C)C", "C(=O)(O)C(:*):*", "[CH](=O)*",
    "[CH](:*):*", "C(:*)(:*)C", "C(:*)(:*)N", "C(:*)(:*)O", "C(:*)(:*)X", "C(:N)(:*)*", "C(:*)(:*)*", "[CH]#*",
    "C(#N)*", "C#*", "[C&sp3]", "[C&sp2]",
    // nitrogen
    "[NH3+]*", "[NH2]C(=O)*", "[NH2]C(:*):*", "[NH2]*", "[NH](C)C(=O)*", "[NH](C)C", "[NH](*)*", "N(C)(C)C(=O)*",
    "N(C)(C)C", "N(*)(*)*", "[NH](:*):*", "N(:*)(:*)*", "N(:*):*", "[N+](=O)([O-])*", "N=*", "N#*",
    "[N&sp3]", "N",
    // oxygen
    "[OH]C(=O)*", "[OH]C(:*):*", "[OH]C", "[OH]*", "O(C)C(=O)*", "O(C)C", "O(*)*", "O=C(N)*", "O=C(O)*", "O=*",
    "[O-]*", "O(:*):*", "[O&sp2]", "O",
    // sulfur, phosphorus, halogens
    "[SH]*", "S(=O)(=O)(N)*", "S(=O)(=O)(*)*", "S(=O)(*)*", "S(:*):*", "S(*)*", "S", "P(=O)(O)(O)*", "P(*)(*)*",
    "P", "FC(F)(F)*", "FC(:*):*", "F*", "ClC(:*):*", "Cl*", "BrC(:*):*", "Br*", "I*",
    // hydrogen and the rest
    "HOC(=O)*", "HN(:*):*", "HC(:*):*", "HC", "HN", "HO", "H*", "X", "*"};

// 40 bond fragments.
const char* const kBondFragments[] = {
    "C-H", "N-H", "O-H", "S-H", "[C&sp3]-[C&sp3]", "[C&sp3]-[C&sp2]", "[C&sp2]-[C&sp2]", "C:C-[C&sp3]", "C-C",
    "C=C", "C#C", "C:C", "O=C-N", "O=C-O", "OC=O", "NC=O", "C-N", "C=N", "C#N", "C:N", "C-O", "C=O", "C-S", "C=S",
    "C:S", "C-X", "N-N", "N=N", "N:N", "N-O", "N=O", "S=O", "S-O", "S-N", "P=O", "P-O", "C~O", "C~N", "*~*", "**"};

std::string FileText(const char* const* fragments, size_t count, bool symbols) {
  std::ostringstream text;
  text << "Property = W\n// generated for the benchmark\n";
  if (symbols) text << "X = F, Cl, Br, I\n";
  for (size_t i = 0; i < count; ++i) text << fragments[i] << " = " << (i % 17) * 0.25 << "\n";
  return text.str();
}

Ptr<TSMILESClassification> Load(const std::string& text, int kind) {
  Ptr<TParser> parser = NewTextParser(text);
  return std::make_shared<TSMILESClassification>(std::vector<std::string>{"W"}, *parser, kind, vkNumber);
}

// Drug-sized molecules, used when the shared fixture set is not beside the repository.
const char* const kFallback[] = {
    "CN1C(=O)CC(=O)N(c2ccccc2)c2cc(Cl)ccc21", "CC(=O)Nc1ccc(O)cc1", "CC(C)Cc1ccc(cc1)C(C)C(=O)O",
    "CN1CCC[C@H]1c1cccnc1", "COc1ccc2[nH]cc(CCNC(C)=O)c2c1", "CC(C)NCC(O)COc1cccc2ccccc12",
    "CN1C=NC2=C1C(=O)N(C(=O)N2C)C", "OC(=O)c1ccccc1OC(C)=O", "CCN(CC)C(=O)C1CN(C)C2Cc3c[nH]c4cccc(C2=C1)c34",
    "Clc1ccc2c(c1)C(=NCC(=O)N2)c1ccccc1"};

/// Molecules with 30 to 80 atoms once hydrogens are added.
const std::vector<Ptr<IMolecule>>& Molecules() {
  static const std::vector<Ptr<IMolecule>> molecules = [] {
    std::vector<std::string> smiles;
#ifdef CORVATIN_SMILES_FIXTURE
    std::ifstream in(CORVATIN_SMILES_FIXTURE);
    for (std::string line; std::getline(in, line) && smiles.size() < 400;)
      smiles.push_back(line.substr(0, line.find_first_of(" \t")));
#endif
    if (smiles.empty()) smiles.assign(std::begin(kFallback), std::end(kFallback));
    std::vector<Ptr<IMolecule>> list;
    for (const std::string& s : smiles) {
      Ptr<IMolecule> m = NewMolecule();
      try {
        ParseSMILES(s, *m);
      } catch (const std::exception&) {
        continue;
      }
      if (m->VertexCount() >= 30 && m->VertexCount() <= 80) list.push_back(m);
      if (list.size() == 200) break;
    }
    return list;
  }();
  return molecules;
}

void Run(benchmark::State& state, IClassification& c) {
  const auto& molecules = Molecules();
  size_t next = 0;
  double atoms = 0;
  for (auto _ : state) {
    const Ptr<IMolecule>& m = molecules[next];
    c.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
    atoms += m->VertexCount();
    next = (next + 1) % molecules.size();
  }
  state.counters["per50atoms"] = benchmark::Counter(atoms / 50.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["atoms"] = atoms / static_cast<double>(state.iterations());
}

void BM_AtomFile100(benchmark::State& state) {
  static auto c = Load(FileText(kAtomFragments, std::size(kAtomFragments), true), ekAtoms);
  if (c->FragmentCount() != 100) state.SkipWithError("the atom file must have 100 fragments");
  Run(state, *c);
}
BENCHMARK(BM_AtomFile100);

void BM_BondFile40(benchmark::State& state) {
  static auto c = Load(FileText(kBondFragments, std::size(kBondFragments), true), ekBonds);
  if (c->FragmentCount() != 40) state.SkipWithError("the bond file must have 40 fragments");
  Run(state, *c);
}
BENCHMARK(BM_BondFile40);

void BM_GasteigerMarsili(benchmark::State& state) {
  TGasteigerChargesClassification c;
  Run(state, c);
}
BENCHMARK(BM_GasteigerMarsili);

struct DataFile {
  const char* file;
  std::vector<std::string> names;
  int kind;
};

const DataFile kDataFiles[] = {
    {"Hydrophob.txt", {"Hydrophobicity"}, ekAtoms},
    {"PolarSurface.txt", {"Polar surface"}, ekAtoms},
    {"Polarize.txt", {"Polarizability"}, ekAtoms},
    {"Sasapar.txt", {"Van der Waals radius"}, ekAtoms},
    {"Distances.txt", {"Std distance"}, ekBonds},
    {"DipoleMoments.txt", {"Dipole moment"}, ekBonds},
    {"DipoleMoments2.txt", {"Dipole moment (2)"}, ekBonds},
    {"Refractivity.txt", {"Molar refractivity"}, ekAtoms},
    {"Abraham.txt",
     {"Abraham - Fragment Number", "Abraham - R2", "Abraham - pi2H", "Abraham - sum B2H", "Abraham - sum B20",
      "Abraham - log L16"},
     ekAtoms},
};

void BM_DataFile(benchmark::State& state) {
  const DataFile& f = kDataFiles[state.range(0)];
  SetDataFolder(CORVATIN_DATA_DIR);
  std::unique_ptr<TSMILESClassification> c;
  try {
    c = std::make_unique<TSMILESClassification>(f.names, f.file, f.kind, vkNumber);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  state.SetLabel(std::string(f.file) + " (" + std::to_string(c->FragmentCount()) + " fragments)");
  Run(state, *c);
}
BENCHMARK(BM_DataFile)->DenseRange(0, 8);

} // namespace
} // namespace corvatin

BENCHMARK_MAIN();
