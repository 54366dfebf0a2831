#pragma once
// TOPS-MODE local (bond) contributions: the diagonal elements of the powers of B, one row per bond, and from them the
// per-bond value of a QSAR model that is linear in the moments of one weight, so that a model can be drawn back on
// the bonds of the molecule.

#include "core/matrix.h"
#include "core/parameters.h"
#include "graph/graph.h"

#include <string>
#include <vector>

namespace corvatin {

/// One row per bond of graph: 1 in column 0, then B_i^k(b, b) for every weight i and k = 1..K (the layout of the
/// moment row; the column sums give the moments).
Ptr<TDoubleMatrix> LocalMomentMatrix(const ISubGraph& graph, const std::vector<std::string>& weights, int K);

/// Bond contributions, bonds x weights: Q(b, i) = sum over k of a_k * local(b, i, k) + mu0 * local(b, 0) + c_i,
/// with a_k the number parameter weight + "_µk" of coefficients (0 when missing, as for k above 15), mu0 its "µ0"
/// and c_i its weight + "_µi".
Ptr<TDoubleMatrix> BondContributionMatrix(const IDoubleMatrix& local, const IParameters& coefficients,
                                          const std::vector<std::string>& weights, int K);

/// "Bond " + the bond's 1-based index in its molecule, for every bond of graph.
std::vector<std::string> BondRowLabels(const ISubGraph& graph);

} // namespace corvatin
