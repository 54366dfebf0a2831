// Ring perception: the graph's ring set (a depth-first fundamental set, reduced by ring sums towards the
// smallest rings) and the depth-first ring list used by aromaticity perception. Rings are built as index lists
// and turned into sub-graphs at the end, so the graph's items are touched only through plain indices.
#include "graph/rings.h"

#include "core/errors.h"
#include "graph/model.h"
#include "graph/subgraph.h"
#include "graph/walk.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace corvatin {

namespace {

/// A ring as vertex and edge indices of the graph, in ring order.
using RingPath = TRingPath;

/// Ring bookkeeping of FindRings: the ring, its size (edge count) and the reduction flags.
struct TCycleData {
  RingPath ring;
  int size = 0;
  bool merged = false;
  bool kept = false;
  bool final = false;
};

/// Both end vertex indices of every edge of graph.
std::vector<std::pair<int, int>> EdgeEnds(const IGraph& graph) {
  std::vector<std::pair<int, int>> ends(static_cast<size_t>(graph.EdgeCount()));
  for (int i = 0; i < graph.EdgeCount(); ++i) {
    const IEdge* e = graph.GetEdge(i);
    ends[static_cast<size_t>(i)] = {graph.IndexOfVertex(e->GetVertex1()), graph.IndexOfVertex(e->GetVertex2())};
  }
  return ends;
}

/// Shared-edge counts and ring sums (symmetric differences of edge sets) over one graph.
class RingAlgebra {
public:
  explicit RingAlgebra(std::vector<std::pair<int, int>> ends)
      : ends_(std::move(ends)), inA_(ends_.size(), 0), inB_(ends_.size(), 0) {}

  int Shared(const RingPath& a, const RingPath& b) {
    const unsigned g = NextGeneration();
    for (int e : a.edges)
      inA_[static_cast<size_t>(e)] = g;
    int s = 0;
    for (int e : b.edges)
      if (inA_[static_cast<size_t>(e)] == g) ++s;
    return s;
  }

  /// The edges of exactly one of a and b (a's first, each in its ring's order), walked end to end so that the
  /// vertices come in ring order. A sum that is not one simple ring is walked piece by piece.
  RingPath Sum(const RingPath& a, const RingPath& b) {
    const unsigned g = NextGeneration();
    for (int e : a.edges)
      inA_[static_cast<size_t>(e)] = g;
    for (int e : b.edges)
      inB_[static_cast<size_t>(e)] = g;
    std::vector<int> list;
    for (int e : a.edges)
      if (inB_[static_cast<size_t>(e)] != g) list.push_back(e);
    for (int e : b.edges)
      if (inA_[static_cast<size_t>(e)] != g) list.push_back(e);

    RingPath ring;
    std::vector<char> used(list.size(), 0);
    for (size_t start = 0; start < list.size(); ++start) {
      if (used[start]) continue;
      used[start] = 1;
      const auto [first, second] = ends_[static_cast<size_t>(list[start])];
      ring.edges.push_back(list[start]);
      ring.vertices.push_back(first);
      ring.vertices.push_back(second);
      int cur = second;
      for (;;) {
        size_t j = 0;
        while (j < list.size() && (used[j] || (ends_[static_cast<size_t>(list[j])].first != cur &&
                                               ends_[static_cast<size_t>(list[j])].second != cur)))
          ++j;
        if (j == list.size()) break;
        used[j] = 1;
        ring.edges.push_back(list[j]);
        const auto [u, v] = ends_[static_cast<size_t>(list[j])];
        cur = u == cur ? v : u;
        if (cur == first) break;
        ring.vertices.push_back(cur);
      }
    }
    return ring;
  }

private:
  unsigned NextGeneration() {
    if (++generation_ == 0) { // wrapped: old stamps could collide with new ones
      std::fill(inA_.begin(), inA_.end(), 0u);
      std::fill(inB_.begin(), inB_.end(), 0u);
      generation_ = 1;
    }
    return generation_;
  }

