// Ring perception: the graph's ring set and the depth-first ring list of fused systems. Atom orders are those
// of the SMILES strings given (naphthalene c1ccc2ccccc2c1, anthracene c1ccc2cc3ccccc3cc2c1), bonds made in
// reading order, so every vertex's neighbour order is fixed and the ring lists are reproducible.
#include "core/errors.h"
#include "graph/model.h"
#include "graph/rings.h"
#include "brute_force.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace corvatin {
namespace {

std::vector<int> RingSizes(const TGraph& g) {
  std::vector<int> sizes;
  for (int i = 0; i < g.RingCount(); ++i)
    sizes.push_back(g.GetRing(i)->VertexCount());
  return sizes;
}

// ----------------------------------------------------------------------------------------------- FindRings

TEST(FindRings, RingSetsAreTheSmallestRingsInRingOrder) {
  struct Case {
    const char* smiles;
    std::vector<int> sizes;
  };
  const Case cases[] = {
      {"C1CC1", {3}},
      {"CC(C)CC(=O)O", {}},
      {"c1ccc2ccccc2c1", {6, 6}},
      {"c1ccc2cc3ccccc3cc2c1", {6, 6, 6}},
      {"C1CC2CCC1C2", {5, 5}},
      {"c1ccc2c(c1)ccc1ccccc12", {6, 6, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.smiles);
    auto g = test::Skeleton(c.smiles);
    g->FindRings();
    // The ring count is the cycle rank of a connected graph.
    ASSERT_EQ(g->RingCount(), g->EdgeCount() - g->VertexCount() + 1);
    std::vector<int> sizes = RingSizes(*g);
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, c.sizes);
    for (int r = 0; r < g->RingCount(); ++r) {
      const ISubGraph* ring = g->GetRing(r);
      EXPECT_EQ(ring->GetOwner(), static_cast<ISubGraph*>(g.get()));
      EXPECT_EQ(ring->EdgeCount(), ring->VertexCount());
      EXPECT_TRUE(test::IsSimpleRing(*ring));
      const int n = ring->VertexCount();
      for (int i = 0; i < n; ++i)
        EXPECT_TRUE(ring->GetVertex(i)->IsAdjacent(ring->GetVertex((i + 1) % n)));
    }
  }
}

TEST(FindRings, RingsOfEveryFragmentAreFound) {
  // Sodium benzoate written with the counter-ion first: vertex 0 is the isolated sodium.
  auto g = test::Skeleton("[Na+].[O-]C(=O)c1ccccc1");
  g->FindRings();
  ASSERT_EQ(g->RingCount(), 1);
  EXPECT_EQ(g->GetRing(0)->VertexCount(), 6);
  auto two = test::Skeleton("C1CC1.C1CCC1");
  two->FindRings();
  EXPECT_EQ(RingSizes(*two), (std::vector<int>{3, 4}));
}

// ------------------------------------------------------------------------------------ depth-first ring list

TEST(DepthFirstRings, SmallRingsComeFirstThenTheWalksAroundFusedSystemsOfEveryFragment) {
  // Each entry: its vertex count, "/edges" when that differs, "!" when it is not one simple cycle.
  const std::pair<const char*, const char*> cases[] = {
      {"c1ccc2ccccc2c1", "6 6 10"},
      {"c1ccc2cc3ccccc3cc2c1", "6 6 6 10 10 13/14! 14"},
      {"CC.C1CC1", "3"},
  };
  for (const auto& [smiles, expected] : cases) {
    auto g = test::Skeleton(smiles);
    g->GetVertex(0)->SetFloat("VertexVisited", 1);
    std::string entries;
    for (const auto& r : DepthFirstRings(*g))
      entries += (entries.empty() ? "" : " ") + std::to_string(r->VertexCount()) +
                 (r->EdgeCount() == r->VertexCount() ? "" : "/" + std::to_string(r->EdgeCount())) +
                 (test::IsSimpleRing(*r) ? "" : "!");
    EXPECT_EQ(entries, expected) << smiles;
    EXPECT_FALSE(g->AnyVertexHasParam("VertexVisited")) << smiles;
  }
  auto pentagon = test::Skeleton("C1CCCC1");
  auto ring = DepthFirstRings(*pentagon);
  ASSERT_EQ(ring.size(), 1u);
  EXPECT_EQ(test::VertexIndices(*ring[0]), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(test::EdgeIndices(*ring[0]), (std::vector<int>{0, 1, 2, 3, 4})); // the closing edge last
}

TEST(DepthFirstRings, ACageTooRichInRingsFailsWithAChemErrorAndLeavesNoMark) {
  // Buckminsterfullerene: every ring shares runs with many earlier entries and the list grows exponentially;
  // the walk stops with an error instead of exhausting time and memory. Its ring set (12 five- and 19
  // six-membered rings, the cycle rank 90 - 60 + 1 = 31) is unaffected.
  auto c60 = test::Skeleton("c12c3c4c5c1c1c6c7c2c2c8c3c3c9c4c4c%10c5c5c1c1c6c6c%11c7c2c2c7c8c3c3c8c9c4c4c9c%10"
                            "c5c5c1c1c6c6c%11c2c2c7c3c3c8c4c4c9c5c1c1c6c2c3c41");
  ASSERT_EQ(c60->VertexCount(), 60);
  ASSERT_EQ(c60->EdgeCount(), 90);
  EXPECT_THROW(DepthFirstRings(*c60), EChemError);
  EXPECT_FALSE(c60->AnyVertexHasParam("VertexVisited"));
  c60->FindRings();
  std::vector<int> sizes = RingSizes(*c60);
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 5), 12);
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 6), 19);
}

} // namespace
} // namespace corvatin
