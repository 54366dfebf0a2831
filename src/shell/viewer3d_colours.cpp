#include "shell/viewer3d_colours.h"

#include "core/rounding.h"
#include "descriptors/topsmode.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace corvatin::shell {

QImage ShadedBall(const QColor& colour, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  // Light from the upper left front, normalised once.
  const double lx = -0.3, ly = -0.3, lz = 1.0;
  const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  const int hue = colour.hslHue();
  const int saturation = colour.hslSaturation();
  for (int row = 0; row < size; ++row) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    const double v = -1.0 + 2.0 * (row + 0.5) / size;
    for (int col = 0; col < size; ++col) {
      const double u = -1.0 + 2.0 * (col + 0.5) / size;
      const double rr = u * u + v * v;
      if (rr >= 1.0) continue;
      // The surface normal of the sphere seen from the front: depth sqrt(1 - u^2 - v^2) towards the viewer.
      double intensity = (u * lx + v * ly + std::sqrt(1.0 - rr) * lz) / ll;
      if (intensity < 0.0) continue; // the unlit rim stays transparent, as black does in an icon
      intensity *= intensity;
      // Lightness on the 0..240 HLS scale, then on Qt's 0..255 one.
      const int l240 = std::min(static_cast<int>(RoundHalfEven((intensity * 0.3 + 0.2) * 240.0)), 240);
      line[col] =
          QColor::fromHsl(std::max(hue, 0), saturation, static_cast<int>(RoundHalfEven(l240 * 255.0 / 240.0))).rgba();
    }
  }
  return image;
}

const QImage& TBallCache::Ball(int atomicNumber, const QColor& colour) {
  auto it = balls_.find(atomicNumber);
  // A colour changed in the periodic table since the ball was made means a new ball.
  if (it == balls_.end() || it->second.first != colour.rgb())
    it = balls_.insert_or_assign(atomicNumber, std::make_pair(colour.rgb(), ShadedBall(colour))).first;
  return it->second.second;
}

QColor DivergingColour(double value, double limit) {
  // The blue and red ends of the cool-warm diverging scale (Lect. Notes Comput. Sci. 5876 (2009) 92) with white
  // at zero, so that the sign of a contribution reads at once on the black background.
  static const QColor kNegative(59, 76, 192), kZero(240, 240, 240), kPositive(180, 4, 38);
  if (!(limit > 0) || std::isnan(value)) return kZero;
  const double t = std::clamp(value / limit, -1.0, 1.0);
  const QColor& end = t < 0 ? kNegative : kPositive;
  const double a = std::abs(t);
  auto mix = [a](int from, int to) { return static_cast<int>(RoundHalfEven(from + (to - from) * a)); };
  return QColor(mix(kZero.red(), end.red()), mix(kZero.green(), end.green()), mix(kZero.blue(), end.blue()));
}

namespace {

/// The molecule bond index a row label "Bond n" names; -1 for any other label.
int BondOfRowLabel(const std::string& label) {
  const std::string prefix = "Bond ";
  if (label.compare(0, prefix.size(), prefix) != 0) return -1;
  char* end = nullptr;
  const long n = std::strtol(label.c_str() + prefix.size(), &end, 10);
  if (end == label.c_str() + prefix.size() || *end != '\0' || n < 1) return -1;
  return static_cast<int>(n - 1);
}

} // namespace

void TContributionColumns::Read(const IMolecule* molecule) {
  columns_.clear();
  if (!molecule) return;
  const int bonds = molecule->EdgeCount();
  auto add = [&](const char* name, int firstColumn) {
    const auto param = molecule->QueryParam<IMatrixParameter>(name);
    if (!param || !param->GetMatrix()) return;
    const Ptr<IDoubleMatrix> m = param->GetMatrix();
    std::vector<int> rowBond(static_cast<size_t>(m->GetRowCount()));
    for (int r = 0; r < m->GetRowCount(); ++r) {
      const int b = BondOfRowLabel(param->GetRowLabel(r, r + 1));
      // A matrix written before the molecule changed may name bonds that are gone: such rows are left out.
      rowBond[static_cast<size_t>(r)] = b < bonds ? b : -1;
    }
    for (int c = firstColumn; c < m->GetColumnCount(); ++c) {
      TContributionColumn column;
      column.label = QString::fromStdString(param->GetColumnLabel(c));
      column.values.assign(static_cast<size_t>(bonds), std::numeric_limits<double>::quiet_NaN());
      for (int r = 0; r < m->GetRowCount(); ++r) {
        const int b = rowBond[static_cast<size_t>(r)];
        if (b < 0) continue;
        column.values[static_cast<size_t>(b)] = m->Get(r, c);
        column.limit = std::max(column.limit, std::abs(m->Get(r, c)));
      }
      columns_.push_back(std::move(column));
    }
  };
  add(kResultBondContributions, 0);
  // Column 0 of the local moments is 1 for every bond: nothing to show.
  add(kResultLocalContribution, 1);
}

double TContributionColumns::Value(int column, int bond) const {
  if (column < 0 || column >= Count()) return std::numeric_limits<double>::quiet_NaN();
  const auto& values = columns_[static_cast<size_t>(column)].values;
  if (bond < 0 || bond >= static_cast<int>(values.size())) return std::numeric_limits<double>::quiet_NaN();
  return values[static_cast<size_t>(bond)];
}

} // namespace corvatin::shell
