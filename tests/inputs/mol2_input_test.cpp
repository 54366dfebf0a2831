// The Tripos MOL2 reader: the Open Babel files of the fixture set checked against the same molecules' molfiles,
// records found by their "@<TRIPOS>" lines, bond types, the formal charge from the partial charge and from
// UNITY_ATOM_ATTR, one molecule per pass, and every message. Record layouts follow the Tripos "SYBYL Mol2 File
// Format" description (Tripos/Certara).

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"

#include <algorithm>
#include <set>

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::string FormatsFile(const std::string& name) { return std::string(CORVATIN_TEST_DATA_DIR) + "/formats/" + name; }

const char* kFile = "test.mol2";

Ptr<IMolecule> ReadText(const std::string& text, bool* more = nullptr) {
  auto molecule = NewMolecule();
  auto tokenizer = NewTextParser(text);
  const bool next = ReadMol2Molecule(*tokenizer, *molecule, kFile);
  if (more) *more = next;
  return molecule;
}

std::string ErrorOf(const std::string& text) {
  return MessageOf<EInputError>([&] { ReadText(text); });
}

std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(kFile, line, detail); }

std::string Molecule(const std::string& name, int atoms, int bonds) {
  return "@<TRIPOS>MOLECULE\n" + name + "\n " + std::to_string(atoms) + " " + std::to_string(bonds) +
         " 0 0 0\nSMALL\nUSER_CHARGES\n\n";
}

std::string AtomLine(int id, const std::string& type, double x, const std::string& charge) {
  return "      " + std::to_string(id) + " A" + std::to_string(id) + "   " + std::to_string(x) +
         "   0.0000   0.0000 " + type + "     1  UNL1       " + charge + "\n";
}

/// Ethane-like pair of atoms with one bond of the given type.
std::string TwoAtoms(const std::string& bondType, const std::string& type1 = "C.3", const std::string& q1 = "0.0") {
  return Molecule("pair", 2, 1) + "@<TRIPOS>ATOM\n" + AtomLine(1, type1, 0.0, q1) + AtomLine(2, "C.3", 1.5, "0.0") +
         "@<TRIPOS>BOND\n     1     1     2   " + bondType + "\n";
}

std::set<std::pair<int, int>> BondPairs(const IMolecule& m) {
  std::set<std::pair<int, int>> pairs;
  for (int b = 0; b < m.EdgeCount(); ++b) {
    const int i = m.GetBond(b)->GetAtom1()->GetIndex();
    const int j = m.GetBond(b)->GetAtom2()->GetIndex();
    pairs.insert({std::min(i, j), std::max(i, j)});
  }
  return pairs;
}

} // namespace

// ------------------------------------------------------------------------------------------ the block

TEST(Mol2Reader, AOneMoleculeFileIsOnePassWithItsHeadingProgressAndViewFit) {
  TempFolder folder;
  ReaderHarness<TTriposMOLInput> h;
  h.Start(folder.Write("pair.mol2", TwoAtoms("1")));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "pair");
  EXPECT_TRUE(h.log->Contains("Reading Tripos MOL file...", lkHeading));
  EXPECT_TRUE(h.molecule->HasTransform()); // fitted into the view
  EXPECT_EQ(h.progress->positions.back(), 100);
}

// ------------------------------------------------------------------------------------------ Open Babel files

class Mol2Fixtures : public ::testing::TestWithParam<const char*> {};

