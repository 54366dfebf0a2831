#include "shell/procedure_model.h"

namespace corvatin::shell {

void TProcedureModel::AddPackage(const Ptr<IPackage>& package) {
  std::vector<Ptr<IBlock>> shown;
  for (int i = 0; i < package->GetBlockCount(); ++i) {
    Ptr<IBlock> block = package->GetBlock(i);
    // Only blocks with something to set get a row.
    if (auto list = std::dynamic_pointer_cast<IParamList>(block); list && list->Count() > 0) shown.push_back(block);
  }
  const int row = int(packages_.size());
  beginInsertRows({}, row, row);
  packages_.push_back(package);
  blocks_.push_back(std::move(shown));
  endInsertRows();
}

Ptr<IPackage> TProcedureModel::PackageAt(const QModelIndex& index) const {
  if (!index.isValid()) return nullptr;
  const size_t p = index.internalId() == 0 ? size_t(index.row()) : size_t(index.internalId() - 1);
  return p < packages_.size() ? packages_[p] : nullptr;
}

Ptr<IBlock> TProcedureModel::BlockAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == 0) return nullptr;
  return blocks_[size_t(index.internalId() - 1)][size_t(index.row())];
}

QModelIndex TProcedureModel::FindPackage(const QString& name) const {
  for (size_t i = 0; i < packages_.size(); ++i)
    if (QString::fromStdString(packages_[i]->GetName()) == name) return index(int(i), 0);
  return {};
}

QModelIndex TProcedureModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) return row < int(packages_.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
  if (parent.internalId() != 0) return {};
  const size_t p = size_t(parent.row());
  if (p >= blocks_.size() || row >= int(blocks_[p].size())) return {};
  return createIndex(row, 0, quintptr(p + 1));
}

QModelIndex TProcedureModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == 0) return {};
  return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int TProcedureModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return int(packages_.size());
  if (parent.column() != 0 || parent.internalId() != 0) return 0;
  return int(blocks_[size_t(parent.row())].size());
}

int TProcedureModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TProcedureModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  if (const Ptr<IBlock> block = BlockAt(index)) return QString::fromStdString(block->GetName());
  return QString::fromStdString(PackageAt(index)->GetName());
}

} // namespace corvatin::shell
