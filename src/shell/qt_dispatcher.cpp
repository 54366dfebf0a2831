#include "shell/qt_dispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace corvatin::shell {

TQtDispatcher::TQtDispatcher() : main_(std::this_thread::get_id()) {
  if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("cannot create the hand-over pipe");
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[256];
    while (::read(pipe_[0], buffer, sizeof buffer) > 0) {
    }
    ServePending();
  });
}

TQtDispatcher::~TQtDispatcher() {
  // A worker still waiting must not wait forever for an event loop that is gone.
  queue_.Close("the window is gone");
  delete notifier_;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void TQtDispatcher::Post() {
  // A full pipe already holds a wake-up: losing this byte loses nothing.
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(pipe_[1], &byte, 1);
}

void TQtDispatcher::Invoke(const std::function<void()>& fn) {
  if (IsMainThread())
    fn();
  else
    queue_.Call(fn, [this] { Post(); });
}

int TQtDispatcher::ServePending() {
  if (!IsMainThread()) throw std::logic_error("ServePending called outside the GUI thread");
  int count = 0;
  while (queue_.RunNext())
    ++count;
  return count;
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
