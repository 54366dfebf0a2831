#pragma once
// Shared helpers of the classification tests: files read from text, molecules from SMILES.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/smiles_classification.h"
#include "core/errors.h"
#include "core/parser.h"

#include <memory>
#include <string>
#include <vector>

namespace corvatin::test {

/// A classification block reading its definitions from text.
inline Ptr<TSMILESClassification> LoadText(const std::string& text, const std::vector<std::string>& names = {},
                                           int elementKind = ekAtoms, std::uint8_t valueKind = vkNumber) {
  Ptr<TParser> parser = NewTextParser(text);
  return std::make_shared<TSMILESClassification>(names, *parser, elementKind, valueKind);
}

/// The EClassifyError message loading text raises, or "loaded" when it loads.
inline std::string LoadError(const std::string& text, const std::vector<std::string>& names = {},
                             int elementKind = ekAtoms, std::uint8_t valueKind = vkNumber) {
  try {
    LoadText(text, names, elementKind, valueKind);
  } catch (const EClassifyError& e) {
    return e.what();
  }
  return "loaded";
}

/// A complete molecule (aromatic bonds, explicit hydrogens) from SMILES.
inline Ptr<IMolecule> Mol(const std::string& smiles) {
  Ptr<IMolecule> m = NewMolecule();
  ParseSMILES(smiles, *m);
  return m;
}

inline Ptr<ISubGraph> AsStructure(const Ptr<IMolecule>& m) { return std::dynamic_pointer_cast<ISubGraph>(m); }

} // namespace corvatin::test
