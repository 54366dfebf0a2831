// Cartesian coordinates from a Z-matrix with reference atoms: the natural-extension reference frame construction
// (J. Comput. Chem. 26 (2005) 1063), with MOPAC's
// orientation of the first three atoms and its sign of the torsion angle.
#include "inputs/zmatrix_input.h"

#include "chem/molecule.h"

#include <cmath>
#include <numbers>

namespace corvatin {

namespace {

struct Vec {
  double x = 0.0, y = 0.0, z = 0.0;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double s, Vec v) { return {s * v.x, s * v.y, s * v.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(Vec v) { return std::sqrt(Dot(v, v)); }

// v scaled to length 1; fallback when v has no direction (two atoms at one place).
Vec Unit(Vec v, Vec fallback) {
  const double length = Length(v);
  return length > 1e-12 ? (1.0 / length) * v : fallback;
}

// A unit vector perpendicular to u, preferring the plane of u and hint.
Vec Perpendicular(Vec u, Vec hint) {
  Vec p = hint - Dot(hint, u) * u;
  if (Length(p) > 1e-9) return Unit(p, hint);
  const Vec other = std::fabs(u.x) < 0.9 ? Vec{1.0, 0.0, 0.0} : Vec{0.0, 1.0, 0.0};
  p = other - Dot(other, u) * u;
  return Unit(p, other);
}

} // namespace

std::array<int, 3> ChainReferences(int index) {
  std::array<int, 3> refs{0, 0, 0};
  for (int k = 0; k < 3; ++k) refs[static_cast<std::size_t>(k)] = index - k > 0 ? index - k : 0;
  return refs;
}

bool IsChainZMatrix(const std::vector<ZMatrixLine>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].hasReferences && lines[i].refs != ChainReferences(static_cast<int>(i))) return false;
  return true;
}

void BuildFromReferences(IMolecule& molecule, const std::vector<ZMatrixLine>& lines) {
  constexpr double kDegree = std::numbers::pi / 180.0;
  std::vector<Vec> p;
  p.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ZMatrixLine& line = lines[i];
    const std::array<int, 3> refs = line.hasReferences ? line.refs : ChainReferences(static_cast<int>(i));
    const double d = line.distance;
    const double a = line.angle * kDegree;
    const double t = line.torsion * kDegree;
    Vec position;
    if (i == 0) {
      position = {};
    } else if (i == 1) {
      position = p[static_cast<std::size_t>(refs[0] - 1)] + Vec{d, 0.0, 0.0};
    } else {
      const Vec c = p[static_cast<std::size_t>(refs[0] - 1)];
      const Vec b = p[static_cast<std::size_t>(refs[1] - 1)];
      const Vec bc = Unit(c - b, Vec{1.0, 0.0, 0.0});
      if (i == 2) {
        // In the xy plane, on the +y side of the line through the two reference atoms.
        const Vec v = Perpendicular(bc, Vec{0.0, 1.0, 0.0});
        position = c + (-d * std::cos(a)) * bc + (d * std::sin(a)) * v;
      } else {
        const Vec r = p[static_cast<std::size_t>(refs[2] - 1)];
        const Vec n = Unit(Cross(b - r, bc), Perpendicular(bc, Vec{0.0, 0.0, 1.0}));
        const Vec m = Cross(n, bc);
        position = c + (-d * std::cos(a)) * bc + (d * std::sin(a) * std::cos(t)) * m +
                   (d * std::sin(a) * std::sin(t)) * n;
      }
    }
    p.push_back(position);
    IAtom* atom = molecule.GetAtom(static_cast<int>(i));
    atom->SetX3D(position.x);
    atom->SetY3D(position.y);
    atom->SetZ3D(position.z);
  }
}

} // namespace corvatin
