#include "blocks/worker.h"

#include <exception>
#include <stdexcept>

namespace corvatin {

namespace {
/// Ends a pass whose record will never get its turn (a run sharing the input failed at an earlier record).
struct ERunStopped {};
} // namespace

Ptr<TPackageThread> TPackageThread::Create(Setup setup) {
  auto worker = std::make_shared<TPackageThread>(std::move(setup));
  worker->Launch();
  return worker;
}

TPackageThread::TPackageThread(Setup setup)
    : blocks_(std::move(setup.blocks)), editorIndex_(setup.editorIndex), finishNotify_(std::move(setup.finishNotify)),
      progress_(std::move(setup.progress)), log_(std::move(setup.log)), dispatcher_(std::move(setup.dispatcher)),
      showing_(setup.showing), inline_(setup.runInline), share_(std::move(setup.share)),
      showRequested_(setup.showing) {
  // Inline runs hand nothing over: asking for the process-wide dispatcher would bind it to this thread.
  if (!dispatcher_ && !inline_) dispatcher_ = MainDispatcher();
  for (const auto& block : blocks_) {
    busy_.push_back(std::dynamic_pointer_cast<IBusy>(block));
    if (!input_ && (input_ = std::dynamic_pointer_cast<IInput>(block))) inputIndex_ = busy_.size() - 1;
  }
  // Without an input block the first block delivers the structures: the record is known after it.
  if (!input_) inputIndex_ = 0;
  if (editorIndex_ >= 0 && editorIndex_ < static_cast<int>(blocks_.size()))
    editor_ = std::dynamic_pointer_cast<IEditor>(blocks_[static_cast<size_t>(editorIndex_)]);
  if (!editor_) editorIndex_ = -1;
}

TPackageThread::~TPackageThread() {
  // The thread holds a reference to us until its function returns, so a joinable thread here has finished its
  // work: joining is immediate. On the thread itself (the owner let it go) it can only be detached.
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      thread_.join();
  }
}

void TPackageThread::Launch() {
  if (inline_) return;
  Ptr<TPackageThread> self = SelfAs<TPackageThread>();
  thread_ = std::thread([self] {
    try {
      self->Body();
    } catch (...) {
      // Body handles every error of the run; nothing may escape the thread whatever happens.
    }
    self->EndOfThread();
    self->ended_ = true;
    self->dispatcher_->Wake();
  });
}

// ------------------------------------------------------------------------------------------ main thread side

void TPackageThread::Begin(bool step) {
  if (begun_) return;
  if (inline_ && step) throw std::logic_error("a run on the calling thread cannot step");
  begun_ = true;
  state_ = step ? wsStepping : wsRunning;
  wake_.Set();
  if (!inline_) return;
  try {
    Body();
  } catch (...) {
    // As on a thread of its own: Body handles every error of the run.
  }
  EndOfThread();
  ended_ = true;
}

void TPackageThread::SetState(int state) {
  if (state == wsFinished) {
    StopAndWait();
    return;
  }
  if (state != wsRunning && state != wsStepping) return;
  // A finished run must not look running again, and a stop under way must not be undone.
  const int current = state_;
  if (!begun_ || current == wsFinished || current == wsStopping) return;
  state_ = state;
  // Signalled whether or not the worker waits: a signal given during a free run releases the next pause point.
  wake_.Set();
}

void TPackageThread::RequestStop() {
  if (state_ == wsFinished && begun_) return;
  begun_ = true;
  state_ = wsStopping;
  terminated_ = true;
  wake_.Set();
}

void TPackageThread::StopAndWait() {
  RequestStop();
  WaitUntilEnded();
}

bool TPackageThread::WaitUntilEnded() {
  if (depth_ > 0) return false;
  if (inline_) return true; // an inline run has ended when Begin returns
  dispatcher_->ServeUntil([this] { return ended_.load(); });
  if (thread_.joinable()) thread_.join();
  return true;
}

void TPackageThread::Detach() {
  if (thread_.joinable()) thread_.detach();
}

void TPackageThread::HandOver(const std::function<void()>& fn) {
  // Lines held for this structure go first, in the same hand-over: the window sees them in order.
  const bool deliver = !inline_ && !held_.empty() && !Withholding();
  const auto run = [&] {
    // Counted on the main thread: while it is above 0 the main thread must not wait for this worker.
    ++depth_;
    try {
      if (deliver) DeliverHeldHere();
      fn();
    } catch (...) {
      --depth_;
      throw;
    }
    --depth_;
  };
  if (inline_)
    run();
  else
    dispatcher_->Invoke(run);
}

