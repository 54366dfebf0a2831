// The editor block: a run works on a copy of the editor's molecule, shows the window a copy of each structure, and
// takes back what the user edited during a pause.

#include "procedures/editor_block.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

/// A window that counts runs and keeps what it was shown; "edits" during a pause add one atom to its copy.
struct Host : IEditorHost, IStructureHost {
  int begins = 0, ends = 0, shown = 0;
  Ptr<IMolecule> copy = NewMolecule();
  bool edited = false;
  void RunBegins() override { ++begins; }
  void RunEnds() override { ++ends; }
  bool ConfirmClearing() override { return true; }
  void ShowStructure(const IMolecule& structure) override {
    ++shown;
    CopyStructure(structure, *copy);
  }
  bool TakeEdits(IMolecule& structure) override {
    if (edited) CopyStructure(*copy, structure);
    return edited;
  }
};

/// Counts the change notices of a molecule while it lives.
struct Listener : IListener {
  explicit Listener(const Ptr<IMolecule>& m) : notifier(dynamic_cast<INotifierHost&>(*m).Notifier()) {
    notifier.Subscribe(geGraphChanged, this);
  }
  ~Listener() override { notifier.RemoveListener(this); }
  void Notify(int, IObject*, const std::any&) override { ++calls; }
  TNotifier& notifier;
  int calls = 0;
};

class EditorBlock : public ::testing::Test {
protected:
  void SetUp() override { block->SetPortName(0, "EditorBlockTest.Molecule"); }
  Ptr<IMolecule> Published() { return SharedDataSpace()->GetInterface<IMolecule>("EditorBlockTest.Molecule"); }

  Ptr<IMolecule> molecule = NewMolecule();
  Ptr<Host> host = std::make_shared<Host>();
  Ptr<TGraphEditorBlock> block = std::make_shared<TGraphEditorBlock>(molecule, host);
  bool more = true;
};

TEST_F(EditorBlock, ARunWorksOnACopyOfTheEditorsMoleculeAndNeverTouchesTheOriginal) {
  molecule->AddVertices(2);
  Listener listener(molecule);
  block->Start(nullptr);
  EXPECT_EQ(host->begins, 1);
  const Ptr<IMolecule> published = Published();
  ASSERT_NE(published, nullptr);
  EXPECT_NE(published, molecule);
  EXPECT_EQ(published->VertexCount(), 2);
  published->AddVertices(3); // what the chain does to the structure
  block->Stop();
  EXPECT_EQ(listener.calls, 0);
  EXPECT_EQ(molecule->VertexCount(), 2);
  EXPECT_EQ(host->ends, 1);
  EXPECT_EQ(Published(), nullptr);
}

TEST_F(EditorBlock, WithoutShowingARunStartsFromAnEmptyMoleculeAndShowsNothing) {
  molecule->AddVertices(3);
  block->SetShowing(false);
  block->Start(nullptr);
  ASSERT_NE(Published(), nullptr);
  EXPECT_EQ(Published()->VertexCount(), 0);
  block->Execute(more);
  EXPECT_EQ(host->shown, 0);
  block->Stop();
  EXPECT_EQ(molecule->VertexCount(), 3);
}

TEST_F(EditorBlock, EachPassHandsTheWindowACopyAndSwitchingShowingKeepsTheRunsMolecule) {
  block->Start(nullptr);
  const Ptr<IMolecule> published = Published();
  published->AddVertices(4);
  block->Execute(more);
  EXPECT_EQ(host->shown, 1);
  EXPECT_EQ(host->copy->VertexCount(), 4);
  block->SetShowing(false);
  block->Execute(more);
  EXPECT_EQ(host->shown, 1);
  block->SetShowing(true);
  EXPECT_EQ(Published(), published);
  block->Stop();
  // The update bracket was closed as often as it was opened: the run's molecule notifies again.
  Listener listener(published);
  published->AddVertices(1);
  EXPECT_EQ(listener.calls, 1);
}

TEST_F(EditorBlock, EditsMadeDuringAPauseGoBackIntoTheRunAtResume) {
  block->Start(nullptr);
  Published()->AddVertices(1);
  block->Execute(more);
  block->SetPaused(true);
  EXPECT_EQ(host->ends, 1);
  host->copy->AddVertices(1);
  host->edited = true;
  block->SetPaused(false);
  EXPECT_EQ(host->begins, 2);
  EXPECT_EQ(Published()->VertexCount(), 2);
  block->Stop();
}

} // namespace
} // namespace corvatin
