#include "shell/editor_mapping.h"

#include "core/rounding.h"

#include <algorithm>
#include <cmath>

namespace corvatin::shell {

namespace {
// Far-out coordinates still give integers a painter can take.
int ToPixel(double v) { return static_cast<int>(RoundHalfEven(std::clamp(v, -1e6, 1e6))); }

bool Usable(const IAtom& a, const AtomFilter& drawable) { return a.GetPositioned() && (!drawable || drawable(a)); }
} // namespace

double TScreenMapping::Scale() const { return std::min(width, height) * zoom; }

QPoint TScreenMapping::ToScreen(double x, double y) const {
  const double s = Scale();
  return {ToPixel(x * s + width / 2.0 + pan.x()), ToPixel(y * s + height / 2.0 + pan.y())};
}

QPointF TScreenMapping::ToModel(const QPointF& p) const {
  const double s = Scale();
  if (s <= 0) return {};
  return {(p.x() - width / 2.0 - pan.x()) / s, (p.y() - height / 2.0 - pan.y()) / s};
}

int TScreenMapping::Radius(double r) const { return ToPixel(r * Scale()); }

double SegmentDistance(QPoint p, QPoint a, QPoint b) {
  double px = p.x(), py = p.y(), x1 = a.x(), y1 = a.y(), x2 = b.x(), y2 = b.y();
  if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
    std::swap(px, py);
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  if (x1 == x2) return -1; // both ends on one pixel: the slope is undefined
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (px < x1) return std::abs(x1 - px) + std::abs(y1 - py);
  if (px > x2) return std::abs(x2 - px) + std::abs(y2 - py);
  const double m = (y2 - y1) / (x2 - x1);
  return std::abs(px * m + (y1 - x1 * m) - py);
}

IAtom* HitAtom(const IMolecule& m, const TScreenMapping& map, QPoint p, const AtomFilter& drawable) {
  IVertex* hit = m.FindVertex([&](IVertex* v, bool& cont) {
    const IAtom* a = AsAtom(v);
    if (!a || !Usable(*a, drawable)) return;
    const QPoint c = map.ToScreen(*v);
    const int reach = std::max(map.Radius(a->GetDisplayRadius()), kHitTolerance);
    if (std::abs(p.x() - c.x()) <= reach && std::abs(p.y() - c.y()) <= reach) cont = false;
  });
  return AsAtom(hit);
}

IBond* HitBond(const IMolecule& m, const TScreenMapping& map, QPoint p, const AtomFilter& drawable) {
  IEdge* hit = m.FindEdge([&](IEdge* e, bool& cont) {
    const IBond* b = AsBond(e);
    if (!b || !Usable(*b->GetAtom1(), drawable) || !Usable(*b->GetAtom2(), drawable)) return;
    const double d = SegmentDistance(p, map.ToScreen(*b->GetAtom1()), map.ToScreen(*b->GetAtom2()));
    if (d >= 0 && d <= kHitTolerance) cont = false;
  });
  return AsBond(hit);
}

QRectF ModelBounds(const IMolecule& m, const AtomFilter& drawable) {
  bool any = false;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    if (!Usable(*a, drawable)) continue;
    const double r = a->GetDisplayRadius();
    if (!any) {
      x0 = a->GetX() - r, x1 = a->GetX() + r, y0 = a->GetY() - r, y1 = a->GetY() + r;
      any = true;
    }
    x0 = std::min(x0, a->GetX() - r), x1 = std::max(x1, a->GetX() + r);
    y0 = std::min(y0, a->GetY() - r), y1 = std::max(y1, a->GetY() + r);
  }
  return any ? QRectF(QPointF(x0, y0), QPointF(x1, y1)) : QRectF();
}

void FitMapping(TScreenMapping& map, const QRectF& bounds) {
  const double base = std::min(map.width, map.height);
  if (bounds.isNull() || base <= 0) {
    map.zoom = 1.0;
    map.pan = {};
    return;
  }
  const double margin = 0.1; // of each side
  const double w = std::max(bounds.width(), 1e-6) * base, h = std::max(bounds.height(), 1e-6) * base;
  map.zoom = std::clamp(std::min(map.width * (1 - 2 * margin) / w, map.height * (1 - 2 * margin) / h), 0.02, 50.0);
  const double s = map.Scale();
  map.pan = {-bounds.center().x() * s, -bounds.center().y() * s};
}

} // namespace corvatin::shell
