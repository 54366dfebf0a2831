#pragma once
// The block that ends most procedures: appends each structure's values to a tab-separated data file (one line per
// structure, for statistics software) and to a readable results file (one labelled section per structure), and
// echoes the readable lines to the log.

#include "blocks/block.h"
#include "classify/classification.h"
#include "outputs/composer.h"

#include <memory>
#include <string>
#include <vector>

namespace corvatin {

class TResultFile;

inline constexpr const char* kParamOutputDataFile = "Output data file";
inline constexpr const char* kParamOutputResultsFile = "Output results file";
inline constexpr const char* kParamPrecision = "Precision";
/// The decimals "Precision" is held to (a negative value writes none).
inline constexpr int kMaxPrecision = 20;

/// "Output": one port; parameters "Output data file", "Output results file", "Precision" (6).
class TVectorOutput : public TBlock {
public:
  /// One molecule-level record per name, in order.
  TVectorOutput(const std::vector<std::string>& names, const std::string& dataFile, const std::string& resultsFile,
                bool rowLines, bool labelledValues);
  /// Records from source's value names: molecule level, then atoms, then bonds; row lines off, labelled values on.
  TVectorOutput(const IClassification& source, const std::string& dataFile, const std::string& resultsFile);
  ~TVectorOutput() override;

  std::string GetName() const override { return "Output"; }
  /// Writes the published structure (nothing when none is published).
  void Execute(bool& more) override;
  /// EFatalError when the data file and the results file are one file.
  void Start(IWorkerThread* thread) override;
  /// Closes the result files.
  void Stop() override;

  /// Appends structure to both files, whole or not at all. A structure without values writes no data line (its
  /// section still goes to the results file); the first that has values picks the run's data file: the file
  /// named, or the first free "<name>-2.txt", "<name>-3.txt", ... next to it whose header can take its values.
  /// EFatalError when a file cannot be created or written.
  void Write(const Ptr<IObject>& structure);

  /// For the next run only, other writes through this block's files, data-file choice and warnings, as one run
  /// would: the workers of one batch run each have an output of their own and write in turns.
  void ShareRunWith(TVectorOutput& other);

  const std::vector<TParamObject>& Records() const { return records_; }
  bool RowLines() const { return rowLines_; }
  bool LabelledValues() const { return labelledValues_; }

private:
  void AddParameters(const std::string& dataFile, const std::string& resultsFile);
  void WarnDropped(const std::vector<TDataCell>& dropped, const std::string& path);
  /// Writes composed (the part that follows input order).
  void Commit(const TComposedStructure& composed);
  /// Opens (once per run) and locks the results file and the data file that takes composed; the data file is none
  /// when composed has no values.
  TResultFile* LockFiles(const std::string& folder, const TComposedStructure& composed, std::string& dataText,
                         std::vector<TDataCell>& dropped);
  void OpenResults(const std::string& path);
  /// Locks file and warns of an unfinished line the lock cut off.
  void LockFile(TResultFile& file);

  std::vector<TParamObject> records_;
  bool rowLines_;
  bool labelledValues_;
  // What a run keeps between structures (the data file chosen, the files kept open, the warnings given); the
  // workers of one batch run share one.
  struct TRun;
  std::shared_ptr<TRun> run_;
  bool shared_ = false; // run_ was given for the next run and is not made afresh at Start
};

} // namespace corvatin
