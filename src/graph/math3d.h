#pragma once
// The small 3D math library of the views: single-precision vectors and 4 x 4 matrices stored row by row
// (element [r][c] at 4r + c) with the translation of a transform in the last row (positions 12, 13, 14) and 1
// at position 15. A point is mapped as p'_i = sum_j M[i][j] p_j + M[3][i]; rotation angles are in radians.

#include <array>

namespace corvatin {

/// A 4 x 4 single-precision matrix, row by row, translation in the last row (the molecule's view transform).
using Matrix4f = std::array<float, 16>;

/// A vector of three single-precision floats.
struct Vector3f {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

/// (x, y, z).
Vector3f MakeVector(float x, float y, float z);
/// v / s component by component.
Vector3f DivideVector(const Vector3f& v, float s);
/// The Euclidean length.
float VectorLength(const Vector3f& v);
/// v scaled to length 1; the zero vector stays zero (it has no direction to keep).
Vector3f Normalize(const Vector3f& v);
/// The scalar product.
float Dot(const Vector3f& a, const Vector3f& b);
/// The vector product a x b.
Vector3f Cross(const Vector3f& a, const Vector3f& b);

/// The identity matrix.
Matrix4f IdentityMatrix();
/// C with C[r][c] = sum_k B[r][k] A[k][c], that is B.A: the transform that applies A's rows through B.
Matrix4f MatrixProduct(const Matrix4f& a, const Matrix4f& b);
/// The point mapped by m: its rotation-and-scale block times p, plus the translation of the last row.
Vector3f TransformPoint(const Vector3f& p, const Matrix4f& m);
/// Identity with the translation (x, y, z) in the last row.
Matrix4f TranslationMatrix(float x, float y, float z);
/// Identity with sx, sy, sz on the diagonal.
Matrix4f ScaleMatrix(float sx, float sy, float sz);
/// Rotations by alpha radians: M[1][1] = cos, M[1][2] = sin, M[2][1] = -sin, M[2][2] = cos.
Matrix4f RotationX(float alpha);
/// M[0][0] = cos, M[0][2] = -sin, M[2][0] = sin, M[2][2] = cos.
Matrix4f RotationY(float alpha);
/// M[0][0] = cos, M[0][1] = sin, M[1][0] = -sin, M[1][1] = cos.
Matrix4f RotationZ(float alpha);

} // namespace corvatin
