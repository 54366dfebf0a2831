// Bond directions around an atom: the ideal sets of VSEPR geometry (linear 180 degrees, trigonal planar 120,
// tetrahedral 109.47, trigonal bipyramid, octahedron) and the free directions left once some bonds are placed.

#include "chem/geometry_internal.h"

#include <algorithm>
#include <numbers>

namespace corvatin::geometry_detail {

namespace {

constexpr double kPi = std::numbers::pi;
/// The tetrahedral angle, arccos(-1/3).
const double kTetrahedral = std::acos(-1.0 / 3.0);

Vec3 Component(double x, double y, double z) { return Vec3{x, y, z}; }

/// The direction at polar angle theta from axis e and azimuth phi measured from u (u perpendicular to e).
Vec3 Polar(const Vec3& e, const Vec3& u, double theta, double phi) {
  const Vec3 w = Cross(e, u);
  return Normalized(e * std::cos(theta) + (u * std::cos(phi) + w * std::sin(phi)) * std::sin(theta));
}

/// Points spread evenly over the sphere (the golden-angle spiral).
std::vector<Vec3> SpherePoints(int count) {
  std::vector<Vec3> points;
  const double golden = kPi * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < count; ++i) {
    const double z = 1.0 - (2.0 * i + 1.0) / count;
    const double r = std::sqrt(std::max(0.0, 1.0 - z * z));
    points.push_back(Component(r * std::cos(golden * i), r * std::sin(golden * i), z));
  }
  return points;
}

/// Adds directions one by one, each the sample point farthest (in angle) from every direction so far.
void AddSpreadDirections(std::vector<Vec3> taken, int count, std::vector<Vec3>& out) {
  static const std::vector<Vec3> samples = SpherePoints(512);
  for (int k = 0; k < count; ++k) {
    Vec3 best = samples.front();
    double bestDot = 2.0;
    for (const Vec3& s : samples) {
      double worst = -1.0;
      for (const Vec3& t : taken)
        worst = std::max(worst, Dot(s, t));
      if (worst < bestDot) {
        bestDot = worst;
        best = s;
      }
    }
    taken.push_back(best);
    out.push_back(best);
  }
}

int Capacity(Shape shape) {
  switch (shape) {
  case Shape::Linear: return 2;
  case Shape::Trigonal: return 3;
  case Shape::Tetrahedral: return 4;
  case Shape::Bipyramidal: return 5;
  case Shape::Octahedral: return 6;
  case Shape::Spread: break;
  }
  return 0;
}

} // namespace

Vec3 AnyPerpendicular(const Vec3& a) {
  const Vec3 helper = std::fabs(a.x) < 0.6 ? Component(1, 0, 0) : Component(0, 1, 0);
  return Normalized(Cross(a, helper));
}

Rotation AxisRotation(const Vec3& axis, double angle) {
  // Rodrigues' formula.
  const Vec3 k = Normalized(axis);
  const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
  Rotation r;
  r.m[0] = t * k.x * k.x + c;
  r.m[1] = t * k.x * k.y - s * k.z;
  r.m[2] = t * k.x * k.z + s * k.y;
  r.m[3] = t * k.x * k.y + s * k.z;
  r.m[4] = t * k.y * k.y + c;
  r.m[5] = t * k.y * k.z - s * k.x;
  r.m[6] = t * k.x * k.z - s * k.y;
  r.m[7] = t * k.y * k.z + s * k.x;
  r.m[8] = t * k.z * k.z + c;
  return r;
}

Rotation FrameRotation(const Vec3& u1, const Vec3& u2, const Vec3& v1, const Vec3& v2) {
  auto frame = [](const Vec3& a, const Vec3& b) {
    const Vec3 f1 = Normalized(a);
    Vec3 f2 = Normalized(b - f1 * Dot(b, f1));
    if (Length(f2) < 1e-9) f2 = AnyPerpendicular(f1);
    return std::vector<Vec3>{f1, f2, Cross(f1, f2)};
  };
  const std::vector<Vec3> u = frame(u1, u2), v = frame(v1, v2);
  // R = sum_k v_k u_k^T maps u_k onto v_k.
  Rotation r;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      double sum = 0.0;
      for (size_t k = 0; k < 3; ++k) {
        const double vr = row == 0 ? v[k].x : row == 1 ? v[k].y : v[k].z;
        const double uc = col == 0 ? u[k].x : col == 1 ? u[k].y : u[k].z;
        sum += vr * uc;
      }
      r.m[3 * row + col] = sum;
    }
  return r;
}

Rotation Compose(const Rotation& r1, const Rotation& r2) {
  Rotation r;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      double sum = 0.0;
      for (int k = 0; k < 3; ++k)
        sum += r2.m[3 * row + k] * r1.m[3 * k + col];
      r.m[3 * row + col] = sum;
    }
  return r;
}

