#pragma once
// A temporary result folder and settings file for the output tests, and a recording log.

#include "core/progress.h"
#include "core/settings.h"
#include "outputs/result_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin::test {

inline std::string MakeTempFolder(const std::string& stem) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("corvatin-" + stem + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

/// Every test gets a fresh result folder stored as "Folders\ResultFolder" in a settings file of its own process:
/// Registry() is created on first use over $CORVATIN_SETTINGS, so a real user's settings are never touched.
class ResultFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    // Removed when the process ends (ctest runs every test in a process of its own).
    struct TempSettings {
      TempSettings() : folder(MakeTempFolder("settings")) {
        ::setenv("CORVATIN_SETTINGS", (folder + "/settings.ini").c_str(), 1);
      }
      ~TempSettings() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
      }
      std::string folder;
    };
    static const TempSettings settings;
    folder_ = MakeTempFolder("results");
    Registry().WriteString(kResultFolderKey, folder_);
    ResetResultFolderAsked();
    SetResultFolderQuestion(nullptr);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    SetResultFolderQuestion(nullptr);
  }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  /// The bytes of a result file.
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  std::string folder_;
};

struct LoggedLine {
  std::string text;
  int kind;
};

class RecordingLog : public IProgressLog {
public:
  void Clear() override { lines.clear(); }
  void AddMessage(const std::string& text, int kind, bool) override { lines.push_back({text, kind}); }
  int Count(int kind) const {
    int n = 0;
    for (const auto& l : lines)
      n += l.kind == kind;
    return n;
  }
  std::vector<LoggedLine> lines;
};

} // namespace corvatin::test
