#include "core/notifier.h"

#include <gtest/gtest.h>

using namespace corvatin;

namespace {
struct Counter : IListener {
  int calls = 0;
  int lastCode = -1;
  void Notify(int eventCode, IObject*, const std::any&) override {
    ++calls;
    lastCode = eventCode;
  }
};
} // namespace

TEST(Notifier, LockedNotifierReachesNobodyUntilUnlocked) {
  TNotifier n;
  Counter c;
  n.Subscribe(5, &c);
  n.Lock(false);
  n.Lock(false);
  n.Notify(5);
  EXPECT_FALSE(n.HasListeners());
  n.Lock(true);
  n.Notify(5);
  EXPECT_EQ(c.calls, 0);
  n.Lock(true);
  n.Notify(5);
  EXPECT_EQ(c.calls, 1);
  EXPECT_TRUE(n.IsListened(5));
}

TEST(Notifier, DisabledSubscriptionsAndDefaultFlag) {
  TNotifier n;
  Counter c;
  n.SubscribeMany(&c, {1, 2});
  n.SetEnabled(1, &c, false);
  n.Notify(1);
  n.Notify(2);
  EXPECT_EQ(c.calls, 1);
  n.SetListenerEnabled(&c, false);
  n.Subscribe(3, &c); // new codes follow the record's default flag
  n.Notify(3);
  EXPECT_EQ(c.calls, 1);
  EXPECT_FALSE(n.IsListened(2));
}

TEST(Notifier, UnsubscribingTheLastCodeRemovesTheRecord) {
  TNotifier n;
  Counter c;
  n.Subscribe(1, &c);
  n.Unsubscribe(1, &c);
  EXPECT_FALSE(n.HasListeners());
}

TEST(Notifier, AListenerRemovedDuringANotificationIsNotCalled) {
  TNotifier n;
  Counter second;
  struct Remover : IListener {
    TNotifier* n;
    IListener* other;
    void Notify(int, IObject*, const std::any&) override { n->RemoveListener(other); }
  } first;
  first.n = &n;
  first.other = &second;
  n.Subscribe(1, &first);
  n.Subscribe(1, &second);
  n.Notify(1);
  EXPECT_EQ(second.calls, 0);
}
