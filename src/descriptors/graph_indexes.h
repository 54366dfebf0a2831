#pragma once
// Distance-based indexes of a hydrogen-suppressed molecular graph: the generalised index that yields the Wiener,
// second Zagreb and Harary values, the first Zagreb index and Balaban's J. Distances come from one breadth-first
// search per atom, so no n x n matrix is ever held: a 10,000-atom structure needs a few hundred kilobytes.

#include "graph/graph.h"

#include <cstdint>
#include <vector>

namespace corvatin {

/// Largest hydrogen-suppressed graph the topological indexes take (one breadth-first search per atom, so the
/// time grows with atoms x bonds); a bigger one raises EChemError.
inline constexpr int kMaxTopologicalAtoms = 20000;

/// pow(x, y) with the conventions of the topological indexes: x^0 = 1 for every x (0 included), 0^y = 0 for every
/// y != 0 (so a zero distance raised to a negative power is 0, not infinity), otherwise x^y.
long double IndexPower(long double x, long double y);

/// The graph the indexes work on, in compact form: vertices 0..N-1, edges 0..E-1, each vertex's incident edges in
/// edge order, and the connected components.
class TCompactGraph {
public:
  struct Incidence {
    int neighbour;
    int edge;
  };

  /// The vertices and edges listed by graph, in its order (edges whose ends it does not list are left out).
  explicit TCompactGraph(const ISubGraph& graph);
  /// The hydrogen-suppressed graph of structure: every bond of structure whose two atoms both have an atomic
  /// number above 1 (a vertex that is no atom counts as such), in structure's order, with those atoms in the order
  /// the bonds first reach them. An atom without such a bond is not in it.
  static TCompactGraph HeavyAtomGraph(const ISubGraph& structure);

  int VertexCount() const { return static_cast<int>(vertices_.size()); }
  int EdgeCount() const { return static_cast<int>(ends_.size()); }
  int ComponentCount() const { return components_; }
  /// The graph's vertex v (a plain link into the structure it was built from).
  IVertex* Vertex(int v) const { return vertices_[Index(v)]; }
  int Degree(int v) const { return first_[Index(v) + 1] - first_[Index(v)]; }
  const Incidence* BeginIncidences(int v) const { return incidences_.data() + first_[Index(v)]; }
  const Incidence* EndIncidences(int v) const { return incidences_.data() + first_[Index(v) + 1]; }
  int End1(int e) const { return ends_[Index(e)].first; }
  int End2(int e) const { return ends_[Index(e)].second; }
  int Component(int v) const { return component_[Index(v)]; }

  /// Distances from source to every vertex (-1 for vertices of other components), by breadth-first search;
  /// row must hold VertexCount() entries.
  void Distances(int source, int* row) const;

private:
  TCompactGraph() = default;
  /// Incidences and components from vertices_ and ends_; EChemError past kMaxTopologicalAtoms vertices.
  void Build();
  static size_t Index(int i) { return static_cast<size_t>(i); }

  std::vector<IVertex*> vertices_;
  std::vector<std::pair<int, int>> ends_;
  std::vector<int> first_;
  std::vector<Incidence> incidences_;
  std::vector<int> component_;
  int components_ = 0;
  mutable std::vector<int> queue_;
};

/// The rows of the topological distance matrix: all kept when the graph is small, else searched again for each
/// request, so memory stays linear for big structures.
class TDistanceRows {
public:
  explicit TDistanceRows(const TCompactGraph& graph);
  /// Row source (-1 for vertices of other components); valid until the next call.
  const int* Row(int source);
  /// For every vertex, the sum of its distances to the vertices of its component.
  const std::vector<std::int64_t>& Sums() const { return sums_; }

private:
  /// Graphs up to this many vertices keep all rows (4 MB at most).
  static constexpr int kKeptRows = 1024;

  const TCompactGraph& graph_;
  bool kept_;
  std::vector<int> rows_;
  std::vector<std::int64_t> sums_;
};

/// The seven parameters of the generalised index s * L * A * R, where A(i, j) = pow(d_ij * pow(a, d_ij - 1), c)
/// off the diagonal, L(i) = pow(sum_j d_ij * pow(b, d_ij - 1), e) and R(j) = pow(sum_k d_jk * pow(b', d_jk - 1), f)
/// (Gutman's unifying formula for distance-based indexes).
struct GeneralisedIndexParameters {
  long double a, b, b2, c, e, f, s;
};

/// 1/2 the sum of all distances.
inline constexpr GeneralisedIndexParameters kWienerParameters{1, 1, 1, 1, 0, 0, 0.5L};
/// The sum over bonds of the products of the end degrees.
inline constexpr GeneralisedIndexParameters kZagrebM2Parameters{0, 0, 0, 1, 1, 1, 0.5L};
/// 1/2 the sum of the inverse squared distances of connected pairs.
inline constexpr GeneralisedIndexParameters kHararyParameters{1, 1, 1, -2, 0, 0, 0.5L};

/// The generalised index for each parameter set, sharing the distance searches. Pairs in different components
/// have distance 0.
std::vector<long double> GeneralisedIndexes(const TCompactGraph& graph, TDistanceRows& distances,
                                            const std::vector<GeneralisedIndexParameters>& parameters);

/// The first Zagreb index: the sum of the squared vertex degrees.
long double ZagrebM1(const TCompactGraph& graph);

/// Balaban's J (Chem. Phys. Lett. 89 (1982) 399): E / (mu + 1) * sum over bonds of (s_i s_j)^-1/2, s the distance
/// sums, mu = E - N + c the cyclomatic number of a graph with c components (for one component the textbook
/// E - N + 2 denominator). Bonds whose product is not above 0 are skipped; 0 for a graph without bonds.
long double BalabanJ(const TCompactGraph& graph, const TDistanceRows& distances);

} // namespace corvatin
