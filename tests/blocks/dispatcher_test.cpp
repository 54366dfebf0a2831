// The console dispatcher: hand-overs run on the main thread while it serves; the caller waits for them.

#include "block_stubs.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace corvatin;
using namespace corvatin::test;

TEST(ConsoleDispatcher, CallRunsOnTheMainThreadAtOnceOrWhileItServes) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  const auto main = std::this_thread::get_id();
  std::thread::id ranOn;
  std::atomic<bool> returned{false};
  std::thread other([&] {
    dispatcher->Invoke([&] { ranOn = std::this_thread::get_id(); });
    returned = true;
    dispatcher->Wake();
  });
  ASSERT_TRUE(ServeWithin(*dispatcher, [&] { return returned.load(); }));
  other.join();
  EXPECT_EQ(ranOn, main);
  int calls = 0;
  dispatcher->Invoke([&] { ++calls; }); // on the main thread: at once
  EXPECT_EQ(calls, 1);
}

TEST(ConsoleDispatcher, AnExceptionOfTheCallReachesTheCaller) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  std::atomic<bool> caught{false};
  std::thread other([&] {
    try {
      dispatcher->Invoke([] { throw std::out_of_range("index 3"); });
    } catch (const std::out_of_range&) {
      caught = true;
    }
    dispatcher->Wake();
  });
  ServeWithin(*dispatcher, [&] { return caught.load(); });
  other.join();
  EXPECT_TRUE(caught);
}

TEST(ConsoleDispatcher, ServingFromAnotherThreadIsRefused) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  std::atomic<bool> refused{false};
  std::thread other([&] {
    try {
      dispatcher->ServeUntil([] { return true; });
    } catch (const std::logic_error&) {
      refused = true;
    }
  });
  other.join();
  EXPECT_TRUE(refused);
}

TEST(ConsoleDispatcher, ANestedServeInsideACallServesTheNextCalls) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  std::atomic<int> done{0};
  std::thread second;
  std::thread first([&] {
    dispatcher->Invoke([&] {
      // On the main thread, inside the first call: a second thread's call must still be served.
      second = std::thread([&] {
        dispatcher->Invoke([&] { ++done; });
        dispatcher->Wake();
      });
      ServeWithin(*dispatcher, [&] { return done.load() == 1; });
    });
    ++done;
    dispatcher->Wake();
  });
  EXPECT_TRUE(ServeWithin(*dispatcher, [&] { return done.load() == 2; }));
  first.join();
  second.join();
}
