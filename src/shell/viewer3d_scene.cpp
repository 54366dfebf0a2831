#include "shell/viewer3d_scene.h"

#include "chem/elements.h"
#include "core/rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvatin::shell {

namespace {

/// The viewer's background: the element colours are adjusted for contrast against it.
constexpr Color kBackground = MakeColor(0, 0, 0);

int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

} // namespace

TViewer3DScene::TViewer3DScene() : view_(IdentityMatrix()) {}

void TViewer3DScene::SetMolecule(IMolecule* molecule) {
  molecule_ = molecule;
  Rebuild(false);
}

void TViewer3DScene::Rebuild(bool keepView) {
  if (!keepView) {
    view_ = IdentityMatrix();
    selected_ = TPick();
  }
  records_.clear();
  order_.clear();
  projectedSize_ = QSize();
  contributions_.Read(molecule_);
  if (column_ >= contributions_.Count()) column_ = 0;
  if (!molecule_) return;
  // Records point at each other through the links, so the storage must not move once they are made.
  const int n = molecule_->VertexCount();
  std::vector<int> recordOf(static_cast<size_t>(n), -1);
  records_.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    IAtom* atom = molecule_->GetAtom(i);
    if (!atom->GetPositioned()) continue;
    std::string symbol = atom->GetSymbol();
    if (hideHydrogens_ && symbol == "H") continue;
    TAtomRecord r;
    r.atom = atom;
    r.x = atom->GetX();
    r.y = atom->GetY();
    r.z = atom->GetZ();
    r.radius = atom->GetDisplayRadius();
    r.atomicNumber = atom->GetAtomicNumber();
    r.symbol = std::move(symbol);
    const Color c = ContrastElementColor(r.atomicNumber, kBackground);
    r.colour = QColor(RedOf(c), GreenOf(c), BlueOf(c));
    recordOf[static_cast<size_t>(i)] = static_cast<int>(records_.size());
    records_.push_back(std::move(r));
  }
  for (TAtomRecord& r : records_) {
    for (int k = 0; k < r.atom->NeighbourCount(); ++k) {
      const int other = recordOf[static_cast<size_t>(r.atom->GetNeighbour(k)->GetIndex())];
      if (other < 0) continue;
      IBond* bond = r.atom->GetBond(k);
      r.links.push_back(
          TAtomLink{&records_[static_cast<size_t>(other)], bond->GetBondType(), bond, bond->GetIndex() + 1});
    }
  }
  for (TAtomRecord& r : records_)
    order_.push_back(&r);
  // A selection that is no longer drawn (hidden hydrogens) is dropped. Only pointers are compared: the item
  // itself may be gone when a change is still held in an update bracket.
  if (selected_.atom && !RecordOf(selected_.atom)) selected_ = TPick();
  if (selected_.bond) {
    bool drawn = false;
    for (const TAtomRecord& r : records_)
      for (const TAtomLink& link : r.links)
        drawn = drawn || link.bond == selected_.bond;
    if (!drawn) selected_ = TPick();
  }
}

void TViewer3DScene::SetViewMatrix(const Matrix4f& m) {
  view_ = m;
  projectedSize_ = QSize();
}

void TViewer3DScene::SetHideHydrogens(bool flag) {
  if (flag == hideHydrogens_) return;
  hideHydrogens_ = flag;
  Rebuild(true);
}

void TViewer3DScene::SetQuickDrawing(bool flag) {
  quick_ = flag;
  if (flag) {
    drawStyle_ = DrawStyle::Sticks;
    bondStyle_ = BondStyle::Sticks;
  }
  projectedSize_ = QSize();
}

void TViewer3DScene::SetContributionColumn(int column) {
  column_ = contributions_.Empty() ? 0 : std::clamp(column, 0, contributions_.Count() - 1);
}

const TAtomRecord* TViewer3DScene::RecordOf(const IAtom* atom) const {
  for (const TAtomRecord& r : records_)
    if (r.atom == atom) return &r;
  return nullptr;
}

int TViewer3DScene::Scale(QSize size) const { return std::min(size.width(), size.height()); }

void TViewer3DScene::Project(QSize size) {
  const double s = Scale(size) * zoom_;
  for (TAtomRecord& r : records_) {
    // The view looks down the negative z axis of the model, hence -z; the perspective divisor is 1 at depth 0
    // and shrinks what lies further away.
    const Vector3f p =
        TransformPoint(MakeVector(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(-r.z)), view_);
    const double w = (1.4 - p.z) * 0.7142857142857143;
    r.px = p.x / w;
    r.py = p.y / w;
    r.depth = p.z;
    r.sx = Round(s * (r.px + panX_) + size.width() / 2.0);
    r.sy = Round(s * (r.py + panY_) + size.height() / 2.0);
    r.sr = Round(s * r.radius);
  }
  if (!Quick()) {
    // Insertion into increasing depth, each record in front of the first earlier one that is not nearer:
    // painting far to near lets the nearer balls cover the farther ones.
    std::vector<TAtomRecord*> sorted;
    sorted.reserve(order_.size());
    for (TAtomRecord* r : order_) {
      auto at = std::lower_bound(sorted.begin(), sorted.end(), r->depth,
                                 [](const TAtomRecord* a, double d) { return a->depth < d; });
      sorted.insert(at, r);
    }
    order_ = std::move(sorted);
  }
  for (size_t i = 0; i < order_.size(); ++i)
    order_[i]->position = static_cast<int>(i);
  projectedSize_ = size;
}

