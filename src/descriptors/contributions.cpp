#include "descriptors/contributions.h"

#include "core/errors.h"
#include "descriptors/moments.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <unordered_map>

namespace corvatin {

namespace {

// Bonds with an end that has no other bond in the graph.
std::vector<int> TerminalBonds(const ISubGraph& graph) {
  std::unordered_map<const IVertex*, int> degree;
  for (int b = 0; b < graph.EdgeCount(); ++b) {
    ++degree[graph.GetEdge(b)->GetVertex1()];
    ++degree[graph.GetEdge(b)->GetVertex2()];
  }
  std::vector<int> terminal;
  for (int b = 0; b < graph.EdgeCount(); ++b) {
    const IEdge* e = graph.GetEdge(b);
    if (degree[e->GetVertex1()] == 1 || degree[e->GetVertex2()] == 1) terminal.push_back(b);
  }
  return terminal;
}

// The shortest closed walk over all terminal bonds is at least as long as there are terminal bonds, and at least
// twice the distance between any two of them; INT_MAX when two lie in different components.
int ShortestCoveringWalkBound(const TBondAdjacency& adjacency, const std::vector<int>& terminal) {
  const int p = static_cast<int>(terminal.size());
  if (p < 2) return p;
  int farthest = 0;
  std::vector<int> distance(static_cast<size_t>(adjacency.BondCount()));
  for (int source : terminal) {
    std::fill(distance.begin(), distance.end(), -1);
    std::deque<int> queue{source};
    distance[static_cast<size_t>(source)] = 0;
    while (!queue.empty()) {
      const int r = queue.front();
      queue.pop_front();
      for (int x = adjacency.start[static_cast<size_t>(r)]; x < adjacency.start[static_cast<size_t>(r) + 1]; ++x) {
        const int c = adjacency.neighbours[static_cast<size_t>(x)];
        if (distance[static_cast<size_t>(c)] < 0) {
          distance[static_cast<size_t>(c)] = distance[static_cast<size_t>(r)] + 1;
          queue.push_back(c);
        }
      }
    }
    for (int t : terminal) {
      if (distance[static_cast<size_t>(t)] < 0) return INT_MAX;
      farthest = std::max(farthest, distance[static_cast<size_t>(t)]);
    }
  }
  return std::max(p, 2 * farthest);
}

} // namespace

std::vector<double> FragmentContribution(const ISubGraph& graph, const std::vector<std::string>& weights, int K) {
  const size_t n = weights.size();
  const size_t Ks = static_cast<size_t>(K);
  std::vector<double> row(n * Ks + 1, 0.0);
  const int m = graph.EdgeCount();
  if (m == 0) return row;

  const std::vector<int> terminal = TerminalBonds(graph);
  const int p = static_cast<int>(terminal.size());
  // Zeroth moments count bonds (walks of length 0): only a single bond, or a graph without terminal bonds, keeps
  // any after the alternating sum.
  row[0] = p == 0 ? m : (p == 1 ? 1 : 0);

  TBondAdjacency adjacency = BondAdjacency(graph);
  const int bound = ShortestCoveringWalkBound(adjacency, terminal);
  if (bound > K) return row;
  if (p > kMaxContributionTerminalBonds)
    throw EChemError("The structure is too big for TOPS-MODE contributions: its " + std::to_string(p) +
                     " terminal bonds need " + std::to_string(1LL << p) + " fragments, more than the limit of " +
                     std::to_string(1LL << kMaxContributionTerminalBonds) + " (" +
                     std::to_string(kMaxContributionTerminalBonds) + " terminal bonds).");

  std::vector<std::vector<double>> values;
  std::vector<const double*> pointers;
  for (const std::string& name : weights)
    values.push_back(BondWeights(graph, name));
  for (const auto& v : values)
    pointers.push_back(v.data());

  TMomentKernel kernel(std::move(adjacency));
  std::vector<long double> sum(n * Ks, 0.0L), traces(n * Ks);
  std::vector<char> excluded(static_cast<size_t>(m), 0);
  for (unsigned long subset = 0; subset < (1UL << p); ++subset) {
    int size = 0;
    for (int t = 0; t < p; ++t) {
      const bool cut = (subset >> t) & 1UL;
      excluded[static_cast<size_t>(terminal[static_cast<size_t>(t)])] = cut ? 1 : 0;
      size += cut ? 1 : 0;
    }
    if (size == m) continue; // nothing left: every moment is 0
    kernel.Moments(pointers, K, excluded.data(), traces.data(), nullptr);
    const long double sign = size % 2 ? -1.0L : 1.0L;
    for (size_t x = 0; x < sum.size(); ++x)
      sum[x] += sign * traces[x];
  }
  for (size_t i = 0; i < n; ++i)
    for (int k = std::max(bound, 1); k <= K; ++k)
      row[1 + i * Ks + static_cast<size_t>(k - 1)] = static_cast<double>(sum[i * Ks + static_cast<size_t>(k - 1)]);
  return row;
}

} // namespace corvatin
