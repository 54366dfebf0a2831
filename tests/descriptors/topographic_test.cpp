// Topographic indexes: connectivity sums over the subgraphs of the hydrogen-suppressed graph, weighted by bond
// orders and electron densities of a semi-empirical calculation. Hand values from the definitions of the omega,
// omega(q) and epsilon(Ro) indexes: each subgraph adds 1/sqrt(product of its atom or bond weights).

#include "descriptors/quantum_names.h"
#include "descriptors/topographic_indexes.h"
#include "quantum_test_util.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvatin {
namespace {

using test::FromSmiles;
using test::QuantumLog;

constexpr int kPath = 0, kCluster = 1, kChain = 3;

void SetHeavyBondOrders(IMolecule& m, double order) {
  for (int i = 0; i < m.EdgeCount(); ++i) {
    IBond* bond = m.GetBond(i);
    if (bond->GetAtom1()->GetAtomicNumber() > 1 && bond->GetAtom2()->GetAtomicNumber() > 1)
      bond->SetFloat(quantum::kBondOrder, order);
  }
}

void SetDensities(IMolecule& m, double heavy, double hydrogen) {
  for (int i = 0; i < m.VertexCount(); ++i)
    m.GetAtom(i)->SetFloat(quantum::kElectronDensity, m.GetAtom(i)->GetAtomicNumber() == 1 ? hydrogen : heavy);
}

std::vector<std::string> Compute(const Ptr<IMolecule>& m, TTopographicIndexes& block) {
  auto log = std::make_shared<QuantumLog>();
  block.SetLog(log);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  return log->Texts(lkError);
}

std::vector<std::string> Compute(const Ptr<IMolecule>& m) {
  TTopographicIndexes block;
  return Compute(m, block);
}

double Cell(const Ptr<IMolecule>& m, const char* index, int order, int kind) {
  const Ptr<IDoubleMatrix> matrix = m->GetMatrix(index);
  if (!matrix) throw std::runtime_error(std::string("no ") + index);
  return matrix->Get(order - 1, kind);
}

const std::vector<std::string> kAllFourErrors{kMsgOmegaMissing, kMsgOmegaQMissing, kMsgOmegaQCorrectedMissing,
                                              kMsgEpsilonRoMissing};

TEST(TopographicWeights, EthaneHasOmegaOneAndAnEmptyEpsilonPropaneItsMiddleCarbonWeighingTwo) {
  Ptr<IMolecule> m = FromSmiles("CC");
  SetHeavyBondOrders(*m, 1.0);
  SetDensities(*m, 4.0, 1.0);
  EXPECT_TRUE(Compute(m).empty());
  EXPECT_DOUBLE_EQ(Cell(m, kResultOmega, 1, kPath), 1.0); // 1/sqrt(1 x 1)
  ASSERT_TRUE(m->HasParam(kResultEpsilonRo));
  const Ptr<IDoubleMatrix> epsilon = m->GetMatrix(kResultEpsilonRo);
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(epsilon->Get(r, c), 0.0) << r << "," << c;
  // Propane: the middle carbon weighs two and each bond one.
  Ptr<IMolecule> p = FromSmiles("CCC");
  SetHeavyBondOrders(*p, 1.0);
  SetDensities(*p, 4.0, 1.0);
  EXPECT_TRUE(Compute(p).empty());
  EXPECT_NEAR(Cell(p, kResultOmega, 1, kPath), 2 / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(Cell(p, kResultOmega, 2, kPath), 1 / std::sqrt(2.0), 1e-12);
  EXPECT_DOUBLE_EQ(Cell(p, kResultEpsilonRo, 1, kPath), 2.0);
  EXPECT_DOUBLE_EQ(Cell(p, kResultEpsilonRo, 2, kPath), 1.0);
}

TEST(TopographicWeights, BondOrdersAreSummedNotCounted) {
  // Propene's double bond with a Wiberg order of 1.9 and the single bond with 1.02: the middle carbon weighs 2.92.
  Ptr<IMolecule> m = FromSmiles("C=CC");
  m->GetAtom(0)->GetBondTo(m->GetAtom(1))->SetFloat(quantum::kBondOrder, 1.9);
  m->GetAtom(1)->GetBondTo(m->GetAtom(2))->SetFloat(quantum::kBondOrder, 1.02);
  SetDensities(*m, 4.0, 1.0);
  Compute(m);
  EXPECT_NEAR(Cell(m, kResultOmega, 1, kPath), 1 / std::sqrt(1.9 * 2.92) + 1 / std::sqrt(2.92 * 1.02), 1e-12);
  EXPECT_NEAR(Cell(m, kResultOmega, 2, kPath), 1 / std::sqrt(1.9 * 2.92 * 1.02), 1e-12);
  // Each bond weighs the order of the other one.
  EXPECT_NEAR(Cell(m, kResultEpsilonRo, 1, kPath), 1 / std::sqrt(1.02) + 1 / std::sqrt(1.9), 1e-12);
  EXPECT_NEAR(Cell(m, kResultEpsilonRo, 2, kPath), 1 / std::sqrt(1.02 * 1.9), 1e-12);
}

TEST(TopographicWeights, ClustersAndChainsUseTheSameWeights) {
  // Isobutane: the centre weighs 3, the three ends 1; one cluster of three bonds.
  Ptr<IMolecule> iso = FromSmiles("CC(C)C");
  SetHeavyBondOrders(*iso, 1.0);
  SetDensities(*iso, 4.0, 1.0);
  Compute(iso);
  EXPECT_NEAR(Cell(iso, kResultOmega, 3, kCluster), 1 / std::sqrt(3.0), 1e-12);
  // Each bond touches the two others: weight 2 for epsilon(Ro).
  EXPECT_NEAR(Cell(iso, kResultEpsilonRo, 3, kCluster), 1 / std::sqrt(8.0), 1e-12);
  // Cyclopropane: every carbon and every bond weighs 2; the ring is the one chain of three bonds.
  Ptr<IMolecule> ring = FromSmiles("C1CC1");
  SetHeavyBondOrders(*ring, 1.0);
  SetDensities(*ring, 4.0, 1.0);
  Compute(ring);
  EXPECT_NEAR(Cell(ring, kResultOmega, 3, kChain), 1 / std::sqrt(8.0), 1e-12);
  EXPECT_NEAR(Cell(ring, kResultEpsilonRo, 3, kChain), 1 / std::sqrt(8.0), 1e-12);
  EXPECT_NEAR(Cell(ring, kResultEpsilonRo, 1, kPath), 3 / std::sqrt(2.0), 1e-12);
}

TEST(TopographicWeights, ChloromethaneDensityDeltasWithAndWithoutHydrogenDensities) {
  // Chlorine (Z = 17, no hydrogens, q = 7.2): delta-q = 7.2 / (17 - 7.2). Carbon (q = 4.1, three hydrogens of
  // densities 0.9, 0.95, 1.0): delta-q = (4.1 - 3) / 1 = 1.1, corrected (4.1 - 2.85) / 1 = 1.25.
  Ptr<IMolecule> m = FromSmiles("CCl");
  ASSERT_EQ(m->GetAtom(1)->GetSymbol(), "Cl");
  m->GetAtom(0)->SetFloat(quantum::kElectronDensity, 4.1);
  m->GetAtom(1)->SetFloat(quantum::kElectronDensity, 7.2);
  const double hydrogenDensities[] = {0.9, 0.95, 1.0};
  int h = 0;
  for (int i = 0; i < m->VertexCount(); ++i)
    if (m->GetAtom(i)->GetAtomicNumber() == 1)
      m->GetAtom(i)->SetFloat(quantum::kElectronDensity, hydrogenDensities[h++]);
  ASSERT_EQ(h, 3);
  SetHeavyBondOrders(*m, 0.98);
  EXPECT_TRUE(Compute(m).empty());
  const double chlorine = 7.2 / (17 - 7.2);
  EXPECT_NEAR(Cell(m, kResultOmegaQ, 1, kPath), 1 / std::sqrt(1.1 * chlorine), 1e-12);
  EXPECT_NEAR(Cell(m, kResultOmegaQCorrected, 1, kPath), 1 / std::sqrt(1.25 * chlorine), 1e-12);
  EXPECT_NEAR(Cell(m, kResultOmega, 1, kPath), 1 / 0.98, 1e-12);
}

TEST(TopographicWeights, PhosphorusAndSecondPeriodAtomsKeepAUnitDenominator) {
  // Methylphosphine CP: r = 1 for both, so delta-q(P) = 5.3 - 2 hydrogens.
  Ptr<IMolecule> m = FromSmiles("CP");
  SetHeavyBondOrders(*m, 1.0);
  m->GetAtom(0)->SetFloat(quantum::kElectronDensity, 4.2);
  m->GetAtom(1)->SetFloat(quantum::kElectronDensity, 5.3);
  for (int i = 2; i < m->VertexCount(); ++i) m->GetAtom(i)->SetFloat(quantum::kElectronDensity, 1.0);
  ASSERT_EQ(m->GetAtom(1)->HydrogenCount(), 2);
  Compute(m);
  EXPECT_NEAR(Cell(m, kResultOmegaQ, 1, kPath), 1 / std::sqrt((4.2 - 3) * (5.3 - 2)), 1e-12);
}

TEST(TopographicErrors, BondOrdersWithoutDensitiesGiveOmegaAndEpsilonOnly) {
  Ptr<IMolecule> m = FromSmiles("CCO");
  SetHeavyBondOrders(*m, 1.0);
  EXPECT_EQ(Compute(m), (std::vector<std::string>{kMsgOmegaQMissing, kMsgOmegaQCorrectedMissing}));
  EXPECT_TRUE(m->HasParam(kResultOmega));
  EXPECT_TRUE(m->HasParam(kResultEpsilonRo));
  EXPECT_FALSE(m->HasParam(kResultOmegaQ));
  EXPECT_FALSE(m->HasParam(kResultOmegaQCorrected));
}

TEST(TopographicErrors, AStructureWithoutQuantumDataLogsAllFourAndOneWithoutHeavyBondsNothing) {
  Ptr<IMolecule> m = FromSmiles("CCO");
  EXPECT_EQ(Compute(m), kAllFourErrors);
  for (const char* name : {kResultOmega, kResultOmegaQ, kResultOmegaQCorrected, kResultEpsilonRo})
    EXPECT_FALSE(m->HasParam(name)) << name;
  // A molecule without heavy bonds stores nothing and logs nothing.
  Ptr<IMolecule> methane = FromSmiles("C");
  EXPECT_TRUE(Compute(methane).empty());
  EXPECT_FALSE(methane->HasParam(kResultOmega));
}

TEST(TopographicErrors, AHydrogenWithoutDensityLosesOnlyTheCorrectedIndex) {
  Ptr<IMolecule> m = FromSmiles("CO");
  SetHeavyBondOrders(*m, 1.0);
  SetDensities(*m, 4.0, 1.0);
  m->GetAtom(m->VertexCount() - 1)->DeleteParam(quantum::kElectronDensity); // the hydroxyl hydrogen
  EXPECT_EQ(Compute(m), std::vector<std::string>{kMsgOmegaQCorrectedMissing});
  EXPECT_TRUE(m->HasParam(kResultOmegaQ));
  EXPECT_FALSE(m->HasParam(kResultOmegaQCorrected));
}

TEST(TopographicErrors, EpsilonNeedsOrdersOnlyOnBondsThatMeetAnother) {
  // Propane with one order missing: omega and epsilon(Ro) both fail. Ethane + an isolated ordered ethane: only the
  // bond of the first, which meets no other bond, lacks its order, so only omega fails.
  Ptr<IMolecule> propane = FromSmiles("CCC");
  SetDensities(*propane, 4.0, 1.0);
  propane->GetAtom(0)->GetBondTo(propane->GetAtom(1))->SetFloat(quantum::kBondOrder, 1.0);
  EXPECT_EQ(Compute(propane), (std::vector<std::string>{kMsgOmegaMissing, kMsgEpsilonRoMissing}));

  Ptr<IMolecule> pair = FromSmiles("CC.CCC");
  SetDensities(*pair, 4.0, 1.0);
  SetHeavyBondOrders(*pair, 1.0);
  pair->GetAtom(0)->GetBondTo(pair->GetAtom(1))->DeleteParam(quantum::kBondOrder);
  EXPECT_EQ(Compute(pair), std::vector<std::string>{kMsgOmegaMissing});
  EXPECT_TRUE(pair->HasParam(kResultEpsilonRo));
}

TEST(TopographicErrors, EarlierResultsDoNotSurviveARunWithoutInputs) {
  Ptr<IMolecule> m = FromSmiles("CCC");
  SetHeavyBondOrders(*m, 1.0);
  SetDensities(*m, 4.0, 1.0);
  Compute(m);
  ASSERT_TRUE(m->HasParam(kResultOmegaQCorrected));
  for (int i = 0; i < m->VertexCount(); ++i) m->GetAtom(i)->DeleteParam(quantum::kElectronDensity);
  Compute(m);
  EXPECT_FALSE(m->HasParam(kResultOmegaQ));
  EXPECT_FALSE(m->HasParam(kResultOmegaQCorrected));
  EXPECT_TRUE(m->HasParam(kResultOmega));
}

bool AnyMark(const IMolecule& m) {
  for (int i = 0; i < m.VertexCount(); ++i)
    for (const char* name : {kParamBondOrdersValue, kParamOmegaQValue, kParamOmegaCQValue})
      if (m.GetVertex(i)->HasParam(name)) return true;
  for (int i = 0; i < m.EdgeCount(); ++i)
    if (m.GetEdge(i)->HasParam(kParamOmegaCQValue)) return true;
  return false;
}

TEST(TopographicMarks, NoTemporaryValueIsLeftAfterARun) {
  Ptr<IMolecule> m = FromSmiles("CC(C)CO");
  SetHeavyBondOrders(*m, 1.0);
  SetDensities(*m, 4.0, 1.0);
  m->GetAtom(0)->SetFloat(kParamOmegaQValue, 7); // left by an interrupted run
  m->GetBond(0)->SetFloat(kParamOmegaCQValue, 7);
  Compute(m);
  EXPECT_FALSE(AnyMark(*m));
}

TEST(TopographicMarks, AStructureTooBigFailsAloneAndLeavesNothing) {
  Ptr<IMolecule> m = FromSmiles("CC(C)CO");
  SetHeavyBondOrders(*m, 1.0);
  SetDensities(*m, 4.0, 1.0);
  m->GetAtom(1)->SetFloat(kParamBondOrdersValue, 3);
  TTopographicIndexes block;
  block.SetSubgraphLimit(3);
  EXPECT_THROW(Compute(m, block), EChemError);
  EXPECT_FALSE(AnyMark(*m));
  for (const char* name : {kResultOmega, kResultOmegaQ, kResultOmegaQCorrected, kResultEpsilonRo})
    EXPECT_FALSE(m->HasParam(name)) << name;
}

} // namespace
} // namespace corvatin
