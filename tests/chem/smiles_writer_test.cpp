// The SMILES writer: the text a chemist expects for common structures, independent of atom order (its round
// trip over the reference set is checked with the reference).

#include "chem/smiles.h"
#include "chem/smiles_writer.h"

#include <gtest/gtest.h>

using namespace corvatin;

namespace {

std::string Written(const std::string& smiles) {
  auto m = NewMolecule();
  ParseSMILES(smiles, *m);
  return WriteSMILES(*m);
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
