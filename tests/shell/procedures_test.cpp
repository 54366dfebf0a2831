// Command tables as actions, menus and tool bars; the procedures window on procedures whose run state the test sets:
// the tree, the enabled and checked rules of the "&Procedures" commands, what Execute / Step / Stop ask of a
// procedure, and leaving a procedure.
#include "shell/procedure_model.h"
#include "shell/procedures_window.h"
#include "shell/property_inspector.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
/// A block with one setting, and one without.
class TSettingBlock : public TBlock {
public:
  explicit TSettingBlock(std::string name, bool setting) : TBlock(1), name_(std::move(name)) {
    if (setting) SetFloat("Precision", 6);
  }
  std::string GetName() const override { return name_; }

private:
  std::string name_;
};

/// A procedure whose run is what the test says; records what the window asks of it.
class TFakePackage : public IPackage, public IParamList {
public:
  explicit TFakePackage(std::string name) : name_(std::move(name)) {
    blocks_ = {std::make_shared<TSettingBlock>("Input", true), std::make_shared<TSettingBlock>("Editor", false),
               std::make_shared<TSettingBlock>("Output", true)};
  }
  bool running = false, paused = false, ready = true, startable = true;
  QStringList calls;

  void AddBlock(const Ptr<IBlock>&, const std::vector<std::string>&) override {}
  std::string GetName() const override { return name_; }
  int GetBlockCount() const override { return int(blocks_.size()); }
  Ptr<IBlock> GetBlock(int index) const override { return blocks_.at(size_t(index)); }
  Ptr<IInput> GetInput() const override { return nullptr; }
  int GetEditorIndex() const override { return 1; }
  bool CanExecute() const override { return !running && ready; }
  void ActivateEditor() override { calls << "activate"; }
  bool Execute(bool step, const Ptr<IRunFinished>&, const Ptr<IProgressLog>&, const Ptr<IProgressCallback>&) override {
    calls << (step ? "execute step" : "execute");
    running = startable;
    paused = false;
    return startable;
  }
  void Pause() override { calls << "pause"; }
  void Step() override { calls << "step"; }
  void Resume() override { calls << "resume"; }
  void Stop() override {
    calls << "stop";
    running = paused = false;
  }
  void SetShowStructures(bool flag) override { calls << (flag ? "show" : "hide"); }
  bool IsRunning() const override { return running; }
  bool IsPaused() const override { return paused; }
  int Count() const override { return 0; }
  Ptr<IParameter> GetParamAt(int) const override { throw std::out_of_range("none"); }
  std::string GetNameAt(int) const override { throw std::out_of_range("none"); }

private:
  std::string name_;
  std::vector<Ptr<IBlock>> blocks_;
};

struct Window {
  TPropertyInspector inspector;
  TProceduresWindow window{&inspector};
  Ptr<TFakePackage> first = std::make_shared<TFakePackage>("First");
  Ptr<TFakePackage> second = std::make_shared<TFakePackage>("Second");
  Window() {
    window.AddPackage(first);
    window.AddPackage(second);
  }
  /// "1 0 1 1": whether Execute, Step and Stop are enabled and Execute is checked, as the rows compute now.
  QString States() const {
    window.Commands()->Refresh();
    QString s;
    for (const char* id : {"optExecute", "optStep", "optStop"})
      s += window.Commands()->Action(id)->isEnabled() ? "1 " : "0 ";
    return s + (window.Commands()->Action("optExecute")->isChecked() ? "1" : "0");
  }
  /// Chooses a command as the user would: only an enabled one does anything.
  void Trigger(const char* id) {
    window.Commands()->Refresh();
    window.Commands()->Action(id)->trigger();
  }
};
} // namespace

class ProceduresTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void ACommandTableBecomesActionsMenusAndToolBarsWithTheStateItsRowsCompute() {
    bool running = false, shown = true;
    int executed = 0;
    CommandTable table{
        {.id = "file", .caption = "&File", .kind = CommandKind::Group},
        {.id = "exec",
         .caption = "&Execute",
         .trigger =
             [&] {
               ++executed;
               running = true;
             },
         .enabled = [&] { return shown; },
         .checked = [&] { return running; },
         .onToolBar = true},
        {.kind = CommandKind::Separator},
        {.id = "stop",
         .caption = "Sto&p",
         .trigger = [&] { running = false; },
         .enabled = [&] { return running; },
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

  void TheTreeListsProceduresWithTheirBlocksThatHaveSettings() {
    Window w;
    QAbstractItemModelTester tester(w.window.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex first = w.window.Model()->index(0, 0);
    QCOMPARE(w.window.Model()->rowCount(first), 2); // "Editor" has nothing to set
    QCOMPARE(w.window.Model()->index(1, 0, first).data().toString(), QString("Output"));
    QVERIFY(w.window.Select(w.window.Model()->index(1, 0, first)));
    QCOMPARE(w.window.Current(), Ptr<IPackage>(w.first));
    QCOMPARE(w.inspector.windowTitle(), QString("Properties - Output"));
    QVERIFY(w.window.Select(first));
    QCOMPARE(w.inspector.windowTitle(), QString("Properties - First"));
    QCOMPARE(w.first->calls, QStringList{"activate"});
  }

  void CommandStatesFollowTheRun_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("expected"); // enabled Execute, Step, Stop; Execute checked
    QTest::newRow("idle") << false << false << true << "1 1 0 0";
    QTest::newRow("idle, structures hidden") << false << false << false << "1 0 0 0";
    QTest::newRow("running freely") << true << false << true << "1 0 1 1";
    QTest::newRow("running freely, structures hidden") << true << false << false << "0 0 1 1";
    QTest::newRow("paused") << true << true << true << "1 1 1 0";
    QTest::newRow("paused, structures hidden") << true << true << false << "1 0 1 0";
  }
  void CommandStatesFollowTheRun() {
    QFETCH(bool, running);
    QFETCH(bool, paused);
    QFETCH(bool, show);
    QFETCH(QString, expected);
    Window w;
    w.window.Select(w.window.Model()->index(0, 0));
    w.window.SetShowOptions(true, show);
    w.first->running = running;
    w.first->paused = paused;
    QCOMPARE(w.States(), expected);
  }

  void ExecuteStepAndStopAskTheCurrentProcedure() {
    Window w;
    w.Trigger("optExecute"); // no current procedure: nothing happens
    QVERIFY(w.first->calls.isEmpty());
    w.window.Select(w.window.Model()->index(0, 0));
    w.first->calls.clear();
    w.Trigger("optStep");
    QCOMPARE(w.first->calls, (QStringList{"show", "execute step"}));
    QVERIFY(!w.window.ProgressBar()->isHidden());
    w.first->paused = true;
    w.Trigger("optStep");
    w.Trigger("optExecute");
    w.first->paused = false;
    w.Trigger("optExecute");
    w.Trigger("optStop");
    QCOMPARE(w.first->calls, (QStringList{"show", "execute step", "step", "resume", "pause", "stop"}));
    w.Trigger("optShow");
    QCOMPARE(w.first->calls.last(), QString("hide"));
  }

  void ARefusedStartHidesTheBarAndStillReportsTheRunFinished() {
    Window w;
    w.window.Select(w.window.Model()->index(0, 0));
    w.first->startable = false;
    int finished = 0;
    connect(&w.window, &TProceduresWindow::runFinished, this, [&] { ++finished; });
    w.window.Start(false);
    QCOMPARE(finished, 1);
    QVERIFY(w.window.ProgressBar()->isHidden());
  }

  void AnotherProcedureCannotBeChosenWhileOneRuns() {
    Window w;
    const QModelIndex first = w.window.Model()->index(0, 0), second = w.window.Model()->index(1, 0);
    w.window.Select(first);
    w.first->running = true;
    QVERIFY(!w.window.Select(second));
    w.window.Tree()->setCurrentIndex(second); // as a click would
    QCOMPARE(w.window.Current(), Ptr<IPackage>(w.first));
    w.first->running = false;
    w.first->ready = false; // its editor is not ready to be left
    QVERIFY(!w.window.Select(second));
    w.first->ready = true;
    QVERIFY(w.window.Select(second));
    QCOMPARE(w.window.Current(), Ptr<IPackage>(w.second));
  }
};

QTEST_MAIN(ProceduresTest)
#include "procedures_test.moc"