bool TPackageThread::Withholding() const {
  if (!share_.Partial()) return false;
  return record_ < 0 || (share_.turns && !turnHeld_);
}

void TPackageThread::DeliverHeldHere() {
  std::vector<Line> lines;
  lines.swap(held_);
  if (log_)
    for (const Line& line : lines) log_->AddMessage(line.text, line.kind, line.transient);
}

void TPackageThread::DeliverHeld() {
  if (held_.empty()) return;
  if (inline_)
    DeliverHeldHere();
  else
    HandOver([] {});
}

// ---------------------------------------------------------------------------- what the blocks call

void TPackageThread::Progress(int position, bool& cont, bool& refresh) {
  cont_ = cont && state_ != wsStopping;
  refresh_ = refresh;
  position_ = position;
  // A window redraws its bar only when the position moves: the same position again costs no hand-over.
  if (progress_ && (inline_ || refresh || position != shownPosition_)) {
    shownPosition_ = position;
    HandOver([this] { progress_->Progress(position_, cont_, refresh_); });
  }
  cont = cont_;
  refresh = refresh_;
}

void TPackageThread::ProgressText(int position, bool& cont, const std::string& text, bool& refresh) {
  cont2_ = cont && state_ != wsStopping;
  refresh2_ = refresh;
  position2_ = position;
  text2_ = text;
  if (progress_) HandOver([this] { progress_->ProgressText(position2_, cont2_, text2_, refresh2_); });
  cont = cont2_;
  refresh = refresh2_;
}

void TPackageThread::Clear() {
  if (log_) HandOver([this] { log_->Clear(); });
}

void TPackageThread::AddMessage(const std::string& text, int kind, bool transient) {
  if (!log_) return;
  // On a thread of its own a structure's lines go to the window together, at the end of its pass; in a shared
  // run they wait until the record is known to be this run's and its turn has come.
  if (!inline_ || Withholding()) {
    held_.push_back({text, kind, transient});
    return;
  }
  log_->AddMessage(text, kind, transient);
}

void TPackageThread::InInputOrder(const std::function<void()>& method) {
  if (!TakeTurn()) throw ERunStopped();
  method();
}

void TPackageThread::SafeLog(const std::string& text, int kind) {
  try {
    AddMessage(text, kind, false);
  } catch (...) {
    // The log itself failed; the run must still end properly.
  }
}

// ------------------------------------------------------------------------------------------ the run

void TPackageThread::Body() {
  if (!inline_) wake_.Wait();
  aborted_ = true;
  try {
    Clear();
    StartBlocks();
    if (!startOk_) throw EFatalError(startMessage_);
    // A value read under a name nobody writes would be read as 0 on every structure: refused before any is read.
    CheckChain(blocks_);
    RunPasses();
    aborted_ = false;
  } catch (const EChemError& e) {
    failed_ = true;
    SafeLog(e.what(), lkError);
  } catch (const EFatalError& e) {
    failed_ = true;
    SafeLog(e.what(), lkError);
  } catch (const std::exception& e) {
    // Not one of the run's own errors: still say what it was, never a bare "Unexpected error".
    failed_ = true;
    SafeLog(std::string(kUnexpectedError) + " (" + e.what() + ")", lkError);
  } catch (...) {
    failed_ = true;
    SafeLog(kUnexpectedError, lkError);
  }
  summary_.outcome = failed_ ? roStoppedOnError : (terminated_ || aborted_) ? roStoppedByUser : roFinished;
  if (share_.turns) {
    // The workers of one process: whoever runs them closes the log once for all.
    EndShare();
    return;
  }
  if (share_.Partial()) EndShare();
  SafeLog(RunSummaryText(summary_), lkPlain);
  SafeLog(terminated_ || aborted_ ? kExecutionStopped : kExecutionFinished, lkHeading);
  try {
    DeliverHeld();
  } catch (...) {
  }
}

