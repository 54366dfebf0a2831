// The SMILES parser: grammar (Weininger 1988; OpenSMILES for bracket atoms), every error message with its
// position, organic-mode symbol splitting, the completion step, hooks, and inputs that must fail cleanly
// (deep nesting, long chains, numbers that do not fit).

#include "chem/smiles.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace corvatin;

namespace {

struct Counts {
  int heavy = 0;
  int hydrogens = 0;
  int bonds[5] = {0, 0, 0, 0, 0};
};

Counts CountOf(const IMolecule& m) {
  Counts c;
  for (int i = 0; i < m.VertexCount(); ++i)
    (m.GetAtom(i)->GetSymbol() == "H" ? c.hydrogens : c.heavy)++;
  for (int i = 0; i < m.EdgeCount(); ++i) {
    const int t = m.GetBond(i)->GetBondType();
    if (t >= 0 && t <= 4) c.bonds[t]++;
  }
  return c;
}

Ptr<IMolecule> Parse(const std::string& smiles, bool organic = true, bool complete = true,
                     ISMILESHook* hook = nullptr) {
  auto m = NewMolecule();
  auto tokenizer = NewTextParser(smiles);
  TSMILESParser(organic, hook, complete).Parse(*tokenizer, *m);
  return m;
}

/// The message of the ESMILESError a parse raises ("" when it succeeds).
std::string ErrorOf(const std::string& smiles, bool organic = true) {
  try {
    Parse(smiles, organic);
  } catch (const ESMILESError& e) {
    return e.what();
  }
  return "";
}

int HydrogensOn(const IAtom* a) { return a->HydrogenCount(); }

} // namespace

// --- the messages and their positions ---

TEST(SmilesErrors, PositionsCountConsumedCharacters) {
  EXPECT_EQ(ErrorOf("CC)"), "Unexpected error at position 2");
  EXPECT_EQ(ErrorOf("C(C"), "Branch closure expected at position 3");
  EXPECT_EQ(ErrorOf("C%1"), "Two digits expected after \"%\" at position 3");
  EXPECT_EQ(ErrorOf("C%"), "Digit expected after \"%\" at position 2");
  EXPECT_EQ(ErrorOf("C%x"), "Digit expected after \"%\" at position 2");
  EXPECT_EQ(ErrorOf("C11"), "Digit can't be reused for the same atom at position 3. Use \"%\" for two digit numbers");
  EXPECT_EQ(ErrorOf("C=1CC-1"), "Bond kinds differs for the ring closure at position 7");
  EXPECT_EQ(ErrorOf("C1C1"), "Invalid ring closure at position 4");
  EXPECT_EQ(ErrorOf("=CC"), "Main chain can't begin with a bond");
  EXPECT_EQ(ErrorOf("C1CC"), "Ring closure expected");
  EXPECT_EQ(ErrorOf("[]"), "Symbol expected at position 1");
  EXPECT_EQ(ErrorOf("C[13]"), "Symbol expected at position 4");
  EXPECT_EQ(ErrorOf("[C+-]"), "Invalid charge sign at position 4");
  EXPECT_EQ(ErrorOf("[C"), "\"]\" expected at position 2");
  EXPECT_EQ(ErrorOf("[CH4+x]"), "\"]\" expected at position 5");
  EXPECT_EQ(ErrorOf("[C@X]"), "Quirality class expected at position 4");
  EXPECT_EQ(ErrorOf("CXx"), "Unknown symbol at position 3");
  EXPECT_EQ(ErrorOf("Cx"), "Unknown symbol at position 2");
  // The end test comes before the leading-bond test.
  EXPECT_EQ(ErrorOf("=C)"), "Unexpected error at position 2");
  EXPECT_EQ(ErrorOf("="), "Main chain can't begin with a bond");
}