TEST_P(Mol2Fixtures, SameAtomsChargesAndBondsAsTheMolfile) {
  const std::string name = GetParam();
  ReaderHarness<TTriposMOLInput> h;
  h.Start(FormatsFile(name + ".mol2"));
  EXPECT_FALSE(h.Pass());
  const IMolecule& mol2 = *h.molecule;

  auto mol = NewMolecule();
  auto tokenizer = NewFileParser(FormatsFile(name + ".mol"));
  ReadMolRecord(*tokenizer, *mol, name + ".mol");

  EXPECT_EQ(mol2.GetName(), name);
  ASSERT_EQ(mol2.VertexCount(), mol->VertexCount());
  for (int i = 0; i < mol->VertexCount(); ++i) {
    const IAtom* a = mol2.GetAtom(i);
    const IAtom* b = mol->GetAtom(i);
    EXPECT_EQ(a->GetAtomicNumber(), b->GetAtomicNumber()) << "atom " << i + 1;
    EXPECT_NEAR(a->GetX3D(), b->GetX3D(), 1e-9) << "atom " << i + 1;
    EXPECT_NEAR(a->GetY3D(), b->GetY3D(), 1e-9) << "atom " << i + 1;
    EXPECT_NEAR(a->GetZ3D(), b->GetZ3D(), 1e-9) << "atom " << i + 1;
    EXPECT_EQ(a->GetCharge(), b->GetCharge()) << "atom " << i + 1;
  }
  ASSERT_EQ(BondPairs(mol2), BondPairs(*mol));
  // The molfile writes aromatic rings in Kekule form; every other bond has the same order in both files.
  for (int k = 0; k < mol2.EdgeCount(); ++k) {
    const IBond* bond = mol2.GetBond(k);
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

TEST(Mol2Reader, AromaticBondsOfPyridineThiol) {
  const auto m = NewMolecule();
  auto tokenizer = NewFileParser(FormatsFile("CS_pyridine-2-thiol.mol2"));
  ReadMol2Molecule(*tokenizer, *m, "CS_pyridine-2-thiol.mol2");
  int aromatic = 0;
  for (int b = 0; b < m->EdgeCount(); ++b) aromatic += m->GetBond(b)->GetBondType() == bkAromatic ? 1 : 0;
  EXPECT_EQ(aromatic, 6);
  EXPECT_EQ(m->GetAtom(2)->GetSymbol(), "N"); // type N.ar
  EXPECT_EQ(m->GetAtom(6)->GetSymbol(), "S"); // type S.3
}

TEST(Mol2Reader, NitroChargesComeFromUnityAtomAttributes) {
  // NCI_3: the partial charges of the nitro N (0.0837) and O (-0.5759) round to 0 and -1; the record says +1, -1.
  const auto m = NewMolecule();
  auto tokenizer = NewFileParser(FormatsFile("NCI_3.mol2"));
  ReadMol2Molecule(*tokenizer, *m, "NCI_3.mol2");
  EXPECT_EQ(m->GetAtom(8)->GetCharge(), 1);
  EXPECT_EQ(m->GetAtom(9)->GetCharge(), -1);
  EXPECT_EQ(m->GetAtom(11)->GetCharge(), 1);
  EXPECT_EQ(m->GetAtom(12)->GetCharge(), -1);
  EXPECT_EQ(m->GetAtom(13)->GetCharge(), 0);
  EXPECT_EQ(m->GetAtom(3)->GetSymbol(), "Cl"); // atom name CL, type Cl
}

TEST(Mol2Reader, FiveMoleculesInOneFileGiveFivePasses) {
  ReaderHarness<TTriposMOLInput> h;
  h.Start(FormatsFile("five.mol2"));
  std::vector<int> atoms;
  std::vector<int> bonds;
  bool more = true;
  std::vector<std::string> names;
  while (more && names.size() < 10) {
    more = h.Pass();
    names.push_back(h.molecule->GetName());
    atoms.push_back(h.molecule->VertexCount());
    bonds.push_back(h.molecule->EdgeCount());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"CS_ethanol", "CS_pyridine-2-thiol", "BZR_Diazepam", "NCI_3",
                                             "CHEMBL2321810_1520011"}));
  // Each molecule is whole and on its own: its bond ids name its own atoms.
  for (std::size_t k = 0; k < names.size(); ++k) {
    const auto single = NewMolecule();
    auto tokenizer = NewFileParser(FormatsFile(names[k] + ".mol2"));
    ReadMol2Molecule(*tokenizer, *single, names[k]);
    EXPECT_EQ(atoms[k], single->VertexCount()) << names[k];
    EXPECT_EQ(bonds[k], single->EdgeCount()) << names[k];
  }
}

// ------------------------------------------------------------------------------------------ records and fields

