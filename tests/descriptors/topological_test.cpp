// The topological and physicochemical blocks beyond the reference tables: the subgraph census against the
// substructure finder's occurrences of every path, cluster, path-cluster and chain template (Kier and Hall's kinds)
// on awkward ring systems and random molecules, and its limit; structures without heavy bonds, failures that must
// leave nothing behind, plain graphs, sums that leave hydrogens out.

#include "core/errors.h"
#include "descriptor_test_util.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/kappa.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"
#include "descriptors/topsmode.h"
#include "graph/model.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

/// A plain graph of n + 1 vertices: a path, or a star around vertex 0.
Ptr<TGraph> Graph(int n, bool star) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(n + 1);
  for (int i = 1; i <= n; ++i)
    g->ConnectIndices(star ? 0 : i - 1, i);
  return g;
}

void ExpectSameAsFinder(const Ptr<IMolecule>& m, const std::string& what) {
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(*m));
  const TAtomDeltas d = AtomDeltas(graph);
  const TSubgraphSums fast = SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree);
  const TSubgraphSums slow = test::FinderCensus(WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false));
  for (size_t r = 0; r < kSubgraphOrders; ++r)
    for (size_t c = 0; c < kSubgraphKinds; ++c) {
      SCOPED_TRACE(what + " order " + std::to_string(r + 1) + " kind " + std::to_string(c));
      EXPECT_EQ(fast.count[r][c], slow.count[r][c]);
      for (auto sums : {&TSubgraphSums::vertex1, &TSubgraphSums::vertex2, &TSubgraphSums::edge}) {
        const double want = static_cast<double>((slow.*sums)[r][c]);
        EXPECT_NEAR(static_cast<double>((fast.*sums)[r][c]), want, 1e-12 * std::max(1.0, std::fabs(want)));
      }
    }
}

TEST(SubgraphCensus, MatchesTheTemplateOccurrencesOnRingSystemsAndRandomMolecules) {
  for (const char* smiles : {
           "C1CC1CC",                 // three-ring: closes on itself, never a path
           "C12CC1C2",                // bicyclo[1.1.0]butane: fused three-rings
           "C12C3C1C23",              // tetrahedrane: every pair bonded
           "C12C3C4C1C5C2C3C45",      // cubane
           "C1C2CC3CC1CC(C2)C3",      // adamantane
           "C1CCC2(CC1)CCCC2",        // spiro centre
           "CC(C)(C)C(C)(C)C(C)(C)C", // crowded quaternary carbons
           "FS(F)(F)(F)(F)F",         // six bonds at one atom: the six-star
           "O=C(O)c1ccccc1OC(C)=O",   // aspirin
       })
    ExpectSameAsFinder(test::FromSmiles(smiles), smiles);
  std::mt19937 rng(20240612);
  for (int trial = 0; trial < 40; ++trial) {
    const int atoms = std::uniform_int_distribution<int>(2, 18)(rng);
    const int rings = std::uniform_int_distribution<int>(0, 4)(rng);
    ExpectSameAsFinder(test::RandomMolecule(rng, atoms, rings, trial % 2 == 0), "trial " + std::to_string(trial));
  }
}

TEST(SubgraphCensus, RefusesMoreSetsThanItsLimitAndAHugeStarBeforeCounting) {
  // A star of eight bonds has exactly sum C(8, k), k = 1..6, = 246 sets.
  const TCompactGraph small(*Graph(8, true));
  const std::vector<long double> w(9, 1), we(8, 1);
  EXPECT_NO_THROW(SubgraphCensus(small, w, w, we, 246));
  EXPECT_THROW(SubgraphCensus(small, w, w, we, 245), EChemError);
  // Two hundred bonds at one vertex: C(200, 6) = 8.2e10 six-bond stars alone. Fails at once, not in minutes.
  const std::vector<long double> ones(201, 1), edges(200, 1);
  EXPECT_THROW(SubgraphCensus(TCompactGraph(*Graph(200, true)), ones, ones, edges), EChemError);
}

