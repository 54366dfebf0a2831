// The SMILES writer: the text a chemist expects for common structures, independent of atom order, and a round
// trip through our parser for the 2,000 drug-like SMILES of tests/data/smiles_reference.tsv.

#include "chem/smiles.h"
#include "chem/smiles_writer.h"
#include "smiles_summary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace corvatin;

namespace {

std::string Written(const std::string& smiles) {
  auto m = NewMolecule();
  ParseSMILES(smiles, *m);
  return WriteSMILES(*m);
}

/// Atoms, bonds, per-kind bond counts and the reference summary: what a round trip must keep.
std::string Shape(const IMolecule& m) {
  const test::SmilesSummary s = test::Summarize(m);
  int kinds[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < m.EdgeCount(); ++i)
    ++kinds[m.GetBond(i)->GetBondType()];
  std::ostringstream out;
  out << s.heavy << '/' << s.hydrogens << '/' << s.charges << '/' << s.aromaticAtoms << " bonds";
  for (int k : kinds)
    out << ' ' << k;
  return out.str();
}

} // namespace

TEST(SmilesWriter, WritesCommonStructuresAsChemistsDo) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"c1ccccc1", "c1ccccc1"},       {"OCC", "CCO"},
      {"OC(C)=O", "CC(=O)O"},         {"C1=CC=CC=C1", "c1ccccc1"}, // Kekule benzene is read aromatic
      {"[nH]1cccc1", "c1cc[nH]c1"},   {"[NH4+]", "[NH4+]"},
      {"[Cl-].[Na+]", "[Na+].[Cl-]"}, {"[Na+].[O-]C(=O)C", "CC([O-])=O.[Na+]"},
      {"[13CH4]", "[13CH4]"},         {"c1ccccc1-c1ccccc1", "c1ccc(cc1)-c1ccccc1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Written(c.in), c.out) << c.in;
  EXPECT_EQ(WriteSMILES(*NewMolecule()), "");
}

TEST(SmilesWriter, ASkeletonWithoutHydrogensGetsImplicitOnesAndAtomOrderDoesNotMatter) {
  // Drawn in two different orders, without hydrogens: ethanol's heavy atoms.
  for (const auto& order : {std::vector<std::string>{"O", "C", "C"}, std::vector<std::string>{"C", "C", "O"}}) {
    auto m = NewMolecule();
    for (const auto& s : order)
      m->AddAtom()->SetSymbol(s);
    m->ConnectAtoms(m->GetAtom(0), m->GetAtom(1));
    m->ConnectAtoms(m->GetAtom(1), m->GetAtom(2));
    EXPECT_EQ(WriteSMILES(*m), "CCO");
  }
  // Once hydrogens are present they are counted exactly: an ethyl radical keeps its short carbon.
  auto m = NewMolecule();
  ParseSMILES("C[CH2]", *m);
  EXPECT_EQ(WriteSMILES(*m), "[CH2]C");
}

TEST(SmilesWriter, EveryReferenceStructureReadsBackTheSame) {
  std::ifstream file(std::string(CORVATIN_TEST_DATA_DIR) + "/smiles_reference.tsv");
  ASSERT_TRUE(file);
  std::string line;
  int checked = 0;
  auto first = NewMolecule(), second = NewMolecule();
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::string smiles = line.substr(0, line.find('\t'));
    try {
      ParseSMILES(smiles, *first);
    } catch (const std::exception&) {
      continue; // the parser's own tests cover what it refuses
    }
    const std::string text = WriteSMILES(*first);
    ASSERT_NO_THROW(ParseSMILES(text, *second)) << smiles << " -> " << text;
    EXPECT_EQ(Shape(*second), Shape(*first)) << smiles << " -> " << text;
    EXPECT_EQ(WriteSMILES(*second), text) << smiles;
    ++checked;
  }
  EXPECT_GT(checked, 1900);
}
