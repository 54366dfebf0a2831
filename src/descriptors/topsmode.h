#pragma once
// The pieces the three TOPS-MODE modes share: parameter and result names, weight labels, column labels, the
// working graph and the moment row of a structure.

#include "graph/graph.h"

#include <string>
#include <vector>

namespace corvatin {

/// The micro sign, part of every moment label (written as the single byte 0xB5 in result files).
inline constexpr const char* kMicroSign = "\xC2\xB5";

inline constexpr const char* kParamMaxOrder = "Max Order";
inline constexpr const char* kParamIncludeHydrogens = "Include Hydrogen atoms";
/// Local mode: the constant term of the bond-contribution model.
inline constexpr const char* kParamMu0 = "\xC2\xB5"
                                         "0";
/// An atom whose number parameter of this name rounds to 1 belongs to the environment of the fragment under study
/// (set by the SMILES file reader; the spelling is the one files and readers use).
inline constexpr const char* kParamFragmentEnvironment = "paramFragmentEnvironement";

inline constexpr const char* kResultMoments = "TOPS-MODE";
inline constexpr const char* kResultContribution = "TOPS-MODE Contribution";
inline constexpr const char* kResultLocalContribution = "TOPS-MODE Local Contribution";
inline constexpr const char* kResultBondContributions = "Bond contributions";

/// The highest order "Max Order" may ask for.
inline constexpr int kMaxMomentOrder = 255;
/// Local mode: the orders that have a regression coefficient parameter.
inline constexpr int kCoefficientOrders = 15;

/// The bracketed label of weight index: "(" + labels[index] + ")" when that entry exists and is not empty, else
/// "(" + the name cut to its first three characters + ")"; empty for an empty name.
std::string WeightLabel(const std::string& name, const std::vector<std::string>& labels, size_t index);

/// "µ0", then "µ" + label + k for every weight label and k = 1..K (weights outer, orders inner).
std::vector<std::string> MomentColumnLabels(const std::vector<std::string>& weightLabels, int K);

/// The entry name of a local-mode coefficient: weight + "_µ" + k, and weight + "_µi" for the intercept.
std::string CoefficientEntry(const std::string& weight, int k);
std::string InterceptEntry(const std::string& weight);

/// The message for a structure without atoms (a point set, an empty molecule): no descriptor describes it.
inline constexpr const char* kMsgNoAtoms = "The structure has no atoms";
/// structure when it has atoms; EChemError kMsgNoAtoms otherwise (the structure is skipped, never written as
/// a row of zeros).
const Ptr<ISubGraph>& RequireAtoms(const Ptr<ISubGraph>& structure);

/// The graph the moments are computed on: structure itself when hydrogens are included, else a new sub-graph of
/// structure holding, in structure's order, every edge whose two atoms both have an atomic number above 1 (the
/// hydrogen-suppressed graph). Vertices that are not atoms count as heavy.
Ptr<ISubGraph> WorkingGraph(const Ptr<ISubGraph>& structure, bool includeHydrogens);

/// A copy of graph (a new sub-graph of structure) without the atoms marked as environment.
Ptr<ISubGraph> WithoutEnvironment(ISubGraph& structure, const ISubGraph& graph);

/// The moment row of graph: the number of bonds, then tr(B^k) for every weight (empty name: unweighted) and
/// k = 1..K; weights.size()*K + 1 values.
std::vector<double> MomentRow(const ISubGraph& graph, const std::vector<std::string>& weights, int K);

} // namespace corvatin
