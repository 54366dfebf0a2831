#include "shell/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace corvatin::shell {

bool TQtDialogService::AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
  return QMessageBox::warning(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

void TQtDialogService::Inform(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
  switch (icon) {
  case MessageIcon::Information: QMessageBox::information(parent, caption, text); break;
  case MessageIcon::Warning: QMessageBox::warning(parent, caption, text); break;
  case MessageIcon::Error: QMessageBox::critical(parent, caption, text); break;
  }
}

QStringList TQtDialogService::OpenFiles(QWidget* parent, const QString& caption, const QString& start,
                                        const QString& filter) {
  return QFileDialog::getOpenFileNames(parent, caption, start, filter);
}

QString TQtDialogService::OpenFile(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString TQtDialogService::SaveFile(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filter) {
  return QFileDialog::getSaveFileName(parent, caption, start, filter);
}

QString TQtDialogService::ChooseFolder(QWidget* parent, const QString& caption, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, caption, start);
}

QColor TQtDialogService::ChooseColor(QWidget* parent, const QColor& initial) {
  return QColorDialog::getColor(initial, parent);
}

namespace {
IDialogService* installed = nullptr;
}

IDialogService& Dialogs() {
  static TQtDialogService real;
  return installed ? *installed : real;
}

void SetDialogs(IDialogService* service) { installed = service; }

} // namespace corvatin::shell
