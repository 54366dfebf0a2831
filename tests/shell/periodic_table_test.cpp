// The periodic table window: every element on the grid once, the palette limit, "&Default list", confirmed and
// cancelled choices, and colours that change only on OK.
#include "shell/periodic_table.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
QPushButton* Command(const char* name) { return PeriodicTableForm()->findChild<QPushButton*>(name); }
} // namespace

class PeriodicTableTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }
  void cleanupTestCase() { delete PeriodicTableForm(); }

  void EveryElementHasOneCellAndRowEightIsEmpty() {
    QList<int> seen(kMaxAtomicNumber + 1, 0);
    for (int r = 1; r <= 10; ++r)
      for (int c = 1; c <= 18; ++c)
        ++seen[GridElement(r, c)];
    for (int z = 1; z <= kMaxAtomicNumber; ++z)
      QVERIFY2(seen[z] == 1, qPrintable(QString::number(z)));
    for (int c = 1; c <= 18; ++c)
      QCOMPARE(GridElement(8, c), 0);
    QCOMPARE(GridElement(6, 3), 71); // Lu after Ba; La heads row 9
    QCOMPARE(GridElement(9, 3), 57);
    const QRect fe = PeriodicTableForm()->Button(26)->geometry();
    QCOMPARE(fe, QRect((8 - 1) * 25 + 36, (4 - 1) * 25 + 35, 26, 26));
  }

  void AtTheLimitNoFurtherButtonGoesDown() {
    TPeriodicTableForm* form = PeriodicTableForm();
    std::vector<std::string> many;
    for (int z = 1; z <= 16; ++z)
      many.emplace_back(ElementSymbol(z)); // more than the limit, as stored
    form->Prepare(many, 15);
    Click(form->Button(26));
    QVERIFY(!form->Button(26)->isChecked());
    Click(form->Button(16));
    Click(form->Button(15)); // two released: one may go down again, the second not
    Click(form->Button(26));
    Click(form->Button(29));
    QVERIFY(form->Button(26)->isChecked());
    QVERIFY(!form->Button(29)->isChecked());
    QCOMPARE(form->PressedSymbols().size(), size_t(15));
    Click(Command("defaultList"));
    const std::vector<std::string> defaults = {"H", "C", "N", "O", "F", "S", "Cl", "Br"}; // grid order
    QCOMPARE(form->PressedSymbols(), defaults);
  }

  void ConfirmingReturnsThePressedSymbolsAndCancelLeavesTheList() {
    std::vector<std::string> list = {"C", "Fe"};
    QTimer::singleShot(0, [] {
      Click(PeriodicTableForm()->Button(6));
      Click(PeriodicTableForm()->Button(26));
      Click(Command("ok"));
    });
    QVERIFY(PeriodicTableForm()->ChoosePalette(list, 15));
    QVERIFY(list.empty());
    list = {"O"};
    QTimer::singleShot(0, [] {
      Click(PeriodicTableForm()->Button(7));
      Click(Command("cancel"));
    });
    QVERIFY(!PeriodicTableForm()->ChoosePalette(list, 15));
    QCOMPARE(list, std::vector<std::string>{"O"});
  }

  void ColoursChangeOnlyOnOk() {
    test::TScriptedDialogs dialogs;
    TPeriodicTableForm* form = PeriodicTableForm();
    const Color oxygen = GetElementColor(8);
    const Color blue = MakeColor(0, 0, 255);
    form->Prepare({}, 0);
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(8);
    QCOMPARE(form->WorkingColor(8), blue);
    // The element's colour went into the shared custom colours first (it was not among them).
    QCOMPARE(CustomColors().value(0), QString("ColorA=%1").arg(oxygen, 0, 16));
    QCOMPARE(CustomColors().value(15), QString("ColorP=ffffff"));
    QTimer::singleShot(0, [] { Click(Command("cancel")); });
    form->exec();
    QCOMPARE(GetElementColor(8), oxygen);

    form->Prepare({}, 0);
    QCOMPARE(form->WorkingColor(8), oxygen); // the cancelled change is not offered again
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(8);
    form->ResetColor(8);
    QCOMPARE(form->WorkingColor(8), DefaultColor(8));
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(6);
    test::SaveScreenshot(form->grab().toImage(), "periodic_table");
    QTimer::singleShot(0, [] { Click(Command("ok")); });
    form->exec();
    QCOMPARE(GetElementColor(6), blue);
    Click(Command("defaultColors"));
    QCOMPARE(GetElementColor(6), blue); // the table changes on OK only
    QTimer::singleShot(0, [] { Click(Command("ok")); });
    form->exec();
    QCOMPARE(GetElementColor(6), DefaultColor(6));
  }
};

QTEST_MAIN(PeriodicTableTest)
#include "periodic_table_test.moc"
