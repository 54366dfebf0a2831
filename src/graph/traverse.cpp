// Depth-first traversal of a graph (the walk itself lives in walk.h, shared with ring perception).
#include "graph/model.h"
#include "graph/walk.h"

namespace corvatin {

void TGraph::Traverse(const VertexVisitor& onVertex, const EdgeVisitor& onEdge) {
  if (vertices_.empty()) return;
  // Visited flags live in arrays rather than as "paramtempVisited" parameters on the items; the walk still
  // removes any such mark before and after, so callers see the items exactly as the parameter-based walk
  // would leave them.
  RemoveVertexParam(detail::kTempVisited);
  RemoveEdgeParam(detail::kTempVisited);
  std::vector<char> visited(vertices_.size(), 0);
  std::vector<char> marked(edges_.size(), 0);
  detail::DepthFirstWalk(
      *this, 0, visited, marked,
      [&](IVertex* v, bool entering, int depth) {
        if (onVertex) onVertex(v, entering, depth);
      },
      [&](IEdge* e, IVertex* from, IVertex* to, int depth, bool isBack) {
        if (onEdge) onEdge(e, from, to, depth, isBack);
      });
  RemoveVertexParam(detail::kTempVisited);
  RemoveEdgeParam(detail::kTempVisited);
}

} // namespace corvatin
