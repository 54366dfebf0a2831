// Painting of the 3D viewer's scene, far to near, onto any QPainter.
#include "shell/viewer3d_scene.h"

#include "core/rounding.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvatin::shell {

namespace {

const QColor kBondColour(0, 0, 255);
const QColor kSelectionColour(255, 255, 0);

int Sign(double v) { return (v > 0) - (v < 0); }

/// One bond line in the bond style: a double, triple or aromatic bond in the bond-types style as parallel lines
/// one or two pixels apart (the aromatic one's second line dotted), otherwise one line.
void PaintBondLine(QPainter& painter, QPointF a, QPointF b, int kind, BondStyle style, const QPen& pen) {
  painter.setPen(pen);
  if (style != BondStyle::BondTypes || kind < bkDouble || kind > bkAromatic) {
    painter.drawLine(a, b);
    return;
  }
  const int s = Sign(b.x() - a.x()) * Sign(b.y() - a.y());
  auto offset = [&](double dx, double dy, bool dotted) {
    QPen p = pen;
    if (dotted) p.setStyle(Qt::DotLine);
    painter.setPen(p);
    painter.drawLine(a + QPointF(dx, dy), b + QPointF(dx, dy));
  };
  if (kind == bkDouble) {
    offset(-1, s, false);
    offset(1, -s, false);
  } else if (kind == bkTriple) {
    offset(0, 0, false);
    offset(-2, 2 * s, false);
    offset(2, -2 * s, false);
  } else {
    offset(-1, s, false);
    offset(1, -s, true);
  }
}

/// The bond's number written in yellow, centred on the middle of a-b.
void PaintBondNumber(QPainter& painter, QPointF a, QPointF b, int number) {
  const QString text = QString::number(number);
  const QFontMetrics fm(painter.font());
  const QPointF mid = (a + b) / 2.0;
  painter.setPen(kSelectionColour);
  painter.drawText(QPointF(mid.x() - fm.horizontalAdvance(text) / 2.0, mid.y() + fm.ascent() / 2.0), text);
}

} // namespace

QColor TViewer3DScene::BondColour(const TAtomLink& link) const {
  if (colourMode_ == ColourMode::BondContributions && !contributions_.Empty()) {
    const double v = contributions_.Value(column_, link.number - 1);
    if (std::isnan(v)) return QColor(90, 90, 90); // a bond the matrix leaves out (a hydrogen's)
    return DivergingColour(v, contributions_.Column(column_).limit);
  }
  return kBondColour;
}

void TViewer3DScene::Paint(QPainter& painter, QSize size) {
  painter.save();
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
  EnsureProjected(size);
  if (!Quick()) painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  for (const TAtomRecord* r : order_) {
    if (!Quick()) PaintAtom(painter, *r);
    PaintBonds(painter, *r);
  }
  if (colourMode_ == ColourMode::BondContributions && !contributions_.Empty() && !order_.empty())
    PaintLegend(painter, size);
  painter.restore();
}