  std::vector<std::pair<int, int>> ends_;
  std::vector<unsigned> inA_;
  std::vector<unsigned> inB_;
  unsigned generation_ = 0;
};

/// The reduction of the fundamental ring set towards smaller rings: a ring is replaced by its sum with a
/// partner when that sum is small, and larger rings are cut down by sums with the rings already final.
/// Returns the new ring list, or an empty list when no sum was taken (the fundamental set stands).
std::vector<RingPath> ReduceRings(std::vector<TCycleData>& rec, RingAlgebra& algebra) {
  std::vector<RingPath> newRings;
  const int count = static_cast<int>(rec.size());
  // Reduce(i) may run Reduce(j) for the partner it merged before finishing; an explicit stack of frames keeps
  // that chain, however long, off the native stack.
  struct Frame {
    int i;
    bool resumed;
  };
  std::vector<Frame> stack;
  for (int start = 0; start < count; ++start) {
    if (rec[static_cast<size_t>(start)].merged) continue;
    stack.push_back(Frame{start, false});
    while (!stack.empty()) {
      Frame& f = stack.back();
      const int i = f.i;
      TCycleData& d = rec[static_cast<size_t>(i)];
      if (!f.resumed) {
        f.resumed = true;
        if (!d.merged) d.kept = true;
        int best = 10000;
        int bestJ = -1;
        for (int j = 0; j < count; ++j) {
          const TCycleData& r = rec[static_cast<size_t>(j)];
          if (j == i || r.merged || r.kept) continue;
          const int s = algebra.Shared(d.ring, r.ring);
          const int sumSize = d.size + r.size - 2 * s;
          if (s > 0 && sumSize <= 2 * s && sumSize < best) {
            best = sumSize;
            bestJ = j;
          }
        }
        if (bestJ >= 0 && rec[static_cast<size_t>(bestJ)].size + best / 2.0 > d.size) {
          newRings.push_back(algebra.Sum(d.ring, rec[static_cast<size_t>(bestJ)].ring));
          rec[static_cast<size_t>(bestJ)].merged = true;
          stack.push_back(Frame{bestJ, false}); // d and f stay untouched until this frame is resumed
          continue;
        }
        d.final = true;
      }
      stack.pop_back();
      if (d.merged) continue;
      RingPath cur = d.ring;
      bool accepted = false;
      for (int j = 0; j < count; ++j) {
        const TCycleData& r = rec[static_cast<size_t>(j)];
        if (j == i || !r.final || r.size >= d.size) continue;
        const int s = algebra.Shared(cur, r.ring);
        if (static_cast<int>(cur.edges.size()) < 2 * s || r.size < 2 * s) {
          cur = algebra.Sum(cur, r.ring);
          accepted = true;
        }
      }
      if (accepted) {
        d.merged = true;
        newRings.push_back(std::move(cur));
        d.kept = false;
      }
    }
  }
  if (!newRings.empty())
    for (const TCycleData& r : rec)
      if (r.kept) newRings.push_back(r.ring);
  return newRings;
}

/// Fills sub, a new sub-graph of graph, with the ring's vertices, then its edges, in ring order.
Ptr<ISubGraph> MakeRing(Ptr<ISubGraph> sub, const IGraph& graph, const RingPath& ring) {
  if (auto* own = dynamic_cast<TSubGraph*>(sub.get())) {
    std::vector<IVertex*> vertices;
    std::vector<IEdge*> edges;
    vertices.reserve(ring.vertices.size());
    edges.reserve(ring.edges.size());
    for (int v : ring.vertices)
      vertices.push_back(graph.GetVertex(v));
    for (int e : ring.edges)
      edges.push_back(graph.GetEdge(e));
    own->AddAll(vertices, edges);
    return sub;
  }
  for (int v : ring.vertices)
    sub->AddVertex(graph.GetVertex(v));
  for (int e : ring.edges)
    sub->AddEdge(graph.GetEdge(e));
  return sub;
}

} // namespace

// --------------------------------------------------------------------------------------------- FindRings

