// TOPS-MODE spectral moments: the block's parameters, labels and the moments of small alkanes, whose values follow
// by hand from the definition mu_k = tr(B^k) (E. Estrada, J. Chem. Inf. Comput. Sci. 36 (1996) 844), and the fast
// kernel against dense products on random molecules.

#include "descriptors/moments.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::FromSmiles;

const std::string kMu = "\xC2\xB5";

// Runs block on molecule through the IClassification face and returns the stored result.
Ptr<IMatrixParameter> Compute(TSpectralMoments& block, const Ptr<IMolecule>& molecule, const std::string& result) {
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
  return molecule->QueryParam<IMatrixParameter>(result);
}

std::vector<double> Row(const IMatrixParameter& p, int row = 0) {
  std::vector<double> values;
  for (int c = 0; c < p.GetMatrix()->GetColumnCount(); ++c)
    values.push_back(p.GetMatrix()->Get(row, c));
  return values;
}

std::vector<std::string> ColumnLabels(const IMatrixParameter& p) {
  std::vector<std::string> labels;
  for (int c = 0; c < p.GetMatrix()->GetColumnCount(); ++c)
    labels.push_back(p.GetColumnLabel(c));
  return labels;
}

void SetBondWeight(IMolecule& m, const std::string& name, double value) {
  for (int b = 0; b < m.EdgeCount(); ++b)
    m.GetEdge(b)->SetFloat(name, value);
}

// --- parameters -----------------------------------------------------------------------------------------------

// --- labels ---------------------------------------------------------------------------------------------------

TEST(WeightLabels, CutToThreeCharactersOrTakenFromTheLabelList) {
  EXPECT_EQ(WeightLabel("Hydrophobicity", {}, 0), "(Hyd)");
  EXPECT_EQ(WeightLabel("Hydrophobicity", {""}, 0), "(Hyd)");
  EXPECT_EQ(WeightLabel("Abc", {}, 0), "(Abc)");
  EXPECT_EQ(WeightLabel("Ab", {}, 0), "(Ab)");
  EXPECT_EQ(WeightLabel("Abraham - R2", {"", "Ab-R2"}, 1), "(Ab-R2)");
  EXPECT_EQ(WeightLabel("", {}, 0), "");
  // A multi-byte character counts as one.
  EXPECT_EQ(WeightLabel(kMu + "xyz", {}, 0), "(" + kMu + "xy)");
}

TEST(WeightLabels, TwoWeightsWithLabelsGiveColumnsInWeightThenOrderOrder) {
  auto propane = FromSmiles("CCC");
  TSpectralMoments block({"A", "B"}, {"A", "B"}, false, false);
  block.SetBool("A", true);
  block.SetBool("B", true);
  block.SetFloat("Max Order", 2);
  auto result = Compute(block, propane, "TOPS-MODE");
  ASSERT_TRUE(result);
  EXPECT_EQ(ColumnLabels(*result),
            (std::vector<std::string>{kMu + "0", kMu + "(A)1", kMu + "(A)2", kMu + "(B)1", kMu + "(B)2"}));
  EXPECT_EQ(result->GetShortCaption(), kMu);
  EXPECT_EQ(result->GetRowLabel(0, 1), "1"); // no row labels
}

TEST(WeightLabels, ColumnsOfOneWeightBothDipoleWeightsAndNoWeight) {
  auto ethane = FromSmiles("CC");
  TSpectralMoments hyd({"Hydrophobicity"}, {}, false, false);
  hyd.SetBool("Hydrophobicity", true);
  EXPECT_EQ(Compute(hyd, ethane, "TOPS-MODE")->GetColumnLabel(3), kMu + "(Hyd)3");
  // Both dipole weights cut to "Dip", and nothing makes them unique.
  TSpectralMoments dip({"Dipole moment", "Dipole moment (2)"}, {}, false, false);
  dip.SetBool("Dipole moment", true);
  dip.SetBool("Dipole moment (2)", true);
  dip.SetFloat("Max Order", 1);
  EXPECT_EQ(ColumnLabels(*Compute(dip, ethane, "TOPS-MODE")),
            (std::vector<std::string>{kMu + "0", kMu + "(Dip)1", kMu + "(Dip)1"}));
  TSpectralMoments plain({"Hydrophobicity"}, {}, false, false);
  plain.SetFloat("Max Order", 2);
  EXPECT_EQ(ColumnLabels(*Compute(plain, ethane, "TOPS-MODE")),
            (std::vector<std::string>{kMu + "0", kMu + "1", kMu + "2"}));
}

// --- moments --------------------------------------------------------------------------------------------------

TEST(SpectralMoments, EthaneWithoutHydrogensHasTheWeightsPowers) {
  auto ethane = FromSmiles("CC");
  SetBondWeight(*ethane, "Hydrophobicity", 1.5);
  TSpectralMoments block({"Hydrophobicity"}, {}, false, false);
  block.SetBool("Hydrophobicity", true);
  block.SetFloat("Max Order", 5);
  auto row = Row(*Compute(block, ethane, "TOPS-MODE"));
  ASSERT_EQ(row.size(), 6u);
  EXPECT_EQ(row[0], 1.0);
  for (int k = 1; k <= 5; ++k)
    EXPECT_DOUBLE_EQ(row[static_cast<size_t>(k)], std::pow(1.5, k));
}

