#pragma once
// The small template graphs whose occurrences the connectivity indexes count ("Molecular
// Connectivity in Structure-Activity Analysis", Research Studies Press, 1986: paths, clusters, path-clusters and chains by order m).

#include "graph/graph.h"

#include <vector>

namespace corvatin {

/// Kinds of template graphs.
enum TemplateKind : int { tkPath = 0, tkCluster = 1, tkPathCluster = 2, tkChain = 3 };

/// Appends to list the templates of the kind with m edges, each a new plain graph (no parameters) whose edges
/// join the tabulated vertex pairs in order: the path of m edges (m >= 0); the star of m edges (m = 3 ... 6),
/// with one more branched tree for m = 5 and m = 6; path-clusters (one for m = 4, three for 5, eight for 6);
/// the ring of m vertices (m >= 3). Other kinds and sizes add nothing.
void TemplateGraphs(int kind, int size, std::vector<Ptr<IGraph>>& list);

} // namespace corvatin
