#pragma once
// The connectivity sums straight from their definition: for every (order, kind) cell, the occurrences of each
// template graph found by the substructure finder (one per distinct bond set), weighted from the atoms of each
// occurrence. Slow, independent of the census, and the yardstick it is checked against.

#include "chem/elements.h"
#include "chem/molecule.h"
#include "descriptors/subgraph_census.h"
#include "graph/finder.h"
#include "graph/templates.h"

#include <cmath>

namespace corvatin::test {

/// delta: neighbours not "H"; delta-v = (Zv - h) / q, q = 1 for Z <= 10, else Z - Zv.
inline long double ReferenceDelta(const IVertex* v) { return AsAtom(v)->HeavyNeighbourCount(); }
inline long double ReferenceValenceDelta(const IVertex* v) {
  const IAtom* a = AsAtom(v);
  const int z = a->GetAtomicNumber(), zv = ValenceElectrons(z);
  return static_cast<long double>(zv - a->HydrogenCount()) / (z <= 10 ? 1 : z - zv);
}

/// The sums of every cell for the hydrogen-suppressed graph g of a molecule.
inline TSubgraphSums FinderCensus(const Ptr<ISubGraph>& g) {
  TSubgraphSums sums;
  TGraphFinder finder;
  finder.SetTarget(g);
  for (int m = 1; m <= kSubgraphOrders; ++m)
    for (int kind = 0; kind < kSubgraphKinds; ++kind) {
      std::vector<Ptr<IGraph>> templates;
      TemplateGraphs(kind, m, templates);
      const size_t row = static_cast<size_t>(m - 1), col = static_cast<size_t>(kind);
      finder.OnMatch = [&](const Ptr<ISubGraph>& match, bool&, bool& accept) {
        long double p1 = 1, p2 = 1, pe = 1;
        for (int i = 0; i < match->VertexCount(); ++i) {
          p1 *= ReferenceDelta(match->GetVertex(i));
          p2 *= ReferenceValenceDelta(match->GetVertex(i));
        }
        for (int i = 0; i < match->EdgeCount(); ++i) {
          const IEdge* e = match->GetEdge(i);
          pe *= ReferenceDelta(e->GetVertex1()) + ReferenceDelta(e->GetVertex2()) - 2;
        }
        ++sums.count[row][col];
        if (p1 > 0) sums.vertex1[row][col] += 1 / std::sqrt(p1);
        if (p2 > 0) sums.vertex2[row][col] += 1 / std::sqrt(p2);
        if (pe > 0) sums.edge[row][col] += 1 / std::sqrt(pe);
        accept = false; // nothing to keep
      };
      for (const Ptr<IGraph>& pattern : templates) finder.FindAll(AsSubGraph(*pattern));
    }
  finder.SetTarget(nullptr);
  return sums;
}

} // namespace corvatin::test
