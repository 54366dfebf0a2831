// Topological indexes of small molecules whose values follow by hand from the definitions: Wiener (J. Am. Chem.
// Soc. 69 (1947) 17), Zagreb (Gutman and Trinajstic, Chem. Phys. Lett. 17 (1972) 535), Harary (Plavsic et al.,
// J. Math. Chem. 12 (1993) 235), Balaban J (Chem. Phys. Lett. 89 (1982) 399), Randic/Kier-Hall chi (Kier and
// Hall, "Molecular Connectivity in Chemistry and Drug Research", 1976), Estrada's epsilon and Kier's kappa.

#include "chem/molecule.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/kappa.h"
#include "descriptors/topological_indexes.h"
#include "descriptors/topsmode.h"
#include "graph/model.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvatin {
namespace {

using test::FromSmiles;

Ptr<IMolecule> Indexes(const std::string& smiles) {
  Ptr<IMolecule> m = FromSmiles(smiles);
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  return m;
}

double Cell(const IMolecule& m, const char* name, int order, int kind) {
  Ptr<IDoubleMatrix> matrix = m.GetMatrix(name);
  if (!matrix) throw std::runtime_error(std::string("no ") + name);
  return matrix->Get(order - 1, kind);
}

double Kappa(const IMolecule& m, const char* name, int k) { return m.GetMatrix(name)->Get(0, k - 1); }

// --- the power convention and the generalised index -------------------------------------------------------------

TEST(GeneralisedIndex, ConstantPairTermCountsOrderedPairsAcrossComponentsToo) {
  // c = 0 makes every off-diagonal A(i, j) = 1, also for pairs in different components (distance 0).
  Ptr<IMolecule> m = FromSmiles("CC.CCC");
  auto g = WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false);
  TCompactGraph graph(*g);
  TDistanceRows rows(graph);
  const auto values = GeneralisedIndexes(graph, rows, {{1, 1, 1, 0, 0, 0, 1}});
  EXPECT_DOUBLE_EQ(static_cast<double>(values[0]), 5.0 * 4.0);
}

TEST(GeneralisedIndex, DegreeWeightedSumsFollowTheRowAndColumnVectors) {
  // a = 0 keeps bonded pairs only; e = f = 1 with b = b' = 1 weights them by the distance sums: the sum over
  // bonds of 2 s_i s_j for s = (3, 2, 3) in propane, 2 (6 + 6) = 24.
  Ptr<IMolecule> m = FromSmiles("CCC");
  auto g = WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false);
  TCompactGraph graph(*g);
  TDistanceRows rows(graph);
  EXPECT_DOUBLE_EQ(static_cast<double>(GeneralisedIndexes(graph, rows, {{0, 1, 1, 1, 1, 1, 1}})[0]), 24.0);
}

// --- the worked molecules -------------------------------------------------------------------------------------

TEST(TopologicalIndexes, NButane) {
  Ptr<IMolecule> m = Indexes("CCCC");
  EXPECT_DOUBLE_EQ(m->GetFloat("Wiener index"), 10.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Zagreb M1 index"), 10.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Zagreb M2 index"), 8.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Harary number"), 3.0 + 2.0 / 4 + 1.0 / 9);
  // Distance sums 6, 4, 4, 6: J = 3 (2 / sqrt(24) + 1 / 4) = 1.9747 (Balaban's table value for butane).
  EXPECT_NEAR(m->GetFloat("Balaban index"), 3 * (2 / std::sqrt(24.0) + 0.25), 1e-14);
  EXPECT_NEAR(Cell(*m, "Randic branching index", 1, skPath), 2 / std::sqrt(2.0) + 0.5, 1e-14);
  EXPECT_NEAR(Cell(*m, "Randic branching index", 2, skPath), 1.0, 1e-14);
  EXPECT_NEAR(Cell(*m, "Randic branching index", 3, skPath), 0.5, 1e-14);
  EXPECT_EQ(Cell(*m, "Randic branching index", 4, skPath), 0.0);
  // CH3 and CH2 have delta-v 1 and 2, the same as delta.
  EXPECT_NEAR(Cell(*m, "Valence connectivity index", 1, skPath), 2 / std::sqrt(2.0) + 0.5, 1e-14);
  // Edge degrees 1, 2, 1.
  EXPECT_NEAR(Cell(*m, "Epsilon index", 1, skPath), 2 + 1 / std::sqrt(2.0), 1e-14);
  EXPECT_NEAR(Cell(*m, "Epsilon index", 3, skPath), 1 / std::sqrt(2.0), 1e-14);
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 1), 4.0);
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 2), 3.0);
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 3), 4.0); // A = 4 even: (A-3)(A-2)^2 / P3^2
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa(alpha) index", 1), 4.0); // sp3 carbons: alpha = 0
  EXPECT_DOUBLE_EQ(m->GetFloat("Flexibility index"), 4.0 * 3.0 / 4.0);
}

