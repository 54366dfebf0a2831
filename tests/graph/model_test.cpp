// The graph model: building, deleting and renumbering, change notification, and that no back link outlives
// the item it points to.
#include "graph/model.h"
#include "graph/subgraph.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <any>
#include <stdexcept>
#include <vector>

namespace corvatin {
namespace {

/// Records every change announcement (its kind) heard on a notifier.
class ChangeRecorder : public IListener {
public:
  void Notify(int eventCode, IObject*, const std::any& data) override {
    if (eventCode == geGraphChanged) kinds.push_back(std::any_cast<int>(data));
  }
  std::vector<int> kinds;
};

class GraphNotification : public ::testing::Test {
protected:
  void SetUp() override { graph->Notifier().Subscribe(geGraphChanged, &recorder); }
  void TearDown() override { graph->Notifier().RemoveListener(&recorder); }
  std::shared_ptr<TGraph> graph = std::make_shared<TGraph>();
  ChangeRecorder recorder;
};

// ------------------------------------------------------------------------------------------- building

TEST(GraphBuilding, ConnectRefusesLoopsSecondEdgesAndForeignVertices) {
  auto g = test::FromEdges(2, {{0, 1}});
  IVertex* a = g->GetVertex(0);
  IVertex* b = g->GetVertex(1);
  EXPECT_EQ(g->Connect(a, a), nullptr);
  EXPECT_EQ(g->Connect(a, b), nullptr);
  EXPECT_EQ(g->Connect(b, a), nullptr);
  EXPECT_EQ(g->EdgeCount(), 1);
  EXPECT_EQ(a->NeighbourCount(), 1);
  auto other = test::FromEdges(1, {});
  EXPECT_EQ(g->Connect(a, other->GetVertex(0)), nullptr);
  EXPECT_EQ(g->Connect(a, nullptr), nullptr);
  // A direct call cannot plant a link to a foreign vertex either.
  a->AddNeighbour(other->GetVertex(0), nullptr);
  EXPECT_EQ(a->NeighbourCount(), 1);
}

TEST(GraphBuilding, NeighbourAndEdgeListsStayParallelAndEdgesAreAdjacentToThemselves) {
  auto g = test::FromEdges(4, {{0, 1}, {0, 2}, {3, 0}});
  IVertex* v = g->GetVertex(0);
  ASSERT_EQ(v->NeighbourCount(), 3);
  for (int i = 0; i < v->NeighbourCount(); ++i)
    EXPECT_EQ(v->GetEdge(i)->GetOtherVertex(v), v->GetNeighbour(i));
  EXPECT_EQ(v->GetEdgeTo(g->GetVertex(3)), g->GetEdge(2));
  EXPECT_EQ(g->GetEdgeBetween(2, 0), g->GetEdge(1));
  EXPECT_EQ(g->GetEdgeBetween(1, 2), nullptr);
  // Edge adjacency includes the edge itself; the other end of a non-end is Vertex1.
  EXPECT_TRUE(g->GetEdge(0)->IsAdjacentTo(g->GetEdge(0)));
  EXPECT_TRUE(g->GetEdge(0)->IsAdjacentTo(g->GetEdge(1)));
  auto path = test::FromEdges(4, {{0, 1}, {1, 2}, {2, 3}});
  EXPECT_FALSE(path->GetEdge(0)->IsAdjacentTo(path->GetEdge(2)));
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

TEST(GraphBuilding, AddGraphAppendsACopyAndRecordsTheNewItems) {
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
  EXPECT_TRUE(g->GetVertex(2)->IsAdjacent(g->GetVertex(3)));
  EXPECT_TRUE(g->GetVertex(3)->IsAdjacent(g->GetVertex(4)));
  EXPECT_EQ(g->GetVertex(3)->GetFloat("Charge"), -1);
  EXPECT_EQ(g->GetEdge(2)->GetString("Bond Type"), "=");
  // Values are cloned: changing the copy leaves the source alone.
  g->GetVertex(3)->SetFloat("Charge", 2);
  EXPECT_EQ(source->GetVertex(1)->GetFloat("Charge"), -1);
}

TEST(GraphBuilding, AddGraphOfItselfCopiesOnce) {
  auto g = test::FromEdges(2, {{0, 1}});
  g->AddGraph(*g, nullptr);
  EXPECT_EQ(g->VertexCount(), 4);
  EXPECT_EQ(g->EdgeCount(), 2);
  EXPECT_NE(g->GetEdgeBetween(2, 3), nullptr);
}

TEST(GraphBuilding, FindVertexByValueCountsAMissingParameterAsZeroOnTheGraphOnly) {
  auto g = test::FromEdges(2, {});
  g->GetVertex(0)->SetFloat("Mark", 1);
  EXPECT_EQ(g->FindVertexByValue("Mark", 0), g->GetVertex(1));
  EXPECT_EQ(g->FindVertexByValue("Mark", 1), g->GetVertex(0));
  Ptr<ISubGraph> sub = g->CreateSubGraph();
  sub->AddVertex(g->GetVertex(1));
  sub->AddVertex(g->GetVertex(0));
  EXPECT_EQ(sub->FindVertexByValue("Mark", 0), nullptr);
  EXPECT_EQ(sub->FindVertexByValue("Mark", 1), g->GetVertex(0));
}

// ------------------------------------------------------------------------------------ deleting, renumbering

TEST(GraphDeletion, DeletingTheFirstVertexOfAPathRenumbersTheRest) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  IVertex* b = g->GetVertex(1);
  IVertex* c = g->GetVertex(2);
  IEdge* bc = g->GetEdge(1);
  g->DeleteVertexAt(0);
  ASSERT_EQ(g->VertexCount(), 2);
  ASSERT_EQ(g->EdgeCount(), 1);
  EXPECT_EQ(g->GetVertex(0), b);
  EXPECT_EQ(g->GetVertex(1), c);
  EXPECT_EQ(b->GetIndex(), 0);
  EXPECT_EQ(c->GetIndex(), 1);
  EXPECT_EQ(g->GetEdge(0), bc);
  EXPECT_EQ(bc->GetIndex(), 0);
  EXPECT_EQ(b->NeighbourCount(), 1);
  EXPECT_EQ(g->IndexOfVertex(c), 1);
}

TEST(GraphDeletion, DeletingAMiddleEdgeRenumbersLaterEdges) {
  auto g = test::FromEdges(4, {{0, 1}, {1, 2}, {2, 3}});
  IEdge* last = g->GetEdge(2);
  EXPECT_TRUE(g->Disconnect(2, 1));
  EXPECT_FALSE(g->Disconnect(2, 1));
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
  EXPECT_EQ(sub->VertexCount(), 0);
  EXPECT_EQ(sub->EdgeCount(), 0);
  EXPECT_EQ(sub->GetOwner(), nullptr);
  EXPECT_EQ(inner->VertexCount(), 0);
  EXPECT_EQ(inner->GetOwner(), sub.get()); // kept alive by the inner sub-graph
}

TEST(GraphDeletion, ClearEmptiesItemsRingsAndParameters) {
  auto g = test::Skeleton("C1CC1");
  g->SetString("Name", "cyclopropane");
  g->FindRings();
  ASSERT_EQ(g->RingCount(), 1);
  g->Clear();
  EXPECT_EQ(g->VertexCount(), 0);
  EXPECT_EQ(g->EdgeCount(), 0);
  EXPECT_EQ(g->RingCount(), 0);
  EXPECT_FALSE(g->HasParam("Name"));
}

// ------------------------------------------------------------------------------------------ notification

TEST_F(GraphNotification, NestedBracketsDeliverOnlyTheLargestKindOnce) {
  graph->BeginUpdate();
  graph->BeginUpdate();
  graph->AddVertex();
  graph->AddVertex();
  graph->EndUpdate();
  EXPECT_TRUE(recorder.kinds.empty()); // the inner bracket closing delivers nothing
  graph->AddVertex();
  graph->GetVertex(0)->SetX(1.0);
  graph->EndUpdate();
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcTopology}));
}

