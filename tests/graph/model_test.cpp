// The graph model: building, deleting and renumbering, change notification, and that no back link outlives
// the item it points to.
#include "graph/model.h"
#include "graph/subgraph.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <any>
#include <functional>
#include <stdexcept>
#include <vector>

namespace corvatin {
namespace {

TEST(GraphBuilding, ConnectRefusesLoopsSecondEdgesAndForeignVertices) {
  auto g = test::FromEdges(2, {{0, 1}});
  IVertex* a = g->GetVertex(0);
  IVertex* b = g->GetVertex(1);
  auto other = test::FromEdges(1, {});
  for (auto [x, y] : {std::pair{a, a}, {a, b}, {b, a}, {a, other->GetVertex(0)}, {a, nullptr}})
    EXPECT_EQ(g->Connect(x, y), nullptr);
  a->AddNeighbour(other->GetVertex(0), nullptr); // a direct call cannot plant a link to a foreign vertex either
  EXPECT_EQ(g->EdgeCount(), 1);
  EXPECT_EQ(a->NeighbourCount(), 1);
}

TEST(GraphBuilding, NeighbourAndEdgeListsStayParallelAndEdgesAreAdjacentToThemselves) {
  auto g = test::FromEdges(4, {{0, 1}, {0, 2}, {3, 0}});
  IVertex* v = g->GetVertex(0);
  ASSERT_EQ(v->NeighbourCount(), 3);
  for (int i = 0; i < v->NeighbourCount(); ++i) EXPECT_EQ(v->GetEdge(i), v->GetEdgeTo(v->GetNeighbour(i)));
  EXPECT_EQ(v->GetEdgeTo(g->GetVertex(3)), g->GetEdge(2));
  EXPECT_EQ(g->GetEdgeBetween(2, 0), g->GetEdge(1));
  EXPECT_EQ(g->GetEdgeBetween(1, 2), nullptr);
  EXPECT_TRUE(g->GetEdge(0)->IsAdjacentTo(g->GetEdge(0)));
  EXPECT_TRUE(g->GetEdge(0)->IsAdjacentTo(g->GetEdge(1)));
  auto path = test::FromEdges(4, {{0, 1}, {1, 2}, {2, 3}});
  EXPECT_FALSE(path->GetEdge(0)->IsAdjacentTo(path->GetEdge(2)));
  EXPECT_EQ(path->GetEdge(0)->GetOtherVertex(path->GetVertex(0)), path->GetVertex(1));
  EXPECT_EQ(path->GetEdge(0)->GetOtherVertex(path->GetVertex(3)), path->GetVertex(0));
}

TEST(GraphBuilding, IndicesOutOfRangeThrow) {
  auto g = test::FromEdges(2, {{0, 1}});
  EXPECT_THROW(g->GetVertex(2), std::out_of_range);
  EXPECT_THROW(g->GetVertex(-1), std::out_of_range);
  EXPECT_THROW(g->GetEdge(1), std::out_of_range);
  EXPECT_THROW(g->ConnectIndices(0, 5), std::out_of_range);
  EXPECT_THROW(g->DeleteVertexAt(2), std::out_of_range);
  EXPECT_THROW(g->GetRing(0), std::out_of_range);
  EXPECT_THROW(g->GetVertex(0)->GetNeighbour(1), std::out_of_range);
}

TEST(GraphBuilding, AddGraphAppendsACopyOnceAndRecordsTheNewItems) {
  auto source = test::FromEdges(3, {{0, 1}, {1, 2}});
  source->GetVertex(1)->SetFloat("Charge", -1);
  source->GetEdge(1)->SetString("Bond Type", "=");
  auto g = test::FromEdges(2, {{0, 1}});
  Ptr<ISubGraph> record = g->CreateSubGraph();
  g->AddGraph(*source, record.get());
  ASSERT_EQ(g->VertexCount(), 5);
  ASSERT_EQ(g->EdgeCount(), 3);
  EXPECT_EQ(test::VertexIndices(*record), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(test::EdgeIndices(*record), (std::vector<int>{1, 2}));
  EXPECT_TRUE(g->GetVertex(2)->IsAdjacent(g->GetVertex(3)) && g->GetVertex(3)->IsAdjacent(g->GetVertex(4)));
  EXPECT_EQ(g->GetVertex(3)->GetFloat("Charge"), -1);
  EXPECT_EQ(g->GetEdge(2)->GetString("Bond Type"), "=");
  g->GetVertex(3)->SetFloat("Charge", 2); // values are cloned
  EXPECT_EQ(source->GetVertex(1)->GetFloat("Charge"), -1);
  g->AddGraph(*g, nullptr); // itself: copied once
  EXPECT_EQ(g->VertexCount(), 10);
  EXPECT_EQ(g->EdgeCount(), 6);
  EXPECT_NE(g->GetEdgeBetween(8, 9), nullptr);
}

TEST(GraphDeletion, DeletingAVertexOrAnEdgeRenumbersTheRest) {
  auto g = test::FromEdges(5, {{0, 1}, {1, 2}, {2, 3}, {3, 4}});
  IVertex* b = g->GetVertex(1);
  IEdge* last = g->GetEdge(3);
  g->DeleteVertexAt(0);
  ASSERT_EQ(g->VertexCount(), 4);
  ASSERT_EQ(g->EdgeCount(), 3);
  EXPECT_EQ(g->GetVertex(0), b);
  EXPECT_EQ(b->GetIndex(), 0);
  EXPECT_EQ(g->GetEdge(0)->GetIndex(), 0);
  EXPECT_EQ(g->IndexOfVertex(g->GetVertex(3)), 3);
  EXPECT_EQ(b->NeighbourCount(), 1);
  EXPECT_EQ(last->GetIndex(), 2);
  EXPECT_TRUE(g->Disconnect(1, 2));
  EXPECT_FALSE(g->Disconnect(1, 2));
  EXPECT_EQ(last->GetIndex(), 1);
  EXPECT_EQ(g->IndexOfEdge(last), 1);
  EXPECT_FALSE(g->GetVertex(1)->IsAdjacent(g->GetVertex(2)));
}

TEST(GraphDeletion, AVertexHeldBeyondDeletionIsDetached) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  Ptr<IVertex> held = g->GetVertex(1)->SelfAs<IVertex>();
  Ptr<IEdge> edge = g->GetEdge(0)->SelfAs<IEdge>();
  g->DeleteVertex(held.get());
  EXPECT_EQ(held->GetGraph(), nullptr);
  EXPECT_EQ(held->GetIndex(), -1);
  EXPECT_EQ(held->NeighbourCount(), 0);
  EXPECT_EQ(edge->GetGraph(), nullptr);
  EXPECT_EQ(edge->GetVertex1(), nullptr);
  EXPECT_EQ(g->IndexOfVertex(held.get()), -1);
  EXPECT_FALSE(g->DeleteEdge(edge.get()));
  g->DeleteVertex(held.get()); // a second delete changes nothing
  EXPECT_EQ(g->VertexCount(), 2);
}

TEST(GraphDeletion, ItemsAndSubGraphsOutlivingTheGraphAreLeftEmptyAndUnbound) {
  Ptr<IVertex> vertex;
  Ptr<ISubGraph> sub;
  Ptr<ISubGraph> inner;
  {
    auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
    vertex = g->GetVertex(1)->SelfAs<IVertex>();
    sub = g->CreateSubGraph();
    sub->AddEdge(g->GetEdge(0));
    inner = sub->CreateSubGraph();
    inner->AddVertex(g->GetVertex(0));
    g->FindRings();
  }
  EXPECT_EQ(vertex->GetGraph(), nullptr);
  EXPECT_EQ(vertex->NeighbourCount(), 0);
  EXPECT_EQ(sub->VertexCount() + sub->EdgeCount() + inner->VertexCount(), 0);
  EXPECT_EQ(sub->GetOwner(), nullptr);
  EXPECT_EQ(inner->GetOwner(), sub.get()); // kept alive by the inner sub-graph
}

TEST(GraphNotification, ChangesAreAnnouncedAtOnceOrOnceAtTheOutermostBracketWithTheLargestKind) {
  const struct {
    const char* what;
    std::function<void(TGraph&, test::ChangeRecorder&)> changes;
    std::vector<int> kinds;
  } cases[] = {
      {"nested brackets",
       [](TGraph& g, test::ChangeRecorder& r) {
         g.BeginUpdate();
         g.BeginUpdate();
         g.AddVertex();
         g.EndUpdate();
         EXPECT_TRUE(r.kinds.empty()); // the inner bracket closing delivers nothing
         g.GetVertex(0)->SetX(1.0);
         g.EndUpdate();
       },
       {gcTopology}},
      {"coordinates only, then an empty bracket and an unmatched end",
       [](TGraph& g, test::ChangeRecorder&) {
         g.BeginUpdate();
         g.GetVertex(0)->SetX(1.0);
         g.GetVertex(0)->SetY(2.0);
         g.EndUpdate();
         g.BeginUpdate();
         g.EndUpdate();
         g.EndUpdate();
         g.BeginUpdate();
         g.AddVertex();
         g.EndUpdate();
       },
       {gcCoordinates, gcTopology}},
      {"a clear reported above topology",
       [](TGraph& g, test::ChangeRecorder&) {
         g.BeginUpdate();
         g.AddVertex();
         g.Clear();
         g.AddVertex();
         EXPECT_EQ(g.PendingChanges(), gcCleared);
         g.EndUpdate();
       },
       {gcCleared}},
      {"outside a bracket, at once",
       [](TGraph& g, test::ChangeRecorder&) {
         g.AddVertex();
         g.GetVertex(1)->SetZ(3.0);
       },
       {gcTopology, gcCoordinates}},
      {"a vertex deleted with its edges, once",
       [](TGraph& g, test::ChangeRecorder& r) {
         g.AddVertices(2);
         g.ConnectIndices(0, 1);
         g.ConnectIndices(1, 2);
         r.kinds.clear();
         g.DeleteVertexAt(1);
       },
       {gcTopology}},
      {"an edge's announcement on its own notifier and through the graph",
       [](TGraph& g, test::ChangeRecorder& r) {
         auto* edge = dynamic_cast<TEdge*>(g.ConnectIndices(0, g.AddVertex()->GetIndex()));
         ASSERT_NE(edge, nullptr);
         test::ChangeRecorder own;
         edge->Notifier().Subscribe(geGraphChanged, &own);
         r.kinds.clear();
         edge->Changed(gcIdentity); // how a bond reports a new bond kind
         edge->Notifier().RemoveListener(&own);
         EXPECT_EQ(own.kinds, std::vector<int>{gcIdentity});
       },
       {gcIdentity}},
  };
  for (const auto& c : cases) {
    auto g = test::FromEdges(1, {});
    test::ChangeRecorder recorder;
    g->Notifier().Subscribe(geGraphChanged, &recorder);
    c.changes(*g, recorder);
    g->Notifier().RemoveListener(&recorder);
    EXPECT_EQ(recorder.kinds, c.kinds) << c.what;
  }
}

} // namespace
} // namespace corvatin
