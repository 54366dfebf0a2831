#include "core/matrix.h"

#include <gtest/gtest.h>

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
