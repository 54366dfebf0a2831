#include "blocks/dispatcher.h"

#include <stdexcept>

namespace corvatin {

TConsoleDispatcher::TConsoleDispatcher() : main_(std::this_thread::get_id()) {}

void TConsoleDispatcher::Invoke(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  Request request;
  request.fn = &fn;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&request);
  }
  requested_.notify_all();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return request.done; });
  }
  if (request.error) std::rethrow_exception(request.error);
}

void TConsoleDispatcher::Run(Request& request) {
  // The request is popped before it runs, so a nested ServeUntil inside fn serves the next ones.
  try {
    (*request.fn)();
  } catch (...) {
    request.error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    request.done = true;
  }
  finished_.notify_all();
}

void TConsoleDispatcher::ServeUntil(const std::function<bool()>& done) {
  if (!IsMainThread()) throw std::logic_error("ServeUntil called outside the main thread");
  for (;;) {
    std::uint64_t seen = 0;
    {
      // Read the wake count before the condition, so a Wake after the check is never lost.
      std::lock_guard<std::mutex> lock(mutex_);
      seen = wakes_;
    }
    if (done()) return;
    Request* request = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      requested_.wait(lock, [&] { return !queue_.empty() || wakes_ != seen; });
      if (!queue_.empty()) {
        request = queue_.front();
        queue_.pop_front();
      }
    }
    if (request) Run(*request);
  }
}

void TConsoleDispatcher::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wakes_;
  }
  requested_.notify_all();
}

namespace {
std::mutex g_mainMutex;
Ptr<IDispatcher> g_main;
} // namespace

Ptr<IDispatcher> MainDispatcher() {
  std::lock_guard<std::mutex> lock(g_mainMutex);
  if (!g_main) g_main = std::make_shared<TConsoleDispatcher>();
  return g_main;
}

void SetMainDispatcher(const Ptr<IDispatcher>& dispatcher) {
  std::lock_guard<std::mutex> lock(g_mainMutex);
  g_main = dispatcher;
}

} // namespace corvatin
