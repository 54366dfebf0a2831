// The SMILES file reader: several SMILES per line in ".sml" and ".txt", name and SMILES line pairs in ".sml2",
// environment mode, and the file-and-line message around the parser's own message.

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/smiles_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

class SmilesInput : public ::testing::Test {
protected:
  std::vector<std::string> ReadFile(const std::string& name, const std::string& text) {
    h.reader->Stop();
    file = folder.Write(name, text);
    h.Start(file);
    flags.clear();
    std::vector<std::string> names;
    bool more = true;
    while (more && names.size() < 100) {
      more = h.Pass();
      flags.push_back(more);
      names.push_back(h.molecule->GetName());
    }
    return names;
  }

  TempFolder folder;
  ReaderHarness<TSMILESInput> h;
  std::string file;
  std::vector<bool> flags;
};

int Heavy(const IMolecule& m) {
  int n = 0;
  for (int i = 0; i < m.VertexCount(); ++i) n += m.GetAtom(i)->GetSymbol() != "H";
  return n;
}

} // namespace

TEST_F(SmilesInput, TwoSmilesOnOneLineGiveTwoStructuresNamedByTheirText) {
  EXPECT_EQ(ReadFile("a.sml", "CCO c1ccccc1\n"), (std::vector<std::string>{"CCO", "c1ccccc1"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, false}));
  EXPECT_EQ(h.molecule->VertexCount(), 12); // benzene, completed with its hydrogens
}

TEST_F(SmilesInput, TabsLineEndsAndATxtFileSeparateSmilesAlike) {
  EXPECT_EQ(ReadFile("a.txt", "CC\tCCC\r\n\r\n[NH4+]   C#N"), (std::vector<std::string>{"CC", "CCC", "[NH4+]", "C#N"}));
}

TEST_F(SmilesInput, WhiteSpaceAfterTheLastSmilesIsNoFurtherStructure) {
  EXPECT_EQ(ReadFile("a.sml", "CCO\n\n   \t\n"), (std::vector<std::string>{"CCO"}));
  EXPECT_EQ(flags, (std::vector<bool>{false}));
}

TEST_F(SmilesInput, TheHeadingAndEachSmilesAreLoggedTransiently) {
  ReadFile("a.sml", "CCO");
  ASSERT_EQ(h.log->lines.size(), 2u);
  EXPECT_EQ(h.log->lines[0].text, "Reading SMILES structure...");
  EXPECT_EQ(h.log->lines[0].kind, lkHeading);
  EXPECT_TRUE(h.log->lines[0].transient);
  EXPECT_EQ(h.log->lines[1].text, "Processing structure : CCO");
  EXPECT_EQ(h.log->lines[1].kind, lkPlain);
  EXPECT_TRUE(h.log->lines[1].transient);
  EXPECT_EQ(h.progress->positions, (std::vector<int>{100}));
  EXPECT_FALSE(h.molecule->HasTransform()); // SMILES structures are not fitted into the view
}

// ------------------------------------------------------------------------------------------ ".sml2"

TEST_F(SmilesInput, Sml2NamesComeFromTheFirstLineOfEachPair) {
  const auto names = ReadFile("a.sml2", "12;Ethanol\nCCO\nEthanol\nCCO\n12 Ethanol\nCCO\n7;\nC#N\n");
  EXPECT_EQ(names, (std::vector<std::string>{"Ethanol", "Ethanol", " Ethanol", "C#N"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(Heavy(*h.molecule), 2);
}

TEST_F(SmilesInput, Sml2WithCarriageReturnLineFeedKeepsNoCarriageReturnInTheName) {
  EXPECT_EQ(ReadFile("a.sml2", "1;Water\r\nO\r\n2;Ammonia\r\nN\r\n"), (std::vector<std::string>{"Water", "Ammonia"}));
}

TEST_F(SmilesInput, AnSml2ExtensionInCapitalsIsReadAsAPlainSmilesFile) {
  EXPECT_EQ(ReadFile("a.SML2", "CCO\nCC\n"), (std::vector<std::string>{"CCO", "CC"}));
}

TEST_F(SmilesInput, Sml2AllowsOnlyBlanksAfterTheSmiles) {
  file = folder.Write("a.sml2", "1;Ethanol\nCCO ethanol\n");
  h.Start(file);
  EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }),
            FileErrorMessage(file, 2, "Unexpected error at position 4"));
  EXPECT_EQ(ReadFile("b.sml2", "1;Ethanol\nCCO  \t\n"), (std::vector<std::string>{"Ethanol"}));
}

// ------------------------------------------------------------------------------------------ errors

TEST_F(SmilesInput, ASyntaxErrorEndsTheRunWithTheFileTheLineAndTheParsersMessage) {
  file = folder.Write("a.sml", "CCO\nC(C\n");
  h.Start(file);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }),
            "Error in file \"" + file + "\" at line 2 (Branch closure expected at position 3)");
  EXPECT_EQ(h.molecule->VertexCount(), 0);
}

TEST_F(SmilesInput, TheSmilesPositionCountsFromTheSmilesNotTheLine) {
  file = folder.Write("a.sml", "CCO   C[Xx]\n"); // the second SMILES starts at column 7
  h.Start(file);
  h.Pass();
  EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }), FileErrorMessage(file, 1, "Unknown symbol at position 4"));
}

TEST_F(SmilesInput, TextThatIsNoSmilesFails) {
  file = folder.Write("a.sml", "!!\n");
  h.Start(file);
  EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }), FileErrorMessage(file, 1, "Unexpected error at position 0"));
}

// ------------------------------------------------------------------------------------------ environment mode

class SmilesEnvironment : public ::testing::Test {
protected:
  void Read(const std::string& text) {
    h.Start(folder.Write("env.sml", text));
    h.Pass();
  }
  bool Marked(int i) { return h.molecule->GetAtom(i)->GetFloat(kParamFragmentEnvironment) == 1; }
  bool HasMark(int i) { return h.molecule->GetAtom(i)->HasParam(kParamFragmentEnvironment); }

  TempFolder folder;
  ReaderHarness<TSMILESInput> h{true};
};

TEST_F(SmilesEnvironment, AtomsWrittenInsideBracesAreMarkedTheOthersNot) {
  Read("CC{O}\n");
  ASSERT_GE(h.molecule->VertexCount(), 3);
  EXPECT_FALSE(HasMark(0));
  EXPECT_FALSE(HasMark(1));
  EXPECT_TRUE(Marked(2));
  EXPECT_EQ(h.molecule->GetAtom(2)->GetSymbol(), "O");
  EXPECT_TRUE(h.molecule->GetAtom(1)->GetBondTo(h.molecule->GetAtom(2)) != nullptr);
  EXPECT_EQ(h.molecule->GetName(), "CC{O}");
}

TEST_F(SmilesEnvironment, HydrogensFromABracketCountAreMarkedWhereverTheyStand) {
  Read("[NH3+]C\n");
  EXPECT_FALSE(HasMark(0));
  EXPECT_TRUE(Marked(1));
  EXPECT_TRUE(Marked(2));
  EXPECT_TRUE(Marked(3));
  EXPECT_FALSE(HasMark(4)); // the carbon
}

TEST_F(SmilesEnvironment, BracesNeedEnvironmentModeAndDoNotNest) {
  ReaderHarness<TSMILESInput> plain;
  plain.Start(folder.Write("plain.sml", "CC{O}\n"));
  EXPECT_THROW(plain.Pass(), EInputError);
  h.Start(folder.Write("nested.sml", "C{C{O}}\n"));
  EXPECT_THROW(h.Pass(), EInputError);
}
