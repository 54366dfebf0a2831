#pragma once
// Ring perception. The graph's own ring set is IGraph::FindRings; this header adds the depth-first ring list
// that aromaticity perception judges ring by ring.

#include "graph/graph.h"

#include <vector>

namespace corvatin {

/// Upper bound on the depth-first ring list; a fused system that would exceed it raises EChemError.
inline constexpr size_t kMaxDepthFirstRings = 20000;

/// Every ring closed by a depth-first walk of each component (lowest unvisited vertex first, neighbours in
/// each vertex's own order), plus, for each pair of rings sharing a run of edges, the ring combined around
/// both. Sorted by vertex count, smallest first (recording order among equals). The rings are new sub-graphs of
/// graph; no "VertexVisited" mark is left on any vertex.
std::vector<Ptr<ISubGraph>> DepthFirstRings(IGraph& graph);

/// A ring as vertex and edge indices of its graph, listed as the ring's sub-graph lists them.
struct TRingPath {
  std::vector<int> vertices;
  std::vector<int> edges;
};

/// DepthFirstRings as index lists, in the same order and with the same items, for callers that judge every
/// ring once and would only throw the sub-graphs away (aromaticity perception of each structure read).
std::vector<TRingPath> DepthFirstRingPaths(IGraph& graph);

} // namespace corvatin
