#pragma once
// A read-only view that draws the document's molecule in 2D: stands in for a view that is not built yet.

#include "shell/commands.h"
#include "shell/graph_viewer.h"

#include <QWidget>

namespace corvatin::shell {

class TMoleculeDocument;

class TPlaceholderView : public QWidget, public IGraphViewer {
  Q_OBJECT
public:
  TPlaceholderView(TMoleculeDocument& doc, const QString& name, QWidget* parent);

  Ptr<IMolecule> GetGraph() const override { return graph_; }
  void SetGraph(const Ptr<IMolecule>& graph) override;
  bool GetReadOnly() const override { return readOnly_; }
  void SetReadOnly(bool flag) override { readOnly_ = flag; }
  bool GetQuickDrawing() const override { return quick_; }
  void SetQuickDrawing(bool flag) override { quick_ = flag; }
  void Refresh() override { update(); }
  void SetSelectionListener(ISelectionListener* listener) override { listener_ = listener; }
  QWidget* Widget() override { return this; }
  TCommandActions* Commands() override { return commands_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  Ptr<IMolecule> graph_;
  bool readOnly_ = true;
  bool quick_ = false;
  ISelectionListener* listener_ = nullptr;
  TCommandActions* commands_;
};

} // namespace corvatin::shell
