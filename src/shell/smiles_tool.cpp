#include "shell/smiles_tool.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace corvatin::shell {

TSmilesTool::TSmilesTool(QWidget* parent) : QWidget(parent) {
  setObjectName("smilesTool");
  setWindowTitle("SMILES");
  field_ = new QLineEdit(this);
  field_->setPlaceholderText("SMILES, for example c1ccccc1O");
  button_ = new QPushButton("Calculate", this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(field_, 1);
  layout->addWidget(button_);
  const auto ask = [this] { emit newStructure(field_->text()); };
  connect(button_, &QPushButton::clicked, this, ask);
  connect(field_, &QLineEdit::returnPressed, this, ask);
}

} // namespace corvatin::shell
