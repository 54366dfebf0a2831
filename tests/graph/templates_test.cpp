// Template graphs for subgraph counts: together they are exactly the distinct trees of each order (the numbers
// of unlabelled trees are OEIS A000055).
#include "brute_force.h"
#include "graph/templates.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvatin {
namespace {

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
