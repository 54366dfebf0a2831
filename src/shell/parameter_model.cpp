#include "shell/parameter_model.h"

#include "shell/param_editors.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace corvatin::shell {

TParameterModel::TParameterModel(QObject* parent) : QAbstractItemModel(parent) {}

TParameterModel::~TParameterModel() { Unsubscribe(); }

void TParameterModel::Unsubscribe() {
  for (INotifierHost* host : hosts_)
    host->Notifier().RemoveListener(this);
  hosts_.clear();
}

void TParameterModel::SetList(const Ptr<IParamList>& list, const std::vector<INotifierHost*>& hosts,
                              const QStringList& missing) {
  Unsubscribe();
  list_ = list;
  missing_ = missing;
  hosts_ = hosts;
  for (INotifierHost* host : hosts_)
    host->Notifier().Subscribe(peParametersChanged, this);
  Rebuild();
}

void TParameterModel::Rebuild() {
  beginResetModel();
  rows_.clear();
  top_.clear();
  const int count = list_ ? list_->Count() : 0;
  int head = -1, membersLeft = 0;
  for (int i = 0; i < count; ++i) {
    Row row{QString::fromStdString(list_->GetNameAt(i)), list_->GetParamAt(i), -1, {}};
    const int at = int(rows_.size());
    if (membersLeft > 0) {
      row.parent = head;
      rows_[size_t(head)].children.push_back(at);
      --membersLeft;
    } else {
      top_.push_back(at);
      // Groups do not nest: a head inside a group is shown as a plain member.
      if (row.param && row.param->GetGroupSize() > 0) {
        head = at;
        membersLeft = row.param->GetGroupSize();
      }
    }
    rows_.push_back(std::move(row));
  }
  for (const QString& name : missing_) {
    top_.push_back(int(rows_.size()));
    rows_.push_back(Row{name, nullptr, -1, {}});
  }
  endResetModel();
}

bool TParameterModel::HasMissing() const {
  for (const Row& r : rows_)
    if (!r.param) return true;
  return false;
}

Ptr<IParameter> TParameterModel::ParameterAt(const QModelIndex& index) const {
  const int r = RowIndex(index);
  return r < 0 ? nullptr : rows_[size_t(r)].param;
}

TParamEdit* TParameterModel::EditorAt(const QModelIndex& index) const {
  const Ptr<IParameter> p = ParameterAt(index);
  return p && index.column() == 1 ? EditorOf(*p) : nullptr;
}

QModelIndex TParameterModel::index(int row, int column, const QModelIndex& parent) const {
  if (column < 0 || column > 1 || (parent.isValid() && parent.column() != 0)) return {};
  const std::vector<int>& children = ChildrenOf(RowIndex(parent));
  if (row < 0 || row >= int(children.size())) return {};
  return createIndex(row, column, quintptr(children[size_t(row)]));
}

QModelIndex TParameterModel::parent(const QModelIndex& child) const {
  const int r = RowIndex(child);
  if (r < 0) return {};
  const int p = rows_[size_t(r)].parent;
  if (p < 0) return {};
  const std::vector<int>& siblings = ChildrenOf(rows_[size_t(p)].parent);
  const auto at = std::find(siblings.begin(), siblings.end(), p);
  return createIndex(int(at - siblings.begin()), 0, quintptr(p));
}

int TParameterModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return int(ChildrenOf(RowIndex(parent)).size());
}

int TParameterModel::columnCount(const QModelIndex&) const { return 2; }

QVariant TParameterModel::data(const QModelIndex& index, int role) const {
  const int r = RowIndex(index);
  if (r < 0) return {};
  const Row& row = rows_[size_t(r)];
  switch (role) {
  case Qt::DisplayRole:
  case Qt::EditRole:
    if (index.column() == 0) return row.name;
    return row.param ? QString::fromStdString(row.param->GetText()) : QString();
  case Qt::ForegroundRole:
    if (index.column() != 0) return {};
    if (!row.param) return QBrush(Qt::red);
    if (!EditorOf(*row.param)) return QBrush(Qt::gray);
    return {};
  case Qt::ToolTipRole:
    return row.param ? QString::fromStdString(row.param->GetText()) : QString();
  case EditorKindRole: {
    TParamEdit* edit = row.param ? EditorOf(*row.param) : nullptr;
    return edit ? int(edit->Kind()) : -1;
  }
  case MissingRole:
    return !row.param;
  default:
    return {};
  }
}

QVariant TParameterModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QString("Name") : QString("Value");
}

Qt::ItemFlags TParameterModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (EditorAt(index)) f |= Qt::ItemIsEditable;
  return f;
}

bool TParameterModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  TParamEdit* edit = EditorAt(index);
  if (!edit) return false;
  QString error;
  switch (edit->Commit(value.toString(), &error)) {
  case CommitResult::Invalid:
    emit commitFailed(error);
    return false;
  case CommitResult::Unchanged:
    return true;
  case CommitResult::Changed:
    // The container tells its observers (this model among them); a list that is not a container does not.
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(1));
    return true;
  }
  return false;
}

void TParameterModel::ParametersChanged() { Rebuild(); }

void TParameterModel::ParameterChanged(IParameter* param) {
  for (size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].param.get() == param) {
      const std::vector<int>& siblings = ChildrenOf(rows_[r].parent);
      const int row = int(std::find(siblings.begin(), siblings.end(), int(r)) - siblings.begin());
      emit dataChanged(createIndex(row, 0, quintptr(r)), createIndex(row, 1, quintptr(r)));
    }
}

} // namespace corvatin::shell
