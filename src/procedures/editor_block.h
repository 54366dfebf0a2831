#pragma once
// The block through which a procedure works on the molecule of the editor. The editor's molecule belongs to the
// GUI thread, so the block never hands it to the chain: at the start of a run it publishes a molecule of the run's
// own (a copy of the editor's molecule when structures are shown, else an empty one), and at each pass it hands a
// copy of the structure to the window inside the synchronous hand-over, while the worker waits. Edits the user
// makes while the run is paused travel back the same way when the run resumes.

#include "blocks/block.h"
#include "blocks/editor.h"
#include "chem/molecule.h"

namespace corvatin {

/// Copies atoms, bonds, their parameters and coordinates, the molecule's parameters, name and transform of source
/// into target (emptied first), inside one update bracket of target.
void CopyStructure(const IMolecule& source, IMolecule& target);

/// The window's side of the structure hand-over, answered by the editor host when it shows structures. Called on
/// the main thread while the worker waits; the structure is the run's and is valid during the call only.
class IStructureHost : public virtual IObject {
public:
  /// Shows a copy of structure (the structure of the current pass).
  virtual void ShowStructure(const IMolecule& structure) = 0;
  /// When the run resumes after a pause: copies the user's edits of the shown copy into structure; false (and
  /// structure untouched) when there were none.
  virtual bool TakeEdits(IMolecule& structure) = 0;
};

/// The molecule-editor block of every package.
class TGraphEditorBlock : public TBlock, public virtual IEditor {
public:
  /// molecule: the editor's molecule, read on the main thread when a run starts; host: told when a run begins
  /// and ends (may be none), and shown the structures when it answers IStructureHost.
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

  /// The graph published during a run (none when idle); it belongs to the run, never to the editor.
  Ptr<IMolecule> Published() const { return published_; }
  bool GetShowing() const { return showing_; }

private:
  void RunBegins();
  void RunEnds();
  Ptr<IStructureHost> StructureHost() const;

  Ptr<IMolecule> molecule_;
  std::weak_ptr<IEditorHost> host_;
  Ptr<IMolecule> published_;
  bool showing_ = true;
  bool active_ = false;
  bool bracketOpen_ = false;
};

} // namespace corvatin
