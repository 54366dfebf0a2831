// The window repaints without pause while a run hands it a few hundred structures: the views and the inspector
// read only the window's own copy, so the thread checker (make test BUILD=build-tsan SANITIZE=thread) sees no
// race between the worker and the painting.
#include "core/settings.h"
#include "outputs/result_files.h"
#include "shell/log_window.h"
#include "shell/main_window.h"
#include "shell/molecule_document.h"
#include "shell/procedures_window.h"
#include "test_support.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

class StressTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void AFreeRunOfHundredsOfStructuresWhileTheWindowRepaints() {
    // The bundled sample six times over: 216 structures.
    QFile sample(QString(CORVATIN_DATA_DIR) + "/samples/drugs.sml2");
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray once = sample.readAll();
    QTemporaryDir dir;
    QFile many(dir.filePath("many.sml2"));
    QVERIFY(many.open(QIODevice::WriteOnly));
    for (int i = 0; i < 6; ++i)
      many.write(once.endsWith('\n') ? once : once + "\n");
    many.close();
    Registry().WriteString(kResultFolderKey, dir.path().toStdString());

    test::TScriptedDialogs dialogs;
    TMainWindow window;
    window.Setup();
    window.resize(900, 600);
    window.show();
    int paints = 0;
    QTimer repaint;
    connect(&repaint, &QTimer::timeout, &window, [&] {
      window.repaint();
      ++paints;
    });
    repaint.start(0);
    window.OpenFiles({many.fileName()});
    QVERIFY(test::WaitUntil([&] { return window.Procedures()->IsPaused(); }, 60000));
    window.Procedures()->Commands()->Action("optExecute")->trigger();
    QVERIFY(test::WaitUntil([&] { return !window.Procedures()->IsRunning(); }, 580000));
    repaint.stop();
    QCOMPARE(window.Log()->Lines().last(), QString("Procedure execution successfully finished"));
    QCOMPARE(window.StructuresShown(), 216);
    QVERIFY(paints > 10);
    QVERIFY(window.Document().Molecule()->VertexCount() > 0);
  }
};

QTEST_MAIN(StressTest)
#include "stress_test.moc"
