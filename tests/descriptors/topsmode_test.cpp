// TOPS-MODE spectral moments mu_k = tr(B^k) and local moments B^k(b, b) (E. Estrada, J. Chem. Inf. Comput. Sci. 36
// (1996) 844): column labels, hand values of small molecules, the fast kernel against dense products on random
// molecules, the bond contributions of a linear model; and the fragment contributions against the plain recursion
// over fragments (C(g) = mu(g) minus the contributions of every fragment reached by cutting terminal atoms, each
// fragment computed from scratch).

#include "core/errors.h"
#include "descriptors/contributions.h"
#include "descriptors/local_contributions.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvatin {
namespace {

const std::string kMu = "\xC2\xB5";

Ptr<IMatrixParameter> Compute(TSpectralMoments& block, const Ptr<IMolecule>& molecule, const char* result) {
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
  return molecule->QueryParam<IMatrixParameter>(result);
}

std::vector<double> Row(const IMatrixParameter& p) {
  std::vector<double> row;
  for (int c = 0; c < p.GetMatrix()->GetColumnCount(); ++c)
    row.push_back(p.GetMatrix()->Get(0, c));
  return row;
}

TEST(WeightLabels, CutToThreeCharactersOrTakenFromTheLabelListAndColumnsRunWeightByWeight) {
  EXPECT_EQ(WeightLabel("Hydrophobicity", {""}, 0), "(Hyd)");
  EXPECT_EQ(WeightLabel("Ab", {}, 0), "(Ab)");
  EXPECT_EQ(WeightLabel("Abraham - R2", {"", "Ab-R2"}, 1), "(Ab-R2)");
  EXPECT_EQ(WeightLabel("", {}, 0), "");
  EXPECT_EQ(WeightLabel(kMu + "xyz", {}, 0), "(" + kMu + "xy)"); // a multi-byte character counts as one
  TSpectralMoments block({"A", "Bcde"}, {"A"}, false, false);
  block.SetBool("A", true);
  block.SetBool("Bcde", true);
  block.SetFloat("Max Order", 2);
  auto result = Compute(block, test::FromSmiles("CCC"), "TOPS-MODE");
  std::vector<std::string> labels;
  for (int c = 0; c < result->GetMatrix()->GetColumnCount(); ++c)
    labels.push_back(result->GetColumnLabel(c));
  EXPECT_EQ(labels, (std::vector<std::string>{kMu + "0", kMu + "(A)1", kMu + "(A)2", kMu + "(Bcd)1", kMu + "(Bcd)2"}));
}

TEST(SpectralMoments, SmallMoleculesHaveTheirHandValues) {
  struct Case {
    const char* smiles;
    std::vector<std::string> weights; // selected; only "W" is set on the bonds
    double w;
    bool hydrogens;
    double K;
    std::vector<double> row;
  };
  const Case cases[] = {
      {"CC", {"W"}, 1.5, false, 5, {1, 1.5, 2.25, 3.375, 5.0625, 7.59375}}, // one bond: the powers of its weight
      {"CCC", {}, 0, false, 4, {2, 0, 2, 0, 2}},
      {"CCC", {}, 0, true, 2, {10, 0, 36}},         // mu2 counts ordered pairs of bonds at an atom: 3 carbons x 4 x 3
      {"CCCC", {"W", "V"}, 2, false, 1, {3, 6, 0}}, // V on no bond reads 0
      {"O", {}, 0, false, 3, {0, 0, 0, 0}},         // no heavy bond: still a row
      {"CCC", {}, 0, false, 2.5, {2, 0, 2}},        // Max Order rounds halves to even
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.smiles);
    auto m = test::FromSmiles(c.smiles);
    for (int b = 0; b < m->EdgeCount(); ++b)
      m->GetEdge(b)->SetFloat("W", c.w);
    TSpectralMoments block(c.weights, {}, false, false);
    for (const std::string& w : c.weights)
      block.SetBool(w, true);
    block.SetFloat("Max Order", c.K);
    block.SetBool("Include Hydrogen atoms", c.hydrogens);
    EXPECT_EQ(Row(*Compute(block, m, "TOPS-MODE")), c.row);
  }
  TSpectralMoments block({}, {}, false, false);
  for (double bad : {0.0, 256.0}) {
    block.SetFloat("Max Order", bad);
    EXPECT_THROW(Compute(block, test::FromSmiles("CC"), "TOPS-MODE"), EFatalError) << bad;
  }
}

