#pragma once
// The synchronous hand-over from a worker thread to the main thread. The GUI implements it with its event loop;
// the console implementation serves the worker's calls on the main thread while that thread waits.

#include "core/object.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace corvatin {

/// Runs operations on the main thread for other threads.
class IDispatcher : public virtual IObject {
public:
  /// Runs fn on the main thread and waits for it; on the main thread itself fn runs at once. An exception thrown
  /// by fn is thrown again to the caller.
  virtual void Invoke(const std::function<void()>& fn) = 0;
  virtual bool IsMainThread() const = 0;
  /// Main thread only: serves hand-overs until done() is true. done() is checked before waiting, after every
  /// served call and after every Wake.
  virtual void ServeUntil(const std::function<bool()>& done) = 0;
  /// Any thread: makes a waiting ServeUntil check its condition again.
  virtual void Wake() = 0;
};

/// The queue of a synchronous hand-over, the same for every dispatcher: other threads queue a call and wait until
/// the serving thread has run it; what the call throws is thrown again to its caller.
class THandOverQueue {
public:
  THandOverQueue() = default;
  THandOverQueue(const THandOverQueue&) = delete;
  THandOverQueue& operator=(const THandOverQueue&) = delete;

  /// Queues fn, runs notify (when given, outside the lock: it tells the serving thread to look) and waits until fn
  /// has run. std::runtime_error with Close's reason when the queue is closed before fn runs.
  void Call(const std::function<void()>& fn, const std::function<void()>& notify = {});
  /// Serving thread: runs the oldest queued call; false when none is queued. The call leaves the queue before it
  /// runs, so a loop nested inside it serves the calls that follow.
  bool RunNext();
  /// The count of Wake calls so far: read before checking a condition, then handed to WaitForWork.
  std::uint64_t Wakes();
  /// Waits until a call is queued or Wake has been called since wakes was read.
  void WaitForWork(std::uint64_t wakes);
  void Wake();
  /// Fails the calls queued now and every later one with reason (the serving thread is going away).
  void Close(const std::string& reason);

private:
  struct Request {
    const std::function<void()>* fn = nullptr;
    bool done = false;
    std::exception_ptr error;
  };

  std::mutex mutex_;
  std::condition_variable requested_; // the serving thread waits here for work or a wake-up
  std::condition_variable finished_;  // callers wait here for their request to be done
  std::deque<Request*> queue_;
  std::uint64_t wakes_ = 0;
  bool closed_ = false;
  std::string closedReason_;
};

/// Dispatcher for programs without an event loop (the batch tool, tests): the thread that creates it is the
/// main thread, and hand-overs run while that thread is inside ServeUntil.
class TConsoleDispatcher : public IDispatcher {
public:
  TConsoleDispatcher();
  TConsoleDispatcher(const TConsoleDispatcher&) = delete;
  TConsoleDispatcher& operator=(const TConsoleDispatcher&) = delete;

  void Invoke(const std::function<void()>& fn) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == main_; }
  /// Throws std::logic_error when called from another thread.
  void ServeUntil(const std::function<bool()>& done) override;
  void Wake() override;

private:
  std::thread::id main_;
  THandOverQueue queue_;
};

/// The process-wide dispatcher used by packages not given one. Without an installed one, a console dispatcher
/// bound to the first calling thread (the main thread) is installed.
Ptr<IDispatcher> MainDispatcher();
void SetMainDispatcher(const Ptr<IDispatcher>& dispatcher);

} // namespace corvatin
