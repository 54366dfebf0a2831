#include "batch_fixture.h"

#include "core/paths.h"

#include <cstdlib>
#include <fstream>
#include <random>

namespace corvatin::testing {

namespace fs = std::filesystem;

namespace {
// Every test process gets its own settings file before the store is first used, so that no test reads or writes
// the developer's own settings.
const bool kSettingsIsolated = [] {
  std::string file = (fs::temp_directory_path() / ("corvatin-test-settings-" + std::to_string(::getpid()) + ".ini")).string();
  ::setenv("CORVATIN_SETTINGS", file.c_str(), 1);
  return true;
}();
} // namespace

void BatchRun::SetUp() {
  (void)kSettingsIsolated;
  SetDataFolder(CORVATIN_DATA_DIR);
  std::random_device rd;
  dir_ = fs::temp_directory_path() / ("corvatin-batch-" + std::to_string(rd()));
  fs::create_directories(dir_);
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  SetMainDispatcher(dispatcher);
  catalogue_ = std::make_unique<TCatalogue>(
      TCatalogueSetup{nullptr, {}, dispatcher, [this](const std::string& m) { loadErrors_.push_back(m); }});
}

void BatchRun::TearDown() {
  catalogue_.reset();
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string BatchRun::Write(const std::string& name, const std::string& content) {
  fs::path p = dir_ / name;
  std::ofstream(p, std::ios::binary) << content;
  return p.string();
}

std::string BatchRun::Result(const std::string& name) const {
  std::ifstream in(dir_ / "results" / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int BatchRun::Run(const std::string& procedure, const std::vector<std::string>& files, const std::string& weights,
                  const std::vector<std::string>& assignments) {
  auto package = ChooseProcedure(*catalogue_, procedure);
  if (!weights.empty()) SelectWeights(*package, weights);
  for (const auto& a : assignments) ApplyAssignment(*package, a);
  TBatchOptions options;
  options.procedure = procedure;
  options.files = files;
  options.resultsDir = (dir_ / "results").string();
  return RunProcedure(*package, options, log_, false);
}

std::vector<std::string> BatchRun::DataLines(const std::string& name) const {
  std::string bytes = Result(name);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start)); // an unterminated last line: the tests flag it
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> BatchRun::Cells(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return cells;
}

} // namespace corvatin::testing
