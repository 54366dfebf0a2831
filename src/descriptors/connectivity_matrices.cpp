#include "descriptors/connectivity_matrices.h"

#include "chem/elements.h"
#include "chem/molecule.h"

namespace corvatin {

namespace {

int HeavyDegree(const IVertex& vertex) {
  if (const IAtom* atom = AsAtom(&vertex)) return atom->HeavyNeighbourCount();
  int count = 0;
  for (int k = 0; k < vertex.NeighbourCount(); ++k) {
    const IAtom* neighbour = AsAtom(vertex.GetNeighbour(k));
    if (!neighbour || neighbour->GetSymbol() != "H") ++count;
  }
  return count;
}

long double ValenceDelta(const IVertex& vertex) {
  const IAtom* atom = AsAtom(&vertex);
  if (!atom) return 0;
  const int z = atom->GetAtomicNumber();
  if (z <= 0) return 0; // q = Z - Zv would be 0
  const int zv = ValenceElectrons(z);
  const int q = z >= 2 && z <= 10 ? 1 : z - zv;
  // Kier and Hall's delta-v from the element's valence electrons and the hydrogens completion left on the atom:
  // the formal charge does not enter it (an N+ counts as an N with its completed hydrogens), as in the original
  // definition (J. Pharm. Sci. 65 (1976) 1806).
  return static_cast<long double>(zv - atom->HydrogenCount()) / q;
}

} // namespace

TAtomDeltas AtomDeltas(const TCompactGraph& compact) {
  TAtomDeltas deltas;
  const int n = compact.VertexCount();
  deltas.delta.reserve(static_cast<size_t>(n));
  deltas.valence.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const IVertex& vertex = *compact.Vertex(i);
    deltas.delta.push_back(HeavyDegree(vertex));
    deltas.valence.push_back(ValenceDelta(vertex));
  }
  deltas.edgeDegree.reserve(static_cast<size_t>(compact.EdgeCount()));
  for (int e = 0; e < compact.EdgeCount(); ++e)
    deltas.edgeDegree.push_back(deltas.delta[static_cast<size_t>(compact.End1(e))] +
                                deltas.delta[static_cast<size_t>(compact.End2(e))] - 2);
  return deltas;
}

Ptr<TMatrixParameter> NewConnectivityMatrix(const std::string& shortCaption) {
  // Clusters need three bonds, path-clusters four, chains (rings) three.
  std::vector<bool> mask{false, true, true, true,   // order 1
                         false, true, true, true,   // order 2
                         false, false, true, false}; // order 3
  return std::make_shared<TMatrixParameter>(NewMatrix(kSubgraphKinds, kSubgraphOrders), shortCaption, "",
                                            std::vector<std::string>{"%s(P)", "%s(C)", "%s(PC)", "%s(Ch)"},
                                            std::vector<std::string>{"1", "2", "3", "4", "5", "6"}, std::move(mask));
}

void FillConnectivityMatrix(IMatrixParameter& parameter, const TSubgraphSums::Cells<long double>& cells) {
  IDoubleMatrix& matrix = *parameter.GetMatrix();
  for (int m = 0; m < kSubgraphOrders; ++m)
    for (int k = 0; k < kSubgraphKinds; ++k)
      matrix.Set(m, k, static_cast<double>(cells[static_cast<size_t>(m)][static_cast<size_t>(k)]));
}

} // namespace corvatin
