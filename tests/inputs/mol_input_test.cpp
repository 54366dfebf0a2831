// The MOL/SD reader on records written for the tests: the charge rules of the atom and properties blocks,
// isotopes, hydrogen counts and valences, bond codes, records without end line or version stamp, and V3000
// tokens, keywords and continuation lines. Field layouts and codes follow the CTfile format description
// (MDL/BIOVIA, "CTfile Formats"); the fixture files are compared with RDKit in mol_reference_test.cpp.

#include "input_test_util.h"

#include "chem/elements.h"
#include "inputs/mol_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

class MolInput : public ::testing::Test {
protected:
  /// Reads every record of text (written to name) and returns the names.
  Names ReadText(const std::string& text, const std::string& name = "t.sdf") {
    h.Start(folder.Write(name, text));
    return h.ReadAll();
  }
  IAtom* Atom(int i) { return h.molecule->GetAtom(i); }
  int Charge(int i) { return Atom(i)->GetCharge(); }

  TempFolder folder;
  ReaderHarness<TMOLInput> h;
};

} // namespace

TEST_F(MolInput, WhiteSpaceAfterTheLastRecordIsNoFurtherRecord) {
  const std::string record = TwoAtoms() + "$$$$\n";
  EXPECT_EQ(ReadText(record + record + "\n  \n\n"), (Names{"two", "two"}));
}

// ------------------------------------------------------------------------------------------ charges

TEST_F(MolInput, AtomBlockChargeCodesMapToFormalCharges) {
  // Codes 0..8: 0 leaves the charge, 1..7 give +3 +2 +1 0 (doublet radical) -1 -2 -3, 8 leaves the charge.
  std::string text = Header("codes") + CountsLine(9, 0);
  for (int code = 0; code <= 8; ++code) text += AtomLine(code, 0, 0, "C", 0, code);
  ReadText(text + "M  END\n");
  const int expected[] = {0, 3, 2, 1, 0, -1, -2, -3, 0};
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(Charge(i), expected[i]) << "code " << i;
}

TEST_F(MolInput, TheFirstChargeOrRadicalLineClearsTheAtomBlockChargesFurtherLinesAddUp) {
  // Atom block: C +1 (code 3), O -1 (code 5), N +1 (code 3).
  const std::string atoms = CountsLine(3, 0) + AtomLine(0, 0, 0, "C", 0, 3) + AtomLine(1, 0, 0, "O", 0, 5) +
                            AtomLine(2, 0, 0, "N", 0, 3);
  const std::pair<std::string, std::vector<int>> cases[] = {
      {"M  CHG  1   2  -1\n", {0, -1, 0}},
      {"M  CHG  1   1   1\nM  CHG  1   2  -1\n", {1, -1, 0}},
      {"M  RAD  1   1   2\n", {0, 0, 0}},
      {"M  ALS  1  2 F C   N   \nA    1\nalias\nM  chg  1   2   1\n", {0, 1, 0}}, // names in any letter case
      {"M  ISO  1   1  13\n", {1, -1, 1}},
  };
  for (const auto& [props, charges] : cases) {
    ReadText(Header("chg") + atoms + props + "M  END\n");
    EXPECT_EQ((std::vector<int>{Charge(0), Charge(1), Charge(2)}), charges) << props;
  }
  // Without version stamp the properties block is not read: the atom block's charges stay.
  ReadText(Header("old") + CountsLine(2, 1, "") + AtomLine(0, 0, 0, "C", 0, 3) + AtomLine(1.2, 0, 0, "O") +
               BondLine(1, 2, 1) + "M  CHG  1   2  -1\nM  END\n",
           "old.mol");
  EXPECT_EQ(Charge(0), 1);
  EXPECT_EQ(Charge(1), 0);
}

TEST_F(MolInput, ARecordWithoutEndLineNeverTakesTheNextRecordsCharges) {
  const std::string first = Header("first") + CountsLine(2, 1) + AtomLine(0, 0, 0, "N", 0, 3) +
                            AtomLine(1, 0, 0, "C") + BondLine(1, 2, 1) + "$$$$\n"; // no "M  END"
  h.Start(folder.Write("a.sdf", first + TwoAtoms("M  CHG  1   2  -1\n") + "$$$$\n"));
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(Charge(0), 1);
  EXPECT_EQ(Charge(1), 0);
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "two");
  EXPECT_EQ(Charge(1), -1);
}

