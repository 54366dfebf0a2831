// Ring systems for geometry generation: the biconnected components of the molecule (the lowpoint method,
// SIAM J. Comput. 1 (1972) 146), and for each a smallest set of smallest rings: candidate cycles
// (the shortest cycle through every bond, then Horton's cycles, SIAM J. Comput. 16 (1987) 358)
// taken shortest first when independent over GF(2).

#include "chem/geometry_internal.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <queue>
#include <utility>

namespace corvatin::geometry_detail {

namespace {

using Bits = std::vector<std::uint64_t>;

struct LocalGraph {
  int n = 0;
  std::vector<std::vector<int>> adj;     // local neighbours
  std::vector<std::vector<int>> adjEdge; // parallel: local edge index
  std::vector<std::pair<int, int>> edges;
};

/// Biconnected components as edge lists (each edge once), components of a single bond left out.
std::vector<std::vector<std::pair<int, int>>> CyclicComponents(const Topology& t) {
  std::vector<std::vector<std::pair<int, int>>> result;
  const size_t n = static_cast<size_t>(t.n);
  std::vector<int> disc(n, -1), low(n, 0);
  std::vector<std::pair<int, int>> edgeStack;
  struct Frame {
    int v;
    int parent;
    size_t next;
  };
  std::vector<Frame> frames;
  int time = 0;
  for (int s = 0; s < t.n; ++s) {
    if (disc[static_cast<size_t>(s)] >= 0) continue;
    disc[static_cast<size_t>(s)] = low[static_cast<size_t>(s)] = time++;
    frames.push_back({s, -1, 0});
    while (!frames.empty()) {
      Frame& f = frames.back();
      const int v = f.v;
      const auto vi = static_cast<size_t>(v);
      const std::vector<int>& nb = t.Neighbours(v);
      if (f.next < nb.size()) {
        const int w = nb[f.next++];
        const auto wi = static_cast<size_t>(w);
        if (disc[wi] < 0) {
          edgeStack.emplace_back(v, w);
          disc[wi] = low[wi] = time++;
          frames.push_back({w, v, 0});
        } else if (w != f.parent && disc[wi] < disc[vi]) {
          edgeStack.emplace_back(v, w);
          low[vi] = std::min(low[vi], disc[wi]);
        }
        continue;
      }
      frames.pop_back();
      if (frames.empty()) break;
      const int u = frames.back().v;
      const auto ui = static_cast<size_t>(u);
      low[ui] = std::min(low[ui], low[vi]);
      if (low[vi] >= disc[ui]) {
        std::vector<std::pair<int, int>> component;
        while (!edgeStack.empty()) {
          const auto e = edgeStack.back();
          edgeStack.pop_back();
          component.push_back(e);
          if (e.first == u && e.second == v) break;
        }
        if (component.size() >= 3) result.push_back(std::move(component));
      }
    }
  }
  return result;
}

/// Shortest path from a to b by breadth-first search, optionally without one edge; empty when none.
std::vector<int> ShortestPath(const LocalGraph& g, int a, int b, int avoidEdge) {
  std::vector<int> previous(static_cast<size_t>(g.n), -2);
  std::queue<int> queue;
  previous[static_cast<size_t>(a)] = -1;
  queue.push(a);
  while (!queue.empty() && previous[static_cast<size_t>(b)] == -2) {
    const int v = queue.front();
    queue.pop();
    const auto vi = static_cast<size_t>(v);
    for (size_t k = 0; k < g.adj[vi].size(); ++k) {
      const int w = g.adj[vi][k];
      if (g.adjEdge[vi][k] == avoidEdge || previous[static_cast<size_t>(w)] != -2) continue;
      previous[static_cast<size_t>(w)] = v;
      queue.push(w);
    }
  }
  std::vector<int> path;
  if (previous[static_cast<size_t>(b)] == -2) return path;
  for (int v = b; v != -1; v = previous[static_cast<size_t>(v)])
    path.push_back(v);
  std::reverse(path.begin(), path.end());
  return path;
}

/// Parents of a breadth-first tree rooted at root (-1 at the root; the block is connected).
std::vector<int> BreadthFirstTree(const LocalGraph& g, int root) {
  std::vector<int> parent(static_cast<size_t>(g.n), -2);
  std::queue<int> queue;
  parent[static_cast<size_t>(root)] = -1;
  queue.push(root);
  while (!queue.empty()) {
    const int v = queue.front();
    queue.pop();
    for (int w : g.adj[static_cast<size_t>(v)])
      if (parent[static_cast<size_t>(w)] == -2) {
        parent[static_cast<size_t>(w)] = v;
        queue.push(w);
      }
  }
  return parent;
}

struct Candidate {
  std::vector<int> ring; // local vertices in ring order
  Bits bits;             // its edges
};

int EdgeBetween(const LocalGraph& g, int a, int b) {
  const auto ai = static_cast<size_t>(a);
  for (size_t k = 0; k < g.adj[ai].size(); ++k)
    if (g.adj[ai][k] == b) return g.adjEdge[ai][k];
  return -1;
}

Candidate MakeCandidate(const LocalGraph& g, std::vector<int> ring) {
  Candidate c;
  c.bits.assign((g.edges.size() + 63) / 64, 0);
  for (size_t i = 0; i < ring.size(); ++i) {
    const int e = EdgeBetween(g, ring[i], ring[(i + 1) % ring.size()]);
    if (e >= 0) c.bits[static_cast<size_t>(e) / 64] |= std::uint64_t{1} << (static_cast<size_t>(e) % 64);
  }
  c.ring = std::move(ring);
  return c;
}

/// Adds the candidates, shortest first, that are independent of the basis so far; stops at rank.
void Select(std::vector<Candidate> candidates, size_t rank, std::vector<Bits>& basis, std::vector<int>& pivots,
            std::vector<std::vector<int>>& rings) {
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.ring.size() < b.ring.size(); });
  for (Candidate& c : candidates) {
    if (rings.size() >= rank) return;
    Bits reduced = c.bits;
    for (size_t r = 0; r < basis.size(); ++r) {
      const auto p = static_cast<size_t>(pivots[r]);
      if (reduced[p / 64] >> (p % 64) & 1u)
        for (size_t w = 0; w < reduced.size(); ++w)
          reduced[w] ^= basis[r][w];
    }
    int pivot = -1;
    for (size_t w = 0; w < reduced.size() && pivot < 0; ++w)
      if (reduced[w]) pivot = static_cast<int>(w * 64 + static_cast<size_t>(__builtin_ctzll(reduced[w])));
    if (pivot < 0) continue;
    basis.push_back(std::move(reduced));
    pivots.push_back(pivot);
    rings.push_back(std::move(c.ring));
  }
}

