#pragma once
// An auto-reset event: Set leaves it signalled until exactly one Wait consumes the signal. Signals do not
// count up: several Sets before a Wait release one Wait only.

#include <condition_variable>
#include <mutex>

namespace corvatin {

class TAutoResetEvent {
public:
  void Set() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_one();
  }
  /// Waits until signalled, then clears the signal.
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
    signalled_ = false;
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

} // namespace corvatin
