// The MOL/SD reader on V2000 records: line ends, SD records and data items, the charge rules of the atom and
// properties blocks, isotopes, hydrogen counts, bond codes, and the message of every broken field. Field layouts
// and codes follow the CTfile format description (MDL/BIOVIA, "CTfile Formats").

#include "input_test_util.h"
#include "mol_test_util.h"

#include "chem/elements.h"
#include "core/errors.h"
#include "inputs/mol_input.h"

#include <fstream>
#include <sstream>

using namespace corvatin;
using namespace corvatin::test;

namespace {

class MolInput : public ::testing::Test {
protected:
  /// Reads every record of text (written to name) and returns the names.
  std::vector<std::string> ReadText(const std::string& text, const std::string& name = "t.sdf") {
    h.reader->Stop();
    h.Start(folder.Write(name, text));
    return h.ReadAll();
  }
  /// The message of the error the first record of text raises.
  std::string ErrorOf(const std::string& text) {
    h.reader->Stop(); // the file is written anew for every case
    folder.Write("broken.sdf", text);
    h.Start(file);
    return MessageOf<EInputError>([&] { h.Pass(); });
  }
  std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(file, line, detail); }
  IAtom* Atom(int i) { return h.molecule->GetAtom(i); }

  TempFolder folder;
  ReaderHarness<TMOLInput> h;
  std::string file = folder.Path() + "broken.sdf";
};

/// A record of two atoms, C and O, bonded by code bondCode, followed by props (property lines) and "M  END".
std::string TwoAtoms(const std::string& props = {}, int bondCode = 1, const std::string& stamp = "V2000") {
  return Header("two") + CountsLine(2, 1, stamp) + AtomLine(0, 0, 0, "C") + AtomLine(1.2, 0, 0, "O") +
         BondLine(1, 2, bondCode) + props + "M  END\n";
}

} // namespace

// ------------------------------------------------------------------------------------------ the block

TEST(MolReader, TheHeadingIsLoggedTransientlyAndTheMoleculeFittedIntoTheView) {
  ReaderHarness<TMOLInput> h;
  h.Start(DataFile("CS_ethanol.mol"));
  h.Pass();
  ASSERT_FALSE(h.log->lines.empty());
  EXPECT_EQ(h.log->lines.front().text, "Reading MDL MOL file...");
  EXPECT_EQ(h.log->lines.front().kind, lkHeading);
  EXPECT_TRUE(h.log->lines.front().transient);
  EXPECT_EQ(h.progress->positions.back(), 100);
  EXPECT_TRUE(h.molecule->HasTransform()); // fitted into the view
}

// ------------------------------------------------------------------------------------------ records

TEST_F(MolInput, AMolfileWithoutEndMarkIsOneRecordEndingWithTheFile) {
  h.Start(DataFile("CS_ethanol.mol")); // Open Babel 3.1.1, fixture set
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "CS_ethanol");
  EXPECT_EQ(h.molecule->VertexCount(), 9);
  EXPECT_EQ(h.molecule->EdgeCount(), 8);
  EXPECT_EQ(Atom(2)->GetSymbol(), "O");
  EXPECT_DOUBLE_EQ(Atom(2)->GetX3D(), -1.8001);
  EXPECT_DOUBLE_EQ(Atom(2)->GetY3D(), -0.7337);
  EXPECT_DOUBLE_EQ(Atom(2)->GetZ3D(), 0.0472);
}

TEST_F(MolInput, ThreeRecordsWithDataItemsGiveThreeStructuresAndAnEmptyNameLineStaysTheName) {
  // RDKit 2022.09.3 SD file: data items after every record; the second record's name line is empty.
  h.Start(DataFile("data-items-lf.sdf"));
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "ethanol");
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "");
  EXPECT_EQ(h.molecule->VertexCount(), 10); // glycine zwitterion with its hydrogens
  EXPECT_EQ(Atom(0)->GetCharge(), 1);       // "M  CHG  2   1   1   5  -1"
  EXPECT_EQ(Atom(4)->GetCharge(), -1);
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "acetophenone-13C");
  EXPECT_DOUBLE_EQ(Atom(0)->GetAtomicWeight(), 13); // "M  ISO  1   1  13"
}

