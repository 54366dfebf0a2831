#include "blocks/package.h"

#include "blocks/worker.h"

#include <stdexcept>

namespace corvatin {

TPackage::TPackage(std::string name, Ptr<IDispatcher> dispatcher)
    : name_(std::move(name)), dispatcher_(std::move(dispatcher)) {}

TPackage::~TPackage() {
  std::vector<Ptr<TPackageThread>> workers = std::move(retired_);
  if (thread_) workers.push_back(std::move(thread_));
  for (const auto& worker : workers) {
    if (worker->InHandOver()) {
      // Destroyed from inside one of the worker's own calls: it cannot end while we wait, so let it end alone.
      worker->RequestStop();
      worker->Detach();
    } else {
      worker->StopAndWait();
    }
  }
}

void TPackage::AddBlock(const Ptr<IBlock>& block, const std::vector<std::string>& portNames) {
  if (!block) throw std::invalid_argument("AddBlock: no block given");
  if (static_cast<int>(portNames.size()) > block->GetPortCount())
    throw std::out_of_range("AddBlock: " + std::to_string(portNames.size()) + " port names for " +
                            std::to_string(block->GetPortCount()) + " ports");
  blocks_.push_back(block);
  const int index = static_cast<int>(blocks_.size()) - 1;
  if (inputIndex_ < 0 && std::dynamic_pointer_cast<IInput>(block)) inputIndex_ = index;
  if (std::dynamic_pointer_cast<IEditor>(block)) editorIndex_ = index;
  for (size_t i = 0; i < portNames.size(); ++i)
    block->SetPortName(static_cast<int>(i), portNames[i]);
}

Ptr<IBlock> TPackage::GetBlock(int index) const {
  if (index < 0 || index >= GetBlockCount()) throw std::out_of_range("block index " + std::to_string(index));
  return blocks_[static_cast<size_t>(index)];
}

Ptr<IInput> TPackage::GetInput() const {
  if (inputIndex_ < 0) return nullptr;
  return std::dynamic_pointer_cast<IInput>(blocks_[static_cast<size_t>(inputIndex_)]);
}

Ptr<IEditor> TPackage::Editor() const {
  if (editorIndex_ < 0) return nullptr;
  return std::dynamic_pointer_cast<IEditor>(blocks_[static_cast<size_t>(editorIndex_)]);
}

bool TPackage::CanExecute() const {
  if (IsRunning()) return false;
  const Ptr<IEditor> editor = Editor();
  return editor ? editor->IsReady() : true;
}

void TPackage::ActivateEditor() {
  if (IsRunning()) return;
  if (const Ptr<IEditor> editor = Editor()) editor->Activate();
}

bool TPackage::Execute(bool step, const Ptr<IRunFinished>& finishNotify, const Ptr<IProgressLog>& log,
                       const Ptr<IProgressCallback>& progress) {
  if (runInline_ && step) throw std::logic_error("a run on the calling thread cannot step");
  if (const Ptr<IEditor> editor = Editor())
    if (!editor->CanStart()) return false;
  if (!ReleaseWorker()) return false;
  ReapRetired();
  if (!dispatcher_ && !runInline_) dispatcher_ = MainDispatcher();
  TPackageThread::Setup setup;
  setup.blocks = blocks_;
  setup.editorIndex = editorIndex_;
  setup.showing = showStructures_;
  setup.log = log;
  setup.progress = progress;
  setup.finishNotify = finishNotify;
  setup.dispatcher = dispatcher_;
  setup.runInline = runInline_;
  setup.share = share_;
  thread_ = TPackageThread::Create(std::move(setup));
  thread_->Begin(step);
  return true;
}

bool TPackage::ReleaseWorker() {
  while (thread_) {
    const Ptr<TPackageThread> worker = thread_;
    if (worker->InHandOver()) {
      // Called from inside one of its calls to the main thread, so it cannot end before we return. Once it has
      // stopped the blocks (its run-finished call), a new run may start beside its last steps; before, not.
      if (!worker->Released()) {
        worker->RequestStop();
        return false;
      }
      retired_.push_back(worker);
      thread_.reset();
      return true;
    }
    // Serving its calls may start a newer run from its run-finished call; that one is ended by the next round.
    worker->StopAndWait();
    if (thread_ == worker) thread_.reset();
  }
  return true;
}

void TPackage::ReapRetired() {
  size_t i = 0;
  while (i < retired_.size()) {
    const Ptr<TPackageThread> worker = retired_[i];
    if (worker->InHandOver()) {
      ++i;
      continue;
    }
    retired_.erase(retired_.begin() + static_cast<std::ptrdiff_t>(i));
    worker->StopAndWait();
    i = 0; // the wait served calls that may have changed the list
  }
}

void TPackage::Pause() {
  if (thread_) thread_->SetState(wsStepping);
}

void TPackage::Step() {
  if (thread_) thread_->SetState(wsStepping);
}

void TPackage::Resume() {
  if (thread_) thread_->SetState(wsRunning);
}

void TPackage::Stop() {
  if (!thread_ || thread_->GetState() == wsFinished) return;
  const Ptr<TPackageThread> worker = thread_;
  worker->RequestStop();
  // From inside one of the worker's calls the wait could never end; the run then ends when that call returns.
  worker->WaitUntilEnded();
}

void TPackage::SetShowStructures(bool flag) {
  showStructures_ = flag;
  if (thread_) thread_->SetShowRequested(flag);
}

std::string RunSummaryText(const TRunSummary& summary) {
  return std::to_string(summary.written) + " structures written, " + std::to_string(summary.skipped) + " skipped";
}

TRunSummary TPackage::GetRunSummary() const {
  if (!thread_ || !thread_->HasEnded()) return {};
  return thread_->Summary();
}

bool TPackage::IsRunning() const { return thread_ && thread_->GetState() != wsFinished; }

bool TPackage::IsPaused() const { return thread_ && thread_->IsPaused(); }

bool TPackage::WaitForRun() {
  for (;;) {
    ReapRetired();
    const Ptr<TPackageThread> worker = thread_;
    if (!worker) return true;
    if (!worker->WaitUntilEnded()) return false;
    if (thread_ == worker) {
      ReapRetired();
      return true;
    }
  }
}

// ------------------------------------------------------------------------------------- the flat parameter list

int TPackage::Count() const {
  int count = 0;
  for (const auto& block : blocks_)
    if (const auto list = std::dynamic_pointer_cast<IParamList>(block)) count += list->Count();
  return count;
}

Ptr<IParamList> TPackage::Locate(int& index) const {
  if (index >= 0)
    for (const auto& block : blocks_)
      if (const auto list = std::dynamic_pointer_cast<IParamList>(block)) {
        if (index < list->Count()) return list;
        index -= list->Count();
      }
  return nullptr;
}

Ptr<IParameter> TPackage::GetParamAt(int index) const {
  int local = index;
  const Ptr<IParamList> list = Locate(local);
  if (!list) throw std::out_of_range("parameter index " + std::to_string(index));
  return list->GetParamAt(local);
}

std::string TPackage::GetNameAt(int index) const {
  int local = index;
  const Ptr<IParamList> list = Locate(local);
  if (!list) throw std::out_of_range("parameter index " + std::to_string(index));
  return list->GetNameAt(local);
}

} // namespace corvatin
