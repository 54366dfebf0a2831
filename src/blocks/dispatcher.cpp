#include "blocks/dispatcher.h"

#include <stdexcept>

namespace corvatin {

void THandOverQueue::Call(const std::function<void()>& fn, const std::function<void()>& notify) {
  Request request;
  request.fn = &fn;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) throw std::runtime_error(closedReason_);
    queue_.push_back(&request);
  }
  requested_.notify_all();
  if (notify) notify();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return request.done; });
  }
  if (request.error) std::rethrow_exception(request.error);
}

bool THandOverQueue::RunNext() {
  Request* request = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    request = queue_.front();
    queue_.pop_front();
  }
  std::exception_ptr error;
  try {
    (*request->fn)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    request->error = error;
    request->done = true;
  }
  finished_.notify_all();
  return true;
}

std::uint64_t THandOverQueue::Wakes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return wakes_;
}

void THandOverQueue::WaitForWork(std::uint64_t wakes) {
  std::unique_lock<std::mutex> lock(mutex_);
  requested_.wait(lock, [&] { return !queue_.empty() || wakes_ != wakes; });
}

void THandOverQueue::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wakes_;
  }
  requested_.notify_all();
}

void THandOverQueue::Close(const std::string& reason) {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  closedReason_ = reason;
  for (Request* request : queue_) {
    request->error = std::make_exception_ptr(std::runtime_error(reason));
    request->done = true;
  }
  queue_.clear();
  finished_.notify_all();
}

TConsoleDispatcher::TConsoleDispatcher() : main_(std::this_thread::get_id()) {}

void TConsoleDispatcher::Invoke(const std::function<void()>& fn) {
  if (IsMainThread())
    fn();
  else
    queue_.Call(fn);
}

void TConsoleDispatcher::ServeUntil(const std::function<bool()>& done) {
  if (!IsMainThread()) throw std::logic_error("ServeUntil called outside the main thread");
  for (;;) {
    // The wake count is read before the condition, so a Wake after the check is never lost.
    const std::uint64_t seen = queue_.Wakes();
    if (done()) return;
    queue_.WaitForWork(seen);
    queue_.RunNext();
  }
}

void TConsoleDispatcher::Wake() { queue_.Wake(); }

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
