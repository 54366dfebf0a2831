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
  struct Request {
    const std::function<void()>* fn = nullptr;
    bool done = false;
    std::exception_ptr error;
  };
  void Run(Request& request);

  std::thread::id main_;
  std::mutex mutex_;
  std::condition_variable requested_; // the main thread waits here for work or a wake-up
  std::condition_variable finished_;  // callers wait here for their request to be done
  std::deque<Request*> queue_;
  std::uint64_t wakes_ = 0;
};

/// The process-wide dispatcher used by packages not given one. Without an installed one, a console dispatcher
/// bound to the first calling thread (the main thread) is installed.
Ptr<IDispatcher> MainDispatcher();
void SetMainDispatcher(const Ptr<IDispatcher>& dispatcher);

} // namespace corvatin
