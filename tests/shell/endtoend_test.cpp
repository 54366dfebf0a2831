// A whole run through the window: "TOPS-MODE" over a fixture file, opened as the user opens files (step mode,
// then Execute), writes the same bytes as the batch tool does for the same file and parameters.
#include "core/settings.h"
#include "outputs/result_files.h"
#include "shell/log_window.h"
#include "shell/main_window.h"
#include "shell/procedures_window.h"
#include "test_support.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class EndToEndTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

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

QTEST_MAIN(EndToEndTest)
#include "endtoend_test.moc"