class RandomMolecules : public ::testing::TestWithParam<int> {};

// Agreement is measured against the moments of |B|: with weights of both signs a moment may cancel almost to 0.
TEST_P(RandomMolecules, MomentsAndLocalMomentsAgreeWithDenseProductsToOnePartInTenToTheTwelve) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  auto molecule = test::RandomMolecule(rng, 8 + GetParam() % 12, GetParam() % 4, GetParam() % 2 == 0);
  test::SetRandomWeights(*molecule, "W", rng, GetParam() % 3 == 0 ? -0.6 : 0.1, 3.0);
  for (int b = 0; b < molecule->EdgeCount(); ++b)
    molecule->GetEdge(b)->SetFloat("A", std::fabs(molecule->GetEdge(b)->GetFloat("W")));
  const ISubGraph& g = AsSubGraph(*molecule);
  constexpr size_t K = 15;
  const std::vector<double> row = MomentRow(g, {"W", ""}, int{K});
  const Ptr<TDoubleMatrix> local = LocalMomentMatrix(g, {"W"}, int{K});
  std::vector<std::vector<double>> diagonals, scales;
  const auto weighted = test::DenseMoments(g, "W", int{K}, &diagonals);
  const auto scale = test::DenseMoments(g, "A", int{K}, &scales), plain = test::DenseMoments(g, "", int{K});
  for (size_t k = 1; k <= K; ++k) {
    EXPECT_LE(std::fabs(row[k] - static_cast<double>(weighted[k - 1])), 1e-12 * static_cast<double>(scale[k - 1]))
        << "order " << k;
    EXPECT_EQ(row[K + k], static_cast<double>(plain[k - 1])) << "order " << k; // walk counts: exact integers
    for (size_t b = 0; b < diagonals.size(); ++b)
      EXPECT_LE(std::fabs(local->Get(static_cast<int>(b), static_cast<int>(k)) - diagonals[b][k - 1]),
                1e-12 * std::max(1.0, scales[b][k - 1]))
          << "bond " << b << " order " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomMolecules, ::testing::Range(1, 13));

TEST(LocalContributions, RowsAreNamedAfterTheBondsIndexInTheMoleculeWithOrWithoutHydrogens) {
  for (bool hydrogens : {false, true}) {
    // Ethane's C-C bond made the last: its index in the molecule (7) differs from that among heavy bonds (1).
    auto ethane = test::FromSmiles("CC");
    ethane->DeleteEdge(ethane->GetAtom(0)->GetBondTo(ethane->GetAtom(1)));
    ethane->ConnectAtoms(ethane->GetAtom(0), ethane->GetAtom(1));
    TSpectralMoments block({"W"}, {}, false, true);
    block.SetBool("W", true);
    block.SetBool("Include Hydrogen atoms", hydrogens);
    auto local = Compute(block, ethane, "TOPS-MODE Local Contribution");
    ASSERT_TRUE(local);
    const int rows = local->GetMatrix()->GetRowCount();
    ASSERT_EQ(rows, hydrogens ? 7 : 1);
    EXPECT_EQ(local->GetRowLabel(rows - 1, rows), "Bond 7");
    EXPECT_FALSE(ethane->HasParam("TOPS-MODE"));
  }
}

