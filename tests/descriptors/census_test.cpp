// The subgraph census against the definition it replaces: the occurrences of every path, cluster, path-cluster
// and chain template found by the substructure finder, one per distinct bond set (Kier and Hall's subgraph
// kinds). Counts must agree exactly and the weighted sums to rounding, on ring systems chosen for their awkward
// shapes and on random molecules.

#include "core/errors.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/subgraph_census.h"
#include "descriptors/topsmode.h"
#include "finder_census.h"
#include "graph/model.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace corvatin {
namespace {

using test::FromSmiles;

TSubgraphSums Census(const Ptr<IMolecule>& m) {
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(*m));
  TAtomDeltas d = AtomDeltas(graph);
  return SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree);
}

void ExpectSameAsFinder(const Ptr<IMolecule>& m, const std::string& what) {
  const TSubgraphSums fast = Census(m);
  const TSubgraphSums slow = test::FinderCensus(WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false));
  for (size_t r = 0; r < kSubgraphOrders; ++r)
    for (size_t c = 0; c < kSubgraphKinds; ++c) {
      const std::string cell = what + " order " + std::to_string(r + 1) + " kind " + std::to_string(c);
      EXPECT_EQ(fast.count[r][c], slow.count[r][c]) << cell;
      const auto near = [](long double a, long double b) {
        return std::fabs(static_cast<double>(a - b)) <= 1e-12 * std::max(1.0, std::fabs(static_cast<double>(b)));
      };
      EXPECT_TRUE(near(fast.vertex1[r][c], slow.vertex1[r][c])) << cell;
      EXPECT_TRUE(near(fast.vertex2[r][c], slow.vertex2[r][c])) << cell;
      EXPECT_TRUE(near(fast.edge[r][c], slow.edge[r][c])) << cell;
    }
}

TEST(SubgraphCensus, MatchesTheTemplateOccurrencesOnRingSystems) {
  for (const char* smiles : {
           "C1CC1CC",                   // three-ring: closes on itself, never a path
           "C1CCC1C(C)C",               // four-ring
           "C12CC1C2",                  // bicyclo[1.1.0]butane: fused three-rings
           "C12C3C1C23",                // tetrahedrane: every pair bonded
           "C12C3C4C1C5C2C3C45",        // cubane
           "C1C2CC3CC1CC(C2)C3",        // adamantane
           "c1ccc2ccccc2c1",            // naphthalene
           "C1CCC2(CC1)CCCC2",          // spiro centre
           "CC(C)(C)C(C)(C)C(C)(C)C",   // crowded quaternary carbons
           "FS(F)(F)(F)(F)F",           // six bonds at one atom: the six-star
           "CC(C)C(C(C)C)C(C)C",        // many path-clusters
           "O=C(O)c1ccccc1OC(C)=O",     // aspirin
       })
    ExpectSameAsFinder(FromSmiles(smiles), smiles);
}

TEST(SubgraphCensus, MatchesTheTemplateOccurrencesOnRandomMolecules) {
  std::mt19937 rng(20240612);
  for (int trial = 0; trial < 40; ++trial) {
    const int atoms = std::uniform_int_distribution<int>(2, 18)(rng);
    const int rings = std::uniform_int_distribution<int>(0, 4)(rng);
    ExpectSameAsFinder(test::RandomMolecule(rng, atoms, rings, trial % 2 == 0),
                       "trial " + std::to_string(trial));
  }
}

TEST(SubgraphCensus, CountsSetsOfUpToSixBondsOnceEach) {
  // A path of eight atoms has 7 - m + 1 paths of m bonds and nothing else.
  const TSubgraphSums sums = Census(FromSmiles("CCCCCCCC"));
  for (int m = 1; m <= 6; ++m) {
    EXPECT_EQ(sums.count[static_cast<size_t>(m - 1)][skPath], 8 - m);
    for (int k = 1; k < kSubgraphKinds; ++k) EXPECT_EQ(sums.count[static_cast<size_t>(m - 1)][static_cast<size_t>(k)], 0);
  }
}

TEST(SubgraphCensus, RefusesMoreSetsThanItsLimit) {
  Ptr<IMolecule> m = FromSmiles("CCCC");
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(*m));
  TAtomDeltas d = AtomDeltas(graph);
  EXPECT_NO_THROW(SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree, 6)); // 3 + 2 + 1 sets
  EXPECT_THROW(SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree, 5), EChemError);
}

TEST(SubgraphCensus, RefusesAStarWithTooManyBondSetsBeforeCounting) {
  // Two hundred bonds at one vertex: C(200, 6) = 8.2e10 six-bond stars alone. Fails at once, not in minutes.
  auto g = std::make_shared<TGraph>();
  g->AddVertices(201);
  for (int i = 1; i <= 200; ++i) g->ConnectIndices(0, i);
  const TCompactGraph graph(*g);
  const std::vector<long double> ones(201, 1), edges(200, 1);
  EXPECT_THROW(SubgraphCensus(graph, ones, ones, edges), EChemError);
  // A star of eight bonds has exactly sum C(8, k), k = 1..6, = 246 sets.
  auto small = std::make_shared<TGraph>();
  small->AddVertices(9);
  for (int i = 1; i <= 8; ++i) small->ConnectIndices(0, i);
  const TCompactGraph star(*small);
  const std::vector<long double> w(9, 1), we(8, 1);
  EXPECT_NO_THROW(SubgraphCensus(star, w, w, we, 246));
  EXPECT_THROW(SubgraphCensus(star, w, w, we, 245), EChemError);
}

} // namespace
} // namespace corvatin
