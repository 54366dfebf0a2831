#include "core/matrix.h"

#include <stdexcept>
#include <string>

namespace corvatin {

namespace {
int CheckedCount(int n) {
  if (n < 0) throw std::invalid_argument("negative matrix dimension " + std::to_string(n));
  return n;
}
} // namespace

TDoubleMatrix::TDoubleMatrix(int columns, int rows)
    : columns_(CheckedCount(columns)), rows_(CheckedCount(rows)),
      data_(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), 0.0) {}

TDoubleMatrix::TDoubleMatrix(const IDoubleMatrix& source)
    : columns_(source.GetColumnCount()), rows_(source.GetRowCount()),
      data_(source.GetData(), source.GetData() + static_cast<size_t>(columns_) * rows_) {}

void TDoubleMatrix::CheckIndex(int r, int c) const {
  if (r < 0 || r >= rows_ || c < 0 || c >= columns_)
    throw std::out_of_range("matrix index (" + std::to_string(r) + ", " + std::to_string(c) + ") outside " +
                            std::to_string(rows_) + " x " + std::to_string(columns_));
}

void TDoubleMatrix::CheckSameSize(const IDoubleMatrix& m) const {
  if (m.GetColumnCount() != columns_ || m.GetRowCount() != rows_) throw std::invalid_argument("matrix sizes differ");
}

void TDoubleMatrix::Clear() { std::fill(data_.begin(), data_.end(), 0.0); }

void TDoubleMatrix::Assign(const IDoubleMatrix& m) {
  if (&m == this) return;
  CheckSameSize(m);
  std::copy(m.GetData(), m.GetData() + data_.size(), data_.begin());
}

double TDoubleMatrix::ColumnSum(int c) const {
  if (c < 0 || c >= columns_) throw std::out_of_range("matrix column " + std::to_string(c));
  long double sum = 0.0L;
  for (int r = 0; r < rows_; ++r)
    sum += data_[static_cast<size_t>(r) * columns_ + c];
  return static_cast<double>(sum);
}

void TDoubleMatrix::SetColumnCount(int n) {
  CheckedCount(n);
  if (n == columns_) return;
  std::vector<double> next(static_cast<size_t>(n) * rows_, 0.0);
  const int keep = std::min(n, columns_);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < keep; ++c)
      next[static_cast<size_t>(r) * n + c] = data_[static_cast<size_t>(r) * columns_ + c];
  data_.swap(next);
  columns_ = n;
}

void TDoubleMatrix::SetRowCount(int n) {
  CheckedCount(n);
  data_.resize(static_cast<size_t>(n) * columns_, 0.0);
  rows_ = n;
}

void TDoubleMatrix::SetSize(int n) {
  SetColumnCount(n);
  SetRowCount(n);
}

double TDoubleMatrix::Get(int r, int c) const {
  CheckIndex(r, c);
  return data_[static_cast<size_t>(r) * columns_ + c];
}

void TDoubleMatrix::Set(int r, int c, double value) {
  CheckIndex(r, c);
  data_[static_cast<size_t>(r) * columns_ + c] = value;
}

} // namespace corvatin
