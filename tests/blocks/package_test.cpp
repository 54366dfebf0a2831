// The package as the procedures window sees it: the chain, its input and editor links, the flat parameter list,
// and the guards around starting and stopping.

#include "block_stubs.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

namespace {

class StubInput : public ScriptBlock, public IInput {
public:
  StubInput() : ScriptBlock("Input") {}
  std::string GetFilter() const override { return "SMILES file (*.sml)|*.sml"; }
  std::string GetFileName() const override { return file; }
  void SetFileName(const std::string& name) override { file = name; }
  std::string file;
};

} // namespace

TEST(Package, TheFirstInputAndTheLastEditorAreRemembered) {
  TPackage package("TOPS-MODE");
  auto input = std::make_shared<StubInput>();
  auto input2 = std::make_shared<StubInput>();
  auto editor = std::make_shared<StubEditor>();
  auto editor2 = std::make_shared<StubEditor>();
  EXPECT_EQ(package.GetInput(), nullptr);
  EXPECT_EQ(package.GetEditorIndex(), -1);
  package.AddBlock(input, {"Molecule"});
  package.AddBlock(editor, {"Molecule"});
  package.AddBlock(input2, {"Molecule"});
  package.AddBlock(editor2, {});
  EXPECT_EQ(package.GetName(), "TOPS-MODE");
  EXPECT_EQ(package.GetBlockCount(), 4);
  EXPECT_EQ(package.GetInput(), std::static_pointer_cast<IInput>(input));
  EXPECT_EQ(package.GetEditorIndex(), 3);
  EXPECT_EQ(package.GetBlock(1), std::static_pointer_cast<IBlock>(editor));
  EXPECT_EQ(editor->GetPortName(0), "Molecule");
  EXPECT_EQ(editor2->GetPortName(0), "");
  EXPECT_THROW(package.GetBlock(4), std::out_of_range);
  EXPECT_THROW(package.GetBlock(-1), std::out_of_range);
}

TEST(Package, CanExecuteAndActivateEditorReachTheEditorBlockWhenThereIsOne) {
  TPackage plain("P");
  EXPECT_TRUE(plain.CanExecute());
  plain.ActivateEditor(); // no editor: nothing happens
  TPackage withEditor("E");
  auto editor = std::make_shared<StubEditor>();
  withEditor.AddBlock(editor, {"Molecule"});
  editor->ready = false;
  EXPECT_FALSE(withEditor.CanExecute());
  editor->ready = true;
  EXPECT_TRUE(withEditor.CanExecute());
  withEditor.ActivateEditor();
  EXPECT_EQ(editor->activations, 1);
}

TEST(Package, ExecuteIsRefusedWhenTheEditorCannotStartAndNoWorkerIsCreated) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  TPackage package("P", dispatcher);
  auto editor = std::make_shared<StubEditor>();
  auto source = MakeSource(1);
  package.AddBlock(source, {"Molecule"});
  package.AddBlock(editor, {"Molecule"});
  editor->canStart = false;
  auto log = std::make_shared<RecordingLog>();
  auto finish = std::make_shared<FinishCounter>();
  EXPECT_FALSE(package.Execute(false, finish, log, nullptr));
  EXPECT_FALSE(package.IsRunning());
  EXPECT_FALSE(package.IsPaused());
  EXPECT_TRUE(package.WaitForRun()); // there is nothing to wait for
  EXPECT_EQ(log->clears, 0);
  EXPECT_EQ(finish->count, 0);
  EXPECT_EQ(source->starts, 0);
}

TEST(Package, StopPauseStepAndResumeOnAnIdlePackageDoNothing) {
  TPackage package("P", std::make_shared<TConsoleDispatcher>());
  package.AddBlock(std::make_shared<StubEditor>(), {"Molecule"});
  package.Stop();
  package.Pause();
  package.Step();
  package.Resume();
  EXPECT_FALSE(package.IsRunning());
  EXPECT_FALSE(package.IsPaused());
}

TEST(Package, AFinishedRunDoesNotLookRunningAgainAfterPauseOrResume) {
  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  TPackage package("P", dispatcher);
  package.AddBlock(MakeSource(2), {"Molecule"});
  auto log = std::make_shared<RecordingLog>();
  ASSERT_TRUE(package.Execute(false, nullptr, log, nullptr));
  ASSERT_TRUE(package.WaitForRun());
  package.Pause();
  EXPECT_FALSE(package.IsRunning());
  package.Resume();
  EXPECT_FALSE(package.IsRunning());
  package.Stop();
  EXPECT_EQ(log->CountOf("Procedure execution successfully finished"), 1);
  EXPECT_TRUE(package.CanExecute());
}
