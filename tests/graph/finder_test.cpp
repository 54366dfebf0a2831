// The substructure finder: occurrence counts against an independent brute-force enumeration, duplicate
// handling, the match events, the degree pre-test and the order in which occurrences are offered.
#include "brute_force.h"
#include "graph/finder.h"
#include "graph/model.h"
#include "graph/templates.h"
#include "test_graphs.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace corvatin {
namespace {

int CountOccurrences(TGraphFinder& finder, const IGraph& pattern) {
  std::vector<Ptr<ISubGraph>> results;
  finder.FindAll(AsSubGraph(pattern), &results);
  return static_cast<int>(results.size());
}

// ------------------------------------------------------------------------- counts against brute force

struct Molecule {
  const char* name;
  const char* smiles; // heavy-atom skeleton
};

// Skeletons chosen for branching (isooctane, neopentane), rings alone and fused (cyclohexane, naphthalene,
// norbornane), a cage where every vertex lies on several rings (cubane) and two drug molecules.
const Molecule kMolecules[] = {
    {"isooctane", "CC(C)(C)CC(C)C"},      {"neopentane", "CC(C)(C)C"},
    {"methylcyclohexane", "CC1CCCCC1"},   {"naphthalene", "c1ccc2ccccc2c1"},
    {"norbornane", "C1CC2CCC1C2"},        {"cubane", "C12C3C4C1C5C2C3C45"},
    {"aspirin", "CC(=O)Oc1ccccc1C(=O)O"}, {"ibuprofen", "CC(C)Cc1ccc(cc1)C(C)C(=O)O"},
};

TEST(FinderCounts, EveryTemplateOfOrdersOneToSixMatchesTheBruteForceCount) {
  for (const Molecule& m : kMolecules) {
    auto g = test::Skeleton(m.smiles);
    const test::SmallGraph target = test::EdgesOf(*g);
    TGraphFinder finder;
    finder.SetTarget(g);
    for (int kind = tkPath; kind <= tkChain; ++kind)
      for (int order = 1; order <= 6; ++order) {
        std::vector<Ptr<IGraph>> templates;
        TemplateGraphs(kind, order, templates);
        for (size_t t = 0; t < templates.size(); ++t) {
          SCOPED_TRACE(std::string(m.name) + " kind " + std::to_string(kind) + " order " + std::to_string(order) +
                       " template " + std::to_string(t));
          const int expected = test::CountEdgeSubsets(target, test::EdgesOf(AsSubGraph(*templates[t])));
          EXPECT_EQ(CountOccurrences(finder, *templates[t]), expected);
        }
      }
  }
}

TEST(FinderCounts, DegreesCountOnlyTheTargetSubGraphsEdges) {
  // Ethanol with its six hydrogens; the hydrogen-suppressed graph is C-C-O.
  auto g = test::Skeleton("C(H)(H)(H)C(H)(H)OH");
  Ptr<ISubGraph> heavy = g->CreateSubGraph();
  heavy->AddEdge(g->GetEdgeBetween(0, 4));
  heavy->AddEdge(g->GetEdgeBetween(4, 7));
  std::vector<Ptr<IGraph>> path2;
  std::vector<Ptr<IGraph>> star3;
  TemplateGraphs(tkPath, 2, path2);
  TemplateGraphs(tkCluster, 3, star3);
  TGraphFinder finder;
  finder.SetTarget(heavy);
  EXPECT_EQ(CountOccurrences(finder, *path2[0]), 1);
  EXPECT_EQ(CountOccurrences(finder, *star3[0]), 0);
  finder.SetTarget(g);
  EXPECT_EQ(CountOccurrences(finder, *path2[0]), 13); // C(4,2) at each carbon + 1 at the oxygen
  EXPECT_EQ(CountOccurrences(finder, *star3[0]), 8);  // C(4,3) at each carbon
}

// --------------------------------------------------------------------------------------- reporting

TEST(FinderReporting, AnOccurrenceListsTargetItemsInPatternOrder) {
  auto target = test::Skeleton("CC(C)C"); // isobutane: centre 1
  auto pattern = test::FromEdges(3, {{1, 0}, {1, 2}});
  TGraphFinder finder;
  finder.SetTarget(target);
  std::vector<Ptr<ISubGraph>> results;
  ASSERT_TRUE(finder.FindAll(*pattern, &results));
  ASSERT_EQ(results.size(), 3u);
  for (const auto& match : results) {
    EXPECT_EQ(match->GetOwner(), static_cast<ISubGraph*>(target.get()));
    ASSERT_EQ(match->VertexCount(), 3);
    ASSERT_EQ(match->EdgeCount(), 2);
    EXPECT_EQ(match->GetVertex(1)->GetIndex(), 1); // pattern vertex 1 (the centre) second
    EXPECT_EQ(match->GetEdge(0), match->GetVertex(1)->GetEdgeTo(match->GetVertex(0)));
    EXPECT_EQ(match->GetEdge(1), match->GetVertex(1)->GetEdgeTo(match->GetVertex(2)));
  }
}

TEST(FinderReporting, ArrangementsAreTriedInLexicographicOrder) {
  // A path of two bonds anchored on its middle vertex, on the centre of a three-armed star: the two pattern
  // neighbours go onto (leaf a, leaf b) for the arrangements (0,1) (0,2) (1,0) (1,2) (2,0) (2,1).
  auto star = test::FromEdges(4, {{0, 1}, {0, 2}, {0, 3}});
  auto path = test::FromEdges(3, {{0, 1}, {1, 2}});
  TGraphFinder finder;
  finder.SetTarget(star);
  finder.SetAllowDuplicates(true);
  std::vector<std::vector<int>> seen;
  finder.OnMatch = [&](const Ptr<ISubGraph>& match, bool&, bool&) { seen.push_back(test::VertexIndices(*match)); };
  EXPECT_TRUE(finder.MatchAt(*path, 1, 0));
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{1, 0, 2}, {1, 0, 3}, {2, 0, 1}, {2, 0, 3}, {3, 0, 1}, {3, 0, 2}}));
  seen.clear();
  finder.SetAllowDuplicates(false);
  EXPECT_TRUE(finder.MatchAt(*path, 1, 0));
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{1, 0, 2}, {1, 0, 3}, {2, 0, 3}}));
}

