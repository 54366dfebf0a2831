// Matching molecules against classification files: the most specific fragment wins, ties go to the earlier line,
// atom conditions (hybridisation, charge, user symbols) and bond conditions, bond files and their main bonds.
#include "classify_test_util.h"

#include "core/numtext.h"

#include <gtest/gtest.h>

#include <thread>

namespace corvatin {
namespace {

using test::AsStructure;
using test::LoadText;
using test::Mol;

const std::vector<std::string> kW = {"W"};

std::string Value(const IParameters& item) { return item.HasParam("W") ? FloatToText(item.GetFloat("W")) : "-"; }

/// The "W" of every heavy atom in order, "-" where there is none.
std::string HeavyValues(const IMolecule& m) {
  std::string s;
  for (int i = 0; i < m.VertexCount(); ++i)
    if (m.GetAtom(i)->GetSymbol() != "H") s += (s.empty() ? "" : " ") + Value(*m.GetAtom(i));
  return s;
}

/// "a-b:W" for every bond that holds a "W", in bond order.
std::string BondValues(const IMolecule& m) {
  std::string s;
  for (int i = 0; i < m.EdgeCount(); ++i) {
    const IBond* b = m.GetBond(i);
    if (b->HasParam("W"))
      s += (s.empty() ? "" : " ") + std::to_string(b->GetAtom1()->GetIndex()) + "-" +
           std::to_string(b->GetAtom2()->GetIndex()) + ":" + Value(*b);
  }
  return s.empty() ? "-" : s;
}

TEST(Classification, EachAtomOrBondTakesTheValuesOfItsMostSpecificFragmentAndUnmatchedOnesLoseOldValues) {
  // tests/data/classify/matching.tsv: bond files leave the atoms alone.
  const auto rows = test::DataRows("matching.tsv");
  ASSERT_GT(rows.size(), 20u);
  for (const auto& r : rows) {
    ASSERT_EQ(r.size(), 5u);
    const bool bonds = r[0] == "bonds";
    auto m = Mol(r[1]);
    for (int i = 0; i < m->VertexCount(); ++i) m->GetAtom(i)->SetFloat("W", 42);
    for (int i = 0; i < m->EdgeCount(); ++i) m->GetBond(i)->SetFloat("W", 42);
    LoadText(r[3], kW, bonds ? ekBonds : ekAtoms)->Classify(AsStructure(m));
    EXPECT_EQ(bonds ? BondValues(*m) : HeavyValues(*m), r[2]) << r[4] << ": " << r[3] << " on " << r[1];
    if (bonds) {
      EXPECT_EQ(m->GetAtom(0)->GetFloat("W"), 42) << r[3] << " on " << r[1];
    }
  }
}

TEST(AtomClassification, ClassHoldsTheFragmentAsWrittenAndValuesAreReadOnlyParametersOfTheirKind) {
  auto m = Mol("CO");
  m->GetAtom(0)->SetString("Kind", "old");
  LoadText("Property = W\nClass = Kind\n[O&sp3]C = 1.5\n")->Classify(AsStructure(m));
  EXPECT_FALSE(m->GetAtom(0)->HasParam("Kind"));
  EXPECT_EQ(m->GetAtom(1)->GetString("Kind"), "[O&sp3]C");
  Ptr<IParameter> p = m->GetAtom(1)->GetParam("W");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->GetKind(), ParamKind::Number);
  EXPECT_TRUE(p->GetReadOnly());
  LoadText("O = \"alcohol\"\n", kW, ekAtoms, vkString)->Classify(AsStructure(m));
  EXPECT_EQ(m->GetAtom(1)->GetParam("W")->GetKind(), ParamKind::String);
  EXPECT_EQ(m->GetAtom(1)->GetString("W"), "alcohol");
  LoadText("O = 1\n", kW, ekAtoms, 7)->Classify(AsStructure(m)); // a value kind that stores nothing
  EXPECT_FALSE(m->GetAtom(1)->HasParam("W"));
}

TEST(AtomClassification, EditedMoleculeIsReadAfreshAndUnknownSymbolsMatchOnlyWildcards) {
  auto c = LoadText("O = 1\nS = 2\nC = 0\n* = 9\n", kW);
  auto m = Mol("CO");
  c->Classify(AsStructure(m));
  m->GetAtom(1)->SetSymbol("S");
  m->AddAtom()->SetSymbol("O");
  m->AddAtom()->SetSymbol("Xx");
  m->AddAtom();
  c->Classify(AsStructure(m));
  EXPECT_EQ(HeavyValues(*m), "0 2 1 9 9");
  c->Classify(nullptr); // no structure: nothing to do
}

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
