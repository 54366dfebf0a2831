// Matching molecules against classification files: the most specific fragment wins, ties go to the earlier line,
// atom conditions (hybridisation, charge, user symbols) and bond conditions, bond files and their main bonds.
#include "classify_test_util.h"

#include "classify/loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace corvatin {
namespace {

using test::AsStructure;
using test::LoadText;
using test::Mol;

const std::vector<std::string> kW = {"W"};

/// The "W" value of every heavy atom (hydrogens skipped), NaN where there is none.
std::vector<double> HeavyValues(const IMolecule& m, const std::string& name = "W") {
  std::vector<double> values;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    if (a->GetSymbol() == "H") continue;
    values.push_back(a->HasParam(name) ? a->GetFloat(name) : std::nan(""));
  }
  return values;
}

double BondValue(const IMolecule& m, int a1, int a2, const std::string& name = "W") {
  const IEdge* e = m.GetEdgeBetween(a1, a2);
  if (!e) return -999;
  return e->HasParam(name) ? e->GetFloat(name) : std::nan("");
}

std::string Text(const std::vector<double>& v) {
  std::string s;
  for (double x : v) s += (s.empty() ? "" : " ") + (std::isnan(x) ? std::string("-") : std::to_string(x));
  return s;
}

/// Values compared with NaN standing for "no value".
testing::AssertionResult Same(const std::vector<double>& actual, const std::vector<double>& expected) {
  bool same = actual.size() == expected.size();
  for (size_t i = 0; same && i < actual.size(); ++i)
    same = std::isnan(expected[i]) ? std::isnan(actual[i]) : actual[i] == expected[i];
  if (same) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "got " << Text(actual) << ", expected " << Text(expected);
}

const double kNone = std::nan("");

// ------------------------------------------------------------------------------------------------ atoms

struct MatchCase {
  const char* why;
  const char* file;
  const char* smiles;
  std::vector<double> values; // of the heavy atoms in order; kNone: no value
};

TEST(AtomClassification, EachAtomTakesTheValuesOfItsMostSpecificFragment) {
  const MatchCase cases[] = {
      {"more atoms win", "C = 1\nCO = 2\n", "CCO", {1, 2, kNone}},
      {"more atoms win whatever the file order", "CO = 2\nC = 1\n", "CCO", {1, 2, kNone}},
      {"equal specificity: the earlier line", "CC = 1\nCO = 2\n", "CCO", {1, 1, kNone}},
      {"equal specificity: the earlier line", "CO = 2\nCC = 1\n", "CCO", {1, 2, kNone}},
      {"specific atoms beat wildcards", "C* = 1\nCO = 2\n", "CCO", {1, 2, kNone}},
      {"the first fragment atom is the one classified", "OC = 5\n", "CCO", {kNone, kNone, 5}},
      {"hybridisation marks", "[C&sp2] = 2\n[C&sp] = 1\nC = 3\n", "C=CC#C", {2, 2, 1, 1}},
      {"hybridisation marks", "[C&sp2] = 2\n[C&sp] = 1\nC = 3\n", "CCC", {3, 3, 3}},
      {"a charged fragment atom needs that charge", "[N+] = 1\nN = 2\n", "C[NH3+].NC.[N-]=[N+]=[N-]",
       {kNone, 1, 2, kNone, 2, 1, 2}},
      {"a neutral fragment atom matches any charge and hybridisation", "C = 1\nN = 2\n", "C[NH3+].[CH2-]C=C",
       {1, 2, 1, 1, 1}},
      {"a user symbol matches its alternatives' first atoms (a Br neighbour is an X)",
       "X = F, Cl, BrC\nCX = 1\nC = 0\n", "FC(Cl)(Br)I.CC", {kNone, 1, kNone, kNone, kNone, 0, 0}},
      {"a user symbol with a wildcard alternative matches everything", "Q = N, *\nOQ = 1\n", "OC", {1, kNone}},
      {"an expanded two-atom symbol", "Cb = C=O\nNCb = 1\nN = 0\n", "NC(C)=O", {1, kNone, kNone, kNone}},
      {"an expanded two-atom symbol", "Cb = C=O\nNCb = 1\nN = 0\n", "NCC", {0, kNone, kNone}},
      {"bond conditions", "C~O = 1\nC-O = 2\nC:C = 3\nC#* = 4\nC = 0\n", "C=O.CO.c1ccccc1.CC#N",
       {1, kNone, 2, kNone, 3, 3, 3, 3, 3, 3, 0, 4, kNone}},
      {"bracket hydrogens count as neighbours", "[CH3]* = 3\n[CH2](*)* = 2\nC = 0\n", "CCC(C)C", {3, 2, 0, 3, 3}},
  };
  for (const MatchCase& c : cases) {
    auto m = Mol(c.smiles);
    LoadText(c.file, kW)->Classify(AsStructure(m));
    EXPECT_TRUE(Same(HeavyValues(*m), c.values)) << c.why << ": " << c.file << " on " << c.smiles;
  }
}