TEST_F(MolInput, WhiteSpaceAfterTheLastRecordIsNoFurtherRecord) {
  const std::string record = TwoAtoms() + "$$$$\n";
  EXPECT_EQ(ReadText(record + record + "\n  \n\n"), (std::vector<std::string>{"two", "two"}));
}

TEST_F(MolInput, AnEmptyFileIsABrokenRecordNotAnEmptyStructure) {
  EXPECT_EQ(ErrorOf(""), At(1, "Unexpected end of file"));
  EXPECT_EQ(h.molecule->VertexCount(), 0);
}

// ------------------------------------------------------------------------------------------ versions

TEST_F(MolInput, WithoutVersionStampPropertyChargesAreIgnoredAndAtomBlockChargesStay) {
  // Charge code 3 (+1) on C; an "M  CHG" line for O that a record without stamp does not read.
  const std::string text = Header("old") + CountsLine(2, 1, "") + AtomLine(0, 0, 0, "C", 0, 3) +
                           AtomLine(1.2, 0, 0, "O") + BondLine(1, 2, 1) + "M  CHG  1   2  -1\nM  END\n";
  ReadText(text, "old.mol");
  EXPECT_EQ(Atom(0)->GetCharge(), 1);
  EXPECT_EQ(Atom(1)->GetCharge(), 0);
}

TEST_F(MolInput, EachBrokenRecordNamesItsLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {TwoAtoms({}, 1, "V9999"), "The file you selected is not a MDL mol file"},
      {Header("x") + " ab  1  0  0  0  0  0  0  0  0999 V2000\n", At(4, "Atom count expected")},
      {Header("x") + "  1 -1  0  0  0  0  0  0  0  0999 V2000\n", At(4, "Bond count expected")},
      {TwoAtoms("M  CHG  1   3   1\n"), At(8, "Atom number out of range")},
      {TwoAtoms("M  CHG  x   1   1\n"), At(8, "Entry count expected")},
      {TwoAtoms("M  CHG  2   1   1\n"), At(8, "Property entry expected")},
      {TwoAtoms("M  ISO  1   1  ab\n"), At(8, "Property entry expected")},
      {TwoAtoms("M  CHG  1   1  1\n"), At(8, "Property entry expected")}, // the value one column short
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}

// ------------------------------------------------------------------------------------------ charges

TEST_F(MolInput, AtomBlockChargeCodesMapToFormalCharges) {
  // Codes 0..8: 0 leaves the charge, 1..7 give +3 +2 +1 0 (doublet radical) -1 -2 -3, 8 leaves the charge.
  std::string text = Header("codes") + CountsLine(9, 0);
  for (int code = 0; code <= 8; ++code) text += AtomLine(code, 0, 0, "C", 0, code);
  ReadText(text + "M  END\n");
  const int expected[] = {0, 3, 2, 1, 0, -1, -2, -3, 0};
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(Atom(i)->GetCharge(), expected[i]) << "code " << i;
}

TEST_F(MolInput, ThePropertiesBlockFirstClearsTheAtomBlockChargesThenSetsItsOwn) {
  // Atom block: C +1 (code 3), O -1 (code 5), N +1 (code 3); one "CHG" entry: atom 2, -1.
  const std::string text = Header("chg") + CountsLine(3, 0) + AtomLine(0, 0, 0, "C", 0, 3) +
                           AtomLine(1, 0, 0, "O", 0, 5) + AtomLine(2, 0, 0, "N", 0, 3) + "M  CHG  1   2  -1\nM  END\n";
  ReadText(text);
  EXPECT_EQ(Atom(0)->GetCharge(), 0);
  EXPECT_EQ(Atom(1)->GetCharge(), -1);
  EXPECT_EQ(Atom(2)->GetCharge(), 0);
}

TEST_F(MolInput, SeveralChargeLinesAddUpAndARadicalLineAlsoClearsTheAtomBlockCharges) {
  ReadText(TwoAtoms("M  CHG  1   1   1\nM  CHG  1   2  -1\n"));
  EXPECT_EQ(Atom(0)->GetCharge(), 1);
  EXPECT_EQ(Atom(1)->GetCharge(), -1);
  const std::string radical = Header("rad") + CountsLine(1, 0) + AtomLine(0, 0, 0, "C", 0, 3) + "M  RAD  1   1   2\n" +
                              "M  END\n";
  ReadText(radical);
  EXPECT_EQ(Atom(0)->GetCharge(), 0);
}