TEST(TopologicalIndexes, ARunWithoutHeavyBondsOrAFailedOneLeavesNoValueOfAnEarlierRun) {
  // The editor's molecule is reused: ethane's values must not be written again for methane.
  Ptr<IMolecule> m = test::FromSmiles("CC");
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  m->DeleteVertex(m->GetAtom(1));
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  for (const char* name : {"kappa index", "kappa(alpha) index", "Flexibility index", "Randic branching index"})
    EXPECT_FALSE(m->HasParam(name)) << name;
  EXPECT_EQ(m->GetFloat("Wiener index"), 0.0);
  // A census over its limit removes its temporary mark and every result.
  Ptr<IMolecule> hexane = test::FromSmiles("CCCCCC");
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(hexane));
  block.SetSubgraphLimit(3);
  EXPECT_THROW(block.Classify(std::dynamic_pointer_cast<ISubGraph>(hexane)), EChemError);
  EXPECT_FALSE(hexane->AnyVertexHasParam(kParamValenceConnectivity));
  for (int i = 0; i < block.GetValueCount(ekMolecule); ++i)
    EXPECT_FALSE(hexane->HasParam(block.GetValueName(ekMolecule, i))) << block.GetValueName(ekMolecule, i);
}

TEST(TopologicalIndexes, PlainGraphsAreMeasuredAsTheirSkeletonOrFailAloneWhenTooBigOrUnableToCarryResults) {
  TTopologicalIndexes block;
  Ptr<TGraph> g = Graph(3, false);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(g));
  EXPECT_DOUBLE_EQ(g->GetFloat("Wiener index"), 10.0);
  EXPECT_EQ(g->GetMatrix("Valence connectivity index")->Get(0, 0), 0.0); // no element, no valence electrons
  Ptr<TGraph> big = Graph(kMaxTopologicalAtoms, false);
  EXPECT_THROW(block.Classify(std::dynamic_pointer_cast<ISubGraph>(big)), EChemError);
  EXPECT_FALSE(big->HasParam("Wiener index"));
  Ptr<ISubGraph> part = g->CreateSubGraph(); // a plain sub-graph has no parameters
  part->AddEdge(g->GetEdge(0));
  EXPECT_THROW(block.Classify(part), EChemError);
  EXPECT_EQ(KappaIndexes(TKappaCounts{4, 3, 2, 1}, -1)[2], 0.0L); // P3 + alpha = 0 leaves kappa 3 at 0
}

TEST(PhysicoChemProperties, SumsAtomValuesOverBondedHeavyAtomsAndWeighsEveryAtom) {
  Ptr<IMolecule> m = test::FromSmiles("CCO");
  for (int i = 0; i < m->VertexCount(); ++i) {
    IAtom* a = m->GetAtom(i);
    const double value = a->GetSymbol() == "C" ? 0.5 : a->GetSymbol() == "O" ? -1.25 : 100.0; // H: never summed
    for (const char* name : {"Hydrophobicity", "Polar surface", "Polarizability", "Van der Waals radius"})
      a->SetFloat(name, value);
  }
  TPhysicoChemProperties block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  for (const char* name :
       {"Hydrophobicity", "Polar surface area", "Molecular polarizability", "Van der Waals radius summatory"})
    EXPECT_DOUBLE_EQ(m->GetFloat(name), 0.5 + 0.5 - 1.25) << name;
  EXPECT_NEAR(m->GetFloat("Molecular weight"), 46.07, 0.01); // C2H6O
  // Methane's carbon is bonded to no heavy atom: outside the graph, but it weighs.
  Ptr<IMolecule> methane = test::FromSmiles("C");
  methane->GetAtom(0)->SetFloat("Hydrophobicity", 0.3);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(methane));
  EXPECT_EQ(methane->GetFloat("Hydrophobicity"), 0.0);
  EXPECT_NEAR(methane->GetFloat("Molecular weight"), 16.04, 0.01);
}

} // namespace
} // namespace corvatin