std::vector<Vec3> IdealDirections(Shape shape, int count) {
  const Vec3 x = Component(1, 0, 0), y = Component(0, 1, 0), z = Component(0, 0, 1);
  std::vector<Vec3> d;
  switch (shape) {
  case Shape::Linear: d = {x, -x}; break;
  case Shape::Trigonal: d = {x, Polar(z, x, kPi / 2, 2 * kPi / 3), Polar(z, x, kPi / 2, 4 * kPi / 3)}; break;
  case Shape::Tetrahedral:
    d = {x, Polar(x, y, kTetrahedral, 0), Polar(x, y, kTetrahedral, 2 * kPi / 3),
         Polar(x, y, kTetrahedral, 4 * kPi / 3)};
    break;
  case Shape::Bipyramidal:
    d = {x, Polar(z, x, kPi / 2, 2 * kPi / 3), Polar(z, x, kPi / 2, 4 * kPi / 3), z, -z};
    break;
  case Shape::Octahedral: d = {x, -x, y, -y, z, -z}; break;
  case Shape::Spread: break;
  }
  if (static_cast<int>(d.size()) < count) {
    d.clear();
    AddSpreadDirections({}, count, d);
  }
  return d;
}

std::vector<Vec3> FreeDirections(const std::vector<Vec3>& existing, Shape shape, int count, const Vec3& reference,
                                 double azimuth) {
  std::vector<Vec3> out;
  if (count <= 0) return out;
  const size_t placed = existing.size();
  if (placed == 0) {
    out = IdealDirections(shape, count);
    out.resize(static_cast<size_t>(count));
    return out;
  }
  if (placed == 1) {
    const Vec3 e = Normalized(existing[0]);
    Vec3 u = reference - e * Dot(reference, e);
    u = Length(u) > 1e-6 ? Normalized(u) : AnyPerpendicular(e);
    const double a = azimuth;
    switch (Capacity(shape) - 1) {
    case 1: out = {-e}; break;
    case 2: out = {Polar(e, u, 2 * kPi / 3, a), Polar(e, u, 2 * kPi / 3, a + kPi)}; break;
    case 3:
      out = {Polar(e, u, kTetrahedral, a), Polar(e, u, kTetrahedral, a + 2 * kPi / 3),
             Polar(e, u, kTetrahedral, a + 4 * kPi / 3)};
      break;
    case 4:
      out = {Polar(e, u, kPi / 2, a), Polar(e, u, kPi / 2, a + 2 * kPi / 3), Polar(e, u, kPi / 2, a + 4 * kPi / 3),
             -e};
      break;
    case 5:
      out = {-e, Polar(e, u, kPi / 2, a), Polar(e, u, kPi / 2, a + kPi / 2), Polar(e, u, kPi / 2, a + kPi),
             Polar(e, u, kPi / 2, a + 3 * kPi / 2)};
      break;
    default: break;
    }
  } else if (placed == 2 && count <= 2) {
    const Vec3 e1 = Normalized(existing[0]), e2 = Normalized(existing[1]);
    Vec3 b = -(e1 + e2);
    if (Length(b) < 1e-6) {
      b = reference - e1 * Dot(reference, e1);
      if (Length(b) < 1e-6) b = AnyPerpendicular(e1);
    }
    b = Normalized(b);
    Vec3 n = Cross(e1, e2);
    n = Length(n) > 1e-6 ? Normalized(n) : Normalized(Cross(b, e1));
    if (Length(n) < 1e-6) n = AnyPerpendicular(b);
    if (Dot(n, reference) < 0.0) n = -n; // the first of a pair goes to the side of the reference
    if (count == 1) {
      // One substituent on a ring atom points straight out of the ring, in its plane.
      out = {b};
    } else {
      // Two: the tetrahedral pair above and below the plane of the placed bonds.
      const double half = kTetrahedral / 2;
      out = {Normalized(b * std::cos(half) + n * std::sin(half)), Normalized(b * std::cos(half) - n * std::sin(half))};
    }
  } else if (placed == 3 && count == 1) {
    const Vec3 e1 = Normalized(existing[0]), e2 = Normalized(existing[1]), e3 = Normalized(existing[2]);
    const Vec3 s = e1 + e2 + e3;
    Vec3 n = Cross(e1, e2);
    if (Length(n) < 1e-6) n = Cross(e1, e3);
    n = Length(n) > 1e-6 ? Normalized(n) : AnyPerpendicular(e1);
    if (std::fabs(Dot(n, e3)) > 0.5) {
      // A pyramid of three bonds: the fourth completes it.
      out = {Normalized(-s)};
    } else {
      // Three bonds nearly in a plane (a fusion atom of a flat ring system): the fourth stands perpendicular,
      // leaning a little away from the bonds, on the side of the reference.
      if (Dot(n, reference) < 0.0) n = -n;
      out = {Normalized(n + s * -0.5)};
    }
  }
  if (static_cast<int>(out.size()) > count) out.resize(static_cast<size_t>(count));
  if (static_cast<int>(out.size()) < count) {
    std::vector<Vec3> taken = existing;
    for (Vec3& t : taken)
      t = Normalized(t);
    taken.insert(taken.end(), out.begin(), out.end());
    AddSpreadDirections(std::move(taken), count - static_cast<int>(out.size()), out);
  }
  return out;
}

} // namespace corvatin::geometry_detail