TEST_F(MolInput, PropertyNamesAreComparedWithoutLetterCaseAndOtherLinesAreSkipped) {
  ReadText(TwoAtoms("M  ALS  1  2 F C   N   \nA    1\nalias\nM  chg  1   2   1\n"));
  EXPECT_EQ(Atom(1)->GetCharge(), 1);
}

TEST_F(MolInput, ARecordWithoutEndLineNeverTakesTheNextRecordsCharges) {
  const std::string first = Header("first") + CountsLine(2, 1) + AtomLine(0, 0, 0, "N", 0, 3) +
                            AtomLine(1, 0, 0, "C") + BondLine(1, 2, 1) + "$$$$\n"; // no "M  END"
  const std::string second = TwoAtoms("M  CHG  1   2  -1\n") + "$$$$\n";
  h.Start(folder.Write("a.sdf", first + second));
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(Atom(0)->GetCharge(), 1);
  EXPECT_EQ(Atom(1)->GetCharge(), 0);
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "two");
  EXPECT_EQ(Atom(1)->GetCharge(), -1);
}

// ------------------------------------------------------------------------------------------ isotopes, hydrogens

TEST_F(MolInput, AMassDifferenceIsAddedToTheStandardWeightAnIsoEntrySetsTheMassNumber) {
  const std::string text = Header("iso") + CountsLine(2, 0) + AtomLine(0, 0, 0, "C", 1) + AtomLine(1, 0, 0, "C") +
                           "M  ISO  1   2  13\nM  END\n";
  ReadText(text);
  EXPECT_DOUBLE_EQ(Atom(0)->GetAtomicWeight(), static_cast<double>(AtomicWeight(6)) + 1.0);
  EXPECT_DOUBLE_EQ(Atom(1)->GetAtomicWeight(), 13.0);
}

TEST_F(MolInput, AHydrogenCountFieldOfThreeAddsTwoHydrogensOneAddsNoneABlankFieldLeavesTheImplicitOnes) {
  // The field codes the count plus one (1 = H0, 3 = H2); the hydrogens follow all other atoms. An atom whose
  // field is blank gets the hydrogens of its normal valence (MDL convention): the hydroxyl O its one.
  const std::string text = Header("hc") + CountsLine(3, 2) + AtomLine(0, 0, 0, "C", 0, 0, 1) +
                           AtomLine(1, 0, 0, "N", 0, 0, 3) + AtomLine(2, 0, 0, "O") + BondLine(1, 2, 1) +
                           BondLine(2, 3, 1) + "M  END\n";
  ReadText(text);
  ASSERT_EQ(h.molecule->VertexCount(), 6);
  EXPECT_EQ(Atom(3)->GetSymbol(), "H");
  EXPECT_EQ(Atom(4)->GetSymbol(), "H");
  EXPECT_EQ(Atom(1)->HydrogenCount(), 2);
  EXPECT_EQ(Atom(0)->HydrogenCount(), 0);
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
  text += BondLine(4, 5, 1) + "M  CHG  1   4   1\nM  RAD  1   3   2\nM  END\n";
  ReadText(text);
  EXPECT_EQ(Atom(0)->HydrogenCount(), 3);
  EXPECT_EQ(Atom(1)->HydrogenCount(), 0);
  EXPECT_EQ(Atom(2)->HydrogenCount(), 0);
  EXPECT_EQ(Atom(3)->HydrogenCount(), 3);
  EXPECT_EQ(Atom(4)->HydrogenCount(), 3);
}

// ------------------------------------------------------------------------------------------ bonds

