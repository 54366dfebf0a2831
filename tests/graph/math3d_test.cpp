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

TEST(MatrixLayout, TranslationSitsInTheLastRow) {
  const Matrix4f t = TranslationMatrix(1, 2, 3);
  EXPECT_EQ(t[12], 1.0f);
  EXPECT_EQ(t[13], 2.0f);
  EXPECT_EQ(t[14], 3.0f);
  EXPECT_EQ(t[15], 1.0f);
  EXPECT_EQ(t[3], 0.0f);
}

TEST(MatrixLayout, TransformPointAddsTheTranslation) {
  ExpectPoint(TransformPoint(MakeVector(1, 2, 3), TranslationMatrix(1, 1, 1)), 2, 3, 4);
}

TEST(MatrixLayout, TransformPointUsesTheRowsOfTheRotationBlock) {
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

TEST(MatrixProductOrder, ProductIsBTimesA) {
  // Two matrices that do not commute: C[r][c] = sum_k B[r][k] A[k][c].
  Matrix4f a{};
  Matrix4f b{};
  for (int i = 0; i < 16; ++i) {
    a[static_cast<size_t>(i)] = static_cast<float>(i + 1);
    b[static_cast<size_t>(i)] = static_cast<float>((i * 7) % 5 - 2);
  }
  const Matrix4f c = MatrixProduct(a, b);
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col) {
      float sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += b[static_cast<size_t>(4 * r + k)] * a[static_cast<size_t>(4 * k + col)];
      EXPECT_EQ(c[static_cast<size_t>(4 * r + col)], sum) << r << "," << col;
    }
  // Row 0 of B = (-2, 0, 2, -1) against A's columns: -2*1 + 0*5 + 2*9 - 1*13 = 3.
  EXPECT_EQ(c[0], 3.0f);
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

TEST(Rotations, KeepLengths) {
  const Vector3f p = MakeVector(1, -2, 3);
  const Matrix4f m = MatrixProduct(MatrixProduct(RotationX(0.3f), RotationY(-1.1f)), RotationZ(2.0f));
  EXPECT_NEAR(VectorLength(TransformPoint(p, m)), VectorLength(p), 1e-5f);
}

TEST(Vectors, LengthDotAndNormalize) {
  EXPECT_FLOAT_EQ(VectorLength(MakeVector(3, 4, 12)), 13.0f);
  EXPECT_FLOAT_EQ(Dot(MakeVector(1, 2, 3), MakeVector(4, -5, 6)), 12.0f);
  ExpectPoint(DivideVector(MakeVector(2, 4, 6), 2), 1, 2, 3);
  ExpectPoint(Normalize(MakeVector(0, 0, 5)), 0, 0, 1);
  ExpectPoint(Cross(MakeVector(1, 0, 0), MakeVector(0, 1, 0)), 0, 0, 1);
}

TEST(Vectors, NormalizingTheZeroVectorGivesNoNaN) {
  const Vector3f n = Normalize(MakeVector(0, 0, 0));
  EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
  ExpectPoint(n, 0, 0, 0);
}

} // namespace
} // namespace corvatin
