#pragma once
// Dense row-major matrix of doubles, used by descriptor calculations and matrix parameters.

#include "core/object.h"

#include <cstdint>
#include <vector>

namespace corvatin {

/// A dense matrix of doubles; element (r, c) lives at r * columns + c. Operations in the classic slot order.
class IDoubleMatrix : public virtual IObject {
public:
  virtual void Clear() = 0;                                          ///< all elements 0.0
  virtual void Empty() = 0;                                          ///< resize to 0 x 0
  virtual void Identity() = 0;                                       ///< 0.0, then (i, i) = 1.0 for i < columns
  virtual void Assign(const IDoubleMatrix& m) = 0;                   ///< copy elements; sizes must match
  virtual void AssignDiagonal(const IDoubleMatrix& m) = 0;           ///< Assign, then zero off-diagonal
  virtual double Trace() const = 0;                                  ///< sum of (i, i) for i < columns
  virtual double ColumnSum(int c) const = 0;                         ///< sum of (r, c) over rows
  virtual void Add(const IDoubleMatrix& a, const IDoubleMatrix& b) = 0;      ///< this = a + b
  virtual void Subtract(const IDoubleMatrix& a, const IDoubleMatrix& b) = 0; ///< this = a - b
  virtual void Multiply(const IDoubleMatrix& a, const IDoubleMatrix& b) = 0; ///< this = a x b (aliasing safe)
  virtual void Power(const IDoubleMatrix& a, std::uint8_t n) = 0;    ///< this = a^n; n < 2 copies a
  virtual void Sum(const std::vector<Ptr<IDoubleMatrix>>& list) = 0; ///< Clear, then add every matrix in order
  virtual void DeleteRow(int r) = 0;
  virtual void DeleteColumn(int c) = 0;
  virtual int GetColumnCount() const = 0;
  virtual void SetColumnCount(int n) = 0; ///< keeps (r, c) positions; new columns 0.0
  virtual int GetRowCount() const = 0;
  virtual void SetRowCount(int n) = 0;    ///< new rows 0.0
  virtual int GetSize() const = 0;        ///< the column count (square matrices)
  virtual void SetSize(int n) = 0;        ///< both counts n
  virtual double* GetData() = 0;          ///< the buffer, for bulk copies
  virtual const double* GetData() const = 0;
  virtual double Get(int r, int c) const = 0;
  virtual void Set(int r, int c, double value) = 0;
};

/// The matrix implementation. Index errors throw std::out_of_range and size mismatches std::invalid_argument
/// instead of touching memory outside the buffer.
class TDoubleMatrix : public virtual IDoubleMatrix {
public:
  TDoubleMatrix(int columns = 0, int rows = 0);
  explicit TDoubleMatrix(const IDoubleMatrix& source);

  void Clear() override;
  void Empty() override;
  void Identity() override;
  void Assign(const IDoubleMatrix& m) override;
  void AssignDiagonal(const IDoubleMatrix& m) override;
  double Trace() const override;
  double ColumnSum(int c) const override;
  void Add(const IDoubleMatrix& a, const IDoubleMatrix& b) override;
  void Subtract(const IDoubleMatrix& a, const IDoubleMatrix& b) override;
  void Multiply(const IDoubleMatrix& a, const IDoubleMatrix& b) override;
  void Power(const IDoubleMatrix& a, std::uint8_t n) override;
  void Sum(const std::vector<Ptr<IDoubleMatrix>>& list) override;
  void DeleteRow(int r) override;
  void DeleteColumn(int c) override;
  int GetColumnCount() const override { return columns_; }
  void SetColumnCount(int n) override;
  int GetRowCount() const override { return rows_; }
  void SetRowCount(int n) override;
  int GetSize() const override { return columns_; }
  void SetSize(int n) override;
  double* GetData() override { return data_.data(); }
  const double* GetData() const override { return data_.data(); }
  double Get(int r, int c) const override;
  void Set(int r, int c, double value) override;

private:
  void CheckIndex(int r, int c) const;
  void CheckSameSize(const IDoubleMatrix& m) const;

  int columns_ = 0;
  int rows_ = 0;
  std::vector<double> data_;
};

/// A new zero matrix with the given size.
inline Ptr<IDoubleMatrix> NewMatrix(int columns, int rows) { return std::make_shared<TDoubleMatrix>(columns, rows); }

} // namespace corvatin
