// Block mechanics: multi-block modes and their children, and the hand-over of structures through the shared data
// space. Progress and synchronising are pinned through the worker (worker_test.cpp).

#include "block_stubs.h"

#include "graph/model.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

TEST(MultiBlock, ModesDecideWhichChildrenRunAndTheMoreFlag) {
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string ran;
    std::vector<Ptr<IObject>> children;
    for (int i = 0; i < c.children; ++i) {
      auto child = std::make_shared<ScriptBlock>(std::string(1, static_cast<char>('a' + i)));
      child->script = [&ran, clears = c.secondClears && i == 1](ScriptBlock& self, bool& more) {
        ran += self.GetName();
        if (clears) more = false;
      };
      children.push_back(child);
    }
    TMultiBlock block(1, children, static_cast<std::uint8_t>(c.mode));
    if (c.select >= 0) block.SelectChild(c.select);
    bool more = c.moreIn;
    block.Execute(more);
    EXPECT_EQ(more, c.moreOut);
    EXPECT_EQ(ran, c.ran);
  }
}

TEST(MultiBlock, PortNamesLogProgressStartAndStopReachEveryChildThatHasThePort) {
  auto a = std::make_shared<ScriptBlock>("a", 1), b = std::make_shared<ScriptBlock>("b", 2);
  TMultiBlock block(2, {a, b}, mbAll);
  block.SetPortName(0, "Molecule");
  block.SetPortName(1, "Second");
  EXPECT_EQ(a->GetPortName(0) + b->GetPortName(0) + b->GetPortName(1), "MoleculeMoleculeSecond");
  auto log = std::make_shared<RecordingLog>();
  auto progress = std::make_shared<RecordingProgress>();
  block.SetLog(log);
  block.SetProgress(progress);
  block.Start(nullptr);
  for (const auto& child : {a, b}) {
    EXPECT_TRUE(child->IsActive());
    EXPECT_EQ(child->GetLog(), log);
    EXPECT_EQ(child->GetProgress(), progress);
  }
  block.Stop();
  for (const auto& child : {a, b}) {
    EXPECT_FALSE(child->IsActive());
    EXPECT_EQ(child->GetProgress(), nullptr);
  }
}

TEST(Block, APublishedStructureIsTheInputOfEveryBlockOnTheSamePortUntilWithdrawn) {
  ScriptBlock producer, consumer, other;
  producer.SetPortName(0, "BlockTest.Molecule");
  consumer.SetPortName(0, "BlockTest.Molecule");
  other.SetPortName(0, "BlockTest.Other");
  EXPECT_EQ(consumer.GetInputStructure(), nullptr);
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
