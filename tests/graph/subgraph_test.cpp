// Sub-graphs: what they accept from their owner, removal, and that deleting items from the graph never leaves a
// sub-graph listing a released item.
#include "graph/model.h"
#include "graph/subgraph.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace corvatin {
namespace {

TEST(SubGraph, AddAnswersExistingIndexBringsEdgeEndsAndRefusesForeignItems) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  auto other = test::FromEdges(2, {{0, 1}});
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  EXPECT_EQ(sub->AddVertex(g->GetVertex(2)), 0);
  EXPECT_EQ(sub->AddVertex(g->GetVertex(0)), 1);
  EXPECT_EQ(sub->AddVertex(g->GetVertex(2)), 0);
  EXPECT_EQ(sub->AddVertex(other->GetVertex(0)), -1);
  EXPECT_EQ(sub->AddVertex(nullptr), -1);
  EXPECT_EQ(sub->AddEdge(other->GetEdge(0)), -1);
  EXPECT_EQ(sub->VertexCount(), 2);
  EXPECT_EQ(sub->InnerDegree(g->GetVertex(1)), 2); // counts neighbours listed, whether or not it is itself
  // An edge brings its ends, once.
  EXPECT_EQ(sub->AddEdge(g->GetEdge(1)), 0);
  EXPECT_EQ(sub->AddEdge(g->GetEdge(1)), 0);
  EXPECT_EQ(test::VertexIndices(*sub), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(sub->EdgeCount(), 1);
}

TEST(SubGraph, ASubGraphOfASubGraphTakesOnlyWhatItsOwnerHas) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  Ptr<ISubGraph> outer = g->CreateSubGraph();
  outer->AddEdge(g->GetEdge(0));
  Ptr<ISubGraph> inner = outer->CreateSubGraph();
  EXPECT_EQ(inner->GetOwner(), outer.get());
  EXPECT_EQ(inner->AddVertex(g->GetVertex(2)), -1);
  EXPECT_EQ(inner->AddEdge(g->GetEdge(1)), -1);
  EXPECT_EQ(inner->AddEdge(g->GetEdge(0)), 0);
  EXPECT_EQ(inner->VertexCount(), 2);
}

TEST(SubGraph, InducedEdgesAndInnerDegree) {
  auto g = test::Skeleton("C1CCC1C"); // square with a tail on vertex 3
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  for (int i : {0, 1, 3, 4})
    sub->AddVertex(g->GetVertex(i));
  sub->AddInducedEdges();
  EXPECT_EQ(sub->EdgeCount(), 3); // 0-1, 0-3, 3-4
  EXPECT_EQ(sub->InnerDegree(g->GetVertex(3)), 2);
  EXPECT_EQ(sub->InnerDegree(g->GetVertex(2)), 2); // counts neighbours listed, whether or not it is itself
  sub->AddEdgeBetween(0, 1);
  EXPECT_EQ(sub->EdgeCount(), 3);
  EXPECT_THROW(sub->AddEdgeBetween(0, 7), std::out_of_range);
}

TEST(SubGraph, SortedVertexListsCompareByGraphIndexAndFindByValueSkipsMissingParameters) {
  auto g = test::FromEdges(6, {});
  auto sub = std::dynamic_pointer_cast<IExtendedSubGraph>(g->CreateSubGraph());
  ASSERT_TRUE(sub);
  for (int i : {2, 0, 5})
    sub->AddVertex(g->GetVertex(i));
  auto other = std::dynamic_pointer_cast<IExtendedSubGraph>(g->CreateSubGraph());
  for (int i : {5, 2, 0})
    other->AddVertex(g->GetVertex(i));
  EXPECT_FALSE(sub->SameVertices(*other));
  sub->SortVertices();
  EXPECT_EQ(test::VertexIndices(*sub), (std::vector<int>{5, 2, 0}));
  EXPECT_TRUE(sub->SameVertices(*other));
  // A graph counts a missing parameter as 0, a sub-graph does not.
  g->SetVertexValues("Mark", 0);
  g->GetVertex(5)->SetFloat("Mark", 1);
  g->RemoveVertexParam("Mark");
  g->GetVertex(2)->SetFloat("Mark", 1);
  EXPECT_EQ(g->FindVertexByValue("Mark", 0), g->GetVertex(0));
  EXPECT_EQ(sub->FindVertexByValue("Mark", 0), nullptr);
  EXPECT_EQ(sub->FindVertexByValue("Mark", 1), g->GetVertex(2));
  g->SetVertexValues("Mark", 3);
  EXPECT_EQ(sub->FindVertexByValue("Mark", 3), g->GetVertex(5));
}

