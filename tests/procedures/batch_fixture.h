#pragma once
// Whole procedures run the way the batch tool runs them: a catalogue on the console dispatcher, files in a
// temporary folder, results read back as bytes.

#include "blocks/dispatcher.h"
#include "core/paths.h"
#include "procedures/batch.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin::testing {

class BatchRun : public ::testing::Test {
protected:
  void SetUp() override {
    // Every test process gets its own settings file, so that no test reads or writes the developer's settings.
    ::setenv(
        "CORVATIN_SETTINGS",
        (std::filesystem::temp_directory_path() / ("corvatin-test-" + std::to_string(::getpid()) + ".ini")).c_str(), 1);
    SetDataFolder(CORVATIN_DATA_DIR);
    dir_ = std::filesystem::temp_directory_path() / ("corvatin-batch-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir_);
    dispatcher_ = std::make_shared<TConsoleDispatcher>();
    SetMainDispatcher(dispatcher_);
    catalogue_ = std::make_unique<TCatalogue>(
        TCatalogueSetup{nullptr, {}, dispatcher_, [this](const std::string& m) { loadErrors_.push_back(m); }});
  }
  void TearDown() override {
    catalogue_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  /// Writes a file into the temporary folder and returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return (dir_ / name).string();
  }
  /// The bytes of a result file (empty when missing).
  std::string Result(const std::string& name) const {
    std::ifstream in(dir_ / "results" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  /// Runs a procedure of the catalogue over files with the given weights ("" leaves the defaults) and parameter
  /// assignments ("[BLOCK:]NAME=VALUE"); the log goes to log_.
  int Run(const std::string& procedure, const std::vector<std::string>& files, const std::string& weights = "",
          const std::vector<std::string>& assignments = {}) {
    auto package = ChooseProcedure(*catalogue_, procedure);
    if (!weights.empty()) SelectWeights(*package, weights);
    for (const auto& a : assignments)
      ApplyAssignment(*package, a);
    TBatchOptions options;
    options.files = files;
    options.resultsDir = (dir_ / "results").string();
    return RunProcedure(*package, options, log_, false);
  }
  /// The lines of bytes split at lineEnd; an unterminated last line is kept with the marker "<no line end>".
  static std::vector<std::string> Lines(const std::string& bytes, const std::string& lineEnd = "\r\n") {
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size();) {
      const size_t end = bytes.find(lineEnd, start);
      if (end == std::string::npos) {
        lines.push_back(bytes.substr(start) + "<no line end>");
        break;
      }
      lines.push_back(bytes.substr(start, end - start));
      start = end + lineEnd.size();
    }
    return lines;
  }
  /// The lines of a data file written with CR LF ends.
  std::vector<std::string> DataLines(const std::string& name) const { return Lines(Result(name)); }
  /// The cells of a tab-separated line.
  static std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) return cells;
      start = tab + 1;
    }
  }

  std::filesystem::path dir_;
  Ptr<TConsoleDispatcher> dispatcher_;
  std::unique_ptr<TCatalogue> catalogue_;
  std::vector<std::string> loadErrors_;
  std::ostringstream log_;
};

} // namespace corvatin::testing
