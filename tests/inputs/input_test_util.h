#pragma once
// Shared by the input tests: the test data folder, files written for one test, and a harness that runs a reader
// block the way a package does (a molecule published under the port name, a recording log and progress).

#include "../blocks/block_stubs.h"
#include "core/errors.h"
#include "chem/elements.h"
#include "core/paths.h"
#include "inputs/file_input.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
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

  /// Ends an earlier run, then as the worker does for every run: log and progress, then Start.
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
  /// the last log line for a file without structure.
  std::vector<std::string> ReadAll() {
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

/// The atoms in order ("N+1H3": symbol, charge, hydrogens; "@13" a weight other than the element's), the
/// hydrogens at the end as "+nH", then the bonds between the others ("1=2": "-", "=", "#", ":" single to aromatic).
inline std::string Describe(const IMolecule& m) {
  std::string text;
  int last = m.VertexCount();
  while (last > 0 && m.GetAtom(last - 1)->GetSymbol() == "H") --last;
  for (int i = 0; i < last; ++i) {
    const IAtom* a = m.GetAtom(i);
    char weight[32] = "";
    if (std::abs(a->GetAtomicWeight() - AtomicWeight(a->GetAtomicNumber())) > 1e-6)
      std::snprintf(weight, sizeof weight, "@%g", a->GetAtomicWeight());
    text += (i ? " " : "") + a->GetSymbol() + (a->GetCharge() > 0 ? "+" : "") +
            (a->GetCharge() ? std::to_string(a->GetCharge()) : "") + "H" + std::to_string(a->HydrogenCount()) + weight;
  }
  text += " +" + std::to_string(m.VertexCount() - last) + "H\t";
  const char* space = "";
  for (int k = 0; k < m.EdgeCount(); ++k) {
    const IBond* b = m.GetBond(k);
    const int i = b->GetAtom1()->GetIndex(), j = b->GetAtom2()->GetIndex();
    if (i >= last || j >= last) continue;
    text += space + std::to_string(i + 1) + "-=#:"[b->GetBondType()] + std::to_string(j + 1);
    space = " ";
  }
  return text;
}

} // namespace corvatin::test
