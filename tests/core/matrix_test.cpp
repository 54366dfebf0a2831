#include "core/matrix.h"

#include <gtest/gtest.h>

using namespace corvatin;

namespace {
TDoubleMatrix Make2x2(double a, double b, double c, double d) {
  TDoubleMatrix m(2, 2);
  m.Set(0, 0, a);
  m.Set(0, 1, b);
  m.Set(1, 0, c);
  m.Set(1, 1, d);
  return m;
}
} // namespace

TEST(MatrixPower, ExponentsZeroAndOneLeaveACopy) {
  TDoubleMatrix a = Make2x2(1, 2, 3, 4), p(2, 2);
  p.Power(a, 0);
  EXPECT_EQ(p.Get(1, 0), 3);
  p.Power(a, 1);
  EXPECT_EQ(p.Get(0, 1), 2);
}

TEST(MatrixPower, CubeIsThreeFoldProduct) {
  TDoubleMatrix a = Make2x2(1, 2, 3, 4), p(2, 2);
  p.Power(a, 3);
  // [[1,2],[3,4]]^3 = [[37,54],[81,118]]
  EXPECT_EQ(p.Get(0, 0), 37);
  EXPECT_EQ(p.Get(0, 1), 54);
  EXPECT_EQ(p.Get(1, 0), 81);
  EXPECT_EQ(p.Get(1, 1), 118);
}

TEST(MatrixMultiply, SquaringInPlaceUsesATemporary) {
  TDoubleMatrix m = Make2x2(1, 2, 3, 4);
  m.Multiply(m, m);
  EXPECT_EQ(m.Get(0, 0), 7);
  EXPECT_EQ(m.Get(0, 1), 10);
  EXPECT_EQ(m.Get(1, 0), 15);
  EXPECT_EQ(m.Get(1, 1), 22);
}

TEST(MatrixResize, NewColumnsAreZeroAndOldElementsKeepTheirPlace) {
  TDoubleMatrix m = Make2x2(1, 2, 3, 4);
  m.SetColumnCount(3);
  EXPECT_EQ(m.Get(1, 0), 3);
  EXPECT_EQ(m.Get(1, 1), 4);
  EXPECT_EQ(m.Get(0, 2), 0);
  EXPECT_EQ(m.Get(1, 2), 0);
  m.DeleteColumn(0);
  EXPECT_EQ(m.Get(1, 0), 4);
  m.DeleteRow(0);
  EXPECT_EQ(m.GetRowCount(), 1);
  EXPECT_EQ(m.Get(0, 0), 4);
}

TEST(MatrixSafety, IndexAndSizeErrorsAreExceptionsNotMemoryErrors) {
  TDoubleMatrix m(2, 2), other(3, 3);
  EXPECT_THROW(m.Get(2, 0), std::out_of_range);
  EXPECT_THROW(m.Set(0, -1, 1.0), std::out_of_range);
  EXPECT_THROW(m.Assign(other), std::invalid_argument);
  EXPECT_THROW(m.DeleteRow(5), std::out_of_range);
}

TEST(MatrixBasics, IdentityTraceAndColumnSum) {
  TDoubleMatrix m(3, 3);
  m.Identity();
  EXPECT_EQ(m.Trace(), 3);
  TDoubleMatrix a = Make2x2(1, 2, 3, 4);
  EXPECT_EQ(a.ColumnSum(1), 6);
  TDoubleMatrix d(2, 2);
  d.AssignDiagonal(a);
  EXPECT_EQ(d.Get(0, 1), 0);
  EXPECT_EQ(d.Get(1, 1), 4);
}
