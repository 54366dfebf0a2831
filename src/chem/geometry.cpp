#include "chem/geometry.h"

#include "chem/geometry_internal.h"
#include "chem/transform.h"
#include "graph/math3d.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace corvatin {

namespace geometry_detail {

void ModelCoordinatesChanged(IMolecule& molecule) {
  // The view coordinates and the bonds' "Distance" derive from the model coordinates; keep them in step.
  if (molecule.HasTransform()) {
    molecule.SetTransform(molecule.GetTransform());
    return;
  }
  for (int i = 0; i < molecule.EdgeCount(); ++i)
    molecule.GetBond(i)->UpdateDistance();
}

} // namespace geometry_detail

void FitView(IMolecule& molecule) {
  // Bounding box of the model coordinates. Both corners start at the origin; only atom 0 replaces them outright,
  // so a molecule whose first atom has no coordinates keeps the origin inside its box.
  std::array<double, 3> low{0.0, 0.0, 0.0};
  std::array<double, 3> high{0.0, 0.0, 0.0};
  const int n = molecule.VertexCount();
  for (int i = 0; i < n; ++i) {
    const IAtom* atom = molecule.GetAtom(i);
    if (!atom->Has3D()) continue;
    const std::array<double, 3> p{atom->GetX3D(), atom->GetY3D(), atom->GetZ3D()};
    for (size_t k = 0; k < 3; ++k) {
      if (i == 0) {
        low[k] = high[k] = p[k];
      } else {
        low[k] = std::min(low[k], p[k]);
        high[k] = std::max(high[k], p[k]);
      }
    }
  }
  const std::array<double, 3> c{(low[0] + high[0]) / 2.0, (low[1] + high[1]) / 2.0, (low[2] + high[2]) / 2.0};
  const Matrix4f centred =
      TranslationMatrix(static_cast<float>(-c[0]), static_cast<float>(-c[1]), static_cast<float>(-c[2]));

  // The largest view coordinate once centred: an atom with model coordinates would be projected through the
  // centring transform, any other positioned atom keeps its view coordinates. Worked out here rather than by
  // setting that transform first, since the molecule is then projected once instead of twice.
  double m = 0.1;
  for (int i = 0; i < n; ++i) {
    const IAtom* atom = molecule.GetAtom(i);
    if (atom->Has3D()) {
      const Point3d p = TransformPoint3d(Point3d{atom->GetX3D(), atom->GetY3D(), atom->GetZ3D()}, centred);
      m = std::max({m, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    } else if (atom->GetPositioned()) {
      m = std::max({m, std::fabs(atom->GetX()), std::fabs(atom->GetY()), std::fabs(atom->GetZ())});
    }
  }
  const double limit = n > kFitLargeAtomCount ? kFitLimitLarge : kFitLimit;
  if (m >= limit || m <= 0.3) {
    const double s = limit / m;
    Matrix4f t = ScaleMatrix(static_cast<float>(s), static_cast<float>(s), static_cast<float>(s));
    t[12] = static_cast<float>(-s * c[0]);
    t[13] = static_cast<float>(-s * c[1]);
    t[14] = static_cast<float>(-s * c[2]);
    molecule.SetTransform(t);
  } else {
    molecule.SetTransform(centred);
  }
}

void BuildFromInternalCoords(IMolecule& molecule) {
  // Each atom's frame is the previous atom's frame times its own local frame built from (d, a, t): the chain
  // construction of Z-matrix programs with every reference taken to be the atoms just before it. The frame's
  // rotation block must stay orthonormal, which puts -sin a in row 0; with +sin a it would shear, and every atom
  // from the fourth on would come out at the wrong distance and angle from the atoms before it.
  using Frame = std::array<double, 16>; // row by row, translation in the last column
  auto product = [](const Frame& a, const Frame& b) {
    Frame c{};
    for (size_t r = 0; r < 4; ++r)
      for (size_t col = 0; col < 4; ++col) {
        double sum = 0.0;
        for (size_t k = 0; k < 4; ++k)
          sum += a[4 * r + k] * b[4 * k + col];
        c[4 * r + col] = sum;
      }
    return c;
  };
  constexpr double kDegree = std::numbers::pi / 180.0;
  Frame frame{};
  for (int i = 0; i < molecule.VertexCount(); ++i) {
    IAtom* atom = molecule.GetAtom(i);
    double d = 0.0, a = 0.0, t = 0.0;
    atom->GetInternalCoords(d, a, t);
    a *= kDegree;
    t *= kDegree;
    const double ca = std::cos(a), sa = std::sin(a), ct = std::cos(t), st = std::sin(t);
    const Frame local{-ca,      -sa,      0.0, -d * ca,      //
                      sa * ct,  -ca * ct, -st, d * sa * ct,  //
                      sa * st,  -ca * st, ct,  d * sa * st,  //
                      0.0,      0.0,      0.0, 1.0};
    frame = i == 0 ? local : product(frame, local);
    atom->SetX3D(frame[3]);
    atom->SetY3D(frame[7]);
    atom->SetZ3D(frame[11]);
  }
  geometry_detail::ModelCoordinatesChanged(molecule);
}

} // namespace corvatin
