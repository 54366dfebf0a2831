// The molecule editor's commands: tools and modes, deleting, selecting, the completions, undo and redo, SMILES
// through the clipboard, the view's zoom, and the keys that reach them.
#include "shell/editor_controller.h"

#include "shell/dialogs.h"

#include "chem/completion.h"
#include "chem/smiles.h"
#include "chem/smiles_writer.h"
#include "graph/layout.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace corvatin::shell {

// ------------------------------------------------------------------------------------------ tools

std::string TEditorController::CurrentSymbol() const {
  return elementTool_ >= 0 && elementTool_ < static_cast<int>(palette_.size()) ? palette_[elementTool_] : "";
}

std::string TEditorController::NewAtomSymbol() const {
  // Without an element tool a drawn atom is a carbon: an atom without an element is never what a chemist
  // drawing a skeleton means, and it would fail every classification later.
  const std::string symbol = CurrentSymbol();
  return symbol.empty() ? "C" : symbol;
}

void TEditorController::SetMode(EditMode mode) {
  EndChain();
  switch (mode) {
  case EditMode::Selecting:
    elementTool_ = -1;
    bondTool_ = kNoBondTool;
    break;
  case EditMode::Drawing:
    break;
  case EditMode::Modifying:
    if (elementTool_ >= 0)
      bondTool_ = kNoBondTool;
    else if (bondTool_ == kNoBondTool && !palette_.empty())
      elementTool_ = 0;
    break;
  }
  mode_ = mode;
  StateChanged();
  if (hooks.cursorChanged) hooks.cursorChanged();
}

void TEditorController::ChooseBondTool(int kind) {
  bondTool_ = kind;
  if (mode_ == EditMode::Selecting) mode_ = EditMode::Drawing;
  if (mode_ == EditMode::Modifying) elementTool_ = -1;
  StateChanged();
  if (hooks.cursorChanged) hooks.cursorChanged();
}

void TEditorController::ChooseElement(int index) {
  if (index < 0 || index >= static_cast<int>(palette_.size())) return;
  elementTool_ = index;
  if (mode_ == EditMode::Selecting) mode_ = EditMode::Drawing;
  if (mode_ == EditMode::Modifying) bondTool_ = kNoBondTool;
  StateChanged();
  if (hooks.cursorChanged) hooks.cursorChanged();
}

void TEditorController::SetPalette(std::vector<std::string> palette) {
  const std::string current = CurrentSymbol();
  palette_ = std::move(palette);
  const auto it = std::find(palette_.begin(), palette_.end(), current);
  elementTool_ = current.empty() || it == palette_.end() ? -1 : static_cast<int>(it - palette_.begin());
  StateChanged();
  if (hooks.cursorChanged) hooks.cursorChanged();
}

// ------------------------------------------------------------------------------------------ commands

void TEditorController::DeleteAll() {
  if (!Editable() || graph_->VertexCount() == 0) return;
  if (!Ask("Confirm Graph Delete", "Are you sure you want to delete the graph?")) return;
  Apply("Delete all", [](IMolecule& m) { m.Clear(); });
}

void TEditorController::DeleteSelected() {
  if (!Editable() || selection_.Empty()) return;
  if (!Ask("Confirm Items Delete", "Are you sure you want to delete selected items?")) return;
  const std::vector<IAtom*> atoms = selection_.Atoms();
  const std::vector<IBond*> bonds = selection_.Bonds();
  // Bonds first: a selected bond of a selected atom is gone with the atom otherwise.
  Apply("Delete selected items", [&](IMolecule& m) {
    for (IBond* b : bonds)
      m.DeleteEdge(b);
    for (IAtom* a : atoms)
      m.DeleteVertex(a);
  });
}

void TEditorController::DeletePendingItem() {
  const int index = pendingIndex_;
  const SelectionKind kind = pendingKind_;
  pendingIndex_ = -1;
  if (!Editable() || index < 0) return;
  if (kind == skAtom) {
    if (index >= graph_->VertexCount()) return;
    if (!Ask("Confirm Vertex Delete", "Are you sure you want to delete this vertex?")) return;
    Apply("Delete atom", [index](IMolecule& m) { m.DeleteVertexAt(index); });
  } else {
    if (index >= graph_->EdgeCount()) return;
    if (!Ask("Confirm Edge Delete", "Are you sure you want to delete this edge?")) return;
    Apply("Delete bond", [index](IMolecule& m) { m.DeleteEdge(m.GetEdge(index)); });
  }
}

void TEditorController::SelectAll() {
  if (!Editable()) return;
  for (int i = 0; i < graph_->EdgeCount(); ++i)
    selection_.Add(graph_->GetBond(i));
  for (int i = 0; i < graph_->VertexCount(); ++i)
    selection_.Add(graph_->GetAtom(i));
  ReportSelection();
  Repaint();
}

