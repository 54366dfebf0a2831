#pragma once
// Processing blocks: one step of a procedure (read, complete, classify, compute, write). Blocks never hold each
// other; they hand structures on through the run's data space under their port names.

#include "core/errors.h"
#include "core/parameters.h"
#include "core/progress.h"
#include "graph/graph.h"

#include <cstdint>
#include <functional>
#include <string>
#include <typeindex>
#include <vector>

namespace corvatin {

/// The worker side a running block sees: runs an operation on the main thread and waits for it.
class IWorkerThread : public virtual IObject {
public:
  virtual void Synchronize(const std::function<void()>& method) = 0;
  /// Runs method once every earlier record of the input has written its results (at once in a run of its own).
  virtual void InInputOrder(const std::function<void()>& method) { method(); }
  /// The data space of the run: the structures its blocks hand to each other.
  virtual Ptr<TParameters> DataSpace() { return SharedDataSpace(); }
  /// The input record the run is at (0-based over all its files; -1 when unknown).
  virtual std::int64_t CurrentRecord() const { return -1; }
};

/// One processing step of a procedure.
class IBlock : public virtual IObject {
public:
  /// The display name ("" for the base).
  virtual std::string GetName() const = 0;
  virtual int GetPortCount() const = 0;
  /// Throws std::out_of_range for an index outside the ports.
  virtual std::string GetPortName(int index) const = 0;
  /// Throws std::out_of_range for an index outside the ports.
  virtual void SetPortName(int index, const std::string& name) = 0;
  /// True for blocks that only show the structure; skipped while structures are not shown.
  virtual bool IsDisplayOnly() const = 0;
  /// Processes the current structure; a block delivering structures sets more to say whether another pass follows.
  virtual void Execute(bool& more) = 0;
  /// Run begins (main thread): remembers the worker, an uncounted link (none outside a run). The worker must be
  /// owned by a shared_ptr; the link is weak, so it never dangles even when a block's Stop fails.
  virtual void Start(IWorkerThread* thread) = 0;
  /// Run ends (main thread).
  virtual void Stop() = 0;
  virtual void SetProgress(const Ptr<IProgressCallback>& callback) = 0;
  virtual void SetLog(const Ptr<IProgressLog>& log) = 0;
};

/// A block that needs something of the blocks before it in its chain (the values it reads): checked when a run
/// starts, before any structure is read.
class IChainCheck : public virtual IObject {
public:
  /// Throws EFatalError naming this block and what is missing when the blocks before it do not provide it.
  virtual void CheckChain(const std::vector<Ptr<IBlock>>& before) const = 0;
};

/// Runs every IChainCheck of chain against the blocks before it; the first gap throws EFatalError.
void CheckChain(const std::vector<Ptr<IBlock>>& chain);

/// Told by the worker that a block's Execute is about to run (true) or has just ended (false).
class IBusy : public virtual IObject {
public:
  virtual void SetBusy(bool flag) = 0;
};

/// The base of every block: its settings are its parameters.
class TBlock : public TParameters, public virtual IBlock, public virtual IBusy {
public:
  explicit TBlock(int portCount);

  std::string GetName() const override { return {}; }
  int GetPortCount() const override { return static_cast<int>(portNames_.size()); }
  std::string GetPortName(int index) const override;
  void SetPortName(int index, const std::string& name) override;
  bool IsDisplayOnly() const override { return false; }
  void Execute(bool& more) override;
  void Start(IWorkerThread* thread) override;
  void Stop() override;
  void SetProgress(const Ptr<IProgressCallback>& callback) override { progress_ = callback; }
  void SetLog(const Ptr<IProgressLog>& log) override { log_ = log; }
  void SetBusy(bool flag) override;

  /// True between Start and Stop.
  bool IsActive() const { return running_; }

protected:
  Ptr<IProgressLog> GetLog() const { return log_; }
  Ptr<IProgressCallback> GetProgress() const { return progress_; }
  Ptr<IWorkerThread> GetThread() const { return thread_.lock(); }

  /// The data space of the running run (the process-wide one outside a run).
  const Ptr<TParameters>& DataSpace() const { return space_; }
  /// The object published under port 0's name in the data space (none when nothing is published).
  Ptr<IObject> GetInputObject() const;
  /// The published input as interface T (none when missing or unsupported).
  template <class T> Ptr<T> GetInputAs() const { return std::dynamic_pointer_cast<T>(GetInputObject()); }
  /// The structure published under port 0's name (none when nothing is published).
  Ptr<ISubGraph> GetInputStructure() const { return GetInputAs<ISubGraph>(); }
  /// Publishes structure under port 0's name as an interface parameter with identifier T.
  template <class T> void PublishStructure(const Ptr<T>& structure) {
    space_->AddParam(GetPortName(0), MakeInterfaceParam<T>(structure), nullptr, true);
  }
  /// Removes port 0's entry from the data space.
  void WithdrawStructure();

  /// Runs method on the main thread through the worker and waits; outside a run it runs at once.
  void Synchronize(const std::function<void()>& method);
  /// The input record being processed (-1 outside a run or before one is read).
  std::int64_t CurrentRecord() const;
  /// Runs method after every earlier record's results (at once outside a run shared by several workers).
  void InInputOrder(const std::function<void()>& method);
  /// Reports position (refresh may be reset by the receiver); false asks the block to stop this structure.
  bool Progress(int position, bool& refresh);
  bool Progress(int position);

  void LogTransientHeading(const std::string& text) { Log(text, lkHeading, true); }
  void LogTransient(const std::string& text) { Log(text, lkPlain, true); }
  void LogMessage(const std::string& text) { Log(text, lkPlain, false); }
  void LogHeading(const std::string& text) { Log(text, lkHeading, false); }
  void LogResult(const std::string& text) { Log(text, lkResult, false); }
  void LogError(const std::string& text) { Log(text, lkError, false); }
  void LogWarning(const std::string& text) { Log(text, lkWarning, false); }

  /// Ends the whole run.
  [[noreturn]] void Fatal(const std::string& message) const { throw EFatalError(message); }

private:
  void Log(const std::string& text, int kind, bool transient) {
    if (log_) log_->AddMessage(text, kind, transient);
  }

  Ptr<IProgressLog> log_;
  Ptr<IProgressCallback> progress_;
  bool running_ = false;
  std::vector<std::string> portNames_;
  std::weak_ptr<IWorkerThread> thread_;
  Ptr<TParameters> space_ = SharedDataSpace();
};

} // namespace corvatin
