#pragma once
// What the descriptor tests (and the topological benchmark) share: molecules from SMILES or at random, the rows of
// the tables in tests/data, and two yardsticks straight from the definitions: the moments by dense matrix products,
// and connectivity sums over the subgraphs the substructure finder finds for every (order, kind) template, each
// adding 1/sqrt(product of its atom or bond weights) when that is above 0.

#include "chem/elements.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "descriptors/subgraph_census.h"
#include "graph/finder.h"
#include "graph/templates.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin::test {

/// A molecule from SMILES, with aromatic bonds and explicit hydrogens.
inline Ptr<IMolecule> FromSmiles(const std::string& smiles) {
  Ptr<IMolecule> molecule = NewMolecule();
  ParseSMILES(smiles, *molecule);
  return molecule;
}

/// A random tree of C, N and O (at most four bonds per atom) with ringClosures extra bonds, carbons filled up to
/// four bonds with hydrogens when asked.
inline Ptr<IMolecule> RandomMolecule(std::mt19937& rng, int heavyAtoms, int ringClosures, bool hydrogens) {
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  Ptr<IMolecule> m = NewMolecule();
  const auto add = [&](const char* symbol) {
    IAtom* atom = m->AddAtom();
    atom->SetSymbol(symbol);
    return atom;
  };
  m->BeginUpdate();
  for (int i = 0; i < heavyAtoms; ++i) {
    IAtom* atom = add(std::array{"C", "C", "C", "N", "O"}[static_cast<size_t>(pick(5))]);
    for (int tries = 0; i > 0 && tries < 100; ++tries)
      if (IAtom* other = m->GetAtom(pick(i)); other->NeighbourCount() < 4) {
        m->ConnectAtoms(other, atom);
        break;
      }
  }
  for (int r = 0, tries = 0; r < ringClosures && tries < 1000; ++tries) {
    IAtom *a = m->GetAtom(pick(heavyAtoms)), *b = m->GetAtom(pick(heavyAtoms));
    if (a != b && !a->IsAdjacent(b) && a->NeighbourCount() < 4 && b->NeighbourCount() < 4 && ++r) m->ConnectAtoms(a, b);
  }
  for (int i = 0; hydrogens && i < heavyAtoms; ++i)
    while (m->GetAtom(i)->GetSymbol() == "C" && m->GetAtom(i)->NeighbourCount() < 4)
      m->ConnectAtoms(m->GetAtom(i), add("H"));
  m->EndUpdate();
  return m;
}

/// B(r, c) = 1 for bonds sharing an atom, B(r, r) = the bond's weight (0 for an empty name): the traces of B^1..B^K
/// and, when local is not null, the diagonals (local[bond][k - 1]).
inline std::vector<long double> DenseMoments(const ISubGraph& g, const std::string& weight, int K,
                                             std::vector<std::vector<double>>* local = nullptr) {
  const size_t m = static_cast<size_t>(g.EdgeCount());
  using Matrix = std::vector<std::vector<long double>>;
  Matrix B(m, std::vector<long double>(m)), P;
  for (size_t r = 0; r < m; ++r)
    for (size_t c = 0; c < m; ++c) {
      const IEdge* e = g.GetEdge(static_cast<int>(r));
      B[r][c] = r != c ? e->IsAdjacentTo(g.GetEdge(static_cast<int>(c))) : weight.empty() ? 0.0 : e->GetFloat(weight);
    }
  std::vector<long double> traces(static_cast<size_t>(K));
  if (local) local->assign(m, std::vector<double>(static_cast<size_t>(K)));
  for (size_t k = 0; k < traces.size(); ++k) {
    Matrix next = k == 0 ? B : Matrix(m, std::vector<long double>(m));
    for (size_t i = 0; k > 0 && i < m; ++i)
      for (size_t j = 0; j < m; ++j)
        for (size_t x = 0; x < m; ++x)
          next[i][j] += P[i][x] * B[x][j];
    P = next;
    for (size_t i = 0; i < m; ++i) {
      traces[k] += P[i][i];
      if (local) (*local)[i][k] = static_cast<double>(P[i][i]);
    }
  }
  return traces;
}

using Row = std::map<std::string, std::string>;

// Calls `each` with every data row of a tab-separated file whose first non-comment line names the columns.
inline int ForEachRow(const std::string& file, const std::function<void(const Row&)>& each) {
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/" + file);
  EXPECT_TRUE(in) << file << " missing";
  std::vector<std::string> columns;
  int rows = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');)
      fields.push_back(field);
    if (columns.empty()) {
      columns = fields;
      continue;
    }
    EXPECT_EQ(fields.size(), columns.size()) << line;
    Row row;
    for (size_t i = 0; i < fields.size() && i < columns.size(); ++i)
      row[columns[i]] = fields[i];
    each(row);
    ++rows;
  }
  return rows;
}

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