void TGraph::FindRings() {
  rings_.clear();
  RemoveVertexParam(detail::kTempVisited);
  RemoveEdgeParam(detail::kTempVisited);
  const size_t n = vertices_.size();
  const size_t m = edges_.size();
  std::vector<int> pathVertex(m);
  std::vector<int> pathEdge(m);
  std::vector<RingPath> found;
  auto recorder = [&](IEdge* e, IVertex* from, IVertex* to, int depth, bool isBack) {
    const auto d = static_cast<size_t>(depth);
    pathVertex[d] = from->GetIndex();
    pathEdge[d] = e->GetIndex();
    if (!isBack) return;
    // The far end is an ancestor on the current path; the ring runs from it down to here.
    const int target = to->GetIndex();
    size_t k = d;
    while (k > 0 && pathVertex[k] != target)
      --k;
    if (pathVertex[k] != target) return;
    RingPath ring;
    ring.vertices.assign(pathVertex.begin() + static_cast<std::ptrdiff_t>(k),
                         pathVertex.begin() + static_cast<std::ptrdiff_t>(d) + 1);
    ring.edges.assign(pathEdge.begin() + static_cast<std::ptrdiff_t>(k),
                      pathEdge.begin() + static_cast<std::ptrdiff_t>(d) + 1);
    found.push_back(std::move(ring));
  };
  // Every component is walked, vertex 0's first: a ring in a second fragment (a counter-ion written first, a
  // mixture) is as much a ring of the structure as one in the first.
  std::vector<char> visited(n, 0);
  std::vector<char> marked(m, 0);
  for (size_t root = 0; root < n; ++root)
    if (!visited[root])
      detail::DepthFirstWalk(
          *this, static_cast<int>(root), visited, marked, [](IVertex*, bool, int) {}, recorder);

  std::vector<TCycleData> rec;
  rec.reserve(found.size());
  for (const RingPath& r : found) {
    TCycleData c;
    c.ring = r;
    c.size = static_cast<int>(r.edges.size());
    rec.push_back(std::move(c));
  }
  std::stable_sort(rec.begin(), rec.end(), [](const TCycleData& a, const TCycleData& b) { return a.size < b.size; });
  RingAlgebra algebra(EdgeEnds(*this));
  std::vector<RingPath> reduced = ReduceRings(rec, algebra);
  const std::vector<RingPath>& result = reduced.empty() ? found : reduced;
  std::vector<Ptr<ISubGraph>> rings;
  rings.reserve(result.size());
  for (const RingPath& r : result)
    rings.push_back(MakeRing(CreateSubGraph(), *this, r));
  rings_ = std::move(rings);
  RemoveVertexParam(detail::kTempVisited);
  RemoveEdgeParam(detail::kTempVisited);
}

// -------------------------------------------------------------------------------------- DepthFirstRings

namespace {

/// Records the rings of the depth-first ring list and the combinations of each new ring with those before it.
class RingRecorder {
public:
  RingRecorder(int vertexCount, std::vector<std::pair<int, int>> ends)
      : ends_(std::move(ends)), posInOther_(ends_.size(), -1), edgeSeen_(ends_.size(), 0),
        vertexSeen_(static_cast<size_t>(vertexCount), 0) {}

  /// Appends ring n, then, for every ring recorded before it, the ring combined around both when they share a
  /// run of edges listed in the same direction (the combination itself is not compared with anything).
  void Record(RingPath n) {
    records_.push_back(std::move(n));
    const size_t newest = records_.size() - 1;
    for (size_t o = 0; o < newest; ++o) {
      const RingPath& ringN = records_[newest];
      const RingPath& ringO = records_[o];
      for (size_t t = 0; t < ringO.edges.size(); ++t)
        posInOther_[static_cast<size_t>(ringO.edges[t])] = static_cast<int>(t);
      size_t s = 0;
      size_t t = 0;
      size_t k = 0;
      for (; s < ringN.edges.size(); ++s) {
        const int at = posInOther_[static_cast<size_t>(ringN.edges[s])];
        if (at < 0) continue;
        t = static_cast<size_t>(at);
        k = 1;
        while (s + k < ringN.edges.size() && t + k < ringO.edges.size() && ringN.edges[s + k] == ringO.edges[t + k])
          ++k;
        break;
      }
      for (int e : ringO.edges)
        posInOther_[static_cast<size_t>(e)] = -1;
      if (k == 0) continue;
      RingPath combined = Combine(ringN, s, k, ringO, t);
      records_.push_back(std::move(combined));
      if (records_.size() > kMaxDepthFirstRings)
        throw EChemError("The ring system is too large for ring perception (more than " +
                         std::to_string(kMaxDepthFirstRings) + " rings)");
    }
  }

