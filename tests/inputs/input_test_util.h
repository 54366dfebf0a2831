#pragma once
// Shared by the input tests: files written for one test, the test data folder, and a harness that runs a reader
// block the way a package does (a molecule published under the port name, a recording log and progress).

#include "../blocks/block_stubs.h"
#include "core/paths.h"
#include "inputs/file_input.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace corvatin::test {

/// A file of the test data folder tests/data/inputs.
inline std::string DataFile(const std::string& name) { return std::string(CORVATIN_TEST_DATA_DIR) + "/inputs/" + name; }

/// A folder of its own for one test, removed with everything in it at the end.
class TempFolder {
public:
  TempFolder() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("corvatin-inputs-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  /// Writes text (bytes as given) to name in the folder and returns the file's path.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string file = (path_ / name).string();
    std::ofstream out(file, std::ios::binary);
    out << text;
    return file;
  }
  /// The folder's path, ending with "/".
  std::string Path() const { return path_.string() + "/"; }

private:
  std::filesystem::path path_;
};

/// Runs a reader like a package: its molecule published under "InputTest.Molecule", log and progress recorded.
template <class Reader> class ReaderHarness {
public:
  template <class... Args> explicit ReaderHarness(Args&&... args)
      : reader(std::make_shared<Reader>(std::forward<Args>(args)...)) {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
    reader->SetPortName(0, kPort);
    reader->SetLog(log);
    reader->SetProgress(progress);
  }
  ~ReaderHarness() {
    reader->Stop();
    SharedDataSpace()->DeleteParam(kPort);
  }
  ReaderHarness(const ReaderHarness&) = delete;
  ReaderHarness& operator=(const ReaderHarness&) = delete;

  /// As the worker does for every run: log and progress, then Start.
  void Start(const std::string& fileName) {
    reader->SetLog(log);
    reader->SetProgress(progress);
    reader->SetFileName(fileName);
    reader->Start(nullptr);
  }
  /// One pass; returns the pass flag.
  bool Pass() {
    bool more = true;
    reader->Execute(more);
    return more;
  }
  /// Passes until the flag is cleared (at most limit); the molecule names in order.
  std::vector<std::string> ReadAll(int limit = 10000) {
    std::vector<std::string> names;
    bool more = true;
    while (more && limit-- > 0) {
      reader->Execute(more);
      names.push_back(molecule->GetName());
    }
    return names;
  }

  static constexpr const char* kPort = "InputTest.Molecule";
  Ptr<IMolecule> molecule = NewMolecule();
  Ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  Ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
  Ptr<Reader> reader;
};

/// The message of the exception statement raises (fails the test when it raises none or another type).
template <class E, class F> std::string MessageOf(F&& statement) {
  try {
    statement();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "no exception of the expected type";
  return {};
}

} // namespace corvatin::test
