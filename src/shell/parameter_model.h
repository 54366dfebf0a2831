#pragma once
// The property inspector's model: the rows of a parameter list as a two-column tree (name, value). A parameter
// that heads a group has its members as child rows; names expected but missing (values the classifier knows
// but the item does not hold yet) follow as rows without a parameter.

#include "core/parameters.h"

#include <QAbstractItemModel>
#include <QStringList>

#include <vector>

namespace corvatin::shell {

class TParamEdit;

class TParameterModel : public QAbstractItemModel, public IListener, public IParamObserver {
  Q_OBJECT
public:
  /// The editor kind of a value cell (EditorKind as int), -1 for read-only rows.
  static constexpr int EditorKindRole = Qt::UserRole + 1;
  /// True for rows whose value is missing.
  static constexpr int MissingRole = Qt::UserRole + 2;

  explicit TParameterModel(QObject* parent = nullptr);
  ~TParameterModel() override;

  /// Shows list (none: nothing); hosts are the notifiers that announce its changes; missing names are appended.
  void SetList(const Ptr<IParamList>& list, const std::vector<INotifierHost*>& hosts, const QStringList& missing);
  const Ptr<IParamList>& List() const { return list_; }
  /// Whether any row stands for a missing value.
  bool HasMissing() const;
  /// The parameter of a row (none for missing rows and invalid indexes).
  Ptr<IParameter> ParameterAt(const QModelIndex& index) const;
  /// The editor link of a value cell, none when read-only.
  TParamEdit* EditorAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  /// Commits text through the row's editor; false (value kept, commitFailed emitted) when it does not convert.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  void Notify(int, IObject*, const std::any&) override {}
  void ParametersChanged() override;
  void ParameterChanged(IParameter* param) override;

signals:
  void commitFailed(const QString& message);

private:
  struct Row {
    QString name;
    Ptr<IParameter> param;
    int parent = -1;           ///< index into rows_ of the group head, -1 at top level
    std::vector<int> children; ///< indexes into rows_
  };
  void Rebuild();
  void Unsubscribe();
  int RowIndex(const QModelIndex& index) const { return index.isValid() ? int(index.internalId()) : -1; }
  const std::vector<int>& ChildrenOf(int rowIndex) const {
    return rowIndex < 0 ? top_ : rows_[size_t(rowIndex)].children;
  }

  Ptr<IParamList> list_;
  std::vector<INotifierHost*> hosts_;
  QStringList missing_;
  std::vector<Row> rows_;
  std::vector<int> top_;
};

} // namespace corvatin::shell
