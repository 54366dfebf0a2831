#include "classify/smiles_classification.h"

#include "classify/loader.h"

#include <stdexcept>

namespace corvatin {

TSMILESClassification::TSMILESClassification(const std::vector<std::string>& propertyNames,
                                             const std::string& fileName, int elementKind, std::uint8_t valueKind)
    : TBlock(1), file_(std::make_shared<const TClassificationFile>(
                     LoadClassificationFile(fileName, propertyNames, elementKind, valueKind))),
      matcher_(std::make_unique<TFragmentMatcher>(*file_)) {}

TSMILESClassification::TSMILESClassification(const std::vector<std::string>& propertyNames, IParser& parser,
                                             int elementKind, std::uint8_t valueKind)
    : TBlock(1), file_(std::make_shared<const TClassificationFile>(
                     ReadClassificationFile(parser, propertyNames, elementKind, valueKind))),
      matcher_(std::make_unique<TFragmentMatcher>(*file_)) {}

TSMILESClassification::TSMILESClassification(std::shared_ptr<const TClassificationFile> file,
                                             const TFragmentMatcher& compiled)
    : TBlock(1), file_(std::move(file)), matcher_(std::make_unique<TFragmentMatcher>(compiled.Index())) {}

Ptr<TSMILESClassification> TSMILESClassification::Sibling() const {
  // Not make_shared: the constructor is private.
  return Ptr<TSMILESClassification>(new TSMILESClassification(file_, *matcher_));
}

void TSMILESClassification::Execute(bool& /*more*/) {
  if (Ptr<ISubGraph> structure = GetInputAs<ISubGraph>()) Classify(structure);
}

void TSMILESClassification::Classify(const Ptr<ISubGraph>& structure) {
  std::lock_guard lock(classifying_);
  matcher_->Classify(structure);
}

int TSMILESClassification::GetValueCount(int kind) const {
  return kind == file_->elementKind ? static_cast<int>(file_->propertyNames.size()) : 0;
}

std::string TSMILESClassification::GetValueName(int kind, int index) const {
  const int count = GetValueCount(kind);
  if (kind == file_->elementKind && index >= 0 && index < count) return file_->propertyNames[static_cast<size_t>(index)];
  if (kind == file_->elementKind && index == count) return file_->className;
  throw std::out_of_range("SMILES classification value name " + std::to_string(kind) + "/" + std::to_string(index) +
                          " out of range");
}

} // namespace corvatin