void TViewer3DScene::PaintAtom(QPainter& painter, const TAtomRecord& r) {
  if (drawStyle_ == DrawStyle::BallAndSticks) {
    if (atomStyle_ == AtomStyle::Balls) {
      const int side = std::max(1, 2 * r.sr);
      painter.drawImage(QRect(r.sx - side / 2, r.sy - side / 2, side, side), balls_.Ball(r.atomicNumber, r.colour));
    } else {
      const QFontMetrics fm(painter.font());
      const QString text = QString::fromStdString(r.symbol);
      const int top = r.sy - (fm.height() / 2 + 2) - 1;
      painter.setPen(r.colour);
      painter.drawText(QPointF(r.sx - fm.horizontalAdvance(text) / 2.0, top + fm.ascent()), text);
    }
  }
  if (selected_.atom == r.atom) {
    painter.setPen(QPen(kSelectionColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(r.sx, r.sy), r.sr + 3, r.sr + 3);
  }
}

void TViewer3DScene::PaintBonds(QPainter& painter, const TAtomRecord& r) {
  const bool quick = Quick();
  const bool contributions = colourMode_ == ColourMode::BondContributions && !contributions_.Empty();
  const BondStyle bondStyle = quick ? BondStyle::Sticks : bondStyle_;
  const DrawStyle drawStyle = quick ? DrawStyle::Sticks : drawStyle_;
  // Coloured bonds are the picture's message: they get a wider pen.
  const int width = contributions ? 4 : (bondStyle == BondStyle::BondTypes || quick ? 1 : 2);
  for (const TAtomLink& link : r.links) {
    const TAtomRecord& o = *link.other;
    if (o.position <= r.position) continue; // each bond once, from its farther atom
    const bool selected = selected_.bond && selected_.bond == link.bond;
    const QColor colour = selected ? kSelectionColour : BondColour(link);
    const QPointF centreA(r.sx, r.sy), centreB(o.sx, o.sy);
    QPointF a = centreA, b = centreB;
    if (quick) {
      painter.setPen(QPen(colour, width));
      painter.drawLine(a, b);
      continue;
    }
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (drawStyle == DrawStyle::Sticks) {
      if (!selected && !contributions && r.colour != o.colour) {
        const QPointF mid = (a + b) / 2.0;
        PaintBondLine(painter, a, mid, link.kind, bondStyle, QPen(r.colour, width));
        PaintBondLine(painter, mid, b, link.kind, bondStyle, QPen(o.colour, width));
        if (bondStyle == BondStyle::BondNumber) PaintBondNumber(painter, a, b, link.number);
        continue;
      }
    } else if (atomStyle_ == AtomStyle::Symbols) {
      if (length < 16) continue;
      const QPointF u = d / length;
      a += u * 8.0;
      b -= u * 8.0;
    } else {
      if (length <= r.sr + o.sr) continue; // the balls overlap on screen: the nearer one hides the bond
      // The bond leaves the farther ball towards the viewer, so its visible start lies inside that ball's
      // outline, by the sine of the angle between bond and line of sight; it enters the nearer ball at its
      // outline, which the ball painted next covers anyway.
      const double dz = (o.depth - r.depth) * Scale(projectedSize_) * zoom_;
      const double sine = length / std::hypot(length, dz);
      const QPointF u = d / length;
      a += u * (r.sr * sine);
      b -= u * static_cast<double>(o.sr);
    }
    PaintBondLine(painter, a, b, link.kind, bondStyle, QPen(colour, width));
    if (bondStyle == BondStyle::BondNumber) PaintBondNumber(painter, centreA, centreB, link.number);
  }
}

void TViewer3DScene::PaintLegend(QPainter& painter, QSize size) {
  const TContributionColumn& column = contributions_.Column(column_);
  const QFontMetrics fm(painter.font());
  const int barWidth = 14;
  const int barHeight = std::max(40, size.height() / 3);
  const int right = size.width() - 10;
  const int top = 10 + fm.height() + fm.height() / 2 + 6;
  const QRect bar(right - barWidth, top, barWidth, barHeight);
  QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
  for (int i = 0; i <= 10; ++i)
    gradient.setColorAt(i / 10.0, DivergingColour(column.limit * (1.0 - i / 5.0), column.limit));
  painter.setPen(Qt::NoPen);
  painter.fillRect(bar, gradient);
  painter.setPen(QColor(200, 200, 200));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 10, right, fm.height()), Qt::AlignRight | Qt::AlignVCenter, column.label);
  auto label = [&](double value, int y) {
    const QString text = QString::number(value, 'g', 4);
    painter.drawText(QRect(0, y - fm.height() / 2, bar.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                     text);
  };
  label(column.limit, bar.top());
  label(0.0, bar.center().y());
  label(-column.limit, bar.bottom());
}

} // namespace corvatin::shell
