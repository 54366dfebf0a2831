#include "core/matrix.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvatin;

TEST(MatrixResize, NewColumnsAndRowsAreZeroAndOldElementsKeepTheirPlace) {
  // As the MOPAC readers grow a matrix while they read its columns.
  TDoubleMatrix m(2, 2);
  m.Set(1, 0, 3);
  m.Set(1, 1, 4);
  m.SetColumnCount(3);
  m.SetRowCount(3);
  EXPECT_EQ(m.Get(1, 0), 3);
  EXPECT_EQ(m.Get(1, 1), 4);
  EXPECT_EQ(m.Get(1, 2), 0);
  EXPECT_EQ(m.Get(2, 1), 0);
  EXPECT_EQ(m.ColumnSum(1), 4);
}

TEST(MatrixSafety, IndexAndSizeErrorsAreExceptionsNotMemoryErrors) {
  TDoubleMatrix m(2, 2), other(3, 3);
  EXPECT_THROW(m.Get(2, 0), std::out_of_range);
  EXPECT_THROW(m.Get(0, 2), std::out_of_range);
  EXPECT_THROW(m.Set(0, -1, 1.0), std::out_of_range);
  EXPECT_THROW(m.ColumnSum(2), std::out_of_range);
  EXPECT_THROW(m.Assign(other), std::invalid_argument);
  EXPECT_THROW(m.SetRowCount(-1), std::invalid_argument);
}

TEST(MatrixAlgebra, ProductsPowersDiagonalsAndDeletionsOnASmallMatrix) {
  TDoubleMatrix a(2, 2), p(2, 2);
  a.Set(0, 0, 1), a.Set(0, 1, 2), a.Set(1, 0, 3), a.Set(1, 1, 4);
  p.Power(a, 3); // [[1,2],[3,4]]^3 = [[37,54],[81,118]]
  EXPECT_EQ(std::vector<double>(p.GetData(), p.GetData() + 4), (std::vector<double>{37, 54, 81, 118}));
  p.Power(a, 0); // n < 2 copies
  EXPECT_EQ(p.Get(1, 0), 3);
  p.Assign(a);
  p.Multiply(p, p); // squaring in place must not read its own half-written result
  EXPECT_EQ(std::vector<double>(p.GetData(), p.GetData() + 4), (std::vector<double>{7, 10, 15, 22}));
  p.Sum({std::make_shared<TDoubleMatrix>(a), std::make_shared<TDoubleMatrix>(a)});
  p.Subtract(p, a);
  EXPECT_EQ(p.Get(1, 1), 4);
  p.AssignDiagonal(a);
  EXPECT_EQ(p.Get(0, 1), 0);
  EXPECT_EQ(p.Trace(), 5);
  p.Identity();
  EXPECT_EQ(p.Trace(), 2);
  a.DeleteColumn(0);
  a.DeleteRow(0);
  EXPECT_EQ(a.GetRowCount(), 1);
  EXPECT_EQ(a.Get(0, 0), 4);
  EXPECT_THROW(a.DeleteRow(5), std::out_of_range);
}
