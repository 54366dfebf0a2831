#pragma once
// The molecule's view transform: a 4 x 4 matrix of single-precision floats stored row by row (element [r][c] at
// 4r + c), with the translation in the last row (positions 12, 13, 14) and 1 at position 15. Points are mapped
// as in the viewers' 3D math: p' = (sum_j M[i][j] p_j) + M[3][i] for i = x, y, z. Only what the molecule needs
// for re-projecting its atoms lives here.

#include <array>

namespace corvatin {

/// A 4 x 4 single-precision matrix, row by row, translation in the last row.
using Matrix4f = std::array<float, 16>;

/// The identity matrix.
constexpr Matrix4f IdentityMatrix4f() {
  return Matrix4f{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

/// A point in double precision (model coordinates are kept as doubles on the atoms).
struct Point3d {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// The point mapped by m: rotation-and-scale part applied, then the translation added.
Point3d TransformPoint3d(const Point3d& p, const Matrix4f& m);

/// The point mapped by m with its translation left out (directions and lengths).
Point3d TransformDirection3d(const Point3d& p, const Matrix4f& m);

} // namespace corvatin