void TEditorController::DeselectAll() {
  selection_.Clear();
  ReportSelection();
  Repaint();
}

void TEditorController::InvertSelection() {
  if (!Editable()) return;
  for (int i = 0; i < graph_->EdgeCount(); ++i)
    selection_.Toggle(graph_->GetBond(i));
  for (int i = 0; i < graph_->VertexCount(); ++i)
    selection_.Toggle(graph_->GetAtom(i));
  ReportSelection();
  Repaint();
}

namespace {

// Drawn bonds are as long as the user made them; a layout's own bonds are several times shorter. New atoms are
// given lengths in proportion to what is drawn.
constexpr double kDefaultBondLength = 0.1; // view units: 40 pixels in a 400-pixel window
constexpr double kHydrogenShare = 0.7;     // of the drawing's median bond

double Length(const IBond& b) {
  return std::hypot(b.GetAtom1()->GetX() - b.GetAtom2()->GetX(), b.GetAtom1()->GetY() - b.GetAtom2()->GetY());
}

/// The median length of the positioned bonds between atoms other than hydrogens; 0 when there are none.
double MedianBondLength(const IMolecule& m) {
  std::vector<double> lengths;
  for (int i = 0; i < m.EdgeCount(); ++i) {
    const IBond* b = m.GetBond(i);
    const IAtom* a1 = b->GetAtom1();
    const IAtom* a2 = b->GetAtom2();
    if (a1->GetPositioned() && a2->GetPositioned() && a1->GetAtomicNumber() != 1 && a2->GetAtomicNumber() != 1)
      lengths.push_back(Length(*b));
  }
  if (lengths.empty()) return 0;
  std::nth_element(lengths.begin(), lengths.begin() + static_cast<long>(lengths.size() / 2), lengths.end());
  return lengths[lengths.size() / 2];
}

} // namespace

void TEditorController::CompleteHydrogens() {
  if (!Editable()) return;
  // Tried on a copy first: a completion with nothing to do is no step to undo.
  Ptr<IMolecule> trial = NewMolecule();
  CopyMolecule(*graph_, *trial);
  corvatin::CompleteHydrogens(*trial);
  // Only hydrogens come and go, so the other atoms keep their order; its answer alone would also be true for
  // atoms that need a negative count and have nothing to lose.
  bool changes = trial->VertexCount() != graph_->VertexCount();
  for (int i = 0, j = 0; !changes && i < graph_->VertexCount(); ++i) {
    const IAtom* before = graph_->GetAtom(i);
    if (before->GetSymbol() == "H") continue;
    while (trial->GetAtom(j)->GetSymbol() == "H")
      ++j;
    changes = trial->GetAtom(j++)->HydrogenCount() != before->HydrogenCount();
  }
  if (!changes) return;
  IProgressCallback* progress = progress_;
  Apply("Hydrogen Completion", [progress](IMolecule& m) {
    if (!corvatin::CompleteHydrogens(m)) return;
    std::vector<IAtom*> fresh;
    for (int i = 0; i < m.VertexCount(); ++i)
      if (!m.GetAtom(i)->GetPositioned()) fresh.push_back(m.GetAtom(i));
    const double drawn = MedianBondLength(m);
    // New hydrogens have no place yet: they find one beside their atoms while the drawing stays put.
    OptimizeLayout(m, true, false, false, [progress](int percent, bool& refresh) {
      bool cont = true;
      if (progress) progress->Progress(percent, cont, refresh);
    });
    if (drawn <= 0) return;
    // The layout chose the directions; the lengths follow the drawing.
    for (IAtom* h : fresh) {
      if (h->NeighbourCount() != 1) continue;
      const IAtom* to = h->GetNeighbourAtom(0);
      const double dx = h->GetX() - to->GetX(), dy = h->GetY() - to->GetY(), d = std::hypot(dx, dy);
      if (d <= 0) continue;
      h->SetX(to->GetX() + dx / d * drawn * kHydrogenShare);
      h->SetY(to->GetY() + dy / d * drawn * kHydrogenShare);
    }
  });
}

void TEditorController::CompleteAromaticity() {
  if (!Editable()) return;
  Ptr<IMolecule> trial = NewMolecule();
  CopyMolecule(*graph_, *trial);
  PerceiveAromaticity(*trial, true, false, false);
  bool changes = false;
  for (int i = 0; i < trial->EdgeCount() && !changes; ++i)
    changes = trial->GetBond(i)->GetBondType() != graph_->GetBond(i)->GetBondType();
  if (!changes) return;
  Apply("Aromaticity Completion", [](IMolecule& m) { PerceiveAromaticity(m, true, false, false); });
}

bool TEditorController::CanUndo() const { return Editable() && doc_.UndoStack()->canUndo(); }
bool TEditorController::CanRedo() const { return Editable() && doc_.UndoStack()->canRedo(); }

void TEditorController::Undo() {
  if (CanUndo()) doc_.UndoStack()->undo();
}

