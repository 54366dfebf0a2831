#include "descriptors/moments.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace corvatin {

TBondAdjacency BondAdjacency(const ISubGraph& graph) {
  const int m = graph.EdgeCount();
  // Bonds of the working graph by vertex: two bonds are adjacent exactly when they meet at a vertex, and the graph
  // is simple, so listing each vertex's bonds gives every adjacency once per shared vertex (at most one).
  std::unordered_map<const IVertex*, std::vector<int>> atVertex;
  for (int b = 0; b < m; ++b) {
    const IEdge* e = graph.GetEdge(b);
    atVertex[e->GetVertex1()].push_back(b);
    atVertex[e->GetVertex2()].push_back(b);
  }
  TBondAdjacency adjacency;
  adjacency.start.assign(static_cast<size_t>(m) + 1, 0);
  std::vector<std::vector<int>> lists(static_cast<size_t>(m));
  for (const auto& [vertex, bonds] : atVertex)
    for (int r : bonds)
      for (int c : bonds)
        if (r != c) lists[static_cast<size_t>(r)].push_back(c);
  for (int b = 0; b < m; ++b) {
    auto& list = lists[static_cast<size_t>(b)];
    std::sort(list.begin(), list.end());
    adjacency.start[static_cast<size_t>(b) + 1] =
        adjacency.start[static_cast<size_t>(b)] + static_cast<int>(list.size());
    adjacency.neighbours.insert(adjacency.neighbours.end(), list.begin(), list.end());
  }
  return adjacency;
}

std::vector<double> BondWeights(const ISubGraph& graph, const std::string& name) {
  std::vector<double> weights(static_cast<size_t>(graph.EdgeCount()), 0.0);
  if (name.empty()) return weights;
  for (int b = 0; b < graph.EdgeCount(); ++b)
    weights[static_cast<size_t>(b)] = graph.GetEdge(b)->GetFloat(name);
  return weights;
}

TMomentKernel::TMomentKernel(TBondAdjacency adjacency) : adjacency_(std::move(adjacency)) {
  const size_t m = static_cast<size_t>(adjacency_.BondCount());
  curStamp_.assign(m, 0);
  nextStamp_.assign(m, 0);
  curList_.reserve(m);
  nextList_.reserve(m);
}

void TMomentKernel::Moments(const std::vector<const double*>& weights, int K, const char* excluded, long double* traces,
                            double* local) {
  if (K < 1) throw std::invalid_argument("moment order below 1");
  const size_t n = weights.size();
  const int m = BondCount();
  const size_t width = n * static_cast<size_t>(K);
  std::fill(traces, traces + width, 0.0L);
  if (local) std::fill(local, local + static_cast<size_t>(m) * width, 0.0);
  if (n == 0 || m == 0) return;
  cur_.assign(static_cast<size_t>(m) * n, 0.0);
  next_.assign(static_cast<size_t>(m) * n, 0.0);
  // The weights bond-major, like the value buffers, so that a bond's step reads one contiguous row.
  weightRows_.resize(static_cast<size_t>(m) * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t r = 0; r < static_cast<size_t>(m); ++r)
      weightRows_[r * n + i] = weights[i][r];
  std::vector<long double> acc(width);
  for (int b = 0; b < m; ++b) {
    if (excluded && excluded[b]) continue;
    WalkFrom(b, n, K, excluded, acc.data());
    for (size_t x = 0; x < width; ++x)
      traces[x] += acc[x];
    if (local)
      for (size_t x = 0; x < width; ++x)
        local[static_cast<size_t>(b) * width + x] = static_cast<double>(acc[x]);
  }
}

void TMomentKernel::Accumulate(size_t n, const double* a, const double* b, long double* acc, size_t stride) const {
  // Each sum runs over the listed bonds in list order, as it always has, so the values do not move by a bit.
  // The sums are held in registers, four weights at a time, instead of being stored back after every bond:
  // extended-precision stores are slow, and a single running sum waits on its own additions.
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    long double s0 = acc[i * stride], s1 = acc[(i + 1) * stride], s2 = acc[(i + 2) * stride],
                s3 = acc[(i + 3) * stride];
    for (int r : curList_) {
      const double* x = a + static_cast<size_t>(r) * n + i;
      const double* y = b + static_cast<size_t>(r) * n + i;
      s0 += static_cast<long double>(x[0]) * y[0];
      s1 += static_cast<long double>(x[1]) * y[1];
      s2 += static_cast<long double>(x[2]) * y[2];
      s3 += static_cast<long double>(x[3]) * y[3];
    }
    acc[i * stride] = s0;
    acc[(i + 1) * stride] = s1;
    acc[(i + 2) * stride] = s2;
    acc[(i + 3) * stride] = s3;
  }
  for (; i < n; ++i) {
    long double s = acc[i * stride];
    for (int r : curList_)
      s += static_cast<long double>(a[static_cast<size_t>(r) * n + i]) * b[static_cast<size_t>(r) * n + i];
    acc[i * stride] = s;
  }
}

void TMomentKernel::WalkFrom(int bond, size_t n, int K, const char* excluded, long double* acc) {
  const size_t Ks = static_cast<size_t>(K);
  std::fill(acc, acc + n * Ks, 0.0L);

  // v_0 = e_bond (one copy per weight).
  curList_.clear();
  curStamp_[static_cast<size_t>(bond)] = ++token_;
  curList_.push_back(bond);
  std::fill_n(&cur_[static_cast<size_t>(bond) * n], n, 1.0);

  for (int j = 0;; ++j) {
    // B^{2j}(b, b) = |v_j|^2.
    if (j > 0 && 2 * j <= K) Accumulate(n, cur_.data(), cur_.data(), acc + (2 * j - 1), Ks);
    if (2 * j + 1 > K) break;

    // v_{j+1} = B v_j over the bonds within reach.
    const long long nextTok = ++token_;
    nextList_.clear();
    // A bond reached for the first time in this step takes its first term as it is instead of adding it to a
    // cleared slot: the same value (a zero's sign aside, which no sum of the moments can show).
    auto touch = [&](int c, bool& fresh) -> double* {
      fresh = nextStamp_[static_cast<size_t>(c)] != nextTok;
      if (fresh) {
        nextStamp_[static_cast<size_t>(c)] = nextTok;
        nextList_.push_back(c);
      }
      return &next_[static_cast<size_t>(c) * n];
    };
    bool fresh = false;
    for (int r : curList_) {
      const double* v = &cur_[static_cast<size_t>(r) * n];
      const double* w = &weightRows_[static_cast<size_t>(r) * n];
      double* own = touch(r, fresh);
      if (fresh)
        for (size_t i = 0; i < n; ++i)
          own[i] = w[i] * v[i];
      else
        for (size_t i = 0; i < n; ++i)
          own[i] += w[i] * v[i];
      for (int x = adjacency_.start[static_cast<size_t>(r)]; x < adjacency_.start[static_cast<size_t>(r) + 1]; ++x) {
        const int c = adjacency_.neighbours[static_cast<size_t>(x)];
        if (excluded && excluded[c]) continue;
        double* slot = touch(c, fresh);
        if (fresh)
          std::copy_n(v, n, slot);
        else
          for (size_t i = 0; i < n; ++i)
            slot[i] += v[i];
      }
    }
    // B^{2j+1}(b, b) = <v_j, v_{j+1}>; v_j is zero outside its list.
    Accumulate(n, cur_.data(), next_.data(), acc + 2 * j, Ks);
    std::swap(cur_, next_);
    std::swap(curStamp_, nextStamp_);
    std::swap(curList_, nextList_);
  }
}

} // namespace corvatin
