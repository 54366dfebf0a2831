#pragma once
// What the 3D viewer shows, apart from any widget: the draw list of a molecule, its projection through the view
// matrix with perspective, depth order, picking, turning, and the painting onto any QPainter (a window, an image,
// an SVG file).

#include "chem/molecule.h"
#include "graph/math3d.h"
#include "shell/viewer3d_colours.h"

#include <QColor>
#include <QPoint>
#include <QSize>

#include <string>
#include <vector>

class QPainter;

namespace corvatin::shell {

/// How atoms and bonds are drawn as a whole: balls joined by sticks, or sticks alone.
enum class DrawStyle : int { BallAndSticks = 0, Sticks = 1 };
/// How atoms are drawn in the ball-and-sticks style: shaded balls or element symbols.
enum class AtomStyle : int { Balls = 0, Symbols = 1 };
/// How bonds are drawn: plain sticks, with their kind (double, triple, aromatic), or with their number.
enum class BondStyle : int { Sticks = 0, BondTypes = 1, BondNumber = 2 };
/// What colours the bonds: the atoms' elements, or a column of the molecule's bond contributions.
enum class ColourMode : int { Elements = 0, BondContributions = 1 };

struct TAtomRecord;

/// A bond from a drawn atom to another drawn atom.
struct TAtomLink {
  TAtomRecord* other = nullptr;
  int kind = bkSingle;
  IBond* bond = nullptr; ///< plain link, valid until the molecule's next change
  int number = 0;        ///< the bond's index in the molecule plus one
};

/// One drawn atom: a copy of what painting needs, and where the projection put it.
struct TAtomRecord {
  IAtom* atom = nullptr;      ///< plain link, valid until the molecule's next change
  double x = 0, y = 0, z = 0; ///< the vertex's view coordinates
  double radius = 0;          ///< DisplayRadius
  int atomicNumber = 0;
  std::string symbol;
  QColor colour;
  double px = 0, py = 0, depth = 0; ///< projected
  int sx = 0, sy = 0, sr = 0;       ///< on screen
  int position = 0;                 ///< in the depth-sorted draw list
  std::vector<TAtomLink> links;
};

/// What a pick found: an atom, a bond, or nothing.
struct TPick {
  IAtom* atom = nullptr;
  IBond* bond = nullptr;
  bool Empty() const { return !atom && !bond; }
};

/// The viewer's scene: draw list, view matrix, styles and the painter. Reads the molecule, never changes it.
class TViewer3DScene {
public:
  TViewer3DScene();

  /// Shows molecule (none empties the scene): identity view matrix, no selection, a new draw list.
  void SetMolecule(IMolecule* molecule);
  IMolecule* Molecule() const { return molecule_; }
  /// Rebuilds the draw list from the molecule (after any change of it); keepView false also resets the view
  /// matrix and the selection (the topology changed, so neither means anything any more).
  void Rebuild(bool keepView);

  const Matrix4f& ViewMatrix() const { return view_; }
  void SetViewMatrix(const Matrix4f& m);
  /// Turns the view for a mouse move from p to q in a window of size: roll about the screen centre when both
  /// points lie at least 50 pixels from it, then tilt about x and y by half a turn per window extent.
  void Turn(QPoint p, QPoint q, QSize size);
  /// Magnifies by factor around the window centre.
  void Zoom(double factor);
  double ZoomFactor() const { return zoom_; }
  /// Zoom and shift that fit the drawn atoms into the window of size.
  void Fit(QSize size);

  bool HideHydrogens() const { return hideHydrogens_; }
  void SetHideHydrogens(bool flag);
  DrawStyle GetDrawStyle() const { return drawStyle_; }
  void SetDrawStyle(DrawStyle style) { drawStyle_ = style; }
  AtomStyle GetAtomStyle() const { return atomStyle_; }
  void SetAtomStyle(AtomStyle style) { atomStyle_ = style; }
  BondStyle GetBondStyle() const { return bondStyle_; }
  void SetBondStyle(BondStyle style) { bondStyle_ = style; }
  bool QuickDrawing() const { return quick_; }
  /// Switching quick drawing on forces the sticks draw and bond styles.
  void SetQuickDrawing(bool flag);
  /// Draws quickly without changing the styles (while the user turns a large structure).
  void SetTransientQuick(bool flag) {
    transientQuick_ = flag;
    projectedSize_ = QSize();
  }
  bool TransientQuick() const { return transientQuick_; }

  ColourMode GetColourMode() const { return colourMode_; }
  void SetColourMode(ColourMode mode) { colourMode_ = mode; }
  /// The molecule's contribution columns (re-read on Rebuild).
  const TContributionColumns& Contributions() const { return contributions_; }
  int ContributionColumn() const { return column_; }
  void SetContributionColumn(int column);

  /// The selected atom or bond (as a pick), or nothing.
  const TPick& Selection() const { return selected_; }
  void SetSelection(const TPick& pick) { selected_ = pick; }

  /// Projects every record for a window of size, then (unless drawing quickly) sorts by depth, far to near.
  void Project(QSize size);
  /// The draw list in its current order.
  const std::vector<TAtomRecord*>& DrawList() const { return order_; }
  /// The record of atom, none when it is not drawn.
  const TAtomRecord* RecordOf(const IAtom* atom) const;
  /// The nearest atom within its screen radius (at least 6 pixels), else the nearest bond within 6 pixels of
  /// its segment; nothing while drawing quickly.
  TPick Pick(QPoint point, QSize size);
  /// Paints the scene on a black background filling size.
  void Paint(QPainter& painter, QSize size);

private:
  void EnsureProjected(QSize size);
  bool Quick() const { return quick_ || transientQuick_; }
  int Scale(QSize size) const;
  void PaintAtom(QPainter& painter, const TAtomRecord& r);
  void PaintBonds(QPainter& painter, const TAtomRecord& r);
  void PaintLegend(QPainter& painter, QSize size);
  QColor BondColour(const TAtomLink& link) const;

  IMolecule* molecule_ = nullptr;
  Matrix4f view_;
  std::vector<TAtomRecord> records_;
  std::vector<TAtomRecord*> order_;
  TBallCache balls_;
  TContributionColumns contributions_;
  bool hideHydrogens_ = false;
  DrawStyle drawStyle_ = DrawStyle::BallAndSticks;
  AtomStyle atomStyle_ = AtomStyle::Balls;
  BondStyle bondStyle_ = BondStyle::Sticks;
  ColourMode colourMode_ = ColourMode::Elements;
  int column_ = 0;
  bool quick_ = false;
  bool transientQuick_ = false;
  double zoom_ = 1.0;
  double panX_ = 0.0, panY_ = 0.0;
  TPick selected_;
  QSize projectedSize_;
};

/// The distance from point to the segment a-b as the bond hit test measures it: along the segment's flatter axis
/// the vertical deviation from the line, beyond its ends the city-block distance to the nearer end; -1 when the
/// ends coincide.
int BondHitDistance(QPoint point, QPoint a, QPoint b);

} // namespace corvatin::shell
