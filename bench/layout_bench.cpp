// The editor's force-directed layout on molecule-sized graphs: every vertex free (a new drawing laid out from a
// random start) and the hydrogen-completion case (heavy atoms already placed, only the new hydrogens move).
// The editor runs this on the main thread, so 100 atoms must stay well under a second.
#include "graph/layout.h"
#include "graph/model.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <string>
#include <vector>

namespace corvatin {
namespace {

/// A heavy-atom skeleton from SMILES (one-letter atoms, branches, one-digit ring closures), then one "hydrogen"
/// vertex per free valence up to degree 3, until the graph has `size` vertices (heavy atoms first).
Ptr<TGraph> MoleculeGraph(const std::string& smiles, int size) {
  auto g = std::make_shared<TGraph>();
  std::vector<int> branches;
  std::vector<int> ring(10, -1);
  int previous = -1;
  for (char c : smiles) {
    if (c == '(') {
      branches.push_back(previous);
    } else if (c == ')') {
      previous = branches.back();
      branches.pop_back();
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      const size_t n = static_cast<size_t>(c - '0');
      if (ring[n] < 0) {
        ring[n] = previous;
      } else {
        g->ConnectIndices(previous, ring[n]);
        ring[n] = -1;
      }
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      g->AddVertex();
      const int current = g->VertexCount() - 1;
      if (previous >= 0) g->ConnectIndices(previous, current);
      previous = current;
    }
  }
  const int heavy = g->VertexCount();
  for (int pass = 0; pass < 3 && g->VertexCount() < size; ++pass)
    for (int i = 0; i < heavy && g->VertexCount() < size; ++i)
      if (g->GetVertex(i)->NeighbourCount() < 3) {
        g->AddVertex();
        g->ConnectIndices(i, g->VertexCount() - 1);
      }
  return g;
}

/// A peptide chain with aromatic side chains, long enough for every size used here.
std::string Peptide(int residues) {
  const std::string block = "NC(Cc1ccccc1)C(=O)NC(CCCCN)C(=O)NC(CO)C(=O)";
  std::string s;
  for (int i = 0; i < residues; ++i)
    s += block;
  return s + "O";
}

void Run(benchmark::State& state, bool fixHeavy) {
  const int size = static_cast<int>(state.range(0));
  // 26 heavy atoms per block: about half the vertices are heavy atoms, the rest "hydrogens".
  const std::string smiles = Peptide((size + 51) / 52);
  int iterations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto g = MoleculeGraph(smiles, size);
    if (fixHeavy) {
      // The drawing's atoms already have places: lay out the skeleton first, then add the "hydrogens" free.
      auto skeleton = MoleculeGraph(smiles, 0);
      OptimizeLayout(*skeleton, true, false, true);
      for (int i = 0; i < skeleton->VertexCount(); ++i) {
        g->GetVertex(i)->SetX(skeleton->GetVertex(i)->GetX());
        g->GetVertex(i)->SetY(skeleton->GetVertex(i)->GetY());
      }
    }
    state.ResumeTiming();
    iterations = 0;
    OptimizeLayout(*g, true, false, !fixHeavy, [&](int, bool&) { ++iterations; });
    benchmark::DoNotOptimize(g->GetVertex(0)->GetX());
  }
  state.counters["vertices"] = MoleculeGraph(smiles, size)->VertexCount();
  state.counters["iterations"] = iterations;
}

void BM_Layout_AllFree(benchmark::State& state) { Run(state, false); }
void BM_Layout_HydrogensOnly(benchmark::State& state) { Run(state, true); }

BENCHMARK(BM_Layout_AllFree)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Layout_HydrogensOnly)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvatin

BENCHMARK_MAIN();
