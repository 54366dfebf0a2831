// Reading SD files: the 2,000 records of the shared drug set (6.5 MB, V2000, LF line ends) through the reader
// block as a run reads them (molecule cleared, record read, fitted into the view, progress), and through the
// record reader alone. Reports records and bytes per second. A third case reads a file of 20 copies of the set
// (130 MB) to show that memory stays flat: the tokenizer reads through a fixed window, one record at a time.

#include "chem/geometry.h"
#include "core/parser.h"
#include "inputs/mol_input.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace corvatin;

namespace {

const char* const kFixture = CORVATIN_SDF_FIXTURE;

std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<std::int64_t>(size);
}

double PeakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

/// Runs the reader block over path once; returns the records read.
std::int64_t ReadThroughBlock(const std::string& path) {
  static const char* const kPort = "SdfBench.Molecule";
  auto molecule = NewMolecule();
  SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
  auto input = std::make_shared<TMOLInput>();
  input->SetPortName(0, kPort);
  input->SetFileName(path);
  input->Start(nullptr);
  std::int64_t records = 0;
  bool more = true;
  while (more) {
    input->Execute(more);
    ++records;
  }
  input->Stop();
  SharedDataSpace()->DeleteParam(kPort);
  return records;
}

void Report(benchmark::State& state, std::int64_t records, std::int64_t bytes) {
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(bytes);
}

void BM_ReaderBlock(benchmark::State& state) {
  const std::int64_t size = FileSize(kFixture);
  if (size < 0) {
    state.SkipWithError("the SD fixture was not found");
    return;
  }
  std::int64_t records = 0, bytes = 0;
  for (auto _ : state) {
    records += ReadThroughBlock(kFixture);
    bytes += size;
  }
  Report(state, records, bytes);
}

void BM_RecordReaderOnly(benchmark::State& state) {
  const std::int64_t size = FileSize(kFixture);
  if (size < 0) {
    state.SkipWithError("the SD fixture was not found");
    return;
  }
  auto molecule = NewMolecule();
  std::int64_t records = 0, bytes = 0;
  for (auto _ : state) {
    auto tokenizer = NewFileParser(kFixture);
    while (ReadMolRecord(*tokenizer, *molecule, kFixture)) ++records;
    ++records;
    bytes += size;
  }
  Report(state, records, bytes);
}

void BM_LargeFileMemory(benchmark::State& state) {
  const std::string big = (std::filesystem::temp_directory_path() / "corvatin-sdf-bench-20x.sdf").string();
  {
    std::ifstream in(kFixture, std::ios::binary);
    if (!in) {
      state.SkipWithError("the SD fixture was not found");
      return;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(big, std::ios::binary);
    for (int i = 0; i < 20; ++i) out << text;
  }
  const std::int64_t size = FileSize(big);
  const double before = PeakRssMB();
  std::int64_t records = 0, bytes = 0;
  for (auto _ : state) {
    records += ReadThroughBlock(big);
    bytes += size;
  }
  state.counters["peak_rss_MB"] = PeakRssMB();
  state.counters["peak_rss_growth_MB"] = PeakRssMB() - before;
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
  Report(state, records, bytes);
  std::remove(big.c_str());
}

} // namespace

// The memory case first, so that the peak it reports is its own.
BENCHMARK(BM_LargeFileMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReaderBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordReaderOnly)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
