#pragma once
// Adjacency and topological distance matrices of a graph or sub-graph, in the sub-graph's own vertex order.

#include "core/matrix.h"
#include "graph/graph.h"

namespace corvatin {

/// Largest vertex count for which these matrices are built; a bigger structure raises EChemError.
inline constexpr int kMaxMatrixVertices = 5000;

/// n x n: 1 where the two vertices are adjacent in the graph (induced adjacency for a sub-graph), else 0.
void AdjacencyMatrix(const ISubGraph& sub, IDoubleMatrix& matrix);

/// n x n: the number of edges on a shortest path between the two vertices through the sub-graph's induced
/// edges, when at most maxDistance (n - 1 when maxDistance is 0); 0 on the diagonal, for farther pairs and for
/// pairs in different components.
void DistanceMatrix(const ISubGraph& sub, int maxDistance, IDoubleMatrix& matrix);

} // namespace corvatin
