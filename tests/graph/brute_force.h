#pragma once
// Independent reference for occurrence counts and ring shapes: enumerate every set of m edges of the target and
// test it for isomorphism with the template by trying vertex bijections. Exponential, but exact for the small templates
// and molecules of the tests, and sharing no code with the finder.

#include "graph/graph.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace corvatin::test {

/// A small graph as vertex count and edge pairs.
struct SmallGraph {
  int vertices = 0;
  std::vector<std::pair<int, int>> edges;
};

/// The edges of a (sub-)graph as pairs of its own vertex positions (-1 for an end it does not list).
inline SmallGraph EdgesOf(const ISubGraph& sub) {
  SmallGraph g;
  g.vertices = sub.VertexCount();
  for (int i = 0; i < sub.EdgeCount(); ++i)
    g.edges.emplace_back(sub.IndexOfVertex(sub.GetEdge(i)->GetVertex1()),
                         sub.IndexOfVertex(sub.GetEdge(i)->GetVertex2()));
  return g;
}

/// Whether a and b are isomorphic (same vertex and edge counts, some bijection maps every edge of a onto b).
inline bool Isomorphic(const SmallGraph& a, const SmallGraph& b) {
  if (a.vertices != b.vertices || a.edges.size() != b.edges.size()) return false;
  for (const SmallGraph* g : {&a, &b})
    for (auto [u, v] : g->edges)
      if (u < 0 || v < 0) return false;
  const int n = a.vertices;
  std::vector<std::vector<char>> adjA(static_cast<size_t>(n), std::vector<char>(static_cast<size_t>(n), 0));
  auto adjB = adjA;
  std::vector<int> degA(static_cast<size_t>(n), 0), degB(static_cast<size_t>(n), 0);
  for (auto [u, v] : a.edges) {
    adjA[static_cast<size_t>(u)][static_cast<size_t>(v)] = adjA[static_cast<size_t>(v)][static_cast<size_t>(u)] = 1;
    ++degA[static_cast<size_t>(u)];
    ++degA[static_cast<size_t>(v)];
  }
  for (auto [u, v] : b.edges) {
    adjB[static_cast<size_t>(u)][static_cast<size_t>(v)] = adjB[static_cast<size_t>(v)][static_cast<size_t>(u)] = 1;
    ++degB[static_cast<size_t>(u)];
    ++degB[static_cast<size_t>(v)];
  }
  std::vector<int> map(static_cast<size_t>(n), -1);
  std::vector<char> used(static_cast<size_t>(n), 0);
  std::function<bool(int)> extend = [&](int i) {
    if (i == n) return true;
    for (int j = 0; j < n; ++j) {
      if (used[static_cast<size_t>(j)] || degA[static_cast<size_t>(i)] != degB[static_cast<size_t>(j)]) continue;
      bool fits = true;
      for (int k = 0; k < i && fits; ++k)
        fits = adjA[static_cast<size_t>(i)][static_cast<size_t>(k)] ==
               adjB[static_cast<size_t>(j)][static_cast<size_t>(map[static_cast<size_t>(k)])];
      if (!fits) continue;
      map[static_cast<size_t>(i)] = j;
      used[static_cast<size_t>(j)] = 1;
      if (extend(i + 1)) return true;
      used[static_cast<size_t>(j)] = 0;
    }
    return false;
  };
  return extend(0);
}

/// How many sets of edges of target form a graph isomorphic to pattern.
inline int CountEdgeSubsets(const SmallGraph& target, const SmallGraph& pattern) {
  const int m = static_cast<int>(pattern.edges.size());
  const int e = static_cast<int>(target.edges.size());
  if (m == 0) return target.vertices > 0 && pattern.vertices == 1 ? 1 : 0; // all single vertices share one empty set
  if (m > e) return 0;
  std::vector<int> pick(static_cast<size_t>(m));
  for (int i = 0; i < m; ++i)
    pick[static_cast<size_t>(i)] = i;
  int count = 0;
  for (;;) {
    // The chosen edges, renumbered over the vertices they touch.
    std::vector<int> renumber(static_cast<size_t>(target.vertices), -1);
    SmallGraph sub;
    for (int i : pick) {
      auto [u, v] = target.edges[static_cast<size_t>(i)];
      for (int* w : {&u, &v}) {
        int& r = renumber[static_cast<size_t>(*w)];
        if (r < 0) r = sub.vertices++;
        *w = r;
      }
      sub.edges.emplace_back(u, v);
    }
    if (Isomorphic(sub, pattern)) ++count;
    int i = m - 1;
    while (i >= 0 && pick[static_cast<size_t>(i)] == e - m + i)
      --i;
    if (i < 0) break;
    ++pick[static_cast<size_t>(i)];
    for (int j = i + 1; j < m; ++j)
      pick[static_cast<size_t>(j)] = pick[static_cast<size_t>(j) - 1] + 1;
  }
  return count;
}

/// Whether the sub-graph is one simple cycle over all its vertices.
inline bool IsSimpleRing(const ISubGraph& sub) {
  SmallGraph cycle{sub.VertexCount(), {}};
  for (int i = 0; i < cycle.vertices; ++i) cycle.edges.emplace_back(i, (i + 1) % cycle.vertices);
  return cycle.vertices >= 3 && Isomorphic(EdgesOf(sub), cycle);
}

} // namespace corvatin::test
