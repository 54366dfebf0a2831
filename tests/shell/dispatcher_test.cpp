// The worker's hand-over on the Qt event loop: a worker's call runs on the GUI thread while the worker waits,
// also while the GUI thread sits in a nested loop (a modal dialog), and errors travel back to the worker.
#include "shell/qt_dispatcher.h"
#include "test_support.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace corvatin;
using namespace corvatin::shell;

class DispatcherTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

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

QTEST_MAIN(DispatcherTest)
#include "dispatcher_test.moc"
