#include "procedures/editor_block.h"

namespace corvatin {

void CopyStructure(const IMolecule& source, IMolecule& target) {
  if (&source == &target) return;
  target.BeginUpdate();
  target.Clear();
  target.AddGraph(source, nullptr);
  // Items copy their parameters only; the coordinate fields travel separately.
  for (int i = 0; i < source.VertexCount(); ++i) {
    const IAtom* from = source.GetAtom(i);
    IAtom* to = target.GetAtom(i);
    if (from->Has3D()) {
      to->SetX3D(from->GetX3D());
      to->SetY3D(from->GetY3D());
      to->SetZ3D(from->GetZ3D());
    }
    double a = 0, b = 0, c = 0;
    from->GetInternalCoords(a, b, c);
    to->SetInternalCoords(a, b, c);
    if (from->GetPositioned()) {
      to->SetX(from->GetX());
      to->SetY(from->GetY());
      to->SetZ(from->GetZ());
    }
    to->SetDisplayRadius(from->GetDisplayRadius());
  }
  if (auto* to = dynamic_cast<TParameters*>(&target))
    if (const auto* from = dynamic_cast<const IParamList*>(&source)) to->AssignParams(*from);
  target.SetName(source.GetName());
  if (source.HasTransform()) target.SetTransform(source.GetTransform());
  target.EndUpdate();
}

TGraphEditorBlock::TGraphEditorBlock(Ptr<IMolecule> molecule, std::weak_ptr<IEditorHost> host)
    : TBlock(1), molecule_(std::move(molecule)), host_(std::move(host)) {}

TGraphEditorBlock::~TGraphEditorBlock() {
  if (published_ && bracketOpen_) published_->EndUpdate();
}

void TGraphEditorBlock::RunBegins() {
  if (auto host = host_.lock()) host->RunBegins();
}

void TGraphEditorBlock::RunEnds() {
  if (auto host = host_.lock()) host->RunEnds();
}

Ptr<IStructureHost> TGraphEditorBlock::StructureHost() const {
  return std::dynamic_pointer_cast<IStructureHost>(host_.lock());
}

void TGraphEditorBlock::Execute(bool&) {
  if (showing_ && published_ && StructureHost()) {
    // The window copies the structure while this thread waits: the only moment both may touch it.
    const Ptr<IMolecule> structure = published_;
    Synchronize([this, structure] {
      if (const Ptr<IStructureHost> host = StructureHost()) host->ShowStructure(*structure);
    });
  }
  bool refresh = true;
  Progress(-1, refresh);
  LogTransient("Molecule is ready for calculation");
}

void TGraphEditorBlock::Start(IWorkerThread* thread) {
  TBlock::Start(thread);
  // Runs on the main thread: the one place where the editor's molecule is read for the run.
  published_ = NewMolecule();
  if (showing_ && molecule_) CopyStructure(*molecule_, *published_);
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
  // The run keeps its molecule either way: only whether the window is shown the structures changes.
  showing_ = flag;
}

void TGraphEditorBlock::SetPaused(bool flag) {
  if (!published_) return;
  if (flag) {
    // Let the user see and edit the molecule while the procedure waits.
    if (bracketOpen_) published_->EndUpdate();
    bracketOpen_ = false;
    RunEnds();
  } else {
    if (showing_)
      if (const Ptr<IStructureHost> host = StructureHost()) host->TakeEdits(*published_);
    RunBegins();
    if (!bracketOpen_) published_->BeginUpdate();
    bracketOpen_ = true;
  }
}

void TGraphEditorBlock::ClearStructure() {
  if (published_) published_->Clear();
}

} // namespace corvatin
