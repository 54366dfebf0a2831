#pragma once
// The worker of a package: runs the chain once per structure. On its own thread it relays the blocks' calls to the
// main thread through the dispatcher (a structure's log lines in one hand-over) and offers pause, step, resume and
// stop; inline it runs on the calling thread with no hand-over at all (the batch tool, which has no window).

#include "blocks/block.h"
#include "blocks/dispatcher.h"
#include "blocks/editor.h"
#include "blocks/event.h"
#include "blocks/input.h"
#include "blocks/package.h"
#include "blocks/record_share.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace corvatin {

/// Worker states.
enum WorkerState : int { wsFinished = 0, wsRunning = 1, wsStepping = 2, wsStopping = 3 };

/// Closing and error texts of a run, as the log shows them.
inline constexpr const char* kUnexpectedError = "Unexpected error";
inline constexpr const char* kExecutionStopped = "Procedure execution stopped";
inline constexpr const char* kExecutionFinished = "Procedure execution successfully finished";

class TPackageThread : public virtual IProgressCallback, public virtual IProgressLog, public virtual IWorkerThread {
public:
  /// What a run needs; the block list is a copy, so changes to the package never reach a running worker.
  struct Setup {
    std::vector<Ptr<IBlock>> blocks;
    int editorIndex = -1;
    bool showing = true;
    Ptr<IProgressLog> log;
    Ptr<IProgressCallback> progress;
    Ptr<IRunFinished> finishNotify;
    Ptr<IDispatcher> dispatcher;
    /// Runs on the thread that calls Begin, without hand-overs; step mode is refused.
    bool runInline = false;
    /// The share of the input's records this run takes (all when count is 1).
    TRecordShare share;
  };

  /// Creates the worker; its thread waits for the first state change (Begin).
  static Ptr<TPackageThread> Create(Setup setup);
  explicit TPackageThread(Setup setup);
  ~TPackageThread() override;
  TPackageThread(const TPackageThread&) = delete;
  TPackageThread& operator=(const TPackageThread&) = delete;

  // Main thread.
  /// Releases the thread into its run: paused at the editor block when step. Inline, runs the whole run before
  /// returning; std::logic_error for step.
  void Begin(bool step);
  /// 1 runs freely, 2 pauses at the next pause point but one; ignored once the run ends or is being stopped.
  void SetState(int state);
  /// Asks the run to end (state 3) unless it has ended; does not wait.
  void RequestStop();
  /// RequestStop, then WaitUntilEnded.
  void StopAndWait();
  /// Serves the worker's calls until its thread has ended, then joins it. False (without waiting) when called
  /// from inside one of this worker's own calls, which could never end while we wait.
  bool WaitUntilEnded();
  /// Lets the thread finish on its own (the owner goes away inside one of its calls).
  void Detach();
  void SetShowRequested(bool flag) { showRequested_ = flag; }
  int GetState() const { return state_; }
  bool IsPaused() const { return paused_; }
  /// Whether the main thread is inside one of this worker's hand-overs.
  bool InHandOver() const { return depth_ > 0; }
  /// Whether the end of the run has stopped the blocks (they may be started again).
  bool Released() const { return released_; }
  bool HasEnded() const { return ended_; }
  /// How the run ended and what it did; complete once HasEnded.
  TRunSummary Summary() const { return summary_; }

  // The blocks' side (worker thread; also valid on the main thread).
  void Progress(int position, bool& cont, bool& refresh) override;
  void ProgressText(int position, bool& cont, const std::string& text, bool& refresh) override;
  void Clear() override;
  void AddMessage(const std::string& text, int kind, bool transient) override;
  void Synchronize(const std::function<void()>& method) override { HandOver(method); }
  void InInputOrder(const std::function<void()>& method) override;
  Ptr<TParameters> DataSpace() override { return space_; }
  std::int64_t CurrentRecord() const override { return record_; }

private:
  void Launch();
  void Body();
  void StartBlocks();
  void RunPasses();
  void RunPass(bool& more);
  void ExecuteBlock(size_t index, bool& more);
  void PauseAtEditor();
  void EndOfThread();
  /// Decides whether the record just read is this run's; false ends the pass unseen.
  bool TakeRecord();
  /// After a pass: waits for the record's turn, delivers its lines, counts it and passes the turn on.
  void EndRecord(bool written, bool skipped);
  /// After the last pass of a shared run: delivers what is left in turn and ends the others' turns on a failure.
  void EndShare();
  /// The turn of the current record: its position in the shard, or the one its reader gave it.
  std::int64_t Turn() const { return share_.queue ? fed_.turn : share_.Position(record_); }
  /// Takes the next record from the run's reader for the input, then a compute slot; false when none is left.
  bool TakeFromQueue();
  /// Takes the current record's turn unless held; false when the runs stopped before it.
  bool TakeTurn();
  /// Whether log lines wait for the record's decision or its turn.
  bool Withholding() const;
  /// Delivers the held log lines (in one hand-over on a thread of its own).
  void DeliverHeld();
  void DeliverHeldHere();
  /// Logs from the worker's own error handling: never throws.
  void SafeLog(const std::string& text, int kind);
  /// Runs fn on the main thread and waits (the synchronous hand-over).
  void HandOver(const std::function<void()>& fn);

  std::vector<Ptr<IBlock>> blocks_;
  std::vector<Ptr<IBusy>> busy_;
  int editorIndex_;
  Ptr<IEditor> editor_;
  Ptr<IInput> input_; // says where a failing structure came from
  Ptr<IRunFinished> finishNotify_;
  Ptr<IProgressCallback> progress_;
  Ptr<IProgressLog> log_;
  Ptr<IDispatcher> dispatcher_;

  // Worker-side fields, also touched on the main thread inside hand-overs (which order the accesses).
  bool showing_;
  bool cont_ = true, refresh_ = false;
  int position_ = 0;
  bool cont2_ = true, refresh2_ = false;
  int position2_ = 0;
  std::string text2_;
  struct Line {
    std::string text;
    int kind;
    bool transient;
  };
  std::vector<Line> held_;   // log lines not delivered yet
  int shownPosition_ = -1;   // the last position the progress receiver was given
  std::int64_t nextRecord_ = 0; // records read so far over every file
  std::int64_t record_ = -1;    // the record of this pass, -1 before it is read
  bool taken_ = false;          // the record is this run's
  bool turnHeld_ = false;
  bool startOk_ = true;
  std::string startMessage_;
  bool aborted_ = false;
  bool failed_ = false; // an error ended the run
  TRunSummary summary_;
  bool inline_;
  TRecordShare share_;
  TRecordText fed_;             // the record from the run's reader this pass reads (share_.queue)
  bool fedThisPass_ = false;    // a record (or the reader's end or error) was taken this pass
  bool fedBefore_ = false;      // one was taken in an earlier pass
  std::int64_t tailTurn_ = -1;  // the turn of the reader's last words (warnings after the last record)
  size_t inputIndex_ = static_cast<size_t>(-1);
  Ptr<TParameters> space_ = std::make_shared<TParameters>(); // this run's structures, seen by no other run

  // Shared between the threads.
  std::atomic<int> state_{wsFinished};
  std::atomic<bool> showRequested_;
  std::atomic<bool> paused_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> ended_{false};
  TAutoResetEvent wake_;

  // Main thread only.
  bool begun_ = false;
  int depth_ = 0;
  bool released_ = false;

  std::thread thread_;
};

} // namespace corvatin