  std::vector<RingPath>& Records() { return records_; }

private:
  /// n's edges before and after the run, then o's, each added as a sub-graph adds an edge: once, with its two
  /// ends appended when new.
  RingPath Combine(const RingPath& n, size_t s, size_t k, const RingPath& o, size_t t) {
    RingPath ring;
    ++generation_;
    auto add = [&](int e) {
      if (edgeSeen_[static_cast<size_t>(e)] == generation_) return;
      edgeSeen_[static_cast<size_t>(e)] = generation_;
      for (int v : {ends_[static_cast<size_t>(e)].first, ends_[static_cast<size_t>(e)].second}) {
        if (vertexSeen_[static_cast<size_t>(v)] == generation_) continue;
        vertexSeen_[static_cast<size_t>(v)] = generation_;
        ring.vertices.push_back(v);
      }
      ring.edges.push_back(e);
    };
    for (size_t i = 0; i < s; ++i)
      add(n.edges[i]);
    for (size_t i = s + k; i < n.edges.size(); ++i)
      add(n.edges[i]);
    for (size_t i = 0; i < t; ++i)
      add(o.edges[i]);
    for (size_t i = t + k; i < o.edges.size(); ++i)
      add(o.edges[i]);
    return ring;
  }

  std::vector<std::pair<int, int>> ends_;
  std::vector<int> posInOther_;
  std::vector<std::uint64_t> edgeSeen_;
  std::vector<std::uint64_t> vertexSeen_;
  std::uint64_t generation_ = 0;
  std::vector<RingPath> records_;
};

/// Removes the walk's mark from every vertex however the walk ends.
struct VisitedMarkCleaner {
  IGraph& graph;
  ~VisitedMarkCleaner() { graph.RemoveVertexParam("VertexVisited"); }
};

} // namespace

std::vector<TRingPath> DepthFirstRingPaths(IGraph& graph) {
  // The walk keeps its visited flags and path positions in arrays; the "VertexVisited" parameters the
  // walk is defined with are therefore never written, and any left by others are removed at the end.
  VisitedMarkCleaner cleaner{graph};
  const int n = graph.VertexCount();
  RingRecorder recorder(n, EdgeEnds(graph));
  std::vector<char> visited(static_cast<size_t>(n), 0);
  std::vector<int> pathPos(static_cast<size_t>(n), -1);
  std::vector<int> path;
  struct Frame {
    int vertex;
    int next;
  };
  std::vector<Frame> stack;
  auto enter = [&](int v) {
    visited[static_cast<size_t>(v)] = 1;
    pathPos[static_cast<size_t>(v)] = static_cast<int>(path.size());
    path.push_back(v);
    stack.push_back(Frame{v, 0});
  };
  for (int root = 0; root < n; ++root) {
    if (visited[static_cast<size_t>(root)]) continue;
    enter(root);
    while (!stack.empty()) {
      Frame& f = stack.back();
      IVertex* v = graph.GetVertex(f.vertex);
      if (f.next >= v->NeighbourCount()) {
        pathPos[static_cast<size_t>(f.vertex)] = -1;
        path.pop_back();
        stack.pop_back();
        continue;
      }
      const int w = graph.IndexOfVertex(v->GetNeighbour(f.next++));
      if (w < 0) continue;
      if (!visited[static_cast<size_t>(w)]) {
        enter(w);
        continue;
      }
      // A visited neighbour still on the path at least two steps above the vertex being expanded closes a
      // ring: the path from it down to here, with the closing edge last.
      const int p = pathPos[static_cast<size_t>(w)];
      if (p < 0 || p >= static_cast<int>(path.size()) - 2) continue;
      RingPath ring;
      ring.vertices.assign(path.begin() + p, path.end());
      for (size_t i = 1; i <= ring.vertices.size(); ++i) {
        const int a = ring.vertices[i - 1];
        const int b = ring.vertices[i % ring.vertices.size()];
        if (IEdge* e = graph.GetVertex(a)->GetEdgeTo(graph.GetVertex(b))) ring.edges.push_back(graph.IndexOfEdge(e));
      }
      recorder.Record(std::move(ring));
    }
  }
  std::vector<RingPath> records = std::move(recorder.Records());
  std::stable_sort(records.begin(), records.end(),
                   [](const RingPath& a, const RingPath& b) { return a.vertices.size() < b.vertices.size(); });
  return records;
}

std::vector<Ptr<ISubGraph>> DepthFirstRings(IGraph& graph) {
  const std::vector<RingPath> records = DepthFirstRingPaths(graph);
  std::vector<Ptr<ISubGraph>> rings;
  rings.reserve(records.size());
  for (const RingPath& r : records)
    rings.push_back(MakeRing(graph.CreateSubGraph(), graph, r));
  return rings;
}

} // namespace corvatin
