#include "graph/math3d.h"

#include <cmath>

namespace corvatin {

Vector3f MakeVector(float x, float y, float z) { return Vector3f{x, y, z}; }

Vector3f DivideVector(const Vector3f& v, float s) { return Vector3f{v.x / s, v.y / s, v.z / s}; }

float VectorLength(const Vector3f& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vector3f Normalize(const Vector3f& v) {
  const float length = VectorLength(v);
  // Dividing by zero would hand NaNs to the viewers; a zero vector has no direction, so it stays zero.
  if (length == 0.0f) return v;
  return DivideVector(v, length);
}

float Dot(const Vector3f& a, const Vector3f& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3f Cross(const Vector3f& a, const Vector3f& b) {
  return Vector3f{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Matrix4f IdentityMatrix() { return Matrix4f{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix4f MatrixProduct(const Matrix4f& a, const Matrix4f& b) {
  Matrix4f c{};
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k)
        sum += b[static_cast<size_t>(4 * r + k)] * a[static_cast<size_t>(4 * k + col)];
      c[static_cast<size_t>(4 * r + col)] = sum;
    }
  return c;
}

Vector3f TransformPoint(const Vector3f& p, const Matrix4f& m) {
  return Vector3f{m[0] * p.x + m[1] * p.y + m[2] * p.z + m[12], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[13],
                  m[8] * p.x + m[9] * p.y + m[10] * p.z + m[14]};
}

Matrix4f TranslationMatrix(float x, float y, float z) {
  Matrix4f m = IdentityMatrix();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

Matrix4f ScaleMatrix(float sx, float sy, float sz) {
  Matrix4f m = IdentityMatrix();
  m[0] = sx;
  m[5] = sy;
  m[10] = sz;
  return m;
}

Matrix4f RotationX(float alpha) {
  Matrix4f m = IdentityMatrix();
  const float c = std::cos(alpha);
  const float s = std::sin(alpha);
  m[5] = c;
  m[6] = s;
  m[9] = -s;
  m[10] = c;
  return m;
}

Matrix4f RotationY(float alpha) {
  Matrix4f m = IdentityMatrix();
  const float c = std::cos(alpha);
  const float s = std::sin(alpha);
  m[0] = c;
  m[2] = -s;
  m[8] = s;
  m[10] = c;
  return m;
}

Matrix4f RotationZ(float alpha) {
  Matrix4f m = IdentityMatrix();
  const float c = std::cos(alpha);
  const float s = std::sin(alpha);
  m[0] = c;
  m[1] = s;
  m[4] = -s;
  m[5] = c;
  return m;
}

} // namespace corvatin
