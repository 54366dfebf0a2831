#include "chem/transform.h"

namespace corvatin {

Point3d TransformDirection3d(const Point3d& p, const Matrix4f& m) {
  // Row i of the rotation-and-scale block times the point: the layout the viewers' math uses.
  return Point3d{m[0] * p.x + m[1] * p.y + m[2] * p.z, m[4] * p.x + m[5] * p.y + m[6] * p.z,
                 m[8] * p.x + m[9] * p.y + m[10] * p.z};
}

Point3d TransformPoint3d(const Point3d& p, const Matrix4f& m) {
  Point3d r = TransformDirection3d(p, m);
  r.x += m[12];
  r.y += m[13];
  r.z += m[14];
  return r;
}

} // namespace corvatin
