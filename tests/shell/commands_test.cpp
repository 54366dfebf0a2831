// Command tables become actions, menus and tool bars with the state their rows compute.
#include "shell/commands.h"
#include "test_support.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QtTest>

using namespace corvatin::shell;

class CommandsTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { corvatin::test::InitWorkbenchTest(); }

  void RefreshPutsEveryRowsStateOnItsAction() {
    bool running = false, shown = true;
    int executed = 0;
    CommandTable table{
        {.id = "file", .caption = "&File", .kind = CommandKind::Group},
        {.id = "exec", .caption = "&Execute", .trigger = [&] { ++executed; running = true; },
         .enabled = [&] { return shown; }, .checked = [&] { return running; }, .onToolBar = true},
        {.kind = CommandKind::Separator},
        {.id = "stop", .caption = "Sto&p", .trigger = [&] { running = false; }, .enabled = [&] { return running; },
         .onToolBar = true},
        {.id = "hidden", .caption = "Hidden", .visible = [] { return false; }},
    };
    table[1].kind = CommandKind::Check;
    TCommandActions actions(table);
    QVERIFY(!actions.Action("stop")->isEnabled());
    QVERIFY(!actions.Action("hidden")->isVisible());

    actions.Action("exec")->trigger(); // the trigger's state change shows without an explicit refresh
    QCOMPARE(executed, 1);
    QVERIFY(actions.Action("exec")->isChecked());
    QVERIFY(actions.Action("stop")->isEnabled());

    shown = false;
    actions.Refresh();
    QVERIFY(!actions.Action("exec")->isEnabled());

    QMenu menu;
    actions.FillMenu(&menu);
    QCOMPARE(menu.actions().size(), 1); // everything sits under the "&File" group
    QCOMPARE(menu.actions()[0]->menu()->actions().size(), 4);

    QToolBar bar;
    actions.FillToolBar(&bar);
    QCOMPARE(bar.actions().size(), 3); // exec, separator, stop
    QVERIFY(bar.actions()[1]->isSeparator());
  }

  void RadioRowsAreExclusive() {
    int view = 0;
    CommandTable table{
        {.id = "v0", .caption = "&Molecule Editor", .kind = CommandKind::Radio, .radioGroup = "view",
         .trigger = [&] { view = 0; }, .checked = [&] { return view == 0; }},
        {.id = "v1", .caption = "&3D Viewer", .kind = CommandKind::Radio, .radioGroup = "view",
         .trigger = [&] { view = 1; }, .checked = [&] { return view == 1; }},
    };
    TCommandActions actions(table);
    actions.Action("v1")->trigger();
    QCOMPARE(view, 1);
    QVERIFY(actions.Action("v1")->isChecked());
    QVERIFY(!actions.Action("v0")->isChecked());
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
