#pragma once
// The controls of the six editor kinds over the inspector's value cells: one-line edits for text and numbers, a
// "yes"/"no" check box, a file-name edit with a "..." button, and a drop-down list.

#include <QStyledItemDelegate>

namespace corvatin::shell {

class TParameterDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

/// The "..." button's choice for a file-name editor: a folder, or files joined with "; "; empty when cancelled.
/// The folder chosen last is remembered under the editor's settings path.
QString ChooseFileName(QWidget* parent, const class TParamEdit& edit, const QString& current);

} // namespace corvatin::shell
