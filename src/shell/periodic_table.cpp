#include "shell/periodic_table.h"

#include "shell/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace corvatin::shell {

namespace {

// Button geometry: 26 x 26 pixels on a 25-pixel pitch (neighbours share their border), grid origin (36, 35).
constexpr int kButtonSize = 26, kPitch = 25, kLeft = 36, kTop = 35, kRows = 10, kColumns = 18;

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
Color FromQColor(const QColor& c) { return MakeColor(c.red(), c.green(), c.blue()); }

std::array<Color, 16>& SharedCustomColors() {
  static std::array<Color, 16> colors = [] {
    std::array<Color, 16> white{};
    white.fill(MakeColor(255, 255, 255));
    return white;
  }();
  return colors;
}

/// One element: a flat toggle button showing the symbol in the element's working colour; it asks the window
/// before it goes down.
class TElementButton : public QAbstractButton {
public:
  TElementButton(TPeriodicTableForm& form, int z) : QAbstractButton(&form), form_(form), z_(z) {
    setCheckable(true);
    setText(QString::fromLatin1(ElementSymbol(z).data(), static_cast<int>(ElementSymbol(z).size())));
    setObjectName(text());
    setContextMenuPolicy(Qt::CustomContextMenu);
  }

protected:
  void nextCheckState() override {
    if (isChecked() || form_.CanPress()) QAbstractButton::nextCheckState();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QColor face = isChecked() ? QColor(255, 255, 255) : QColor(128, 128, 128);
    p.fillRect(rect(), face);
    p.setPen(QColor(64, 64, 64));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The symbol label sits 8 pixels below the button's top, centred, in the element's working colour.
    const Color c = ContrastColor(form_.WorkingColor(z_), FromQColor(face));
    QFont f = font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(ToQColor(c));
    p.drawText(QRect(0, 8, width(), height() - 8), Qt::AlignHCenter | Qt::AlignTop, text());
  }

private:
  TPeriodicTableForm& form_;
  int z_;
};

} // namespace

int GridElement(int row, int column) {
  if (column < 1 || column > kColumns) return 0;
  switch (row) {
  case 1:
    return column == 1 ? 1 : column == 18 ? 2 : 0;
  case 2:
  case 3: {
    const int before = row == 2 ? 2 : 10; // elements of the rows above
    return column <= 2 ? before + column : column >= 13 ? before + column - 10 : 0;
  }
  case 4:
    return 18 + column;
  case 5:
    return 36 + column;
  case 6:
    return column <= 2 ? 54 + column : 68 + column; // Cs, Ba, then Lu to Rn
  case 7:
    return column <= 2 ? 86 + column : column <= 9 ? 100 + column : 0; // Fr, Ra, then Lr to Mt
  case 9:
    return column >= 3 && column <= 16 ? 54 + column : 0; // La to Yb
  case 10:
    return column >= 3 && column <= 16 ? 86 + column : 0; // Ac to No
  default:
    return 0;
  }
}

TPeriodicTableForm::TPeriodicTableForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Periodic Table");
  setObjectName("PeriodicTable");
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= kColumns; ++c) {
      const int z = GridElement(r, c);
      if (z == 0) continue;
      auto* button = new TElementButton(*this, z);
      button->setGeometry((c - 1) * kPitch + kLeft, (r - 1) * kPitch + kTop, kButtonSize, kButtonSize);
      connect(button, &QWidget::customContextMenuRequested, this,
              [this, z, button](QPoint at) { ShowColorMenu(z, button->mapTo(this, at)); });
      buttons_[static_cast<size_t>(z)] = button;
    }
  const int gridBottom = kTop + (kRows - 1) * kPitch + kButtonSize;
  auto* bar = new QWidget(this);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* defaultList = new QPushButton("&Default list", bar);
  auto* defaultColors = new QPushButton("&Default colors", bar);
  auto* ok = new QPushButton("OK", bar);
  auto* cancel = new QPushButton("Cancel", bar);
  defaultList->setObjectName("defaultList");
  defaultColors->setObjectName("defaultColors");
  ok->setObjectName("ok");
  cancel->setObjectName("cancel");
  ok->setDefault(true);
  layout->addWidget(defaultList);
  layout->addWidget(defaultColors);
  layout->addStretch();
  layout->addWidget(ok);
  layout->addWidget(cancel);
  connect(defaultList, &QPushButton::clicked, this, &TPeriodicTableForm::DefaultList);
  connect(defaultColors, &QPushButton::clicked, this, &TPeriodicTableForm::DefaultColors);
  connect(ok, &QPushButton::clicked, this, &TPeriodicTableForm::accept);
  connect(cancel, &QPushButton::clicked, this, &TPeriodicTableForm::reject);
  const int width = 2 * kLeft + (kColumns - 1) * kPitch + kButtonSize;
  bar->setGeometry(kLeft, gridBottom + 16, width - 2 * kLeft, bar->sizeHint().height());
  setFixedSize(width, gridBottom + 32 + bar->sizeHint().height());
  Prepare({}, 0);
}

