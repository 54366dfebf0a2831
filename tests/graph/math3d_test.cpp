// The views' 3D math: the row-by-row layout with the translation in the last row, the order of MatrixProduct
// (B.A) and the sense of the rotations. Reference values are worked by hand from the definitions
// p'_i = sum_j M[i][j] p_j + M[3][i].
#include "graph/math3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace corvatin {
namespace {

void ExpectPoint(const Vector3f& p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-6f);
  EXPECT_NEAR(p.y, y, 1e-6f);
  EXPECT_NEAR(p.z, z, 1e-6f);
}

TEST(MatrixLayout, TranslationSitsInTheLastRowAndTransformPointReadsRows) {
  ExpectPoint(TransformPoint(MakeVector(1, 2, 3), TranslationMatrix(1, 1, 1)), 2, 3, 4);
  // Row 0 of the matrix gives x': a matrix with M[0][1] = 1 and zero elsewhere in row 0 maps (x, y, z) to x' = y.
  Matrix4f m = IdentityMatrix();
  m[0] = 0;
  m[1] = 1;
  ExpectPoint(TransformPoint(MakeVector(5, 7, 9), m), 7, 7, 9);
}

TEST(MatrixProductOrder, TranslationThenScaleIsBTimesA) {
  // MatrixProduct(A, B) = B.A, C[r][c] = sum_k B[r][k] A[k][c]: with A a translation and B a scale, the rows 0-2
  // of C are A's rows times the scale; row 3 is B's row 3, (0, 0, 0, 1), times A, that is A's translation row.
  const Matrix4f c = MatrixProduct(TranslationMatrix(1, 2, 3), ScaleMatrix(2, 4, 8));
  EXPECT_EQ(c[0], 2.0f);
  EXPECT_EQ(c[5], 4.0f);
  EXPECT_EQ(c[10], 8.0f);
  EXPECT_EQ(c[12], 1.0f);
  EXPECT_EQ(c[13], 2.0f);
  EXPECT_EQ(c[14], 3.0f);
  EXPECT_EQ(c[15], 1.0f);
  // The other order, A.B, takes A's row 3 through B: the translation comes out scaled.
  const Matrix4f d = MatrixProduct(ScaleMatrix(2, 4, 8), TranslationMatrix(1, 2, 3));
  EXPECT_EQ(d[12], 2.0f);
  EXPECT_EQ(d[13], 8.0f);
  EXPECT_EQ(d[14], 24.0f);
}

TEST(Rotations, QuarterTurnsFollowTheirTables) {
  const float q = std::numbers::pi_v<float> / 2;
  // RotationZ: M[0][1] = sin, so x' = cos x + sin y: (0, 1, 0) goes to (1, 0, 0).
  ExpectPoint(TransformPoint(MakeVector(0, 1, 0), RotationZ(q)), 1, 0, 0);
  // RotationX: y' = cos y + sin z: (0, 0, 1) goes to (0, 1, 0).
  ExpectPoint(TransformPoint(MakeVector(0, 0, 1), RotationX(q)), 0, 1, 0);
  // RotationY: x' = cos x - sin z: (0, 0, 1) goes to (-1, 0, 0).
  ExpectPoint(TransformPoint(MakeVector(0, 0, 1), RotationY(q)), -1, 0, 0);
}

TEST(Vectors, NormalizingTheZeroVectorGivesNoNaN) {
  ExpectPoint(Normalize(MakeVector(0, 0, 5)), 0, 0, 1);
  const Vector3f n = Normalize(MakeVector(0, 0, 0));
  EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
  ExpectPoint(n, 0, 0, 0);
}

} // namespace
} // namespace corvatin
