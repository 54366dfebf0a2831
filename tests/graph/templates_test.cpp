// Template graphs for subgraph counts: how many of each kind and order, and that together they are exactly
// the distinct trees of each order (the numbers of unlabelled trees are OEIS A000055).
#include "brute_force.h"
#include "graph/templates.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvatin {
namespace {

size_t Count(int kind, int m) {
  std::vector<Ptr<IGraph>> list;
  TemplateGraphs(kind, m, list);
  return list.size();
}

TEST(TemplateGraphs, NumberOfTemplatesByKindAndOrder) {
  EXPECT_EQ(Count(tkPath, 0), 1u);
  EXPECT_EQ(Count(tkPath, 6), 1u);
  EXPECT_EQ(Count(tkPath, -1), 0u);
  EXPECT_EQ(Count(tkCluster, 2), 0u);
  EXPECT_EQ(Count(tkCluster, 3), 1u);
  EXPECT_EQ(Count(tkCluster, 4), 1u);
  EXPECT_EQ(Count(tkCluster, 5), 2u);
  EXPECT_EQ(Count(tkCluster, 6), 2u);
  EXPECT_EQ(Count(tkCluster, 7), 0u);
  EXPECT_EQ(Count(tkPathCluster, 3), 0u);
  EXPECT_EQ(Count(tkPathCluster, 4), 1u);
  EXPECT_EQ(Count(tkPathCluster, 5), 3u);
  EXPECT_EQ(Count(tkPathCluster, 6), 8u);
  EXPECT_EQ(Count(tkChain, 2), 0u);
  EXPECT_EQ(Count(tkChain, 3), 1u);
  EXPECT_EQ(Count(tkChain, 8), 1u);
  EXPECT_EQ(Count(4, 3), 0u);
}

TEST(TemplateGraphs, VerticesAreNumberedAndEdgesMadeInTableOrder) {
  std::vector<Ptr<IGraph>> list;
  TemplateGraphs(tkPathCluster, 6, list);
  const IGraph& first = *list[0]; // (0,2) (0,3) (0,4) (1,2) (1,5) (1,6)
  ASSERT_EQ(first.VertexCount(), 7);
  const int expected[][2] = {{0, 2}, {0, 3}, {0, 4}, {1, 2}, {1, 5}, {1, 6}};
  ASSERT_EQ(first.EdgeCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(first.GetEdge(i)->GetVertex1()->GetIndex(), expected[i][0]);
    EXPECT_EQ(first.GetEdge(i)->GetVertex2()->GetIndex(), expected[i][1]);
  }
  EXPECT_EQ(dynamic_cast<const IParamList&>(first).Count(), 0); // no parameters
  std::vector<Ptr<IGraph>> ring;
  TemplateGraphs(tkChain, 5, ring);
  EXPECT_EQ(ring[0]->VertexCount(), 5);
  EXPECT_NE(ring[0]->GetEdgeBetween(4, 0), nullptr);
}

TEST(TemplateGraphs, TreeTemplatesOfEachOrderAreTheDistinctTreesOfThatSize) {
  // Trees with 5, 6 and 7 vertices: 3, 6 and 11 (OEIS A000055).
  const size_t trees[] = {0, 1, 1, 2, 3, 6, 11};
  for (int m = 1; m <= 6; ++m) {
    std::vector<Ptr<IGraph>> all;
    for (int kind : {tkPath, tkCluster, tkPathCluster})
      TemplateGraphs(kind, m, all);
    EXPECT_EQ(all.size(), m == 2 ? 1u : trees[m]) << m; // order 2: the path and the 2-star coincide
    std::vector<test::SmallGraph> shapes;
    for (const auto& t : all) {
      EXPECT_EQ(t->EdgeCount(), m);
      EXPECT_EQ(t->VertexCount(), m + 1);
      shapes.push_back(test::EdgesOf(AsSubGraph(*t)));
    }
    for (size_t i = 0; i < shapes.size(); ++i)
      for (size_t j = i + 1; j < shapes.size(); ++j)
        EXPECT_FALSE(test::Isomorphic(shapes[i], shapes[j])) << m;
  }
}

} // namespace
} // namespace corvatin
