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
  if (m.GetColumnCount() != columns_ || m.GetRowCount() != rows_)
    throw std::invalid_argument("matrix sizes differ");
}

void TDoubleMatrix::Clear() { std::fill(data_.begin(), data_.end(), 0.0); }

void TDoubleMatrix::Empty() {
  columns_ = rows_ = 0;
  data_.clear();
}

void TDoubleMatrix::Identity() {
  Clear();
  for (int i = 0; i < columns_ && i < rows_; ++i) data_[static_cast<size_t>(i) * columns_ + i] = 1.0;
}

void TDoubleMatrix::Assign(const IDoubleMatrix& m) {
  if (&m == this) return;
  CheckSameSize(m);
  std::copy(m.GetData(), m.GetData() + data_.size(), data_.begin());
}

void TDoubleMatrix::AssignDiagonal(const IDoubleMatrix& m) {
  Assign(m);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c)
      if (r != c) data_[static_cast<size_t>(r) * columns_ + c] = 0.0;
}

double TDoubleMatrix::Trace() const {
  long double sum = 0.0L;
  for (int i = 0; i < columns_ && i < rows_; ++i) sum += data_[static_cast<size_t>(i) * columns_ + i];
  return static_cast<double>(sum);
}

double TDoubleMatrix::ColumnSum(int c) const {
  if (c < 0 || c >= columns_) throw std::out_of_range("matrix column " + std::to_string(c));
  long double sum = 0.0L;
  for (int r = 0; r < rows_; ++r) sum += data_[static_cast<size_t>(r) * columns_ + c];
  return static_cast<double>(sum);
}

void TDoubleMatrix::Add(const IDoubleMatrix& a, const IDoubleMatrix& b) {
  CheckSameSize(a);
  CheckSameSize(b);
  const double* pa = a.GetData();
  const double* pb = b.GetData();
  for (size_t i = 0; i < data_.size(); ++i) data_[i] = pa[i] + pb[i];
}

void TDoubleMatrix::Subtract(const IDoubleMatrix& a, const IDoubleMatrix& b) {
  CheckSameSize(a);
  CheckSameSize(b);
  const double* pa = a.GetData();
  const double* pb = b.GetData();
  for (size_t i = 0; i < data_.size(); ++i) data_[i] = pa[i] - pb[i];
}

void TDoubleMatrix::Multiply(const IDoubleMatrix& a, const IDoubleMatrix& b) {
  const int n = a.GetColumnCount();
  if (b.GetRowCount() < n || a.GetRowCount() < rows_ || b.GetColumnCount() < columns_)
    throw std::invalid_argument("matrix sizes do not fit a product");
  // Accumulate into a temporary so that this matrix may also be a factor.
  std::vector<double> result(data_.size(), 0.0);
  const double* pa = a.GetData();
  const double* pb = b.GetData();
  const int bc = b.GetColumnCount();
  for (int i = 0; i < rows_; ++i) {
    double* row = result.data() + static_cast<size_t>(i) * columns_;
    for (int k = 0; k < n; ++k) {
      const double aik = pa[static_cast<size_t>(i) * n + k];
      if (aik == 0.0) continue;
      const double* brow = pb + static_cast<size_t>(k) * bc;
      for (int j = 0; j < columns_; ++j) row[j] += aik * brow[j];
    }
  }
  data_.swap(result);
}

void TDoubleMatrix::Power(const IDoubleMatrix& a, std::uint8_t n) {
  TDoubleMatrix base(a);
  Assign(base);
  for (int i = 1; i < n; ++i) Multiply(*this, base);
}

void TDoubleMatrix::Sum(const std::vector<Ptr<IDoubleMatrix>>& list) {
  Clear();
  for (const auto& m : list)
    if (m) Add(*this, *m);
}

void TDoubleMatrix::DeleteRow(int r) {
  if (r < 0 || r >= rows_) throw std::out_of_range("matrix row " + std::to_string(r));
  auto first = data_.begin() + static_cast<std::ptrdiff_t>(r) * columns_;
  data_.erase(first, first + columns_);
  --rows_;
}

void TDoubleMatrix::DeleteColumn(int c) {
  if (c < 0 || c >= columns_) throw std::out_of_range("matrix column " + std::to_string(c));
  std::vector<double> next;
  next.reserve(static_cast<size_t>(columns_ - 1) * rows_);
  for (int r = 0; r < rows_; ++r)
    for (int j = 0; j < columns_; ++j)
      if (j != c) next.push_back(data_[static_cast<size_t>(r) * columns_ + j]);
  data_.swap(next);
  --columns_;
}

void TDoubleMatrix::SetColumnCount(int n) {
  CheckedCount(n);
  if (n == columns_) return;
  std::vector<double> next(static_cast<size_t>(n) * rows_, 0.0);
  const int keep = std::min(n, columns_);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < keep; ++c) next[static_cast<size_t>(r) * n + c] = data_[static_cast<size_t>(r) * columns_ + c];
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