TEST(AtomClassification, UnmatchedAtomsLoseOldValues) {
  auto c = LoadText("Property = W\nClass = Kind\nO = 1\n");
  auto m = Mol("CO");
  for (int i = 0; i < m->VertexCount(); ++i) {
    m->GetAtom(i)->SetFloat("W", 42);
    m->GetAtom(i)->SetString("Kind", "old");
  }
  c->Classify(AsStructure(m));
  EXPECT_FALSE(m->GetAtom(0)->HasParam("W"));
  EXPECT_FALSE(m->GetAtom(0)->HasParam("Kind"));
  EXPECT_EQ(m->GetAtom(1)->GetFloat("W"), 1);
  EXPECT_EQ(m->GetAtom(1)->GetString("Kind"), "O");
}

TEST(AtomClassification, ClassNameHoldsTheFragmentAsWritten) {
  auto c = LoadText("Property = W\nClass = Atom type\n[C&sp3]O = 1\n");
  auto m = Mol("CO");
  c->Classify(AsStructure(m));
  EXPECT_EQ(m->GetAtom(0)->GetString("Atom type"), "[C&sp3]O");
}

TEST(AtomClassification, ValuesAreReadOnlyParametersOfTheirKind) {
  auto numbers = LoadText("C = 1.5\n", kW);
  auto m = Mol("C");
  numbers->Classify(AsStructure(m));
  Ptr<IParameter> p = m->GetAtom(0)->GetParam("W");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->GetKind(), ParamKind::Number);
  EXPECT_TRUE(p->GetReadOnly());
  auto strings = LoadText("C = \"alkane\"\n", kW, ekAtoms, vkString);
  strings->Classify(AsStructure(m));
  EXPECT_EQ(m->GetAtom(0)->GetParam("W")->GetKind(), ParamKind::String);
  EXPECT_EQ(m->GetAtom(0)->GetString("W"), "alkane");
  auto nothing = LoadText("C = 1\n", kW, ekAtoms, 7);
  nothing->Classify(AsStructure(m));
  EXPECT_FALSE(m->GetAtom(0)->HasParam("W"));
}

TEST(AtomClassification, EditedMoleculeIsReadAfresh) {
  auto c = LoadText("O = 1\nS = 2\nC = 0\n", kW);
  auto m = Mol("CO");
  c->Classify(AsStructure(m));
  m->GetAtom(1)->SetSymbol("S");
  m->AddAtom()->SetSymbol("O");
  c->Classify(AsStructure(m));
  EXPECT_TRUE(Same(HeavyValues(*m), std::vector<double>{0, 2, 1}));
}

TEST(AtomClassification, UnknownAndEmptySymbolsMatchOnlyWildcards) {
  auto c = LoadText("* = 9\nC = 1\n", kW);
  auto m = NewMolecule();
  m->AddAtom()->SetSymbol("Xx");
  m->AddAtom();
  m->AddAtom()->SetSymbol("C");
  c->Classify(AsStructure(m));
  EXPECT_TRUE(Same(HeavyValues(*m), std::vector<double>{9, 9, 1}));
}

TEST(AtomClassification, EmptyMoleculeAndNoStructure) {
  auto c = LoadText("C = 1\n", kW);
  auto m = NewMolecule();
  c->Classify(AsStructure(m));
  c->Classify(nullptr);
  EXPECT_EQ(m->VertexCount(), 0);
}

// ------------------------------------------------------------------------------------------------ bonds

