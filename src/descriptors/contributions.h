#pragma once
// TOPS-MODE fragment contributions. A fragment of a structure is what is left after cutting terminal atoms off one
// at a time (a ring never loses an atom); fragments are the same when they have the same atoms, and a fragment
// keeps at least one bond. The contribution C(g) of a fragment is what its moments add to those of all its smaller
// fragments: mu(g) = C(g) + sum of C(h) over every fragment h reachable from g.
//
// Computed by Moebius inversion instead of by recursion over the fragments. Cutting terminal atoms is a shelling:
// a bond that is terminal stays terminal until it is cut, and any set of terminal bonds can be cut together. The
// inversion of the sum over such a lattice is the alternating sum over the terminal bonds T of g alone:
//     C(g) = sum over subsets S of T of (-1)^|S| mu(g - S),
// that is, in walk terms, the closed walks of g that pass over every terminal bond. A closed walk of length k
// covers at most k bonds and reaches two bonds d steps apart only if k >= 2d, so orders below that bound are 0 and
// a structure whose terminal bonds lie too far apart for the highest order costs nothing.

#include "graph/graph.h"

#include <string>
#include <vector>

namespace corvatin {

/// The most terminal bonds a contribution may be built from when the walk bound does not already make it 0: the
/// alternating sum runs over 2^16 = 65536 fragments at most. A structure needing more raises EChemError.
inline constexpr int kMaxContributionTerminalBonds = 16;

/// C(graph) as a row of weights.size()*K + 1 values (column 0: 1 for a single bond, the bond count for a graph
/// without terminal bonds, else 0; then per weight the orders 1..K). Bonds between two atoms of which one has no
/// other bond in graph are terminal; atoms without bonds play no part. EChemError beyond the limit above.
std::vector<double> FragmentContribution(const ISubGraph& graph, const std::vector<std::string>& weights, int K);

} // namespace corvatin
