// The SMILES parser: grammar (Weininger 1988; OpenSMILES for bracket atoms), every error message with its
// position, organic-mode symbol splitting, the completion step, hooks, and inputs that must fail cleanly
// (deep nesting, long chains, numbers that do not fit).

#include "chem/smiles.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvatin;

namespace {

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

/// The heavy atoms' symbols with their charges, in order, then "H" and the hydrogen count, then the count of each
/// bond kind present ("-" single, "=" double, "#" triple, ":" aromatic): "CCN+ H8 -9 :1".
std::string Shape(const IMolecule& m) {
  std::string s;
  int hydrogens = 0;
  int bonds[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    if (a->GetSymbol() == "H") {
      ++hydrogens;
      continue;
    }
    s += a->GetSymbol();
    if (a->GetCharge() != 0) s += (a->GetCharge() > 0 ? "+" : "") + std::to_string(a->GetCharge());
  }
  s += " H" + std::to_string(hydrogens);
  for (int i = 0; i < m.EdgeCount(); ++i) ++bonds[m.GetBond(i)->GetBondType()];
  for (int k = 0; k < 5; ++k)
    if (bonds[k]) s += std::string(" ") + "-=#:?"[k] + std::to_string(bonds[k]);
  return s;
}

} // namespace

TEST(SmilesErrors, EveryMessageWithThePositionOfTheCharactersConsumed) {
  const struct {
    std::string smiles;
    bool organic;
    const char* message;
  } cases[] = {
      {"CC)", true, "Unexpected error at position 2"},
      {"C(C", true, "Branch closure expected at position 3"},
      {"C%1", true, "Two digits expected after \"%\" at position 3"},
      {"C%", true, "Digit expected after \"%\" at position 2"},
      {"C%x", true, "Digit expected after \"%\" at position 2"},
      {"C11", true, "Digit can't be reused for the same atom at position 3. Use \"%\" for two digit numbers"},
      {"C=1CC-1", true, "Bond kinds differs for the ring closure at position 7"},
      {"C1C1", true, "Invalid ring closure at position 4"},
      {"=CC", true, "Main chain can't begin with a bond"},
      {"=", true, "Main chain can't begin with a bond"},
      {"=C)", true, "Unexpected error at position 2"}, // the end test comes before the leading-bond test
      {"C=(C)C", true, "Unexpected error at position 2"},
      {"C1CC", true, "Ring closure expected"},
      {"[]", true, "Symbol expected at position 1"},
      {"C[13]", true, "Symbol expected at position 4"},
      {"[C+-]", true, "Invalid charge sign at position 4"},
      {"[C", true, "\"]\" expected at position 2"},
      {"[CH4+x]", true, "\"]\" expected at position 5"},
      {"[C@X]", true, "Quirality class expected at position 4"},
      {"CXx", true, "Unknown symbol at position 3"},
      {"Cx", true, "Unknown symbol at position 2"},
      {"CZc", true, "Unknown symbol at position 3"},
      {"C C", true, "Unexpected error at position 2"},
      {"c1ccccc1", false, "Unknown symbol at position 1"},
      {"CCcl", false, "Unknown symbol at position 4"},
      {"Ccc", false, "Unknown symbol at position 3"}, // capital plus every lower-case letter
      {"Q", false, "Unknown symbol at position 1"},
      {"[99999999999C]", true, "Number too large at position 1"},
      {"[CH99999999999]", true, "Number too large at position 3"},
      {"[CH100]", true, "Number too large at position 3"},
      {"C[C+2147483648]", true, "Number too large at position 4"},
      {"[C-99999999999999999999]", true, "Number too large at position 3"},
      {std::string("C\0C", 3), true, "Unexpected error at position 1"},
      {"C\xc3\xa9", true, "Unexpected error at position 1"},
      {"[C\xff]", true, "\"]\" expected at position 2"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.smiles, c.organic), c.message) << c.smiles;
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

TEST(SmilesLimits, DeepNestingAndLongChainsNeitherCrashNorWrapAround) {
  std::string open;
  for (int i = 0; i < 100000; ++i) open += "C(";
  EXPECT_EQ(ErrorOf(open), "Branch closure expected at position 200000");
  EXPECT_EQ(ErrorOf(std::string(100000, '(')), "Unexpected error at position 0");
  const int depth = 20000;
  auto nested = Parse(open.substr(0, 2 * depth) + "C" + std::string(depth, ')'), true, false);
  EXPECT_EQ(nested->VertexCount(), depth + 1);
  EXPECT_EQ(nested->EdgeCount(), depth);
  auto chain = Parse(std::string(depth, 'C'));
  EXPECT_EQ(chain->VertexCount(), depth + 2 * depth + 2);
  auto m = Parse("[2147483647C+2147483647]", true, false);
  EXPECT_EQ(m->GetAtom(0)->GetCharge(), 2147483647);
  EXPECT_EQ(m->GetAtom(0)->GetAtomicWeight(), 2147483647.0);
  EXPECT_EQ(Parse("[C-2147483647]", true, false)->GetAtom(0)->GetCharge(), -2147483647);
  EXPECT_EQ(Parse("[CH99]", true, false)->VertexCount(), 100);
}

TEST(SmilesGrammar, AtomsBondsBranchesRingsAndCompletion) {
  // Hydrogen counts from the molecular formulas of the named compounds; "complete": aromatic rings judged and
  // hydrogens added to the normal valences (brackets: as written).
  const struct {
    const char* smiles;
    bool organic, complete;
    const char* shape;
  } cases[] = {
      {"", true, true, " H0"},
      {"  CC  ", true, true, "CC H6 -7"},                 // blanks around are skipped
      {"CC\r\nCCC", true, true, "CC H6 -7"},              // the line end stops
      {"CO\t", true, true, "CO H4 -5"},
      {"C(C)(C)(C)C", true, true, "CCCCC H12 -16"},       // neopentane
      {"C()C", true, false, "CC H0 -1"},                  // an empty branch adds nothing
      {"C=CC#N", true, false, "CCCN H0 -1 =1 #1"},
      {"F/C=C\\F", true, false, "FCCF H0 -2 =1"},         // direction marks read as single bonds
      {"C:C", true, false, "CC H0 :1"},
      {"C1CC=1", true, false, "CCC H0 -2 =1"},            // a bond character at one end types the ring bond
      {"C%12CC%12C1CC1", true, false, "CCCCCC H0 -7"},    // two-digit numbers, a number reused
      {"C%99CC%99", true, false, "CCC H0 -3"},
      {"C0CC0", true, false, "CCC H0 -3"},
      {"C.C", true, true, "CC H8 -8"},
      {"[Na+].[Cl-]", true, true, "Na+1Cl-1 H0"},
      {"C1.C1", true, false, "CC H0 -1"},                 // a ring number may join two fragments
      {"[NH4+]", true, true, "N+1 H4 -4"},
      {"[Fe+++]", true, true, "Fe+3 H0"},
      {"[Fe+3]", true, true, "Fe+3 H0"},
      {"[O--]", true, true, "O-2 H0"},
      {"[O-2]", true, true, "O-2 H0"},
      {"[CH0]", true, true, "C H0"},
      {"[C]", true, true, "C H0"},
      {"[H][H]", true, true, " H2 -1"},
      {"[Hg]", true, true, "Hg H0"},
      {"[C@@H](F)(Cl)Br", true, true, "CFClBr H1 -4"},     // chirality read and dropped
      {"N[C@TH1H](C)C(=O)O", true, true, "NCCCOO H7 -11 =1"},
      {"[C@OH15]", true, true, "C H0"},
      {"*C", true, true, "*C H3 -4"},                      // a wildcard gets no hydrogens
      {"Sc1ccccc1", true, true, "SCCCCCC H6 -7 :6"},       // thiophenol, not scandium
      {"[Sc]", true, true, "Sc H0"},
      {"Sn1cccc1", true, false, "SNCCCC H0 -6"},
      {"CCl", true, false, "CCl H0 -1"},
      {"CBr", true, false, "CBr H0 -1"},
      {"CCo", true, false, "CCo H0 -1"},
      {"CCs", true, false, "CCs H0 -1"},
      {"CNa", true, false, "CNa H0 -1"},
      {"Sc", false, false, "Sc H0"},                       // outside organic mode every lower-case letter joins
      {"CZn", true, false, "CZn H0 -1"},                   // a capital that is no element needs its pair
      {"CQ", true, true, "CQ H3 -4"},                      // a lone capital is taken as written
      {"Cc1ccccc1", true, true, "CCCCCCC H8 -9 :6"},       // toluene: "Cc" is no element
      {"Oc1ccccc1", true, true, "OCCCCCC H6 -7 :6"},       // phenol
      {"c1ccccc1", true, true, "CCCCCC H6 -6 :6"},
      {"C1=CC=CC=C1", true, true, "CCCCCC H6 -6 :6"},      // Kekule benzene is judged and becomes aromatic
      {"C1=CCC=C1", true, true, "CCCCC H6 -9 =2"},         // cyclopentadiene
      {"O=C1C=CC(=O)C=C1", true, true, "OCCCCOCC H4 -8 =4"}, // p-benzoquinone: 4 electrons
      {"n1ccccc1", true, true, "NCCCCC H5 -5 :6"},         // pyridine
      {"c1cc[nH]c1", true, true, "CCCNC H5 -5 :5"},        // pyrrole
      {"o1cccc1", true, true, "OCCCC H4 -4 :5"},           // furan
      {"s1cccc1", true, true, "SCCCC H4 -4 :5"},           // thiophene
      {"c1c[nH]cn1", true, true, "CCNCN H4 -4 :5"},        // imidazole
      {"c1ccc2[nH]ccc2c1", true, true, "CCCCNCCCC H7 -7 :10"}, // indole
      {"c1ccc2ccccc2c1", true, true, "CCCCCCCCCC H8 -8 :11"},  // naphthalene
      {"O=c1cccc[nH]1", true, true, "OCCCCCN H5 -5 =1 :6"},    // 2-pyridone
      {"Cn1cccc1", true, true, "CNCCCC H7 -8 :5"},             // N-methylpyrrole
      {"c1ccccc1-c1ccccc1", true, true, "CCCCCCCCCCCC H10 -11 :12"}, // biphenyl
      {"C1=CC=CC=C1c1ccccc1", true, true, "CCCCCCCCCCCC H10 -14 =3 :6"}, // only the written aromatic ring
      {"c1cccc1", true, true, "CCCCC H10 -15"},  // five electrons: single bonds and more hydrogens
      {"C", true, true, "C H4 -4"},
      {"N", true, true, "N H3 -3"},
      {"Cl", true, true, "Cl H1 -1"},
      {"CS(=O)(=O)C", true, true, "CSOOC H6 -8 =2"},       // sulfur's valence 6
      {"CS(=O)C", true, true, "CSOC H6 -8 =1"},            // valence 4
      {"C[N+](C)(C)C", true, true, "CN+1CCC H12 -16"},     // brackets: none added
      {"CN(=O)=O", true, true, "CNOO H3 -4 =2"},           // nitrogen's valence 5
      {"OP(=O)(O)O", true, true, "OPOOO H3 -6 =1"},
      {"Na", true, true, "Na H0"},                         // no normal valence
      {"B(C)C", true, true, "BCC H7 -9"},
      {"c1ccccc1", true, false, "CCCCCC H0 -6"},           // without completion nothing is added
  };
  for (const auto& c : cases) EXPECT_EQ(Shape(*Parse(c.smiles, c.organic, c.complete)), c.shape) << c.smiles;
}

TEST(SmilesGrammar, RingBondKindsIsotopesAndBracketHydrogensFollowTheirAtomWithoutMarks) {
  auto m = Parse("C=1CC1", true, false);
  EXPECT_EQ(m->GetAtom(2)->GetBondTo(m->GetAtom(0))->GetBondType(), bkDouble);
  m = Parse("C1=CC1", true, false); // a bond character before a ring number that fails bonds the next atom
  EXPECT_EQ(m->GetAtom(0)->GetBondTo(m->GetAtom(1))->GetBondType(), bkDouble);
  EXPECT_EQ(Parse("[13CH4]")->GetAtom(0)->GetAtomicWeight(), 13.0);
  m = Parse("C[NH2]C", true, false);
  ASSERT_EQ(m->VertexCount(), 5);
  EXPECT_EQ(m->GetAtom(2)->GetSymbol() + m->GetAtom(3)->GetSymbol() + m->GetAtom(4)->GetSymbol(), "HHC");
  for (int i = 0; i < m->VertexCount(); ++i) {
    EXPECT_FALSE(m->GetVertex(i)->HasParam("HasBonds"));
    EXPECT_FALSE(m->GetVertex(i)->HasParam("HasHydrogens"));
  }
  // The hydrogens are final; aromaticity is left to perceive for rings a SMILES may write in Kekule form.
  m = Parse("c1ccccc1");
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0);
  EXPECT_EQ(m->GetFloat("TagHydrogens"), 1.0);
  EXPECT_EQ(Parse("C1=CC=CC=C1")->GetFloat("TagAromaticy"), 0.0);
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
