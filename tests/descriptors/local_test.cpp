// TOPS-MODE local contributions: per-bond diagonal elements of the powers of B (E. Estrada, J. Chem. Inf. Comput.
// Sci. 36 (1996) 844: the moments are their sums over the bonds) and the bond contributions of a linear model.

#include "core/errors.h"
#include "descriptors/local_contributions.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

const std::string kMu = "\xC2\xB5";

// Ethane built with its C-C bond last, so that its index in the molecule (7) differs from its index among the
// heavy-atom bonds (1).
Ptr<IMolecule> EthaneWithCarbonBondLast(double weight) {
  Ptr<IMolecule> m = NewMolecule();
  IAtom* c1 = m->AddAtom();
  c1->SetSymbol("C");
  IAtom* c2 = m->AddAtom();
  c2->SetSymbol("C");
  for (IAtom* c : {c1, c2})
    for (int i = 0; i < 3; ++i) {
      IAtom* h = m->AddAtom();
      h->SetSymbol("H");
      m->ConnectAtoms(c, h)->SetFloat("Hydrophobicity", 9.0);
    }
  m->ConnectAtoms(c1, c2)->SetFloat("Hydrophobicity", weight);
  return m;
}

TEST(LocalContributions, EthaneHasOneRowNamedAfterTheBondsIndexInTheMolecule) {
  auto ethane = EthaneWithCarbonBondLast(1.5);
  TSpectralMoments block({"Hydrophobicity"}, {}, false, true);
  block.SetBool("Hydrophobicity", true);
  block.SetFloat("Max Order", 4);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(ethane));
  auto local = ethane->QueryParam<IMatrixParameter>("TOPS-MODE Local Contribution");
  ASSERT_TRUE(local);
  ASSERT_EQ(local->GetMatrix()->GetRowCount(), 1);
  ASSERT_EQ(local->GetMatrix()->GetColumnCount(), 5);
  EXPECT_EQ(local->GetRowLabel(0, 1), "Bond 7");
  EXPECT_EQ(local->GetShortCaption(), "lc_" + kMu);
  EXPECT_EQ(local->GetColumnLabel(4), kMu + "(Hyd)4");
  EXPECT_EQ(local->GetMatrix()->Get(0, 0), 1.0);
  for (int k = 1; k <= 4; ++k)
    EXPECT_DOUBLE_EQ(local->GetMatrix()->Get(0, k), std::pow(1.5, k));
  EXPECT_FALSE(ethane->HasParam("TOPS-MODE"));
}

TEST(LocalContributions, AllCoefficientsZeroGiveZeroBondContributions) {
  auto ethane = EthaneWithCarbonBondLast(1.5);
  TSpectralMoments block({"Hydrophobicity", "Polar surface"}, {"", "PS"}, false, true);
  block.SetBool("Hydrophobicity", true);
  block.SetBool("Polar surface", true);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(ethane));
  auto q = ethane->QueryParam<IMatrixParameter>("Bond contributions");
  ASSERT_TRUE(q);
  EXPECT_EQ(q->GetShortCaption(), "Contributions");
  EXPECT_EQ(q->GetColumnLabel(0), "Contribution(Hyd)");
  EXPECT_EQ(q->GetColumnLabel(1), "Contribution(PS)");
  EXPECT_EQ(q->GetRowLabel(0, 1), "Bond 7");
  ASSERT_EQ(q->GetMatrix()->GetRowCount(), 1);
  EXPECT_EQ(q->GetMatrix()->Get(0, 0), 0.0);
  EXPECT_EQ(q->GetMatrix()->Get(0, 1), 0.0);
}

TEST(LocalContributions, BondContributionIsMu0PlusTheWeightedLocalMomentsPlusTheIntercept) {
  auto propane = test::FromSmiles("CCC");
  propane->GetEdge(0)->SetFloat("W", 1.0);
  propane->GetEdge(1)->SetFloat("W", 2.0);
  TSpectralMoments block({"W"}, {}, false, true);
  block.SetBool("W", true);
  block.SetFloat("Max Order", 2);
  block.SetFloat(kMu + "0", 0.5);
  block.SetFloat("W_" + kMu + "1", 3.0);
  block.SetFloat("W_" + kMu + "2", -1.0);
  block.SetFloat("W_" + kMu + "i", 10.0);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(propane));
  auto q = propane->GetMatrix("Bond contributions");
  // B = [[1, 1], [1, 2]]; B^2 = [[2, 3], [3, 5]].
  EXPECT_DOUBLE_EQ(q->Get(0, 0), 0.5 + 3.0 * 1 - 1.0 * 2 + 10.0);
  EXPECT_DOUBLE_EQ(q->Get(1, 0), 0.5 + 3.0 * 2 - 1.0 * 5 + 10.0);
}

