#include "shell/options_dialog.h"

#include "core/settings.h"
#include "outputs/result_files.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvatin::shell {

TOptionsDialog::TOptionsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("options");
  setWindowTitle("Options");
  folder_ = new QLineEdit(QString::fromStdString(Registry().ReadString(kResultFolderKey, "")), this);
  folder_->setObjectName("resultFolder");
  folder_->setMinimumWidth(320);
  auto* browse = new QToolButton(this);
  browse->setText("...");
  connect(browse, &QToolButton::clicked, this, [this] {
    const QString chosen = Dialogs().ChooseFolder(this, "Select folder", folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
  });
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);

  std::vector<std::string> recent;
  Registry().ReadStringList(kRecentFilesKey, recent);
  auto* clear = new QPushButton("Forget the recent files", this);
  clear->setEnabled(!recent.empty());
  connect(clear, &QPushButton::clicked, this, [this, clear] {
    clearRecent_ = true;
    clear->setEnabled(false);
  });

  auto* form = new QFormLayout;
  form->addRow("Output folder:", folderRow);
  form->addRow("Recent files:", clear);
  auto* note = new QLabel("Result files are appended to in the output folder; an empty folder means the "
                          "program's folder.",
                          this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Save();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addStretch(1);
  layout->addWidget(buttons);
}

void TOptionsDialog::Save() {
  Registry().WriteString(kResultFolderKey, folder_->text().trimmed().toStdString());
  if (clearRecent_) Registry().WriteStringList(kRecentFilesKey, {});
}

} // namespace corvatin::shell