TEST(LocalContributions, BondContributionIsMu0PlusTheWeightedLocalMomentsPlusTheIntercept) {
  auto propane = test::FromSmiles("CCC");
  propane->GetEdge(0)->SetFloat("W", 1.0);
  propane->GetEdge(1)->SetFloat("W", 2.0);
  TSpectralMoments block({"W"}, {}, false, true);
  block.SetBool("W", true);
  block.SetFloat("Max Order", 17); // orders above 15 are computed but have no coefficient
  block.SetFloat(kMu + "0", 0.5);
  block.SetFloat("W_" + kMu + "1", 3.0);
  block.SetFloat("W_" + kMu + "2", -1.0);
  block.SetFloat("W_" + kMu + "i", 10.0);
  auto q = Compute(block, propane, "Bond contributions")->GetMatrix();
  // B = [[1, 1], [1, 2]]; B^2 = [[2, 3], [3, 5]].
  EXPECT_DOUBLE_EQ(q->Get(0, 0), 0.5 + 3.0 * 1 - 1.0 * 2 + 10.0);
  EXPECT_DOUBLE_EQ(q->Get(1, 0), 0.5 + 3.0 * 2 - 1.0 * 5 + 10.0);
  EXPECT_EQ(propane->GetMatrix("TOPS-MODE Local Contribution")->GetColumnCount(), 18);
  // No selected weight ends the run and stores nothing.
  TSpectralMoments none({"W"}, {}, false, true);
  auto ethane = test::FromSmiles("CC");
  EXPECT_THROW(Compute(none, ethane, "Bond contributions"), EFatalError);
  EXPECT_FALSE(ethane->HasParam("TOPS-MODE Local Contribution"));
}

// The recursion over fragments written out, memoised by atom set (sorted indices in the molecule): C(g) and the
// fragments below g.
struct ReferenceRecursion {
  using Atoms = std::vector<int>;
  const ISubGraph& g;
  std::vector<std::string> weights;
  int K;
  std::map<Atoms, std::pair<std::vector<long double>, std::vector<Atoms>>> memo{};

  std::pair<std::vector<long double>, std::vector<Atoms>> Compute(const Atoms& atoms) {
    if (auto found = memo.find(atoms); found != memo.end()) return found->second;
    const auto in = [&](const IVertex* v) { return std::binary_search(atoms.begin(), atoms.end(), v->GetIndex()); };
    Ptr<ISubGraph> part = g.GetOwner()->CreateSubGraph();
    for (int b = 0; b < g.EdgeCount(); ++b)
      if (in(g.GetEdge(b)->GetVertex1()) && in(g.GetEdge(b)->GetVertex2())) part->AddEdge(g.GetEdge(b));
    std::vector<long double> c{static_cast<long double>(part->EdgeCount())};
    for (const std::string& w : weights) {
      const auto traces = test::DenseMoments(*part, w, K);
      c.insert(c.end(), traces.begin(), traces.end());
    }
    const auto degree = [&](const IVertex* v) {
      int d = 0;
      for (int b = 0; b < part->EdgeCount(); ++b)
        d += part->GetEdge(b)->GetVertex1() == v || part->GetEdge(b)->GetVertex2() == v;
      return d;
    };
    std::vector<Atoms> children, grand;
    for (int b = 0; part->EdgeCount() > 1 && b < part->EdgeCount(); ++b)
      for (const IVertex* end : {part->GetEdge(b)->GetVertex1(), part->GetEdge(b)->GetVertex2()})
        if (degree(end) == 1) { // a terminal atom: cut it
          Atoms child;
          std::copy_if(atoms.begin(), atoms.end(), std::back_inserter(child),
                       [&](int x) { return x != end->GetIndex(); });
          children.push_back(child);
          break;
        }
    for (const Atoms& s : children) {
      auto [cs, ds] = Compute(s);
      for (size_t x = 0; x < c.size(); ++x)
        c[x] -= cs[x];
      for (const Atoms& t : ds)
        if (std::find(grand.begin(), grand.end(), t) == grand.end()) grand.push_back(t);
    }
    for (const Atoms& t : grand) {
      const auto ct = Compute(t).first;
      for (size_t x = 0; x < c.size(); ++x)
        c[x] -= ct[x];
      children.push_back(t);
    }
    return memo[atoms] = {c, children};
  }
};

Ptr<ISubGraph> Heavy(const Ptr<IMolecule>& m) { return WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false); }

