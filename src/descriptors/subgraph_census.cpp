#include "descriptors/subgraph_census.h"

#include "core/errors.h"

#include <cmath>
#include <string>

namespace corvatin {

namespace {

// A weight as the census uses it: 1/sqrt(|w|) and whether w is zero or negative, so that the term of a set,
// 1/sqrt(product), is the product of its factors' roots when the product is above 0 (no zero, an even number of
// negatives). Multiplying the roots costs a few multiplications per set where a square root and a division per
// set would cost ten times as much; in extended precision both agree far below what a stored double keeps.
struct TFactor {
  long double root = 0;
  int zero = 0;
  int negative = 0;
};

std::vector<TFactor> Factors(const std::vector<long double>& weights) {
  std::vector<TFactor> factors(weights.size());
  for (size_t i = 0; i < weights.size(); ++i) {
    const long double w = weights[i];
    if (w == 0)
      factors[i].zero = 1;
    else
      factors[i] = {1 / std::sqrt(std::fabs(w)), 0, w < 0 ? 1 : 0};
  }
  return factors;
}

// The running product of one weight set over a bond set.
struct TProduct {
  long double root = 1;
  int zeros = 0;
  int negatives = 0;
  void Times(const TFactor& f) {
    root *= f.root;
    zeros += f.zero;
    negatives += f.negative;
  }
  bool Positive() const { return zeros == 0 && negatives % 2 == 0; }
};

// Connected bond sets are the connected vertex sets of the line graph (bonds adjacent when they share an atom).
// They are enumerated with the ESU scheme (IEEE/ACM Trans. Comput. Biol. Bioinform. 3 (2006) 347): each
// set grows from its lowest-numbered bond and only takes, besides the candidates it already had, neighbours of
// the newly added bond that are above the root and not yet adjacent to the set, so every set is met once.
class TCensus {
public:
  TCensus(const TCompactGraph& graph, const std::vector<long double>& w1, const std::vector<long double>& w2,
          const std::vector<long double>& we, std::int64_t limit)
      : graph_(graph), w1_(Factors(w1)), w2_(Factors(w2)), we_(Factors(we)), limit_(limit) {
    const int edges = graph.EdgeCount();
    lineFirst_.reserve(static_cast<size_t>(edges) + 1);
    lineFirst_.push_back(0);
    for (int e = 0; e < edges; ++e) {
      for (int end : {graph.End1(e), graph.End2(e)})
        for (auto* it = graph.BeginIncidences(end); it != graph.EndIncidences(end); ++it)
          if (it->edge != e) line_.push_back(it->edge);
      lineFirst_.push_back(static_cast<int>(line_.size()));
    }
    blocked_.assign(static_cast<size_t>(edges), 0);
    degree_.assign(static_cast<size_t>(graph.VertexCount()), 0);
    for (auto& level : extension_) level.reserve(64);
  }

  TSubgraphSums Run() {
    // Every star of 2 to 6 bonds at an atom is a set of its own (a star has one centre): when they alone pass
    // the limit, fail at once instead of after minutes of counting.
    long double stars = graph_.EdgeCount();
    for (int v = 0; v < graph_.VertexCount(); ++v) {
      long double choose = 1;
      for (int k = 1; k <= kSubgraphOrders; ++k) {
        choose = choose * (graph_.Degree(v) - k + 1) / k;
        if (k >= 2 && choose > 0) stars += choose;
      }
    }
    if (stars > static_cast<long double>(limit_)) TooMany();
    for (int root = 0; root < graph_.EdgeCount(); ++root) {
      root_ = root;
      std::vector<int>& ext = extension_[0];
      ext.clear();
      for (int u : Neighbours(root))
        if (u > root) ext.push_back(u);
      Add(root, 1);
      Extend(1);
      Remove(root);
    }
    return sums_;
  }

private:
  struct Range {
    const int* b;
    const int* e;
    const int* begin() const { return b; }
    const int* end() const { return e; }
  };
  Range Neighbours(int e) const {
    return {line_.data() + lineFirst_[static_cast<size_t>(e)], line_.data() + lineFirst_[static_cast<size_t>(e) + 1]};
  }