TEST(Mol2Reader, MoleculeRecordWithoutOptionalLinesKeepsTheAtomRecord) {
  // Name and counts only, then at once the ATOM record.
  const std::string text = "@<TRIPOS>MOLECULE\nbare\n2 1\n@<TRIPOS>ATOM\n" + AtomLine(1, "C.3", 0.0, "0.0") +
                           AtomLine(2, "O.3", 1.4, "0.0") + "@<TRIPOS>BOND\n 1 1 2 1\n";
  const auto m = ReadText(text);
  EXPECT_EQ(m->GetName(), "bare");
  ASSERT_EQ(m->VertexCount(), 2);
  EXPECT_EQ(m->EdgeCount(), 1);
  // With molecule type and charge type lines only, or with status and comment lines, the same.
  const std::string typed = "@<TRIPOS>MOLECULE\nbare\n2 1\nSMALL\nNO_CHARGES\n@<TRIPOS>ATOM\n" +
                            AtomLine(1, "C.3", 0.0, "0.0") + AtomLine(2, "O.3", 1.4, "0.0") +
                            "@<TRIPOS>BOND\n 1 1 2 1\n";
  EXPECT_EQ(ReadText(typed)->VertexCount(), 2);
  const std::string full = "@<TRIPOS>MOLECULE\nbare\n2 1\nSMALL\nNO_CHARGES\n****\ncomment\n@<TRIPOS>ATOM\n" +
                           AtomLine(1, "C.3", 0.0, "0.0") + AtomLine(2, "O.3", 1.4, "0.0") +
                           "@<TRIPOS>BOND\n 1 1 2 1\n";
  EXPECT_EQ(ReadText(full)->EdgeCount(), 1);
}

TEST(Mol2Reader, RecordNamesIgnoreLetterCaseAndOtherRecordsAreSkipped) {
  const std::string text = "# written by hand\n@<tripos>molecule\nx\n1 0\n@<TRIPOS>SUBSTRUCTURE\n 1 UNL1 1\n"
                           "@<TRIPOS>Atom\n" +
                           AtomLine(1, "Br", 0.0, "0.0") + "@<TRIPOS>COMMENT\nBr alone\n";
  const auto m = ReadText(text);
  ASSERT_EQ(m->VertexCount(), 1);
  EXPECT_EQ(m->GetAtom(0)->GetSymbol(), "Br"); // a type without "." is the element
}

TEST(Mol2Reader, BondTypes) {
  EXPECT_EQ(ReadText(TwoAtoms("1"))->GetBond(0)->GetBondType(), bkSingle);
  EXPECT_EQ(ReadText(TwoAtoms("2"))->GetBond(0)->GetBondType(), bkDouble);
  EXPECT_EQ(ReadText(TwoAtoms("3"))->GetBond(0)->GetBondType(), bkTriple);
  EXPECT_EQ(ReadText(TwoAtoms("ar"))->GetBond(0)->GetBondType(), bkAromatic);
  EXPECT_EQ(ReadText(TwoAtoms("AR"))->GetBond(0)->GetBondType(), bkAromatic);
  for (const char* single : {"am", "du", "un", "nc", "7", "0"})
    EXPECT_EQ(ReadText(TwoAtoms(single))->GetBond(0)->GetBondType(), bkSingle) << single;
  // Status bits after the type are not part of it.
  EXPECT_EQ(ReadText(TwoAtoms("2 BACKBONE|DICT"))->GetBond(0)->GetBondType(), bkDouble);
}

TEST(Mol2Reader, FormalChargeIsThePartialChargeRoundedHalfToEven) {
  EXPECT_EQ(ReadText(TwoAtoms("1", "C.3", "0.49"))->GetAtom(0)->GetCharge(), 0);
  EXPECT_EQ(ReadText(TwoAtoms("1", "C.3", "0.5"))->GetAtom(0)->GetCharge(), 0);
  EXPECT_EQ(ReadText(TwoAtoms("1", "C.3", "1.5"))->GetAtom(0)->GetCharge(), 2);
  EXPECT_EQ(ReadText(TwoAtoms("1", "C.3", "-1.0"))->GetAtom(0)->GetCharge(), -1);
  EXPECT_EQ(ReadText(TwoAtoms("1", "C.3", "1.5e0"))->GetAtom(0)->GetCharge(), 2);
  EXPECT_EQ(ReadText(TwoAtoms("1", "N.4", "9.5E-01"))->GetAtom(0)->GetCharge(), 1);
}

TEST(Mol2Reader, ComputedPartialChargesGiveNoFormalCharges) {
  // NCI_3: the phenol oxygen's Gasteiger charge -0.5003 is no anion; only the UNITY_ATOM_ATTR charges count.
  const auto m = NewMolecule();
  auto tokenizer = NewFileParser(FormatsFile("NCI_3.mol2"));
  ReadMol2Molecule(*tokenizer, *m, "NCI_3.mol2");
  EXPECT_EQ(m->GetAtom(0)->GetCharge(), 0);
  std::string text = TwoAtoms("1", "N.4", "1.5");
  EXPECT_EQ(ReadText(text)->GetAtom(0)->GetCharge(), 2); // USER_CHARGES
  text.replace(text.find("USER_CHARGES"), 12, "MMFF94_CHARGES");
  EXPECT_EQ(ReadText(text)->GetAtom(0)->GetCharge(), 0);
  EXPECT_EQ(ReadText(text + "@<TRIPOS>UNITY_ATOM_ATTR\n1 1\ncharge 1\n")->GetAtom(0)->GetCharge(), 1);
  text.replace(text.find("MMFF94_CHARGES"), 14, "NO_CHARGES");
  EXPECT_EQ(ReadText(text)->GetAtom(0)->GetCharge(), 2);
}

