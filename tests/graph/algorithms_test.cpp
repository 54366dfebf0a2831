// Traversal order, adjacency and distance matrices, and walks over structures far deeper than the native stack.
#include "core/errors.h"
#include "core/matrix.h"
#include "graph/matrices.h"
#include "graph/model.h"
#include "graph/rings.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvatin {
namespace {

/// Traverse's calls as text: "+v@d" entering, "-v@d" leaving, "e:a>b@d" tree edge, "e:a>b@d!" back edge.
std::vector<std::string> TraverseLog(TGraph& g) {
  std::vector<std::string> log;
  g.Traverse(
      [&](IVertex* v, bool entering, int depth) {
        log.push_back((entering ? "+" : "-") + std::to_string(v->GetIndex()) + "@" + std::to_string(depth));
      },
      [&](IEdge* e, IVertex* from, IVertex* to, int depth, bool isBack) {
        log.push_back(std::to_string(e->GetIndex()) + ":" + std::to_string(from->GetIndex()) + ">" +
                      std::to_string(to->GetIndex()) + "@" + std::to_string(depth) + (isBack ? "!" : ""));
      });
  return log;
}

TEST(Traverse, EmptyGraphCallsNothingASingleVertexIsEnteredAndLeftAndOneComponentIsWalked) {
  auto empty = test::FromEdges(0, {});
  EXPECT_TRUE(TraverseLog(*empty).empty());
  auto one = test::FromEdges(1, {});
  EXPECT_EQ(TraverseLog(*one), (std::vector<std::string>{"+0@0", "-0@0"}));
  // Only the component of vertex 0 is walked.
  EXPECT_EQ(TraverseLog(*test::FromEdges(4, {{0, 1}, {2, 3}})).size(), 5u);
}

TEST(Traverse, WalksEdgesInEachVertexsOwnOrder) {
  // Triangle 0-1-2 with a tail 1-3; worked by hand from the walk's rules: two tree edges and the back edge seen
  // from the deeper end.
  auto g = test::FromEdges(4, {{0, 1}, {1, 2}, {2, 0}, {1, 3}});
  EXPECT_EQ(TraverseLog(*g), (std::vector<std::string>{"+0@0", "0:0>1@0", "+1@1", "1:1>2@1", "+2@2", "2:2>0@2!", "-2@2",
                                                       "3:1>3@1", "+3@2", "-3@2", "-1@1", "-0@0"}));
}

TEST(Traverse, LeavesNoVisitedMarkBehind) {
  auto g = test::Skeleton("C1CCC1C");
  g->GetVertex(2)->SetBool("paramtempVisited", true); // a stale mark from elsewhere is removed too
  g->GetEdge(0)->SetBool("paramtempVisited", true);
  g->Traverse(nullptr, nullptr);
  EXPECT_FALSE(g->AnyVertexHasParam("paramtempVisited"));
  EXPECT_FALSE(g->AnyEdgeHasParam("paramtempVisited"));
  g->FindRings();
  EXPECT_FALSE(g->AnyVertexHasParam("paramtempVisited"));
  EXPECT_FALSE(g->AnyEdgeHasParam("paramtempVisited"));
}

// A chain of 100,000 atoms (a polymer read from a file) must not exhaust the native stack in any walk.
TEST(DeepStructures, ChainOfOneHundredThousandAtomsIsWalkedWithoutRecursion) {
  constexpr int n = 100000;
  auto g = test::Chain(n);
  int entered = 0;
  int deepest = 0;
  int treeEdges = 0;
  g->Traverse(
      [&](IVertex*, bool entering, int depth) {
        entered += entering ? 1 : 0;
        deepest = std::max(deepest, depth);
      },
      [&](IEdge*, IVertex*, IVertex*, int, bool isBack) { treeEdges += isBack ? 0 : 1; });
  EXPECT_EQ(entered, n);
  EXPECT_EQ(deepest, n - 1);
  EXPECT_EQ(treeEdges, n - 1);
  g->FindRings();
  EXPECT_EQ(g->RingCount(), 0);
  EXPECT_TRUE(DepthFirstRings(*g).empty());
}

TEST(DeepStructures, RingOfOneHundredThousandAtomsIsOneRing) {
  constexpr int n = 100000;
  auto g = test::Chain(n);
  g->ConnectIndices(n - 1, 0);
  g->FindRings();
  ASSERT_EQ(g->RingCount(), 1);
  EXPECT_EQ(g->GetRing(0)->VertexCount(), n);
  EXPECT_EQ(g->GetRing(0)->EdgeCount(), n);
  auto rings = DepthFirstRings(*g);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0]->EdgeCount(), n);
}

