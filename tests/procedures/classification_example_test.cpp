// The worked example of docs/classification-files.md, run as the page describes it: the toy file loaded the way
// the catalogue loads Hydrophob.txt, its molecules classified, and every heavy atom's value and fragment, and
// the physicochemical logP, compared with the values the page works out by hand.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "classify/smiles_classification.h"
#include "core/numtext.h"
#include "descriptors/physchem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace corvatin {
namespace {

const std::string kExamples = std::string(CORVATIN_DATA_DIR) + "/../docs/examples/";

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  if (!line.empty() && line.back() == '\t') cells.emplace_back();
  return cells;
}

TEST(ClassificationExample, TheToyFileGivesTheValuesWorkedOutOnThePage) {
  TSMILESClassification toy({"Hydrophobicity"}, kExamples + "toy-hydrophobicity.txt", 0, 1);
  std::map<std::string, Ptr<IMolecule>> molecules;
  std::ifstream smi(kExamples + "toy-molecules.smi");
  std::string smiles, name;
  while (smi >> smiles >> name) {
    auto molecule = NewMolecule();
    ParseSMILES(smiles, *molecule);
    toy.Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
    TPhysicoChemProperties().Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
    molecules[name] = molecule;
  }
  ASSERT_EQ(molecules.size(), 3U);

  std::ifstream expected(kExamples + "toy-expected.tsv");
  std::string line;
  int checked = 0;
  while (std::getline(expected, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("molecule\t", 0) == 0) continue;
    const auto cells = Split(line); // molecule, heavy atom, symbol, value, fragment
    ASSERT_EQ(cells.size(), 5U) << line;
    ASSERT_TRUE(molecules.count(cells[0])) << line;
    const IMolecule& molecule = *molecules[cells[0]];
    const double value = TextToFloat(cells[3]);
    if (cells[1] == "sum") {
      EXPECT_NEAR(dynamic_cast<const IParameters&>(molecule).GetFloat("Hydrophobicity"), value, 1e-9) << line;
    } else {
      std::vector<IAtom*> heavy;
      for (int i = 0; i < molecule.VertexCount(); ++i)
        if (IAtom* atom = molecule.GetAtom(i); atom->GetAtomicNumber() > 1) heavy.push_back(atom);
      const size_t n = static_cast<size_t>(std::stoi(cells[1]));
      ASSERT_LE(n, heavy.size()) << line;
      const IAtom& atom = *heavy[n - 1];
      EXPECT_EQ(atom.GetSymbol(), cells[2]) << line;
      EXPECT_NEAR(atom.GetFloat("Hydrophobicity"), value, 1e-12) << line;
      EXPECT_EQ(atom.GetString("Fragment"), cells[4]) << line;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 17);
}

} // namespace
} // namespace corvatin
