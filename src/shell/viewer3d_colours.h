#pragma once
// Colours of the 3D viewer: the shaded ball of each element, and the diverging colour scale on which bonds show
// their contributions to a property (the TOPS-MODE bond contributions of a linear model, or the local spectral
// moments of one order).

#include "chem/molecule.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cmath>
#include <map>
#include <vector>

namespace corvatin::shell {

/// The side of a ball image in pixels; balls are scaled to their screen size when drawn.
inline constexpr int kBallImageSize = 64;

/// A shaded ball of colour: lit from the upper left front, the light's cosine squared setting the lightness
/// (0.2 to 0.5 of the HLS scale, hue and saturation of colour); outside the disk and on the unlit rim transparent.
QImage ShadedBall(const QColor& colour, int size = kBallImageSize);

/// One shaded ball per atomic number, built on first use.
class TBallCache {
public:
  const QImage& Ball(int atomicNumber, const QColor& colour);
  void Clear() { balls_.clear(); }

private:
  std::map<int, std::pair<QRgb, QImage>> balls_;
};

/// The colour of value on a scale running from blue (-limit) through white (0) to red (+limit).
QColor DivergingColour(double value, double limit);

/// One column of per-bond values that can colour the bonds.
struct TContributionColumn {
  QString label;              ///< the column's label ("Contribution(Hyd)", "µ(Hyd)2")
  std::vector<double> values; ///< per bond index of the molecule; NaN for bonds the matrix does not cover
  double limit = 0;           ///< the largest absolute value (the ends of the colour scale)
};

/// The columns a molecule offers after a local-contributions run: every column of "Bond contributions", then every
/// order column of "TOPS-MODE Local Contribution". Rows map to bonds through their labels "Bond n".
class TContributionColumns {
public:
  /// Re-reads the columns of molecule (none empties).
  void Read(const IMolecule* molecule);
  bool Empty() const { return columns_.empty(); }
  int Count() const { return static_cast<int>(columns_.size()); }
  const TContributionColumn& Column(int i) const { return columns_.at(static_cast<size_t>(i)); }
  /// The value of bond (by index) in column i; NaN when not covered.
  double Value(int column, int bond) const;

private:
  std::vector<TContributionColumn> columns_;
};

} // namespace corvatin::shell
