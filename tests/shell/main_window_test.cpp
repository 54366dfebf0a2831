// The main window in a run: start-up with a classification file missing, files opened in step mode, edits made
// during a pause carried into the run, a typed structure run freely, the questions before an action stops a run and the
// action carried out afterwards, the cancel button, the views taking over each other's states; pictures of the window
// and the options dialog; and a whole run through the window ("TOPS-MODE" over a fixture, opened as the user opens
// files, then Execute) writing the same bytes as the batch tool does for the same file and parameters.
#include "core/paths.h"
#include "core/settings.h"
#include "outputs/result_files.h"
#include "shell/log_window.h"
#include "shell/main_window.h"
#include "shell/molecule_document.h"
#include "shell/options_dialog.h"
#include "shell/procedure_model.h"
#include "shell/procedures_window.h"
#include "shell/property_inspector.h"
#include "shell/smiles_tool.h"
#include "test_support.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
const QString kFixture = QString(CORVATIN_TEST_DATA_DIR) + "/inputs/drugs-excerpt.sdf";
const char* const kAskQuit = "A procedure is being executed. Are you sure you want to quit?";
const char* const kAskOpen = "A procedure is being executed. Are you sure you want to stop it and open a new file?";
const char* const kAskNew =
    "A procedure is being executed. Are you sure you want to stop it and enter a new structure?";

/// The bytes of a file (empty when it cannot be read).
QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Delivers a drop to the window's handler, as the platform's drag and drop does.
struct DropAccess : TMainWindow {
  static void Drop(TMainWindow& window, QDropEvent* event) { (window.*&DropAccess::dropEvent)(event); }
};

