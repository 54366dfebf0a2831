#pragma once
// The "Molecule 3D Viewer" view: a small widget around the viewer's scene that turns the molecule with the mouse,
// picks atoms and bonds, zooms with the wheel and offers its commands (styles, colours, picture export).

#include "shell/commands.h"
#include "shell/graph_viewer.h"
#include "shell/viewer3d_scene.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

namespace corvatin::shell {

/// The 3D viewer. Reads the molecule it is given (GUI thread only); changes it only through "&Clear".
class TGraph3DViewer : public QWidget, public IGraphViewer {
  Q_OBJECT
public:
  explicit TGraph3DViewer(QWidget* parent = nullptr);
  ~TGraph3DViewer() override;

  Ptr<IMolecule> GetGraph() const override { return graph_; }
  void SetGraph(const Ptr<IMolecule>& graph) override;
  bool GetReadOnly() const override { return readOnly_; }
  void SetReadOnly(bool flag) override;
  bool GetQuickDrawing() const override { return scene_.QuickDrawing(); }
  void SetQuickDrawing(bool flag) override;
  void Refresh() override;
  void SetSelectionListener(ISelectionListener* listener) override { listener_ = listener; }
  QWidget* Widget() override { return this; }
  TCommandActions* Commands() override { return commands_; }

  /// The scene (styles, view matrix, draw list), for the commands and for tests.
  TViewer3DScene& Scene() { return scene_; }
  /// What "&Clear" runs once confirmed; by default Clear on the graph. The main window routes it through its
  /// document, so that clearing can be undone.
  void SetClearHandler(std::function<void()> handler) { clearHandler_ = std::move(handler); }
  /// The picture as the window shows it.
  QImage Picture();
  /// Writes the picture as PNG or (by the .svg extension) SVG; false when the file cannot be written.
  bool ExportPicture(const QString& fileName);

  /// Structures with more drawn atoms than this are drawn quickly while they are being turned.
  static constexpr int kQuickTurnAtoms = 300;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  class TObserver;
  CommandTable BuildCommands();
  void GraphChanged(int kind);
  void ReportSelection();
  void Clear();
  void Export(bool svg);
  void Changed();

  TViewer3DScene scene_;
  Ptr<IMolecule> graph_;
  std::unique_ptr<TObserver> observer_;
  TCommandActions* commands_ = nullptr;
  ISelectionListener* listener_ = nullptr;
  std::function<void()> clearHandler_;
  bool readOnly_ = false;
  bool dragging_ = false;
  QPoint last_;
};

} // namespace corvatin::shell
