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

TEST(ClassificationHeader, ContinuedPropertyLineWithNothingAfterItIsAnEmptyName) {
  // The check runs after the line end was passed, so it reports the next line.
  EXPECT_EQ(LoadError("Property = A;\n"), At(2, "Empty property"));
  EXPECT_EQ(LoadError("Property = \nC = 1\n"), At(1, "Empty property"));
}

TEST(ClassificationHeader, PropertyNeedsEquals) {
  EXPECT_EQ(LoadError("\n\nProperty Weight\nC = 1\n"), At(3, "\"=\" expected after \"Property\""));
}

TEST(ClassificationHeader, WithoutPropertyLineTheBlockMustBringNames) {
  EXPECT_EQ(LoadError("C = 1\n"), At(1, "\"Property = \" expected"));
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

TEST(ClassificationHeader, ClassNeedsEqualsAndAName) {
  EXPECT_EQ(LoadError("Property = A\nClass Kind\n"), At(2, "\"=\" expected after \"Class\""));
  EXPECT_EQ(LoadError("Property = A\nClass =   \nC = 1\n"), At(2, "Empty class"));
  EXPECT_EQ(LoadError("Property = A\nClass =\r\nC = 1\r\n"), At(2, "Empty class"));
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

TEST(ClassificationDefinitions, NumberWithExponentOrTrailingPointIsNoNumber) {
  EXPECT_EQ(LoadError("C = 1e5\n", kOne), At(1, "End of line expected after definition"));
  EXPECT_EQ(LoadError("C = 1; 5.\n", {"A", "B"}), At(1, "Value expected"));
}

TEST(ClassificationDefinitions, QuotedValuesInStringFiles) {
  auto c = LoadText("C = \"sp3 carbon\"; 2\n", {"A", "B"}, ekAtoms, vkString);
  EXPECT_EQ(c->Record(0).values, (std::vector<std::string>{"sp3 carbon", "2"}));
}

TEST(ClassificationDefinitions, QuotedNumberInNumericFileIsANumber) {
  auto c = LoadText("C = \"1.5\"\n", kOne);
  EXPECT_DOUBLE_EQ(c->Record(0).numbers[0], 1.5);
}

TEST(ClassificationDefinitions, QuotedTextInNumericFileFailsAtLoading) {
  EXPECT_EQ(LoadError("C = 1\nN = \"amine\"\n", kOne), At(2, "Numeric value expected"));
}

TEST(ClassificationDefinitions, NumberBeyondTheDoubleRangeFailsAtLoading) {
  EXPECT_EQ(LoadError("C = 1" + std::string(400, '0') + "\n", kOne), At(1, "Numeric value expected"));
}

TEST(ClassificationDefinitions, QuoteWithoutClosingQuoteDoesNotReadIntoTheNextLine) {
  EXPECT_EQ(LoadError("C = \"abc\nN = \"x\"\n", kOne, ekAtoms, vkString), At(1, "\" expected before end of line"));
  EXPECT_EQ(LoadError("C = \"abc", kOne, ekAtoms, vkString), At(1, "\" expected before end of line"));
}

TEST(ClassificationDefinitions, ValueListEndingInSemicolon) {
  EXPECT_EQ(LoadError("Property = A\nC = 1;\n"), At(2, "Value expected"));
  EXPECT_EQ(LoadError("Property = A\nC = 1;   // no value\n"), At(2, "Value expected"));
}

TEST(ClassificationDefinitions, ValuesSeparatedByBlank) {
  EXPECT_EQ(LoadError("C = 1 2\n", kOne), At(1, "End of line expected after definition"));
  // The value count is checked first.
  EXPECT_EQ(LoadError("C = 1 2\n", {"A", "B"}), At(1, "Missing values"));
}

TEST(ClassificationDefinitions, ValueCountMustEqualNameCount) {
  EXPECT_EQ(LoadError("C = 1\nN = 1\n", {"A", "B"}), At(1, "Missing values"));
  EXPECT_EQ(LoadError("C = 1\nN = 1; 2\n", kOne), At(2, "Too much values defined"));
  EXPECT_EQ(LoadError("C = 1; 2; 3\n", {"A", "B"}), At(1, "Too much values defined"));
}

TEST(ClassificationDefinitions, MissingSmiles) {
  EXPECT_EQ(LoadError("Property = A\nC = 1\n; = 2\n"), At(3, "SMILES code expected"));
  EXPECT_EQ(LoadError("Property = A\n(C) = 2\n"), At(2, "SMILES code expected"));
}

TEST(ClassificationDefinitions, MissingEqualsNamesTheSmiles) {
  EXPECT_EQ(LoadError("Property = A\nC(C) 1\n"), At(2, "\"=\" expected after C(C)"));
  EXPECT_EQ(LoadError("Property = A\nC(C)\n"), At(2, "\"=\" expected after C(C)"));
}

TEST(ClassificationDefinitions, SmilesSyntaxErrorIsReportedWithItsLine) {
  // The parser's own message, given the line so that the file can be mended.
  EXPECT_EQ(LoadError("Property = A\nC = 1\nC(C = 1\n"), At(3, "Branch closure expected at position 3"));
  EXPECT_EQ(LoadError("Property = A\nc = 1\n"), At(2, "Unknown symbol at position 1"));
}

TEST(ClassificationDefinitions, LoadingStopsAtTheFirstError) {
  EXPECT_EQ(LoadError("Property = A\nC = 1;\nC = 1 2\n"), At(2, "Value expected"));
}

TEST(ClassificationDefinitions, BondFileFragmentNeedsABond) {
  // The reader gives this failure no text of its own.
  EXPECT_EQ(LoadError("CC = 1\nC = 1\n", kOne, ekBonds), At(2, ""));
  EXPECT_EQ(LoadError("C.C = 1\n", kOne, ekBonds), At(1, ""));
  EXPECT_EQ(LoadError("[CH4] = 1\n", kOne, ekBonds), "loaded");
}

TEST(ClassificationDefinitions, UnknownSymbolInFragment) {
  EXPECT_EQ(LoadError("C = 1\nCQ = 2\n", kOne), At(2, "Invalid symbol in fragment definition"));
}

// ------------------------------------------------------------------------------------------------ symbols

TEST(ClassificationSymbols, DefinitionLeftSideMustBeOneAtom) {
  EXPECT_EQ(LoadError("CC = F\n", kOne), At(1, "Numeric value expected after \"=\""));
  EXPECT_EQ(LoadError("[CH3] = F\n", kOne), At(1, "Numeric value expected after \"=\""));
}

TEST(ClassificationSymbols, DuplicatedSymbol) {
  EXPECT_EQ(LoadError("X = F\nC = 1\nX = Cl\n", kOne), At(3, "Duplicated symbol"));
}

TEST(ClassificationSymbols, AlternativeShapes) {
  EXPECT_EQ(LoadError("X = CCC\n", kOne), At(1, "Invalid symbol definition"));
  EXPECT_EQ(LoadError("X = C.C\n", kOne), At(1, "Invalid symbol definition"));
  EXPECT_EQ(LoadError("X = F,\n", kOne), At(1, "SMILES code expected"));
  EXPECT_EQ(LoadError("X = F, Qq\n", kOne), At(1, "Unknown symbol"));
}

TEST(ClassificationSymbols, TwoAtomSymbolTakesOneAlternativeOnly) {
  // The alternative after the next "," is the one refused.
  EXPECT_EQ(LoadError("C = 1\nQa = C=O, F\n", kOne), At(2, "Invalid symbol definition"));
  // Alternatives do not continue on the next line.
  EXPECT_EQ(LoadError("Qa = F,\n Cl\n", kOne), At(1, "SMILES code expected"));
}

TEST(ClassificationSymbols, OneAtomSymbolTakesFurtherTwoAtomAlternatives) {
  auto c = LoadText("X = F, CO, Cl\nCX = 1\n", kOne);
  EXPECT_EQ(c->File().symbols.At(0).kind, skOneAtom);
  EXPECT_EQ(c->File().symbols.At(0).alternatives.size(), 3u);
}

TEST(ClassificationSymbols, AlternativesMayUseOneAtomSymbolsOnly) {
  EXPECT_EQ(LoadError("X = F, Cl\nZ = X, Br\n", kOne), "loaded");
  EXPECT_EQ(LoadError("Qa = CO\nZ = Qa\n", kOne), At(2, "Invalid symbol definition"));
  EXPECT_EQ(LoadError("X = F, X\n", kOne), "loaded"); // X is a one-atom symbol once F is read
  EXPECT_EQ(LoadError("X = X\n", kOne), At(1, "Invalid symbol definition"));
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
