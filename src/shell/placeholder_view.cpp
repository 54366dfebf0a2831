#include "shell/placeholder_view.h"

#include "shell/molecule_document.h"
#include "shell/structure_painter.h"

#include <QPainter>

namespace corvatin::shell {

TPlaceholderView::TPlaceholderView(TMoleculeDocument& doc, const QString& name, QWidget* parent)
    : QWidget(parent), commands_(new TCommandActions({}, this)) {
  setObjectName(name);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  connect(&doc, &TMoleculeDocument::changed, this, [this] { update(); });
}

void TPlaceholderView::SetGraph(const Ptr<IMolecule>& graph) {
  graph_ = graph;
  update();
}

void TPlaceholderView::paintEvent(QPaintEvent*) {
  if (!graph_) return;
  QPainter painter(this);
  PaintStructure(painter, *graph_, rect());
}

void TPlaceholderView::mousePressEvent(QMouseEvent*) {
  // Without hit testing a click selects the molecule as a whole.
  if (listener_ && graph_) listener_->SelectionChanged(graph_->SelfAs<IParameters>(), skGraph);
}

} // namespace corvatin::shell
