// The classification file language: header, definitions, user symbols, and every error message with the line
// the tokenizer is on when the check fails.
#include "classify_test_util.h"

#include "classify/loader.h"
#include "core/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace corvatin {
namespace {

using test::LoadError;
using test::LoadText;

const std::vector<std::string> kOne = {"Weight"};

std::vector<std::string> FragmentTexts(const TSMILESClassification& c) {
  std::vector<std::string> texts;
  for (int i = 0; i < c.FragmentCount(); ++i) texts.push_back(c.Record(i).smiles);
  return texts;
}

std::string At(int line, const std::string& text) { return "Error at line " + std::to_string(line) + " : \"" + text + "\""; }

// ------------------------------------------------------------------------------------------------ header

TEST(ClassificationHeader, ExampleFileReadWithoutNames) {
  // The language's example file: names keep the ";" that ends them, the class line is kept as written, one user
  // symbol with four alternatives, fragments ordered by size.
  auto c = LoadText("// comment line\n"
                    "Property = Weight A; Weight B\n"
                    "Class = Atom class\n"
                    "X = F, Cl, Br, I\n"
                    "[C&sp3]X = 0.12; 1.5\n"
                    "C(=O)O = -0.3; .25   // trailing comment\n"
                    "* = 0; 0\n");
  EXPECT_EQ(c->PropertyNames(), (std::vector<std::string>{"Weight A;", "Weight B"}));
  EXPECT_EQ(c->ClassName(), "Atom class");
  ASSERT_EQ(c->File().symbols.Count(), 1);
  EXPECT_EQ(c->File().symbols.NameAt(0), "X");
  EXPECT_EQ(c->File().symbols.At(0).kind, skOneAtom);
  EXPECT_EQ(c->File().symbols.At(0).alternatives.size(), 4u);
  EXPECT_EQ(FragmentTexts(*c), (std::vector<std::string>{"C(=O)O", "[C&sp3]X", "*"}));
  EXPECT_EQ(c->Record(0).values, (std::vector<std::string>{"-0.3", "0.25"}));
  EXPECT_EQ(c->Record(0).numbers, (std::vector<double>{-0.3, 0.25}));
}

TEST(ClassificationHeader, PropertyLineEndingInSemicolonContinuesOnNextLine) {
  auto c = LoadText("Property = A;\nB\nC = 1; 2\n");
  EXPECT_EQ(c->PropertyNames(), (std::vector<std::string>{"A;", "B"}));
  EXPECT_EQ(c->FragmentCount(), 1);
}

TEST(ClassificationHeader, WithoutPropertyLineTheBlockMustBringNames) {
  auto c = LoadText("C = 1\n", kOne);
  EXPECT_EQ(c->PropertyNames(), kOne);
  EXPECT_EQ(c->FragmentCount(), 1);
}

TEST(ClassificationHeader, GivenNamesOverrideThePropertyLine) {
  // The line is skipped whole, its names and their number included.
  auto c = LoadText("PROPERTY = A; B; C\nC = 1\n", kOne);
  EXPECT_EQ(c->PropertyNames(), kOne);
  EXPECT_EQ(c->Record(0).values.size(), 1u);
}

TEST(ClassificationHeader, HeaderWordsIgnoreLetterCase) {
  auto c = LoadText("property = P\nclass = K\nC = 1\n");
  EXPECT_EQ(c->PropertyNames(), (std::vector<std::string>{"P"}));
  EXPECT_EQ(c->ClassName(), "K");
}

TEST(ClassificationHeader, ClassNameIsTheRestOfTheLineUnchanged) {
  auto c = LoadText("Property = A\nClass = Atom  class  \r\nC = 1\r\n");
  EXPECT_EQ(c->ClassName(), "Atom  class  ");
}

TEST(ClassificationHeader, CommentLinesMayPrecedeAndSeparateTheHeaderLines) {
  auto c = LoadText("// source: a paper\r\n\r\n// more\r\nProperty = A\r\n// between\r\nClass = K\r\nC = 1\r\n", kOne);
  EXPECT_EQ(c->ClassName(), "K");
  EXPECT_EQ(c->FragmentCount(), 1);
}

// ------------------------------------------------------------------------------------------------ definitions

TEST(ClassificationDefinitions, CommentsBlankLinesAndLineEnds) {
  auto c = LoadText("Property = A\r\n\r\n// C = 9\r\n  C = 1 // one\r\n\n\tO = 2\n// last", kOne);
  EXPECT_EQ(FragmentTexts(*c), (std::vector<std::string>{"C", "O"}));
}

TEST(ClassificationDefinitions, NumbersAndTheirForms) {
  auto c = LoadText("C = +12\nN = -.5\nO = 3.25\n", kOne);
  EXPECT_EQ(c->Record(0).values[0], "+12");
  EXPECT_DOUBLE_EQ(c->Record(0).numbers[0], 12.0);
  EXPECT_EQ(c->Record(1).values[0], "-0.5");
  EXPECT_DOUBLE_EQ(c->Record(1).numbers[0], -0.5);
  EXPECT_DOUBLE_EQ(c->Record(2).numbers[0], 3.25);
}

TEST(ClassificationDefinitions, QuotedValuesInStringFiles) {
  auto c = LoadText("C = \"sp3 carbon\"; 2\n", {"A", "B"}, ekAtoms, vkString);
  EXPECT_EQ(c->Record(0).values, (std::vector<std::string>{"sp3 carbon", "2"}));
}

TEST(ClassificationDefinitions, QuotedNumberInNumericFileIsANumber) {
  auto c = LoadText("C = \"1.5\"\n", kOne);
  EXPECT_DOUBLE_EQ(c->Record(0).numbers[0], 1.5);
}

// ------------------------------------------------------------------------------------------------ symbols

TEST(ClassificationSymbols, OneAtomSymbolTakesFurtherTwoAtomAlternatives) {
  auto c = LoadText("X = F, CO, Cl\nCX = 1\n", kOne);
  EXPECT_EQ(c->File().symbols.At(0).kind, skOneAtom);
  EXPECT_EQ(c->File().symbols.At(0).alternatives.size(), 3u);
}

TEST(ClassificationSymbols, TwoAtomSymbolIsExpandedInFragments) {
  auto c = LoadText("Cb = C=O\nNCb = 1\nCc = C~O\nNCc = 2\n", kOne);
  ASSERT_EQ(c->FragmentCount(), 2);
  // Both have three atoms now; "N" and the expanded carbon were written, the oxygen was added.
  for (int i = 0; i < 2; ++i) {
    const IMolecule& fragment = *c->File().fragments[static_cast<size_t>(i)];
    ASSERT_EQ(fragment.VertexCount(), 3);
    EXPECT_EQ(fragment.GetAtom(1)->GetSymbol(), "C");
    EXPECT_EQ(fragment.GetAtom(2)->GetSymbol(), "O");
    ASSERT_NE(fragment.GetAtom(1)->GetBondTo(fragment.GetAtom(2)), nullptr);
    EXPECT_EQ(c->Record(i).atomCount, 3);
    EXPECT_EQ(c->Record(i).specificAtomCount, 2); // counted over the two atoms written
  }
  const IBond* doubleBond = c->File().fragments[0]->GetBond(1);
  EXPECT_EQ(doubleBond->GetBondType(), bkDouble);
  EXPECT_EQ(c->Record(0).specificBondCount, 1); // N-C written without a symbol: any; C=O specific
  const IBond* tilde = c->File().fragments[1]->GetBond(1);
  EXPECT_EQ(tilde->GetString(kParamBondSpecialKind), "~");
}

// ------------------------------------------------------------------------------------------------ records

TEST(ClassificationRecords, SpecificityKeys) {
  auto c = LoadText("*C(*)[CH3] = 1\n", kOne);
  // Atoms: *, C, *, C, H, H, H (the hydrogens of the bracket count are atoms too); written: all seven.
  EXPECT_EQ(c->Record(0).atomCount, 7);
  EXPECT_EQ(c->Record(0).specificAtomCount, 5);
  // Bonds written without a symbol are "any", the bracket hydrogens' bonds included.
  EXPECT_EQ(c->Record(0).specificBondCount, 0);
  auto d = LoadText("C-C=O = 1\n", kOne);
  EXPECT_EQ(d->Record(0).specificBondCount, 2);
}

TEST(ClassificationRecords, SortedBySizeThenSpecificAtomsThenSpecificBonds) {
  auto c = LoadText("C = 1\n"
                    "*C = 2\n"
                    "CO = 3\n"
                    "C-O = 4\n"
                    "*CO = 5\n"
                    "[C&sp3] = 6\n"
                    "C=O = 7\n"
                    "** = 8\n",
                    kOne);
  EXPECT_EQ(FragmentTexts(*c),
            (std::vector<std::string>{"*CO", "C-O", "C=O", "CO", "*C", "**", "C", "[C&sp3]"}));
}

TEST(ClassificationRecords, EqualKeysKeepFileOrder) {
  auto c = LoadText("CN = 1\nCO = 2\nCC = 3\nOC = 4\n", kOne);
  EXPECT_EQ(FragmentTexts(*c), (std::vector<std::string>{"CN", "CO", "CC", "OC"}));
}

TEST(ClassificationRecords, MainBondOfBondFragments) {
  auto c = LoadText("CC=O = 1\nC=O = 2\nC(C)C = 3\nC(=O)C = 4\n[CH3]C = 5\n", kOne, ekBonds);
  auto main = [&](const std::string& smiles) {
    for (int i = 0; i < c->FragmentCount(); ++i)
      if (c->Record(i).smiles == smiles) return c->File().fragments[static_cast<size_t>(i)]->GetFloat(kParamMainBond);
    return -1.0;
  };
  EXPECT_EQ(main("CC=O"), 1);    // the double bond
  EXPECT_EQ(main("C=O"), 0);     // the only bond
  EXPECT_EQ(main("C(C)C"), 1);   // the second bond
  EXPECT_EQ(main("C(=O)C"), 1);  // the branch bond is not on the main chain
  EXPECT_EQ(main("[CH3]C"), 3);  // the hydrogens' bonds are not on the main chain
}

TEST(ClassificationRecords, HybridisationMarks) {
  auto c = LoadText("[C&sp] = 1\n[C&sp2] = 2\n[C&sp3] = 3\n[N&sp7] = 4\n[O&SP2] = 5\n", kOne);
  std::vector<double> marks;
  for (int i = 0; i < c->FragmentCount(); ++i)
    marks.push_back(c->File().fragments[static_cast<size_t>(i)]->GetAtom(0)->GetFloat(kParamAtomSpecialHyb));
  EXPECT_EQ(marks, (std::vector<double>{1, 2, 3, 3, 2}));
}

// ------------------------------------------------------------------------------------------------ errors

struct LoadCase {
  std::string text;
  std::vector<std::string> names; // given by the block; empty: the file's Property line
  int elementKind;
  std::uint8_t valueKind;
  int line; // 0: the text loads
  std::string message;
};

TEST(ClassificationErrors, EveryErrorNamesTheLineTheTokenizerIsOnAndItsReason) {
  // The check for an empty continued property runs after the line end was passed, so it reports the next line;
  // the value count is checked before the end of the line; a bond file's fragment without a bond has no text of
  // its own; a SMILES error carries the parser's message; loading stops at the first error.
  const LoadCase cases[] = {
      {"Property = A;\n", {}, ekAtoms, vkNumber, 2, "Empty property"},
      {"Property = \nC = 1\n", {}, ekAtoms, vkNumber, 1, "Empty property"},
      {"\n\nProperty Weight\nC = 1\n", {}, ekAtoms, vkNumber, 3, "\"=\" expected after \"Property\""},
      {"C = 1\n", {}, ekAtoms, vkNumber, 1, "\"Property = \" expected"},
      {"Property = A\nClass Kind\n", {}, ekAtoms, vkNumber, 2, "\"=\" expected after \"Class\""},
      {"Property = A\nClass =   \nC = 1\n", {}, ekAtoms, vkNumber, 2, "Empty class"},
      {"Property = A\nClass =\r\nC = 1\r\n", {}, ekAtoms, vkNumber, 2, "Empty class"},
      {"C = 1e5\n", {"Weight"}, ekAtoms, vkNumber, 1, "End of line expected after definition"},
      {"C = 1; 5.\n", {"A", "B"}, ekAtoms, vkNumber, 1, "Value expected"},
      {"C = 1\nN = \"amine\"\n", {"Weight"}, ekAtoms, vkNumber, 2, "Numeric value expected"},
      {"C = 1" + std::string(400, '0') + "\n", {"Weight"}, ekAtoms, vkNumber, 1, "Numeric value expected"},
      {"C = \"abc\nN = \"x\"\n", {"Weight"}, ekAtoms, vkString, 1, "\" expected before end of line"},
      {"C = \"abc", {"Weight"}, ekAtoms, vkString, 1, "\" expected before end of line"},
      {"Property = A\nC = 1;\n", {}, ekAtoms, vkNumber, 2, "Value expected"},
      {"Property = A\nC = 1;   // no value\n", {}, ekAtoms, vkNumber, 2, "Value expected"},
      {"C = 1 2\n", {"Weight"}, ekAtoms, vkNumber, 1, "End of line expected after definition"},
      {"C = 1 2\n", {"A", "B"}, ekAtoms, vkNumber, 1, "Missing values"},
      {"C = 1\nN = 1\n", {"A", "B"}, ekAtoms, vkNumber, 1, "Missing values"},
      {"C = 1\nN = 1; 2\n", {"Weight"}, ekAtoms, vkNumber, 2, "Too much values defined"},
      {"C = 1; 2; 3\n", {"A", "B"}, ekAtoms, vkNumber, 1, "Too much values defined"},
      {"Property = A\nC = 1\n; = 2\n", {}, ekAtoms, vkNumber, 3, "SMILES code expected"},
      {"Property = A\n(C) = 2\n", {}, ekAtoms, vkNumber, 2, "SMILES code expected"},
      {"Property = A\nC(C) 1\n", {}, ekAtoms, vkNumber, 2, "\"=\" expected after C(C)"},
      {"Property = A\nC(C)\n", {}, ekAtoms, vkNumber, 2, "\"=\" expected after C(C)"},
      {"Property = A\nC = 1\nC(C = 1\n", {}, ekAtoms, vkNumber, 3, "Branch closure expected at position 3"},
      {"Property = A\nc = 1\n", {}, ekAtoms, vkNumber, 2, "Unknown symbol at position 1"},
      {"Property = A\nC = 1;\nC = 1 2\n", {}, ekAtoms, vkNumber, 2, "Value expected"},
      {"CC = 1\nC = 1\n", {"Weight"}, ekBonds, vkNumber, 2, ""},
      {"C.C = 1\n", {"Weight"}, ekBonds, vkNumber, 1, ""},
      {"[CH4] = 1\n", {"Weight"}, ekBonds, vkNumber, 0, "loaded"},
      {"C = 1\nCQ = 2\n", {"Weight"}, ekAtoms, vkNumber, 2, "Invalid symbol in fragment definition"},
      {"CC = F\n", {"Weight"}, ekAtoms, vkNumber, 1, "Numeric value expected after \"=\""},
      {"[CH3] = F\n", {"Weight"}, ekAtoms, vkNumber, 1, "Numeric value expected after \"=\""},
      {"X = F\nC = 1\nX = Cl\n", {"Weight"}, ekAtoms, vkNumber, 3, "Duplicated symbol"},
      {"X = CCC\n", {"Weight"}, ekAtoms, vkNumber, 1, "Invalid symbol definition"},
      {"X = C.C\n", {"Weight"}, ekAtoms, vkNumber, 1, "Invalid symbol definition"},
      {"X = F,\n", {"Weight"}, ekAtoms, vkNumber, 1, "SMILES code expected"},
      {"X = F, Qq\n", {"Weight"}, ekAtoms, vkNumber, 1, "Unknown symbol"},
      {"C = 1\nQa = C=O, F\n", {"Weight"}, ekAtoms, vkNumber, 2, "Invalid symbol definition"},
      {"Qa = F,\n Cl\n", {"Weight"}, ekAtoms, vkNumber, 1, "SMILES code expected"},
      {"X = F, Cl\nZ = X, Br\n", {"Weight"}, ekAtoms, vkNumber, 0, "loaded"},
      {"Qa = CO\nZ = Qa\n", {"Weight"}, ekAtoms, vkNumber, 2, "Invalid symbol definition"},
      {"X = F, X\n", {"Weight"}, ekAtoms, vkNumber, 0, "loaded"}, // X is a one-atom symbol once F is read
      {"X = X\n", {"Weight"}, ekAtoms, vkNumber, 1, "Invalid symbol definition"},
  };
  for (const LoadCase& c : cases)
    EXPECT_EQ(LoadError(c.text, c.names, c.elementKind, c.valueKind), c.line ? At(c.line, c.message) : "loaded")
        << c.text;
}

// ------------------------------------------------------------------------------------------------ files

TEST(ClassificationFiles, RelativeNamesAreFoundInTheDataFolder) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("corvatin-classify-" + std::to_string(::getpid()));
  fs::create_directories(folder / "elsewhere");
  std::ofstream(folder / "Test.txt") << "Property = W\nC = 1\n";
  const fs::path cwd = fs::current_path();
  fs::current_path(folder / "elsewhere");
  SetDataFolder(folder.string());
  std::string error;
  int fragments = -1;
  try {
    TSMILESClassification c({}, "Test.txt", ekAtoms, vkNumber);
    fragments = c.FragmentCount();
  } catch (const std::exception& e) {
    error = e.what();
  }
  SetDataFolder("");
  fs::current_path(cwd);
  fs::remove_all(folder);
  EXPECT_EQ(error, "");
  EXPECT_EQ(fragments, 1);
}

TEST(ClassificationFiles, MissingFileRaisesTheStreamError) {
  EXPECT_THROW(TSMILESClassification({}, "/nonexistent/NoSuchFile.txt", ekAtoms, vkNumber), EInputError);
}

} // namespace
} // namespace corvatin
