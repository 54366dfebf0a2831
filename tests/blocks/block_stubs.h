#pragma once
// Recording stand-ins for the windows (log, progress, run-finished receiver) and scripted blocks, shared by the
// blocks and inputs tests. The windows count calls made off the main thread: the worker must hand every one over.

#include "blocks/dispatcher.h"
#include "blocks/editor.h"
#include "blocks/multiblock.h"
#include "blocks/package.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvatin::test {

inline const std::string kStopped = "Procedure execution stopped";
inline const std::string kFinished = "Procedure execution successfully finished";

/// Counts the calls that reach an object off the thread that created it.
struct MainThreadOnly {
  void Check() { offMainCalls += std::this_thread::get_id() != main ? 1 : 0; }
  int offMainCalls = 0;
  std::thread::id main = std::this_thread::get_id();
};

struct LogLine {
  std::string text;
  int kind;
  bool transient;
  bool operator==(const LogLine&) const = default;
};

class RecordingLog : public IProgressLog, public MainThreadOnly {
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
  const LogLine& Last() const { return lines.back(); }

  std::vector<LogLine> lines;
  int clears = 0, messages = 0;
  std::function<void(const std::string&)> onMessage;
};

/// Records reports; answers "stop" to every report after the first stopAfter (-1: never).
class RecordingProgress : public IProgressCallback, public MainThreadOnly {
public:
  void Progress(int position, bool& cont, bool& refresh) override {
    Check();
    positions.push_back(position);
    lastContinue = cont;
    if (stopAfter >= 0 && static_cast<int>(positions.size()) > stopAfter) cont = false;
    refresh = false;
  }
  void ProgressText(int position, bool& cont, const std::string&, bool& refresh) override {
    Progress(position, cont, refresh);
  }
  std::vector<int> positions;
  bool lastContinue = true;
  int stopAfter = -1;
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
    startedOnMain = std::this_thread::get_id() == main_;
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
  using TBlock::GetInputStructure;
  using TBlock::GetLog;
  using TBlock::InInputOrder;
  using TBlock::LogMessage;
  using TBlock::Progress;
  using TBlock::PublishStructure;
  using TBlock::Synchronize;
  using TBlock::WithdrawStructure;

  std::function<void(ScriptBlock&, bool&)> script;
  std::function<void()> startError, stopError;
  bool displayOnly = false;
  std::atomic<int> executed{0};
  int starts = 0, stops = 0;
  bool startedOnMain = false;
  std::vector<bool> busy; ///< written on the worker, read after the run

private:
  std::string name_;
  std::thread::id main_ = std::this_thread::get_id();
};

/// A structure source: pass k (from 1) logs "pass k"; the last of total passes clears more (total < 0: endless).
inline Ptr<ScriptBlock> MakeSource(int total) {
  auto block = std::make_shared<ScriptBlock>("Source");
  block->script = [total](ScriptBlock& self, bool& more) {
    const int pass = self.executed;
    self.LogMessage("pass " + std::to_string(pass));
    more = total < 0 || pass < total;
  };
  return block;
}

/// The molecule-editor block stand-in: display-only, records what the package tells it.
class StubEditor : public ScriptBlock, public IEditor, public MainThreadOnly {
public:
  StubEditor() : ScriptBlock("Editor") { displayOnly = true; }
  bool IsReady() override { return ready; }
  bool CanStart() override { return canStart; }
  void Activate() override { ++activations; }
  void SetShowing(bool flag) override {
    Check();
    showing.push_back(flag);
  }
  void SetPaused(bool flag) override {
    Check();
    (flag ? pausedAt : resumedAt).push_back(source ? source->executed.load() : 0);
  }
  void ClearStructure() override {}

  bool ready = true, canStart = true;
  int activations = 0;
  std::vector<bool> showing;
  std::vector<int> pausedAt, resumedAt; ///< the source's pass at every SetPaused(true) and SetPaused(false)
  Ptr<ScriptBlock> source;
};

/// Serves hand-overs until done() or a generous deadline (so that a fault fails instead of hanging); returns done().
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

} // namespace corvatin::test