TEST(SmilesErrors, PositionIsCountedFromWhereTheParseBegan) {
  // A reader hands over a tokenizer standing inside a file: positions count from there, leading blanks
  // included.
  auto tokenizer = NewTextParser("first line\n  C(C");
  tokenizer->SkipLine();
  auto m = NewMolecule();
  try {
    TSMILESParser(true, nullptr, true).Parse(*tokenizer, *m);
    FAIL() << "no error";
  } catch (const ESMILESError& e) {
    EXPECT_STREQ(e.what(), "Branch closure expected at position 5");
  }
}

TEST(SmilesErrors, LowerCaseOutsideOrganicModeIsUnknown) {
  EXPECT_EQ(ErrorOf("c1ccccc1", false), "Unknown symbol at position 1");
  EXPECT_EQ(ErrorOf("CCcl", false), "Unknown symbol at position 4");
  EXPECT_EQ(ErrorOf("Ccc", false), "Unknown symbol at position 3"); // capital plus every lower-case letter
  EXPECT_EQ(ErrorOf("Q", false), "Unknown symbol at position 1");
}

TEST(SmilesErrors, FailedParseLeavesAnEmptyMoleculeAndIsNoChemError) {
  auto m = NewMolecule();
  ParseSMILES("CCO", *m);
  ASSERT_GT(m->VertexCount(), 0);
  EXPECT_THROW(ParseSMILES("CC(C", *m), ESMILESError);
  EXPECT_EQ(m->VertexCount(), 0);
  EXPECT_EQ(m->EdgeCount(), 0);
  // The worker logs EChemError and goes on; a SMILES error is its own kind.
  try {
    ParseSMILES("C(", *m);
  } catch (const EChemError&) {
    FAIL() << "caught as EChemError";
  } catch (const ESMILESError&) {
  }
}

// --- mends: nothing crashes, nothing wraps around ---

TEST(SmilesLimits, DeepBranchNestingFailsWithAPosition) {
  std::string text;
  for (int i = 0; i < 100000; ++i)
    text += "C(";
  EXPECT_EQ(ErrorOf(text), "Branch closure expected at position 200000");
  EXPECT_EQ(ErrorOf(std::string(100000, '(')), "Unexpected error at position 0");
}

TEST(SmilesLimits, DeepBranchNestingThatClosesParses) {
  std::string text;
  const int depth = 20000;
  for (int i = 0; i < depth; ++i)
    text += "C(";
  text += "C";
  text += std::string(depth, ')');
  auto m = Parse(text, true, false);
  EXPECT_EQ(m->VertexCount(), depth + 1);
  EXPECT_EQ(m->EdgeCount(), depth);
}

TEST(SmilesLimits, LongChainIsParsedAndCompleted) {
  const int n = 20000;
  auto m = Parse(std::string(n, 'C'));
  EXPECT_EQ(CountOf(*m).heavy, n);
  EXPECT_EQ(CountOf(*m).hydrogens, 2 * n + 2);
}

TEST(SmilesLimits, NumbersThatDoNotFitAreErrors) {
  EXPECT_EQ(ErrorOf("[99999999999C]"), "Number too large at position 1");
  EXPECT_EQ(ErrorOf("[CH99999999999]"), "Number too large at position 3");
  EXPECT_EQ(ErrorOf("[CH100]"), "Number too large at position 3");
  EXPECT_EQ(ErrorOf("C[C+2147483648]"), "Number too large at position 4");
  EXPECT_EQ(ErrorOf("[C-99999999999999999999]"), "Number too large at position 3");
  auto m = Parse("[2147483647C+2147483647]", true, false);
  EXPECT_EQ(m->GetAtom(0)->GetCharge(), 2147483647);
  EXPECT_EQ(m->GetAtom(0)->GetAtomicWeight(), 2147483647.0);
  EXPECT_EQ(Parse("[C-2147483647]", true, false)->GetAtom(0)->GetCharge(), -2147483647);
  EXPECT_EQ(Parse("[CH99]", true, false)->VertexCount(), 100);
}

