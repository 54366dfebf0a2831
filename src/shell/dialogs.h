#pragma once
// Every question and message box of the workbench goes through one service, so tests answer them without a
// window and the texts can be checked.

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

namespace corvatin::shell {

/// Icon of a message.
enum class MessageIcon { Information, Warning, Error };

/// Questions, messages and file/colour choosers shown to the user.
class IDialogService {
public:
  virtual ~IDialogService() = default;
  /// A Yes/No question with a warning icon; true on Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
  /// A message with an OK button.
  virtual void Inform(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  /// Several existing files; empty when cancelled.
  virtual QStringList OpenFiles(QWidget* parent, const QString& caption, const QString& start,
                                const QString& filter) = 0;
  /// One existing file; empty when cancelled.
  virtual QString OpenFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter) = 0;
  /// A file to write; empty when cancelled.
  virtual QString SaveFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter) = 0;
  /// An existing folder; empty when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& caption, const QString& start) = 0;
  /// A colour; invalid when cancelled.
  virtual QColor ChooseColor(QWidget* parent, const QColor& initial) = 0;
};

/// The real dialogs (QMessageBox, QFileDialog, QColorDialog).
class TQtDialogService : public IDialogService {
public:
  bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
  void Inform(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  QStringList OpenFiles(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
  QString OpenFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
  QString SaveFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& caption, const QString& start) override;
  QColor ChooseColor(QWidget* parent, const QColor& initial) override;
};

/// The process-wide service (the real dialogs unless a test installed another); never null.
IDialogService& Dialogs();
/// Installs a service (not owned); nullptr restores the real dialogs.
void SetDialogs(IDialogService* service);

} // namespace corvatin::shell
