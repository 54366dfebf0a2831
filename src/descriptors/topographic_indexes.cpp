#include "descriptors/topographic_indexes.h"

#include "chem/molecule.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/quantum_names.h"
#include "descriptors/subgraph_census.h"
#include "descriptors/topsmode.h"

#include <array>
#include <functional>
#include <stdexcept>
#include <vector>

namespace corvatin {

namespace {

// The molecule-level result names in the order the output lists them, with their short captions.
constexpr std::array<const char*, 4> kValueNames{kResultOmega, kResultOmegaQ, kResultOmegaQCorrected,
                                                 kResultEpsilonRo};
constexpr std::array<const char*, 4> kCaptions{"Omega", "Omega(q)", "Omega(q)c", "Epsilon(Ro)"};
enum Index : size_t { kOmega = 0, kOmegaQ = 1, kOmegaQC = 2, kEpsilonRo = 3 };

// Elements whose electron density is referred to the core, r = Z - q, as the valence connectivity does with the valence
// electron count for atoms beyond the second period (J. Pharm. Sci. 72 (1983) 1170); every other element,
// phosphorus included, keeps r = 1.
constexpr std::array<int, 5> kCoreReferredElements{14, 16, 17, 35, 53};

long double DensityDenominator(int z, long double q) {
  for (int e : kCoreReferredElements)
    if (e == z) return z - q;
  return 1;
}

int AtomicNumber(const IVertex* vertex) {
  const IAtom* atom = AsAtom(vertex);
  return atom ? atom->GetAtomicNumber() : 0;
}

/// Removes the temporary marks from every atom and bond of the molecule the structure belongs to when it goes out
/// of scope, also through an exception. The calculation keeps its weights in vectors; removing the names still
/// clears marks a run interrupted by an earlier failure may have left behind.
class TTemporaryMarks {
public:
  explicit TTemporaryMarks(const ISubGraph& structure) : structure_(structure) {
    const ISubGraph* top = &structure;
    while (top->GetOwner()) top = top->GetOwner();
    molecule_ = dynamic_cast<IGraph*>(const_cast<ISubGraph*>(top));
  }
  ~TTemporaryMarks() {
    try {
      if (molecule_) {
        for (const char* name : {kParamBondOrdersValue, kParamOmegaQValue, kParamOmegaCQValue})
          molecule_->RemoveVertexParam(name);
        molecule_->RemoveEdgeParam(kParamOmegaCQValue);
        return;
      }
      for (int i = 0; i < structure_.VertexCount(); ++i)
        for (const char* name : {kParamBondOrdersValue, kParamOmegaQValue, kParamOmegaCQValue})
          structure_.GetVertex(i)->DeleteParam(name);
      for (int i = 0; i < structure_.EdgeCount(); ++i) structure_.GetEdge(i)->DeleteParam(kParamOmegaCQValue);
    } catch (...) {
      // An observer failing on the removal must not end the program from a destructor.
    }
  }
  TTemporaryMarks(const TTemporaryMarks&) = delete;
  TTemporaryMarks& operator=(const TTemporaryMarks&) = delete;

private:
  const ISubGraph& structure_;
  IGraph* molecule_ = nullptr;
};

/// The four weight sets and which of them are complete.
struct TWeights {
  std::vector<long double> omega, omegaQ, omegaQC; // per vertex of the graph
  std::vector<long double> epsilon;                // per edge of the graph
  std::array<bool, 4> available{true, true, true, true};
};

// Omega: each atom weighs the sum of the bond orders of its bonds in the graph.
void BondOrderSums(const ISubGraph& g, const TCompactGraph& graph, TWeights& w) {
  w.omega.assign(static_cast<size_t>(graph.VertexCount()), 0);
  for (int e = 0; e < graph.EdgeCount(); ++e) {
    const IEdge* edge = g.GetEdge(e);
    if (!edge->HasParam(quantum::kBondOrder)) {
      w.available[kOmega] = false;
      return;
    }
    const long double order = edge->GetFloat(quantum::kBondOrder);
    w.omega[static_cast<size_t>(graph.End1(e))] += order;
    w.omega[static_cast<size_t>(graph.End2(e))] += order;
  }
}

// Omega(q): delta-q = (q - h) / r, h the number of hydrogen neighbours.
void DensityDeltas(const ISubGraph& g, TWeights& w) {
  w.omegaQ.assign(static_cast<size_t>(g.VertexCount()), 0);
  for (int i = 0; i < g.VertexCount(); ++i) {
    const IVertex* vertex = g.GetVertex(i);
    if (!vertex->HasParam(quantum::kElectronDensity)) {
      w.available[kOmegaQ] = false;
      return;
    }
    const long double q = vertex->GetFloat(quantum::kElectronDensity);
    const IAtom* atom = AsAtom(vertex);
    const int h = atom ? atom->HydrogenCount() : 0;
    w.omegaQ[static_cast<size_t>(i)] = (q - h) / DensityDenominator(AtomicNumber(vertex), q);
  }
}

// Omega(q) corrected: the hydrogens count with their own electron densities, delta-qc = (q - Q) / r.
void CorrectedDensityDeltas(const ISubGraph& g, TWeights& w) {
  w.omegaQC.assign(static_cast<size_t>(g.VertexCount()), 0);
  for (int i = 0; i < g.VertexCount(); ++i) {
    const IVertex* vertex = g.GetVertex(i);
    if (!vertex->HasParam(quantum::kElectronDensity)) {
      w.available[kOmegaQC] = false;
      return;
    }
    long double hydrogens = 0;
    for (int k = 0; k < vertex->NeighbourCount(); ++k) {
      const IVertex* neighbour = vertex->GetNeighbour(k);
      if (AtomicNumber(neighbour) != 1) continue;
      if (!neighbour->HasParam(quantum::kElectronDensity)) {
        w.available[kOmegaQC] = false;
        return;
      }
      hydrogens += neighbour->GetFloat(quantum::kElectronDensity);
    }
    const long double q = vertex->GetFloat(quantum::kElectronDensity);
    w.omegaQC[static_cast<size_t>(i)] = (q - hydrogens) / DensityDenominator(AtomicNumber(vertex), q);
  }
}

// Epsilon(Ro): each bond weighs the sum of the orders of the bonds sharing an atom with it. Every pair of bonds
// meeting at an atom is a path of two bonds; in a simple graph two bonds share at most one atom, so walking the
// pairs at each atom meets every path once. Only bonds on such a path need an order: an isolated bond (ethane)
// has weight 0 and no error.
void AdjacentBondOrderSums(const ISubGraph& g, const TCompactGraph& graph, TWeights& w) {
  w.epsilon.assign(static_cast<size_t>(graph.EdgeCount()), 0);
  for (int v = 0; v < graph.VertexCount(); ++v)
    for (auto* a = graph.BeginIncidences(v); a != graph.EndIncidences(v); ++a)
      for (auto* b = a + 1; b != graph.EndIncidences(v); ++b) {
        const IEdge* e0 = g.GetEdge(a->edge);
        const IEdge* e1 = g.GetEdge(b->edge);
        if (!e0->HasParam(quantum::kBondOrder) || !e1->HasParam(quantum::kBondOrder)) {
          w.available[kEpsilonRo] = false;
          return;
        }
        w.epsilon[static_cast<size_t>(a->edge)] += e1->GetFloat(quantum::kBondOrder);
        w.epsilon[static_cast<size_t>(b->edge)] += e0->GetFloat(quantum::kBondOrder);
      }
}

void Compute(const Ptr<ISubGraph>& structure, IParameters& target, std::int64_t limit,
             const std::function<void(const char*)>& logError) {
  for (const char* name : kValueNames) target.DeleteParam(name);
  TTemporaryMarks marks(*structure);
  const Ptr<ISubGraph> g = WorkingGraph(structure, false);
  if (g->VertexCount() == 0) return;
  const TCompactGraph graph(*g);
  if (graph.VertexCount() != g->VertexCount() || graph.EdgeCount() != g->EdgeCount())
    throw EChemError("The hydrogen-suppressed graph lists a bond without its atoms.");

  // All four preparations run; each decides only its own index.
  TWeights w;
  BondOrderSums(*g, graph, w);
  if (!w.available[kOmega]) logError(kMsgOmegaMissing);
  DensityDeltas(*g, w);
  if (!w.available[kOmegaQ]) logError(kMsgOmegaQMissing);
  CorrectedDensityDeltas(*g, w);
  if (!w.available[kOmegaQC]) logError(kMsgOmegaQCorrectedMissing);
  AdjacentBondOrderSums(*g, graph, w);
  if (!w.available[kEpsilonRo]) logError(kMsgEpsilonRoMissing);

  // The census takes two vertex weight sets and one edge weight set per run; the corrected omega(q) gets a second
  // run over the same subgraphs. A missing set is passed as zeros, whose products are not above 0 and add nothing.
  const std::vector<long double> zeros(static_cast<size_t>(graph.VertexCount()), 0);
  const std::vector<long double> noEdges(static_cast<size_t>(graph.EdgeCount()), 0);
  std::array<TSubgraphSums::Cells<long double>, 4> cells{};
  if (w.available[kOmega] || w.available[kOmegaQ] || w.available[kEpsilonRo]) {
    const TSubgraphSums sums = SubgraphCensus(graph, w.available[kOmega] ? w.omega : zeros,
                                              w.available[kOmegaQ] ? w.omegaQ : zeros,
                                              w.available[kEpsilonRo] ? w.epsilon : noEdges, limit);
    cells[kOmega] = sums.vertex1;
    cells[kOmegaQ] = sums.vertex2;
    cells[kEpsilonRo] = sums.edge;
  }
  if (w.available[kOmegaQC]) cells[kOmegaQC] = SubgraphCensus(graph, w.omegaQC, zeros, noEdges, limit).vertex1;

  // Stored only once every index is complete, so a census given up on leaves no zero matrix behind.
  for (size_t k = 0; k < kValueNames.size(); ++k) {
    if (!w.available[k]) continue;
    const Ptr<TMatrixParameter> matrix = NewConnectivityMatrix(kCaptions[k]);
    FillConnectivityMatrix(*matrix, cells[k]);
    target.AddParam(kValueNames[k], matrix, nullptr, true);
  }
}

} // namespace

TTopographicIndexes::TTopographicIndexes() : TBlock(1), subgraphLimit_(kMaxConnectedBondSets) {}

void TTopographicIndexes::Execute(bool&) {
  LogTransient("Calculating topographic indexes...");
  if (Ptr<ISubGraph> structure = GetInputStructure()) Classify(RequireAtoms(structure));
}

void TTopographicIndexes::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  auto target = std::dynamic_pointer_cast<IParameters>(structure);
  if (!target) throw EChemError("The structure cannot carry the topographic indexes.");
  try {
    Compute(structure, *target, subgraphLimit_, [this](const char* message) { LogError(message); });
  } catch (...) {
    for (const char* name : kValueNames) target->DeleteParam(name);
    throw;
  }
}

int TTopographicIndexes::GetValueCount(int kind) const {
  return kind == ekMolecule ? static_cast<int>(kValueNames.size()) : 0;
}

std::string TTopographicIndexes::GetValueName(int kind, int index) const {
  if (kind != ekMolecule || index < 0 || index >= static_cast<int>(kValueNames.size()))
    throw std::out_of_range("Topographic index value " + std::to_string(index));
  return kValueNames[static_cast<size_t>(index)];
}

} // namespace corvatin