TEST(SmilesLimits, ControlAndHighBytesAreRejectedNotRead) {
  EXPECT_EQ(ErrorOf(std::string("C\0C", 3)), "Unexpected error at position 1");
  EXPECT_EQ(ErrorOf("C\xc3\xa9"), "Unexpected error at position 1");
  EXPECT_EQ(ErrorOf("[C\xff]"), "\"]\" expected at position 2");
}

// --- the grammar ---

TEST(SmilesGrammar, BlanksAroundAreSkippedAndTheLineEndStops) {
  EXPECT_EQ(Parse("")->VertexCount(), 0);
  EXPECT_EQ(Parse("   ")->VertexCount(), 0);
  Counts c = CountOf(*Parse("  CC  "));
  EXPECT_EQ(c.heavy, 2);
  EXPECT_EQ(c.hydrogens, 6);
  EXPECT_EQ(CountOf(*Parse("CC\r\nCCC")).heavy, 2);
  EXPECT_EQ(CountOf(*Parse("CO\t")).heavy, 2);
  EXPECT_EQ(ErrorOf("C C"), "Unexpected error at position 2");
}

TEST(SmilesGrammar, BranchesGiveNeopentaneAndAnEmptyBranchNothing) {
  auto m = Parse("C(C)(C)(C)C");
  Counts c = CountOf(*m);
  EXPECT_EQ(c.heavy, 5);
  EXPECT_EQ(c.hydrogens, 12);
  EXPECT_EQ(m->GetAtom(0)->HeavyNeighbourCount(), 4);
  auto empty = Parse("C()C", true, false); // an empty branch adds nothing
  EXPECT_EQ(empty->VertexCount(), 2);
  EXPECT_EQ(empty->EdgeCount(), 1);
}

TEST(SmilesGrammar, BondCharacters) {
  Counts c = CountOf(*Parse("C=CC#N", true, false));
  EXPECT_EQ(c.bonds[bkDouble], 1);
  EXPECT_EQ(c.bonds[bkTriple], 1);
  EXPECT_EQ(c.bonds[bkSingle], 1);
  c = CountOf(*Parse("F/C=C\\F", true, false)); // direction marks read as single bonds
  EXPECT_EQ(c.bonds[bkSingle], 2);
  EXPECT_EQ(c.bonds[bkDouble], 1);
  c = CountOf(*Parse("C:C", true, false));
  EXPECT_EQ(c.bonds[bkAromatic], 1);
}

TEST(SmilesGrammar, RingClosures) {
  auto m = Parse("C1CC1", true, false);
  EXPECT_EQ(m->EdgeCount(), 3);
  EXPECT_NE(m->GetAtom(2)->GetBondTo(m->GetAtom(0)), nullptr);
  // A bond character at one end types the ring bond.
  m = Parse("C1CC=1", true, false);
  EXPECT_EQ(m->GetAtom(2)->GetBondTo(m->GetAtom(0))->GetBondType(), bkDouble);
  m = Parse("C=1CC1", true, false);
  EXPECT_EQ(m->GetAtom(2)->GetBondTo(m->GetAtom(0))->GetBondType(), bkDouble);
  // Two-digit numbers, and a number reused after its ring is closed.
  m = Parse("C%12CC%12C1CC1", true, false);
  EXPECT_EQ(m->EdgeCount(), 7);
  EXPECT_EQ(Parse("C%99CC%99", true, false)->EdgeCount(), 3);
  EXPECT_EQ(Parse("C0CC0", true, false)->EdgeCount(), 3);
}

TEST(SmilesGrammar, BondCharacterBeforeAFailedRingNumberBondsTheNextAtom) {
  auto m = Parse("C1=CC1", true, false);
  EXPECT_EQ(m->GetAtom(0)->GetBondTo(m->GetAtom(1))->GetBondType(), bkDouble);
  EXPECT_EQ(ErrorOf("C=(C)C"), "Unexpected error at position 2");
}

