#include "descriptors/graph_indexes.h"

#include "chem/molecule.h"
#include "core/errors.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace corvatin {

long double IndexPower(long double x, long double y) {
  if (y == 0) return 1;
  if (x == 0) return 0;
  // Whole exponents (all the tabulated indexes use them) by repeated squaring: a few extended-precision
  // roundings, far below what a stored double keeps, and many times faster than powl.
  if (y == std::trunc(y) && std::fabs(y) <= 64) {
    long double result = 1, base = x;
    for (unsigned n = static_cast<unsigned>(std::fabs(y)); n != 0; n >>= 1) {
      if (n & 1) result *= base;
      base *= base;
    }
    return y < 0 ? 1 / result : result;
  }
  return std::pow(x, y);
}

TCompactGraph::TCompactGraph(const ISubGraph& graph) {
  const int n = graph.VertexCount();
  std::unordered_map<const IVertex*, int> position;
  position.reserve(Index(n));
  for (int i = 0; i < n; ++i)
    if (position.emplace(graph.GetVertex(i), VertexCount()).second) vertices_.push_back(graph.GetVertex(i));
  for (int e = 0; e < graph.EdgeCount(); ++e) {
    const IEdge* edge = graph.GetEdge(e);
    auto p1 = position.find(edge->GetVertex1());
    auto p2 = position.find(edge->GetVertex2());
    if (p1 != position.end() && p2 != position.end()) ends_.emplace_back(p1->second, p2->second);
  }
  Build();
}

TCompactGraph TCompactGraph::HeavyAtomGraph(const ISubGraph& structure) {
  TCompactGraph graph;
  // Position in the graph of every vertex seen, -1 while it is heavy but not yet placed, -2 when it is light.
  std::unordered_map<IVertex*, int> position;
  auto place = [&](IVertex* v) -> int& {
    auto [it, added] = position.try_emplace(v, -1);
    if (added) {
      const IAtom* atom = AsAtom(v);
      if (atom && atom->GetAtomicNumber() <= 1) it->second = -2;
    }
    return it->second;
  };
  for (int e = 0; e < structure.EdgeCount(); ++e) {
    const IEdge* edge = structure.GetEdge(e);
    int& p1 = place(edge->GetVertex1());
    if (p1 == -2) continue;
    int& p2 = place(edge->GetVertex2());
    if (p2 == -2) continue;
    for (int* p : {&p1, &p2})
      if (*p == -1) {
        *p = graph.VertexCount();
        graph.vertices_.push_back(p == &p1 ? edge->GetVertex1() : edge->GetVertex2());
      }
    graph.ends_.emplace_back(p1, p2);
  }
  graph.Build();
  return graph;
}

void TCompactGraph::Build() {
  const int n = VertexCount();
  if (n > kMaxTopologicalAtoms)
    throw EChemError("The structure is too big for the topological indexes (" + std::to_string(n) +
                     " atoms without hydrogens, at most " + std::to_string(kMaxTopologicalAtoms) + ")");
  first_.assign(Index(n) + 1, 0);
  for (const auto& [a, b] : ends_) {
    ++first_[Index(a) + 1];
    ++first_[Index(b) + 1];
  }
  for (int i = 0; i < n; ++i) first_[Index(i) + 1] += first_[Index(i)];
  incidences_.resize(ends_.size() * 2);
  std::vector<int> next(first_.begin(), first_.end() - 1);
  for (int e = 0; e < EdgeCount(); ++e) {
    const auto& [a, b] = ends_[Index(e)];
    incidences_[Index(next[Index(a)]++)] = {b, e};
    incidences_[Index(next[Index(b)]++)] = {a, e};
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
