// SMILES parsing with completion (aromatic rings, implicit hydrogens) over the 2,000 drug-like SMILES of the
// shared fixture set, as the SMILES file reader will run it: one parser, one molecule reused, one tokenizer per
// line. Reports molecules per second.

#include "chem/smiles.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

std::vector<std::string> LoadFixture() {
  std::vector<std::string> lines;
  std::ifstream in(CORVATIN_SMILES_FIXTURE);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) lines.push_back(line.substr(0, line.find_first_of(" \t")));
  return lines;
}

void BM_ParseWithCompletion(benchmark::State& state) {
  const std::vector<std::string> lines = LoadFixture();
  if (lines.empty()) {
    state.SkipWithError("the SMILES fixture was not found: " CORVATIN_SMILES_FIXTURE);
    return;
  }
  TSMILESParser parser(true, nullptr, true);
  auto molecule = NewMolecule();
  std::size_t i = 0;
  std::int64_t atoms = 0;
  for (auto _ : state) {
    auto tokenizer = NewTextParser(lines[i]);
    parser.Parse(*tokenizer, *molecule);
    atoms += molecule->VertexCount();
    if (++i == lines.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["molecules/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["atoms/s"] = benchmark::Counter(static_cast<double>(atoms), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseWithCompletion)->Unit(benchmark::kMicrosecond);

void BM_ParseWithoutCompletion(benchmark::State& state) {
  const std::vector<std::string> lines = LoadFixture();
  if (lines.empty()) {
    state.SkipWithError("the SMILES fixture was not found: " CORVATIN_SMILES_FIXTURE);
    return;
  }
  TSMILESParser parser(true, nullptr, false);
  auto molecule = NewMolecule();
  std::size_t i = 0;
  for (auto _ : state) {
    auto tokenizer = NewTextParser(lines[i]);
    parser.Parse(*tokenizer, *molecule);
    if (++i == lines.size()) i = 0;
  }
  state.counters["molecules/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseWithoutCompletion)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
