#pragma once
// The classification block that owns one classification file and attaches its values to the atoms (or bonds)
// that match its fragments, the most specific fragment first.

#include "blocks/block.h"
#include "classify/classification.h"
#include "classify/fragments.h"
#include "classify/matcher.h"
#include "core/parser.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvatin {

/// "SMILES" (update level 2): a loaded classification file.
class TSMILESClassification : public TBlock, public virtual IClassification {
public:
  /// Loads fileName (relative names from DataFolder()). propertyNames may be empty, when the file's "Property"
  /// line supplies them; elementKind 0 classifies atoms, 1 bonds; valueKind 1 stores numbers, 3 strings.
  /// Raises EClassifyError for a file error and EInputError when the file cannot be opened.
  TSMILESClassification(const std::vector<std::string>& propertyNames, const std::string& fileName,
                        int elementKind, std::uint8_t valueKind);
  /// Reads the definitions from a tokenizer instead of a file (text held in memory).
  TSMILESClassification(const std::vector<std::string>& propertyNames, IParser& parser, int elementKind,
                        std::uint8_t valueKind);

  /// Another block over the same loaded file and compiled fragments, which it shares read only, with a matcher
  /// state of its own: for a worker of its own, which then classifies without waiting for this one.
  Ptr<TSMILESClassification> Sibling() const;

  std::string GetName() const override { return "SMILES"; }
  void Execute(bool& more) override;

  /// Removes the old values, then gives every atom (bond) the values of the first fragment that matches it.
  /// Calls from two threads (a procedure's worker and the editor's classifier) take turns.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  /// The number of property names for the file's element kind, 0 for the others.
  int GetValueCount(int kind) const override;
  /// The property name at index; index = the number of names gives the class name; std::out_of_range beyond.
  std::string GetValueName(int kind, int index) const override;

  /// Reference mode: every fragment tried on every atom through the substructure finder, as the language
  /// defines matching, without any of the shortcuts (slow; for checking that they change no assignment).
  void SetReferenceMode(bool flag) {
    std::lock_guard lock(classifying_);
    matcher_->SetReferenceMode(flag);
  }

  const TClassificationFile& File() const { return *file_; }
  const std::vector<std::string>& PropertyNames() const { return file_->propertyNames; }
  const std::string& ClassName() const { return file_->className; }
  int GetElementKind() const { return file_->elementKind; }
  /// The fragment records in matching order.
  int FragmentCount() const { return static_cast<int>(file_->records.size()); }
  const TGraphData& Record(int index) const { return *file_->records.at(static_cast<size_t>(index)); }

private:
  TSMILESClassification(std::shared_ptr<const TClassificationFile> file, const TFragmentMatcher& compiled);

  std::shared_ptr<const TClassificationFile> file_; // shared with the siblings
  std::unique_ptr<TFragmentMatcher> matcher_;
  std::mutex classifying_; // the matcher keeps per-molecule state while it runs
};

} // namespace corvatin