TEST_F(GraphNotification, ACoordinateOnlyBracketDeliversKindTwoAndAnEmptyOneNothing) {
  graph->AddVertex();
  recorder.kinds.clear();
  graph->BeginUpdate();
  graph->GetVertex(0)->SetX(1.0);
  graph->GetVertex(0)->SetY(2.0);
  graph->EndUpdate();
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcCoordinates}));
  // An empty bracket delivers nothing; an unmatched end is ignored.
  graph->BeginUpdate();
  graph->EndUpdate();
  graph->EndUpdate();
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcCoordinates}));
  graph->BeginUpdate();
  graph->AddVertex();
  graph->EndUpdate();
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcCoordinates, gcTopology}));
}

TEST_F(GraphNotification, ABracketReportsClearAboveTopology) {
  graph->BeginUpdate();
  graph->AddVertex();
  graph->Clear();
  graph->AddVertex();
  graph->EndUpdate();
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcCleared}));
  EXPECT_EQ(graph->PendingChanges(), gcCleared);
}

TEST_F(GraphNotification, ChangesOutsideABracketAreAnnouncedAtOnceAVertexDeletionOnce) {
  graph->AddVertex();
  graph->AddVertex();
  graph->GetVertex(1)->SetZ(3.0);
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcTopology, gcTopology, gcCoordinates}));
  graph->AddVertex();
  graph->ConnectIndices(0, 1);
  graph->ConnectIndices(1, 2);
  recorder.kinds.clear();
  graph->DeleteVertexAt(1); // with its edges: one announcement
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcTopology}));
}

TEST_F(GraphNotification, ItemsAnnounceOnTheirOwnNotifierAndThroughTheGraph) {
  graph->AddVertices(2);
  IEdge* e = graph->ConnectIndices(0, 1);
  recorder.kinds.clear();
  ChangeRecorder edgeListener;
  auto* edge = dynamic_cast<TEdge*>(e);
  ASSERT_NE(edge, nullptr);
  edge->Notifier().Subscribe(geGraphChanged, &edgeListener);
  edge->Changed(gcIdentity); // how a bond reports a new bond kind
  EXPECT_EQ(edgeListener.kinds, (std::vector<int>{gcIdentity}));
  EXPECT_EQ(recorder.kinds, (std::vector<int>{gcIdentity}));
  edge->Notifier().RemoveListener(&edgeListener);
}

} // namespace
} // namespace corvatin