void TPeriodicTableForm::Prepare(const std::vector<std::string>& symbols, int limit) {
  limit_ = 0; // a stored list longer than the limit still shows whole
  for (int z = 1; z <= kMaxAtomicNumber; ++z) {
    bool listed = false;
    for (const auto& s : symbols)
      listed = listed || AtomicNumberOf(s) == z;
    buttons_[static_cast<size_t>(z)]->setChecked(listed);
  }
  limit_ = limit;
  // A fresh copy each time: colours changed and then cancelled are not offered again.
  for (int z = 0; z <= kMaxAtomicNumber; ++z)
    working_[static_cast<size_t>(z)] = GetElementColor(z);
  update();
}

bool TPeriodicTableForm::ChoosePalette(std::vector<std::string>& symbols, int limit, QWidget* over) {
  Prepare(symbols, limit);
  if (over) move(over->mapToGlobal(over->rect().center()) - rect().center());
  if (exec() != QDialog::Accepted) return false;
  symbols = PressedSymbols();
  return true;
}

std::vector<std::string> TPeriodicTableForm::PressedSymbols() const {
  std::vector<std::string> symbols;
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= kColumns; ++c)
      if (const int z = GridElement(r, c); z != 0 && buttons_[static_cast<size_t>(z)]->isChecked())
        symbols.emplace_back(ElementSymbol(z));
  return symbols;
}

bool TPeriodicTableForm::CanPress() const {
  if (limit_ <= 0) return true;
  int pressed = 0;
  for (int z = 1; z <= kMaxAtomicNumber; ++z)
    pressed += buttons_[static_cast<size_t>(z)]->isChecked();
  return pressed < limit_;
}

void TPeriodicTableForm::ChangeColor(int z) {
  auto& custom = SharedCustomColors();
  const Color current = working_.at(static_cast<size_t>(z));
  if (std::find(custom.begin(), custom.end(), current) == custom.end()) custom[0] = current;
  for (int i = 0; i < 16; ++i)
    QColorDialog::setCustomColor(i, ToQColor(custom[static_cast<size_t>(i)]));
  const QColor chosen = Dialogs().ChooseColor(this, ToQColor(current));
  for (int i = 0; i < 16; ++i)
    custom[static_cast<size_t>(i)] = FromQColor(QColorDialog::customColor(i));
  if (!chosen.isValid()) return;
  working_.at(static_cast<size_t>(z)) = FromQColor(chosen);
  Button(z)->update();
}

void TPeriodicTableForm::ResetColor(int z) {
  working_.at(static_cast<size_t>(z)) = DefaultColor(z);
  Button(z)->update();
}

void TPeriodicTableForm::DefaultList() {
  for (int z = 1; z <= kMaxAtomicNumber; ++z)
    buttons_[static_cast<size_t>(z)]->setChecked(IsInDefaultList(z));
}

void TPeriodicTableForm::DefaultColors() {
  for (int z = 1; z <= kMaxAtomicNumber; ++z)
    working_[static_cast<size_t>(z)] = DefaultColor(z);
  update();
}

void TPeriodicTableForm::accept() {
  for (int z = 1; z <= kMaxAtomicNumber; ++z)
    SetElementColor(z, working_[static_cast<size_t>(z)]);
  // Chosen colours outlive the session: they are the user's settings, not the window's.
  SaveElementColors();
  emit colorsChanged();
  QDialog::accept();
}

void TPeriodicTableForm::ShowColorMenu(int z, QPoint at) {
  QMenu menu(this);
  connect(menu.addAction("Change color..."), &QAction::triggered, this, [this, z] { ChangeColor(z); });
  connect(menu.addAction("Default color"), &QAction::triggered, this, [this, z] { ResetColor(z); });
  menu.exec(mapToGlobal(at));
}

TPeriodicTableForm* PeriodicTableForm() {
  static QPointer<TPeriodicTableForm> form;
  if (!form) {
    form = new TPeriodicTableForm();
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, form, &QObject::deleteLater);
  }
  return form;
}

QStringList CustomColors() {
  QStringList lines;
  const auto& custom = SharedCustomColors();
  for (int i = 0; i < 16; ++i)
    lines << QString("Color%1=%2").arg(QChar('A' + i)).arg(custom[static_cast<size_t>(i)], 0, 16);
  return lines;
}

} // namespace corvatin::shell
