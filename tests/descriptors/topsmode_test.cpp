// TOPS-MODE spectral moments mu_k = tr(B^k), local moments B^k(b, b) (J. Chem. Inf. Comput. Sci. 36 (1996) 844) and
// fragment contributions: hand values, labels, limits, and agreement with the definitions on random molecules (dense
// matrix products; the recursion over fragments, C(g) = mu(g) minus the contributions of every fragment reached by
// cutting terminal atoms, each computed from scratch).

#include "core/errors.h"
#include "core/numtext.h"
#include "descriptor_test_util.h"
#include "descriptors/contributions.h"
#include "descriptors/local_contributions.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvatin {
namespace {

const std::string kMu = "\xC2\xB5";

Ptr<IMatrixParameter> Compute(TSpectralMoments& block, const Ptr<IMolecule>& molecule, const char* result) {
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
  return molecule->QueryParam<IMatrixParameter>(result);
}

TEST(WeightLabels, CutToThreeCharactersOrTakenFromTheLabelList) {
  EXPECT_EQ(WeightLabel("Abraham - R2", {"", "Ab-R2"}, 1), "(Ab-R2)");
  EXPECT_EQ(WeightLabel("", {}, 0), "");
  EXPECT_EQ(WeightLabel(kMu + "xyz", {}, 0), "(" + kMu + "xy)"); // a multi-byte character counts as one
}

TEST(SpectralMoments, SmallMoleculesHaveTheirHandValuesAndLabelsAndTheMaximumOrderIsChecked) {
  const auto words = [](const std::string& text) {
    std::vector<std::string> list;
    std::stringstream in(text);
    for (std::string word; in >> word;)
      list.push_back(word);
    return list;
  };
  const int rows = test::ForEachRow("topsmode_hand.tsv", [&](const test::Row& row) {
    SCOPED_TRACE(row.at("smiles") + " " + row.at("weights"));
    const std::vector<std::string> weights = words(row.at("weights"));
    auto m = test::FromSmiles(row.at("smiles"));
    for (int b = 0; b < m->EdgeCount() && !weights.empty(); ++b)
      m->GetEdge(b)->SetFloat(weights[0], TextToFloat(row.at("W")));
    TSpectralMoments block(weights, {}, false, false);
    for (const std::string& w : weights)
      block.SetBool(w, true);
    block.SetFloat("Max Order", TextToFloat(row.at("max order")));
    block.SetBool("Include Hydrogen atoms", row.at("hydrogens") == "yes");
    auto result = Compute(block, m, "TOPS-MODE");
    std::vector<std::string> labels;
    std::vector<double> moments, expected;
    for (int c = 0; c < result->GetMatrix()->GetColumnCount(); ++c) {
      labels.push_back(result->GetColumnLabel(c));
      moments.push_back(result->GetMatrix()->Get(0, c));
    }
    for (const std::string& word : words(row.at("moments")))
      expected.push_back(TextToFloat(word));
    EXPECT_EQ(labels, words(row.at("labels")));
    EXPECT_EQ(moments, expected);
  });
  EXPECT_GE(rows, 7);
  TSpectralMoments block({}, {}, false, false);
  for (double bad : {0.0, 256.0}) { // the maximum order is a whole number from 1 to 255
    block.SetFloat("Max Order", bad);
    EXPECT_THROW(Compute(block, test::FromSmiles("CC"), "TOPS-MODE"), EFatalError) << bad;
  }
}

TEST(LocalContributions, RowsNamedAfterTheMoleculesBondsAndContributionsAreMu0PlusWeightedLocalMomentsPlusIntercept) {
  for (bool hydrogens : {false, true}) {
    // Ethane's C-C bond made the last: its index in the molecule (7) differs from that among heavy bonds (1).
    auto ethane = test::FromSmiles("CC");
    ethane->DeleteEdge(ethane->GetAtom(0)->GetBondTo(ethane->GetAtom(1)));
    ethane->ConnectAtoms(ethane->GetAtom(0), ethane->GetAtom(1))->SetFloat("W", 1.5);
    TSpectralMoments block({"W"}, {}, false, true);
    block.SetBool("W", true);
    block.SetBool("Include Hydrogen atoms", hydrogens);
    block.SetFloat("Max Order", 17); // orders above 15 are computed but have no coefficient
    block.SetFloat(kMu + "0", 0.5);
    block.SetFloat("W_" + kMu + "1", 3.0);
    block.SetFloat("W_" + kMu + "2", -1.0);
    block.SetFloat("W_" + kMu + "i", 10.0);
    auto local = Compute(block, ethane, "TOPS-MODE Local Contribution");
    const int rows = local->GetMatrix()->GetRowCount();
    ASSERT_EQ(rows, hydrogens ? 7 : 1);
    EXPECT_EQ(local->GetRowLabel(rows - 1, rows), "Bond 7");
    EXPECT_EQ(local->GetMatrix()->GetColumnCount(), 18);
    EXPECT_FALSE(ethane->HasParam("TOPS-MODE"));
    // B(C-C) = 1.5; B^2(C-C) = 1.5^2, plus one for each of the six C-H bonds it meets.
    EXPECT_DOUBLE_EQ(ethane->GetMatrix("Bond contributions")->Get(rows - 1, 0),
                     0.5 + 3.0 * 1.5 - 1.0 * (2.25 + (hydrogens ? 6 : 0)) + 10.0);
  }
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

TEST(FragmentContributions, PropaneFromTwoEthanesFarApartTerminalBondsGiveZeroAndTooManyWithinReachIsAChemError) {
  // mu(propane) = (2, 0, 2); each child ethane has mu = (1, 0, 0) and no fragments: C = (0, 0, 2).
  EXPECT_EQ(FragmentContribution(*Heavy(test::FromSmiles("CCC")), {""}, 2), (std::vector<double>{0, 0, 2}));
  // Octane's two terminal bonds are six steps apart: no closed walk of 11 steps or fewer covers both.
  const auto octaneMolecule = test::FromSmiles("CCCCCCCC"),
             starMolecule = test::FromSmiles("C(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)(C)");
  const auto octane = Heavy(octaneMolecule);
  EXPECT_EQ(FragmentContribution(*octane, {""}, 11), std::vector<double>(12, 0.0));
  EXPECT_GT(FragmentContribution(*octane, {""}, 12)[12], 0.0);
  // A centre with seventeen neighbours; orders too low to cover seventeen bonds need no fragments at all.
  const auto star = Heavy(starMolecule);
  EXPECT_THROW(FragmentContribution(*star, {""}, 20), EChemError);
  EXPECT_NO_THROW(FragmentContribution(*star, {""}, 15));
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

class RandomMolecules : public ::testing::TestWithParam<int> {};

// Whole-number weights of both signs keep every value an exact integer (below 2^53 at these sizes): the fast ways
// and the definitions must agree exactly.
TEST_P(RandomMolecules, MomentsLocalMomentsAndFragmentContributionsAgreeWithTheirDefinitions) {
  std::mt19937 rng(static_cast<unsigned>(2000 + GetParam()));
  auto molecule = test::RandomMolecule(rng, 5 + GetParam() % 6, GetParam() % 3, GetParam() % 2 == 0);
  for (int b = 0; b < molecule->EdgeCount(); ++b)
    molecule->GetEdge(b)->SetFloat("W", std::uniform_int_distribution<int>(-2, 2)(rng));
  const ISubGraph& all = AsSubGraph(*molecule);
  constexpr size_t K = 15;
  const std::vector<double> row = MomentRow(all, {"W", ""}, int{K});
  const Ptr<TDoubleMatrix> local = LocalMomentMatrix(all, {"W"}, int{K});
  std::vector<std::vector<double>> diagonals;
  const auto weighted = test::DenseMoments(all, "W", int{K}, &diagonals), plain = test::DenseMoments(all, "", int{K});
  for (size_t k = 1; k <= K; ++k) {
    EXPECT_EQ(row[k], static_cast<double>(weighted[k - 1])) << "order " << k;
    EXPECT_EQ(row[K + k], static_cast<double>(plain[k - 1])) << "order " << k;
    for (size_t b = 0; b < diagonals.size(); ++b)
      EXPECT_EQ(local->Get(static_cast<int>(b), static_cast<int>(k)), diagonals[b][k - 1]) << b << ", " << k;
  }
  auto g = Heavy(molecule);
  ReferenceRecursion::Atoms atoms;
  for (int i = 0; i < g->VertexCount(); ++i)
    atoms.push_back(g->GetVertex(i)->GetIndex());
  std::sort(atoms.begin(), atoms.end());
  const std::vector<long double> reference = ReferenceRecursion{*g, {"W", ""}, 10}.Compute(atoms).first;
  EXPECT_EQ(FragmentContribution(*g, {"W", ""}, 10), std::vector<double>(reference.begin(), reference.end()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomMolecules, ::testing::Range(0, 24));

} // namespace
} // namespace corvatin
