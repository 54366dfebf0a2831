#pragma once
// The molecule editor's state and its mouse, key and command handling, apart from any widget: the widget feeds
// it client-area positions and draws what it holds, so the rules are tested with synthetic events or calls.
// Every change of the molecule is one undoable step of the document; nothing is changed while the document is
// locked by a run or the editor is read-only.

#include "shell/editor_painter.h"
#include "shell/graph_viewer.h"
#include "shell/molecule_document.h"

#include "core/notifier.h"
#include "core/progress.h"

#include <QCursor>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace corvatin::shell {

/// Edit modes, numbered as the settings and menus know them.
enum class EditMode : int { Drawing = 0, Selecting = 1, Modifying = 2 };
/// What a held mouse button is doing.
enum class DragState : int { Idle = 0, Chain = 1, Band = 2, Moving = 3 };

/// The most symbols the editor's palette takes from the periodic table window.
inline constexpr int kPaletteLimit = 15;
/// No bond tool chosen.
inline constexpr int kNoBondTool = -1;

/// What the editor asks of the window it lives in; every hook may be left empty.
struct TEditorHooks {
  std::function<void()> repaint;
  std::function<void(QPoint)> contextMenu; ///< right click on empty space
  std::function<void(QPoint)> itemMenu;    ///< right click on an atom or bond: the one-entry "&Delete" menu
  std::function<void()> stateChanged;      ///< command states (enabled, checked) may have changed
  std::function<void()> cursorChanged;
  QWidget* dialogParent = nullptr;
};

/// The editor's state machine over one molecule of a document.
class TEditorController {
public:
  explicit TEditorController(TMoleculeDocument& doc);
  ~TEditorController();
  TEditorController(const TEditorController&) = delete;
  TEditorController& operator=(const TEditorController&) = delete;

  TEditorHooks hooks;

  // --- attachment and flags
  /// Detaches from the previous molecule, forgets selection and chain, attaches to graph (none detaches).
  void Attach(const Ptr<IMolecule>& graph);
  const Ptr<IMolecule>& Graph() const { return graph_; }
  TMoleculeDocument& Document() { return doc_; }
  /// Not read-only, not locked by a run, and attached to the document's molecule.
  bool Editable() const;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool flag);
  bool HideHydrogens() const { return hideHydrogens_; }
  void SetHideHydrogens(bool flag);
  bool Lock3D() const { return lock3D_; }
  void SetLock3D(bool flag) { lock3D_ = flag; }
  bool QuickDrawing() const { return quick_; }
  void SetQuickDrawing(bool flag);
  void SetSelectionListener(ISelectionListener* listener) { listener_ = listener; }
  void SetProgressListener(IProgressCallback* listener) { progress_ = listener; }

  // --- tools
  EditMode Mode() const { return mode_; }
  void SetMode(EditMode mode);
  int BondTool() const { return bondTool_; }
  void ChooseBondTool(int kind);
  int ElementTool() const { return elementTool_; }
  void ChooseElement(int index);
  /// The chosen element's symbol; empty without an element tool.
  std::string CurrentSymbol() const;
  const std::vector<std::string>& Palette() const { return palette_; }
  /// Replaces the palette; the element tool follows its symbol or is dropped.
  void SetPalette(std::vector<std::string> palette);

  // --- what the picture shows
  DragState Drag() const { return drag_; }
  const TEditorSelection& Selection() const { return selection_; }
  IAtom* ChainStart() const { return chainStart_; }
  QPoint CursorPos() const { return cursor_; }
  QPoint BandStart() const { return bandStart_; }
  const TMovingSet& Moving() const { return moving_; }
  bool MoveRefused() const { return drag_ == DragState::Moving && !moveAllowed_; }
  TScreenMapping& Mapping() { return map_; }
  const TScreenMapping& Mapping() const { return map_; }
  TPaintOptions PaintOptions() const;
  /// The cursor for the mode and tools (a refused move shows the no-drop shape).
  QCursor Cursor() const;

  // --- mouse and keys (client-area pixels)
  void MouseDown(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void MouseMove(QPoint p);
  void MouseUp(QPoint p, Qt::MouseButton button);
  /// True when the key was the editor's.
  bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

  // --- commands
  void DeleteAll();
  void DeleteSelected();
  /// The "&Delete" entry of the item menu: asks, then deletes the atom or bond the menu was opened on.
  void DeletePendingItem();
  void SelectAll();
  void DeselectAll();
  void InvertSelection();
  void CompleteHydrogens();
  void CompleteAromaticity();
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  /// The molecule as SMILES (empty without atoms).
  std::string Smiles() const;
  void CopySmiles();
  /// Adds the structure of a SMILES string beside the drawing, laid out in 2D, as one step; a bad string is
  /// reported and changes nothing. True when added.
  bool AddSmiles(const std::string& smiles);
  void PasteSmiles();
  void FitToView();
  /// Zooms by factor keeping the point under p in place.
  void ZoomAt(QPoint p, double factor);

private:
  class TListener;
  void GraphChanged(int kind);
  /// One undoable step; false when refused (read-only, locked) or when the change failed (reported).
  bool Apply(const QString& text, const std::function<void(IMolecule&)>& change);
  bool Ask(const QString& caption, const QString& text) const;
  void Repaint() const;
  void StateChanged() const;
  void ReportSelection() const;
  /// The selection changed here: tells the listener and repaints.
  void SelectionChangedHere() const;
  void ClearSelection();
  void EndChain();
  void LeftDown(QPoint p, bool shift);
  void RightDown(QPoint p);
  void OnAtom(IAtom* atom, QPoint p, bool shift);
  /// Selecting mode's press on an atom or bond.
  template <class Item> void SelectOrMove(Item* item, QPoint p, bool shift);
  void OnBond(IBond* bond, QPoint p, bool shift);
  void OnEmpty(QPoint p, bool shift);
  void BeginMove(QPoint p);
  void FinishBand(QPoint p);
  void FinishMove();
  IAtom* AddAtomAt(QPoint p, IAtom* bondFrom);
  void ConnectChain(IAtom* target);
  IAtom* HitAtomAt(QPoint p) const;
  IBond* HitBondAt(QPoint p) const;
  std::string NewAtomSymbol() const;

  TMoleculeDocument& doc_;
  Ptr<IMolecule> graph_;
  std::unique_ptr<TListener> graphListener_;
  ISelectionListener* listener_ = nullptr;
  IProgressCallback* progress_ = nullptr;
  EditMode mode_ = EditMode::Selecting;
  DragState drag_ = DragState::Idle;
  IAtom* chainStart_ = nullptr;
  std::vector<std::string> palette_;
  int elementTool_ = -1;
  int bondTool_ = kNoBondTool;
  TEditorSelection selection_;
  TMovingSet moving_;
  bool moveAllowed_ = false;
  QPoint moveStart_, bandStart_, cursor_;
  bool hideHydrogens_ = false;
  bool lock3D_ = true;
  bool readOnly_ = false;
  bool quick_ = false;
  bool ownEdit_ = false;
  // The atom or bond a right click opened the item menu on (index, kind); -1 when none.
  int pendingIndex_ = -1;
  SelectionKind pendingKind_ = skAtom;
  TScreenMapping map_;
  QMetaObject::Connection lockConnection_;
};

} // namespace corvatin::shell