TEST(FinderReporting, OneOccurrencePerEdgeSetUnlessDuplicatesReportEachMappingOnce) {
  std::vector<Ptr<IGraph>> path3;
  TemplateGraphs(tkPath, 3, path3);
  struct Case {
    const char* what;
    Ptr<TGraph> target;
    const IGraph* pattern;
    int unique, duplicates;
  };
  auto triangle = test::Skeleton("C1CC1");
  auto vertex = test::FromEdges(1, {});
  const Case cases[] = {
      {"a single vertex on ethanol", test::Skeleton("CCO"), vertex.get(), 1, 3},
      // Each automorphism once, not once per level of the walk.
      {"the six mappings of a triangle", triangle, triangle.get(), 1, 6},
      // Paths of three bonds in butane: forwards and backwards over one edge set.
      {"a path of three bonds in butane", test::Skeleton("CCCC"), path3[0].get(), 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TGraphFinder finder;
    finder.SetTarget(c.target);
    EXPECT_EQ(CountOccurrences(finder, *c.pattern), c.unique);
    finder.SetAllowDuplicates(true);
    EXPECT_EQ(CountOccurrences(finder, *c.pattern), c.duplicates);
  }
}

// ------------------------------------------------------------------------------------------- events

TEST(FinderEvents, ClearingContinueStopsAfterTheFirstOccurrenceAndClearingAcceptAcceptsNone) {
  auto target = test::Skeleton("CC(C)(C)C");
  std::vector<Ptr<IGraph>> path2;
  TemplateGraphs(tkPath, 2, path2);
  for (bool clearContinue : {true, false}) {
    SCOPED_TRACE(clearContinue ? "continue cleared" : "accept cleared");
    TGraphFinder finder;
    finder.SetTarget(target);
    int calls = 0;
    finder.OnMatch = [&](const Ptr<ISubGraph>&, bool& cont, bool& accept) {
      ++calls;
      (clearContinue ? cont : accept) = false;
    };
    std::vector<Ptr<ISubGraph>> results;
    EXPECT_EQ(finder.FindAll(AsSubGraph(*path2[0]), &results), clearContinue);
    EXPECT_EQ(finder.GetFound(), clearContinue);
    EXPECT_EQ(calls, clearContinue ? 1 : 6); // C(4, 2) pairs of arms
    EXPECT_EQ(results.size(), clearContinue ? 1u : 0u);
  }
}

TEST(FinderEvents, ATargetVertexOfSmallerDegreeIsNeverOffered) {
  auto path = test::Chain(5);
  std::vector<Ptr<IGraph>> star3;
  TemplateGraphs(tkCluster, 3, star3);
  TGraphFinder finder;
  finder.SetTarget(path);
  int offered = 0;
  finder.OnCompareVertices = [&](IVertex* p, IVertex* t, bool& accept) {
    EXPECT_GE(t->NeighbourCount(), p->NeighbourCount());
    ++offered;
    accept = true;
  };
  EXPECT_EQ(CountOccurrences(finder, *star3[0]), 0);
  EXPECT_EQ(offered, 0); // the star's centre (degree 3) meets only vertices of degree 2 or 1
}

TEST(FinderEvents, VertexAndEdgeTestsNarrowTheMatches) {
  auto target = test::Skeleton("CCOC");
  target->GetVertex(2)->SetString("Symbol", "O");
  target->GetEdge(1)->SetFloat("Kind", 1);
  auto pattern = test::FromEdges(2, {{0, 1}});
  pattern->GetVertex(1)->SetString("Symbol", "O");
  TGraphFinder finder;
  finder.SetTarget(target);
  finder.OnCompareVertices = [](IVertex* p, IVertex* t, bool& accept) {
    accept = p->GetString("Symbol").empty() || p->GetString("Symbol") == t->GetString("Symbol");
  };
  EXPECT_EQ(CountOccurrences(finder, *pattern), 2); // C-O both sides
  finder.OnCompareEdges = [](IEdge*, IEdge* t, bool& accept) { accept = t->GetFloat("Kind") == 1; };
  EXPECT_EQ(CountOccurrences(finder, *pattern), 1);
}

TEST(FinderEvents, MatchAtAnchorsOnePatternVertexAndWithoutTargetOrResultsNothingIsAccepted) {
  auto target = test::Skeleton("CC(C)C");
  auto bond = test::FromEdges(2, {{0, 1}});
  TGraphFinder finder;
  std::vector<Ptr<ISubGraph>> results;
  EXPECT_FALSE(finder.FindAll(*bond, &results)); // no target
  EXPECT_THROW(finder.MatchAt(*bond, 0, 0), std::out_of_range);
  finder.SetTarget(target);
  EXPECT_FALSE(finder.FindAll(*bond)); // no match event, no results
  int calls = 0;
  finder.OnMatch = [&](const Ptr<ISubGraph>& match, bool&, bool&) {
    ++calls;
    EXPECT_EQ(match->GetVertex(0)->GetIndex(), 0);
  };
  EXPECT_TRUE(finder.MatchAt(*bond, 0, 0));
  EXPECT_EQ(calls, 1);
  EXPECT_THROW(finder.MatchAt(*bond, 2, 0), std::out_of_range);
  EXPECT_THROW(finder.MatchAt(*bond, 0, 4), std::out_of_range);
}

// ------------------------------------------------------------------------------------------- target

TEST(FinderTarget, TheNodeTableIsASnapshotUntilTheTargetIsSetAnewAndNeverTouchesAReleasedVertex) {
  auto g = test::Chain(3);
  auto vertex = test::FromEdges(1, {});
  TGraphFinder finder;
  finder.SetAllowDuplicates(true);
  finder.SetTarget(g);
  g->AddVertex();
  finder.SetTarget(g); // the same target: the table stays
  EXPECT_EQ(CountOccurrences(finder, *vertex), 3);
  finder.SetTarget(nullptr);
  finder.SetTarget(g);
  EXPECT_EQ(CountOccurrences(finder, *vertex), 4);
  g->DeleteVertexAt(0);
  std::vector<Ptr<ISubGraph>> results;
  finder.FindAll(*vertex, &results);
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(results[0]->VertexCount(), 0); // the deleted vertex is refused by the new sub-graph
  EXPECT_EQ(results[1]->VertexCount(), 1);
}

} // namespace
} // namespace corvatin
