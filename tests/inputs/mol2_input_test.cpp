// The Tripos MOL2 reader: the Open Babel files of the fixture set checked against the same molecules' molfiles,
// records found by their "@<TRIPOS>" lines, bond types, and the formal charge from the partial charge and from
// UNITY_ATOM_ATTR. Record layouts follow the Tripos "SYBYL Mol2 File Format" description (Tripos/Certara).

#include "input_test_util.h"

#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

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
    const IBond* other =
        mol->GetAtom(bond->GetAtom1()->GetIndex())->GetBondTo(mol->GetAtom(bond->GetAtom2()->GetIndex()));
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

TEST(Mol2Reader, EachHandWrittenMoleculeGivesItsAtomsChargesAndBonds) {
  // tests/data/formats/hand-records.mol2: optional MOLECULE lines and other records, bond types, the formal charge
  // rounded half to even from USER_CHARGES or NO_CHARGES partial charges, none from a computed model's, the
  // UNITY_ATOM_ATTR charge whatever the model; hand-records.tsv says what each molecule gives.
  const auto rows = Table("formats/hand-records.tsv");
  ASSERT_GE(rows.size(), 25u);
  const auto tokenizer = NewFileParser(Data("formats/hand-records.mol2"));
  bool more = true;
  for (const auto& row : rows) {
    ASSERT_TRUE(more) << row[0];
    const auto m = NewMolecule();
    more = ReadMol2Molecule(*tokenizer, *m, "hand-records.mol2");
    EXPECT_EQ(m->GetName(), row[0]);
    ASSERT_EQ(row.size(), 3u) << row[0];
    EXPECT_EQ(Describe(*m), row[1] + "\t" + row[2]) << row[0];
  }
  EXPECT_FALSE(more); // blank lines after the last molecule are no further molecule
}
