#pragma once
// The block through which a procedure works on the molecule of the editor: it publishes that molecule (or, when
// structures are not shown, a fresh one) for the other blocks of the chain, and keeps an update bracket open on
// it during the run so that the views hear of the changes only at pauses and at the end.

#include "blocks/block.h"
#include "blocks/editor.h"
#include "chem/molecule.h"

namespace corvatin {

/// The molecule-editor block of every package.
class TGraphEditorBlock : public TBlock, public virtual IEditor {
public:
  /// molecule: the editor's molecule; host: told when a run begins and ends (may be none).
  TGraphEditorBlock(Ptr<IMolecule> molecule, std::weak_ptr<IEditorHost> host);
  ~TGraphEditorBlock() override;

  std::string GetName() const override { return "Editor"; }
  bool IsDisplayOnly() const override { return true; }
  void Execute(bool& more) override;
  void Start(IWorkerThread* thread) override;
  void Stop() override;

  bool IsReady() override { return true; }
  bool CanStart() override { return true; }
  void Activate() override {}
  void SetShowing(bool flag) override;
  void SetPaused(bool flag) override;
  void ClearStructure() override;

  /// The graph published during a run (none when idle).
  Ptr<IMolecule> Published() const { return published_; }
  bool GetShowing() const { return showing_; }

private:
  Ptr<IMolecule> GraphForShowing() const;
  void RunBegins();
  void RunEnds();

  Ptr<IMolecule> molecule_;
  std::weak_ptr<IEditorHost> host_;
  Ptr<IMolecule> published_;
  bool showing_ = true;
  bool active_ = false;
  bool bracketOpen_ = false;
};

} // namespace corvatin
