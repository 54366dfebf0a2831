#pragma once
// The connectivity indexes of a hydrogen-suppressed graph: Randic's branching index chi, Kier and Hall's valence
// connectivity index chi-v and Estrada's edge connectivity index epsilon, each for paths, clusters,
// path-clusters and chains of orders 1 to 6, as labelled and masked 6 x 4 matrix parameters.

#include "core/parameters.h"
#include "descriptors/subgraph_census.h"
#include "graph/graph.h"

#include <string>
#include <vector>

namespace corvatin {

inline constexpr const char* kResultRandic = "Randic branching index";
inline constexpr const char* kResultValenceConnectivity = "Valence connectivity index";
inline constexpr const char* kResultEpsilon = "Epsilon index";

/// The temporary atom mark holding the valence delta while the connectivity indexes are computed.
inline constexpr const char* kParamValenceConnectivity = "paramValenceConnectivity";

/// The atom values the connectivity indexes weight vertices and bonds with, one entry per vertex of the graph.
struct TAtomDeltas {
  /// delta: neighbours whose symbol is not "H" (for a vertex that is no atom, neighbours that are not hydrogens).
  std::vector<long double> delta;
  /// delta-v = (Zv - h) / q, q = 1 for 2 <= Z <= 10, else Z - Zv (J. Pharm. Sci. 72 (1983) 1170);
  /// 0 for a vertex without an element (no atom, or Z = 0), which has no valence electrons to count.
  std::vector<long double> valence;
  /// Per bond of the graph: the edge degree delta_u + delta_w - 2 (J. Chem. Inf. Comput. Sci. 35 (1995)
  /// 31).
  std::vector<long double> edgeDegree;
};

/// The deltas of graph's vertices and bonds.
TAtomDeltas AtomDeltas(const TCompactGraph& graph);

/// A zero 6 x 4 matrix parameter with the short caption, the row labels "1" ... "6", the column label formats
/// "%s(P)", "%s(C)", "%s(PC)", "%s(Ch)", and the mask of the cells that cannot exist (clusters and path-clusters
/// below their smallest orders, chains below three bonds).
Ptr<TMatrixParameter> NewConnectivityMatrix(const std::string& shortCaption);

/// Copies the cells into the matrix of a parameter made by NewConnectivityMatrix.
void FillConnectivityMatrix(IMatrixParameter& parameter, const TSubgraphSums::Cells<long double>& cells);

} // namespace corvatin
