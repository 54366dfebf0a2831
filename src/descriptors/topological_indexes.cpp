#include "descriptors/topological_indexes.h"

#include "chem/molecule.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/kappa.h"
#include "descriptors/subgraph_census.h"

#include <array>
#include <stdexcept>

namespace corvatin {

namespace {

// The molecule-level result names in the order the output lists them.
constexpr std::array<const char*, 11> kValueNames{
    kResultRandic,        kResultValenceConnectivity, kResultEpsilon,  kResultKappa,
    kResultKappaAlpha,    kResultFlexibility,         kResultWiener,   kResultZagrebM1,
    kResultZagrebM2,      kResultHarary,              kResultBalaban};

void StoreNumber(IParameters& target, const char* name, long double value, const char* caption) {
  target.SetFloat(name, static_cast<double>(value));
  target.SetShortCaptionOf(name, caption);
}

void StoreMatrix(IParameters& target, const char* name, const Ptr<TMatrixParameter>& parameter) {
  target.AddParam(name, parameter, nullptr, true);
}

/// Puts the valence deltas on the graph's atoms as the temporary mark and, when it goes out of scope (also
/// through an exception), removes the mark from every atom of the molecule the structure belongs to.
class TValenceMark {
public:
  TValenceMark(const ISubGraph& structure, const TCompactGraph& graph, const std::vector<long double>& values) {
    const ISubGraph* top = &structure;
    while (top->GetOwner()) top = top->GetOwner();
    molecule_ = dynamic_cast<IGraph*>(const_cast<ISubGraph*>(top));
    if (!molecule_)
      for (int i = 0; i < structure.VertexCount(); ++i) vertices_.push_back(structure.GetVertex(i));
    for (int i = 0; i < graph.VertexCount(); ++i)
      graph.Vertex(i)->SetFloat(kParamValenceConnectivity, static_cast<double>(values[static_cast<size_t>(i)]));
  }
  ~TValenceMark() {
    try {
      if (molecule_) {
        molecule_->RemoveVertexParam(kParamValenceConnectivity);
        return;
      }
      for (IVertex* vertex : vertices_) vertex->DeleteParam(kParamValenceConnectivity);
    } catch (...) {
      // An observer failing on the removal must not end the program from a destructor.
    }
  }
  TValenceMark(const TValenceMark&) = delete;
  TValenceMark& operator=(const TValenceMark&) = delete;

private:
  IGraph* molecule_ = nullptr;
  std::vector<IVertex*> vertices_;
};

long double KappaAlpha(const TCompactGraph& graph) {
  long double alpha = 0;
  for (int i = 0; i < graph.VertexCount(); ++i)
    if (const IAtom* atom = AsAtom(graph.Vertex(i))) {
      // The increments take an aromatic atom as sp2 (Rev. Comput. Chem. 2 (1991) 367): the lone-pair count alone
      // would make the S of thiophene, the O of furan and the NH of pyrrole sp3.
      const int hybridisation = atom->IsAromatic() ? 2 : atom->GetHybridisation();
      alpha += KappaAlphaIncrement(atom->GetAtomicNumber(), hybridisation);
    }
  return alpha;
}

Ptr<TMatrixParameter> KappaMatrix(bool alpha, const std::array<long double, 3>& values) {
  Ptr<TMatrixParameter> parameter = NewKappaMatrix(alpha);
  for (int k = 0; k < 3; ++k) parameter->GetMatrix()->Set(0, k, static_cast<double>(values[static_cast<size_t>(k)]));
  return parameter;
}

void Compute(const Ptr<ISubGraph>& structure, IParameters& target, std::int64_t subgraphLimit) {
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(*structure);
  TDistanceRows distances(graph);
  const std::vector<long double> general =
      GeneralisedIndexes(graph, distances, {kWienerParameters, kZagrebM2Parameters, kHararyParameters});
  const long double m1 = ZagrebM1(graph);
  const long double j = BalabanJ(graph, distances);

  auto storeNumbers = [&] {
    StoreNumber(target, kResultWiener, general[0], "W");
    StoreNumber(target, kResultZagrebM1, m1, "M1");
    StoreNumber(target, kResultZagrebM2, general[1], "M2");
    StoreNumber(target, kResultHarary, general[2], "H");
    StoreNumber(target, kResultBalaban, j, "J");
  };
  if (graph.VertexCount() == 0) {
    storeNumbers();
    // Values of an earlier run on this molecule would describe another structure.
    for (const char* name : {kResultRandic, kResultValenceConnectivity, kResultEpsilon, kResultKappa,
                             kResultKappaAlpha, kResultFlexibility})
      target.DeleteParam(name);
    return;
  }

  const TAtomDeltas deltas = AtomDeltas(graph);
  TSubgraphSums sums;
  {
    TValenceMark mark(*structure, graph, deltas.valence);
    sums = SubgraphCensus(graph, deltas.delta, deltas.valence, deltas.edgeDegree, subgraphLimit);
  }
  TKappaCounts counts;
  counts.atoms = graph.VertexCount();
  counts.paths1 = graph.EdgeCount();
  counts.paths2 = sums.count[1][skPath];
  counts.paths3 = sums.count[2][skPath];
  const std::array<long double, 3> kappa = KappaIndexes(counts);
  const std::array<long double, 3> kappaAlpha = KappaIndexes(counts, KappaAlpha(graph));

  storeNumbers();
  const Ptr<TMatrixParameter> chi = NewConnectivityMatrix("X");
  const Ptr<TMatrixParameter> chiV = NewConnectivityMatrix("Xv");
  const Ptr<TMatrixParameter> epsilon = NewConnectivityMatrix("e");
  FillConnectivityMatrix(*chi, sums.vertex1);
  FillConnectivityMatrix(*chiV, sums.vertex2);
  FillConnectivityMatrix(*epsilon, sums.edge);
  StoreMatrix(target, kResultRandic, chi);
  StoreMatrix(target, kResultValenceConnectivity, chiV);
  StoreMatrix(target, kResultEpsilon, epsilon);
  const Ptr<TMatrixParameter> storedAlpha = KappaMatrix(true, kappaAlpha);
  StoreMatrix(target, kResultKappa, KappaMatrix(false, kappa));
  StoreMatrix(target, kResultKappaAlpha, storedAlpha);
  target.AddParam(kResultFlexibility, std::make_shared<TNumberParameter>(kResultFlexibility, 0.0), nullptr, true);
  target.SetShortCaptionOf(kResultFlexibility, kFlexibilityCaption);
  // From the stored (double) kappa(alpha) values, as the flexibility of a written result file would be.
  const IDoubleMatrix& stored = *storedAlpha->GetMatrix();
  const long double phi = static_cast<long double>(stored.Get(0, 0)) * stored.Get(0, 1) / counts.atoms;
  target.SetFloat(kResultFlexibility, static_cast<double>(phi));
}

} // namespace

TTopologicalIndexes::TTopologicalIndexes() : TBlock(1), subgraphLimit_(kMaxConnectedBondSets) {}

void TTopologicalIndexes::Execute(bool&) {
  LogTransient("Calculating topological indexes...");
  if (Ptr<ISubGraph> structure = GetInputStructure()) Classify(structure);
}

void TTopologicalIndexes::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  auto target = std::dynamic_pointer_cast<IParameters>(structure);
  if (!target) throw EChemError("The structure cannot carry the topological indexes.");
  try {
    Compute(structure, *target, subgraphLimit_);
  } catch (...) {
    for (const char* name : kValueNames) target->DeleteParam(name);
    throw;
  }
}

int TTopologicalIndexes::GetValueCount(int kind) const {
  return kind == ekMolecule ? static_cast<int>(kValueNames.size()) : 0;
}

std::string TTopologicalIndexes::GetValueName(int kind, int index) const {
  if (kind != ekMolecule || index < 0 || index >= static_cast<int>(kValueNames.size()))
    throw std::out_of_range("Topological index value " + std::to_string(index));
  return kValueNames[static_cast<size_t>(index)];
}

} // namespace corvatin