TEST(Mol2Reader, AtomIdsNeedNotBeConsecutive) {
  const std::string text = Molecule("gaps", 2, 1) + "@<TRIPOS>ATOM\n" + AtomLine(10, "C.3", 0.0, "0.0") +
                           AtomLine(20, "O.3", 1.4, "0.0") + "@<TRIPOS>BOND\n 1 10 20 2\n";
  const auto m = ReadText(text);
  ASSERT_EQ(m->EdgeCount(), 1);
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkDouble);
}

TEST(Mol2Reader, NextMoleculeRecordStartsTheNextPass) {
  bool more = false;
  const auto m = ReadText(TwoAtoms("1") + TwoAtoms("2"), &more);
  EXPECT_TRUE(more);
  EXPECT_EQ(m->EdgeCount(), 1);
  ReadText(TwoAtoms("1") + "\n\n", &more);
  EXPECT_FALSE(more);
}

// ------------------------------------------------------------------------------------------ messages

TEST(Mol2ReaderErrors, EachBrokenRecordNamesItsLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {TwoAtoms("xy"), At(11)},
      {TwoAtoms("1.5"), At(11)},
      {TwoAtoms("1", "C.3", "1."), At(8)}, // a charge ending in its point is no number
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}

TEST(Mol2ReaderErrors, MissingFields) {
  EXPECT_EQ(ErrorOf("@<TRIPOS>\n"), At(1));                    // no record name
  EXPECT_EQ(ErrorOf("@<TRIPOS>MOLECULE\nname"), At(2));        // name line without end
  EXPECT_EQ(ErrorOf("@<TRIPOS>MOLECULE\nname\n 3\n"), At(3));  // no bond count
  std::string shortRow = TwoAtoms("1");
  shortRow.replace(shortRow.find("UNL1       0.0"), 14, "UNL1");
  EXPECT_EQ(ErrorOf(shortRow), At(8)); // no partial charge
  EXPECT_EQ(ErrorOf(Molecule("m", 2, 0) + "@<TRIPOS>ATOM\n" + AtomLine(1, "C.3", 0.0, "0.0") + "@<TRIPOS>BOND\n"),
            At(9)); // an atom short: the next record line is no atom
  EXPECT_EQ(ErrorOf(Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n 1 C1 0.0 abc 0.0 C.3 1 UNL1 0.0\n"), At(8));
  EXPECT_EQ(ErrorOf(Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n 1 C1 0.0 0.0 0.0 C.3 1 UNL1 charge\n"), At(8));
  EXPECT_EQ(ErrorOf(TwoAtoms("") ), At(11)); // no bond type
}

TEST(Mol2ReaderErrors, BondToAnAtomIdNotRead) {
  std::string text = TwoAtoms("1");
  text.replace(text.find("     1     2   1"), 16, "     1     3   1");
  EXPECT_EQ(ErrorOf(text), At(11, "Atom number out of range"));
}

TEST(Mol2ReaderErrors, AtomIdUsedTwice) {
  const std::string text = Molecule("m", 2, 0) + "@<TRIPOS>ATOM\n" + AtomLine(1, "C.3", 0.0, "0.0") +
                           AtomLine(1, "C.3", 1.0, "0.0");
  EXPECT_EQ(ErrorOf(text), At(9, "Atom id used twice"));
}

TEST(Mol2ReaderErrors, BrokenUnityAttributes) {
  const std::string atoms = Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n" + AtomLine(1, "N.4", 0.0, "0.0");
  EXPECT_EQ(ErrorOf(atoms + "@<TRIPOS>UNITY_ATOM_ATTR\n1 1\ncharge plus\n"), At(11));
  EXPECT_EQ(ErrorOf(atoms + "@<TRIPOS>UNITY_ATOM_ATTR\n2 1\ncharge 1\n"), At(10, "Atom number out of range"));
  EXPECT_EQ(ReadText(atoms + "@<TRIPOS>UNITY_ATOM_ATTR\n1 2\nflags 3\ncharge 1\n")->GetAtom(0)->GetCharge(), 1);
}