  // size bonds are in the set; extension_[size - 1] holds its candidates.
  void Extend(int size) {
    Record(size);
    if (size == kSubgraphOrders) return;
    std::vector<int>& ext = extension_[static_cast<size_t>(size) - 1];
    std::vector<int>& next = extension_[static_cast<size_t>(size)];
    for (size_t i = 0; i < ext.size(); ++i) {
      const int w = ext[i];
      next.assign(ext.begin() + static_cast<std::ptrdiff_t>(i) + 1, ext.end());
      for (int u : Neighbours(w))
        if (u > root_ && blocked_[static_cast<size_t>(u)] == 0) next.push_back(u);
      Add(w, size + 1);
      Extend(size + 1);
      Remove(w);
    }
  }

  void Add(int e, int size) {
    ++blocked_[static_cast<size_t>(e)];
    for (int u : Neighbours(e)) ++blocked_[static_cast<size_t>(u)];
    const size_t s = static_cast<size_t>(size);
    product1_[s] = product1_[s - 1];
    product2_[s] = product2_[s - 1];
    productE_[s] = productE_[s - 1];
    productE_[s].Times(we_[static_cast<size_t>(e)]);
    for (int v : {graph_.End1(e), graph_.End2(e)}) {
      int& d = degree_[static_cast<size_t>(v)];
      if (d == 0) {
        ++vertices_;
        product1_[s].Times(w1_[static_cast<size_t>(v)]);
        product2_[s].Times(w2_[static_cast<size_t>(v)]);
      }
      Count(d, -1);
      ++d;
      Count(d, +1);
    }
  }

  void Remove(int e) {
    --blocked_[static_cast<size_t>(e)];
    for (int u : Neighbours(e)) --blocked_[static_cast<size_t>(u)];
    for (int v : {graph_.End1(e), graph_.End2(e)}) {
      int& d = degree_[static_cast<size_t>(v)];
      Count(d, -1);
      --d;
      Count(d, +1);
      if (d == 0) --vertices_;
    }
  }

  [[noreturn]] void TooMany() const {
    throw EChemError("The structure is too big for the connectivity indexes (more than " + std::to_string(limit_) +
                     " connected sets of up to " + std::to_string(kSubgraphOrders) + " bonds)");
  }

  // Atoms holding exactly two, and three or more, of the set's bonds.
  void Count(int degree, int delta) {
    if (degree == 2)
      twos_ += delta;
    else if (degree >= 3)
      branches_ += delta;
  }

  void Record(int size) {
    if (++visited_ > limit_) TooMany();
    int kind;
    if (vertices_ == size + 1)
      kind = branches_ == 0 ? skPath : twos_ == 0 ? skCluster : skPathCluster;
    else if (vertices_ == size && twos_ == size)
      kind = skChain;
    else
      return;
    const size_t m = static_cast<size_t>(size) - 1, k = static_cast<size_t>(kind), s = static_cast<size_t>(size);
    ++sums_.count[m][k];
    if (product1_[s].Positive()) sums_.vertex1[m][k] += product1_[s].root;
    if (product2_[s].Positive()) sums_.vertex2[m][k] += product2_[s].root;
    if (productE_[s].Positive()) sums_.edge[m][k] += productE_[s].root;
  }

  const TCompactGraph& graph_;
  const std::vector<TFactor> w1_, w2_, we_;
  const std::int64_t limit_;
  std::vector<int> lineFirst_;
  std::vector<int> line_;
  std::vector<int> blocked_; // how many bonds of the set are this bond or its neighbours
  std::vector<int> degree_;  // bonds of the set at each atom
  int vertices_ = 0, twos_ = 0, branches_ = 0;
  int root_ = 0;
  std::int64_t visited_ = 0;
  std::array<std::vector<int>, kSubgraphOrders> extension_;
  // Products over the set's atoms and bonds by set size (index 0: the empty set).
  std::array<TProduct, kSubgraphOrders + 1> product1_{}, product2_{}, productE_{};
  TSubgraphSums sums_;
};

} // namespace

TSubgraphSums SubgraphCensus(const TCompactGraph& graph, const std::vector<long double>& vertexWeights1,
                             const std::vector<long double>& vertexWeights2,
                             const std::vector<long double>& edgeWeights, std::int64_t limit) {
  return TCensus(graph, vertexWeights1, vertexWeights2, edgeWeights, limit).Run();
}

} // namespace corvatin