TEST(TopologicalIndexes, EthaneHasEdgeDegreeZeroSoNoEpsilon) {
  Ptr<IMolecule> m = Indexes("CC");
  EXPECT_EQ(Cell(*m, "Epsilon index", 1, skPath), 0.0);
  EXPECT_DOUBLE_EQ(Cell(*m, "Randic branching index", 1, skPath), 1.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Wiener index"), 1.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Harary number"), 1.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Balaban index"), 1.0);
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 1), 2.0);
  EXPECT_EQ(Kappa(*m, "kappa index", 2), 0.0); // no path of two bonds
  EXPECT_EQ(Kappa(*m, "kappa index", 3), 0.0);
}

TEST(TopologicalIndexes, ARunOnAStructureWithoutHeavyBondsRemovesTheValuesOfAnEarlierRun) {
  // The editor's molecule is reused: ethane's kappa and flexibility must not be written again for methane.
  Ptr<IMolecule> m = FromSmiles("CC");
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  ASSERT_TRUE(m->HasParam("kappa index"));
  m->DeleteVertex(m->GetAtom(1));
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  EXPECT_FALSE(m->HasParam("kappa index"));
  EXPECT_FALSE(m->HasParam("kappa(alpha) index"));
  EXPECT_FALSE(m->HasParam("Flexibility index"));
  EXPECT_FALSE(m->HasParam("Randic branching index"));
  EXPECT_EQ(m->GetFloat("Wiener index"), 0.0);
}

TEST(TopologicalIndexes, CyclohexaneHasOneSixChainAndNoCluster) {
  Ptr<IMolecule> m = Indexes("C1CCCCC1");
  EXPECT_DOUBLE_EQ(Cell(*m, "Randic branching index", 6, skChain), 0.125);
  EXPECT_EQ(Cell(*m, "Randic branching index", 3, skCluster), 0.0);
  EXPECT_EQ(Cell(*m, "Randic branching index", 5, skChain), 0.0);
  EXPECT_DOUBLE_EQ(m->GetFloat("Wiener index"), 27.0);
  EXPECT_NEAR(m->GetFloat("Balaban index"), 2.0, 1e-14); // 6 / 2 * 6 / 9
  // A path of six bonds would need seven atoms: the ring is a chain, never a path.
  EXPECT_EQ(Cell(*m, "Randic branching index", 6, skPath), 0.0);
}

TEST(TopologicalIndexes, NeopentaneHasOneFourClusterAndFourThreeClusters) {
  Ptr<IMolecule> m = Indexes("CC(C)(C)C");
  EXPECT_DOUBLE_EQ(Cell(*m, "Randic branching index", 4, skCluster), 1 / std::sqrt(4.0));
  EXPECT_DOUBLE_EQ(Cell(*m, "Randic branching index", 3, skCluster), 4 / std::sqrt(4.0));
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 1), 5.0 * 16 / 16);
  EXPECT_DOUBLE_EQ(Kappa(*m, "kappa index", 2), 4.0 * 9 / 36); // six paths of two bonds
  EXPECT_EQ(Kappa(*m, "kappa index", 3), 0.0);                  // no path of three bonds
}

