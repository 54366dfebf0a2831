// Block mechanics: multi-block modes and their children, structures handed over through the data space, the
// package's input and editor links, and the hand-over queue closing on waiting callers.

#include "block_stubs.h"

#include "graph/model.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

TEST(MultiBlock, ModesDecideWhichChildrenRunAndTheMoreFlagAndEveryChildSharesPortLogAndRunState) {
  struct Case {
    const char* what;
    int mode, select; // child to select, -1 none
    bool secondClears;
    int children;
    bool moreIn, moreOut;
    std::string ran;
  };
  const Case cases[] = {
      {"all without children ends the run", mbAll, -1, false, 0, true, false, ""},
      {"all sets more and runs in order", mbAll, -1, false, 2, false, true, "ab"},
      {"all stops at the first child clearing more", mbAll, -1, true, 3, true, false, "ab"},
      {"selecting without selection runs nothing", mbSelected, -1, false, 1, true, false, ""},
      {"selecting runs only the selected child", mbSelected, 0, true, 2, true, true, "a"},
      {"selected child's flag is kept", mbSelected, 1, true, 2, true, false, "b"},
      {"any other mode ends the run", 7, -1, false, 1, true, false, ""},
  };
  auto log = std::make_shared<RecordingLog>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string ran;
    std::vector<Ptr<ScriptBlock>> children;
    for (int i = 0; i < c.children; ++i) {
      children.push_back(std::make_shared<ScriptBlock>(std::string(1, static_cast<char>('a' + i)), 2 - i % 2));
      children.back()->script = [&ran, clears = c.secondClears && i == 1](ScriptBlock& self, bool& more) {
        ran += self.GetName();
        if (clears) more = false;
      };
    }
    TMultiBlock block(2, std::vector<Ptr<IObject>>(children.begin(), children.end()),
                      static_cast<std::uint8_t>(c.mode));
    block.SetPortName(1, "Second"); // only the children with two ports have it
    if (c.select >= 0) block.SelectChild(c.select);
    block.SetLog(log);
    block.Start(nullptr);
    bool more = c.moreIn;
    block.Execute(more);
    EXPECT_EQ(more, c.moreOut);
    EXPECT_EQ(ran, c.ran);
    for (const auto& child : children) {
      EXPECT_TRUE(child->IsActive() && child->GetLog() == log);
      EXPECT_TRUE(child->GetPortCount() < 2 || child->GetPortName(1) == "Second");
    }
    block.Stop();
    for (const auto& child : children)
      EXPECT_FALSE(child->IsActive());
  }
}

TEST(Block, APublishedStructureIsTheInputOfEveryBlockOnTheSamePortUntilWithdrawn) {
  ScriptBlock producer, consumer, other;
  producer.SetPortName(0, "BlockTest.Molecule");
  consumer.SetPortName(0, "BlockTest.Molecule");
  other.SetPortName(0, "BlockTest.Other");
  auto graph = std::make_shared<TGraph>();
  graph->AddVertices(3);
  producer.PublishStructure<IGraph>(graph);
  ASSERT_NE(consumer.GetInputStructure(), nullptr);
  EXPECT_EQ(consumer.GetInputStructure()->VertexCount(), 3);
  EXPECT_EQ(other.GetInputStructure(), nullptr);
  EXPECT_EQ(ScriptBlock("portless", 0).GetInputStructure(), nullptr);
  producer.WithdrawStructure();
  EXPECT_EQ(consumer.GetInputStructure(), nullptr);
}

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
  EXPECT_TRUE(package.CanExecute()); // no editor: nothing to wait for
  auto input = std::make_shared<StubInput>();
  auto editor = std::make_shared<StubEditor>(), last = std::make_shared<StubEditor>();
  package.AddBlock(input, {"Molecule"});
  package.AddBlock(editor, {"Molecule"});
  package.AddBlock(std::make_shared<StubInput>(), {"Molecule"});
  package.AddBlock(last, {});
  EXPECT_EQ(package.GetInput(), std::static_pointer_cast<IInput>(input));
  last->ready = false;
  EXPECT_FALSE(package.CanExecute());
  package.ActivateEditor();
  EXPECT_EQ(last->activations, 1);
  EXPECT_EQ(editor->activations, 0);
  package.Pause(); // on an idle package these do nothing
  package.Step();
  package.Resume();
  package.Stop();
  EXPECT_FALSE(package.IsRunning() || package.IsPaused());

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

TEST(HandOverQueue, ClosingFailsTheWaitingCallAndEveryLaterOneWithoutRunningThem) {
  // The workbench closes its queue when the window goes: a worker waiting on it must get an error, not hang.
  THandOverQueue queue;
  std::atomic<bool> queued{false}, ran{false};
  std::string waiting;
  std::thread worker([&] {
    try {
      queue.Call([&] { ran = true; }, [&] { queued = true; });
    } catch (const std::runtime_error& e) {
      waiting = e.what();
    }
  });
  while (!queued.load())
    std::this_thread::yield();
  queue.Close("the window is gone");
  worker.join();
  EXPECT_EQ(waiting, "the window is gone");
  EXPECT_THROW(queue.Call([&] { ran = true; }), std::runtime_error);
  EXPECT_FALSE(queue.RunNext());
  EXPECT_FALSE(ran.load());
}
