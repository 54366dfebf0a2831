#include "shell/editor_painter.h"

#include "chem/elements.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvatin::shell {

namespace {
template <class T> bool In(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}
template <class T> void Erase(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
Color FromQColor(const QColor& c) { return MakeColor(c.red(), c.green(), c.blue()); }

const QColor kBondColor(0, 0, 255);
const QColor kMovingColor(0, 128, 0);
// Distance of the outer lines of double, triple and aromatic bonds from the bond's axis, in pixels.
constexpr double kDoubleOffset = 1.5;
constexpr double kTripleOffset = 3.0;
} // namespace

bool TEditorSelection::Contains(const IAtom* a) const { return In(atoms_, a); }
bool TEditorSelection::Contains(const IBond* b) const { return In(bonds_, b); }
void TEditorSelection::Add(IAtom* a) {
  if (!Contains(a)) atoms_.push_back(a);
}
void TEditorSelection::Add(IBond* b) {
  if (!Contains(b)) bonds_.push_back(b);
}
void TEditorSelection::Remove(const IAtom* a) { Erase(atoms_, a); }
void TEditorSelection::Remove(const IBond* b) { Erase(bonds_, b); }
void TEditorSelection::Toggle(IAtom* a) { Contains(a) ? Remove(a) : Add(a); }
void TEditorSelection::Toggle(IBond* b) { Contains(b) ? Remove(b) : Add(b); }
void TEditorSelection::Clear() {
  atoms_.clear();
  bonds_.clear();
}

bool TMovingSet::Contains(const IAtom* a) const { return std::find(atoms.begin(), atoms.end(), a) != atoms.end(); }

bool Drawable(const IAtom& atom, const TPaintOptions& options) {
  return !(options.hideHydrogens && atom.GetSymbol() == "H");
}

TEditorPainter::TEditorPainter(const IMolecule& molecule, const TScreenMapping& map, const TPaintOptions& options)
    : molecule_(molecule), map_(map), options_(options) {}

QColor TEditorPainter::SelectionColor() const { return options_.focused ? QColor(255, 255, 0) : QColor(220, 220, 0); }

QPoint TEditorPainter::At(const IAtom& a, const TMovingSet& moving) const {
  const QPoint p = map_.ToScreen(a);
  return moving.Contains(&a) ? p + moving.delta : p;
}

void TEditorPainter::Paint(QPainter& p, const TEditorSelection& selection, const TMovingSet& moving) const {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, !options_.quick);
  auto usable = [&](const IAtom* a) { return a->GetPositioned() && Drawable(*a, options_); };
  for (int i = 0; i < molecule_.EdgeCount(); ++i) {
    const IBond* b = molecule_.GetBond(i);
    const IAtom* a1 = b->GetAtom1();
    const IAtom* a2 = b->GetAtom2();
    if (!usable(a1) || !usable(a2)) continue;
    const QColor color = moving.Contains(a1) || moving.Contains(a2) ? kMovingColor
                         : selection.Contains(b)                    ? SelectionColor()
                                                                    : kBondColor;
    PaintBond(p, *b, color, At(*a1, moving), At(*a2, moving));
  }
  if (!options_.quick) {
    for (int i = 0; i < molecule_.VertexCount(); ++i) {
      const IAtom* a = molecule_.GetAtom(i);
      if (!usable(a)) continue;
      const int r = std::max(1, map_.Radius(a->GetDisplayRadius()));
      const QPoint c = At(*a, moving);
      if (moving.Contains(a)) {
        p.setPen(QPen(kMovingColor, 2));
        p.setBrush(Qt::NoBrush);
      } else {
        const QColor fill = selection.Contains(a)
                                ? SelectionColor()
                                : ToQColor(ContrastElementColor(a->GetAtomicNumber(), FromQColor(options_.background)));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
      }
      p.drawEllipse(c, r, r);
    }
  }
  p.restore();
}

void TEditorPainter::PaintBond(QPainter& p, const IBond& b, const QColor& color, QPoint a, QPoint c) const {
  p.setPen(QPen(color, 1));
  const QLineF axis(a, c);
  if (options_.quick || axis.length() < 1) {
    p.drawLine(axis);
    return;
  }
  // The outer lines lie beside the axis whatever its direction, so that a horizontal or vertical double bond
  // still shows two lines.
  const QPointF normal(-axis.dy() / axis.length(), axis.dx() / axis.length());
  auto shifted = [&](double d) { return axis.translated(normal * d); };
  switch (b.GetBondType()) {
  case bkDouble:
    p.drawLine(shifted(-kDoubleOffset));
    p.drawLine(shifted(kDoubleOffset));
    break;
  case bkTriple:
    p.drawLine(axis);
    p.drawLine(shifted(-kTripleOffset));
    p.drawLine(shifted(kTripleOffset));
    break;
  case bkAromatic: {
    p.drawLine(shifted(-kDoubleOffset));
    QPen dotted(color, 1, Qt::DotLine);
    p.setPen(dotted);
    p.drawLine(shifted(kDoubleOffset));
    break;
  }
  default:
    p.drawLine(axis);
    break;
  }
}

void TEditorPainter::PaintRubberLine(QPainter& p, QPoint from, QPoint to) const {
  p.save();
  p.setPen(QPen(options_.foreground, 1));
  p.drawLine(from, to);
  p.restore();
}

void TEditorPainter::PaintRubberRect(QPainter& p, QPoint corner1, QPoint corner2) const {
  p.save();
  p.setPen(QPen(options_.foreground, 1, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(corner1, corner2).normalized());
  p.restore();
}

} // namespace corvatin::shell
