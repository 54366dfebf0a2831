// The topographic indexes against their definition computed the slow way: the subgraphs of each order and kind
// found by the substructure finder with the template graphs of the connectivity indexes, and the atom and bond
// weights worked out per occurrence from the bond orders and electron densities on random molecules.

#include "descriptors/quantum_names.h"
#include "descriptors/subgraph_census.h"
#include "descriptors/topographic_indexes.h"
#include "graph/finder.h"
#include "graph/templates.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace corvatin {
namespace {

bool Heavy(const IVertex* v) { return AsAtom(v)->GetAtomicNumber() > 1; }

long double R(const IVertex* v) {
  const int z = AsAtom(v)->GetAtomicNumber();
  const long double q = v->GetFloat(quantum::kElectronDensity);
  return z == 14 || z == 16 || z == 17 || z == 35 || z == 53 ? z - q : 1;
}

long double OmegaWeight(const IVertex* v) {
  long double sum = 0;
  for (int k = 0; k < v->NeighbourCount(); ++k)
    if (Heavy(v->GetNeighbour(k))) sum += v->GetEdge(k)->GetFloat(quantum::kBondOrder);
  return sum;
}

long double CorrectedWeight(const IVertex* v) {
  long double hydrogens = 0;
  for (int k = 0; k < v->NeighbourCount(); ++k)
    if (!Heavy(v->GetNeighbour(k))) hydrogens += v->GetNeighbour(k)->GetFloat(quantum::kElectronDensity);
  return (v->GetFloat(quantum::kElectronDensity) - hydrogens) / R(v);
}

long double EpsilonWeight(const IEdge* e) {
  long double sum = 0;
  for (const IVertex* end : {e->GetVertex1(), e->GetVertex2()})
    for (int k = 0; k < end->NeighbourCount(); ++k)
      if (end->GetEdge(k) != e && Heavy(end->GetNeighbour(k))) sum += end->GetEdge(k)->GetFloat(quantum::kBondOrder);
  return sum;
}

struct Reference {
  TSubgraphSums::Cells<long double> omega{}, corrected{}, epsilon{};
};

Reference FinderReference(IMolecule& m) {
  Ptr<ISubGraph> g = m.CreateSubGraph();
  for (int i = 0; i < m.EdgeCount(); ++i)
    if (Heavy(m.GetEdge(i)->GetVertex1()) && Heavy(m.GetEdge(i)->GetVertex2())) g->AddEdge(m.GetEdge(i));
  Reference ref;
  TGraphFinder finder;
  finder.SetTarget(g);
  for (int size = 1; size <= kSubgraphOrders; ++size)
    for (int kind = 0; kind < kSubgraphKinds; ++kind) {
      const size_t row = static_cast<size_t>(size - 1), col = static_cast<size_t>(kind);
      finder.OnMatch = [&](const Ptr<ISubGraph>& match, bool&, bool& accept) {
        long double po = 1, pc = 1, pe = 1;
        for (int i = 0; i < match->VertexCount(); ++i) {
          po *= OmegaWeight(match->GetVertex(i));
          pc *= CorrectedWeight(match->GetVertex(i));
        }
        for (int i = 0; i < match->EdgeCount(); ++i) pe *= EpsilonWeight(match->GetEdge(i));
        if (po > 0) ref.omega[row][col] += 1 / std::sqrt(po);
        if (pc > 0) ref.corrected[row][col] += 1 / std::sqrt(pc);
        if (pe > 0) ref.epsilon[row][col] += 1 / std::sqrt(pe);
        accept = false;
      };
      std::vector<Ptr<IGraph>> templates;
      TemplateGraphs(kind, size, templates);
      for (const Ptr<IGraph>& pattern : templates) finder.FindAll(AsSubGraph(*pattern));
    }
  finder.SetTarget(nullptr);
  return ref;
}

void ExpectCells(const IDoubleMatrix& matrix, const TSubgraphSums::Cells<long double>& expected, const char* what) {
  for (int r = 0; r < kSubgraphOrders; ++r)
    for (int c = 0; c < kSubgraphKinds; ++c) {
      const double want = static_cast<double>(expected[static_cast<size_t>(r)][static_cast<size_t>(c)]);
      EXPECT_NEAR(matrix.Get(r, c), want, 1e-9 * (1 + std::fabs(want))) << what << " " << r + 1 << "," << c;
    }
}

TEST(TopographicReference, RandomMoleculesMatchTheTemplateSearch) {
  std::mt19937 rng(20261206);
  std::uniform_real_distribution<double> order(0.4, 2.2), density(0.6, 6.8), hydrogen(0.7, 1.1);
  for (int round = 0; round < 12; ++round) {
    Ptr<IMolecule> m = test::RandomMolecule(rng, 5 + round, round % 4, true);
    // A chlorine now and then, whose density is referred to its core; and an odd negative weight.
    if (round % 3 == 0) m->GetAtom(0)->SetSymbol("Cl");
    for (int i = 0; i < m->EdgeCount(); ++i) m->GetEdge(i)->SetFloat(quantum::kBondOrder, order(rng));
    for (int i = 0; i < m->VertexCount(); ++i)
      m->GetVertex(i)->SetFloat(quantum::kElectronDensity, Heavy(m->GetVertex(i)) ? density(rng) : hydrogen(rng));
    const Reference ref = FinderReference(*m);
    TTopographicIndexes block;
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
    ASSERT_TRUE(m->HasParam(kResultOmega)) << round;
    ExpectCells(*m->GetMatrix(kResultOmega), ref.omega, "omega");
    ExpectCells(*m->GetMatrix(kResultOmegaQCorrected), ref.corrected, "omega(q)c");
    ExpectCells(*m->GetMatrix(kResultEpsilonRo), ref.epsilon, "epsilon(Ro)");
  }
}

} // namespace
} // namespace corvatin
