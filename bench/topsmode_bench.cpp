// TOPS-MODE moments with 15 weights up to order 15, by walks from each bond (the product code) against the dense
// definition kept here: per weight, B then P = P x B fourteen times with extended-precision sums, and the traces.
// On a drug (ranolazine, heavy-atom graph) and on phenylalanine chains of about 300 and 1000 bonds. Then fragment
// contributions of branched alkanes.
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "descriptors/contributions.h"
#include "descriptors/topsmode.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace corvatin {
namespace {

constexpr int kOrder = 15;
constexpr int kWeights = 15;

struct Case {
  Ptr<IMolecule> molecule;
  Ptr<ISubGraph> heavy;
  std::vector<std::string> weights;
};

// Heavy-atom graph of smiles with kWeights bond weights that differ from bond to bond.
Case Make(const std::string& smiles) {
  Case c;
  c.molecule = NewMolecule();
  ParseSMILES(smiles, *c.molecule);
  c.heavy = WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(c.molecule), false);
  for (int w = 0; w < kWeights; ++w) {
    char name[16]; // (not "w" + std::to_string: g++ 12 -O3 warns falsely on that, -Wrestrict)
    std::snprintf(name, sizeof name, "w%d", w);
    c.weights.emplace_back(name);
    for (int b = 0; b < c.molecule->EdgeCount(); ++b)
      c.molecule->GetEdge(b)->SetFloat(c.weights.back(), 0.1 + 0.01 * ((b * 7 + w * 13) % 50));
  }
  return c;
}

std::string PhenylalanineChain(int residues) {
  std::string smiles;
  for (int i = 0; i < residues; ++i)
    smiles += "NC(Cc1ccccc1)C(=O)";
  return smiles + "O";
}

const Case& Molecule(int which) {
  // Ranolazine (31 heavy atoms, 33 bonds); 25 and 83 phenylalanine residues (300 and 996 bonds).
  static const Case drug = Make("COc1ccccc1OCC(O)CN1CCN(CC(=O)Nc2c(C)cccc2C)CC1");
  static const Case medium = Make(PhenylalanineChain(25));
  static const Case large = Make(PhenylalanineChain(83));
  return which == 0 ? drug : which == 1 ? medium : large;
}

// The dense definition: n (K-1) products of m x m matrices.
std::vector<double> DenseMoments(const ISubGraph& g, const std::vector<std::string>& weights, int K) {
  const int m = g.EdgeCount();
  std::vector<double> row{static_cast<double>(m)};
  std::vector<double> B(static_cast<size_t>(m) * m), P, next(static_cast<size_t>(m) * m);
  for (const std::string& w : weights) {
    for (int r = 0; r < m; ++r)
      for (int c = 0; c < m; ++c)
        B[static_cast<size_t>(r) * m + c] =
            r == c ? g.GetEdge(r)->GetFloat(w) : (g.GetEdge(r)->IsAdjacentTo(g.GetEdge(c)) ? 1.0 : 0.0);
    P = B;
    for (int k = 1; k <= K; ++k) {
      if (k > 1) {
        for (int i = 0; i < m; ++i)
          for (int j = 0; j < m; ++j) {
            long double sum = 0.0L;
            for (int x = 0; x < m; ++x)
              sum += static_cast<long double>(P[static_cast<size_t>(i) * m + x]) * B[static_cast<size_t>(x) * m + j];
            next[static_cast<size_t>(i) * m + j] = static_cast<double>(sum);
          }
        P.swap(next);
      }
      long double trace = 0.0L;
      for (int i = 0; i < m; ++i)
        trace += P[static_cast<size_t>(i) * m + i];
      row.push_back(static_cast<double>(trace));
    }
  }
  return row;
}

void BM_Moments(benchmark::State& state) {
  const Case& c = Molecule(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(MomentRow(*c.heavy, c.weights, kOrder));
  state.counters["bonds"] = c.heavy->EdgeCount();
  state.counters["weights"] = kWeights;
}
BENCHMARK(BM_Moments)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The dense products: all 15 weights on the drug and at 300 bonds; at 1000 bonds one weight (multiply by 15).
void BM_MomentsDense(benchmark::State& state) {
  const Case& c = Molecule(static_cast<int>(state.range(0)));
  const std::vector<std::string> weights(c.weights.begin(), c.weights.begin() + state.range(1));
  for (auto _ : state)
    benchmark::DoNotOptimize(DenseMoments(*c.heavy, weights, kOrder));
  state.counters["bonds"] = c.heavy->EdgeCount();
  state.counters["weights"] = static_cast<double>(weights.size());
}
BENCHMARK(BM_MomentsDense)
    ->Args({0, kWeights})
    ->Args({1, kWeights})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Fragment contributions, 15 weights, order 15: a compact C20 (a chain of five quaternary carbons) whose fourteen
// terminal bonds all lie within reach of order 15 (16384 fragments), and a C27 whose terminal bonds lie too far
// apart for any walk of 15 steps to cover them (no fragment needed).
void BM_FragmentContributions(benchmark::State& state) {
  static const Case compact = Make("CC(C)(C)C(C(C)(C)C)(C(C)(C)C)C(C)(C)C(C)(C)C");
  static const Case spread = Make("CC(C)CC(C)CC(C)(C)CCC(C)C(C)CC(CC)CC(C)CC(C)C");
  const Case& c = state.range(0) == 0 ? compact : spread;
  for (auto _ : state)
    benchmark::DoNotOptimize(FragmentContribution(*c.heavy, c.weights, kOrder));
  int terminal = 0;
  for (int b = 0; b < c.heavy->EdgeCount(); ++b)
    terminal += c.heavy->InnerDegree(c.heavy->GetEdge(b)->GetVertex1()) == 1 ||
                c.heavy->InnerDegree(c.heavy->GetEdge(b)->GetVertex2()) == 1;
  state.counters["carbons"] = c.heavy->VertexCount();
  state.counters["bonds"] = c.heavy->EdgeCount();
  state.counters["terminal"] = terminal;
}
BENCHMARK(BM_FragmentContributions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvatin

BENCHMARK_MAIN();
