// Prints, for every SMILES line read from standard input, one line per atom of the completed molecule (explicit
// hydrogens): atom index, symbol, index of the heavy atom a hydrogen is bonded to (-1 for heavy atoms),
// hybridisation code and the values asked for, then an empty line. A line that does not parse prints
// "error<TAB>message" instead. Used by scripts/validate_gasteiger.py to compare charges with an independent
// implementation, and handy for checking a classification file by hand.
//
// Usage: classify_dump charges               Gasteiger-Marsili charges
//        classify_dump atoms FILE NAME        values of an atom classification file (property NAME)
//        classify_dump bonds FILE NAME        values of a bond classification file, one line per bond
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/gasteiger.h"
#include "classify/smiles_classification.h"
#include "core/numtext.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

using namespace corvatin;

namespace {

int HeavyParent(const IAtom& atom) {
  if (atom.GetSymbol() != "H" || atom.NeighbourCount() != 1) return -1;
  return atom.GetNeighbour(0)->GetIndex();
}

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "charges";
  std::unique_ptr<TSMILESClassification> file;
  std::string name;
  try {
    if (mode == "atoms" || mode == "bonds") {
      if (argc < 4) {
        std::cerr << "usage: classify_dump atoms|bonds FILE NAME\n";
        return 2;
      }
      name = argv[3];
      file = std::make_unique<TSMILESClassification>(std::vector<std::string>{name}, argv[2],
                                                     mode == "bonds" ? ekBonds : ekAtoms, vkNumber);
    } else if (mode != "charges") {
      std::cerr << "usage: classify_dump charges | atoms FILE NAME | bonds FILE NAME\n";
      return 2;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }

  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string smiles = line.substr(0, line.find_first_of(" \t"));
    Ptr<IMolecule> molecule = NewMolecule();
    try {
      ParseSMILES(smiles, *molecule);
      if (mode == "charges") {
        const std::vector<double> charges = GasteigerMarsiliCharges(AsSubGraph(*molecule));
        for (int i = 0; i < molecule->VertexCount(); ++i) {
          const IAtom* a = molecule->GetAtom(i);
          std::cout << i << '\t' << a->GetSymbol() << '\t' << HeavyParent(*a) << '\t' << a->GetHybridisation()
                    << '\t' << FormatGeneral(charges[static_cast<size_t>(i)], 17) << '\n';
        }
      } else {
        file->Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
        if (mode == "atoms") {
          for (int i = 0; i < molecule->VertexCount(); ++i) {
            const IAtom* a = molecule->GetAtom(i);
            std::cout << i << '\t' << a->GetSymbol() << '\t' << HeavyParent(*a) << '\t' << a->GetHybridisation()
                      << '\t' << (a->HasParam(name) ? FormatGeneral(a->GetFloat(name), 17) : "-") << '\n';
          }
        } else {
          for (int i = 0; i < molecule->EdgeCount(); ++i) {
            const IBond* b = molecule->GetBond(i);
            std::cout << i << '\t' << b->GetAtom1()->GetIndex() << '\t' << b->GetAtom2()->GetIndex() << '\t'
                      << b->GetBondType() << '\t' << (b->HasParam(name) ? FormatGeneral(b->GetFloat(name), 17) : "-")
                      << '\n';
          }
        }
      }
    } catch (const std::exception& e) {
      std::cout << "error\t" << e.what() << '\n';
    }
    std::cout << '\n';
  }
  return 0;
}
