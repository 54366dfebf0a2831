// The console dispatcher: hand-overs run on the main thread while it serves, the caller waiting for them; an
// exception of a call reaches its caller (pinned through the worker's error table).

#include "block_stubs.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

TEST(ConsoleDispatcher, ANestedServeInsideACallServesTheNextCalls) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  int calls = 0;
  dispatcher->Invoke([&] { ++calls; }); // on the main thread: at once, without serving
  EXPECT_EQ(calls, 1);
  std::atomic<int> done{0};
  std::thread second;
  std::thread first([&] {
    dispatcher->Invoke([&] {
      // On the main thread, inside the first call (a modal dialog): a second thread's call must still be served.
      second = std::thread([&] { dispatcher->Invoke([&] { ++done; }); });
      ServeWithin(*dispatcher, [&] { return done.load() == 1; });
    });
    ++done;
  });
  EXPECT_TRUE(ServeWithin(*dispatcher, [&] { return done.load() == 2; }));
  first.join();
  second.join();
}

TEST(HandOverQueue, ClosingFailsTheWaitingCallAndEveryLaterOneWithoutRunningThem) {
  // The workbench closes its queue when the window goes: a worker waiting on it must get an error, not hang.
  THandOverQueue queue;
  std::atomic<bool> queued{false}, ran{false};
  std::string waiting;
  std::thread worker([&] {
    try {
      queue.Call([&] { ran = true; }, [&] { queued = true; });
    } catch (const std::runtime_error& e) {
      waiting = e.what();
    }
  });
  while (!queued.load())
    std::this_thread::yield();
  queue.Close("the window is gone");
  worker.join();
  EXPECT_EQ(waiting, "the window is gone");
  EXPECT_THROW(queue.Call([&] { ran = true; }), std::runtime_error);
  EXPECT_FALSE(queue.RunNext());
  EXPECT_FALSE(ran.load());
}