/// A set-up window whose results go to a temporary folder.
struct Workbench {
  QTemporaryDir results;
  test::TScriptedDialogs dialogs;
  TMainWindow window;
  Workbench() {
    Registry().WriteString(kResultFolderKey, results.path().toStdString());
    window.Setup();
    window.resize(1000, 700);
    window.show();
  }
  ~Workbench() {
    if (window.Procedures()->IsRunning()) window.Procedures()->StopRun();
  }
  /// Waiting at a pause point, and the window told so (the worker marks the pause before its hand-over).
  bool Paused() const { return window.Procedures()->IsPaused() && !window.Document().IsLocked(); }
  bool Running() const { return window.Procedures()->IsRunning(); }
  /// Opens the fixture and waits at the first structure.
  bool OpenFixture() {
    dialogs.files.push_back({kFixture});
    window.OpenFile();
    return test::WaitUntil([this] { return Paused(); }, 60000);
  }
};
} // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void StartUpReportsAClassificationFileThatFailsAndGoesOnWithoutIt() {
    QTemporaryDir data;
    for (const QString& f : QDir(CORVATIN_DATA_DIR).entryList({"*.txt"}, QDir::Files))
      if (f != "Abraham.txt") QFile::copy(QString(CORVATIN_DATA_DIR) + "/" + f, data.filePath(f));
    SetDataFolder(data.path().toStdString());
    test::TScriptedDialogs dialogs;
    TMainWindow window;
    window.Setup();
    SetDataFolder("");
    QCOMPARE(dialogs.asked.size(), 1);
    // The message names the file, then the reason with the path that was tried.
    QVERIFY2(dialogs.asked[0].contains("loading classification file \"Abraham.txt\" (") &&
                 dialogs.asked[0].contains(data.filePath("Abraham.txt")),
             qPrintable(dialogs.asked[0]));
    QCOMPARE(window.windowTitle(), QString("Corvatin"));
    TProcedureModel* tree = window.Procedures()->Model();
    QCOMPARE(tree->rowCount(), 8);
    QCOMPARE(tree->index(0, 0).data().toString(), QString("TOPS-MODE"));
    QCOMPARE(window.Procedures()->Current()->GetName(), std::string("TOPS-MODE"));
  }

  void DroppedFilesStartInStepModeEachStepShowsTheNextStructureAndAnEditDuringThePauseGoesIntoTheRun() {
    Workbench w;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(kFixture)});
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    DropAccess::Drop(w.window, &drop);
    QVERIFY(test::WaitUntil([&] { return w.Paused(); }, 60000));
    std::vector<std::string> recent; // remembered as the menu's recent files
    Registry().ReadStringList(kRecentFilesKey, recent);
    QCOMPARE(QString::fromStdString(recent.at(0)), QFileInfo(kFixture).absoluteFilePath());
    QCOMPARE(w.window.StructuresShown(), 1);
    QVERIFY(w.window.Document().Molecule()->VertexCount() > 0);
    QVERIFY(w.window.Procedures()->ShowOptionEnabled() && w.window.Procedures()->ShowStructures());
    // Paused: the user may look and edit, and the run goes on with the edited structure.
    QVERIFY(w.window.Document().Edit("Rename", [](IMolecule& m) { m.SetName("Edited while paused"); }));
    w.window.Procedures()->Commands()->Action("optStep")->trigger();
    QVERIFY(test::WaitUntil([&] { return w.Paused() && w.window.StructuresShown() == 2; }, 60000));
    QVERIFY(Bytes(w.results.filePath("Results.txt")).contains("Edited while paused"));

    // The inspector shows an atom of the structure on hand, with the values the run gave it.
    const IMolecule& molecule = *w.window.Document().Molecule();
    w.window.SelectionChanged(molecule.GetAtom(0)->SelfAs<IParameters>(), skAtom);
    QVERIFY(w.window.Inspector()->windowTitle().startsWith("Properties - "));
    QVERIFY(w.window.Inspector()->isEnabled());
    test::SaveScreenshot(w.window.grab().toImage(), "paused-run-inspecting-an-atom");
    QVERIFY(test::MatchesReferenceImage(w.window.Inspector()->grab().toImage(), "inspector-atom.png", 0.02));
    w.window.Procedures()->StopRun();
    QVERIFY(!w.Running());
  }

  void ABadSmilesIsReportedAndATypedStructureRunsFreelyAndStaysShown() {
    Workbench w;
    w.window.NewStructure("C1CC(");
    QCOMPARE(w.dialogs.asked.size(), 1);
    QVERIFY(!w.Running());
    QLineEdit* field = w.window.Smiles()->Field();
    field->setText("c1ccccc1O");
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(test::WaitUntil([&] { return !w.Running(); }, 60000));
    QCOMPARE(w.window.Procedures()->Commands()->Action("optStep")->isEnabled(), true);
    QVERIFY(!w.window.Procedures()->ShowOptionEnabled());
    QCOMPARE(w.window.StructuresShown(), 1);
    QCOMPARE(w.window.Document().Molecule()->GetName(), std::string("c1ccccc1O"));
    QCOMPARE(w.window.Log()->Lines().last(), QString("Procedure execution successfully finished"));
    QVERIFY(QFile::exists(w.results.filePath("TOPS-MODE.txt")));
    QVERIFY(!w.window.Document().IsLocked());
    test::SaveScreenshot(w.window.grab().toImage(), "idle-with-molecule");
  }

  void AnActionDuringARunAsksFirstAndYesStopsTheRunThenCarriesItOut_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::newRow("quit, No") << int(paQuit) << false << kAskQuit;
    QTest::newRow("open file, No") << int(paOpenFile) << false << kAskOpen;
    QTest::newRow("new structure, No") << int(paNewStructure) << false << kAskNew;
    QTest::newRow("quit, Yes") << int(paQuit) << true << kAskQuit;
    QTest::newRow("new structure, Yes") << int(paNewStructure) << true << kAskNew;
  }
  void AnActionDuringARunAsksFirstAndYesStopsTheRunThenCarriesItOut() {
    QFETCH(int, action);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    Workbench w;
    QVERIFY(w.OpenFixture());
    w.dialogs.answers.push_back(yes);
    if (action == paQuit) QVERIFY(!w.window.close());
    if (action == paOpenFile) w.window.Commands()->Action("optOpen")->trigger();
    if (action == paNewStructure) w.window.NewStructure("CCO");
    if (yes && action == paQuit) {
      QCOMPARE(w.window.Pending(), int(paQuit));
      QVERIFY(!w.window.Commands()->Action("optOpen")->isEnabled());
      QVERIFY(!w.window.close()); // refused without a question while the first waits
    }
    QCOMPARE(w.dialogs.asked, QStringList{question});
    if (!yes) {
      QVERIFY(w.Paused());
      QCOMPARE(w.window.Pending(), int(paNone));
      return;
    }
    QVERIFY(test::WaitUntil([&] { return !w.Running() && w.window.Pending() == paNone; }, 60000));
    if (action == paQuit) QVERIFY(test::WaitUntil([&] { return !w.window.isVisible(); }, 60000));
    if (action == paNewStructure) {
      QVERIFY(
          test::WaitUntil([&] { return w.window.Document().Molecule()->GetName() == "CCO" && !w.Running(); }, 60000));
      QVERIFY(!w.window.Procedures()->ShowOptionEnabled());
    }
  }

  void CancelWorksOnlyWhileTheBarIsShown() {
    Workbench w;
    bool cont = true, refresh = false;
    w.window.CancelButton()->click(); // hidden: no effect
    w.window.ProgressText(10, cont, "Reading", refresh);
    QVERIFY(cont);
    QVERIFY(!w.window.ProgressBar()->isHidden());
    QCOMPARE(w.window.BusyCount(), 1);
    w.window.CancelButton()->click();
    w.window.ProgressText(20, cont, "Reading", refresh);
    QVERIFY(!cont);
    QVERIFY(w.window.ProgressBar()->isHidden());
    QCOMPARE(w.window.BusyCount(), 0);
  }

  void AViewTakesOverTheStatesOfTheViewItReplaces() {
    Workbench w;
    const auto& views = w.window.Views();
    QCOMPARE(views.size(), size_t(2));
    views[0]->SetReadOnly(true);
    views[0]->SetQuickDrawing(true);
    w.window.Commands()->Action("opt3DView")->trigger();
    QCOMPARE(w.window.CurrentView(), 1);
    QVERIFY(views[1]->GetReadOnly() && views[1]->GetQuickDrawing());
    QCOMPARE(views[1]->GetGraph(), w.window.Document().Molecule());
    QCOMPARE(views[0]->GetGraph(), Ptr<IMolecule>());
    QVERIFY(w.window.Commands()->Action("opt3DView")->isChecked());
    QVERIFY(!w.window.Commands()->Action("optEditorView")->isChecked());
  }

  void TheOptionsDialogKeepsTheResultFolder() {
    test::TScriptedDialogs dialogs;
    Registry().WriteString(kResultFolderKey, "/tmp/results");
    TOptionsDialog dialog;
    QCOMPARE(dialog.ResultFolder()->text(), QString("/tmp/results"));
    dialog.ResultFolder()->setText("/tmp/other");
    dialog.Save();
    QCOMPARE(Registry().ReadString(kResultFolderKey, ""), std::string("/tmp/other"));
    dialog.resize(480, 200);
    const QImage picture = dialog.grab().toImage();
    test::SaveScreenshot(picture, "options-dialog");
    QVERIFY(test::MatchesReferenceImage(picture, "options-dialog.png", 0.02));
  }

  void AProcedureRunThroughTheWindowWritesWhatTheBatchToolWrites() {
    const QString fixture = QString(CORVATIN_TEST_DATA_DIR) + "/inputs/drugs-excerpt.sdf";
    QTemporaryDir gui, batch;
    Registry().WriteString(kResultFolderKey, gui.path().toStdString());
    test::TScriptedDialogs dialogs;
    TMainWindow window;
    window.Setup();
    window.show();
    QCOMPARE(window.Procedures()->Current()->GetName(), std::string("TOPS-MODE"));
    window.OpenFiles({fixture});
    QVERIFY(test::WaitUntil([&] { return window.Procedures()->IsPaused(); }, 60000));
    window.Procedures()->Commands()->Action("optExecute")->trigger();
    QVERIFY(test::WaitUntil([&] { return !window.Procedures()->IsRunning(); }, 300000));
    QCOMPARE(window.Log()->Lines().last(), QString("Procedure execution successfully finished"));
    QCOMPARE(window.StructuresShown(), 25);

    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CORVATIN_DATA_DIR", CORVATIN_DATA_DIR);
    tool.setProcessEnvironment(env);
    tool.start(CORVATIN_BATCH, {"--procedure", "TOPS-MODE", "--results-dir", batch.path(), fixture});
    QVERIFY(tool.waitForFinished(300000));
    QCOMPARE(tool.exitCode(), 0);

    for (const char* name : {"TOPS-MODE.txt", "Results.txt"}) {
      const QByteArray expected = Bytes(batch.filePath(name));
      QVERIFY2(!expected.isEmpty(), name);
      QVERIFY2(Bytes(gui.filePath(name)) == expected, name);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
