// The standard and bond-property classification blocks: atomic numbers, and bond values shared out over the
// heavy neighbours of both ends.
#include "classify_test_util.h"

#include "classify/std_classification.h"
#include "core/errors.h"
#include "core/numtext.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::AsStructure;
using test::LoadText;
using test::Mol;

TEST(StdClassification, AtomicNumbersAndZeroForUnknownSymbols) {
  auto m = Mol("ClC[Fe]");
  m->AddAtom()->SetSymbol("Xx");
  TStdClassification().Classify(AsStructure(m));
  std::string numbers;
  for (int i : {0, 1, 2, m->VertexCount() - 1})
    numbers += m->GetAtom(i)->HasParam("Atomic number") ? FloatToText(m->GetAtom(i)->GetFloat("Atomic number")) + " "
                                                        : "- ";
  EXPECT_EQ(numbers, "17 6 26 0 ");
}

TEST(BondPropClassification, EachEndGivesItsValueDividedByItsHeavyNeighbourCount) {
  // Carbon 1.5, hydrogen 0.25. An end without heavy neighbours (methane's carbon, H2) makes the bond 0.
  const struct {
    const char* smiles;
    int a1, a2;
    double w, weight; // weight: "Atomic weight" shared the same way (C 12.0107, H 1.00794)
  } cases[] = {
      {"CC", 0, 1, 1.5 + 1.5, 12.0107 * 2},         {"CC", 0, 2, 1.5 + 0.25, 12.0107 + 1.00794},
      {"CC(C)C", 0, 1, 1.5 + 1.5 / 3, 12.0107 + 12.0107 / 3}, {"C", 0, 1, 0, 0},
      {"[H][H]", 0, 1, 0, 0},
  };
  for (const auto& c : cases) {
    auto m = Mol(c.smiles);
    auto w = LoadText("C = 1.5\nH = 0.25\n", {"W"});
    w->Classify(AsStructure(m));
    TBondPropClassification({w}).Classify(AsStructure(m));
    const IEdge* bond = m->GetEdgeBetween(c.a1, c.a2);
    ASSERT_TRUE(bond && bond->HasParam("W") && bond->HasParam("Atomic weight")) << c.smiles;
    EXPECT_NEAR(bond->GetFloat("W"), c.w, 1e-12) << c.smiles;
    EXPECT_NEAR(bond->GetFloat("Atomic weight"), c.weight, 1e-4) << c.smiles;
  }
}

TEST(BondPropClassification, MissingAtomValuesReadAsZeroAndLaterNamesOverwrite) {
  auto m = Mol("CO");
  auto first = LoadText("C = 1\n", {"W"});
  auto second = LoadText("O = 4\n", {"W"});
  first->Classify(AsStructure(m));
  TBondPropClassification c({first, second});
  c.Classify(AsStructure(m));
  EXPECT_DOUBLE_EQ(m->GetEdgeBetween(0, 1)->GetFloat("W"), 1.0);
}

TEST(BondPropClassification, AChainWithoutTheBlockOfItsAtomValuesStopsBeforeTheFirstStructure) {
  auto w = LoadText("C = 1.5\n", {"W"});
  auto bond = std::make_shared<TBondPropClassification>(std::vector<Ptr<IClassification>>{w});
  EXPECT_NO_THROW(CheckChain({w, bond}));
  try {
    CheckChain({bond}); // every bond would get "W" = 0
    ADD_FAILURE() << "accepted";
  } catch (const EFatalError& e) {
    EXPECT_NE(std::string(e.what()).find("reads the atom value \"W\" of block \"SMILES\""), std::string::npos)
        << e.what();
  }
}

} // namespace
} // namespace corvatin