void TEditorController::Redo() {
  if (CanRedo()) doc_.UndoStack()->redo();
}

std::string TEditorController::Smiles() const { return graph_ ? WriteSMILES(*graph_) : std::string(); }

void TEditorController::CopySmiles() {
  try {
    const std::string text = Smiles();
    if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
  } catch (const std::exception& e) {
    // More rings open at once than SMILES digits can number: nothing sensible to copy.
    Dialogs().Inform(hooks.dialogParent, "Copy as SMILES", QString::fromStdString(e.what()), MessageIcon::Error);
  }
}

bool TEditorController::AddSmiles(const std::string& smiles) {
  if (!Editable()) return false;
  Ptr<IMolecule> added = NewMolecule();
  try {
    ParseSMILES(smiles, *added);
  } catch (const std::exception& e) {
    Dialogs().Inform(hooks.dialogParent, "Paste SMILES",
                     QString("\"%1\" is not a SMILES string: %2").arg(QString::fromStdString(smiles), e.what()),
                     MessageIcon::Error);
    return false;
  }
  if (added->VertexCount() == 0) return false;
  // Laid out on its own at the drawing's bond length, then put to the right of what is drawn, level with its
  // middle.
  OptimizeLayout(*added, true, false, true);
  const double own = MedianBondLength(*added), drawnBond = MedianBondLength(*graph_);
  const double bond = drawnBond > 0 ? drawnBond : kDefaultBondLength;
  if (own > 0) {
    const double scale = bond / own;
    for (int i = 0; i < added->VertexCount(); ++i) {
      IAtom* a = added->GetAtom(i);
      a->SetX(a->GetX() * scale);
      a->SetY(a->GetY() * scale);
    }
  }
  const QRectF drawn = ModelBounds(*graph_, {});
  const QRectF fresh = ModelBounds(*added, {});
  const double dx = drawn.isNull() ? -fresh.center().x() : drawn.right() + bond - fresh.left();
  const double dy = drawn.isNull() ? -fresh.center().y() : drawn.center().y() - fresh.center().y();
  const bool pasted = Apply("Paste SMILES", [&](IMolecule& m) {
    const int first = m.VertexCount();
    m.AddGraph(*added, nullptr);
    for (int i = 0; i < added->VertexCount(); ++i) {
      const IAtom* from = added->GetAtom(i);
      IAtom* to = m.GetAtom(first + i);
      to->SetX(from->GetX() + dx);
      to->SetY(from->GetY() + dy);
    }
  });
  if (!pasted) return false;
  // What does not fit the window any more is brought into view.
  const QRectF all = ModelBounds(*graph_, {});
  const QRect window(0, 0, map_.width, map_.height);
  if (!window.contains(map_.ToScreen(all.left(), all.top())) ||
      !window.contains(map_.ToScreen(all.right(), all.bottom())))
    FitToView();
  return true;
}

void TEditorController::PasteSmiles() {
  const QString text = QGuiApplication::clipboard()->text().trimmed();
  if (!text.isEmpty()) AddSmiles(text.section('\n', 0, 0).trimmed().toStdString());
}

void TEditorController::FitToView() {
  if (!graph_) return;
  const TPaintOptions o = PaintOptions();
  FitMapping(map_, ModelBounds(*graph_, [&](const IAtom& a) { return Drawable(a, o); }));
  Repaint();
}

void TEditorController::ZoomAt(QPoint p, double factor) {
  const QPointF model = map_.ToModel(p);
  map_.zoom = std::clamp(map_.zoom * factor, 0.02, 50.0);
  const double s = map_.Scale();
  map_.pan = QPointF(p.x() - model.x() * s - map_.width / 2.0, p.y() - model.y() * s - map_.height / 2.0);
  Repaint();
}

// ------------------------------------------------------------------------------------------ keys

bool TEditorController::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = modifiers & Qt::ControlModifier;
  if (key == Qt::Key_Delete && !ctrl) {
    DeleteSelected();
    return true;
  }
  if (key == Qt::Key_Escape) {
    if (drag_ == DragState::Chain) {
      EndChain();
    } else if (drag_ == DragState::Band || drag_ == DragState::Moving) {
      drag_ = DragState::Idle;
      moving_ = {};
      if (hooks.cursorChanged) hooks.cursorChanged();
      Repaint();
    } else {
      DeselectAll();
    }
    return true;
  }
  if (!ctrl) return false;
  switch (key) {
  case Qt::Key_A:
    SelectAll();
    return true;
  case Qt::Key_Z:
    (modifiers & Qt::ShiftModifier) ? Redo() : Undo();
    return true;
  case Qt::Key_Y:
    Redo();
    return true;
  case Qt::Key_C:
    CopySmiles();
    return true;
  case Qt::Key_V:
    PasteSmiles();
    return true;
  default:
    return false;
  }
}

} // namespace corvatin::shell
