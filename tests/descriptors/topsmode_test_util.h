#pragma once
// Molecules and reference computations shared by the TOPS-MODE tests: molecules from SMILES or at random, and the
// moments straight from their definition, tr(B^k) by dense matrix products.

#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/matrix.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace corvatin::test {

/// A molecule from SMILES, with aromatic bonds and explicit hydrogens.
inline Ptr<IMolecule> FromSmiles(const std::string& smiles) {
  Ptr<IMolecule> molecule = NewMolecule();
  ParseSMILES(smiles, *molecule);
  return molecule;
}

/// A heavy-atom graph: a random tree of carbons, nitrogens and oxygens (at most four bonds per atom) with
/// ringClosures extra bonds, then hydrogens filling carbons up to four bonds when asked.
inline Ptr<IMolecule> RandomMolecule(std::mt19937& rng, int heavyAtoms, int ringClosures, bool hydrogens) {
  static const char* kSymbols[] = {"C", "C", "C", "N", "O"};
  Ptr<IMolecule> m = NewMolecule();
  m->BeginUpdate();
  for (int i = 0; i < heavyAtoms; ++i) {
    IAtom* atom = m->AddAtom();
    atom->SetSymbol(kSymbols[std::uniform_int_distribution<int>(0, 4)(rng)]);
    if (i == 0) continue;
    for (int tries = 0; tries < 100; ++tries) {
      IAtom* other = m->GetAtom(std::uniform_int_distribution<int>(0, i - 1)(rng));
      if (other->NeighbourCount() < 4) {
        m->ConnectAtoms(other, atom);
        break;
      }
    }
  }
  for (int r = 0, tries = 0; r < ringClosures && tries < 1000; ++tries) {
    IAtom* a = m->GetAtom(std::uniform_int_distribution<int>(0, heavyAtoms - 1)(rng));
    IAtom* b = m->GetAtom(std::uniform_int_distribution<int>(0, heavyAtoms - 1)(rng));
    if (a == b || a->IsAdjacent(b) || a->NeighbourCount() >= 4 || b->NeighbourCount() >= 4) continue;
    m->ConnectAtoms(a, b);
    ++r;
  }
  if (hydrogens)
    for (int i = 0; i < heavyAtoms; ++i) {
      IAtom* atom = m->GetAtom(i);
      while (atom->GetSymbol() == "C" && atom->NeighbourCount() < 4) {
        IAtom* h = m->AddAtom();
        h->SetSymbol("H");
        m->ConnectAtoms(atom, h);
      }
    }
  m->EndUpdate();
  return m;
}

/// Gives every bond of molecule a weight name drawn uniformly from [low, high].
inline void SetRandomWeights(IMolecule& molecule, const std::string& name, std::mt19937& rng, double low, double high) {
  std::uniform_real_distribution<double> value(low, high);
  for (int b = 0; b < molecule.EdgeCount(); ++b)
    molecule.GetEdge(b)->SetFloat(name, value(rng));
}

/// Integer weights in [low, high] (moments then stay exact integers).
inline void SetIntegerWeights(IMolecule& molecule, const std::string& name, std::mt19937& rng, int low, int high) {
  std::uniform_int_distribution<int> value(low, high);
  for (int b = 0; b < molecule.EdgeCount(); ++b)
    molecule.GetEdge(b)->SetFloat(name, value(rng));
}

/// The dense definition: B(r, c) = 1 for bonds sharing an atom, B(r, r) = the bond's weight (0 for an empty
/// name); P = B, then P = P x B, and the trace of each power. Also gives the diagonals when local is not null.
inline std::vector<long double> DenseMoments(const ISubGraph& g, const std::string& weight, int K,
                                             std::vector<std::vector<double>>* local = nullptr) {
  const int m = g.EdgeCount();
  TDoubleMatrix B(m, m);
  for (int r = 0; r < m; ++r)
    for (int c = 0; c < m; ++c)
      B.Set(r, c,
            r == c ? (weight.empty() ? 0.0 : g.GetEdge(r)->GetFloat(weight))
                   : (g.GetEdge(r)->IsAdjacentTo(g.GetEdge(c)) ? 1.0 : 0.0));
  TDoubleMatrix P(B);
  std::vector<long double> traces;
  if (local) local->assign(static_cast<size_t>(m), {});
  for (int k = 1; k <= K; ++k) {
    if (k > 1) {
      TDoubleMatrix next(m, m);
      for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) {
          long double sum = 0.0L;
          for (int x = 0; x < m; ++x)
            sum += static_cast<long double>(P.Get(i, x)) * B.Get(x, j);
          next.Set(i, j, static_cast<double>(sum));
        }
      P.Assign(next);
    }
    long double trace = 0.0L;
    for (int i = 0; i < m; ++i) {
      trace += P.Get(i, i);
      if (local) (*local)[static_cast<size_t>(i)].push_back(P.Get(i, i));
    }
    traces.push_back(trace);
  }
  return traces;
}

/// |a - b| within tolerance relative to scale (at least 1).
inline bool Near(double a, double b, double relative, double scale) {
  return std::fabs(a - b) <= relative * std::max({1.0, std::fabs(scale)});
}

} // namespace corvatin::test