TEST(LocalContributions, OrdersAboveFifteenAreComputedButHaveNoCoefficient) {
  auto ethane = test::FromSmiles("CC");
  ethane->GetEdge(0)->SetFloat("W", 1.1);
  TSpectralMoments block({"W"}, {}, false, true);
  block.SetBool("W", true);
  block.SetFloat("Max Order", 17);
  for (int k = 1; k <= 15; ++k)
    block.SetFloat("W_" + kMu + std::to_string(k), 1.0);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(ethane));
  auto local = ethane->GetMatrix("TOPS-MODE Local Contribution");
  ASSERT_EQ(local->GetColumnCount(), 18);
  EXPECT_DOUBLE_EQ(local->Get(0, 17), std::pow(1.1, 17));
  double expected = 0;
  for (int k = 1; k <= 15; ++k)
    expected += std::pow(1.1, k);
  EXPECT_NEAR(ethane->GetMatrix("Bond contributions")->Get(0, 0), expected, 1e-12);
}

TEST(LocalContributions, NoSelectedWeightEndsTheRunAndStoresNothing) {
  auto ethane = test::FromSmiles("CC");
  TSpectralMoments block({"W"}, {}, false, true);
  try {
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(ethane));
    FAIL() << "no error";
  } catch (const EFatalError& e) {
    EXPECT_STREQ(e.what(), "You did not select any weight for local contributions.");
  }
  EXPECT_FALSE(ethane->HasParam("TOPS-MODE Local Contribution"));
  EXPECT_FALSE(ethane->HasParam("Bond contributions"));
}

TEST(LocalContributions, WithHydrogensEveryBondHasARow) {
  auto ethane = EthaneWithCarbonBondLast(1.0);
  TSpectralMoments block({"Hydrophobicity"}, {}, false, true);
  block.SetBool("Hydrophobicity", true);
  block.SetBool("Include Hydrogen atoms", true);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(ethane));
  auto local = ethane->QueryParam<IMatrixParameter>("TOPS-MODE Local Contribution");
  ASSERT_EQ(local->GetMatrix()->GetRowCount(), 7);
  EXPECT_EQ(local->GetRowLabel(0, 1), "Bond 1");
  EXPECT_EQ(local->GetRowLabel(6, 7), "Bond 7");
}

class LocalSums : public ::testing::TestWithParam<int> {};

TEST_P(LocalSums, LocalMomentsSummedOverTheBondsGiveTheMoments) {
  std::mt19937 rng(static_cast<unsigned>(300 + GetParam()));
  auto molecule = test::RandomMolecule(rng, 8 + 3 * GetParam(), GetParam() % 4, GetParam() % 2 == 1);
  test::SetRandomWeights(*molecule, "W", rng, 0.0, 2.0);
  const ISubGraph& g = AsSubGraph(*molecule);
  const int K = 12;
  auto local = LocalMomentMatrix(g, {"W", ""}, K);
  const auto mu = MomentRow(g, {"W", ""}, K);
  std::vector<std::vector<double>> dense;
  test::DenseMoments(g, "W", K, &dense);
  for (int c = 0; c < local->GetColumnCount(); ++c)
    EXPECT_TRUE(test::Near(local->ColumnSum(c), mu[static_cast<size_t>(c)], 1e-12, mu[static_cast<size_t>(c)])) << c;
  for (int b = 0; b < g.EdgeCount(); ++b)
    for (int k = 1; k <= K; ++k) {
      const double d = dense[static_cast<size_t>(b)][static_cast<size_t>(k - 1)];
      EXPECT_TRUE(test::Near(local->Get(b, k), d, 1e-12, d)) << b << " " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LocalSums, ::testing::Range(0, 8));

} // namespace
} // namespace corvatin
