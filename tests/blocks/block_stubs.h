#pragma once
// Recording stand-ins for the windows (log, progress, run-finished receiver) and scripted blocks, shared by the
// blocks tests.

#include "blocks/dispatcher.h"
#include "blocks/editor.h"
#include "blocks/multiblock.h"
#include "blocks/package.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvatin::test {

struct LogLine {
  std::string text;
  int kind;
  bool transient;
};

/// The log window: records every line; counts calls made off the main thread.
class RecordingLog : public IProgressLog {
public:
  void Clear() override {
    Check();
    ++clears;
    lines.clear();
  }
  void AddMessage(const std::string& text, int kind, bool transient) override {
    Check();
    lines.push_back({text, kind, transient});
    ++messages;
    if (onMessage) onMessage(text);
  }
  bool Contains(const std::string& text, int kind) const {
    for (const auto& l : lines)
      if (l.text == text && l.kind == kind) return true;
    return false;
  }
  int CountOf(const std::string& text) const {
    int n = 0;
    for (const auto& l : lines)
      n += l.text == text ? 1 : 0;
    return n;
  }
  const LogLine& Last() const { return lines.back(); }

  std::vector<LogLine> lines;
  int clears = 0;
  int messages = 0;
  int offMainCalls = 0;
  std::function<void(const std::string&)> onMessage;

private:
  void Check() {
    if (std::this_thread::get_id() != main) ++offMainCalls;
  }
  std::thread::id main = std::this_thread::get_id();
};

/// The main window's progress receiver: records reports; can ask the caller to stop.
class RecordingProgress : public IProgressCallback {
public:
  void Progress(int position, bool& cont, bool& refresh) override {
    if (std::this_thread::get_id() != main) ++offMainCalls;
    positions.push_back(position);
    lastContinue = cont;
    if (stopAfter >= 0 && static_cast<int>(positions.size()) > stopAfter) cont = false;
    refresh = false;
  }
  void ProgressText(int position, bool& cont, const std::string& text, bool& refresh) override {
    texts.push_back(text);
    Progress(position, cont, refresh);
  }
  std::vector<int> positions;
  std::vector<std::string> texts;
  bool lastContinue = true;
  int stopAfter = -1; ///< answer "stop" to every report after this many
  int offMainCalls = 0;

private:
  std::thread::id main = std::this_thread::get_id();
};

class FinishCounter : public IRunFinished {
public:
  void RunFinished() override {
    ++count;
    if (onFinished) onFinished();
  }
  int count = 0;
  std::function<void()> onFinished;
};

/// A block whose Execute runs a script (on the worker) and that exposes the protected helpers.
class ScriptBlock : public TBlock {
public:
  explicit ScriptBlock(std::string name = "Script", int ports = 1) : TBlock(ports), name_(std::move(name)) {}
  std::string GetName() const override { return name_; }
  bool IsDisplayOnly() const override { return displayOnly; }
  void Execute(bool& more) override {
    ++executed;
    if (script) script(*this, more);
  }
  void Start(IWorkerThread* thread) override {
    TBlock::Start(thread);
    ++starts;
    startedOnMain = std::this_thread::get_id() == main;
    if (startError) startError();
  }
  void Stop() override {
    TBlock::Stop();
    ++stops;
    if (stopError) stopError();
  }
  void SetBusy(bool flag) override { busy.push_back(flag); }

  using TBlock::Fatal;
  using TBlock::GetInputAs;
  using TBlock::GetInputObject;
  using TBlock::GetInputStructure;
  using TBlock::GetLog;
  using TBlock::GetProgress;
  using TBlock::GetThread;
  using TBlock::InInputOrder;
  using TBlock::LogError;
  using TBlock::LogHeading;
  using TBlock::LogMessage;
  using TBlock::LogResult;
  using TBlock::LogTransient;
  using TBlock::LogTransientHeading;
  using TBlock::LogWarning;
  using TBlock::Progress;
  using TBlock::PublishStructure;
  using TBlock::Synchronize;
  using TBlock::WithdrawStructure;

  std::function<void(ScriptBlock&, bool&)> script;
  std::function<void()> startError;
  std::function<void()> stopError;
  bool displayOnly = false;
  std::atomic<int> executed{0};
  int starts = 0;
  int stops = 0;
  bool startedOnMain = false;
  std::vector<bool> busy; ///< written on the worker, read after the run

private:
  std::string name_;
  std::thread::id main = std::this_thread::get_id();
};

/// A structure source: pass k (from 1) logs "pass k"; the last of total passes clears more (total < 0: endless).
inline Ptr<ScriptBlock> MakeSource(int total, std::atomic<int>* passes = nullptr) {
  auto block = std::make_shared<ScriptBlock>("Source");
  block->script = [total, passes](ScriptBlock& self, bool& more) {
    const int pass = self.executed;
    if (passes) *passes = pass;
    self.LogMessage("pass " + std::to_string(pass));
    more = total < 0 || pass < total;
  };
  return block;
}

/// The molecule-editor block stand-in: display-only, records what the package tells it (main thread).
class StubEditor : public TBlock, public IEditor {
public:
  StubEditor() : TBlock(1) {}
  std::string GetName() const override { return "Editor"; }
  bool IsDisplayOnly() const override { return true; }
  void Execute(bool&) override {
    ++executed;
    LogTransient("Molecule is ready for calculation");
  }
  bool IsReady() override { return ready; }
  bool CanStart() override { return canStart; }
  void Activate() override { ++activations; }
  void SetShowing(bool flag) override {
    if (std::this_thread::get_id() != main) ++offMainCalls;
    showing.push_back(flag);
  }
  void SetPaused(bool flag) override {
    if (std::this_thread::get_id() != main) ++offMainCalls;
    (flag ? pausedAt : resumedAt).push_back(source ? source->executed.load() : 0);
    if (onPaused) onPaused(flag);
  }
  void ClearStructure() override {}

  bool ready = true;
  bool canStart = true;
  int activations = 0;
  std::atomic<int> executed{0};
  std::vector<bool> showing;
  std::vector<int> pausedAt;  ///< the source's pass at every SetPaused(true)
  std::vector<int> resumedAt; ///< the source's pass at every SetPaused(false)
  int offMainCalls = 0;
  Ptr<ScriptBlock> source;
  std::function<void(bool)> onPaused;

private:
  std::thread::id main = std::this_thread::get_id();
};

/// Serves hand-overs until done() or a generous deadline (a safety net so that a fault fails instead of hanging);
/// returns done().
inline bool ServeWithin(IDispatcher& dispatcher, const std::function<bool()>& done,
                        std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::mutex mutex;
  std::condition_variable cv;
  bool over = false;
  std::thread ticker([&] {
    std::unique_lock<std::mutex> lock(mutex);
    while (!cv.wait_for(lock, std::chrono::milliseconds(5), [&] { return over; }))
      dispatcher.Wake();
  });
  dispatcher.ServeUntil([&] { return done() || std::chrono::steady_clock::now() >= deadline; });
  {
    std::lock_guard<std::mutex> lock(mutex);
    over = true;
  }
  cv.notify_all();
  ticker.join();
  return done();
}

/// Ends the process with a message when a test has not finished in time: a deadlock must fail, not hang.
class Watchdog {
public:
  Watchdog(std::chrono::seconds limit, std::string what, const std::atomic<int>* step = nullptr)
      : what_(std::move(what)) {
    thread_ = std::thread([this, limit, step] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
        std::fprintf(stderr, "deadlock: %s hung (step %d)\n", what_.c_str(), step ? step->load() : -1);
        std::_Exit(1);
      }
    });
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

} // namespace corvatin::test
