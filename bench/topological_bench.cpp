// The topological indexes over the 2,000 drug-like molecules of the shared fixture set, reported in molecules per
// second: the block alone on prepared molecules (completed, standard classification), the chain a SMILES run
// goes through (parse with completion, completion block, standard classification, block), the chain an SD run
// goes through (reader block, completion, standard classification, block), and, for comparison on the first 200
// molecules, the connectivity sums by the template search the census replaces. The whole procedure with its
// output files is timed with corvatin-batch (see scripts/bench_topological_rdkit.py for RDKit's side).

#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/topological_indexes.h"
#include "descriptors/topsmode.h"
#include "descriptor_test_util.h"
#include "inputs/mol_input.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

constexpr const char* kPort = "TopologicalBench.Molecule";

std::vector<std::string> FixtureSmiles() {
  std::vector<std::string> smiles;
  std::ifstream in(CORVATIN_SMILES_FIXTURE);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) smiles.push_back(line.substr(0, line.find_first_of(" \t")));
  return smiles;
}

/// The blocks after the reader, all on the benchmark's port.
struct Chain {
  Ptr<IMolecule> molecule = NewMolecule();
  std::vector<Ptr<TBlock>> blocks{std::make_shared<TMoleculeCompletion>(), std::make_shared<TStdClassification>(),
                                  std::make_shared<TTopologicalIndexes>()};
  Chain() {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
    for (auto& b : blocks) b->SetPortName(0, kPort);
  }
  ~Chain() { SharedDataSpace()->DeleteParam(kPort); }
  void Run() {
    bool more = true;
    for (auto& b : blocks) b->Execute(more);
  }
};

const std::vector<Ptr<IMolecule>>& Prepared() {
  static const std::vector<Ptr<IMolecule>> molecules = [] {
    std::vector<Ptr<IMolecule>> list;
    for (const std::string& s : FixtureSmiles()) {
      Chain chain;
      ParseSMILES(s, *chain.molecule);
      chain.blocks.pop_back(); // completion and classification only
      chain.Run();
      list.push_back(chain.molecule);
    }
    return list;
  }();
  return molecules;
}

void Rate(benchmark::State& state, std::int64_t perIteration) {
  state.counters["molecules/s"] =
      benchmark::Counter(static_cast<double>(perIteration), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_TopologicalBlock(benchmark::State& state) {
  const auto& molecules = Prepared();
  TTopologicalIndexes block;
  for (auto _ : state)
    for (const auto& m : molecules) block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  Rate(state, static_cast<std::int64_t>(molecules.size()));
}
BENCHMARK(BM_TopologicalBlock)->Unit(benchmark::kMillisecond);

void BM_SmilesChain(benchmark::State& state) {
  const std::vector<std::string> smiles = FixtureSmiles();
  Chain chain;
  for (auto _ : state)
    for (const std::string& s : smiles) {
      ParseSMILES(s, *chain.molecule);
      chain.Run();
    }
  Rate(state, static_cast<std::int64_t>(smiles.size()));
}
BENCHMARK(BM_SmilesChain)->Unit(benchmark::kMillisecond);

void BM_SdfChain(benchmark::State& state) {
  Chain chain;
  auto input = std::make_shared<TMOLInput>();
  input->SetPortName(0, kPort);
  input->SetFileName(CORVATIN_SDF_FIXTURE);
  std::int64_t records = 0;
  for (auto _ : state) {
    input->Start(nullptr);
    records = 0;
    for (bool more = true; more; ++records) {
      input->Execute(more);
      chain.Run();
    }
    input->Stop();
  }
  Rate(state, records);
}
BENCHMARK(BM_SdfChain)->Unit(benchmark::kMillisecond);

// The census against the template search it replaces (200 molecules: the search takes seconds for all).
void BM_CensusSums(benchmark::State& state) {
  const auto& all = Prepared();
  const std::vector<Ptr<IMolecule>> molecules(all.begin(), all.begin() + 200);
  for (auto _ : state)
    for (const auto& m : molecules) {
      const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(*m));
      TAtomDeltas d = AtomDeltas(graph);
      benchmark::DoNotOptimize(SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree));
    }
  Rate(state, 200);
}
BENCHMARK(BM_CensusSums)->Unit(benchmark::kMillisecond);

void BM_TemplateSearchSums(benchmark::State& state) {
  const auto& all = Prepared();
  const std::vector<Ptr<IMolecule>> molecules(all.begin(), all.begin() + 200);
  for (auto _ : state)
    for (const auto& m : molecules)
      benchmark::DoNotOptimize(test::FinderCensus(WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false)));
  Rate(state, 200);
}
BENCHMARK(BM_TemplateSearchSums)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