TEST_F(MolInput, BondCodesMapToBondKindsAndQueryBondsReadAsSingle) {
  // Codes 1..8 between atom 1 and atoms 2..9: single, double, triple, aromatic, then 5-8 (query) single.
  std::string text = Header("bonds") + CountsLine(9, 8);
  for (int i = 0; i < 9; ++i) text += AtomLine(i, 0, 0, "C");
  for (int code = 1; code <= 8; ++code) text += BondLine(1, code + 1, code);
  ReadText(text + "M  END\n");
  const int expected[] = {bkSingle, bkDouble, bkTriple, bkAromatic, bkSingle, bkSingle, bkSingle, bkSingle};
  for (int code = 1; code <= 8; ++code)
    EXPECT_EQ(Atom(0)->GetBondTo(Atom(code))->GetBondType(), expected[code - 1]) << "code " << code;
}

TEST_F(MolInput, ARepeatedBondOrABondOfAnAtomToItselfIsSkipped) {
  const std::string text = Header("dup") + CountsLine(2, 3) + AtomLine(0, 0, 0, "C") + AtomLine(1, 0, 0, "C") +
                           BondLine(1, 2, 2) + BondLine(2, 1, 1) + BondLine(1, 1, 1) + "M  END\n";
  ReadText(text);
  EXPECT_EQ(h.molecule->EdgeCount(), 5); // the double bond and ethene's four hydrogens
  EXPECT_EQ(h.molecule->GetBond(0)->GetBondType(), bkDouble);
}

// ------------------------------------------------------------------------------------------ broken records

TEST_F(MolInput, ABrokenAtomLineNamesItsLineAndField) {
  const std::string head = Header("x") + CountsLine(2, 0) + AtomLine(0, 0, 0, "C");
  EXPECT_EQ(ErrorOf(head + "    1.0000    abcdef    0.0000 C   0  0  0  0\n"), At(6, "Coordinate expected"));
  EXPECT_EQ(ErrorOf(head + "       nan    0.0000    0.0000 C   0  0  0  0\n"), At(6, "Coordinate expected"));
  EXPECT_EQ(ErrorOf(head + "    1.0000\n"), At(6, "Coordinate expected"));
  EXPECT_EQ(ErrorOf(head + "    1.0000    0.0000    0.0000 C   x  0  0  0\n"), At(6, "Mass difference expected"));
  EXPECT_EQ(ErrorOf(head + "    1.0000    0.0000    0.0000 C   0  q  0  0\n"), At(6, "Charge code expected"));
  EXPECT_EQ(ErrorOf(head + "    1.0000    0.0000    0.0000 C   0  0  0  z\n"), At(6, "Hydrogen count expected"));
  EXPECT_EQ(ErrorOf(head + "    1.0000    0.0000    0.0000 C   0  0  0999\n"), At(6, "Hydrogen count out of range"));
  EXPECT_EQ(h.molecule->VertexCount(), 0); // nothing of a broken record is handed on
}

TEST_F(MolInput, ABondToAnAtomOutsideTheAtomBlockNamesTheBondLine) {
  const std::string head = Header("x") + CountsLine(2, 1) + AtomLine(0, 0, 0, "C") + AtomLine(1, 0, 0, "C");
  EXPECT_EQ(ErrorOf(head + BondLine(1, 3, 1)), At(7, "Atom number out of range"));
  EXPECT_EQ(ErrorOf(head + BondLine(0, 1, 1)), At(7, "Atom number out of range"));
  EXPECT_EQ(ErrorOf(head + "  1 xx  1  0\n"), At(7, "Atom number expected"));
  EXPECT_EQ(ErrorOf(head + "  1  2\n"), At(7, "Bond type expected"));
}

TEST_F(MolInput, AFileEndingInsideATableNamesTheLineAfterTheLast) {
  const std::string text = Header("x") + CountsLine(3, 0) + AtomLine(0, 0, 0, "C");
  EXPECT_EQ(ErrorOf(text), At(6, "Unexpected end of file"));
  EXPECT_EQ(ErrorOf("name\nprogram\n"), At(3, "Unexpected end of file"));
}

TEST_F(MolInput, ARecordAfterABrokenOneIsNotReached) {
  // The run ends at the broken record (the worker ends the run on EInputError); the message names its line.
  const std::string good = TwoAtoms() + "$$$$\n";
  const std::string bad = Header("bad") + CountsLine(1, 0) + "garbage\n";
  folder.Write("broken.sdf", good + bad + good);
  h.Start(file);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }), At(14, "Coordinate expected"));
}
