#pragma once
// TOPS-MODE spectral moments (J. Chem. Inf. Comput. Sci. 36 (1996) 844): the k-th moment of a
// structure is tr(B^k), B the bond adjacency matrix of its graph (1 where two bonds share an atom) with a bond
// property on the diagonal. The local moment of bond b is the diagonal element B^k(b, b); the moments are their
// sums over the bonds.

#include "graph/graph.h"

#include <string>
#include <vector>

namespace corvatin {

/// The bonds of a working graph as the rows of B: for every bond, the other bonds sharing an atom with it.
struct TBondAdjacency {
  std::vector<int> start;      ///< offsets into neighbours, one per bond plus one
  std::vector<int> neighbours; ///< bond indices (working-graph order)

  int BondCount() const { return start.empty() ? 0 : static_cast<int>(start.size()) - 1; }
};

/// The adjacency of graph's edges, in the graph's edge order (edges adjacent when they share a vertex).
TBondAdjacency BondAdjacency(const ISubGraph& graph);

/// Every edge's number parameter name, in the graph's edge order; 0 for an edge that lacks it, and 0 for all
/// edges when name is empty (the unweighted matrix).
std::vector<double> BondWeights(const ISubGraph& graph, const std::string& name);

/// Diagonal elements of the powers of B, computed by walking out from every bond: (B^k)(b, b) is the inner product
/// of B^i e_b and B^j e_b for i + j = k (B is symmetric), so only powers up to ceil(K/2) of one unit vector are
/// formed, and only over the bonds within reach. The values are those of the dense products; the cost grows with
/// the bonds within K/2 steps of each bond instead of with the cube of the bond count.
class TMomentKernel {
public:
  explicit TMomentKernel(TBondAdjacency adjacency);

  int BondCount() const { return adjacency_.BondCount(); }

  /// For each weight vector i (BondCount() values each) and order k = 1..K: traces[i*K + k-1] = tr(B_i^k), and
  /// when local is not null, local[(b*n + i)*K + k-1] = B_i^k(b, b). Bonds flagged in excluded (BondCount() flags,
  /// may be null) are removed from B: they add nothing and their local values are 0.
  void Moments(const std::vector<const double*>& weights, int K, const char* excluded, long double* traces,
               double* local);

private:
  void WalkFrom(int bond, size_t n, int K, const char* excluded, long double* acc);
  /// acc[i * stride] += sum over the listed bonds r of a[r * n + i] * b[r * n + i], for each weight i.
  void Accumulate(size_t n, const double* a, const double* b, long double* acc, size_t stride) const;

  TBondAdjacency adjacency_;
  // Two value buffers (bond-major, one value per weight) with the bonds each currently holds.
  std::vector<double> cur_, next_;
  std::vector<double> weightRows_; // weight i of bond r at r * n + i
  std::vector<long long> curStamp_, nextStamp_;
  std::vector<int> curList_, nextList_;
  long long token_ = 0;
};

} // namespace corvatin
