#pragma once
// Shared by the input tests: the test data folder, files written for one test, and a harness that runs a reader
// block the way a package does (a molecule published under the port name, a recording log and progress).

#include "../blocks/block_stubs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "inputs/file_input.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin::test {

/// A file of the test data folder tests/data, e.g. "formats/NCI_3.mol2".
inline std::string Data(const std::string& path) { return std::string(CORVATIN_TEST_DATA_DIR) + "/" + path; }

/// The bytes of a file of the test data folder.
inline std::string DataText(const std::string& path) {
  std::ifstream in(Data(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

/// The rows of a tab-separated file of the test data folder, its "#" lines (provenance, columns) left out.
inline std::vector<std::vector<std::string>> Table(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(DataText(path));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    rows.emplace_back();
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) rows.back().push_back(field);
    if (line.back() == '\t') rows.back().emplace_back();
  }
  return rows;
}

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

/// Runs a reader like a package: its molecule published under kPort, log and progress recorded.
template <class Reader> class ReaderHarness {
public:
  template <class... Args> explicit ReaderHarness(Args&&... args)
      : reader(std::make_shared<Reader>(std::forward<Args>(args)...)) {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
    reader->SetPortName(0, kPort);
  }
  ~ReaderHarness() {
    reader->Stop();
    SharedDataSpace()->DeleteParam(kPort);
  }
  ReaderHarness(const ReaderHarness&) = delete;
  ReaderHarness& operator=(const ReaderHarness&) = delete;

  /// As the worker does for every run: log and progress, then Start.
  void Start(const std::string& fileName) {
    reader->Stop();
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
  /// Every pass as the worker runs them: the names read in order, "!" and the message of a record error, "~" and
  /// the last log line for a file without structure; flags, when given, receives each pass's flag.
  std::vector<std::string> ReadAll(std::vector<bool>* flags = nullptr) {
    std::vector<std::string> names;
    bool more = true;
    for (int pass = 0; more && pass < 1000; ++pass) {
      try {
        reader->Execute(more);
        names.push_back(molecule->GetName());
      } catch (const ERecordError& e) {
        names.push_back(std::string("!") + e.what()); // the reader has set more before raising it
      } catch (const ENoStructure&) {
        names.push_back("~" + (log->lines.empty() ? std::string() : log->Last().text));
      }
      if (flags) flags->push_back(more);
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

using Names = std::vector<std::string>;

// ------------------------------------------------------------------------ records written for the tests

/// A MOL2 MOLECULE record of six lines (USER_CHARGES).
inline std::string Mol2Molecule(const std::string& name, int atoms, int bonds) {
  return "@<TRIPOS>MOLECULE\n" + name + "\n " + std::to_string(atoms) + " " + std::to_string(bonds) +
         " 0 0 0\nSMALL\nUSER_CHARGES\n\n";
}

/// A MOL2 atom line.
inline std::string Mol2Atom(int id, const std::string& type, double x, const std::string& charge) {
  return "      " + std::to_string(id) + " A" + std::to_string(id) + "   " + std::to_string(x) +
         "   0.0000   0.0000 " + type + "     1  UNL1       " + charge + "\n";
}

/// A MOL2 molecule "pair" of two atoms (lines 8 and 9) with one bond of bondType (line 11).
inline std::string Mol2Pair(const std::string& bondType, const std::string& type1 = "C.3", const std::string& q1 = "0.0") {
  return Mol2Molecule("pair", 2, 1) + "@<TRIPOS>ATOM\n" + Mol2Atom(1, type1, 0.0, q1) + Mol2Atom(2, "C.3", 1.5, "0.0") +
         "@<TRIPOS>BOND\n     1     1     2   " + bondType + "\n";
}

} // namespace corvatin::test
