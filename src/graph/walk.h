#pragma once
// The depth-first walk shared by Traverse and FindRings, with an explicit stack so that a chain of any length
// walks in constant native stack. Internal to the graph library.

#include "graph/model.h"

#include <vector>

namespace corvatin::detail {

/// Walks the component of root that is not yet visited: onVertex(vertex, entering, depth) on entering and
/// leaving each vertex, onEdge(edge, from, to, depth, isBack) for each tree edge before descending and for each
/// ring-closing edge once, from its deeper end. Edges are taken in each vertex's own order, skipping the one it
/// was reached by. visited (per vertex index) and marked (per edge index) carry over between calls.
template <class OnVertex, class OnEdge>
void DepthFirstWalk(const TGraph& graph, int root, std::vector<char>& visited, std::vector<char>& marked,
                    OnVertex&& onVertex, OnEdge&& onEdge) {
  struct Frame {
    TVertex* vertex;
    const IEdge* in;
    int depth;
    size_t next;
  };
  // An index outside the arrays means a callback changed the topology; such items are skipped, not trusted.
  auto inRange = [](int i, const std::vector<char>& flags) { return i >= 0 && static_cast<size_t>(i) < flags.size(); };
  std::vector<Frame> stack;
  TVertex* start = graph.VertexAt(root);
  visited[static_cast<size_t>(root)] = 1;
  onVertex(start, true, 0);
  stack.push_back(Frame{start, nullptr, 0, 0});
  while (!stack.empty()) {
    Frame& f = stack.back();
    const std::vector<IEdge*>& edges = f.vertex->Edges();
    if (f.next >= edges.size()) {
      onVertex(f.vertex, false, f.depth);
      stack.pop_back();
      continue;
    }
    const size_t i = f.next++;
    IEdge* e = edges[i];
    if (e == f.in) continue;
    IVertex* w = f.vertex->Neighbours()[i];
    const int wi = w->GetIndex();
    const int ei = e->GetIndex();
    if (!inRange(wi, visited) || !inRange(ei, marked)) continue;
    if (!visited[static_cast<size_t>(wi)]) {
      const int depth = f.depth + 1;
      onEdge(e, f.vertex, w, f.depth, false);
      TVertex* next = graph.VertexAt(wi);
      visited[static_cast<size_t>(wi)] = 1;
      onVertex(next, true, depth);
      stack.push_back(Frame{next, e, depth, 0}); // f is not used past this point
    } else if (!marked[static_cast<size_t>(ei)]) {
      marked[static_cast<size_t>(ei)] = 1;
      onEdge(e, f.vertex, w, f.depth, true);
    }
  }
}

/// The name of the visited mark the walks must leave behind on no vertex or edge.
inline constexpr const char* kTempVisited = "paramtempVisited";

} // namespace corvatin::detail