void TViewer3DScene::EnsureProjected(QSize size) {
  if (projectedSize_ != size) Project(size);
}

void TViewer3DScene::Turn(QPoint p, QPoint q, QSize size) {
  const int s = std::max(Scale(size), 1);
  const int cx = size.width() / 2, cy = size.height() / 2;
  auto farFromCentre = [&](QPoint a) { return std::hypot(a.x() - cx, a.y() - cy) >= 50.0; };
  Matrix4f roll = IdentityMatrix();
  if (farFromCentre(p) && farFromCentre(q) && p.x() != cx && q.x() != cx)
    roll = RotationZ(static_cast<float>(std::atan2(p.y() - cy, p.x() - cx) - std::atan2(q.y() - cy, q.x() - cx)));
  const Matrix4f rx = RotationX(static_cast<float>((q.y() - p.y()) * std::numbers::pi / s));
  const Matrix4f ry = RotationY(static_cast<float>(-(q.x() - p.x()) * std::numbers::pi / s));
  view_ = MatrixProduct(view_, MatrixProduct(MatrixProduct(rx, ry), roll));
  projectedSize_ = QSize();
}

void TViewer3DScene::Zoom(double factor) {
  zoom_ = std::clamp(zoom_ * factor, 0.05, 50.0);
  projectedSize_ = QSize();
}

void TViewer3DScene::Fit(QSize size) {
  zoom_ = 1.0;
  panX_ = panY_ = 0.0;
  Project(size);
  if (records_.empty()) return;
  double minX = records_[0].px - records_[0].radius, maxX = records_[0].px + records_[0].radius;
  double minY = records_[0].py - records_[0].radius, maxY = records_[0].py + records_[0].radius;
  for (const TAtomRecord& r : records_) {
    minX = std::min(minX, r.px - r.radius);
    maxX = std::max(maxX, r.px + r.radius);
    minY = std::min(minY, r.py - r.radius);
    maxY = std::max(maxY, r.py + r.radius);
  }
  // The window's scale is its smaller side: the box fills 90% of each side in that unit.
  const double s = std::max(Scale(size), 1);
  const double extentX = (maxX - minX) * s / std::max(size.width(), 1);
  const double extentY = (maxY - minY) * s / std::max(size.height(), 1);
  const double extent = std::max({extentX, extentY, 1e-6});
  zoom_ = std::clamp(0.9 / extent, 0.05, 50.0);
  panX_ = -(minX + maxX) / 2.0;
  panY_ = -(minY + maxY) / 2.0;
  projectedSize_ = QSize();
}

int BondHitDistance(QPoint point, QPoint a, QPoint b) {
  int px = point.x(), py = point.y();
  int x1 = a.x(), y1 = a.y(), x2 = b.x(), y2 = b.y();
  if (x1 == x2 && y1 == y2) return -1;
  // Measured along the flatter axis, so a steep bond swaps the roles of x and y.
  if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
    std::swap(px, py);
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (px < x1) return std::abs(x1 - px) + std::abs(y1 - py);
  if (px > x2) return std::abs(x2 - px) + std::abs(y2 - py);
  const double m = static_cast<double>(y2 - y1) / (x2 - x1);
  return Round(std::abs(px * m + (y1 - x1 * m) - py));
}

TPick TViewer3DScene::Pick(QPoint point, QSize size) {
  TPick pick;
  if (Quick()) return pick;
  EnsureProjected(size);
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const TAtomRecord& r = **it;
    const int reach = std::max(r.sr, 6);
    if (std::abs(point.x() - r.sx) <= reach && std::abs(point.y() - r.sy) <= reach) {
      pick.atom = r.atom;
      return pick;
    }
  }
  for (auto it = order_.rbegin(); it != order_.rend(); ++it)
    for (const TAtomLink& link : (*it)->links) {
      const int d = BondHitDistance(point, QPoint((*it)->sx, (*it)->sy), QPoint(link.other->sx, link.other->sy));
      if (d >= 0 && d <= 6) {
        pick.bond = link.bond;
        return pick;
      }
    }
  return pick;
}

} // namespace corvatin::shell
