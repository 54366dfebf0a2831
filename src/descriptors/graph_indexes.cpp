#include "descriptors/graph_indexes.h"

#include "core/errors.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace corvatin {

long double IndexPower(long double x, long double y) {
  if (y == 0) return 1;
  if (x == 0) return 0;
  return std::pow(x, y);
}

TCompactGraph::TCompactGraph(const ISubGraph& graph) {
  const int n = graph.VertexCount();
  if (n > kMaxTopologicalAtoms)
    throw EChemError("The structure is too big for the topological indexes (" + std::to_string(n) +
                     " atoms without hydrogens, at most " + std::to_string(kMaxTopologicalAtoms) + ")");
  std::unordered_map<const IVertex*, int> position;
  std::unordered_map<const IEdge*, int> edgePosition;
  position.reserve(Index(n));
  for (int i = 0; i < n; ++i) position.emplace(graph.GetVertex(i), i);
  for (int e = 0; e < graph.EdgeCount(); ++e) {
    const IEdge* edge = graph.GetEdge(e);
    auto p1 = position.find(edge->GetVertex1());
    auto p2 = position.find(edge->GetVertex2());
    if (p1 == position.end() || p2 == position.end()) continue;
    if (edgePosition.emplace(edge, EdgeCount()).second) ends_.emplace_back(p1->second, p2->second);
  }
  // Incidences in each vertex's own edge order, so that every walk over them is reproducible.
  first_.reserve(Index(n) + 1);
  for (int i = 0; i < n; ++i) {
    const IVertex* v = graph.GetVertex(i);
    for (int k = 0; k < v->EdgeCount(); ++k) {
      auto found = edgePosition.find(v->GetEdge(k));
      if (found == edgePosition.end()) continue;
      const auto& [a, b] = ends_[Index(found->second)];
      incidences_.push_back({a == i ? b : a, found->second});
    }
    first_.push_back(static_cast<int>(incidences_.size()));
  }
  component_.assign(Index(n), -1);
  queue_.resize(Index(n));
  for (int start = 0; start < n; ++start) {
    if (component_[Index(start)] >= 0) continue;
    size_t head = 0, tail = 0;
    queue_[tail++] = start;
    component_[Index(start)] = components_;
    while (head < tail) {
      const int u = queue_[head++];
      for (const Incidence* it = BeginIncidences(u); it != EndIncidences(u); ++it)
        if (component_[Index(it->neighbour)] < 0) {
          component_[Index(it->neighbour)] = components_;
          queue_[tail++] = it->neighbour;
        }
    }
    ++components_;
  }
}

void TCompactGraph::Distances(int source, int* row) const {
  const int n = VertexCount();
  for (int i = 0; i < n; ++i) row[i] = -1;
  size_t head = 0, tail = 0;
  queue_[tail++] = source;
  row[source] = 0;
  while (head < tail) {
    const int u = queue_[head++];
    const int next = row[u] + 1;
    for (const Incidence* it = BeginIncidences(u); it != EndIncidences(u); ++it)
      if (row[it->neighbour] < 0) {
        row[it->neighbour] = next;
        queue_[tail++] = it->neighbour;
      }
  }
}

TDistanceRows::TDistanceRows(const TCompactGraph& graph) : graph_(graph), kept_(graph.VertexCount() <= kKeptRows) {
  const int n = graph.VertexCount();
  const size_t un = static_cast<size_t>(n);
  rows_.resize(kept_ ? un * un : un);
  sums_.assign(un, 0);
  for (int i = 0; i < n; ++i) {
    int* row = rows_.data() + (kept_ ? static_cast<size_t>(i) * un : 0);
    graph.Distances(i, row);
    std::int64_t sum = 0;
    for (int j = 0; j < n; ++j)
      if (row[j] > 0) sum += row[j];
    sums_[static_cast<size_t>(i)] = sum;
  }
}

const int* TDistanceRows::Row(int source) {
  if (kept_) return rows_.data() + static_cast<size_t>(source) * static_cast<size_t>(graph_.VertexCount());
  graph_.Distances(source, rows_.data());
  return rows_.data();
}

namespace {

/// The values one parameter set gives each distance d = 0 .. maxDistance.
struct DistanceTables {
  std::vector<long double> pair; // A: pow(d pow(a, d - 1), c)
  std::vector<long double> left; // d pow(b, d - 1)
  std::vector<long double> right; // d pow(b', d - 1)

