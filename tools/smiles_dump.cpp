// Prints, for every line read from standard input ("SMILES", optionally followed by a blank or tab and a name),
// one tab-separated line about the molecule the SMILES entry box would make (organic mode, completed):
//   ok <heavy atoms> <hydrogen atoms> <charges> <aromatic heavy atoms>
// with charges as "symbol:charge" items sorted by text and joined with ";" ("-" when none), or
//   error <message>
// Used by scripts/validate_smiles.py to compare the parser with an independent toolkit.
#include "chem/smiles.h"
#include "smiles_summary.h"

#include <exception>
#include <iostream>
#include <string>

using namespace corvatin;

int main() {
  std::string line;
  auto molecule = NewMolecule();
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string smiles = line.substr(0, line.find_first_of(" \t"));
    try {
      ParseSMILES(smiles, *molecule);
      const test::SmilesSummary s = test::Summarize(*molecule);
      std::cout << "ok\t" << s.heavy << '\t' << s.hydrogens << '\t' << (s.charges.empty() ? "-" : s.charges) << '\t'
                << s.aromaticAtoms << '\n';
    } catch (const std::exception& e) {
      std::cout << "error\t" << e.what() << '\n';
    }
  }
  return 0;
}