// ------------------------------------------------------------------------------------------ isotopes, hydrogens

TEST_F(MolInput, AMassDifferenceIsAddedToTheStandardWeightAnIsoEntrySetsTheMassNumber) {
  ReadText(Header("iso") + CountsLine(2, 0) + AtomLine(0, 0, 0, "C", 1) + AtomLine(1, 0, 0, "C") +
           "M  ISO  1   2  13\nM  END\n");
  EXPECT_DOUBLE_EQ(Atom(0)->GetAtomicWeight(), static_cast<double>(AtomicWeight(6)) + 1.0);
  EXPECT_DOUBLE_EQ(Atom(1)->GetAtomicWeight(), 13.0);
}

TEST_F(MolInput, AHydrogenCountFieldOfThreeAddsTwoHydrogensOneAddsNoneABlankFieldLeavesTheImplicitOnes) {
  // The field codes the count plus one (1 = H0, 3 = H2); the hydrogens follow all other atoms. An atom whose
  // field is blank gets the hydrogens of its normal valence (MDL convention): the hydroxyl O its one.
  ReadText(Header("hc") + CountsLine(3, 2) + AtomLine(0, 0, 0, "C", 0, 0, 1) + AtomLine(1, 0, 0, "N", 0, 0, 3) +
           AtomLine(2, 0, 0, "O") + BondLine(1, 2, 1) + BondLine(2, 3, 1) + "M  END\n");
  ASSERT_EQ(h.molecule->VertexCount(), 6);
  EXPECT_EQ(Atom(3)->GetSymbol(), "H");
  EXPECT_EQ(Atom(0)->HydrogenCount(), 0);
  EXPECT_EQ(Atom(1)->HydrogenCount(), 2);
  EXPECT_EQ(Atom(2)->HydrogenCount(), 1);
  EXPECT_EQ(Atom(3)->GetBond(0)->GetBondType(), bkSingle);
  EXPECT_EQ(h.molecule->EdgeCount(), 5);
}

TEST_F(MolInput, AValenceFieldOrARadicalStatesTheHydrogensAndACationNeedsOneMore) {
  // Columns 49-51 give the valence (15 = 0): a methyl radical drawn with valence 3 gets three hydrogens, a carbon
  // with valence 15 none; "M  RAD" leaves the hydrogens drawn (none); the N+ of the last two atoms gets three.
  std::string text = Header("val") + CountsLine(5, 1) + AtomLine(0, 0, 0, "C") + AtomLine(2, 0, 0, "C") +
                     AtomLine(4, 0, 0, "C") + AtomLine(6, 0, 0, "N") + AtomLine(7.5, 0, 0, "C");
  const auto lineStart = [&text](int atom) {
    std::size_t at = 0;
    for (int k = 0; k < 4 + atom; ++k) at = text.find('\n', at) + 1;
    return at;
  };
  text.replace(lineStart(0) + 48, 3, "  3");
  text.replace(lineStart(1) + 48, 3, " 15");
  ReadText(text + BondLine(4, 5, 1) + "M  CHG  1   4   1\nM  RAD  1   3   2\nM  END\n");
  const int expected[] = {3, 0, 0, 3, 3};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Atom(i)->HydrogenCount(), expected[i]) << "atom " << i + 1;
}

// ------------------------------------------------------------------------------------------ bonds

