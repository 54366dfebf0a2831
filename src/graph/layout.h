#pragma once
// Force-directed layout of a graph's view coordinates (the molecule editor places new atoms with it): every pair
// of vertices repels, every edge pulls its ends together, positioned vertices stay where they are.

#include "graph/graph.h"

#include <functional>

namespace corvatin {

/// Progress of OptimizeLayout: percent 0..100; setting refresh writes the current positions to the graph at once.
/// It must not change the graph's topology.
using LayoutProgress = std::function<void(int percent, bool& refresh)>;

/// The relaxation's constants.
inline constexpr int kLayoutMaxIterations = 15000;
inline constexpr double kLayoutStep = 0.1;
inline constexpr double kLayoutRepulsion = 5e-5;
inline constexpr double kLayoutAttraction = 0.2;
inline constexpr double kLayoutTolerance = 1e-5;

/// Lays out the view coordinates X, Y, Z. moveAll first clears every Positioned flag; initialPlacement gives every
/// vertex that is not positioned a random start at 0.125 to 0.25 from the origin in the XY plane. Then the
/// unpositioned vertices relax (at most 15000 iterations) while the positioned ones stay fixed; the result is
/// written back inside one update bracket, so every vertex ends positioned. postStep then evens out the edge
/// lengths of the moved vertices. progress, when given, hears every iteration (and 0 once more when the limit was
/// reached while vertices still moved).
void OptimizeLayout(IGraph& graph, bool initialPlacement, bool postStep, bool moveAll,
                    const LayoutProgress& progress = {});

} // namespace corvatin