TEST(SmilesGrammar, DotSeparatesFragments) {
  auto m = Parse("C.C");
  Counts c = CountOf(*m);
  EXPECT_EQ(c.heavy, 2);
  EXPECT_EQ(c.hydrogens, 8);
  EXPECT_EQ(m->GetAtom(0)->GetBondTo(m->GetAtom(1)), nullptr);
  EXPECT_EQ(Parse("[Na+].[Cl-]")->EdgeCount(), 0);
  // A ring number may join two fragments.
  m = Parse("C1.C1", true, false);
  EXPECT_EQ(m->EdgeCount(), 1);
}

TEST(SmilesGrammar, BracketAtoms) {
  auto m = Parse("[NH4+]");
  ASSERT_EQ(m->VertexCount(), 5);
  EXPECT_EQ(m->GetAtom(0)->GetSymbol(), "N");
  EXPECT_EQ(m->GetAtom(0)->GetCharge(), 1);
  EXPECT_EQ(HydrogensOn(m->GetAtom(0)), 4);

  m = Parse("[13CH4]");
  EXPECT_EQ(m->VertexCount(), 5);
  EXPECT_EQ(m->GetAtom(0)->GetAtomicWeight(), 13.0);

  EXPECT_EQ(Parse("[Fe+++]")->GetAtom(0)->GetCharge(), 3);
  EXPECT_EQ(Parse("[Fe+3]")->GetAtom(0)->GetCharge(), 3);
  EXPECT_EQ(Parse("[O--]")->GetAtom(0)->GetCharge(), -2);
  EXPECT_EQ(Parse("[O-2]")->GetAtom(0)->GetCharge(), -2);
  EXPECT_EQ(Parse("[O-]")->GetAtom(0)->GetCharge(), -1);
  EXPECT_EQ(Parse("[CH0]")->VertexCount(), 1);   // brackets: hydrogens as written, none added
  EXPECT_EQ(Parse("[C]")->VertexCount(), 1);
  EXPECT_EQ(Parse("[H][H]")->EdgeCount(), 1);
  EXPECT_EQ(Parse("[Hg]")->GetAtom(0)->GetSymbol(), "Hg");
}

TEST(SmilesGrammar, BracketHydrogensFollowTheirAtomAndCarryNoMarks) {
  auto m = Parse("C[NH2]C", true, false);
  ASSERT_EQ(m->VertexCount(), 5);
  EXPECT_EQ(m->GetAtom(2)->GetSymbol(), "H");
  EXPECT_EQ(m->GetAtom(3)->GetSymbol(), "H");
  EXPECT_EQ(m->GetAtom(4)->GetSymbol(), "C");
  for (int i = 0; i < m->VertexCount(); ++i) {
    EXPECT_FALSE(m->GetVertex(i)->HasParam("HasBonds"));
    EXPECT_FALSE(m->GetVertex(i)->HasParam("HasHydrogens"));
  }
}

TEST(SmilesGrammar, ChiralityIsReadAndDropped) {
  // Bromochlorofluoromethane with an explicit stereo mark; the carbon keeps one hydrogen.
  auto m = Parse("[C@@H](F)(Cl)Br");
  EXPECT_EQ(CountOf(*m).heavy, 4);
  EXPECT_EQ(HydrogensOn(m->GetAtom(0)), 1);
  EXPECT_EQ(CountOf(*Parse("N[C@TH1H](C)C(=O)O")).heavy, 6);
  EXPECT_EQ(CountOf(*Parse("[C@OH15]")).heavy, 1);
  EXPECT_EQ(CountOf(*Parse("[C@@]")).heavy, 1);
}

TEST(SmilesGrammar, WildcardAtom) {
  auto m = Parse("*C", true, true);
  EXPECT_EQ(m->GetAtom(0)->GetSymbol(), "*");
  EXPECT_EQ(m->GetAtom(0)->GetAtomicNumber(), 0);
  EXPECT_EQ(m->GetAtom(0)->HydrogenCount(), 0);
  EXPECT_EQ(m->GetAtom(1)->HydrogenCount(), 3);
}

// --- organic-mode symbols ---