TEST_F(MolInput, BondCodesMapToBondKindsQueryBondsReadAsSingleRepeatedBondsAreSkipped) {
  // Codes 1..8 between atom 1 and atoms 2..9: single, double, triple, aromatic, then 5-8 (query) single; then a
  // bond 2-1 repeating 1-2 and a bond of atom 1 to itself.
  std::string text = Header("bonds") + CountsLine(9, 10);
  for (int i = 0; i < 9; ++i) text += AtomLine(i, 0, 0, "C");
  for (int code = 1; code <= 8; ++code) text += BondLine(1, code + 1, code);
  ReadText(text + BondLine(2, 1, 3) + BondLine(1, 1, 1) + "M  END\n");
  const int expected[] = {bkSingle, bkDouble, bkTriple, bkAromatic, bkSingle, bkSingle, bkSingle, bkSingle};
  for (int code = 1; code <= 8; ++code)
    EXPECT_EQ(Atom(0)->GetBondTo(Atom(code))->GetBondType(), expected[code - 1]) << "code " << code;
  EXPECT_EQ(Atom(0)->GetBondTo(Atom(0)), nullptr);
}

// ------------------------------------------------------------------------------------------ V3000

TEST_F(MolInput, V3000ChargesMassesAndHydrogenCountsComeFromTheirKeywords) {
  // HCOUNT is the hydrogen count itself, -1 standing for none (CTfile V3000 atom properties; RDKit 2022.09.3
  // reads HCOUNT=2 as "two hydrogens" where it reads the V2000 field 3 so). The carbon states no count and gets
  // the four hydrogens of its valence after the stated ones.
  ReadText(V3000Record(4, 0,
                       "M  V30 1 N 0 0 0 0 CHG=1 HCOUNT=3\n"
                       "M  V30   2   C   1.5   0   0   0   MASS=13\n"
                       "M  V30 3 O 3 0 0 0 CHG=-1 HCOUNT=-1\n"
                       "M  V30 4 S 4 0 0 0 HCOUNT=1\n",
                       ""),
           "v3.mol");
  ASSERT_EQ(h.molecule->VertexCount(), 12);
  EXPECT_EQ(Charge(0), 1);
  EXPECT_EQ(Atom(0)->HydrogenCount(), 3);
  EXPECT_DOUBLE_EQ(Atom(1)->GetAtomicWeight(), 13.0);
  EXPECT_DOUBLE_EQ(Atom(1)->GetX3D(), 1.5);
  EXPECT_EQ(Atom(1)->HydrogenCount(), 4);
  EXPECT_EQ(Charge(2), -1);
  EXPECT_EQ(Atom(2)->HydrogenCount(), 0);
  EXPECT_EQ(Atom(3)->HydrogenCount(), 1);
  for (int i = 4; i < 12; ++i) EXPECT_EQ(Atom(i)->GetSymbol(), "H");
}

TEST_F(MolInput, V3000LinesEndingInADashContinueAndBondCodesMapAsInV2000) {
  ReadText(V3000Record(4, 3,
                       "M  V30 1 N 0 0 0 0 -\nM  V30 CHG=1 -  \nM  V30 MASS=15\n"
                       "M  V30 2 C 1.4 0 0 0 ATTCHPT=-1 CHG=-1\nM  V30 3 C 2 0 0 0\nM  V30 4 C 3 0 0 0\n",
                       "M  V30 1 2 1 2 CFG=2 -\nM  V30 ENDPTS=(2 3 4) ATTACH=ALL\nM  V30 2 4 2 3\nM  V30 3 8 3 4\n"),
           "v3.mol");
  EXPECT_EQ(Charge(0), 1);
  EXPECT_DOUBLE_EQ(Atom(0)->GetAtomicWeight(), 15.0);
  EXPECT_EQ(Charge(1), -1); // "-1" after "=" is a value, not a continuation
  EXPECT_EQ(Atom(0)->GetBondTo(Atom(1))->GetBondType(), bkDouble);
  EXPECT_EQ(Atom(1)->GetBondTo(Atom(2))->GetBondType(), bkAromatic);
  EXPECT_EQ(Atom(2)->GetBondTo(Atom(3))->GetBondType(), bkSingle); // 8, "any", reads as single
  // A table without bond block has no bonds.
  ReadText(V3000Record(1, 0, "M  V30 1 Na 0 0 0 0 CHG=1\n", "", false), "na.mol");
  EXPECT_EQ(h.molecule->VertexCount(), 1);
  EXPECT_EQ(h.molecule->EdgeCount(), 0);
}