std::vector<std::vector<int>> SmallestRings(const LocalGraph& g) {
  const size_t rank = g.edges.size() + 1 - static_cast<size_t>(g.n);
  std::vector<Bits> basis;
  std::vector<int> pivots;
  std::vector<std::vector<int>> rings;

  // The shortest cycle through each bond covers the rings of nearly every molecule.
  std::vector<Candidate> candidates;
  std::map<Bits, bool> seen;
  for (size_t e = 0; e < g.edges.size(); ++e) {
    std::vector<int> path = ShortestPath(g, g.edges[e].first, g.edges[e].second, static_cast<int>(e));
    if (path.size() < 3) continue;
    Candidate c = MakeCandidate(g, std::move(path));
    if (seen.emplace(c.bits, true).second) candidates.push_back(std::move(c));
  }
  Select(std::move(candidates), rank, basis, pivots, rings);
  if (rings.size() >= rank) return rings;

  // Cages (cubane) need Horton's cycles: for every vertex r and edge (x, y), path r-x, the edge, path y-r.
  // Their number grows with the square of the system, so only systems of moderate size get them.
  constexpr int kMaxHortonAtoms = 400;
  if (g.n > kMaxHortonAtoms) return rings;
  candidates.clear();
  for (int r = 0; r < g.n; ++r) {
    const std::vector<int> parent = BreadthFirstTree(g, r);
    auto pathTo = [&](int v) {
      std::vector<int> path;
      for (; v != -1; v = parent[static_cast<size_t>(v)])
        path.push_back(v);
      std::reverse(path.begin(), path.end());
      return path;
    };
    for (const auto& [x, y] : g.edges) {
      if (parent[static_cast<size_t>(x)] == y || parent[static_cast<size_t>(y)] == x) continue;
      const std::vector<int> px = pathTo(x);
      const std::vector<int> py = pathTo(y);
      bool disjoint = true;
      for (size_t k = 1; k < py.size() && disjoint; ++k)
        disjoint = std::find(px.begin(), px.end(), py[k]) == px.end();
      if (!disjoint) continue;
      std::vector<int> ring = px;
      for (size_t k = py.size() - 1; k >= 1; --k)
        ring.push_back(py[k]);
      if (ring.size() < 3) continue;
      Candidate c = MakeCandidate(g, std::move(ring));
      if (seen.emplace(c.bits, true).second) candidates.push_back(std::move(c));
    }
  }
  Select(std::move(candidates), rank, basis, pivots, rings);
  return rings;
}

} // namespace

int RingBlock::IndexOf(int atom) const {
  const auto it = std::find(atoms.begin(), atoms.end(), atom);
  return it == atoms.end() ? -1 : static_cast<int>(it - atoms.begin());
}

RingSystems FindRingSystems(const Topology& topology) {
  RingSystems systems;
  systems.blocksOfAtom.resize(static_cast<size_t>(topology.n));
  for (const auto& component : CyclicComponents(topology)) {
    RingBlock block;
    std::map<int, int> local;
    for (const auto& [a, b] : component)
      for (int v : {a, b})
        if (local.emplace(v, static_cast<int>(block.atoms.size())).second) block.atoms.push_back(v);
    if (static_cast<int>(component.size()) <= kMaxRingSetBonds) {
      LocalGraph g;
      g.n = static_cast<int>(block.atoms.size());
      g.adj.resize(block.atoms.size());
      g.adjEdge.resize(block.atoms.size());
      for (const auto& [a, b] : component) {
        const int la = local[a], lb = local[b];
        const int e = static_cast<int>(g.edges.size());
        g.edges.emplace_back(la, lb);
        g.adj[static_cast<size_t>(la)].push_back(lb);
        g.adjEdge[static_cast<size_t>(la)].push_back(e);
        g.adj[static_cast<size_t>(lb)].push_back(la);
        g.adjEdge[static_cast<size_t>(lb)].push_back(e);
      }
      block.rings = SmallestRings(g);
    }
    const int index = static_cast<int>(systems.blocks.size());
    for (int atom : block.atoms)
      systems.blocksOfAtom[static_cast<size_t>(atom)].push_back(index);
    systems.blocks.push_back(std::move(block));
  }
  return systems;
}

} // namespace corvatin::geometry_detail
