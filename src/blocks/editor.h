#pragma once
// The links between a package, its molecule-editor block and the window that hosts the editor. The editor block
// itself lives with the editor; the package only needs these operations.

#include "core/object.h"

namespace corvatin {

/// What a package asks of its editor block (called on the main thread).
class IEditor : public virtual IObject {
public:
  /// Whether the user may leave this procedure for another one.
  virtual bool IsReady() = 0;
  /// Whether a run may start (false, for example, when there is nothing to process).
  virtual bool CanStart() = 0;
  /// The procedure became the current one.
  virtual void Activate() = 0;
  /// Structures are (true) or are not (false) shown during the run.
  virtual void SetShowing(bool flag) = 0;
  /// The worker waits at the editor block (true) or goes on (false).
  virtual void SetPaused(bool flag) = 0;
  /// Empties the structure the editor block publishes.
  virtual void ClearStructure() = 0;
};

/// The window hosting the molecule editor, told by the editor block about runs (the GUI and the batch tool).
class IEditorHost : public virtual IObject {
public:
  virtual void RunBegins() = 0;
  virtual void RunEnds() = 0;
  /// Asks whether a run may replace the editor's current molecule.
  virtual bool ConfirmClearing() = 0;
};

} // namespace corvatin
