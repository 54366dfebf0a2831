// The package as the procedures window sees it: its input and editor links and the guards around starting and
// stopping.

#include "block_stubs.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

namespace {
class StubInput : public ScriptBlock, public IInput {
public:
  StubInput() : ScriptBlock("Input") {}
  std::string GetFilter() const override { return {}; }
  std::string GetFileName() const override { return {}; }
  void SetFileName(const std::string&) override {}
};
} // namespace

TEST(Package, TheFirstInputAndTheLastEditorDriveTheRunAndTheEditorDecidesWhetherItMayStart) {
  TPackage package("P", std::make_shared<TConsoleDispatcher>());
  EXPECT_EQ(package.GetInput(), nullptr);
  EXPECT_TRUE(package.CanExecute()); // no editor: nothing to wait for
  auto input = std::make_shared<StubInput>();
  auto editor = std::make_shared<StubEditor>(), last = std::make_shared<StubEditor>();
  package.AddBlock(input, {"Molecule"});
  package.AddBlock(editor, {"Molecule"});
  package.AddBlock(std::make_shared<StubInput>(), {"Molecule"});
  package.AddBlock(last, {});
  EXPECT_EQ(package.GetInput(), std::static_pointer_cast<IInput>(input));
  EXPECT_EQ(package.GetEditorIndex(), 3);
  last->ready = false;
  EXPECT_FALSE(package.CanExecute());
  package.ActivateEditor();
  EXPECT_EQ(last->activations, 1);
  EXPECT_EQ(editor->activations, 0);

  // An editor that cannot start (a drawing the user will not clear) refuses the run before anything is touched.
  last->ready = true;
  last->canStart = false;
  auto log = std::make_shared<RecordingLog>();
  auto finish = std::make_shared<FinishCounter>();
  EXPECT_FALSE(package.Execute(false, finish, log, nullptr));
  EXPECT_FALSE(package.IsRunning());
  package.Stop(); // ends at once a run that was let through by mistake
  EXPECT_TRUE(package.WaitForRun());
  EXPECT_EQ(log->clears + finish->count + input->starts, 0);
}

TEST(Package, PauseStepResumeAndStopOnAnIdleOrFinishedPackageDoNothing) {
  TPackage package("P", std::make_shared<TConsoleDispatcher>());
  package.AddBlock(MakeSource(2), {"Molecule"});
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "idle" : "finished");
    package.Pause();
    package.Step();
    package.Resume();
    package.Stop();
    EXPECT_FALSE(package.IsRunning());
    EXPECT_FALSE(package.IsPaused());
    EXPECT_TRUE(package.CanExecute());
    if (round == 0) {
      auto log = std::make_shared<RecordingLog>();
      ASSERT_TRUE(package.Execute(false, nullptr, log, nullptr));
      ASSERT_TRUE(package.WaitForRun());
      EXPECT_EQ(log->Last().text, kFinished);
    }
  }
  EXPECT_EQ(package.GetRunSummary().outcome, roFinished); // a Stop after the end changes nothing
}
