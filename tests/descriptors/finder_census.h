#pragma once
// Connectivity sums straight from their definition, the yardstick of the subgraph census and of the topographic
// indexes: for every (order, kind) cell the occurrences of each template graph found by the substructure finder
// (one per distinct bond set), each adding 1/sqrt(product of its atom or bond weights) when that is above 0.

#include "chem/elements.h"
#include "chem/molecule.h"
#include "descriptors/subgraph_census.h"
#include "graph/finder.h"
#include "graph/templates.h"

#include <cmath>
#include <functional>

namespace corvatin::test {

using VertexWeight = std::function<long double(const IVertex*)>;

/// The cells of g for two atom weights (vertex1, vertex2) and a bond weight (edge).
inline TSubgraphSums FinderSums(const Ptr<ISubGraph>& g, const VertexWeight& w1, const VertexWeight& w2,
                                const std::function<long double(const IEdge*)>& we) {
  TSubgraphSums sums;
  TGraphFinder finder;
  finder.SetTarget(g);
  for (size_t row = 0; row < kSubgraphOrders; ++row)
    for (size_t col = 0; col < kSubgraphKinds; ++col) {
      finder.OnMatch = [&](const Ptr<ISubGraph>& match, bool&, bool& accept) {
        long double p1 = 1, p2 = 1, pe = 1;
        for (int i = 0; i < match->VertexCount(); ++i) {
          p1 *= w1(match->GetVertex(i));
          p2 *= w2(match->GetVertex(i));
        }
        for (int i = 0; i < match->EdgeCount(); ++i)
          pe *= we(match->GetEdge(i));
        ++sums.count[row][col];
        if (p1 > 0) sums.vertex1[row][col] += 1 / std::sqrt(p1);
        if (p2 > 0) sums.vertex2[row][col] += 1 / std::sqrt(p2);
        if (pe > 0) sums.edge[row][col] += 1 / std::sqrt(pe);
        accept = false; // nothing to keep
      };
      std::vector<Ptr<IGraph>> templates;
      TemplateGraphs(static_cast<int>(col), static_cast<int>(row) + 1, templates);
      for (const Ptr<IGraph>& pattern : templates)
        finder.FindAll(AsSubGraph(*pattern));
    }
  finder.SetTarget(nullptr);
  return sums;
}

/// The census of the hydrogen-suppressed graph g of a molecule: delta = heavy neighbours, Kier and Hall's
/// delta-v = (Zv - h) / q with q = 1 for Z <= 10, else Z - Zv, and the edge degree.
inline TSubgraphSums FinderCensus(const Ptr<ISubGraph>& g) {
  const auto delta = [](const IVertex* v) -> long double { return AsAtom(v)->HeavyNeighbourCount(); };
  const auto valence = [](const IVertex* v) -> long double {
    const int z = AsAtom(v)->GetAtomicNumber(), zv = ValenceElectrons(z);
    return static_cast<long double>(zv - AsAtom(v)->HydrogenCount()) / (z <= 10 ? 1 : z - zv);
  };
  return FinderSums(g, delta, valence,
                    [&](const IEdge* e) { return delta(e->GetVertex1()) + delta(e->GetVertex2()) - 2; });
}

} // namespace corvatin::test
