#pragma once
// A package: one procedure, a named chain of blocks run once per structure on a worker thread.

#include "blocks/block.h"
#include "blocks/dispatcher.h"
#include "blocks/editor.h"
#include "blocks/input.h"
#include "blocks/record_share.h"

#include <string>
#include <vector>

namespace corvatin {

/// How a run ended.
enum RunOutcome : int { roFinished = 0, roStoppedByUser = 1, roStoppedOnError = 2 };

/// What a run did: how it ended, the structures that went through the whole chain and those skipped for an
/// error of their own (a broken record, a structure a block could not handle).
struct TRunSummary {
  RunOutcome outcome = roStoppedOnError;
  int written = 0;
  int skipped = 0;
};

/// The run's last log line but one: "N structures written, K skipped".
std::string RunSummaryText(const TRunSummary& summary);

/// Told on the main thread when a run has ended, whatever the reason.
class IRunFinished : public virtual IObject {
public:
  virtual void RunFinished() = 0;
};

/// One procedure of the catalogue.
class IPackage : public virtual IObject {
public:
  /// Appends block and names its ports from index 0; the first IInput block becomes the input, the last IEditor
  /// block the editor. Throws std::out_of_range (adding nothing) when more names than ports are given.
  virtual void AddBlock(const Ptr<IBlock>& block, const std::vector<std::string>& portNames) = 0;
  virtual std::string GetName() const = 0;
  virtual int GetBlockCount() const = 0;
  /// Throws std::out_of_range.
  virtual Ptr<IBlock> GetBlock(int index) const = 0;
  /// The input block, none without one.
  virtual Ptr<IInput> GetInput() const = 0;
  /// -1 without an editor block.
  virtual int GetEditorIndex() const = 0;
  /// False while running; otherwise the editor block's readiness (true without one).
  virtual bool CanExecute() const = 0;
  virtual void ActivateEditor() = 0;
  /// Starts a run (paused at the editor block after the first structure when step); false when the editor block
  /// cannot start (no worker is created then). A package run inline has finished its run when this returns and
  /// refuses step with std::logic_error.
  virtual bool Execute(bool step, const Ptr<IRunFinished>& finishNotify, const Ptr<IProgressLog>& log,
                       const Ptr<IProgressCallback>& progress) = 0;
  virtual void Pause() = 0;
  virtual void Step() = 0;
  virtual void Resume() = 0;
  /// Ends the run after the current block and waits for the worker (serving its calls meanwhile).
  virtual void Stop() = 0;
  virtual void SetShowStructures(bool flag) = 0;
  virtual bool IsRunning() const = 0;
  virtual bool IsPaused() const = 0;
};

class TPackageThread;

/// The package implementation; its parameter list is the concatenation of its blocks' lists.
class TPackage : public virtual IPackage, public virtual IParamList {
public:
  /// dispatcher: the hand-over to the main thread (the process-wide MainDispatcher() when none).
  explicit TPackage(std::string name, Ptr<IDispatcher> dispatcher = nullptr);
  ~TPackage() override;
  TPackage(const TPackage&) = delete;
  TPackage& operator=(const TPackage&) = delete;

  void AddBlock(const Ptr<IBlock>& block, const std::vector<std::string>& portNames) override;
  std::string GetName() const override { return name_; }
  int GetBlockCount() const override { return static_cast<int>(blocks_.size()); }
  Ptr<IBlock> GetBlock(int index) const override;
  Ptr<IInput> GetInput() const override;
  int GetEditorIndex() const override { return editorIndex_; }
  bool CanExecute() const override;
  void ActivateEditor() override;
  bool Execute(bool step, const Ptr<IRunFinished>& finishNotify, const Ptr<IProgressLog>& log,
               const Ptr<IProgressCallback>& progress) override;
  void Pause() override;
  void Step() override;
  void Resume() override;
  void Stop() override;
  void SetShowStructures(bool flag) override;
  bool IsRunning() const override;
  bool IsPaused() const override;

  int Count() const override;
  /// Throws std::out_of_range.
  Ptr<IParameter> GetParamAt(int index) const override;
  /// Throws std::out_of_range.
  std::string GetNameAt(int index) const override;

  /// Later runs run on the thread that starts them, with no hand-over to the main thread (a program without a
  /// window); step mode is refused then.
  void SetRunInline(bool flag) { runInline_ = flag; }
  /// The share of the input's records later runs take (all by default).
  void SetRecordShare(const TRecordShare& share) { share_ = share; }

  /// The summary of the last run once it has ended (its outcome stays roStoppedOnError while none has).
  TRunSummary GetRunSummary() const;

  /// Serves the worker's calls until the run (and any run started from its end) has finished; a run waiting at a
  /// pause point waits for Step, Resume or Stop. False when called from inside one of the worker's own calls.
  bool WaitForRun();

private:
  Ptr<IEditor> Editor() const;
  /// The block holding flat parameter index (index becomes the index inside that block's list).
  Ptr<IParamList> Locate(int& index) const;
  /// Ends and joins the previous worker; false when that is impossible right now (called from inside its calls).
  bool ReleaseWorker();
  /// Joins earlier workers that could not be joined when they were replaced.
  void ReapRetired();

  std::string name_;
  std::vector<Ptr<IBlock>> blocks_;
  int editorIndex_ = -1;
  int inputIndex_ = -1;
  Ptr<TPackageThread> thread_;
  std::vector<Ptr<TPackageThread>> retired_;
  bool showStructures_ = true;
  Ptr<IDispatcher> dispatcher_;
  bool runInline_ = false;
  TRecordShare share_;
};

} // namespace corvatin
