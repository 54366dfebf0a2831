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

/// The matrix as text, rows separated by "|".
std::string Text(const TDoubleMatrix& m) {
  std::string s;
  for (int r = 0; r < m.GetRowCount(); ++r)
    for (int c = 0; c < m.GetColumnCount(); ++c)
      s += (c ? " " : r ? "|" : "") + std::to_string(static_cast<int>(m.Get(r, c)));
  return s;
}

TEST(Matrices, AdjacencyAndDistancesFollowTheInducedEdgesUpToTheLimitAndNotBetweenFragments) {
  // Limit -1: the adjacency matrix; 0: distances without limit. A sub-graph's matrix covers its listed vertices
  // and the graph's edges between them, whether listed or not.
  const struct {
    const char* skeleton;
    std::vector<int> vertices; // of the sub-graph; empty: the whole graph
    int limit;
    const char* matrix;
  } cases[] = {
      {"C1CCC1", {}, -1, "0 1 0 1|1 0 1 0|0 1 0 1|1 0 1 0"},
      {"C1CCC1", {3, 0}, -1, "0 1|1 0"},
      {"CCCC", {}, 2, "0 1 2 0|1 0 1 2|2 1 0 1|0 2 1 0"},
      {"CCCC", {}, 0, "0 1 2 3|1 0 1 2|2 1 0 1|3 2 1 0"},
      {"CC.CCC", {}, 0, "0 1 0 0 0|1 0 0 0 0|0 0 0 1 2|0 0 1 0 1|0 0 2 1 0"},
      {"C1CCCCC1", {0, 1, 2, 3, 4}, 0, "0 1 2 3 4|1 0 1 2 3|2 1 0 1 2|3 2 1 0 1|4 3 2 1 0"},
      {"C1CCCCC1", {}, 0, "0 1 2 3 2 1|1 0 1 2 3 2|2 1 0 1 2 3|3 2 1 0 1 2|2 3 2 1 0 1|1 2 3 2 1 0"},
  };
  for (const auto& c : cases) {
    auto g = test::Skeleton(c.skeleton);
    Ptr<ISubGraph> sub = g->CreateSubGraph();
    for (int v : c.vertices) sub->AddVertex(g->GetVertex(v));
    const ISubGraph& target = c.vertices.empty() ? AsSubGraph(static_cast<IGraph&>(*g)) : *sub;
    TDoubleMatrix m;
    if (c.limit < 0)
      AdjacencyMatrix(target, m);
    else
      DistanceMatrix(target, c.limit, m);
    EXPECT_EQ(Text(m), c.matrix) << c.skeleton << " limit " << c.limit;
  }
}

TEST(Matrices, TooBigAStructureFailsWithAChemError) {
  auto g = test::FromEdges(kMaxMatrixVertices + 1, {});
  TDoubleMatrix d;
  EXPECT_THROW(DistanceMatrix(*g, 0, d), EChemError);
  EXPECT_THROW(AdjacencyMatrix(*g, d), EChemError);
}

} // namespace
} // namespace corvatin
