#pragma once
// Shared helpers of the classification tests: files read from text, molecules from SMILES, rows of test data.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/smiles_classification.h"
#include "core/errors.h"
#include "core/parser.h"

#include <fstream>
#include <memory>
#include <string>
#include <utility>
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

/// The rows of a tab-separated file of tests/data/classify/ (comments and the header line skipped), with the
/// escapes \n, \r and \t in its fields turned into those characters.
inline std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/classify/" + name);
  std::vector<std::vector<std::string>> rows;
  bool header = true;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || std::exchange(header, false)) continue;
    std::vector<std::string>& fields = rows.emplace_back(1);
    for (size_t i = 0; i < line.size(); ++i) {
      const char next = i + 1 < line.size() ? line[i + 1] : 0;
      if (line[i] == '\t')
        fields.emplace_back();
      else if (line[i] == '\\' && (next == 'n' || next == 'r' || next == 't')) {
        fields.back() += next == 'n' ? '\n' : next == 'r' ? '\r' : '\t';
        ++i;
      } else
        fields.back() += line[i];
    }
  }
  return rows;
}

} // namespace corvatin::test
