#pragma once
// Re-projection of model coordinates through the molecule's view transform (the 4 x 4 single-precision matrix of
// graph/math3d.h: row by row, translation in the last row). The atoms keep their model coordinates as doubles,
// so the mapping is done in double precision here with the same layout as TransformPoint.

#include "graph/math3d.h"

namespace corvatin {

/// A point in double precision.
struct Point3d {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

/// The point mapped by m: p'_i = sum_j M[i][j] p_j + M[3][i].
Point3d TransformPoint3d(const Point3d& p, const Matrix4f& m);

/// The point mapped by m with its translation left out (directions and lengths).
Point3d TransformDirection3d(const Point3d& p, const Matrix4f& m);

} // namespace corvatin
