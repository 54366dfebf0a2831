#include "shell/qt_dispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <stdexcept>

namespace corvatin::shell {

TQtDispatcher::TQtDispatcher() : main_(std::this_thread::get_id()) {}

TQtDispatcher::~TQtDispatcher() {
  // A worker still waiting must not wait forever for an event loop that is gone.
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  for (Request* r : queue_) {
    r->error = std::make_exception_ptr(std::runtime_error("the window is gone"));
    r->done = true;
  }
  queue_.clear();
  finished_.notify_all();
}

void TQtDispatcher::Post() {
  // Only `this` travels in the event; the request itself is handed over through the queue and its mutex.
  QMetaObject::invokeMethod(this, [this] { ServePending(); }, Qt::QueuedConnection);
}

void TQtDispatcher::Invoke(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  Request request;
  request.fn = &fn;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) throw std::runtime_error("the window is gone");
    queue_.push_back(&request);
  }
  Post();
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [&] { return request.done; });
  if (request.error) std::rethrow_exception(request.error);
}

int TQtDispatcher::ServePending() {
  if (!IsMainThread()) throw std::logic_error("ServePending called outside the GUI thread");
  int count = 0;
  for (;;) {
    Request* request = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return count;
      request = queue_.front();
      queue_.pop_front();
    }
    // Popped before it runs: a nested loop inside fn (a message box) serves the calls that follow.
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
    ++count;
  }
}

void TQtDispatcher::ServeUntil(const std::function<bool()>& done) {
  if (!IsMainThread()) throw std::logic_error("ServeUntil called outside the GUI thread");
  // User input stays queued meanwhile: a click must not start another command while the window waits for a
  // worker. Painting and the worker's hand-overs go on.
  while (!done()) {
    ServePending();
    if (done()) return;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
  }
}

void TQtDispatcher::Wake() { Post(); }

} // namespace corvatin::shell