TEST(TopologicalIndexes, BalabanUsesTheCyclomaticNumberOfAGraphWithSeveralComponents) {
  // Two trees: E - N + 2 would be 0. With c components mu = E - N + c = 0, so J = E * S: propane's bonds give
  // 2 / sqrt(3 * 2) and ethane's 1.
  Ptr<IMolecule> two = Indexes("CCC.CC");
  EXPECT_NEAR(two->GetFloat("Balaban index"), 3 * (2 / std::sqrt(6.0) + 1), 1e-13);
  // Three ethanes: E - N + 2 = -1 would turn J negative.
  Ptr<IMolecule> three = Indexes("CC.CC.CC");
  EXPECT_NEAR(three->GetFloat("Balaban index"), 3 * 3.0, 1e-13);
  // A connected graph keeps the textbook E - N + 2.
  Ptr<IMolecule> ring = Indexes("C1CC1");
  EXPECT_NEAR(ring->GetFloat("Balaban index"), 3 * (3 / 2.0) / 2, 1e-14);
}

TEST(TopologicalIndexes, ValenceDeltasCountValenceElectronsAndHydrogens) {
  // Ethanol: CH3 1, CH2 2, OH 6 - 1 = 5; 1chi-v = 1/sqrt(2) + 1/sqrt(10) = 1.0233 (Kier and Hall).
  Ptr<IMolecule> m = Indexes("CCO");
  EXPECT_NEAR(Cell(*m, "Valence connectivity index", 1, skPath), 1 / std::sqrt(2.0) + 1 / std::sqrt(10.0), 1e-14);
  // Chloroethane: Cl has delta-v 7 / (17 - 7) = 0.7 (q = Z - Zv, not Z - Zv - 1).
  Ptr<IMolecule> c = Indexes("CCCl");
  EXPECT_NEAR(Cell(*c, "Valence connectivity index", 1, skPath), 1 / std::sqrt(2.0) + 1 / std::sqrt(2 * 0.7), 1e-14);
}

TEST(Kappa, ACorrectedPathCountOfZeroLeavesTheValueZero) {
  TKappaCounts counts{4, 3, 2, 1};
  EXPECT_EQ(KappaIndexes(counts, -1)[2], 0.0L); // P3 + alpha = 0
  EXPECT_NE(KappaIndexes(counts, -1)[1], 0.0L);
}

// --- temporary mark and failures ----------------------------------------------------------------------------------

TEST(TopologicalIndexes, AFailedCensusRemovesTheMarkAndEveryResult) {
  Ptr<IMolecule> m = FromSmiles("CCCCCC");
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  ASSERT_TRUE(m->HasParam("Wiener index"));
  block.SetSubgraphLimit(3);
  EXPECT_THROW(block.Classify(std::dynamic_pointer_cast<ISubGraph>(m)), EChemError);
  EXPECT_FALSE(m->AnyVertexHasParam(kParamValenceConnectivity));
  for (int i = 0; i < block.GetValueCount(ekMolecule); ++i)
    EXPECT_FALSE(m->HasParam(block.GetValueName(ekMolecule, i))) << block.GetValueName(ekMolecule, i);
}

TEST(TopologicalIndexes, AStructureTooBigFailsAloneWithAChemError) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(kMaxTopologicalAtoms + 1);
  for (int i = 1; i <= kMaxTopologicalAtoms; ++i) g->ConnectIndices(i - 1, i);
  TTopologicalIndexes block;
  try {
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(g));
    FAIL() << "no error";
  } catch (const EChemError& e) {
    EXPECT_NE(std::string(e.what()).find("too big"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(g->HasParam("Wiener index"));
}

TEST(TopologicalIndexes, AStructureThatCannotCarryResultsIsAChemError) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(2);
  g->ConnectIndices(0, 1);
  Ptr<ISubGraph> part = g->CreateSubGraph(); // a plain sub-graph has no parameters
  part->AddEdge(g->GetEdge(0));
  TTopologicalIndexes block;
  EXPECT_THROW(block.Classify(part), EChemError);
}

TEST(TopologicalIndexes, APlainGraphIsMeasuredAsItsOwnSkeletonWithoutValenceValues) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(4);
  for (int i = 1; i < 4; ++i) g->ConnectIndices(i - 1, i);
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(g));
  EXPECT_DOUBLE_EQ(g->GetFloat("Wiener index"), 10.0);
  EXPECT_NEAR(g->GetMatrix("Randic branching index")->Get(0, 0), 2 / std::sqrt(2.0) + 0.5, 1e-14);
  EXPECT_EQ(g->GetMatrix("Valence connectivity index")->Get(0, 0), 0.0); // no element, no valence electrons
}

} // namespace
} // namespace corvatin
