#pragma once
// The worker's synchronous hand-over on the workbench: calls from the worker are queued under a standard mutex
// and run by the Qt event loop of the GUI thread while the worker waits. The worker wakes the loop by writing to
// a pipe the loop watches, so no Qt object crosses threads: what the two threads share is guarded by standard
// primitives alone, which the thread checker sees.

#include "blocks/dispatcher.h"

#include <QObject>

#include <thread>

class QSocketNotifier;

namespace corvatin::shell {

/// IDispatcher over the Qt event loop. The thread that creates it is the GUI thread. Hand-overs run whenever that
/// thread processes events: in the application's loop, inside a modal dialog's loop, and inside ServeUntil.
class TQtDispatcher : public QObject, public IDispatcher {
  Q_OBJECT
public:
  TQtDispatcher();
  ~TQtDispatcher() override;
  TQtDispatcher(const TQtDispatcher&) = delete;
  TQtDispatcher& operator=(const TQtDispatcher&) = delete;

  void Invoke(const std::function<void()>& fn) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == main_; }
  /// Processes events (without user input, so no command re-enters the window) until done() is true.
  void ServeUntil(const std::function<bool()>& done) override;
  void Wake() override;

  /// GUI thread: runs the hand-overs already queued; returns how many ran.
  int ServePending();

private:
  /// Any thread: wakes the GUI thread's loop.
  void Post();

  std::thread::id main_;
  THandOverQueue queue_; // closed when the dispatcher goes: callers then run nothing and return
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

} // namespace corvatin::shell
