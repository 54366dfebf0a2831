#pragma once
// The options dialog: what the settings store keeps for the workbench (the folder of result files, the list of
// recently opened files).

#include <QDialog>

class QLineEdit;

namespace corvatin::shell {

class TOptionsDialog : public QDialog {
  Q_OBJECT
public:
  explicit TOptionsDialog(QWidget* parent = nullptr);
  QLineEdit* ResultFolder() const { return folder_; }
  /// Writes the values to the settings store.
  void Save();

private:
  QLineEdit* folder_;
  bool clearRecent_ = false;
};

} // namespace corvatin::shell
