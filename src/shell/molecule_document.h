#pragma once
// The molecule the workbench shows and edits. It belongs to the GUI thread alone: structures from a run arrive
// as copies made inside the worker's synchronous hand-over, and every user edit is one undoable step.

#include "chem/molecule.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

namespace corvatin::shell {

/// Copies atoms, bonds, their parameters, the molecule's own parameters, name and transform of source into
/// target (emptied first), inside one update bracket of target.
void CopyMolecule(const IMolecule& source, IMolecule& target);

/// The workbench's current molecule with its undo history.
class TMoleculeDocument : public QObject {
  Q_OBJECT
public:
  explicit TMoleculeDocument(QObject* parent = nullptr);

  /// The molecule every view shows; never null and never replaced (views stay attached).
  const Ptr<IMolecule>& Molecule() const { return molecule_; }
  QUndoStack* UndoStack() { return &undo_; }

  /// Applies change to the molecule as one undoable step named text. Undo and redo restore exact copies of the
  /// molecule before and after. Refused (returns false) while locked.
  bool Edit(const QString& text, const std::function<void(IMolecule&)>& change);
  /// Replaces the molecule by a copy of source without an undo step (a structure delivered by a run or a file);
  /// the history, which speaks of a molecule that is gone, is cleared.
  void Replace(const IMolecule& source);
  /// Empties the molecule without an undo step and clears the history.
  void Reset();

  /// While locked (a run holds the molecule) edits are refused.
  void SetLocked(bool flag);
  bool IsLocked() const { return locked_; }

signals:
  /// After every change of the molecule (edit, undo, redo, replace, reset).
  void changed();
  void lockChanged(bool locked);

private:
  friend class TSnapshotCommand;
  void Restore(const IMolecule& snapshot);

  Ptr<IMolecule> molecule_;
  QUndoStack undo_;
  bool locked_ = false;
};

} // namespace corvatin::shell
