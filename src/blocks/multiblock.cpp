#include "blocks/multiblock.h"

#include <stdexcept>

namespace corvatin {

TMultiBlock::TMultiBlock(int portCount, const std::vector<Ptr<IObject>>& children, std::uint8_t mode)
    : TBlock(portCount), mode_(mode) {
  for (const auto& child : children)
    if (auto block = std::dynamic_pointer_cast<IBlock>(child)) children_.push_back(std::move(block));
}

void TMultiBlock::SetPortName(int index, const std::string& name) {
  TBlock::SetPortName(index, name);
  // Children with fewer ports simply have no such port to rename.
  for (const auto& child : children_)
    if (index < child->GetPortCount()) child->SetPortName(index, name);
}

void TMultiBlock::Execute(bool& more) {
  switch (mode_) {
  case mbSelected:
    if (selected_)
      selected_->Execute(more);
    else
      more = false;
    break;
  case mbAll:
    more = !children_.empty();
    for (const auto& child : children_) {
      child->Execute(more);
      if (!more) break;
    }
    break;
  default:
    more = false;
    break;
  }
}

void TMultiBlock::Start(IWorkerThread* thread) {
  TBlock::Start(thread);
  for (const auto& child : children_)
    child->Start(thread);
}

void TMultiBlock::Stop() {
  for (const auto& child : children_)
    child->Stop();
  TBlock::Stop();
}

void TMultiBlock::SetProgress(const Ptr<IProgressCallback>& callback) {
  TBlock::SetProgress(callback);
  for (const auto& child : children_)
    child->SetProgress(callback);
}

void TMultiBlock::SetLog(const Ptr<IProgressLog>& log) {
  TBlock::SetLog(log);
  for (const auto& child : children_)
    child->SetLog(log);
}

void TMultiBlock::SelectChild(int index) {
  if (index < 0) {
    selected_.reset();
    return;
  }
  selected_ = GetChild(index);
}

Ptr<IBlock> TMultiBlock::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) throw std::out_of_range("child index " + std::to_string(index));
  return children_[static_cast<size_t>(index)];
}

} // namespace corvatin
