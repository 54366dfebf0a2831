// Prints, for every structure of a file, what a procedure's reader and completion block make of it: one line
//   name <TAB> hydrogens per heavy atom (comma-separated, heavy atoms in file order) <TAB> aromatic flags (one
//   0/1 per heavy atom) [<TAB> logP <TAB> polar surface]
// or "error<TAB>message". The last two columns, sums of the atoms' "Hydrophobicity" and "Polar surface" over the
// heavy atoms, come only when a data folder holding Hydrophob.txt and PolarSurface.txt is given.
// Files: ".smi" (SMILES <TAB> name per line), ".sdf"/".mol", ".mol2". Used by scripts/validate_hydrogens.py.
//
// Usage: completion_dump FILE [DATA_DIR]
#include "chem/completion.h"
#include "chem/smiles.h"
#include "classify/smiles_classification.h"
#include "core/numtext.h"
#include "core/parser.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

using namespace corvatin;

namespace {

struct Weights {
  std::unique_ptr<TSMILESClassification> logP;
  std::unique_ptr<TSMILESClassification> polar;
};

void Print(const Ptr<IMolecule>& ptr, const std::string& name, const Weights& weights) {
  IMolecule& molecule = *ptr;
  CompleteStructure(molecule);
  std::string hydrogens;
  std::string aromatic;
  for (int i = 0; i < molecule.VertexCount(); ++i) {
    const IAtom* a = molecule.GetAtom(i);
    if (a->GetSymbol() == "H") continue;
    if (!hydrogens.empty()) hydrogens += ',';
    hydrogens += std::to_string(a->HydrogenCount());
    aromatic += a->IsAromatic() ? '1' : '0';
  }
  std::cout << name << '\t' << hydrogens << '\t' << aromatic;
  if (weights.logP) {
    auto graph = std::dynamic_pointer_cast<ISubGraph>(ptr);
    weights.logP->Classify(graph);
    weights.polar->Classify(graph);
    double logP = 0.0;
    double polar = 0.0;
    for (int i = 0; i < molecule.VertexCount(); ++i) {
      const IAtom* a = molecule.GetAtom(i);
      if (a->GetSymbol() == "H") continue;
      logP += a->GetFloat("Hydrophobicity");
      polar += a->GetFloat("Polar surface");
    }
    std::cout << '\t' << FormatGeneral(logP, 10) << '\t' << FormatGeneral(polar, 10);
  }
  std::cout << '\n';
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: completion_dump FILE [DATA_DIR]\n";
    return 2;
  }
  const std::string file = argv[1];
  Weights weights;
  try {
    if (argc > 2) {
      const std::string dir = argv[2];
      weights.logP = std::make_unique<TSMILESClassification>(std::vector<std::string>{"Hydrophobicity"},
                                                             dir + "/Hydrophob.txt", ekAtoms, vkNumber);
      weights.polar = std::make_unique<TSMILESClassification>(std::vector<std::string>{"Polar surface"},
                                                              dir + "/PolarSurface.txt", ekAtoms, vkNumber);
    }
    if (EndsWith(file, ".smi")) {
      std::ifstream in(file);
      std::string line;
      while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto tab = line.find_first_of(" \t");
        const std::string name = tab == std::string::npos ? line : line.substr(tab + 1);
        auto molecule = NewMolecule();
        try {
          ParseSMILES(line.substr(0, tab), *molecule);
          Print(molecule, name, weights);
        } catch (const std::exception& e) {
          std::cout << "error\t" << e.what() << '\n';
        }
      }
      return 0;
    }
    const auto tokenizer = NewFileParser(file);
    const bool mol2 = EndsWith(file, ".mol2");
    for (bool more = true; more;) {
      auto molecule = NewMolecule();
      std::vector<char> stated;
      more = mol2 ? ReadMol2Molecule(*tokenizer, *molecule, file) : ReadMolRecord(*tokenizer, *molecule, file, &stated);
      CompleteAsRead(*molecule, stated, true);
      Print(molecule, molecule->GetName(), weights);
    }
  } catch (const std::exception& e) {
    std::cout << "error\t" << e.what() << '\n';
    return 1;
  }
  return 0;
}
