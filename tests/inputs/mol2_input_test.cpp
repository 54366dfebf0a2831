// The Tripos MOL2 reader: the Open Babel files of the fixture set checked against the same molecules' molfiles,
// records found by their "@<TRIPOS>" lines, bond types, and the formal charge from the partial charge and from
// UNITY_ATOM_ATTR. Record layouts follow the Tripos "SYBYL Mol2 File Format" description (Tripos/Certara).

#include "input_test_util.h"

#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"

#include <algorithm>
#include <set>

using namespace corvatin;
using namespace corvatin::test;

namespace {

Ptr<IMolecule> ReadText(const std::string& text, bool* more = nullptr) {
  auto molecule = NewMolecule();
  const bool next = ReadMol2Molecule(*NewTextParser(text), *molecule, "test.mol2");
  if (more) *more = next;
  return molecule;
}

Ptr<IMolecule> ReadFile(const std::string& path, bool mol2 = true) {
  auto molecule = NewMolecule();
  if (mol2)
    ReadMol2Molecule(*NewFileParser(Data(path)), *molecule, path);
  else
    ReadMolRecord(*NewFileParser(Data(path)), *molecule, path);
  return molecule;
}

} // namespace

class Mol2Fixtures : public ::testing::TestWithParam<const char*> {};

TEST_P(Mol2Fixtures, SameAtomsChargesAndBondsAsTheMolfile) {
  // NCI_3's nitro groups: partial charges 0.0837 (N) and -0.5759 (O) would round to 0 and -1; its
  // UNITY_ATOM_ATTR record says +1 and -1, as the molfile does.
  const std::string name = GetParam();
  const auto mol2 = ReadFile("formats/" + name + ".mol2");
  const auto mol = ReadFile("formats/" + name + ".mol", false);
  EXPECT_EQ(mol2->GetName(), name);
  ASSERT_EQ(mol2->VertexCount(), mol->VertexCount());
  for (int i = 0; i < mol->VertexCount(); ++i) {
    const IAtom* a = mol2->GetAtom(i);
    const IAtom* b = mol->GetAtom(i);
    SCOPED_TRACE("atom " + std::to_string(i + 1));
    EXPECT_EQ(a->GetAtomicNumber(), b->GetAtomicNumber());
    EXPECT_NEAR(a->GetX3D(), b->GetX3D(), 1e-9);
    EXPECT_NEAR(a->GetY3D(), b->GetY3D(), 1e-9);
    EXPECT_NEAR(a->GetZ3D(), b->GetZ3D(), 1e-9);
    EXPECT_EQ(a->GetCharge(), b->GetCharge());
  }
  ASSERT_EQ(mol2->EdgeCount(), mol->EdgeCount());
  // The molfile writes aromatic rings in Kekule form; every other bond has the same order in both files.
  for (int k = 0; k < mol2->EdgeCount(); ++k) {
    const IBond* bond = mol2->GetBond(k);
    const IBond* other = mol->GetAtom(bond->GetAtom1()->GetIndex())->GetBondTo(mol->GetAtom(bond->GetAtom2()->GetIndex()));
    ASSERT_TRUE(other);
    if (bond->GetBondType() == bkAromatic)
      EXPECT_TRUE(other->GetBondType() == bkSingle || other->GetBondType() == bkDouble);
    else
      EXPECT_EQ(bond->GetBondType(), other->GetBondType());
  }
}

INSTANTIATE_TEST_SUITE_P(OpenBabel, Mol2Fixtures,
                         ::testing::Values("CS_ethanol", "CS_pyridine-2-thiol", "NCI_3", "BZR_Diazepam",
                                           "CHEMBL2321810_1520011"));

TEST(Mol2Reader, FiveMoleculesInOneFileGiveFivePassesEachWithItsOwnAtomsAndBonds) {
  ReaderHarness<TTriposMOLInput> h;
  h.Start(Data("formats/five.mol2"));
  bool more = true;
  for (const char* name : {"CS_ethanol", "CS_pyridine-2-thiol", "BZR_Diazepam", "NCI_3", "CHEMBL2321810_1520011"}) {
    ASSERT_TRUE(more);
    more = h.Pass();
    const auto single = ReadFile(std::string("formats/") + name + ".mol2");
    EXPECT_EQ(h.molecule->GetName(), name);
    EXPECT_EQ(h.molecule->VertexCount(), single->VertexCount()) << name;
    EXPECT_EQ(h.molecule->EdgeCount(), single->EdgeCount()) << name;
  }
  EXPECT_FALSE(more);
}