  DistanceTables(const GeneralisedIndexParameters& p, int maxDistance) {
    for (int d = 0; d <= maxDistance; ++d) {
      const long double ld = d;
      pair.push_back(IndexPower(ld * IndexPower(p.a, ld - 1), p.c));
      left.push_back(ld * IndexPower(p.b, ld - 1));
      right.push_back(ld * IndexPower(p.b2, ld - 1));
    }
  }
};

} // namespace

std::vector<long double> GeneralisedIndexes(const TCompactGraph& graph, TDistanceRows& distances,
                                            const std::vector<GeneralisedIndexParameters>& parameters) {
  const int n = graph.VertexCount();
  const size_t un = static_cast<size_t>(n);
  const size_t count = parameters.size();
  std::vector<long double> results(count, 0);
  if (n == 0) return results;
  std::vector<DistanceTables> tables;
  tables.reserve(count);
  for (const auto& p : parameters) tables.emplace_back(p, n); // no distance exceeds n - 1

  // L and R: one row sum per vertex and parameter set.
  std::vector<long double> left(count * un, 0), right(count * un, 0);
  for (int i = 0; i < n; ++i) {
    const int* row = distances.Row(i);
    for (size_t p = 0; p < count; ++p) {
      long double l = 0, r = 0;
      for (int j = 0; j < n; ++j) {
        if (row[j] <= 0) continue; // the diagonal, and other components (distance 0, so the term is 0)
        l += tables[p].left[static_cast<size_t>(row[j])];
        r += tables[p].right[static_cast<size_t>(row[j])];
      }
      left[p * un + static_cast<size_t>(i)] = IndexPower(l, parameters[p].e);
      right[p * un + static_cast<size_t>(i)] = IndexPower(r, parameters[p].f);
    }
  }

  // Pairs in different components have distance 0, so A = pow(0, c): 1 when c = 0, else 0.
  std::vector<long double> componentRight(count * static_cast<size_t>(graph.ComponentCount()), 0);
  std::vector<long double> totalRight(count, 0);
  for (size_t p = 0; p < count; ++p)
    for (int j = 0; j < n; ++j) {
      componentRight[p * static_cast<size_t>(graph.ComponentCount()) + static_cast<size_t>(graph.Component(j))] +=
          right[p * un + static_cast<size_t>(j)];
      totalRight[p] += right[p * un + static_cast<size_t>(j)];
    }

  std::vector<long double> sums(count, 0);
  for (int i = 0; i < n; ++i) {
    const int* row = distances.Row(i);
    for (size_t p = 0; p < count; ++p) {
      long double inner = 0;
      for (int j = 0; j < n; ++j)
        if (row[j] > 0) inner += tables[p].pair[static_cast<size_t>(row[j])] * right[p * un + static_cast<size_t>(j)];
      const long double apart = IndexPower(0, parameters[p].c);
      if (apart != 0)
        inner += apart * (totalRight[p] - componentRight[p * static_cast<size_t>(graph.ComponentCount()) +
                                                         static_cast<size_t>(graph.Component(i))]);
      sums[p] += left[p * un + static_cast<size_t>(i)] * inner;
    }
  }
  for (size_t p = 0; p < count; ++p) results[p] = parameters[p].s * sums[p];
  return results;
}

long double ZagrebM1(const TCompactGraph& graph) {
  long double sum = 0;
  for (int v = 0; v < graph.VertexCount(); ++v) sum += static_cast<long double>(graph.Degree(v)) * graph.Degree(v);
  return sum;
}

long double BalabanJ(const TCompactGraph& graph, const TDistanceRows& distances) {
  const int bonds = graph.EdgeCount();
  if (bonds == 0) return 0;
  const auto& s = distances.Sums();
  long double sum = 0;
  for (int e = 0; e < bonds; ++e) {
    const long double product = static_cast<long double>(s[static_cast<size_t>(graph.End1(e))]) *
                                static_cast<long double>(s[static_cast<size_t>(graph.End2(e))]);
    if (product > 0) sum += 1 / std::sqrt(product);
  }
  // The cyclomatic number with c components: E - N + c, never negative, so the divisor is at least 1 (the
  // E - N + 2 of the connected case would vanish for two trees in one record and turn negative for three).
  const int mu = bonds - graph.VertexCount() + graph.ComponentCount();
  return bonds * sum / (mu + 1);
}

} // namespace corvatin
