#pragma once
// The "SMILES" tool window: an edit field and a button; the button, or Enter in the field, asks for a new
// structure with the field's text.

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace corvatin::shell {

class TSmilesTool : public QWidget {
  Q_OBJECT
public:
  explicit TSmilesTool(QWidget* parent = nullptr);
  QLineEdit* Field() const { return field_; }
  QPushButton* Button() const { return button_; }

signals:
  void newStructure(const QString& smiles);

private:
  QLineEdit* field_;
  QPushButton* button_;
};

} // namespace corvatin::shell
