#pragma once
// What the descriptor tests share: molecules from SMILES or at random, the moments straight from their definition
// (tr(B^k) by dense matrix products), and the rows of the reference tables in tests/data.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/matrix.h"

#include <gtest/gtest.h>

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
  static const char* kSymbols[] = {"C", "C", "C", "N", "O"};
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  Ptr<IMolecule> m = NewMolecule();
  m->BeginUpdate();
  for (int i = 0; i < heavyAtoms; ++i) {
    IAtom* atom = m->AddAtom();
    atom->SetSymbol(kSymbols[pick(5)]);
    for (int tries = 0; i > 0 && tries < 100; ++tries)
      if (IAtom* other = m->GetAtom(pick(i)); other->NeighbourCount() < 4) {
        m->ConnectAtoms(other, atom);
        break;
      }
  }
  for (int r = 0, tries = 0; r < ringClosures && tries < 1000; ++tries) {
    IAtom* a = m->GetAtom(pick(heavyAtoms));
    IAtom* b = m->GetAtom(pick(heavyAtoms));
    if (a == b || a->IsAdjacent(b) || a->NeighbourCount() >= 4 || b->NeighbourCount() >= 4) continue;
    m->ConnectAtoms(a, b);
    ++r;
  }
  for (int i = 0; hydrogens && i < heavyAtoms; ++i)
    for (IAtom* atom = m->GetAtom(i); atom->GetSymbol() == "C" && atom->NeighbourCount() < 4;) {
      IAtom* h = m->AddAtom();
      h->SetSymbol("H");
      m->ConnectAtoms(atom, h);
    }
  m->EndUpdate();
  return m;
}

/// Gives every bond the weight name drawn from [low, high]; whole numbers when asked (moments then stay exact).
inline void SetRandomWeights(IMolecule& m, const std::string& name, std::mt19937& rng, double low, double high,
                             bool whole = false) {
  std::uniform_real_distribution<double> value(low, high);
  for (int b = 0; b < m.EdgeCount(); ++b)
    m.GetEdge(b)->SetFloat(name, whole ? std::floor(value(rng)) : value(rng));
}

/// B(r, c) = 1 for bonds sharing an atom, B(r, r) = the bond's weight (0 for an empty name): the traces of B^1..B^K
/// and, when local is not null, the diagonals (local[bond][k - 1]).
inline std::vector<long double> DenseMoments(const ISubGraph& g, const std::string& weight, int K,
                                             std::vector<std::vector<double>>* local = nullptr) {
  const int m = g.EdgeCount();
  TDoubleMatrix B(m, m), P(m, m);
  for (int r = 0; r < m; ++r)
    for (int c = 0; c < m; ++c)
      B.Set(r, c,
            r == c ? (weight.empty() ? 0.0 : g.GetEdge(r)->GetFloat(weight))
                   : (g.GetEdge(r)->IsAdjacentTo(g.GetEdge(c)) ? 1.0 : 0.0));
  P.Assign(B);
  std::vector<long double> traces;
  if (local) local->assign(static_cast<size_t>(m), {});
  for (int k = 1; k <= K; ++k) {
    TDoubleMatrix next(m, m);
    for (int i = 0; k > 1 && i < m; ++i)
      for (int j = 0; j < m; ++j) {
        long double sum = 0.0L;
        for (int x = 0; x < m; ++x)
          sum += static_cast<long double>(P.Get(i, x)) * B.Get(x, j);
        next.Set(i, j, static_cast<double>(sum));
      }
    if (k > 1) P.Assign(next);
    long double trace = 0.0L;
    for (int i = 0; i < m; ++i) {
      trace += P.Get(i, i);
      if (local) (*local)[static_cast<size_t>(i)].push_back(P.Get(i, i));
    }
    traces.push_back(trace);
  }
  return traces;
}

using Row = std::map<std::string, std::string>;

// Calls `each` with every data row of a tab-separated file whose first non-comment line names the columns.
inline int ForEachRow(const std::string& file, const std::function<void(const Row&)>& each) {
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/" + file);
  EXPECT_TRUE(in) << file << " missing";
  std::string line;
  std::vector<std::string> columns;
  int rows = 0;
  while (std::getline(in, line)) {
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

} // namespace corvatin::test
