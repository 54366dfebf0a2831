#pragma once
// Where the molecule editor puts a vertex on screen and what a mouse position hits. Pure geometry over the
// molecule and a client-area size, so the rules are tested without a window.

#include "chem/molecule.h"

#include <QPoint>
#include <QPointF>
#include <QRect>

#include <functional>

namespace corvatin::shell {

/// Pixels within which a click still hits an atom (at least) or a bond.
inline constexpr int kHitTolerance = 6;

/// The mapping between a vertex's view coordinates and the pixels of a client area of width W and height H:
/// scale S = min(W, H) times the zoom, origin at the centre shifted by the pan. Zoom 1 and no pan is the
/// editor's own mapping; the user's zoom and fit-to-view only change those two.
struct TScreenMapping {
  int width = 0;
  int height = 0;
  double zoom = 1.0;
  QPointF pan; ///< pixels

  double Scale() const;
  /// (round(x S + W/2 + pan x), round(y S + H/2 + pan y)), halves to even, clamped to a range paint code can use.
  QPoint ToScreen(double x, double y) const;
  QPoint ToScreen(const IVertex& v) const { return ToScreen(v.GetX(), v.GetY()); }
  /// The inverse, for atoms placed or moved with the mouse.
  QPointF ToModel(const QPointF& p) const;
  /// round(r S): an atom's on-screen radius from its display radius.
  int Radius(double r) const;
};

/// Which items take part in drawing and hit testing (positioned atoms are the only ones ever considered).
using AtomFilter = std::function<bool(const IAtom&)>;

/// The editor's distance of p from the segment a-b: for segments steeper than 45 degrees x and y swap roles;
/// beyond an end it is the city-block distance to that end, between the ends the vertical deviation from the
/// line. Negative when the ends coincide (such a bond is never hit).
double SegmentDistance(QPoint p, QPoint a, QPoint b);

/// The first atom in index order within max(screen radius, kHitTolerance) of p in both x and y; none otherwise.
IAtom* HitAtom(const IMolecule& m, const TScreenMapping& map, QPoint p, const AtomFilter& drawable);
/// The first bond in index order, both ends drawable, whose segment is within kHitTolerance of p.
IBond* HitBond(const IMolecule& m, const TScreenMapping& map, QPoint p, const AtomFilter& drawable);

/// The smallest rectangle holding the screen points of the drawable atoms; null when there are none.
QRectF ModelBounds(const IMolecule& m, const AtomFilter& drawable);

/// Zoom and pan that show bounds (view coordinates) centred with a margin in the mapping's client area.
void FitMapping(TScreenMapping& map, const QRectF& bounds);

} // namespace corvatin::shell
