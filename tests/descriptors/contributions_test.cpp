// TOPS-MODE fragment contributions: the worked values of propane and cyclohexane and agreement with the plain
// recursion over fragments (C(g) = mu(g) minus the contributions of every fragment reached by cutting terminal
// atoms, each fragment computed from scratch), on random molecules.

#include "core/errors.h"
#include "descriptors/contributions.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <map>

namespace corvatin {
namespace {

using test::FromSmiles;

// --- the recursion, written out for comparison --------------------------------------------------------------

// A fragment by its atoms (indices in the molecule, sorted); its bonds are the working graph's bonds between them,
// in working-graph order.
using AtomSet = std::vector<int>;

class ReferenceRecursion {
public:
  ReferenceRecursion(const ISubGraph& working, std::vector<std::string> weights, int K)
      : working_(working), weights_(std::move(weights)), K_(K) {}

  std::vector<long double> Contribution() {
    AtomSet all;
    for (int i = 0; i < working_.VertexCount(); ++i)
      all.push_back(working_.GetVertex(i)->GetIndex());
    std::sort(all.begin(), all.end());
    return Compute(all).first;
  }

private:
  std::vector<int> Bonds(const AtomSet& atoms) const {
    std::vector<int> bonds;
    for (int b = 0; b < working_.EdgeCount(); ++b) {
      const IEdge* e = working_.GetEdge(b);
      if (std::binary_search(atoms.begin(), atoms.end(), e->GetVertex1()->GetIndex()) &&
          std::binary_search(atoms.begin(), atoms.end(), e->GetVertex2()->GetIndex()))
        bonds.push_back(b);
    }
    return bonds;
  }

  std::vector<long double> Moments(const AtomSet& atoms) const {
    Ptr<ISubGraph> g =
        working_.GetOwner() ? working_.GetOwner()->CreateSubGraph() : const_cast<ISubGraph&>(working_).CreateSubGraph();
    for (int b : Bonds(atoms))
      g->AddEdge(working_.GetEdge(b));
    std::vector<long double> row{static_cast<long double>(g->EdgeCount())};
    for (const std::string& w : weights_) {
      const auto traces = test::DenseMoments(*g, w, K_);
      row.insert(row.end(), traces.begin(), traces.end());
    }
    return row;
  }

  // (C(g), D(g)) memoised by atom set: the values are those of the recursion computed every time.
  std::pair<std::vector<long double>, std::vector<AtomSet>> Compute(const AtomSet& atoms) {
    if (auto found = memo_.find(atoms); found != memo_.end()) return found->second;
    std::vector<long double> c = Moments(atoms);
    std::vector<AtomSet> children;
    const std::vector<int> bonds = Bonds(atoms);
    if (bonds.size() > 1) {
      auto innerDegree = [&](int atom) {
        int d = 0;
        for (int b : bonds) {
          const IEdge* e = working_.GetEdge(b);
          d += e->GetVertex1()->GetIndex() == atom || e->GetVertex2()->GetIndex() == atom;
        }
        return d;
      };
      for (int b : bonds) {
        const IEdge* e = working_.GetEdge(b);
        int removed = -1;
        if (innerDegree(e->GetVertex1()->GetIndex()) == 1)
          removed = e->GetVertex1()->GetIndex();
        else if (innerDegree(e->GetVertex2()->GetIndex()) == 1)
          removed = e->GetVertex2()->GetIndex();
        if (removed < 0) continue;
        AtomSet child;
        for (int a : atoms)
          if (a != removed) child.push_back(a);
        children.push_back(child);
      }
      std::vector<AtomSet> grand;
      for (const AtomSet& s : children) {
        auto [cs, ds] = Compute(s);
        for (size_t x = 0; x < c.size(); ++x)
          c[x] -= cs[x];
        for (const AtomSet& t : ds)
          if (std::find(grand.begin(), grand.end(), t) == grand.end()) grand.push_back(t);
      }
      for (const AtomSet& t : grand) {
        auto ct = Compute(t).first;
        for (size_t x = 0; x < c.size(); ++x)
          c[x] -= ct[x];
        children.push_back(t);
      }
    }
    return memo_[atoms] = {c, children};
  }

