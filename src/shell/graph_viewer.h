#pragma once
// The views of the main window's molecule panel (the molecule editor and the 3D viewer) answer one interface, so
// the window switches between them without knowing which is which.

#include "chem/molecule.h"

class QWidget;

namespace corvatin::shell {

class TCommandActions;

/// What a selection refers to.
enum SelectionKind : int { skAtom = 0, skBond = 1, skGraph = 2 };

/// Told about the current selection of a view (the main window shows it in the property inspector).
class ISelectionListener {
public:
  virtual ~ISelectionListener() = default;
  /// item: the selected atom or bond, or the graph as a whole (kind skGraph); none for an empty view.
  virtual void SelectionChanged(const Ptr<IParameters>& item, SelectionKind kind) = 0;
};

/// A view of the molecule panel. The molecule it shows belongs to the GUI thread: a view never sees a
/// structure a worker is writing.
class IGraphViewer {
public:
  virtual ~IGraphViewer() = default;
  virtual Ptr<IMolecule> GetGraph() const = 0;
  /// Attaches the view to a molecule (none detaches it).
  virtual void SetGraph(const Ptr<IMolecule>& graph) = 0;
  virtual bool GetReadOnly() const = 0;
  virtual void SetReadOnly(bool flag) = 0;
  virtual bool GetQuickDrawing() const = 0;
  virtual void SetQuickDrawing(bool flag) = 0;
  /// Repaints from the attached molecule.
  virtual void Refresh() = 0;
  /// The listener is not owned; none switches reporting off.
  virtual void SetSelectionListener(ISelectionListener* listener) = 0;

  /// The widget the main window puts into its panel.
  virtual QWidget* Widget() = 0;
  /// The view's command table, registered under "menuGraphEditor" while the view is shown.
  virtual TCommandActions* Commands() = 0;
};

} // namespace corvatin::shell
