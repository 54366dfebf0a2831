#include "procedures/editor_block.h"

namespace corvatin {

TGraphEditorBlock::TGraphEditorBlock(Ptr<IMolecule> molecule, std::weak_ptr<IEditorHost> host)
    : TBlock(1), molecule_(std::move(molecule)), host_(std::move(host)) {}

TGraphEditorBlock::~TGraphEditorBlock() {
  // A block destroyed in the middle of a run must not leave the shared molecule locked against notifications.
  if (published_ && bracketOpen_) published_->EndUpdate();
}

Ptr<IMolecule> TGraphEditorBlock::GraphForShowing() const {
  return showing_ && molecule_ ? molecule_ : NewMolecule();
}

void TGraphEditorBlock::RunBegins() {
  if (auto host = host_.lock()) host->RunBegins();
}

void TGraphEditorBlock::RunEnds() {
  if (auto host = host_.lock()) host->RunEnds();
}

void TGraphEditorBlock::Execute(bool&) {
  bool refresh = true;
  Progress(-1, refresh);
  LogTransient("Molecule is ready for calculation");
}

void TGraphEditorBlock::Start(IWorkerThread* thread) {
  TBlock::Start(thread);
  published_ = GraphForShowing();
  RunBegins();
  published_->BeginUpdate();
  bracketOpen_ = true;
  active_ = true;
  PublishStructure<IGraph>(published_);
}

void TGraphEditorBlock::Stop() {
  active_ = false;
  WithdrawStructure();
  if (published_) {
    if (bracketOpen_) published_->EndUpdate();
    bracketOpen_ = false;
    RunEnds();
    published_.reset();
  }
  TBlock::Stop();
}

void TGraphEditorBlock::SetShowing(bool flag) {
  if (flag == showing_) return;
  showing_ = flag;
  if (!active_ || !published_) return;
  published_->Clear();
  if (bracketOpen_) published_->EndUpdate();
  published_ = GraphForShowing();
  published_->BeginUpdate();
  bracketOpen_ = true;
  PublishStructure<IGraph>(published_);
}

void TGraphEditorBlock::SetPaused(bool flag) {
  if (!published_) return;
  if (flag) {
    // Let the user see and edit the molecule while the procedure waits.
    if (bracketOpen_) published_->EndUpdate();
    bracketOpen_ = false;
    RunEnds();
  } else {
    RunBegins();
    if (!bracketOpen_) published_->BeginUpdate();
    bracketOpen_ = true;
  }
}

void TGraphEditorBlock::ClearStructure() {
  if (published_) published_->Clear();
}

} // namespace corvatin