TEST(SmilesSymbols, SulfurBeforeAromaticCarbonIsNotScandium) {
  auto m = Parse("Sc1ccccc1");
  Counts c = CountOf(*m);
  EXPECT_EQ(m->GetAtom(0)->GetSymbol(), "S");
  EXPECT_EQ(c.heavy, 7);
  EXPECT_EQ(c.bonds[bkAromatic], 6);
  EXPECT_EQ(HydrogensOn(m->GetAtom(0)), 1); // thiophenol
  EXPECT_EQ(Parse("[Sc]")->GetAtom(0)->GetSymbol(), "Sc");
  EXPECT_EQ(Parse("[Sn]")->GetAtom(0)->GetSymbol(), "Sn");
  EXPECT_EQ(Parse("Sn1cccc1", true, false)->GetAtom(1)->GetSymbol(), "N");
}

TEST(SmilesSymbols, TwoLetterElementsStayWholeAndNonOrganicModeJoinsEveryLowerCaseLetter) {
  for (const char* s : {"Cl", "Br", "Co", "Cs", "Na"}) {
    auto m = Parse(std::string("C") + s, true, false);
    ASSERT_EQ(m->VertexCount(), 2) << s;
    EXPECT_EQ(m->GetAtom(1)->GetSymbol(), s);
  }
  // Outside organic mode every lower-case letter joins its capital.
  EXPECT_EQ(Parse("Sc", false, false)->GetAtom(0)->GetSymbol(), "Sc");
  EXPECT_EQ(Parse("[Sc]", false, false)->GetAtom(0)->GetSymbol(), "Sc");
}

TEST(SmilesSymbols, LowerCaseLetterIsGivenBackWhenThePairIsNoElement) {
  auto m = Parse("Cc1ccccc1"); // toluene: "Cc" is no element
  EXPECT_EQ(CountOf(*m).heavy, 7);
  EXPECT_EQ(CountOf(*m).hydrogens, 8);
  m = Parse("Oc1ccccc1"); // phenol
  EXPECT_EQ(CountOf(*m).hydrogens, 6);
}

TEST(SmilesSymbols, CapitalNotAnElementNeedsItsPair) {
  EXPECT_EQ(Parse("CZn", true, false)->GetAtom(1)->GetSymbol(), "Zn");
  EXPECT_EQ(ErrorOf("CZc"), "Unknown symbol at position 3");
  // A lone capital is taken as written, element or not.
  auto m = Parse("CQ");
  EXPECT_EQ(m->GetAtom(1)->GetSymbol(), "Q");
  EXPECT_EQ(m->GetAtom(1)->GetAtomicNumber(), 0);
}

// --- completion ---

TEST(SmilesCompletion, AromaticBenzene) {
  auto m = Parse("c1ccccc1");
  Counts c = CountOf(*m);
  EXPECT_EQ(c.bonds[bkAromatic], 6);
  EXPECT_EQ(c.hydrogens, 6);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(HydrogensOn(m->GetAtom(i)), 1);
  // The hydrogens are final; aromaticity is left to perceive for rings a SMILES may write in Kekule form.
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0);
  EXPECT_EQ(m->GetFloat("TagHydrogens"), 1.0);
}

TEST(SmilesCompletion, KekuleBenzeneIsJudgedStrictlyAndBecomesAromatic) {
  auto m = Parse("C1=CC=CC=C1");
  Counts c = CountOf(*m);
  EXPECT_EQ(c.bonds[bkAromatic], 6);
  EXPECT_EQ(c.hydrogens, 6);
  // Without written aromatic atoms the tags stay unset, so the completion block runs again later.
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0);
}

TEST(SmilesCompletion, NonAromaticKekuleRingsKeepTheirBonds) {
  Counts c = CountOf(*Parse("C1=CCC=C1")); // cyclopentadiene: the CH2 has no double bond
  EXPECT_EQ(c.bonds[bkAromatic], 0);
  EXPECT_EQ(c.hydrogens, 6);
  c = CountOf(*Parse("O=C1C=CC(=O)C=C1")); // p-benzoquinone: 4 electrons
  EXPECT_EQ(c.bonds[bkAromatic], 0);
  EXPECT_EQ(c.hydrogens, 4);
}