// ------------------------------------------------------------------------------------------------ matrices

TEST(Matrices, AdjacencyIsInducedForASubGraph) {
  auto g = test::Skeleton("C1CCC1"); // square 0-1-2-3
  TDoubleMatrix a;
  AdjacencyMatrix(*g, a);
  ASSERT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a.Get(0, 1), 1.0);
  EXPECT_EQ(a.Get(0, 3), 1.0);
  EXPECT_EQ(a.Get(0, 2), 0.0);
  EXPECT_EQ(a.Get(2, 2), 0.0);
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  sub->AddVertex(g->GetVertex(3));
  sub->AddVertex(g->GetVertex(0)); // no edge listed: adjacency still comes from the graph
  AdjacencyMatrix(*sub, a);
  ASSERT_EQ(a.GetSize(), 2);
  EXPECT_EQ(a.Get(0, 1), 1.0);
  EXPECT_EQ(a.Get(1, 0), 1.0);
}

TEST(Matrices, DistanceBeyondTheLimitOrBetweenFragmentsIsZero) {
  auto g = test::Chain(4);
  TDoubleMatrix d;
  DistanceMatrix(*g, 2, d);
  EXPECT_EQ(d.Get(0, 1), 1.0);
  EXPECT_EQ(d.Get(0, 2), 2.0);
  EXPECT_EQ(d.Get(0, 3), 0.0); // distance 3 exceeds the limit
  EXPECT_EQ(d.Get(3, 0), 0.0);
  DistanceMatrix(*g, 0, d);
  EXPECT_EQ(d.Get(0, 3), 3.0);
  EXPECT_EQ(d.Get(2, 2), 0.0);
  auto fragments = test::Skeleton("CC.CCC");
  DistanceMatrix(*fragments, 0, d);
  EXPECT_EQ(d.Get(0, 1), 1.0);
  EXPECT_EQ(d.Get(0, 4), 0.0); // between fragments
  EXPECT_EQ(d.Get(2, 4), 2.0);
}

TEST(Matrices, DistancesFollowOnlyTheSubGraphsInducedEdges) {
  auto g = test::Skeleton("C1CCCCC1"); // hexagon
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  for (int i : {0, 1, 2, 3, 4})
    sub->AddVertex(g->GetVertex(i)); // the ring without vertex 5
  TDoubleMatrix d;
  DistanceMatrix(*sub, 0, d);
  EXPECT_EQ(d.Get(0, 4), 4.0); // the short way ran through vertex 5
  EXPECT_EQ(d.Get(4, 0), 4.0);
  DistanceMatrix(*g, 0, d);
  EXPECT_EQ(d.Get(0, 4), 2.0);
  EXPECT_EQ(d.Get(0, 3), 3.0);
}

TEST(Matrices, TooBigAStructureFailsWithAChemError) {
  auto g = test::FromEdges(kMaxMatrixVertices + 1, {});
  TDoubleMatrix d;
  EXPECT_THROW(DistanceMatrix(*g, 0, d), EChemError);
  EXPECT_THROW(AdjacencyMatrix(*g, d), EChemError);
}

} // namespace
} // namespace corvatin
