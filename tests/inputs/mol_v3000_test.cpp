// The MOL/SD reader on V3000 records: tokens separated by any blanks, KEYWORD=value pairs, continuation lines,
// an optional bond block, and the file-and-line message of every missing keyword or number (CTfile format
// description, MDL/BIOVIA "CTfile Formats", V3000 chapter).

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/mol_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

const std::string kHead = "v3\n     RDKit          3D\n\n  0  0  0  0  0  0  0  0  0  0999 V3000\n"
                          "M  V30 BEGIN CTAB\n";

/// A V3000 record: counts, atom lines, bond lines (no bond block when bonds is empty and noBondBlock).
std::string Record(int atoms, int bonds, const std::string& atomLines, const std::string& bondLines,
                   bool bondBlock = true) {
  std::string text = kHead + "M  V30 COUNTS " + std::to_string(atoms) + " " + std::to_string(bonds) + " 0 0 0\n" +
                     "M  V30 BEGIN ATOM\n" + atomLines + "M  V30 END ATOM\n";
  if (bondBlock) text += "M  V30 BEGIN BOND\n" + bondLines + "M  V30 END BOND\n";
  return text + "M  V30 END CTAB\nM  END\n";
}

class V3000 : public ::testing::Test {
protected:
  void Read(const std::string& text) {
    folder.Write("v3.mol", text);
    h.Start(file);
    more = h.Pass();
  }
  std::string ErrorOf(const std::string& text) {
    h.reader->Stop(); // the file is written anew for every case
    folder.Write("v3.mol", text);
    h.Start(file);
    return MessageOf<EInputError>([&] { h.Pass(); });
  }
  std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(file, line, detail); }
  IAtom* Atom(int i) { return h.molecule->GetAtom(i); }
  int CountHydrogenBonds() {
    int n = 0;
    for (int i = 0; i < h.molecule->VertexCount(); ++i) n += Atom(i)->GetSymbol() == "H" ? 1 : 0;
    return n;
  }

  TempFolder folder;
  ReaderHarness<TMOLInput> h;
  std::string file = folder.Path() + "v3.mol";
  bool more = true;
};

} // namespace

TEST_F(V3000, TheDiazepamSampleReadsWithAllAtomsAndBonds) {
  // RDKit 2022.09.3 V3000 molfile of the fixture set.
  h.Start(DataFile("BZR_Diazepam_v3000.mol"));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "BZR_Diazepam");
  EXPECT_EQ(h.molecule->VertexCount(), 33);
  EXPECT_EQ(h.molecule->EdgeCount(), 35);
  EXPECT_EQ(Atom(16)->GetSymbol(), "Cl");
  EXPECT_DOUBLE_EQ(Atom(16)->GetX3D(), 4.6019);
  EXPECT_DOUBLE_EQ(Atom(16)->GetZ3D(), 1.8089);
}

TEST_F(V3000, ChargesMassesAndHydrogenCountsComeFromTheirKeywords) {
  // HCOUNT is the hydrogen count itself, -1 standing for none (CTfile V3000 atom properties; RDKit 2022.09.3
  // reads HCOUNT=2 as "two hydrogens" where it reads the V2000 field 3 so).
  Read(Record(4, 0,
              "M  V30 1 N 0 0 0 0 CHG=1 HCOUNT=3\n"
              "M  V30   2   C   1.5   0   0   0   MASS=13\n"
              "M  V30 3 O 3 0 0 0 CHG=-1 HCOUNT=-1\n"
              "M  V30 4 S 4 0 0 0 HCOUNT=1\n",
              ""));
  EXPECT_FALSE(more);
  // The carbon states no count and gets the four hydrogens of its valence after the stated ones.
  ASSERT_EQ(h.molecule->VertexCount(), 12);
  EXPECT_EQ(Atom(0)->GetCharge(), 1);
  EXPECT_EQ(Atom(0)->HydrogenCount(), 3);
  EXPECT_DOUBLE_EQ(Atom(1)->GetAtomicWeight(), 13.0);
  EXPECT_DOUBLE_EQ(Atom(1)->GetX3D(), 1.5);
  EXPECT_EQ(Atom(2)->GetCharge(), -1);
  EXPECT_EQ(Atom(2)->HydrogenCount(), 0);
  EXPECT_EQ(Atom(3)->HydrogenCount(), 1);
  EXPECT_EQ(Atom(1)->HydrogenCount(), 4);
  for (int i = 4; i < 12; ++i) EXPECT_EQ(Atom(i)->GetSymbol(), "H");
}