TEST(SmilesCompletion, HeteroaromaticHydrogenCounts) {
  struct Case {
    const char* smiles;
    int heavy, hydrogens, aromatic;
  };
  // Hydrogen counts from the molecular formulas: pyridine C5H5N, pyrrole C4H5N, furan C4H4O, thiophene
  // C4H4S, imidazole C3H4N2, indole C8H7N, naphthalene C10H8, 2-pyridone C5H5NO, N-methylpyrrole C5H7N.
  const Case cases[] = {
      {"n1ccccc1", 6, 5, 6},       {"c1cc[nH]c1", 5, 5, 5},     {"o1cccc1", 5, 4, 5},
      {"s1cccc1", 5, 4, 5},        {"c1c[nH]cn1", 5, 4, 5},     {"c1ccc2[nH]ccc2c1", 9, 7, 10},
      {"c1ccc2ccccc2c1", 10, 8, 11}, {"O=c1cccc[nH]1", 7, 5, 6}, {"Cn1cccc1", 6, 7, 5},
  };
  for (const Case& k : cases) {
    Counts c = CountOf(*Parse(k.smiles));
    EXPECT_EQ(c.heavy, k.heavy) << k.smiles;
    EXPECT_EQ(c.hydrogens, k.hydrogens) << k.smiles;
    EXPECT_EQ(c.bonds[bkAromatic], k.aromatic) << k.smiles;
  }
}

TEST(SmilesCompletion, OnlyWrittenAromaticRingsAreJudgedAndBondsOutsideThemStaySingle) {
  auto m = Parse("c1ccccc1-c1ccccc1"); // biphenyl
  Counts c = CountOf(*m);
  EXPECT_EQ(c.bonds[bkAromatic], 12);
  EXPECT_EQ(c.bonds[bkSingle], 1 + 10);
  EXPECT_EQ(c.hydrogens, 10);
  // Kekule cyclohexadiene ring beside an aromatic one: only the lower-case ring is judged, the capital ring
  // keeps its written bonds.
  c = CountOf(*Parse("C1=CC=CC=C1c1ccccc1"));
  EXPECT_EQ(c.bonds[bkAromatic], 6);
  EXPECT_EQ(c.bonds[bkDouble], 3);
}

TEST(SmilesCompletion, LowerCaseRingThatFailsKeepsSingleBondsAndTakesMoreHydrogens) {
  // Five aromatic-written carbons give 5 electrons: no 4n + 2, so the ring is not aromatic.
  Counts c = CountOf(*Parse("c1cccc1"));
  EXPECT_EQ(c.bonds[bkAromatic], 0);
  EXPECT_EQ(c.hydrogens, 10);
}

TEST(SmilesCompletion, ImplicitHydrogensFollowNormalValences) {
  EXPECT_EQ(CountOf(*Parse("C")).hydrogens, 4);
  EXPECT_EQ(CountOf(*Parse("N")).hydrogens, 3);
  EXPECT_EQ(CountOf(*Parse("O")).hydrogens, 2);
  EXPECT_EQ(CountOf(*Parse("Cl")).hydrogens, 1);
  EXPECT_EQ(CountOf(*Parse("CS(=O)(=O)C")).hydrogens, 6);  // sulfur's valence 6
  EXPECT_EQ(CountOf(*Parse("CS(=O)C")).hydrogens, 6);      // valence 4
  EXPECT_EQ(CountOf(*Parse("C[N+](C)(C)C")).hydrogens, 12); // brackets: none added
  EXPECT_EQ(CountOf(*Parse("CN(=O)=O")).hydrogens, 3);     // nitrogen's valence 5
  EXPECT_EQ(CountOf(*Parse("OP(=O)(O)O")).hydrogens, 3);
  EXPECT_EQ(CountOf(*Parse("[Na]")).hydrogens, 0);
  EXPECT_EQ(CountOf(*Parse("Na")).hydrogens, 0); // no normal valence
  EXPECT_EQ(CountOf(*Parse("B(C)C")).hydrogens, 7);
}