TEST(SubGraph, RemoveVertexTakesItsListedEdgesAlong) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  sub->AddEdge(g->GetEdge(0));
  sub->AddEdge(g->GetEdge(1));
  sub->RemoveVertex(g->GetVertex(1));
  EXPECT_EQ(sub->EdgeCount(), 0);
  EXPECT_EQ(test::VertexIndices(*sub), (std::vector<int>{0, 2}));
  sub->RemoveEdge(g->GetEdge(0)); // not listed: nothing happens
  EXPECT_EQ(sub->VertexCount(), 2);
}

TEST(SubGraph, TheGraphIsItsOwnSubGraphAndCannotBeChangedThroughIt) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  ISubGraph& self = *g;
  EXPECT_EQ(self.GetOwner(), nullptr);
  EXPECT_EQ(self.InnerDegree(g->GetVertex(1)), 2);
  self.RemoveVertex(g->GetVertex(1));
  self.RemoveEdge(g->GetEdge(0));
  EXPECT_EQ(self.AddVertex(g->GetVertex(2)), 2);
  EXPECT_EQ(g->VertexCount(), 3);
  EXPECT_EQ(g->EdgeCount(), 2);
  EXPECT_EQ(&AsSubGraph(static_cast<IGraph&>(*g)), &self);
}

// Deleting from the graph prunes every sub-graph, so none refers to a released item (the address sanitizer
// build turns any such reference into a failure).
TEST(SubGraphPruning, DeletingAVertexRemovesItAndItsEdgesFromSubGraphsAndEmptiesTheRingList) {
  auto g = test::Skeleton("C1CCCCC1");
  g->FindRings();
  ASSERT_EQ(g->RingCount(), 1);
  Ptr<ISubGraph> ring = g->GetRing(0)->SelfAs<ISubGraph>();
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  for (int i = 0; i < g->EdgeCount(); ++i) sub->AddEdge(g->GetEdge(i));
  Ptr<ISubGraph> inner = sub->CreateSubGraph();
  inner->AddEdge(g->GetEdge(0));
  g->DeleteVertexAt(0);
  EXPECT_EQ(g->RingCount(), 0);
  EXPECT_EQ(ring->EdgeCount(), 4); // a ring held elsewhere drops the released edges
  EXPECT_EQ(sub->VertexCount(), 5);
  EXPECT_EQ(sub->EdgeCount(), 4);
  EXPECT_EQ(inner->VertexCount(), 1);
  EXPECT_EQ(inner->EdgeCount(), 0);
  for (int i = 0; i < sub->EdgeCount(); ++i) EXPECT_GE(sub->GetEdge(i)->GetIndex(), 0);
  EXPECT_TRUE(g->DeleteEdge(g->GetEdge(1)));
  EXPECT_EQ(sub->EdgeCount(), 3);
}

TEST(SubGraphPruning, ClearEmptiesEverySubGraphAndTheGraphsValues) {
  auto g = test::Skeleton("CCO");
  g->SetString("Name", "ethanol");
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  sub->AddEdge(g->GetEdge(0));
  g->Clear();
  EXPECT_FALSE(g->HasParam("Name"));
  EXPECT_EQ(sub->VertexCount(), 0);
  EXPECT_EQ(sub->EdgeCount(), 0);
  EXPECT_EQ(sub->GetOwner(), g.get());
  EXPECT_EQ(sub->AddVertex(g->AddVertex()), 0); // still a sub-graph of the (now refilled) graph
}

} // namespace
} // namespace corvatin
