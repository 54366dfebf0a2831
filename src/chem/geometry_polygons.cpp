// Plane figures for ring layout: the polygon with given sides inscribed in a circle (every ring drawn as one),
// and the least-squares rigid motion in the plane (the Kabsch fit, Acta Cryst. A32 (1976) 922, in two dimensions)
// that lays a ring's polygon onto atoms already placed.

#include "chem/geometry_internal.h"

#include <algorithm>
#include <numbers>

namespace corvatin::geometry_detail {

namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

std::vector<Vec3> CyclicPolygon(const std::vector<double>& sides) {
  const size_t m = sides.size();
  double longest = 0.0, mean = 0.0;
  for (double s : sides) {
    longest = std::max(longest, s);
    mean += s / static_cast<double>(m);
  }
  auto turn = [&](double r) {
    double sum = 0.0;
    for (double s : sides)
      sum += 2.0 * std::asin(std::min(1.0, s / (2.0 * r)));
    return sum;
  };
  std::vector<double> arcs(m);
  double radius = mean / (2.0 * std::sin(kPi / static_cast<double>(m)));
  if (turn(longest / 2.0) >= 2.0 * kPi) {
    // The angles subtended by the sides shrink as the radius grows: bisect for the radius that closes the turn.
    double lo = longest / 2.0, hi = longest * static_cast<double>(m);
    for (int i = 0; i < 100; ++i) {
      const double mid = (lo + hi) / 2.0;
      (turn(mid) > 2.0 * kPi ? lo : hi) = mid;
    }
    radius = (lo + hi) / 2.0;
    for (size_t k = 0; k < m; ++k)
      arcs[k] = 2.0 * std::asin(std::min(1.0, sides[k] / (2.0 * radius)));
  } else {
    // Sides too unequal for the centre to lie inside: a regular polygon of the mean side will do.
    std::fill(arcs.begin(), arcs.end(), 2.0 * kPi / static_cast<double>(m));
  }
  std::vector<Vec3> points(m);
  double angle = 0.0;
  for (size_t k = 0; k < m; ++k) {
    points[k] = Vec3{radius * std::cos(angle), radius * std::sin(angle), 0.0};
    angle += arcs[k];
  }
  return points;
}

Vec3 Fit2D::Apply(const Vec3& q) const {
  const double y = mirror ? -q.y : q.y;
  return Vec3{cos * q.x - sin * y + tx, sin * q.x + cos * y + ty, 0.0};
}

Fit2D FitPlanar(const std::vector<Vec3>& q, const std::vector<Vec3>& p, bool mirror) {
  Fit2D f;
  f.mirror = mirror;
  const double n = static_cast<double>(q.size());
  Vec3 cq, cp;
  for (size_t i = 0; i < q.size(); ++i) {
    cq += Vec3{q[i].x, mirror ? -q[i].y : q[i].y, 0.0} * (1.0 / n);
    cp += Vec3{p[i].x, p[i].y, 0.0} * (1.0 / n);
  }
  double a = 0.0, b = 0.0;
  for (size_t i = 0; i < q.size(); ++i) {
    const double qx = q[i].x - cq.x, qy = (mirror ? -q[i].y : q[i].y) - cq.y;
    const double px = p[i].x - cp.x, py = p[i].y - cp.y;
    a += qx * px + qy * py;
    b += qx * py - qy * px;
  }
  const double angle = std::atan2(b, a);
  f.cos = std::cos(angle);
  f.sin = std::sin(angle);
  f.tx = cp.x - (f.cos * cq.x - f.sin * cq.y);
  f.ty = cp.y - (f.sin * cq.x + f.cos * cq.y);
  double sum = 0.0;
  for (size_t i = 0; i < q.size(); ++i) {
    const Vec3 d = f.Apply(q[i]) - p[i];
    sum += d.x * d.x + d.y * d.y;
  }
  f.rms = std::sqrt(sum / n);
  return f;
}

} // namespace corvatin::geometry_detail
