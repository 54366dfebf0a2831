#pragma once
// The subgraph census behind the connectivity indexes ("Molecular Connectivity in
// Structure-Activity Analysis", Research Studies Press, 1986): every connected set of 1 to 6 bonds is visited exactly once and sorted
// by shape into paths, clusters, path-clusters and chains. A set of m bonds on m + 1 atoms is a tree: a path
// when no atom has three or more of its bonds, a cluster when no atom has exactly two, a path-cluster otherwise;
// a set of m bonds on m atoms each holding two of them is a chain (a ring of m atoms). Other shapes (rings with
// tails, fused rings) belong to no kind. For trees of up to six bonds this partition is exactly the template
// list of the connectivity indexes: every tree of m <= 6 bonds matches one template of one kind, and the eleven
// trees of six bonds, for example, are the path, the two clusters and the eight path-clusters.

#include "descriptors/graph_indexes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace corvatin {

/// Kinds of subgraphs, in the column order of the connectivity matrices.
enum SubgraphKind : int { skPath = 0, skCluster = 1, skPathCluster = 2, skChain = 3 };

inline constexpr int kSubgraphOrders = 6;
inline constexpr int kSubgraphKinds = 4;

/// More connected bond sets than this (only highly branched or very dense graphs reach it) raise EChemError
/// instead of running for minutes.
inline constexpr std::int64_t kMaxConnectedBondSets = 50'000'000;

/// Sums over the subgraphs of each (order, kind) cell; order m is at index m - 1.
struct TSubgraphSums {
  template <class T> using Cells = std::array<std::array<T, kSubgraphKinds>, kSubgraphOrders>;
  /// Number of subgraphs.
  Cells<std::int64_t> count{};
  /// Sum of 1/sqrt(product of the vertex weights), per weight set; subgraphs whose product is not above 0 add
  /// nothing.
  Cells<long double> vertex1{}, vertex2{};
  /// Sum of 1/sqrt(product of the edge weights); subgraphs whose product is not above 0 add nothing.
  Cells<long double> edge{};
};

/// The census of graph's connected bond sets of 1 to 6 bonds. vertexWeights1 and vertexWeights2 hold one weight
/// per vertex, edgeWeights one per edge. EChemError when more than limit sets would be visited.
TSubgraphSums SubgraphCensus(const TCompactGraph& graph, const std::vector<long double>& vertexWeights1,
                             const std::vector<long double>& vertexWeights2,
                             const std::vector<long double>& edgeWeights,
                             std::int64_t limit = kMaxConnectedBondSets);

} // namespace corvatin
