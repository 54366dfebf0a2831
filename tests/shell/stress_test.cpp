// The window repaints without pause while a run hands it a few hundred structures: the views and the inspector
// read only the window's own copy, so the thread checker (make test BUILD=build-tsan SANITIZE=thread) sees no
// race between the worker and the painting. The hand-over itself: a worker's call runs on the GUI thread while the
// worker waits, also while the GUI thread sits in a nested loop (a modal dialog), and errors travel back.
#include "core/settings.h"
#include "outputs/result_files.h"
#include "shell/log_window.h"
#include "shell/main_window.h"
#include "shell/molecule_document.h"
#include "shell/procedures_window.h"
#include "shell/qt_dispatcher.h"
#include "test_support.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <stdexcept>
#include <thread>

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

  void CallsRunOnTheGuiThreadAlsoInsideANestedLoopAndCarryErrorsBack() {
    auto dispatcher = std::make_shared<TQtDispatcher>();
    std::atomic<int> calls{0};
    std::atomic<bool> onGui{true}, errorSeen{false}, done{false};
    const std::thread::id gui = std::this_thread::get_id();
    std::thread worker([&] {
      for (int i = 0; i < 50; ++i)
        dispatcher->Invoke([&] {
          onGui = onGui && std::this_thread::get_id() == gui;
          ++calls;
        });
      try {
        dispatcher->Invoke([] { throw std::runtime_error("no"); });
      } catch (const std::runtime_error&) {
        errorSeen = true;
      }
      done = true;
      dispatcher->Wake();
    });
    // A modal dialog's loop: the calls are served from here as well.
    QEventLoop nested;
    QTimer::singleShot(0, &nested, [&] {
      dispatcher->ServeUntil([&] { return done.load(); });
      nested.quit();
    });
    nested.exec();
    worker.join();
    QCOMPARE(calls.load(), 50);
    QVERIFY(onGui);
    QVERIFY(errorSeen);
  }
};

QTEST_MAIN(StressTest)
#include "stress_test.moc"
