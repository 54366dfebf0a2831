// Occurrence search for the connectivity-index templates (paths, clusters, path-clusters and chains of orders
// 1 to 6, every cell with results collected as the topological indexes do) on a drug-sized heavy-atom graph
// and on a 200-atom one.
#include "graph/finder.h"
#include "graph/model.h"
#include "graph/templates.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <string>
#include <vector>

namespace corvatin {
namespace {

/// The heavy-atom skeleton of a SMILES string (atoms, branches, one- and two-digit ring closures).
Ptr<TGraph> Skeleton(const std::string& smiles) {
  auto g = std::make_shared<TGraph>();
  std::vector<int> branches;
  std::vector<int> ring(100, -1);
  int previous = -1;
  for (size_t i = 0; i < smiles.size(); ++i) {
    const char c = smiles[i];
    if (c == '(') {
      branches.push_back(previous);
    } else if (c == ')') {
      previous = branches.back();
      branches.pop_back();
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '%') {
      size_t n = static_cast<size_t>(c - '0');
      if (c == '%') {
        n = static_cast<size_t>((smiles[i + 1] - '0') * 10 + (smiles[i + 2] - '0'));
        i += 2;
      }
      if (ring[n] < 0) {
        ring[n] = previous;
      } else {
        g->ConnectIndices(previous, ring[n]);
        ring[n] = -1;
      }
    } else if (c == '[' || std::isalpha(static_cast<unsigned char>(c))) {
      if (c == '[')
        i = smiles.find(']', i);
      else if ((c == 'C' && i + 1 < smiles.size() && smiles[i + 1] == 'l') ||
               (c == 'B' && i + 1 < smiles.size() && smiles[i + 1] == 'r'))
        ++i;
      g->AddVertex();
      const int current = g->VertexCount() - 1;
      if (previous >= 0) g->ConnectIndices(previous, current);
      previous = current;
    }
  }
  return g;
}

/// Ranolazine (C24H33N3O4): 31 heavy atoms, three rings (two benzenes, a piperazine).
const char* kDrug = "COc1ccccc1OCC(O)CN1CCN(CC(=O)Nc2c(C)cccc2C)CC1";

/// A 20-residue peptide (Phe-Lys-Ser-Trp-Tyr four times): 209 heavy atoms, 16 rings.
std::string Peptide() {
  const std::string block = "NC(Cc1ccccc1)C(=O)NC(CCCCN)C(=O)NC(CO)C(=O)NC(Cc1c[nH]c2ccccc12)C(=O)"
                            "NC(Cc1ccc(O)cc1)C(=O)";
  return block + block + block + block + "O";
}

/// Every template of one order (all four kinds), as the topological indexes build them.
std::vector<Ptr<IGraph>> TemplatesOfOrder(int order) {
  std::vector<Ptr<IGraph>> list;
  for (int kind = tkPath; kind <= tkChain; ++kind)
    TemplateGraphs(kind, order, list);
  return list;
}

void FindAllOfOrder(benchmark::State& state, const Ptr<TGraph>& target) {
  const int order = static_cast<int>(state.range(0));
  const auto templates = TemplatesOfOrder(order);
  TGraphFinder finder;
  finder.SetTarget(target);
  size_t occurrences = 0;
  for (auto _ : state) {
    occurrences = 0;
    for (const auto& t : templates) {
      std::vector<Ptr<ISubGraph>> results;
      finder.FindAll(AsSubGraph(*t), &results);
      occurrences += results.size();
    }
    benchmark::DoNotOptimize(occurrences);
  }
  state.counters["atoms"] = target->VertexCount();
  state.counters["occurrences"] = static_cast<double>(occurrences);
}

void BM_FindAll_Drug(benchmark::State& state) {
  static const Ptr<TGraph> target = Skeleton(kDrug);
  FindAllOfOrder(state, target);
}

void BM_FindAll_Peptide200(benchmark::State& state) {
  static const Ptr<TGraph> target = Skeleton(Peptide());
  FindAllOfOrder(state, target);
}

/// All 24 cells (orders 1 to 6, four kinds), once per iteration: the search cost of one molecule's indexes.
void AllCells(benchmark::State& state, const Ptr<TGraph>& target) {
  std::vector<Ptr<IGraph>> templates;
  for (int order = 1; order <= 6; ++order)
    for (const auto& t : TemplatesOfOrder(order))
      templates.push_back(t);
  TGraphFinder finder;
  for (auto _ : state) {
    finder.SetTarget(target);
    for (const auto& t : templates) {
      std::vector<Ptr<ISubGraph>> results;
      finder.FindAll(AsSubGraph(*t), &results);
      benchmark::DoNotOptimize(results.data());
    }
    finder.SetTarget(nullptr);
  }
}

void BM_AllCells_Drug(benchmark::State& state) { AllCells(state, Skeleton(kDrug)); }
void BM_AllCells_Peptide200(benchmark::State& state) { AllCells(state, Skeleton(Peptide())); }

BENCHMARK(BM_FindAll_Drug)->DenseRange(1, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindAll_Peptide200)->DenseRange(1, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AllCells_Drug)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllCells_Peptide200)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvatin

BENCHMARK_MAIN();