TEST(SmilesCompletion, WithoutCompleteNothingIsAdded) {
  auto m = Parse("c1ccccc1", true, false);
  Counts c = CountOf(*m);
  EXPECT_EQ(c.hydrogens, 0);
  EXPECT_EQ(c.bonds[bkAromatic], 0);
  EXPECT_FALSE(m->GetVertex(0)->HasParam("HasBonds"));
}

// --- hooks ---

namespace {

/// Records what the parser reports and accepts a pattern syntax: "~" as a bond character, "R" as an element,
/// "{...}" as a branch, an "&" text after bracket symbols.
class RecordingHook : public TSMILESHook {
public:
  void CheckElement(const std::string& symbol, bool& accept) override {
    if (symbol == "R") accept = true;
  }
  void CheckBondChar(char ch, bool& accept) override {
    if (ch == '~') accept = true;
  }
  void BondCreated(IMolecule&, IBond* bond, int depth, char ch) override {
    depths.push_back(depth);
    chars += ch;
    if (ch == '~') bond->SetBondType(bkUnspecified);
  }
  void AtomCreated(IMolecule&, IAtom* atom, int written) override {
    created += written ? atom->GetSymbol() : "h";
    // The parse-time marks are readable here.
    marks += atom->HasParam("HasBonds") ? '+' : '-';
  }
  void ReadAtomExtra(IParser& tokenizer, std::string& extra) override {
    if (tokenizer.CheckString("&")) tokenizer.ReadLetters(extra);
  }
  void AtomExtraRead(IMolecule&, IAtom*, const std::string& extra) override { extras += extra; }
  void OpenBranch(IParser& tokenizer, bool& accept) override { accept = tokenizer.CheckString("{"); }
  void CloseBranch(IParser& tokenizer, bool& accept) override { accept = tokenizer.CheckString("}"); }
  void AtEnd(IParser& tokenizer, bool& accept) override {
    atEndAsked = true;
    if (!accept && tokenizer.CheckString(" end")) accept = true;
  }
  std::vector<int> depths;
  std::string chars, created, marks, extras;
  bool atEndAsked = false;
};

} // namespace

TEST(SmilesHook, ReportsDepthsCharactersAndCreations) {
  RecordingHook hook;
  auto m = Parse("C(=C(O))[NH2]", false, false, &hook);
  EXPECT_EQ(hook.depths, (std::vector<int>{3, 2, 0, 0, 1}));
  EXPECT_EQ(hook.chars, " =   ");
  EXPECT_EQ(hook.created, "CCONhh");
  EXPECT_EQ(hook.marks, "++++++");
  EXPECT_TRUE(hook.atEndAsked);
}

TEST(SmilesHook, ExtendsTheGrammar) {
  RecordingHook hook;
  auto m = Parse("[R&sp]~C{C}C end", false, true, &hook);
  EXPECT_EQ(hook.extras, "sp");
  EXPECT_EQ(m->GetAtom(0)->GetSymbol(), "R");
  EXPECT_EQ(m->GetAtom(2)->GetBondTo(m->GetAtom(1))->GetBondType(), bkSingle);
  // Unspecified bonds are resolved: single here ("R" was not written in lower case).
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkSingle);
  // With a hook, trailing blanks are the hook's business.
  EXPECT_THROW(Parse("CC ", false, false, &hook), ESMILESError);
}

TEST(SmilesHook, UnspecifiedBondBetweenFreeAromaticCarbonsBecomesDouble) {
  RecordingHook hook;
  auto m = Parse("c~c", true, true, &hook);
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkDouble);
  m = Parse("c~c~c", true, true, &hook);
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkDouble);
  EXPECT_EQ(m->GetBond(1)->GetBondType(), bkSingle); // the middle carbon has its double bond already
}
