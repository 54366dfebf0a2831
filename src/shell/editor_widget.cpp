#include "shell/editor_widget.h"

#include "shell/editor_palette.h"
#include "shell/periodic_table.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace corvatin::shell {

TGraphEditor::TGraphEditor(TMoleculeDocument& doc, QWidget* parent) : QWidget(parent), controller_(doc) {
  setObjectName("MoleculeEditor");
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true); // the rubber-band line follows the cursor between clicks
  setAttribute(Qt::WA_OpaquePaintEvent);
  runMenu = [this](QMenu& menu, QPoint at) { menu.exec(mapToGlobal(at)); };

  controller_.hooks.repaint = [this] { update(); };
  controller_.hooks.cursorChanged = [this] { setCursor(controller_.Cursor()); };
  controller_.hooks.stateChanged = [this] {
    if (commands_) commands_->Refresh();
  };
  controller_.hooks.contextMenu = [this](QPoint at) { ShowContextMenu(at); };
  controller_.hooks.itemMenu = [this](QPoint at) { ShowItemMenu(at); };
  controller_.hooks.dialogParent = this;

  paletteRows_ = std::max<int>(kPaletteLimit, static_cast<int>(controller_.Palette().size()));
  commands_ = new TCommandActions(BuildCommands(), this);
  for (QAction* action : commands_->Actions())
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addActions(QList<QAction*>(commands_->Actions().begin(), commands_->Actions().end()));
  const char* bondIds[] = {"bondSingle", "bondDouble", "bondTriple", "bondAromatic"};
  for (int kind = 0; kind < 4; ++kind)
    commands_->Action(bondIds[kind])->setIcon(BondIcon(kind));
  RefreshPalette();

  QUndoStack* undo = doc.UndoStack();
  connect(undo, &QUndoStack::canUndoChanged, commands_, &TCommandActions::Refresh);
  connect(undo, &QUndoStack::canRedoChanged, commands_, &TCommandActions::Refresh);
  connect(&doc, &TMoleculeDocument::changed, this, [this] { update(); });
  setCursor(controller_.Cursor());
}

TGraphEditor::~TGraphEditor() {
  // The controller outlives this body: it must not call back into a half-destroyed widget or its listener.
  controller_.hooks = {};
  controller_.SetSelectionListener(nullptr);
}

void TGraphEditor::Customize() {
  std::vector<std::string> palette = controller_.Palette();
  const bool chosen = PeriodicTableForm()->ChoosePalette(palette, kPaletteLimit, this);
  if (chosen) {
    SavePalette(palette);
    controller_.SetPalette(palette);
  }
  RefreshPalette(); // element colours may have changed too
  update();
}

void TGraphEditor::RefreshPalette() {
  const QColor face = palette().color(QPalette::Button);
  const auto& symbols = controller_.Palette();
  for (int i = 0; i < paletteRows_; ++i) {
    QAction* action = commands_->Action(QString("element%1").arg(i));
    if (i < static_cast<int>(symbols.size())) {
      action->setText(QString::fromStdString(symbols[i]));
      action->setIcon(ElementIcon(symbols[i], face));
    } else {
      action->setText(QString());
      action->setIcon(QIcon());
    }
  }
  commands_->Refresh();
}

void TGraphEditor::ShowContextMenu(QPoint at) {
  QMenu menu(this);
  commands_->FillMenu(&menu);
  runMenu(menu, at);
}

void TGraphEditor::ShowItemMenu(QPoint at) {
  QMenu menu(this);
  QAction* remove = menu.addAction("&Delete");
  connect(remove, &QAction::triggered, this, [this] { controller_.DeletePendingItem(); });
  runMenu(menu, at);
}

void TGraphEditor::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TPaintOptions options = controller_.PaintOptions();
  options.focused = hasFocus();
  options.background = palette().color(QPalette::Base);
  options.foreground = palette().color(QPalette::Text);
  p.fillRect(rect(), options.background);
  const Ptr<IMolecule>& graph = controller_.Graph();
  if (!graph) return;
  const TEditorPainter painter(*graph, controller_.Mapping(), options);
  painter.Paint(p, controller_.Selection(), controller_.Moving());
  if (controller_.Drag() == DragState::Chain && controller_.ChainStart() && controller_.ChainStart()->GetPositioned())
    painter.PaintRubberLine(p, controller_.Mapping().ToScreen(*controller_.ChainStart()), controller_.CursorPos());
  if (controller_.Drag() == DragState::Band)
    painter.PaintRubberRect(p, controller_.BandStart(), controller_.CursorPos());
}

void TGraphEditor::resizeEvent(QResizeEvent* event) {
  controller_.Mapping().width = width();
  controller_.Mapping().height = height();
  QWidget::resizeEvent(event);
}

void TGraphEditor::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  controller_.MouseDown(event->position().toPoint(), event->button(), event->modifiers());
}

void TGraphEditor::mouseMoveEvent(QMouseEvent* event) { controller_.MouseMove(event->position().toPoint()); }

void TGraphEditor::mouseReleaseEvent(QMouseEvent* event) {
  controller_.MouseUp(event->position().toPoint(), event->button());
}

void TGraphEditor::keyPressEvent(QKeyEvent* event) {
  if (!controller_.KeyDown(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

void TGraphEditor::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) controller_.ZoomAt(event->position().toPoint(), std::pow(1.25, steps));
  event->accept();
}

void TGraphEditor::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void TGraphEditor::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

} // namespace corvatin::shell
