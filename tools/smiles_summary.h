#pragma once
// What the SMILES reference comparison looks at in a parsed molecule: heavy atoms, hydrogen atoms, the formal
// charges (as "symbol:charge" items sorted by text, joined with ";") and the atoms with an aromatic bond. Shared by
// the smiles_dump tool (scripts/validate_smiles.py) and the unit test that replays the frozen reference.

#include "chem/molecule.h"

#include <algorithm>
#include <string>
#include <vector>

namespace corvatin::test {

struct SmilesSummary {
  int heavy = 0;
  int hydrogens = 0;
  std::string charges;
  int aromaticAtoms = 0;
};

inline SmilesSummary Summarize(const IMolecule& molecule) {
  SmilesSummary s;
  std::vector<std::string> charged;
  for (int i = 0; i < molecule.VertexCount(); ++i) {
    const IAtom* a = molecule.GetAtom(i);
    if (a->GetSymbol() == "H")
      ++s.hydrogens;
    else
      ++s.heavy;
    if (a->GetCharge() != 0) charged.push_back(a->GetSymbol() + ":" + std::to_string(a->GetCharge()));
    if (a->GetSymbol() != "H" && a->IsAromatic()) ++s.aromaticAtoms;
  }
  std::sort(charged.begin(), charged.end());
  for (size_t i = 0; i < charged.size(); ++i)
    s.charges += (i ? ";" : "") + charged[i];
  return s;
}

} // namespace corvatin::test