void TPackageThread::StartBlocks() {
  HandOver([this] {
    cont_ = true;
    refresh_ = false;
    position_ = 0;
    if (progress_) progress_->Progress(position_, cont_, refresh_);
    if (editor_) editor_->SetShowing(showing_);
    const Ptr<IProgressCallback> callback = SelfAs<IProgressCallback>();
    const Ptr<IProgressLog> log = SelfAs<IProgressLog>();
    for (const auto& block : blocks_) {
      // Every block is started even after a failure, so that every block's Stop finds it started.
      try {
        block->SetProgress(callback);
        block->SetLog(log);
        block->Start(this);
      } catch (const EChemError& e) {
        if (startOk_) startMessage_ = e.what();
        startOk_ = false;
      } catch (const EFatalError& e) {
        if (startOk_) startMessage_ = e.what();
        startOk_ = false;
      } catch (const std::exception& e) {
        if (startOk_) startMessage_ = std::string(kUnexpectedError) + " (" + e.what() + ")";
        startOk_ = false;
      } catch (...) {
        if (startOk_) startMessage_ = kUnexpectedError;
        startOk_ = false;
      }
    }
  });
}

void TPackageThread::RunPasses() {
  // An empty chain has nothing that could ever end its passes.
  bool more = !blocks_.empty();
  while (more && !terminated_) {
    record_ = -1;
    taken_ = false;
    turnHeld_ = false;
    bool written = false, skipped = false;
    try {
      RunPass(more);
      written = !terminated_ && taken_;
    } catch (const EInputError&) {
      throw;
    } catch (const ENoStructure&) {
      // The input had nothing to deliver: no structure, nothing to say.
    } catch (const ERunStopped&) {
      terminated_ = true;
    } catch (const ERecordError& e) {
      // A broken record: the reader's message names the file, the line and the record.
      if (record_ >= 0 || TakeRecord()) {
        skipped = true;
        AddMessage(e.what(), lkError, false);
      }
    } catch (const EChemError& e) {
      // One structure failed: say which, and go on with the next one.
      if (record_ >= 0 || TakeRecord()) {
        skipped = true;
        std::string where;
        try {
          if (input_) where = input_->GetRecordText();
        } catch (...) {
        }
        AddMessage(where.empty() ? std::string(e.what()) : std::string(e.what()) + " (" + where + ")", lkError,
                   false);
      }
    }
    EndRecord(written, skipped);
    // A caller that said "stop" before any block ran would otherwise see the same pass repeat forever.
    if (!cont_) terminated_ = true;
  }
}

bool TPackageThread::TakeRecord() {
  if (share_.queue) {
    // The reader handed this run the record: it is this run's, at the index the reader counted.
    record_ = fed_.index;
    taken_ = true;
    return true;
  }
  record_ = nextRecord_++;
  taken_ = share_.Takes(record_);
  // Another run writes this record and its lines; this one only had to read past it.
  if (!taken_) held_.clear();
  return taken_;
}

bool TPackageThread::TakeTurn() {
  if (!share_.turns || turnHeld_) return true;
  if (!share_.turns->Wait(Turn())) return false;
  turnHeld_ = true;
  DeliverHeld();
  return true;
}

void TPackageThread::EndRecord(bool written, bool skipped) {
  if (record_ < 0) {
    // No record was read (a file without structures): its lines belong to the next record, or to the end.
    if (!share_.Partial()) DeliverHeld();
    return;
  }
  if (!taken_) return;
  if (!TakeTurn()) {
    held_.clear();
    terminated_ = true;
    return;
  }
  DeliverHeld();
  if (written) ++summary_.written;
  if (skipped) ++summary_.skipped;
  if (share_.turns) share_.turns->Pass(Turn());
  turnHeld_ = false;
}

void TPackageThread::EndShare() {
  try {
    if (!share_.turns) {
      DeliverHeld();
      return;
    }
    if (share_.queue) {
      // A failure inside a pass is said at the turn of what this run took in it; one before any pass (the start,
      // which every worker fails alike) by the first worker, at the first turn. Without a failure, the warnings
      // the reader left after the last record are said at their turn by the run that took them.
      const bool owner = failed_ ? fedThisPass_ || share_.worker == 0 : tailTurn_ >= 0;
      const std::int64_t last = failed_ ? (fedThisPass_ ? fed_.turn : 0) : tailTurn_;
      if (!turnHeld_ && owner) turnHeld_ = share_.turns->Wait(last);
      if (turnHeld_) DeliverHeld();
      held_.clear();
      if (failed_) share_.turns->StopAt(owner ? last : last + 1);
      return;
    }
    // The end, or the record that failed, is the one after the last read unless the failure came inside a record
    // of this run's own; the lines left over (the failure, a file without structures) are said by its owner.
    const std::int64_t last = share_.Position(failed_ && record_ >= 0 && taken_ ? record_ : nextRecord_);
    const bool owner = share_.TakesPosition(last);
    if (!turnHeld_ && owner) turnHeld_ = share_.turns->Wait(last);
    if (turnHeld_) DeliverHeld();
    held_.clear();
    if (failed_) share_.turns->StopAt(owner ? last : last + 1);
  } catch (...) {
    // The log failed; the other workers must still be released.
    if (failed_) share_.turns->StopAt(0);
  }
}

