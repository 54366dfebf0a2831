#pragma once
// The molecule editor's picture, drawn onto any QPainter (the widget, an image in a test, a PNG or SVG file).

#include "shell/editor_mapping.h"

#include <QColor>
#include <QPoint>

#include <vector>

class QPainter;

namespace corvatin::shell {

/// The editor's selection: atoms and bonds in the order they were selected.
class TEditorSelection {
public:
  bool Contains(const IAtom* a) const;
  bool Contains(const IBond* b) const;
  void Add(IAtom* a);
  void Add(IBond* b);
  void Remove(const IAtom* a);
  void Remove(const IBond* b);
  void Toggle(IAtom* a);
  void Toggle(IBond* b);
  void Clear();
  bool Empty() const { return atoms_.empty() && bonds_.empty(); }
  int Count() const { return static_cast<int>(atoms_.size() + bonds_.size()); }
  const std::vector<IAtom*>& Atoms() const { return atoms_; }
  const std::vector<IBond*>& Bonds() const { return bonds_; }

private:
  std::vector<IAtom*> atoms_;
  std::vector<IBond*> bonds_;
};

/// How the picture is drawn.
struct TPaintOptions {
  bool quick = false;         ///< bonds as plain lines, no atoms
  bool hideHydrogens = false; ///< "H" atoms and their bonds left out
  bool focused = false;       ///< selection in bright yellow (dimmer without focus)
  QColor background = Qt::white;
  QColor foreground = Qt::black;
};

/// Atoms being dragged: drawn in the moving style, shifted by delta pixels, instead of where they are.
struct TMovingSet {
  std::vector<const IAtom*> atoms;
  QPoint delta;
  bool Contains(const IAtom* a) const;
};

/// Whether an atom is drawn (and hit) under the options.
bool Drawable(const IAtom& atom, const TPaintOptions& options);

/// Draws a molecule: all drawable bonds, then all drawable atoms.
class TEditorPainter {
public:
  TEditorPainter(const IMolecule& molecule, const TScreenMapping& map, const TPaintOptions& options);

  void Paint(QPainter& p, const TEditorSelection& selection, const TMovingSet& moving) const;
  /// The rubber-band line of a bond chain and the selection rectangle.
  void PaintRubberLine(QPainter& p, QPoint from, QPoint to) const;
  void PaintRubberRect(QPainter& p, QPoint corner1, QPoint corner2) const;

  QColor SelectionColor() const;

private:
  QPoint At(const IAtom& a, const TMovingSet& moving) const;
  void PaintBond(QPainter& p, const IBond& b, const QColor& color, QPoint a, QPoint c) const;

  const IMolecule& molecule_;
  TScreenMapping map_;
  TPaintOptions options_;
};

} // namespace corvatin::shell