  const ISubGraph& working_;
  std::vector<std::string> weights_;
  int K_;
  std::map<AtomSet, std::pair<std::vector<long double>, std::vector<AtomSet>>> memo_;
};

Ptr<ISubGraph> Heavy(const Ptr<IMolecule>& molecule) {
  return WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(molecule), false);
}

// --- worked values --------------------------------------------------------------------------------------------

TEST(FragmentContributions, PropaneIsItsMomentsLessTwoEthanes) {
  // mu(propane) = (2, 0, 2); each child ethane has mu = (1, 0, 0) and no fragments: C = (0, 0, 2).
  EXPECT_EQ(FragmentContribution(*Heavy(FromSmiles("CCC")), {""}, 2), (std::vector<double>{0, 0, 2}));
}

TEST(FragmentContributions, WithoutTwoTerminalBondsTheContributionIsTheMoments) {
  // Cyclohexane has no terminal atoms; a single bond is its own contribution.
  auto cyclohexane = FromSmiles("C1CCCCC1"); // held: a working graph outliving its molecule is empty
  auto ring = Heavy(cyclohexane);
  EXPECT_EQ(FragmentContribution(*ring, {""}, 6), MomentRow(*ring, {""}, 6));
  EXPECT_EQ(FragmentContribution(*ring, {""}, 6)[0], 6.0);
  auto ethane = FromSmiles("CC");
  ethane->GetEdge(0)->SetFloat("W", 0.7);
  EXPECT_EQ(FragmentContribution(*Heavy(ethane), {"W"}, 4), MomentRow(*Heavy(ethane), {"W"}, 4));
}

TEST(FragmentContributions, TerminalBondsFartherApartThanTheHighestOrderReachGiveZero) {
  // Octane's two terminal bonds are six steps apart: no closed walk of 11 steps or fewer covers both.
  const auto row = FragmentContribution(*Heavy(FromSmiles("CCCCCCCC")), {""}, 11);
  EXPECT_EQ(row, std::vector<double>(12, 0.0));
  const auto longer = FragmentContribution(*Heavy(FromSmiles("CCCCCCCC")), {""}, 12);
  EXPECT_GT(longer[12], 0.0);
}

TEST(FragmentContributions, TooManyTerminalBondsWithinReachIsAChemErrorNamingTheLimit) {
  // A centre with seventeen neighbours: every pair of terminal bonds is adjacent.
  Ptr<IMolecule> star = NewMolecule();
  IAtom* centre = star->AddAtom();
  centre->SetSymbol("C");
  for (int i = 0; i < 17; ++i) {
    IAtom* a = star->AddAtom();
    a->SetSymbol("C");
    star->ConnectAtoms(centre, a);
  }
  try {
    FragmentContribution(*Heavy(star), {""}, 20);
    FAIL() << "no error";
  } catch (const EChemError& e) {
    EXPECT_NE(std::string(e.what()).find("65536"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("16 terminal bonds"), std::string::npos) << e.what();
  }
  // Orders too low to cover seventeen bonds need no fragments at all.
  EXPECT_NO_THROW(FragmentContribution(*Heavy(star), {""}, 15));
}

// --- the block ------------------------------------------------------------------------------------------------

TEST(FragmentContributionsBlock, EnvironmentAtomsAreLeftOutWithOrWithoutHydrogens) {
  // Butane with its last carbon marked as environment is propane.
  for (bool hydrogens : {false, true}) {
    auto butane = FromSmiles("CCCC");
    butane->GetAtom(3)->SetFloat("paramFragmentEnvironement", 1.0);
    TSpectralMoments block({}, {}, true, false);
    block.SetFloat("Max Order", 2);
    block.SetBool("Include Hydrogen atoms", hydrogens);
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(butane));
    auto propane = FromSmiles("CC[CH2]"); // the cut carbon keeps two hydrogens
    const auto expected =
        FragmentContribution(*WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(propane), hydrogens), {""}, 2);
    auto m = butane->GetMatrix("TOPS-MODE Contribution");
    // The environment carbon's hydrogens stay behind without bonds: they play no part.
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(m->Get(0, c), expected[static_cast<size_t>(c)]) << hydrogens << c;
  }
}

// --- properties on random molecules ---------------------------------------------------------------------------

class RandomFragments : public ::testing::TestWithParam<int> {};

TEST_P(RandomFragments, AgreesWithTheRecursionOverFragments) {
  std::mt19937 rng(static_cast<unsigned>(2000 + GetParam()));
  auto molecule = test::RandomMolecule(rng, 5 + GetParam() % 6, GetParam() % 3, false);
  // Integer weights keep every moment an exact integer: both ways must agree exactly.
  test::SetIntegerWeights(*molecule, "W", rng, -2, 3);
  auto g = Heavy(molecule);
  const int K = 10;
  const std::vector<double> fast = FragmentContribution(*g, {"W", ""}, K);
  const std::vector<long double> reference = ReferenceRecursion(*g, {"W", ""}, K).Contribution();
  ASSERT_EQ(fast.size(), reference.size());
  for (size_t x = 0; x < fast.size(); ++x)
    EXPECT_EQ(fast[x], static_cast<double>(reference[x])) << x;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomFragments, ::testing::Range(0, 24));

TEST(FragmentContributionsRecursion, BranchedAlkaneAgreesWithTheRecursion) {
  // 2,2,4-trimethylpentane: five terminal carbons.
  auto molecule = FromSmiles("CC(C)(C)CC(C)C");
  auto g = Heavy(molecule);
  const int K = 9;
  const auto fast = FragmentContribution(*g, {""}, K);
  const auto reference = ReferenceRecursion(*g, {""}, K).Contribution();
  for (size_t x = 0; x < fast.size(); ++x)
    EXPECT_EQ(fast[x], static_cast<double>(reference[x])) << x;
}

} // namespace
} // namespace corvatin
