// Command tables as actions, menus and tool bars; the procedures window on procedures whose run state the test sets:
// the tree, the enabled and checked rules of the "&Procedures" commands, what Execute / Step / Stop ask of a
// procedure, and leaving a procedure. Its property inspector: rows and groups of a parameter list, the commit rule
// of every editor kind, the "yes"/"no" check box, missing values in red that enable "Recalculate properties",
// conversion errors shown with the value kept, and the file chooser of file-name editors.
#include "core/settings.h"
#include "shell/param_editors.h"
#include "shell/parameter_delegate.h"
#include "shell/parameter_model.h"
#include "shell/procedure_model.h"
#include "shell/procedures_window.h"
#include "shell/property_inspector.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QMenu>
#include <QProgressBar>
#include <QStyleOptionViewItem>
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

/// Counts the container's notifications to its observers.
struct Observer : IListener, IParamObserver {
  int changed = 0;
  void Notify(int, IObject*, const std::any&) override {}
  void ParametersChanged() override {}
  void ParameterChanged(IParameter*) override { ++changed; }
};

/// A switch heading two numbers, a read-only text and an editable text.
Ptr<TParameters> SampleList() {
  InstallParameterEditors();
  auto list = std::make_shared<TParameters>();
  list->AddParam("Hydrophobicity", std::make_shared<TBoolParameter>("Hydrophobicity", false, 2), nullptr, false);
  list->AddParam("a1", std::make_shared<TNumberParameter>("a1", 1.0), nullptr, false);
  list->AddParam("a2", std::make_shared<TNumberParameter>("a2", 2.0), nullptr, false);
  list->AddParam("Symbol", std::make_shared<TStringParameter>("Symbol", "C"), nullptr, true);
  list->AddParam("Name", std::make_shared<TStringParameter>("Name", "x"), nullptr, false);
  return list;
}
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

  void RowsFollowTheGroupsAndMissingNamesComeLastInRed() {
    TParameterModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto list = SampleList();
    model.SetList(list, {list.get()}, {"Polar surface"});
    QCOMPARE(model.rowCount(), 4); // the head, "Symbol", "Name", the missing row
    const QModelIndex head = model.index(0, 0);
    QCOMPARE(model.rowCount(head), 2);
    QCOMPARE(model.index(1, 0, head).data().toString(), QString("a2"));
    QCOMPARE(model.index(0, 1).data().toString(), QString("no"));
    QCOMPARE(model.index(3, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QCOMPARE(model.index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
    QVERIFY(!(model.flags(model.index(1, 1)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(2, 1)) & Qt::ItemIsEditable);
    // Entries added to the container show at once.
    list->AddParam("Extra", std::make_shared<TNumberParameter>("Extra", 0.0), nullptr, false);
    QCOMPARE(model.rowCount(), 5);
  }

  void EveryEditorKindCommitsOnlyARealChange_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("shown");
    const int unchanged = int(CommitResult::Unchanged), changed = int(CommitResult::Changed),
              invalid = int(CommitResult::Invalid);
    const int f = int(EditorKind::Float), i = int(EditorKind::Int), b = int(EditorKind::Bool),
              s = int(EditorKind::String), n = int(EditorKind::FileName), l = int(EditorKind::List);
    const auto row = [](const char* name, int kind, const char* initial, const char* typed, int result,
                        const char* shown) {
      QTest::newRow(name) << kind << QString(initial) << QString(typed) << result << QString(shown);
    };
    row("float below 1e-9", f, "1.5", "1.5000000005", unchanged, "1.5");
    row("float above 1e-9", f, "1.5", "1.500000002", changed, "1.500000");
    row("float not a number", f, "1.5", "1,5x", invalid, "1.5");
    row("integer rounds to the same", i, "2", "2.4", unchanged, "2");
    row("integer rounds halves to even", i, "2", "3.5", changed, "4");
    row("switch on", b, "no", "yes", changed, "yes");
    row("switch unchanged", b, "yes", "yes", unchanged, "yes");
    row("string", s, "abc", "abd", changed, "abd");
    row("string unchanged", s, "abc", "abc", unchanged, "abc");
    row("file names", n, "a.sdf", "a.sdf; b.sdf", changed, "a.sdf; b.sdf");
    row("list", l, "one", "two", changed, "two");
  }
  void EveryEditorKindCommitsOnlyARealChange() {
    QFETCH(int, kind);
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(int, result);
    QFETCH(QString, shown);
    InstallParameterEditors();
    const auto editorKind = EditorKind(kind);
    Ptr<IParameter> param;
    if (editorKind == EditorKind::Float || editorKind == EditorKind::Int)
      param = std::make_shared<TNumberParameter>("p", initial.toDouble());
    else if (editorKind == EditorKind::Bool)
      param = std::make_shared<TBoolParameter>("p", initial == "yes");
    else
      param = std::make_shared<TStringParameter>("p", initial.toStdString());
    Ptr<TParamEdit> edit = editorKind == EditorKind::Int        ? MakeIntEditor()
                           : editorKind == EditorKind::FileName ? MakeFileNameEditor("Any|*.*", true, "p")
                           : editorKind == EditorKind::List     ? MakeListEditor({"one", "two"})
                                                                : nullptr;
    auto list = std::make_shared<TParameters>();
    list->AddParam("p", param, edit, false);
    Observer observer;
    list->Notifier().Subscribe(peParametersChanged, &observer);
    TParameterModel model;
    model.SetList(list, {list.get()}, {});
    QCOMPARE(model.data(model.index(0, 1), TParameterModel::EditorKindRole).toInt(), kind);
    TParamEdit* editor = model.EditorAt(model.index(0, 1));
    QVERIFY(editor);
    QString error;
    QCOMPARE(int(editor->Commit(typed, &error)), result);
    QCOMPARE(QString::fromStdString(param->GetText()), shown);
    QCOMPARE(observer.changed, result == int(CommitResult::Changed) ? 1 : 0);
    QCOMPARE(error.isEmpty(), result != int(CommitResult::Invalid));
    list->Notifier().RemoveListener(&observer);
  }

  void ANumberThatDoesNotConvertIsShownAndTheValueKept() {
    test::TScriptedDialogs dialogs;
    TPropertyInspector inspector;
    const auto list = SampleList();
    inspector.Inspect(list, "Block");
    const QModelIndex a1 = inspector.Model()->index(0, 0).model()->index(0, 1, inspector.Model()->index(0, 0));
    QVERIFY(!inspector.Model()->setData(a1, "one"));
    QCOMPARE(dialogs.asked.size(), 1);
    QCOMPARE(list->GetFloat("a1"), 1.0);
  }

  void TheSwitchEditorIsACheckBoxCaptionedYesOrNoThatCommitsWhenToggled() {
    TPropertyInspector inspector;
    const auto list = SampleList();
    inspector.Inspect(list, "Block");
    const QModelIndex value = inspector.Model()->index(0, 1);
    TParameterDelegate delegate;
    QWidget parent;
    QWidget* editor = delegate.createEditor(&parent, QStyleOptionViewItem(), value);
    auto* box = qobject_cast<QCheckBox*>(editor);
    QVERIFY(box);
    delegate.setEditorData(box, value);
    QCOMPARE(box->text(), QString("no"));
    connect(&delegate, &QAbstractItemDelegate::commitData, this,
            [&](QWidget* w) { delegate.setModelData(w, inspector.Model(), value); });
    box->setChecked(true);
    QCOMPARE(box->text(), QString("yes"));
    QVERIFY(list->GetBool("Hydrophobicity"));
    // The switch heads its group: ticking it shows its members.
    QVERIFY(inspector.View()->isExpanded(inspector.Model()->index(0, 0)));
  }

  void MissingValuesEnableRecalculationOnceUntilTheRowsChange() {
    TPropertyInspector inspector;
    int recalculated = 0;
    inspector.SetRecalculation([&] { ++recalculated; });
    QAction* recalc = inspector.Commands()->Action("optRecalculate");
    const auto list = SampleList();
    inspector.Inspect(list, "C1");
    QVERIFY(!recalc->isEnabled());
    QCOMPARE(inspector.windowTitle(), QString("Properties - C1"));
    inspector.Inspect(list, "C1", {"Polar surface"});
    QVERIFY(recalc->isEnabled());
    recalc->trigger();
    QCOMPARE(recalculated, 1);
    QVERIFY(!recalc->isEnabled());
    inspector.Inspect(nullptr, {});
    QCOMPARE(inspector.windowTitle(), QString("Properties"));
  }

  void TheFileChooserJoinsSeveralFilesAndRemembersTheirFolder() {
    test::TScriptedDialogs dialogs;
    dialogs.files.push_back({"/data/set/a.sdf", "/data/set/b.mol"});
    const auto edit = MakeFileNameEditor("MDL|*.mol;*.sdf", true, "Input");
    QCOMPARE(ChooseFileName(nullptr, *edit, "old.sdf"), QString("/data/set/a.sdf; /data/set/b.mol"));
    QCOMPARE(QString::fromStdString(Registry().ReadString("Folders\\Input", "")), QString("/data/set"));
    QCOMPARE(QtFileFilter("MDL|*.mol;*.sdf|Any|*.*"), QString("MDL (*.mol *.sdf);;Any (*.*)"));
  }
};

QTEST_MAIN(ProceduresTest)
#include "procedures_test.moc"