TEST_F(V3000, AnAtomLineEndingInADashContinuesWithItsKeywordsOnTheNextLine) {
  Read(Record(2, 1,
              "M  V30 1 N 0 0 0 0 -\n"
              "M  V30 CHG=1 -  \n"
              "M  V30 MASS=15\n"
              "M  V30 2 C 1.4 0 0 0 ATTCHPT=-1 CHG=-1\n",
              "M  V30 1 1 1 2\n"));
  ASSERT_GE(h.molecule->VertexCount(), 2);
  EXPECT_EQ(Atom(0)->GetCharge(), 1);
  EXPECT_DOUBLE_EQ(Atom(0)->GetAtomicWeight(), 15.0);
  EXPECT_EQ(Atom(1)->GetCharge(), -1); // "-1" after "=" is a value, not a continuation
  EXPECT_NE(Atom(0)->GetBondTo(Atom(1)), nullptr);
}

TEST_F(V3000, BondCodesMapAsInV2000AndContinuedBondLinesAreSkipped) {
  Read(Record(4, 3,
              "M  V30 1 C 0 0 0 0\nM  V30 2 C 1 0 0 0\nM  V30 3 C 2 0 0 0\nM  V30 4 C 3 0 0 0\n",
              "M  V30 1 2 1 2 CFG=2 -\nM  V30 ENDPTS=(2 3 4) ATTACH=ALL\nM  V30 2 4 2 3\nM  V30 3 8 3 4\n"));
  ASSERT_EQ(h.molecule->EdgeCount() - CountHydrogenBonds(), 3);
  EXPECT_EQ(Atom(0)->GetBondTo(Atom(1))->GetBondType(), bkDouble);
  EXPECT_EQ(Atom(1)->GetBondTo(Atom(2))->GetBondType(), bkAromatic);
  EXPECT_EQ(Atom(2)->GetBondTo(Atom(3))->GetBondType(), bkSingle); // 8, "any", reads as single
}

TEST_F(V3000, ATableWithoutBondBlockHasNoBonds) {
  Read(Record(1, 0, "M  V30 1 Na 0 0 0 0 CHG=1\n", "", false));
  EXPECT_EQ(h.molecule->VertexCount(), 1);
  EXPECT_EQ(h.molecule->EdgeCount(), 0);
  EXPECT_EQ(Atom(0)->GetSymbol(), "Na");
}

TEST_F(V3000, SDRecordsInV3000FollowOneAnother) {
  // RDKit 2022.09.3 V3000 SD file with charges ("CHG=") and an isotope ("MASS=13") and data items.
  h.Start(DataFile("v3000-charged.sdf"));
  EXPECT_EQ(h.ReadAll(), (std::vector<std::string>{"ethanol", "", "acetophenone-13C"}));
}

TEST_F(V3000, AMissingKeywordOrNumberNamesItsLineWithoutDetail) {
  const std::string atom = "M  V30 1 C 0 0 0 0\n";
  EXPECT_EQ(ErrorOf(kHead.substr(0, kHead.find("M  V30")) + "M  V30 BEGIN CTBA\n"), At(5));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS x 0\n"), At(6));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS 99999999999 0\n"), At(6));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS 1 0\nM  V30 BEGIN BOND\n"), At(7));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS 1 0\nM  V30 BEGIN ATOM\nM  V30 1 C 0 0\n"), At(8));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS 1 0\nM  V30 BEGIN ATOM\nM  V30 1 [C,N] 0 0 0 0\n"), At(8));
  EXPECT_EQ(ErrorOf(kHead + "M  V30 COUNTS 2 0\nM  V30 BEGIN ATOM\n" + atom + "M  V30 END ATOM\n"), At(9));
  EXPECT_EQ(ErrorOf(Record(1, 1, atom, "M  V30 1 1 1\n")), At(11));
}

TEST_F(V3000, EachBrokenRecordNamesItsLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {Record(1, 1, "M  V30 1 C 0 0 0 0\n", "M  V30 1 1 1 2\n"), At(11, "Atom number out of range")},
      {Record(1, 1, "M  V30 1 C 0 0 0 0\n", "M  V30 1 1 -3 1\n"), At(11, "Atom number out of range")},
      {kHead + "M  V30 COUNTS 2000000000 0\nM  V30 BEGIN ATOM\nM  V30 1 C 0 0 0 0\nM  V30 END ATOM\n", At(9)},
      {Record(1, 0, "M  V30 1 C 0 0 0 0 HCOUNT=2000000000\n", ""), At(8, "Hydrogen count out of range")},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}