TEST(FragmentContributions, WorkedValuesAndGraphsWithoutTwoTerminalBonds) {
  // mu(propane) = (2, 0, 2); each child ethane has mu = (1, 0, 0) and no fragments: C = (0, 0, 2).
  auto propane = test::FromSmiles("CCC");
  EXPECT_EQ(FragmentContribution(*Heavy(propane), {""}, 2), (std::vector<double>{0, 0, 2}));
  // Cyclohexane has no terminal atoms: its contribution is its moments.
  auto cyclohexane = test::FromSmiles("C1CCCCC1");
  EXPECT_EQ(FragmentContribution(*Heavy(cyclohexane), {""}, 6), MomentRow(*Heavy(cyclohexane), {""}, 6));
  // Octane's two terminal bonds are six steps apart: no closed walk of 11 steps or fewer covers both.
  auto octane = test::FromSmiles("CCCCCCCC");
  EXPECT_EQ(FragmentContribution(*Heavy(octane), {""}, 11), std::vector<double>(12, 0.0));
  EXPECT_GT(FragmentContribution(*Heavy(octane), {""}, 12)[12], 0.0);
}

TEST(FragmentContributions, TooManyTerminalBondsWithinReachIsAChemErrorNamingTheLimit) {
  std::string smiles = "C";
  for (int i = 0; i < 17; ++i) smiles += "(C)"; // a centre with seventeen neighbours
  Ptr<IMolecule> star = test::FromSmiles(smiles);
  try {
    FragmentContribution(*Heavy(star), {""}, 20);
    FAIL() << "no error";
  } catch (const EChemError& e) {
    EXPECT_NE(std::string(e.what()).find("more than the limit of 65536 (16 terminal bonds)"), std::string::npos)
        << e.what();
  }
  // Orders too low to cover seventeen bonds need no fragments at all.
  EXPECT_NO_THROW(FragmentContribution(*Heavy(star), {""}, 15));
}

TEST(FragmentContributions, EnvironmentAtomsAreLeftOutWithOrWithoutHydrogens) {
  for (bool hydrogens : {false, true}) { // butane with its last carbon marked as environment is propane
    auto butane = test::FromSmiles("CCCC");
    butane->GetAtom(3)->SetFloat("paramFragmentEnvironement", 1.0);
    TSpectralMoments block({}, {}, true, false);
    block.SetFloat("Max Order", 2);
    block.SetBool("Include Hydrogen atoms", hydrogens);
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(butane));
    auto propane = test::FromSmiles("CC[CH2]"); // the cut carbon keeps two hydrogens
    const auto expected =
        FragmentContribution(*WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(propane), hydrogens), {""}, 2);
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(butane->GetMatrix("TOPS-MODE Contribution")->Get(0, c), expected[static_cast<size_t>(c)]) << hydrogens;
  }
}

class RandomFragments : public ::testing::TestWithParam<int> {};

TEST_P(RandomFragments, AgreesWithTheRecursionOverFragments) {
  std::mt19937 rng(static_cast<unsigned>(2000 + GetParam()));
  auto molecule = test::RandomMolecule(rng, 5 + GetParam() % 6, GetParam() % 3, false);
  test::SetRandomWeights(*molecule, "W", rng, -2, 4, true); // whole numbers: both ways agree exactly
  auto g = Heavy(molecule);
  const std::vector<double> fast = FragmentContribution(*g, {"W", ""}, 10);
  ReferenceRecursion::Atoms all;
  for (int i = 0; i < g->VertexCount(); ++i)
    all.push_back(g->GetVertex(i)->GetIndex());
  std::sort(all.begin(), all.end());
  const std::vector<long double> reference = ReferenceRecursion{*g, {"W", ""}, 10}.Compute(all).first;
  ASSERT_EQ(fast.size(), reference.size());
  for (size_t x = 0; x < fast.size(); ++x)
    EXPECT_EQ(fast[x], static_cast<double>(reference[x])) << x;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomFragments, ::testing::Range(0, 24));

} // namespace
} // namespace corvatin
