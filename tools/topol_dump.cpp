// Prints the topological indexes and the molecular weight of every structure, prepared the way the "Topological
// Indices" procedure prepares it (aromaticity and hydrogens completed, the standard classification), one
// tab-separated line per structure after a header line:
//   name status atoms bonds components heavy hydrogens hcounts W M1 M2 H J X(1..6 x P C PC Ch) Xv(...) e(...)
//   1k 2k 3k 1ka 2ka 3ka phi MW
// atoms, bonds and components are those of the hydrogen-suppressed graph; heavy and hydrogens count the atoms of
// the whole molecule whose symbol is not "H", and is; hcounts lists the hydrogens of each atom that is not "H",
// in atom order, joined by ",".
// The 6 x 4 matrices are written row by row (order 1 paths, clusters, path-clusters, chains, then order 2 ...);
// numbers carry 17 significant digits. A structure that fails prints "error" and the message as its status.
// Used by scripts/validate_topological.py to compare with an independent toolkit.
//
// Usage: topol_dump smi < FILE.smi     SMILES lines ("SMILES name"), parsed with completion
//        topol_dump sdf FILE.sdf       the records of a MOL/SD file
#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "core/numtext.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"
#include "inputs/mol_input.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

constexpr const char* kPort = "Molecule";

struct Chain {
  std::vector<Ptr<TBlock>> blocks{std::make_shared<TMoleculeCompletion>(), std::make_shared<TStdClassification>(),
                                  std::make_shared<TTopologicalIndexes>(), std::make_shared<TPhysicoChemProperties>()};
  Chain() {
    for (auto& b : blocks) b->SetPortName(0, kPort);
  }
  void Run() {
    bool more = true;
    for (auto& b : blocks) b->Execute(more);
  }
};

std::string Number(double v) { return FormatGeneral(v, 17); }

void Header() {
  std::cout << "name\tstatus\tatoms\tbonds\tcomponents\theavy\thydrogens\thcounts\tW\tM1\tM2\tH\tJ";
  const char* kinds[] = {"P", "C", "PC", "Ch"};
  for (const char* caption : {"X", "Xv", "e"})
    for (int m = 1; m <= 6; ++m)
      for (const char* k : kinds) std::cout << '\t' << caption << m << k;
  std::cout << "\t1k\t2k\t3k\t1ka\t2ka\t3ka\tphi\tMW\n";
}

void Print(const std::string& name, IMolecule& m) {
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(m));
  std::cout << name << "\tok\t" << graph.VertexCount() << '\t' << graph.EdgeCount() << '\t'
            << graph.ComponentCount();
  int hydrogens = 0;
  std::string counts;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* atom = m.GetAtom(i);
    if (atom->GetSymbol() == "H") {
      ++hydrogens;
      continue;
    }
    counts += (counts.empty() ? "" : ",") + std::to_string(atom->HydrogenCount());
  }
  std::cout << '\t' << m.VertexCount() - hydrogens << '\t' << hydrogens << '\t' << (counts.empty() ? "-" : counts);
  for (const char* n : {kResultWiener, kResultZagrebM1, kResultZagrebM2, kResultHarary, kResultBalaban})
    std::cout << '\t' << Number(m.GetFloat(n));
  for (const char* n : {"Randic branching index", "Valence connectivity index", "Epsilon index"}) {
    Ptr<IDoubleMatrix> x = m.GetMatrix(n);
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 4; ++c) std::cout << '\t' << (x ? Number(x->Get(r, c)) : "0");
  }
  for (const char* n : {"kappa index", "kappa(alpha) index"}) {
    Ptr<IDoubleMatrix> x = m.GetMatrix(n);
    for (int c = 0; c < 3; ++c) std::cout << '\t' << (x ? Number(x->Get(0, c)) : "0");
  }
  std::cout << '\t' << Number(m.GetFloat("Flexibility index")) << '\t' << Number(m.GetFloat(kResultMolecularWeight))
            << '\n';
}

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (!(mode == "smi" && argc == 2) && !(mode == "sdf" && argc == 3)) {
    std::cerr << "usage: topol_dump smi < FILE.smi | topol_dump sdf FILE.sdf\n";
    return 2;
  }
  const Ptr<IMolecule> molecule = NewMolecule();
  SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
  Chain chain;
  Header();
  auto process = [&](const std::string& name) {
    try {
      chain.Run();
      Print(name, *molecule);
    } catch (const std::exception& e) {
      std::cout << name << "\terror " << e.what() << '\n';
    }
  };
  if (mode == "smi") {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t cut = line.find_first_of(" \t");
      const std::string smiles = line.substr(0, cut);
      const size_t start = cut == std::string::npos ? line.size() : line.find_first_not_of(" \t", cut);
      const std::string name = start == std::string::npos ? "" : line.substr(start);
      try {
        ParseSMILES(smiles, *molecule);
      } catch (const std::exception& e) {
        std::cout << name << "\terror " << e.what() << '\n';
        continue;
      }
      process(name);
    }
    return 0;
  }
  auto input = std::make_shared<TMOLInput>();
  input->SetPortName(0, kPort);
  input->SetFileName(argv[2]);
  input->Start(nullptr);
  try {
    for (bool more = true; more;) {
      input->Execute(more);
      process(molecule->GetName());
    }
  } catch (const std::exception& e) {
    std::cerr << "error reading " << argv[2] << ": " << e.what() << '\n';
    input->Stop();
    return 1;
  }
  input->Stop();
  return 0;
}