TEST(BondClassification, MainBondGetsTheValues) {
  auto c = LoadText("CC=O = 5\n", kW, ekBonds);
  auto m = Mol("CC=O");
  c->Classify(AsStructure(m));
  EXPECT_TRUE(std::isnan(BondValue(*m, 0, 1)));
  EXPECT_EQ(BondValue(*m, 1, 2), 5);
}

TEST(BondClassification, BondKeepsTheFirstMatchVisited) {
  // The more specific fragment is tried first on the anchoring atom.
  auto m = Mol("CO");
  auto c = LoadText("CO = 1\nC-O = 2\n", kW, ekBonds);
  c->Classify(AsStructure(m));
  EXPECT_EQ(BondValue(*m, 0, 1), 2);
  // With equal keys the atoms are visited in index order: the carbon (atom 0) anchors "CO" before the oxygen
  // anchors "OC", whatever the file order.
  for (const char* text : {"CO = 1\nOC = 2\n", "OC = 2\nCO = 1\n"}) {
    auto d = LoadText(text, kW, ekBonds);
    d->Classify(AsStructure(m));
    EXPECT_EQ(BondValue(*m, 0, 1), 1) << text;
  }
}

TEST(BondClassification, AllBondsOfAFragmentOccurrenceVisited) {
  auto c = LoadText("CH = 1\nCC = 2\n", kW, ekBonds);
  auto ethane = Mol("CC");
  c->Classify(AsStructure(ethane));
  for (int i = 0; i < ethane->EdgeCount(); ++i) {
    const IBond* b = ethane->GetBond(i);
    const bool cc = b->GetAtom1()->GetSymbol() == "C" && b->GetAtom2()->GetSymbol() == "C";
    EXPECT_EQ(b->GetFloat("W"), cc ? 2 : 1) << i;
  }
}

TEST(BondClassification, UnmatchedBondsLoseOldValuesAndAtomsAreLeftAlone) {
  auto c = LoadText("C=O = 1\n", kW, ekBonds);
  auto m = Mol("CC=O");
  for (int i = 0; i < m->EdgeCount(); ++i) m->GetBond(i)->SetFloat("W", 42);
  m->GetAtom(0)->SetFloat("W", 7);
  c->Classify(AsStructure(m));
  for (int i = 0; i < m->EdgeCount(); ++i) {
    const IBond* b = m->GetBond(i);
    EXPECT_EQ(b->HasParam("W"), b->GetBondType() == bkDouble) << i;
  }
  EXPECT_EQ(m->GetAtom(0)->GetFloat("W"), 7);
}

TEST(BondClassification, BracketHydrogenBondAsMainBond) {
  // Without a main-chain bond after the first, bond 0 (here the first C-H) is the main bond.
  auto c = LoadText("[CH3]C = 1\n", kW, ekBonds);
  auto m = Mol("CC");
  c->Classify(AsStructure(m));
  int valued = 0;
  for (int i = 0; i < m->EdgeCount(); ++i) valued += m->GetBond(i)->HasParam("W");
  // The main bond is bond 3 of the fragment: the C-C bond, reached from either carbon.
  EXPECT_EQ(valued, 1);
  EXPECT_EQ(BondValue(*m, 0, 1), 1);
}

TEST(BondClassification, MoleculeWithoutBonds) {
  auto c = LoadText("CC = 1\n", kW, ekBonds);
  auto m = NewMolecule();
  m->AddAtom()->SetSymbol("C");
  c->Classify(AsStructure(m));
  EXPECT_EQ(m->VertexCount(), 1);
}

} // namespace
} // namespace corvatin

namespace corvatin {
namespace {

TEST(AtomClassification, TwoThreadsTakeTurns) {
  // A procedure's worker and the editor's classifier may use the same block.
  auto c = LoadText("CO = 1\nC = 2\nO = 3\n", kW);
  auto run = [&](const char* smiles) {
    for (int k = 0; k < 30; ++k) {
      auto m = Mol(smiles);
      c->Classify(AsStructure(m));
      ASSERT_TRUE(m->GetAtom(0)->HasParam("W"));
    }
  };
  std::thread worker(run, "CCO");
  run("OCC");
  worker.join();
}

} // namespace
} // namespace corvatin
