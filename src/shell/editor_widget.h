#pragma once
// The molecule editor as a view of the main window: a small widget that feeds mouse and key events to the
// editor's state machine, paints through the editor painter and offers the editor's command table.

#include "shell/commands.h"
#include "shell/editor_controller.h"
#include "shell/graph_viewer.h"

#include <QWidget>

#include <functional>

class QMenu;

namespace corvatin::shell {

/// The "Molecule Editor" view over the molecule of a document.
class TGraphEditor : public QWidget, public IGraphViewer {
  Q_OBJECT
public:
  explicit TGraphEditor(TMoleculeDocument& doc, QWidget* parent = nullptr);
  ~TGraphEditor() override;

  // IGraphViewer
  Ptr<IMolecule> GetGraph() const override { return controller_.Graph(); }
  void SetGraph(const Ptr<IMolecule>& graph) override { controller_.Attach(graph); }
  bool GetReadOnly() const override { return controller_.ReadOnly(); }
  void SetReadOnly(bool flag) override { controller_.SetReadOnly(flag); }
  bool GetQuickDrawing() const override { return controller_.QuickDrawing(); }
  void SetQuickDrawing(bool flag) override { controller_.SetQuickDrawing(flag); }
  void Refresh() override { update(); }
  void SetSelectionListener(ISelectionListener* listener) override { controller_.SetSelectionListener(listener); }
  QWidget* Widget() override { return this; }
  TCommandActions* Commands() override { return commands_; }

  TEditorController& Controller() { return controller_; }
  const TEditorController& Controller() const { return controller_; }
  /// Opens the periodic table on the palette (at most 15 symbols); a confirmed choice is stored under "Tools".
  void Customize();
  /// Shows a popup menu at a client position; tests replace it to pick an entry without a blocking menu.
  std::function<void(QMenu& menu, QPoint at)> runMenu;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  CommandTable BuildCommands();
  /// Captions and images of the palette rows from the current palette.
  void RefreshPalette();
  void ShowContextMenu(QPoint at);
  void ShowItemMenu(QPoint at);

  TEditorController controller_;
  TCommandActions* commands_ = nullptr;
  int paletteRows_ = 0;
};

} // namespace corvatin::shell
