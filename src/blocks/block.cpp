#include "blocks/block.h"

#include <stdexcept>

namespace corvatin {

TBlock::TBlock(int portCount) : portNames_(static_cast<size_t>(portCount > 0 ? portCount : 0)) {}

std::string TBlock::GetPortName(int index) const {
  if (index < 0 || index >= GetPortCount()) throw std::out_of_range("port index " + std::to_string(index));
  return portNames_[static_cast<size_t>(index)];
}

void TBlock::SetPortName(int index, const std::string& name) {
  if (index < 0 || index >= GetPortCount()) throw std::out_of_range("port index " + std::to_string(index));
  portNames_[static_cast<size_t>(index)] = name;
}

void TBlock::Execute(bool&) {}

void TBlock::Start(IWorkerThread* thread) {
  running_ = true;
  thread_ = thread ? thread->SelfAs<IWorkerThread>() : nullptr;
  // Kept for the run, so that two runs (or the workers of one) never see each other's structures.
  space_ = thread ? thread->DataSpace() : SharedDataSpace();
}

void TBlock::Stop() {
  progress_.reset();
  running_ = false;
  thread_.reset();
  space_ = SharedDataSpace();
}

void TBlock::SetBusy(bool) {}

Ptr<IObject> TBlock::GetInputObject() const {
  // A block without ports has no input; that is "nothing published", not an error.
  if (portNames_.empty()) return nullptr;
  return space_->GetInterfaceObject(portNames_.front());
}

void TBlock::WithdrawStructure() {
  if (!portNames_.empty()) space_->DeleteParam(portNames_.front());
}

void TBlock::Synchronize(const std::function<void()>& method) {
  if (const Ptr<IWorkerThread> thread = thread_.lock())
    thread->Synchronize(method);
  else
    method();
}

std::int64_t TBlock::CurrentRecord() const {
  const Ptr<IWorkerThread> thread = thread_.lock();
  return thread ? thread->CurrentRecord() : -1;
}

void TBlock::InInputOrder(const std::function<void()>& method) {
  if (const Ptr<IWorkerThread> thread = thread_.lock())
    thread->InInputOrder(method);
  else
    method();
}

bool TBlock::Progress(int position, bool& refresh) {
  if (!progress_) return true;
  bool cont = true;
  progress_->Progress(position, cont, refresh);
  return cont;
}

bool TBlock::Progress(int position) {
  bool refresh = false;
  return Progress(position, refresh);
}

void CheckChain(const std::vector<Ptr<IBlock>>& chain) {
  for (size_t i = 0; i < chain.size(); ++i)
    if (const auto check = std::dynamic_pointer_cast<IChainCheck>(chain[i]))
      check->CheckChain(std::vector<Ptr<IBlock>>(chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(i)));
}

} // namespace corvatin
