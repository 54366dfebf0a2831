// The force-directed layout: fixed vertices stay, free ones settle where repulsion k_r / d balances the edge
// spring k_a d, the start placement and the single notification of the write-back.
#include "graph/layout.h"
#include "graph/model.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <vector>

namespace corvatin {
namespace {

double Distance(const IVertex* a, const IVertex* b) {
  return std::hypot(a->GetX() - b->GetX(), a->GetY() - b->GetY(), a->GetZ() - b->GetZ());
}

TEST(LayoutRelaxation, TwoVerticesSettleWhereRepulsionBalancesTheSpring) {
  // One edge: 2 x 0.2 d (both ends pulled) against 2 x 5e-5 / d gives d^2 = 5e-5 / 0.2, d = 0.0158.
  auto g = test::FromEdges(2, {{0, 1}});
  g->GetVertex(0)->SetX(-0.1);
  g->GetVertex(1)->SetX(0.2);
  OptimizeLayout(*g, false, false, true);
  EXPECT_NEAR(Distance(g->GetVertex(0), g->GetVertex(1)), std::sqrt(kLayoutRepulsion / kLayoutAttraction), 1e-3);
  EXPECT_TRUE(g->GetVertex(0)->GetPositioned());
  EXPECT_TRUE(g->GetVertex(1)->GetPositioned());
}

TEST(LayoutRelaxation, PositionedVerticesStayFixed) {
  auto g = test::FromEdges(3, {{0, 1}, {1, 2}});
  g->GetVertex(0)->SetX(0.3);
  g->GetVertex(0)->SetY(-0.2);
  g->GetVertex(2)->SetX(-0.3);
  g->GetVertex(1)->SetY(0.05); // Y alone leaves it free
  OptimizeLayout(*g, false, false, false);
  EXPECT_DOUBLE_EQ(g->GetVertex(0)->GetX(), 0.3);
  EXPECT_DOUBLE_EQ(g->GetVertex(0)->GetY(), -0.2);
  EXPECT_DOUBLE_EQ(g->GetVertex(2)->GetX(), -0.3);
  // The free middle vertex is pulled between its two fixed neighbours.
  EXPECT_NEAR(g->GetVertex(1)->GetX(), 0.0, 0.02);
}

TEST(LayoutRelaxation, CoincidentVerticesAreSeparatedAndAnEmptyGraphIsLeftAlone) {
  auto g = test::FromEdges(2, {});
  OptimizeLayout(*g, false, false, false);
  EXPECT_GT(Distance(g->GetVertex(0), g->GetVertex(1)), 0.0);
  TGraph empty;
  OptimizeLayout(empty, true, true, true);
  EXPECT_EQ(empty.VertexCount(), 0);
}

TEST(LayoutStart, InitialPlacementPutsAFreeVertexBetweenAnEighthAndAQuarterInThePlane) {
  // A lone vertex feels no force, so where it ends is where it started.
  TGraph g;
  IVertex* v = g.AddVertex();
  v->SetZ(0.7);
  OptimizeLayout(g, true, false, false);
  const double r = std::hypot(v->GetX(), v->GetY());
  EXPECT_GT(r, 0.0);
  EXPECT_LT(r, 0.25);
  EXPECT_EQ(v->GetZ(), 0.0);
  EXPECT_TRUE(v->GetPositioned());
}

TEST(LayoutStart, PositionedVerticesKeepTheirPlaceUnlessAllMove) {
  auto g = test::FromEdges(2, {{0, 1}});
  g->GetVertex(0)->SetX(0.4);
  OptimizeLayout(*g, true, false, false);
  EXPECT_DOUBLE_EQ(g->GetVertex(0)->GetX(), 0.4);
  OptimizeLayout(*g, true, false, true);
  EXPECT_NE(g->GetVertex(0)->GetX(), 0.4) << "moveAll frees it and gives it a new start";
}

TEST(LayoutWriteBack, ResultIsAnnouncedOnceAsACoordinateChange) {
  auto g = test::Chain(4);
  test::ChangeRecorder recorder;
  g->Notifier().Subscribe(geGraphChanged, &recorder);
  OptimizeLayout(*g, true, false, true);
  g->Notifier().RemoveListener(&recorder);
  // The random start writes coordinates vertex by vertex; the relaxed result arrives in one bracket.
  ASSERT_FALSE(recorder.kinds.empty());
  EXPECT_EQ(recorder.kinds.back(), gcCoordinates);
}

TEST(LayoutPostStep, EvensOutTheEdgeLengths) {
  // A star's spokes and a chain's links come out of the spring model at different lengths; the post step draws
  // every edge to the mean.
  auto g = test::FromEdges(7, {{0, 1}, {0, 2}, {0, 3}, {3, 4}, {4, 5}, {5, 6}});
  OptimizeLayout(*g, true, true, true);
  double shortest = 1e9, longest = 0;
  for (int i = 0; i < g->EdgeCount(); ++i) {
    const double d = Distance(g->GetEdge(i)->GetVertex1(), g->GetEdge(i)->GetVertex2());
    shortest = std::min(shortest, d);
    longest = std::max(longest, d);
  }
  EXPECT_LT(longest - shortest, 0.01 * longest);
}

} // namespace
} // namespace corvatin
