#pragma once
// Whole procedures run the way the batch tool runs them: a catalogue on the console dispatcher, files in a
// temporary folder, results read back as bytes.

#include "blocks/dispatcher.h"
#include "procedures/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin::testing {

class BatchRun : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  /// Writes a file into the temporary folder and returns its path.
  std::string Write(const std::string& name, const std::string& content);
  /// The bytes of a result file (empty when missing).
  std::string Result(const std::string& name) const;
  /// Runs procedure over files with the given weights ("" leaves the defaults) and parameter assignments
  /// ("[BLOCK:]NAME=VALUE"); the log goes to log_.
  int Run(const std::string& procedure, const std::vector<std::string>& files, const std::string& weights = "",
          const std::vector<std::string>& assignments = {});
  /// The data file's lines without their CR LF ends.
  std::vector<std::string> DataLines(const std::string& name) const;
  /// The cells of a tab-separated line.
  static std::vector<std::string> Cells(const std::string& line);

  std::filesystem::path dir_;
  std::unique_ptr<TCatalogue> catalogue_;
  std::vector<std::string> loadErrors_;
  std::ostringstream log_;
};

} // namespace corvatin::testing
