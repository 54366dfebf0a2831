// The property inspector: rows and groups of a parameter list, the commit rule of every editor kind, the
// "yes"/"no" check box, missing values in red that enable "Recalculate properties", conversion errors shown
// with the value kept, and the file chooser of file-name editors.
#include "core/settings.h"
#include "shell/param_editors.h"
#include "shell/parameter_delegate.h"
#include "shell/parameter_model.h"
#include "shell/property_inspector.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
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

class InspectorTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

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

QTEST_MAIN(InspectorTest)
#include "inspector_test.moc"