TEST(Mol2Reader, OptionalMoleculeLinesAndOtherRecordsNeverHideTheAtoms) {
  const std::string atoms = "@<TRIPOS>ATOM\n" + Mol2Atom(10, "C.3", 0.0, "0.0") + Mol2Atom(20, "Br", 1.9, "0.0") +
                            "@<TRIPOS>BOND\n 1 10 20 2\n";
  for (const char* molecule :
       {"@<TRIPOS>MOLECULE\nbare\n2 1\n", "@<TRIPOS>MOLECULE\nbare\n2 1\nSMALL\nNO_CHARGES\n",
        "@<TRIPOS>MOLECULE\nbare\n2 1\nSMALL\nNO_CHARGES\n****\ncomment\n",
        "# by hand\n@<tripos>molecule\nbare\n2 1\n@<TRIPOS>SUBSTRUCTURE\n 1 UNL1 1\n"}) {
    SCOPED_TRACE(molecule);
    const auto m = ReadText(std::string(molecule) + atoms + "@<TRIPOS>COMMENT\nnone\n");
    EXPECT_EQ(m->GetName(), "bare");
    ASSERT_EQ(m->VertexCount(), 2);
    EXPECT_EQ(m->GetAtom(1)->GetSymbol(), "Br"); // a type without "." is the element
    ASSERT_EQ(m->EdgeCount(), 1);                // atom ids need not run 1, 2, ...
    EXPECT_EQ(m->GetBond(0)->GetBondType(), bkDouble);
  }
}

TEST(Mol2Reader, BondTypesAndTheFormalChargeRoundedHalfToEvenFromThePartialCharge) {
  struct Row {
    std::string text;
    int bond, charge;
  };
  const Row rows[] = {
      {Mol2Pair("1"), bkSingle, 0},         {Mol2Pair("2"), bkDouble, 0},    {Mol2Pair("3"), bkTriple, 0},
      {Mol2Pair("ar"), bkAromatic, 0},      {Mol2Pair("AR"), bkAromatic, 0}, {Mol2Pair("am"), bkSingle, 0},
      {Mol2Pair("du"), bkSingle, 0},        {Mol2Pair("un"), bkSingle, 0},   {Mol2Pair("nc"), bkSingle, 0},
      {Mol2Pair("7"), bkSingle, 0},         {Mol2Pair("0"), bkSingle, 0},
      {Mol2Pair("2 BACKBONE|DICT"), bkDouble, 0}, // status bits after the type are not part of it
      {Mol2Pair("1", "C.3", "0.49"), bkSingle, 0},  {Mol2Pair("1", "C.3", "0.5"), bkSingle, 0},
      {Mol2Pair("1", "C.3", "1.5"), bkSingle, 2},   {Mol2Pair("1", "C.3", "-1.0"), bkSingle, -1},
      {Mol2Pair("1", "C.3", "1.5e0"), bkSingle, 2}, {Mol2Pair("1", "N.4", "9.5E-01"), bkSingle, 1},
  };
  for (const Row& row : rows) {
    const auto m = ReadText(row.text);
    ASSERT_EQ(m->EdgeCount(), 1) << row.text;
    EXPECT_EQ(m->GetBond(0)->GetBondType(), row.bond) << row.text;
    EXPECT_EQ(m->GetAtom(0)->GetCharge(), row.charge) << row.text;
  }
}

TEST(Mol2Reader, ComputedPartialChargesGiveNoFormalChargesUnityAttributesDo) {
  // NCI_3 (GASTEIGER): the phenol oxygen's -0.5003 is no anion.
  EXPECT_EQ(ReadFile("formats/NCI_3.mol2")->GetAtom(0)->GetCharge(), 0);
  std::string text = Mol2Pair("1", "N.4", "1.5");
  text.replace(text.find("USER_CHARGES"), 12, "MMFF94_CHARGES");
  EXPECT_EQ(ReadText(text)->GetAtom(0)->GetCharge(), 0);
  EXPECT_EQ(ReadText(text + "@<TRIPOS>UNITY_ATOM_ATTR\n1 2\nflags 3\ncharge 1\n")->GetAtom(0)->GetCharge(), 1);
  text.replace(text.find("MMFF94_CHARGES"), 14, "NO_CHARGES");
  EXPECT_EQ(ReadText(text)->GetAtom(0)->GetCharge(), 2);
}

TEST(Mol2Reader, TheNextMoleculeRecordStartsTheNextPassTrailingBlankLinesDoNot) {
  bool more = false;
  EXPECT_EQ(ReadText(Mol2Pair("1") + Mol2Pair("2"), &more)->GetBond(0)->GetBondType(), bkSingle);
  EXPECT_TRUE(more);
  ReadText(Mol2Pair("1") + "\n\n", &more);
  EXPECT_FALSE(more);
}