TEST(SpectralMoments, PropaneUnweightedAlternatesZeroAndTwoAndWithHydrogensCountsEveryBond) {
  auto propane = FromSmiles("CCC");
  TSpectralMoments block({"Hydrophobicity"}, {}, false, false);
  block.SetFloat("Max Order", 4);
  EXPECT_EQ(Row(*Compute(block, propane, "TOPS-MODE")), (std::vector<double>{2, 0, 2, 0, 2}));
  // With hydrogens, ten bonds; mu2 counts ordered pairs of bonds sharing an atom: each carbon with d bonds gives
  // d(d-1).
  TSpectralMoments withH({}, {}, false, false);
  withH.SetFloat("Max Order", 2);
  withH.SetBool("Include Hydrogen atoms", true);
  EXPECT_EQ(Row(*Compute(withH, propane, "TOPS-MODE")), (std::vector<double>{10, 0, 4 * 3 + 4 * 3 + 4 * 3}));
}

TEST(SpectralMoments, MaxOrderOneFormsNoProduct) {
  auto butane = FromSmiles("CCCC");
  SetBondWeight(*butane, "W", 2.0);
  TSpectralMoments block({"W", "V"}, {}, false, false);
  block.SetBool("W", true);
  block.SetBool("V", true);
  block.SetFloat("Max Order", 1);
  // V is missing on every bond: it reads 0.
  EXPECT_EQ(Row(*Compute(block, butane, "TOPS-MODE")), (std::vector<double>{3, 6, 0}));
}

TEST(SpectralMoments, MaxOrderRoundsHalfToEvenAndMustBePositive) {
  auto ethane = FromSmiles("CC");
  TSpectralMoments block({}, {}, false, false);
  block.SetFloat("Max Order", 2.5);
  EXPECT_EQ(Compute(block, ethane, "TOPS-MODE")->GetMatrix()->GetColumnCount(), 3);
  block.SetFloat("Max Order", 0);
  EXPECT_THROW(Compute(block, ethane, "TOPS-MODE"), EFatalError);
  block.SetFloat("Max Order", 256);
  EXPECT_THROW(Compute(block, ethane, "TOPS-MODE"), EFatalError);
}

TEST(SpectralMoments, MoleculeWithoutHeavyBondsStillGetsAZeroResult) {
  auto water = FromSmiles("O");
  TSpectralMoments block({}, {}, false, false);
  block.SetFloat("Max Order", 3);
  EXPECT_EQ(Row(*Compute(block, water, "TOPS-MODE")), (std::vector<double>(4, 0.0)));
}

// --- the kernel against the definition ------------------------------------------------------------------------

class KernelAgainstDense : public ::testing::TestWithParam<int> {};

TEST_P(KernelAgainstDense, EveryOrderAgreesToOnePartInTenToTheTwelve) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  auto molecule = test::RandomMolecule(rng, 12 + GetParam() % 10, 3, GetParam() % 2 == 0);
  test::SetRandomWeights(*molecule, "W", rng, 0.1, 3.0);
  const ISubGraph& g = AsSubGraph(*molecule);
  const int K = 15;
  const std::vector<double> row = MomentRow(g, {"W", ""}, K);
  const std::vector<long double> weighted = test::DenseMoments(g, "W", K);
  const std::vector<long double> plain = test::DenseMoments(g, "", K);
  for (int k = 1; k <= K; ++k) {
    const double a = row[static_cast<size_t>(k)], b = static_cast<double>(weighted[static_cast<size_t>(k - 1)]);
    EXPECT_LE(std::fabs(a - b), 1e-12 * std::fabs(b)) << "order " << k;
    // Unweighted moments are walk counts: exact integers either way.
    EXPECT_EQ(row[static_cast<size_t>(K + k)], static_cast<double>(plain[static_cast<size_t>(k - 1)])) << "order " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(RandomMolecules, KernelAgainstDense, ::testing::Range(1, 9));

TEST(KernelAgainstDenseMixedSigns, AgreesOnTheScaleOfTheAbsoluteWalkSums) {
  // With charges of both signs a moment may cancel almost to 0: agreement is measured against the moments of |B|.
  std::mt19937 rng(77);
  auto molecule = test::RandomMolecule(rng, 16, 3, true);
  test::SetRandomWeights(*molecule, "W", rng, -0.6, 0.6);
  for (int b = 0; b < molecule->EdgeCount(); ++b)
    molecule->GetEdge(b)->SetFloat("A", std::fabs(molecule->GetEdge(b)->GetFloat("W")));
  const ISubGraph& g = AsSubGraph(*molecule);
  const std::vector<double> row = MomentRow(g, {"W"}, 15);
  const std::vector<long double> dense = test::DenseMoments(g, "W", 15);
  const std::vector<long double> scale = test::DenseMoments(g, "A", 15);
  for (int k = 1; k <= 15; ++k)
    EXPECT_LE(std::fabs(row[static_cast<size_t>(k)] - static_cast<double>(dense[static_cast<size_t>(k - 1)])),
              1e-12 * static_cast<double>(scale[static_cast<size_t>(k - 1)]))
        << "order " << k;
}

TEST(MomentKernel, ExcludedBondsAreRemovedFromTheMatrix) {
  // Butane's middle bond removed leaves two separate bonds: moments 2 w^k.
  auto butane = FromSmiles("CCCC");
  auto g = WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(butane), false);
  TMomentKernel kernel(BondAdjacency(*g));
  const std::vector<double> w{2.0, 5.0, 2.0};
  std::vector<long double> traces(3);
  std::vector<double> local(9);
  const char excluded[] = {0, 1, 0};
  kernel.Moments({w.data()}, 3, excluded, traces.data(), local.data());
  EXPECT_EQ(traces, (std::vector<long double>{4, 8, 16}));
  EXPECT_EQ(local[3], 0.0);
}

} // namespace
} // namespace corvatin
