#include "procedures/editor_block.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

struct Host : IEditorHost {
  int begins = 0, ends = 0;
  void RunBegins() override { ++begins; }
  void RunEnds() override { ++ends; }
  bool ConfirmClearing() override { return true; }
};

struct Listener : IListener {
  int calls = 0;
  void Notify(int, IObject*, const std::any&) override { ++calls; }
};

TNotifier& NotifierOf(const Ptr<IMolecule>& m) { return dynamic_cast<INotifierHost&>(*m).Notifier(); }

class EditorBlock : public ::testing::Test {
protected:
  void SetUp() override {
    molecule = NewMolecule();
    host = std::make_shared<Host>();
    block = std::make_shared<TGraphEditorBlock>(molecule, host);
    block->SetPortName(0, "EditorBlockTest.Molecule");
  }
  Ptr<IGraph> PublishedGraph() { return SharedDataSpace()->GetInterface<IGraph>("EditorBlockTest.Molecule"); }

  Ptr<IMolecule> molecule;
  Ptr<Host> host;
  Ptr<TGraphEditorBlock> block;
};

TEST_F(EditorBlock, ARunPublishesTheEditorsMoleculeAndHoldsItsNotificationsUntilTheEnd) {
  Listener listener;
  NotifierOf(molecule).Subscribe(geGraphChanged, &listener);
  block->Start(nullptr);
  EXPECT_EQ(host->begins, 1);
  EXPECT_EQ(PublishedGraph(), std::dynamic_pointer_cast<IGraph>(molecule));
  molecule->AddVertices(2);
  EXPECT_EQ(listener.calls, 0);
  block->Stop();
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(host->ends, 1);
  EXPECT_EQ(PublishedGraph(), nullptr);
  NotifierOf(molecule).RemoveListener(&listener);
}

TEST_F(EditorBlock, WithoutShowingARunWorksOnAFreshMoleculeAndLeavesTheEditorsAlone) {
  molecule->AddVertices(3);
  block->SetShowing(false);
  block->Start(nullptr);
  auto published = PublishedGraph();
  ASSERT_NE(published, nullptr);
  EXPECT_NE(published, std::dynamic_pointer_cast<IGraph>(molecule));
  EXPECT_EQ(published->VertexCount(), 0);
  block->Stop();
  EXPECT_EQ(molecule->VertexCount(), 3);
}

TEST_F(EditorBlock, SwitchingShowingDuringARunRepublishes) {
  block->Start(nullptr);
  block->SetShowing(false);
  EXPECT_NE(PublishedGraph(), std::dynamic_pointer_cast<IGraph>(molecule));
  block->SetShowing(true);
  EXPECT_EQ(PublishedGraph(), std::dynamic_pointer_cast<IGraph>(molecule));
  block->Stop();
  // The bracket was closed as often as it was opened: the molecule notifies again.
  Listener listener;
  NotifierOf(molecule).Subscribe(geGraphChanged, &listener);
  molecule->AddVertices(1);
  EXPECT_EQ(listener.calls, 1);
  NotifierOf(molecule).RemoveListener(&listener);
}

TEST_F(EditorBlock, APauseLetsTheUserSeeTheMolecule) {
  Listener listener;
  NotifierOf(molecule).Subscribe(geGraphChanged, &listener);
  block->Start(nullptr);
  molecule->AddVertices(1);
  block->SetPaused(true);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(host->ends, 1);
  block->SetPaused(false);
  EXPECT_EQ(host->begins, 2);
  molecule->AddVertices(1);
  EXPECT_EQ(listener.calls, 1);
  block->Stop();
  EXPECT_EQ(listener.calls, 2);
  NotifierOf(molecule).RemoveListener(&listener);
}

} // namespace
} // namespace corvatin
