#include "shell/editor_controller.h"

#include "shell/dialogs.h"
#include "shell/editor_palette.h"

#include "chem/elements.h"

#include <algorithm>

namespace corvatin::shell {

/// Hears the attached molecule's change announcements.
class TEditorController::TListener : public IListener {
public:
  explicit TListener(TEditorController& owner) : owner_(owner) {}
  void Notify(int eventCode, IObject*, const std::any& data) override {
    if (eventCode != geGraphChanged) return;
    const int* kind = std::any_cast<int>(&data);
    owner_.GraphChanged(kind ? *kind : gcCleared);
  }

private:
  TEditorController& owner_;
};

namespace {
TNotifier* NotifierOf(const Ptr<IMolecule>& graph) {
  auto* host = dynamic_cast<INotifierHost*>(graph.get());
  return host ? &host->Notifier() : nullptr;
}
} // namespace

TEditorController::TEditorController(TMoleculeDocument& doc)
    : doc_(doc), graphListener_(std::make_unique<TListener>(*this)), palette_(LoadPalette()) {
  lockConnection_ = QObject::connect(&doc_, &TMoleculeDocument::lockChanged, [this](bool) {
    StateChanged();
    Repaint();
  });
}

TEditorController::~TEditorController() {
  QObject::disconnect(lockConnection_);
  if (TNotifier* n = NotifierOf(graph_)) n->RemoveListener(graphListener_.get());
}

// ------------------------------------------------------------------------------------------ attachment

void TEditorController::Attach(const Ptr<IMolecule>& graph) {
  if (TNotifier* n = NotifierOf(graph_)) n->RemoveListener(graphListener_.get());
  selection_.Clear();
  moving_ = {};
  chainStart_ = nullptr;
  pendingIndex_ = -1;
  drag_ = DragState::Idle;
  graph_ = graph;
  if (TNotifier* n = NotifierOf(graph_)) n->Subscribe(geGraphChanged, graphListener_.get());
  ReportSelection();
  StateChanged();
  Repaint();
}

bool TEditorController::Editable() const {
  return !readOnly_ && graph_ && graph_ == doc_.Molecule() && !doc_.IsLocked();
}

void TEditorController::SetReadOnly(bool flag) {
  readOnly_ = flag;
  if (flag) {
    // A run is about to hold the molecule: no half-drawn chain or drag survives.
    EndChain();
    moving_ = {};
    drag_ = DragState::Idle;
  }
  StateChanged();
  Repaint();
}

void TEditorController::SetHideHydrogens(bool flag) {
  if (hideHydrogens_ == flag) return;
  hideHydrogens_ = flag;
  Repaint();
}

void TEditorController::SetQuickDrawing(bool flag) {
  quick_ = flag;
  Repaint();
}

void TEditorController::GraphChanged(int kind) {
  if (kind >= gcTopology) {
    // Items may be gone: nothing keeps pointers to them. The editor's own edits keep a chain going.
    selection_.Clear();
    moving_ = {};
    pendingIndex_ = -1;
    if (drag_ == DragState::Moving) drag_ = DragState::Idle;
    if (!ownEdit_ || kind >= gcCleared) EndChain();
    ReportSelection(); // the inspector must not go on showing an item that may be gone
  }
  StateChanged();
  Repaint();
}

TPaintOptions TEditorController::PaintOptions() const {
  TPaintOptions o;
  o.quick = quick_;
  o.hideHydrogens = hideHydrogens_;
  return o;
}

QCursor TEditorController::Cursor() const {
  if (MoveRefused()) return Qt::ForbiddenCursor;
  switch (mode_) {
  case EditMode::Drawing:
    return Qt::CrossCursor;
  case EditMode::Selecting:
    return Qt::ArrowCursor;
  case EditMode::Modifying:
    break;
  }
  if (elementTool_ >= 0) return ToolCursor(AtomicNumberOf(CurrentSymbol()), CurrentSymbol(), 0);
  if (bondTool_ != kNoBondTool) return ToolCursor(-1, "", bondTool_);
  return Qt::ArrowCursor;
}

// ------------------------------------------------------------------------------------------ helpers

void TEditorController::Repaint() const {
  if (hooks.repaint) hooks.repaint();
}

void TEditorController::StateChanged() const {
  if (hooks.stateChanged) hooks.stateChanged();
}

void TEditorController::SelectionChangedHere() const {
  ReportSelection();
  Repaint();
}

void TEditorController::ReportSelection() const {
  if (!listener_) return;
  if (selection_.Count() == 1) {
    if (!selection_.Atoms().empty())
      listener_->SelectionChanged(selection_.Atoms().front()->SelfAs<IParameters>(), skAtom);
    else
      listener_->SelectionChanged(selection_.Bonds().front()->SelfAs<IParameters>(), skBond);
    return;
  }
  listener_->SelectionChanged(std::dynamic_pointer_cast<IParameters>(graph_), skGraph);
}

void TEditorController::ClearSelection() {
  if (selection_.Empty()) return;
  selection_.Clear();
  SelectionChangedHere();
}

void TEditorController::EndChain() {
  if (drag_ == DragState::Chain) drag_ = DragState::Idle;
  if (chainStart_) Repaint();
  chainStart_ = nullptr;
}

bool TEditorController::Ask(const QString& caption, const QString& text) const {
  return Dialogs().AskYesNo(hooks.dialogParent, caption, text);
}

bool TEditorController::Apply(const QString& text, const std::function<void(IMolecule&)>& change) {
  if (!Editable()) return false;
  ownEdit_ = true;
  bool done = false;
  try {
    done = doc_.Edit(text, change);
  } catch (const std::exception& e) {
    // The document restored the molecule; the editor's pointers went with the old items.
    ownEdit_ = false;
    EndChain();
    Dialogs().Inform(hooks.dialogParent, text, QString::fromStdString(e.what()), MessageIcon::Error);
    return false;
  }
  ownEdit_ = false;
  return done;
}

IAtom* TEditorController::HitAtomAt(QPoint p) const {
  const TPaintOptions o = PaintOptions();
  return graph_ ? HitAtom(*graph_, map_, p, [&](const IAtom& a) { return Drawable(a, o); }) : nullptr;
}

IBond* TEditorController::HitBondAt(QPoint p) const {
  const TPaintOptions o = PaintOptions();
  return graph_ ? HitBond(*graph_, map_, p, [&](const IAtom& a) { return Drawable(a, o); }) : nullptr;
}

// ------------------------------------------------------------------------------------------ mouse

void TEditorController::MouseDown(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (!graph_) return;
  cursor_ = p;
  if (button == Qt::LeftButton && Editable()) LeftDown(p, modifiers & Qt::ShiftModifier);
  if (button == Qt::RightButton) RightDown(p);
}

void TEditorController::LeftDown(QPoint p, bool shift) {
  if (IAtom* atom = HitAtomAt(p))
    OnAtom(atom, p, shift);
  else if (IBond* bond = HitBondAt(p))
    OnBond(bond, p, shift);
  else
    OnEmpty(p, shift);
}

void TEditorController::OnEmpty(QPoint p, bool shift) {
  if (drag_ == DragState::Chain) {
    ClearSelection();
    if (IAtom* made = AddAtomAt(p, chainStart_)) chainStart_ = made;
    return;
  }
  if (drag_ != DragState::Idle) return;
  if (mode_ == EditMode::Drawing) {
    ClearSelection();
    if (IAtom* made = AddAtomAt(p, nullptr)) {
      chainStart_ = made;
      drag_ = DragState::Chain;
    }
  } else if (mode_ == EditMode::Selecting) {
    if (!shift) ClearSelection();
    bandStart_ = p;
    drag_ = DragState::Band;
  }
}

void TEditorController::OnAtom(IAtom* atom, QPoint p, bool shift) {
  if (drag_ == DragState::Chain) {
    ConnectChain(atom);
    return;
  }
  if (drag_ != DragState::Idle) return;
  switch (mode_) {
  case EditMode::Drawing:
    if (shift) {
      selection_.Toggle(atom);
      SelectionChangedHere();
    } else {
      ClearSelection();
      chainStart_ = atom;
      drag_ = DragState::Chain;
    }
    break;
  case EditMode::Selecting:
    SelectOrMove(atom, p, shift);
    break;
  case EditMode::Modifying:
    if (elementTool_ >= 0 && atom->GetSymbol() != CurrentSymbol()) {
      const std::string symbol = CurrentSymbol();
      Apply("Change element", [&](IMolecule&) { atom->SetSymbol(symbol); });
    }
    break;
  }
}

template <class Item> void TEditorController::SelectOrMove(Item* item, QPoint p, bool shift) {
  // A press on an unselected item selects it (shift adds) and starts moving; shift on a selected one drops it.
  if (!selection_.Contains(item)) {
    if (!shift) selection_.Clear();
    selection_.Add(item);
    SelectionChangedHere();
    BeginMove(p);
  } else if (shift) {
    selection_.Remove(item);
    SelectionChangedHere();
  } else {
    BeginMove(p);
  }
}

void TEditorController::OnBond(IBond* bond, QPoint p, bool shift) {
  if (drag_ != DragState::Idle) return;
  switch (mode_) {
  case EditMode::Drawing:
    if (shift) {
      selection_.Toggle(bond);
      SelectionChangedHere();
    } else {
      ClearSelection();
    }
    break;
  case EditMode::Selecting:
    SelectOrMove(bond, p, shift);
    break;
  case EditMode::Modifying:
    if (bondTool_ != kNoBondTool && bond->GetBondType() != bondTool_) {
      const int kind = bondTool_;
      Apply("Change bond", [&](IMolecule&) { bond->SetBondType(kind); });
    }
    break;
  }
}

void TEditorController::RightDown(QPoint p) {
  IAtom* atom = HitAtomAt(p);
  IBond* bond = atom ? nullptr : HitBondAt(p);
  if (!atom && !bond) {
    if (drag_ == DragState::Idle && hooks.contextMenu)
      hooks.contextMenu(p);
    else if (drag_ == DragState::Chain)
      EndChain();
    return;
  }
  if (drag_ == DragState::Chain) {
    ClearSelection();
    EndChain();
    return;
  }
  if (drag_ != DragState::Idle) return;
  if (!Editable()) {
    if (hooks.contextMenu) hooks.contextMenu(p);
    return;
  }
  if (atom ? !selection_.Contains(atom) : !selection_.Contains(bond)) ClearSelection();
  pendingIndex_ = atom ? atom->GetIndex() : bond->GetIndex();
  pendingKind_ = atom ? skAtom : skBond;
  if (hooks.itemMenu) hooks.itemMenu(p);
}

void TEditorController::MouseMove(QPoint p) {
  cursor_ = p;
  switch (drag_) {
  case DragState::Chain:
  case DragState::Band:
    Repaint();
    break;
  case DragState::Moving:
    if (moveAllowed_) {
      moving_.delta = p - moveStart_;
      Repaint();
    }
    break;
  case DragState::Idle:
    break;
  }
}

void TEditorController::MouseUp(QPoint p, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  cursor_ = p;
  if (drag_ == DragState::Band) FinishBand(p);
  if (drag_ == DragState::Moving) FinishMove();
}

void TEditorController::FinishBand(QPoint p) {
  drag_ = DragState::Idle;
  const QRect band = QRect(bandStart_, p).normalized();
  auto inside = [&](const IAtom* a) { return a->GetPositioned() && band.contains(map_.ToScreen(*a)); };
  for (int i = 0; i < graph_->VertexCount(); ++i)
    if (inside(graph_->GetAtom(i))) selection_.Add(graph_->GetAtom(i));
  for (int i = 0; i < graph_->EdgeCount(); ++i) {
    IBond* b = graph_->GetBond(i);
    if (inside(b->GetAtom1()) && inside(b->GetAtom2())) selection_.Add(b);
  }
  SelectionChangedHere();
}

void TEditorController::BeginMove(QPoint p) {
  // The selected atoms and the ends of the selected bonds travel together.
  moving_ = {};
  for (IAtom* a : selection_.Atoms())
    moving_.atoms.push_back(a);
  for (IBond* b : selection_.Bonds())
    for (IAtom* a : {b->GetAtom1(), b->GetAtom2()})
      if (!moving_.Contains(a)) moving_.atoms.push_back(a);
  moveAllowed_ =
      !(lock3D_ && std::any_of(moving_.atoms.begin(), moving_.atoms.end(), [](const IAtom* a) { return a->Has3D(); }));
  if (!moveAllowed_) moving_ = {};
  moveStart_ = p;
  drag_ = DragState::Moving;
  if (hooks.cursorChanged) hooks.cursorChanged();
}

void TEditorController::FinishMove() {
  const TMovingSet moved = moving_;
  const bool allowed = moveAllowed_;
  drag_ = DragState::Idle;
  moving_ = {};
  if (hooks.cursorChanged) hooks.cursorChanged();
  const double s = map_.Scale();
  if (allowed && !moved.atoms.empty() && moved.delta != QPoint() && s > 0) {
    const double dx = moved.delta.x() / s, dy = moved.delta.y() / s;
    Apply("Move", [&](IMolecule&) {
      for (const IAtom* a : moved.atoms) {
        auto* atom = const_cast<IAtom*>(a); // the set only draws; the move itself goes through the document
        atom->SetX(atom->GetX() + dx);
        atom->SetY(atom->GetY() + dy);
      }
    });
  }
  Repaint();
}

IAtom* TEditorController::AddAtomAt(QPoint p, IAtom* bondFrom) {
  IAtom* made = nullptr;
  const QPointF at = map_.ToModel(p);
  const std::string symbol = NewAtomSymbol();
  const int kind = bondTool_ == kNoBondTool ? bkSingle : bondTool_;
  const bool done = Apply(bondFrom ? "Add bond" : "Add atom", [&](IMolecule& m) {
    made = m.AddAtom();
    made->SetSymbol(symbol);
    made->SetX(at.x());
    made->SetY(at.y());
    if (bondFrom)
      if (IBond* b = m.ConnectAtoms(bondFrom, made); b && kind != bkSingle) b->SetBondType(kind);
  });
  return done ? made : nullptr; // after a failed step the document holds new items: made is gone
}

void TEditorController::ConnectChain(IAtom* target) {
  IAtom* start = chainStart_;
  if (!start || start == target) return;
  if (IBond* existing = start->GetBondTo(target)) {
    // Drawing again over a bond raises single to double to triple; any other tool leaves it alone.
    const int kind = existing->GetBondType();
    const bool raise = (bondTool_ == kNoBondTool || bondTool_ == bkSingle) && (kind == bkSingle || kind == bkDouble);
    if (raise && Apply("Change bond", [&](IMolecule&) { existing->SetBondType(kind + 1); })) chainStart_ = target;
    return;
  }
  const int kind = bondTool_ == kNoBondTool ? bkSingle : bondTool_;
  if (Apply("Add bond", [&](IMolecule& m) {
        if (IBond* b = m.ConnectAtoms(start, target); b && kind != bkSingle) b->SetBondType(kind);
      }))
    chainStart_ = target;
}

} // namespace corvatin::shell
