#pragma once
// The procedure tree's model: one top-level row per procedure, under it one row per block that has parameters.

#include "blocks/package.h"

#include <QAbstractItemModel>

#include <vector>

namespace corvatin::shell {

class TProcedureModel : public QAbstractItemModel {
  Q_OBJECT
public:
  using QAbstractItemModel::QAbstractItemModel;

  /// Appends a procedure row with its block rows.
  void AddPackage(const Ptr<IPackage>& package);
  const std::vector<Ptr<IPackage>>& Packages() const { return packages_; }
  /// The procedure of a row or of its block row; none for an invalid index.
  Ptr<IPackage> PackageAt(const QModelIndex& index) const;
  /// The block of a block row; none for procedure rows.
  Ptr<IBlock> BlockAt(const QModelIndex& index) const;
  /// The procedure row captioned name (invalid when none).
  QModelIndex FindPackage(const QString& name) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  // internalId: 0 for procedure rows, 1 + the procedure's row for block rows.
  std::vector<Ptr<IPackage>> packages_;
  std::vector<std::vector<Ptr<IBlock>>> blocks_;
};

} // namespace corvatin::shell