void TPackageThread::RunPass(bool& more) {
  const bool requested = showRequested_;
  if (requested != showing_) {
    showing_ = requested;
    if (editor_) HandOver([this] { editor_->SetShowing(showing_); });
  }
  if (share_.queue) {
    if (!TakeFromQueue()) {
      more = false;
      return;
    }
  } else if (input_) {
    // A record another worker takes is only read past; completing its structure would be wasted.
    input_->SetSkimming(share_.Partial() && !share_.Takes(nextRecord_));
  }
  for (size_t i = 0; i < blocks_.size() && cont_ && !terminated_; ++i) {
    if (showing_ || !blocks_[i]->IsDisplayOnly()) ExecuteBlock(i, more);
    if (i == inputIndex_ && !TakeRecord()) return;
    if (cont_ && !terminated_) {
      if (static_cast<int>(i) == editorIndex_ && state_ == wsStepping) PauseAtEditor();
    } else {
      terminated_ = true;
    }
  }
}

bool TPackageThread::TakeFromQueue() {
  fedThisPass_ = false;
  if (!share_.queue->Pop(fed_)) return false;
  fedThisPass_ = true;
  // The lines said before the first record (the check of the files when the blocks start) are every worker's:
  // only the worker whose first record comes first says them.
  if (!fedBefore_ && fed_.turn != 0) held_.clear();
  fedBefore_ = true;
  if (fed_.index < 0 && fed_.error.empty()) tailTurn_ = fed_.turn;
  if (input_) input_->FeedRecord(&fed_);
  return true;
}

void TPackageThread::ExecuteBlock(size_t index, bool& more) {
  const Ptr<IBusy>& busy = busy_[index];
  if (busy) busy->SetBusy(true);
  try {
    blocks_[index]->Execute(more);
  } catch (...) {
    if (busy) {
      try {
        busy->SetBusy(false);
      } catch (...) {
        // The block's own error is the one to report.
      }
    }
    throw;
  }
  if (busy) busy->SetBusy(false);
}

void TPackageThread::PauseAtEditor() {
  struct ClearPaused {
    std::atomic<bool>& flag;
    ~ClearPaused() { flag = false; }
  } clearPaused{paused_};
  paused_ = true;
  HandOver([this] { editor_->SetPaused(true); });
  wake_.Wait();
  HandOver([this] { editor_->SetPaused(false); });
}

void TPackageThread::EndOfThread() {
  try {
    HandOver([this] {
      state_ = wsFinished;
      for (const auto& block : blocks_) {
        try {
          block->SetProgress(nullptr);
          block->SetLog(nullptr);
        } catch (...) {
        }
      }
      const auto note = [this](const std::string& text) {
        try {
          if (log_) log_->AddMessage(text, lkError, false);
        } catch (...) {
        }
      };
      for (const auto& block : blocks_) {
        // A block that fails to close (an output file that cannot be flushed) must not go unnoticed.
        try {
          block->Stop();
        } catch (const EChemError& e) {
          note(e.what());
        } catch (const EFatalError& e) {
          note(e.what());
        } catch (...) {
          note(kUnexpectedError);
        }
      }
      released_ = true;
      log_.reset();
      // Released before the calls, so that the receivers may start the next run from here.
      const Ptr<IProgressCallback> progress = std::move(progress_);
      const Ptr<IRunFinished> finish = std::move(finishNotify_);
      progress_.reset();
      finishNotify_.reset();
      if (progress) {
        bool cont = false;
        bool refresh = false;
        try {
          progress->Progress(100, cont, refresh);
        } catch (...) {
        }
      }
      if (finish) {
        try {
          finish->RunFinished();
        } catch (...) {
        }
      }
    });
  } catch (...) {
    // Nothing may escape the thread.
  }
}

} // namespace corvatin
