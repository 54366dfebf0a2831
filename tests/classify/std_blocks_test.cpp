// The standard and bond-property classification blocks: value names, atomic numbers, bond values shared out
// over the heavy neighbours of both ends (ethane, methane, H2), and blocks run through the shared data space.
#include "classify_test_util.h"

#include "classify/gasteiger.h"
#include "classify/std_classification.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::AsStructure;
using test::LoadText;
using test::Mol;

std::vector<std::string> Names(const IClassification& c, int kind) {
  std::vector<std::string> names;
  for (int i = 0; i < c.GetValueCount(kind); ++i) names.push_back(c.GetValueName(kind, i));
  return names;
}

/// An atom classification giving carbon 1.5 and hydrogen 0.25 as "W".
Ptr<IClassification> Weights() { return LoadText("C = 1.5\nH = 0.25\n", {"W"}); }

TEST(StdClassification, AtomicNumbers) {
  auto m = Mol("ClCC[Fe]");
  m->AddAtom()->SetSymbol("Xx");
  TStdClassification c;
  c.Classify(AsStructure(m));
  EXPECT_EQ(m->GetAtom(0)->GetFloat("Atomic number"), 17);
  EXPECT_EQ(m->GetAtom(1)->GetFloat("Atomic number"), 6);
  EXPECT_EQ(m->GetAtom(3)->GetFloat("Atomic number"), 26);
  const IAtom* unknown = m->GetAtom(m->VertexCount() - 1);
  ASSERT_TRUE(unknown->HasParam("Atomic number"));
  EXPECT_EQ(unknown->GetFloat("Atomic number"), 0);
}

TEST(BondPropClassification, EthaneBondsAreSumsOfTheirAtoms) {
  // Every atom of ethane has exactly one heavy neighbour.
  auto m = Mol("CC");
  auto w = Weights();
  w->Classify(AsStructure(m));
  TBondPropClassification c({w});
  c.Classify(AsStructure(m));
  const double wc = 12.011, wh = 1.008; // the element table's weights, read back below
  ASSERT_NEAR(m->GetAtom(0)->GetAtomicWeight(), wc, 0.001);
  ASSERT_NEAR(m->GetAtom(2)->GetAtomicWeight(), wh, 0.001);
  for (int i = 0; i < m->EdgeCount(); ++i) {
    const IBond* b = m->GetBond(i);
    const bool cc = b->GetAtom2()->GetSymbol() == "C" && b->GetAtom1()->GetSymbol() == "C";
    EXPECT_DOUBLE_EQ(b->GetFloat("W"), cc ? 3.0 : 1.75) << i;
    EXPECT_DOUBLE_EQ(b->GetFloat("Atomic weight"),
                     b->GetAtom1()->GetAtomicWeight() + b->GetAtom2()->GetAtomicWeight()) << i;
  }
}

TEST(BondPropClassification, MethaneCarbonHasNoHeavyNeighbour) {
  auto m = Mol("C");
  auto w = Weights();
  w->Classify(AsStructure(m));
  TBondPropClassification c({w});
  c.Classify(AsStructure(m));
  ASSERT_EQ(m->EdgeCount(), 4);
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(m->GetBond(i)->HasParam("W"));
    EXPECT_EQ(m->GetBond(i)->GetFloat("W"), 0);
    EXPECT_EQ(m->GetBond(i)->GetFloat("Atomic weight"), 0);
  }
}

TEST(BondPropClassification, DihydrogenGetsZeroEverywhere) {
  auto m = Mol("[H][H]");
  ASSERT_EQ(m->EdgeCount(), 1);
  auto w = Weights();
  w->Classify(AsStructure(m));
  TBondPropClassification c({w});
  c.Classify(AsStructure(m));
  EXPECT_EQ(m->GetBond(0)->GetFloat("W"), 0);
  EXPECT_TRUE(m->GetBond(0)->HasParam("Atomic weight"));
  EXPECT_EQ(m->GetBond(0)->GetFloat("Atomic weight"), 0);
}

TEST(BondPropClassification, SharedOutOverHeavyNeighbours) {
  // Isobutane's central carbon has three heavy neighbours, each methyl one: a C-C bond gets 1.5/3 + 1.5/1.
  auto m = Mol("CC(C)C");
  auto w = Weights();
  w->Classify(AsStructure(m));
  TBondPropClassification c({w});
  c.Classify(AsStructure(m));
  EXPECT_DOUBLE_EQ(m->GetEdgeBetween(0, 1)->GetFloat("W"), 1.5 / 3 + 1.5);
}

TEST(BondPropClassification, MissingAtomValuesReadAsZeroAndLaterNamesOverwrite) {
  auto m = Mol("CO");
  auto first = LoadText("C = 1\n", {"W"});
  auto second = LoadText("O = 4\n", {"W"});
  first->Classify(AsStructure(m));
  TBondPropClassification c({first, second});
  EXPECT_EQ(Names(c, ekBonds), (std::vector<std::string>{"W", "W", "Atomic weight"}));
  c.Classify(AsStructure(m));
  EXPECT_DOUBLE_EQ(m->GetEdgeBetween(0, 1)->GetFloat("W"), 1.0);
}

} // namespace
} // namespace corvatin
