#include "graph/matrices.h"

#include "core/errors.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvatin {

namespace {

void CheckSize(int n, const char* what) {
  if (n > kMaxMatrixVertices)
    throw EChemError(std::string("The structure is too big for ") + what + " (" + std::to_string(n) +
                     " atoms, at most " + std::to_string(kMaxMatrixVertices) + ")");
}

/// Induced adjacency lists in sub-graph positions, each in the vertex's own neighbour order.
std::vector<std::vector<int>> InducedNeighbours(const ISubGraph& sub) {
  const int n = sub.VertexCount();
  std::unordered_map<const IVertex*, int> position;
  position.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    position.emplace(sub.GetVertex(i), i);
  std::vector<std::vector<int>> adjacent(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const IVertex* v = sub.GetVertex(i);
    for (int k = 0; k < v->NeighbourCount(); ++k) {
      auto it = position.find(v->GetNeighbour(k));
      if (it != position.end() && it->second != i) adjacent[static_cast<size_t>(i)].push_back(it->second);
    }
  }
  return adjacent;
}

} // namespace

void AdjacencyMatrix(const ISubGraph& sub, IDoubleMatrix& matrix) {
  const int n = sub.VertexCount();
  CheckSize(n, "an adjacency matrix");
  const auto adjacent = InducedNeighbours(sub);
  matrix.SetSize(n);
  matrix.Clear();
  for (int i = 0; i < n; ++i)
    for (int j : adjacent[static_cast<size_t>(i)])
      matrix.Set(i, j, 1.0);
}

void DistanceMatrix(const ISubGraph& sub, int maxDistance, IDoubleMatrix& matrix) {
  // Defined as the first power k of the adjacency matrix with a non-zero (i, j) entry, that is the shortest
  // path length in the induced graph; a breadth-first search from each vertex gives the same numbers in
  // O(n (n + m)) instead of O(n^4), and without walk counts that overflow on long chains.
  const int n = sub.VertexCount();
  CheckSize(n, "a distance matrix");
  const auto adjacent = InducedNeighbours(sub);
  matrix.SetSize(n);
  matrix.Clear();
  const int limit = maxDistance == 0 ? n - 1 : maxDistance;
  if (limit < 1) return;
  std::vector<int> dist(static_cast<size_t>(n));
  std::vector<int> queue(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    std::fill(dist.begin(), dist.end(), -1);
    dist[static_cast<size_t>(i)] = 0;
    size_t head = 0;
    size_t tail = 0;
    queue[tail++] = i;
    while (head < tail) {
      const int u = queue[head++];
      const int du = dist[static_cast<size_t>(u)];
      if (du >= limit) continue;
      for (int w : adjacent[static_cast<size_t>(u)]) {
        if (dist[static_cast<size_t>(w)] >= 0) continue;
        dist[static_cast<size_t>(w)] = du + 1;
        matrix.Set(i, w, du + 1);
        queue[tail++] = w;
      }
    }
  }
}

} // namespace corvatin
