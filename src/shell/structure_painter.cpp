#include "shell/structure_painter.h"

#include "chem/elements.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvatin::shell {

namespace {
// The model's x and y (upwards on screen) when every atom has them, else the view coordinates.
QPointF ModelPoint(const IAtom& atom, bool positioned) {
  if (positioned) return {atom.GetX(), atom.GetY()};
  return {atom.GetX3D(), -atom.GetY3D()};
}
} // namespace

void PaintStructure(QPainter& painter, const IMolecule& molecule, const QRectF& area) {
  const int n = molecule.VertexCount();
  if (n == 0) return;
  bool model3D = true;
  for (int i = 0; i < n && model3D; ++i)
    model3D = molecule.GetAtom(i)->Has3D();
  const bool positioned = !model3D;
  std::vector<QPointF> model(static_cast<size_t>(n));
  double left = 0, top = 0, right = 0, bottom = 0;
  for (int i = 0; i < n; ++i) {
    const QPointF p = ModelPoint(*molecule.GetAtom(i), positioned);
    model[static_cast<size_t>(i)] = p;
    left = i == 0 ? p.x() : std::min(left, p.x());
    right = i == 0 ? p.x() : std::max(right, p.x());
    top = i == 0 ? p.y() : std::min(top, p.y());
    bottom = i == 0 ? p.y() : std::max(bottom, p.y());
  }
  const QRectF box(QPointF(left, top), QPointF(right, bottom));
  const double margin = 24;
  const double w = std::max(box.width(), 1e-6), h = std::max(box.height(), 1e-6);
  // View coordinates are already fitted to the view; model coordinates in angstrom get at most 40 pixels per
  // unit (a bond is about 1.5) so that small molecules are not blown up.
  const double fit = std::min((area.width() - 2 * margin) / w, (area.height() - 2 * margin) / h);
  const double scale = positioned ? fit : std::min(fit, 40.0);
  const QPointF offset = area.center() - QPointF(box.center().x() * scale, box.center().y() * scale);
  std::vector<QPointF> screen(model.size());
  for (size_t i = 0; i < model.size(); ++i)
    screen[i] = model[i] * scale + offset;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const auto shown = [&](const IAtom& a) { return a.GetAtomicNumber() != 6 || n == 1; };
  QPen bondPen(Qt::black, 1.5);
  for (int b = 0; b < molecule.EdgeCount(); ++b) {
    const IBond* bond = molecule.GetBond(b);
    const int i1 = bond->GetAtom1()->GetIndex(), i2 = bond->GetAtom2()->GetIndex();
    QPointF p1 = screen[static_cast<size_t>(i1)], p2 = screen[static_cast<size_t>(i2)];
    const QPointF d = p2 - p1;
    const double len = std::hypot(d.x(), d.y());
    if (len < 1e-9) continue;
    const QPointF normal(-d.y() / len * 3.0, d.x() / len * 3.0);
    const int kind = bond->GetBondType();
    painter.setPen(bondPen);
    if (kind == 1 || kind == 3) {
      painter.drawLine(p1 + normal * 0.5, p2 + normal * 0.5);
      if (kind == 3) painter.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
      painter.drawLine(p1 - normal * 0.5, p2 - normal * 0.5);
    } else if (kind == 2) {
      painter.drawLine(p1, p2);
      painter.drawLine(p1 + normal, p2 + normal);
      painter.drawLine(p1 - normal, p2 - normal);
    } else {
      painter.drawLine(p1, p2);
    }
  }
  {
    const QFontMetricsF metrics(painter.font());
    for (int i = 0; i < n; ++i) {
      const IAtom& atom = *molecule.GetAtom(i);
      if (!shown(atom)) continue;
      const QString symbol = QString::fromStdString(atom.GetSymbol());
      QRectF text = metrics.boundingRect(symbol);
      text.moveCenter(screen[static_cast<size_t>(i)]);
      painter.fillRect(text.adjusted(-2, 0, 2, 0), Qt::white);
      const Color c = ContrastElementColor(atom.GetAtomicNumber(), MakeColor(255, 255, 255));
      painter.setPen(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
      painter.drawText(text, Qt::AlignCenter, symbol);
    }
  }
  painter.restore();
}

} // namespace corvatin::shell
