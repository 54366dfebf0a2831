// Replays the frozen RDKit reference (tests/data/smiles_reference.tsv, written by scripts/validate_smiles.py from
// the 2,000 drug-like SMILES of the shared fixture set): heavy atoms, hydrogens and formal charges must agree with
// RDKit 2022.09.3 wherever the two models agree, and the few known differences (aromaticity model) must stay as
// recorded, so that a change in either direction is noticed. Every structure read also goes through the writer
// and back unchanged.

#include "chem/smiles.h"
#include "chem/smiles_writer.h"
#include "smiles_summary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t'))
    fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

/// The reference summary with the count of each bond kind: what a round trip through the writer must keep.
std::string Shape(const IMolecule& m) {
  const test::SmilesSummary s = test::Summarize(m);
  std::string shape = std::to_string(s.heavy) + "/" + std::to_string(s.hydrogens) + "/" + s.charges + "/" +
                      std::to_string(s.aromaticAtoms) + " bonds";
  int kinds[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < m.EdgeCount(); ++i) ++kinds[m.GetBond(i)->GetBondType()];
  for (int k : kinds) shape += " " + std::to_string(k);
  return shape;
}

} // namespace

TEST(SmilesReference, AgreesWithRDKitOnTheFixtureSetAndReadsBackThroughTheWriter) {
  std::ifstream file(std::string(CORVATIN_TEST_DATA_DIR) + "/smiles_reference.tsv");
  ASSERT_TRUE(file) << "tests/data/smiles_reference.tsv missing";
  std::string line;
  int rows = 0;
  int agreeing = 0;
  auto molecule = NewMolecule(), again = NewMolecule();
  bool header = true;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false; // the column names
      continue;
    }
    const std::vector<std::string> f = SplitTabs(line);
    ASSERT_GE(f.size(), 8u) << line;
    ++rows;
    const std::string& smiles = f[0];
    std::string ours;
    try {
      ParseSMILES(smiles, *molecule);
      const test::SmilesSummary s = test::Summarize(*molecule);
      ours = std::to_string(s.heavy) + "/" + std::to_string(s.hydrogens) + "/" + (s.charges.empty() ? "-" : s.charges);
      const std::string text = WriteSMILES(*molecule);
      ASSERT_NO_THROW(ParseSMILES(text, *again)) << smiles << " -> " << text;
      EXPECT_EQ(Shape(*again), Shape(*molecule)) << smiles << " -> " << text;
      EXPECT_EQ(WriteSMILES(*again), text) << smiles;
    } catch (const std::exception& e) {
      ours = std::string("error:") + e.what();
    }
    const std::string rdkit = f[2] + "/" + f[3] + "/" + f[4];
    if (f[6].empty()) {
      ++agreeing;
      EXPECT_EQ(ours, rdkit) << f[1] << "  " << smiles;
    } else {
      EXPECT_EQ(ours, f[6]) << "known difference changed (" << f[7] << "): " << f[1] << "  " << smiles;
    }
  }
  EXPECT_EQ(rows, 2000);
  EXPECT_GE(agreeing, 1990);
}
