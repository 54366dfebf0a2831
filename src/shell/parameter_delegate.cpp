#include "shell/parameter_delegate.h"

#include "core/settings.h"
#include "shell/dialogs.h"
#include "shell/param_editors.h"
#include "shell/parameter_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace corvatin::shell {

namespace {
constexpr int kRowHeight = 20;
constexpr int kButtonWidth = 20;

/// A line edit with a "..." button beside it.
class TFileNameControl : public QWidget {
public:
  TFileNameControl(QWidget* parent, const TParamEdit& edit) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    line = new QLineEdit(this);
    auto* button = new QToolButton(this);
    button->setText("...");
    button->setFixedWidth(kButtonWidth);
    layout->addWidget(line);
    layout->addWidget(button);
    setFocusProxy(line);
    connect(button, &QToolButton::clicked, this, [this, &edit] {
      const QString chosen = ChooseFileName(this, edit, line->text());
      if (!chosen.isEmpty()) line->setText(chosen);
    });
  }
  QLineEdit* line;
};
} // namespace

QString ChooseFileName(QWidget* parent, const TParamEdit& edit, const QString& current) {
  const std::string path = edit.settingsPath.toStdString();
  const QString remembered = path.empty() ? QString() : QString::fromStdString(Registry().ReadString(path, ""));
  QString chosen;
  if (edit.folderMode) {
    chosen = Dialogs().ChooseFolder(parent, "Select folder", current.isEmpty() ? remembered : current);
    if (!chosen.isEmpty() && !path.empty()) Registry().WriteString(path, chosen.toStdString());
    return chosen;
  }
  const QString first = current.split(';').value(0).trimmed();
  const QString start = first.isEmpty() ? remembered : first;
  const QString filter = QtFileFilter(edit.filter);
  QStringList files;
  if (edit.multiple)
    files = Dialogs().OpenFiles(parent, "Open", start, filter);
  else if (QString one = Dialogs().OpenFile(parent, "Open", start, filter); !one.isEmpty())
    files << one;
  if (files.isEmpty()) return {};
  if (!path.empty()) Registry().WriteString(path, QFileInfo(files.front()).absolutePath().toStdString());
  return files.join("; ");
}

QWidget* TParameterDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
  const auto* model = qobject_cast<const TParameterModel*>(index.model());
  TParamEdit* edit = model ? model->EditorAt(index) : nullptr;
  if (!edit) return nullptr;
  switch (edit->Kind()) {
  case EditorKind::Bool: {
    auto* box = new QCheckBox(parent);
    box->setAutoFillBackground(true);
    // The box commits as soon as it is toggled; the caption follows the state.
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
      box->setText(on ? "yes" : "no");
      emit const_cast<TParameterDelegate*>(this)->commitData(box);
    });
    return box;
  }
  case EditorKind::FileName:
    return new TFileNameControl(parent, *edit);
  case EditorKind::List: {
    auto* combo = new QComboBox(parent);
    combo->addItems(edit->choices);
    connect(combo, &QComboBox::activated, this,
            [this, combo] { emit const_cast<TParameterDelegate*>(this)->commitData(combo); });
    return combo;
  }
  default:
    return new QLineEdit(parent);
  }
}

void TParameterDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::EditRole).toString();
  if (auto* box = qobject_cast<QCheckBox*>(editor)) {
    const QSignalBlocker block(box);
    box->setChecked(text == "yes");
    box->setText(text == "yes" ? "yes" : "no");
  } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentText(text);
  } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setText(text);
  } else if (auto* file = dynamic_cast<TFileNameControl*>(editor)) {
    file->line->setText(text);
  }
}

void TParameterDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  QString text;
  if (auto* box = qobject_cast<QCheckBox*>(editor))
    text = box->isChecked() ? "yes" : "no";
  else if (auto* combo = qobject_cast<QComboBox*>(editor))
    text = combo->currentText();
  else if (auto* line = qobject_cast<QLineEdit*>(editor))
    text = line->text();
  else if (auto* file = dynamic_cast<TFileNameControl*>(editor))
    text = file->line->text();
  model->setData(index, text, Qt::EditRole);
}

void TParameterDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

void TParameterDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  opt.textElideMode = Qt::ElideRight;
  QStyledItemDelegate::paint(painter, opt, index);
  // The grey grid around every cell.
  painter->save();
  painter->setPen(QColor(192, 192, 192));
  painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

QSize TParameterDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
}

} // namespace corvatin::shell
