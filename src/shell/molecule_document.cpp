#include "shell/molecule_document.h"

#include "procedures/editor_block.h"

#include <QUndoCommand>

#include <memory>

namespace corvatin::shell {

void CopyMolecule(const IMolecule& source, IMolecule& target) { CopyStructure(source, target); }

/// An undo step holding copies of the molecule before and after the change; exact whatever the change did.
class TSnapshotCommand : public QUndoCommand {
public:
  TSnapshotCommand(TMoleculeDocument& doc, const QString& text, Ptr<IMolecule> before, Ptr<IMolecule> after)
      : QUndoCommand(text), doc_(doc), before_(std::move(before)), after_(std::move(after)) {}
  void undo() override { doc_.Restore(*before_); }
  void redo() override {
    // The first redo is the push itself: the change is already in place.
    if (first_) {
      first_ = false;
      return;
    }
    doc_.Restore(*after_);
  }

private:
  TMoleculeDocument& doc_;
  Ptr<IMolecule> before_, after_;
  bool first_ = true;
};

TMoleculeDocument::TMoleculeDocument(QObject* parent) : QObject(parent), molecule_(NewMolecule()) {}

bool TMoleculeDocument::Edit(const QString& text, const std::function<void(IMolecule&)>& change) {
  if (locked_) return false;
  Ptr<IMolecule> before = NewMolecule();
  CopyMolecule(*molecule_, *before);
  try {
    molecule_->BeginUpdate();
    change(*molecule_);
    molecule_->EndUpdate();
  } catch (...) {
    // A failed change must not leave a half-edited molecule behind.
    molecule_->EndUpdate();
    Restore(*before);
    throw;
  }
  Ptr<IMolecule> after = NewMolecule();
  CopyMolecule(*molecule_, *after);
  undo_.push(new TSnapshotCommand(*this, text, std::move(before), std::move(after)));
  emit changed();
  return true;
}

void TMoleculeDocument::Replace(const IMolecule& source) {
  CopyMolecule(source, *molecule_);
  undo_.clear();
  emit changed();
}

void TMoleculeDocument::Reset() {
  molecule_->Clear();
  undo_.clear();
  emit changed();
}

void TMoleculeDocument::SetLocked(bool flag) {
  if (locked_ == flag) return;
  locked_ = flag;
  emit lockChanged(flag);
}

void TMoleculeDocument::Restore(const IMolecule& snapshot) {
  CopyMolecule(snapshot, *molecule_);
  emit changed();
}

} // namespace corvatin::shell
