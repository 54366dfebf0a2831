// Block mechanics: multi-block modes, port names, the log helpers' fixed codes, progress and the hand-over of
// structures through the shared data space.

#include "block_stubs.h"

#include "core/errors.h"
#include "graph/model.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

namespace {

Ptr<ScriptBlock> Child(const std::string& name, std::vector<std::string>* trace, bool clearsMore = false) {
  auto block = std::make_shared<ScriptBlock>(name);
  block->script = [name, trace, clearsMore](ScriptBlock&, bool& more) {
    trace->push_back(name);
    if (clearsMore) more = false;
  };
  return block;
}

} // namespace

// ----------------------------------------------------------------------------------------- multi-block modes

TEST(MultiBlock, ModesDecideWhichChildrenRunAndTheMoreFlag) {
  struct Case {
    const char* what;
    int mode;
    int select;         // child to select, -1 none
    bool secondClears;  // the second child clears "more"
    int children;
    bool moreIn, moreOut;
    std::vector<std::string> ran;
  };
  const Case cases[] = {
      {"all without children ends the run", mbAll, -1, false, 0, true, false, {}},
      {"all sets more and runs in order", mbAll, -1, false, 2, false, true, {"a", "b"}},
      {"all stops at the first child clearing more", mbAll, -1, true, 3, true, false, {"a", "b"}},
      {"selecting without selection runs nothing", mbSelected, -1, false, 1, true, false, {}},
      {"selecting runs only the selected child", mbSelected, 0, true, 2, true, true, {"a"}},
      {"selected child's flag is kept", mbSelected, 1, true, 2, true, false, {"b"}},
      {"any other mode ends the run", 7, -1, false, 1, true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> trace;
    std::vector<Ptr<IObject>> children;
    const char* names[] = {"a", "b", "c"};
    for (int i = 0; i < c.children; ++i)
      children.push_back(Child(names[i], &trace, c.secondClears && i == 1));
    TMultiBlock block(1, children, c.mode);
    if (c.select >= 0) block.SelectChild(c.select);
    bool more = c.moreIn;
    block.Execute(more);
    EXPECT_EQ(more, c.moreOut);
    EXPECT_EQ(trace, c.ran);
  }
}

TEST(MultiBlock, NegativeIndexClearsTheSelectionAndAnIndexBeyondTheChildrenThrows) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace)}, mbSelected);
  block.SelectChild(0);
  EXPECT_NE(block.GetSelected(), nullptr);
  block.SelectChild(-1);
  EXPECT_EQ(block.GetSelected(), nullptr);
  EXPECT_THROW(block.SelectChild(1), std::out_of_range);
}

TEST(MultiBlock, RenamingAPortRenamesTheSamePortOfEveryChild) {
  std::vector<std::string> trace;
  auto a = Child("a", &trace);
  auto b = std::make_shared<ScriptBlock>("b", 2);
  TMultiBlock block(2, {a, b}, mbAll);
  block.SetPortName(0, "Molecule");
  block.SetPortName(1, "Second");
  EXPECT_EQ(block.GetPortName(0), "Molecule");
  EXPECT_EQ(a->GetPortName(0), "Molecule");
  EXPECT_EQ(b->GetPortName(0), "Molecule");
  EXPECT_EQ(b->GetPortName(1), "Second");
  EXPECT_EQ(a->GetPortCount(), 1); // a child without that port keeps its own
}

TEST(MultiBlock, StartLogProgressAndStopReachEveryChild) {
  std::vector<std::string> trace;
  auto a = Child("a", &trace);
  auto b = Child("b", &trace);
  TMultiBlock block(1, {a, b}, mbAll);
  auto log = std::make_shared<RecordingLog>();
  auto progress = std::make_shared<RecordingProgress>();
  block.SetLog(log);
  block.SetProgress(progress);
  block.Start(nullptr);
  EXPECT_TRUE(block.IsActive());
  for (const auto& child : {a, b}) {
    EXPECT_TRUE(child->IsActive());
    EXPECT_EQ(child->GetLog(), log);
    EXPECT_EQ(child->GetProgress(), progress);
  }
  block.Stop();
  EXPECT_FALSE(block.IsActive());
  for (const auto& child : {a, b}) {
    EXPECT_FALSE(child->IsActive());
    EXPECT_EQ(child->GetProgress(), nullptr);
    EXPECT_EQ(child->stops, 1);
  }
}

// ------------------------------------------------------------------------------------------------ ports

// ------------------------------------------------------------------------------------------- log helpers

TEST(Block, ProgressAnswersTheReceiversContinueAndPassesRefresh) {
  ScriptBlock block;
  auto progress = std::make_shared<RecordingProgress>();
  block.SetProgress(progress);
  bool refresh = true;
  EXPECT_TRUE(block.Progress(-1, refresh));
  EXPECT_FALSE(refresh); // the receiver redrew
  progress->stopAfter = 1;
  EXPECT_FALSE(block.Progress(70));
  EXPECT_EQ(progress->positions, (std::vector<int>{-1, 70}));
  EXPECT_TRUE(progress->lastContinue); // continue enters true
}

TEST(Block, SynchronizeGoesThroughTheWorkerOnlyWhileTheWorkerLives) {
  struct Worker : IWorkerThread {
    void Synchronize(const std::function<void()>& method) override {
      ++relayed;
      method();
    }
    int relayed = 0;
  };
  ScriptBlock block;
  int calls = 0;
  block.Synchronize([&] { ++calls; }); // outside a run: at once
  EXPECT_EQ(calls, 1);
  auto worker = std::make_shared<Worker>();
  block.Start(worker.get());
  block.Synchronize([&] { ++calls; });
  EXPECT_EQ(worker->relayed, 1);
  worker.reset(); // a worker gone without the block being stopped leaves no dangling link
  block.Synchronize([&] { ++calls; });
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(block.GetThread(), nullptr);
}

// --------------------------------------------------------------------------------- structure hand-over

class Structure : public TParameters {};

TEST(Block, PublishedStructureReachesTheConsumerOfTheSamePort) {
  ScriptBlock producer;
  ScriptBlock consumer;
  producer.SetPortName(0, "BlockTest.Molecule");
  consumer.SetPortName(0, "BlockTest.Molecule");
  EXPECT_EQ(consumer.GetInputObject(), nullptr);
  EXPECT_EQ(consumer.GetInputAs<IParameters>(), nullptr);
  EXPECT_EQ(ScriptBlock("p", 0).GetInputObject(), nullptr); // no port at all
  auto structure = std::make_shared<Structure>();
  producer.PublishStructure<IParameters>(structure);

  auto param = SharedDataSpace()->QueryParam<IInterfaceParameter>("BlockTest.Molecule");
  ASSERT_NE(param, nullptr);
  EXPECT_TRUE(param->HasIdentifier(typeid(IParameters)));
  EXPECT_TRUE(param->GetReadOnly());
  EXPECT_EQ(consumer.GetInputObject(), std::static_pointer_cast<IObject>(structure));
  EXPECT_EQ(consumer.GetInputAs<IParameters>(), std::static_pointer_cast<IParameters>(structure));

  producer.WithdrawStructure();
  EXPECT_FALSE(SharedDataSpace()->HasParam("BlockTest.Molecule"));
  EXPECT_EQ(consumer.GetInputObject(), nullptr);
}

TEST(Block, APublishedGraphIsTheConsumersInputStructure) {
  ScriptBlock producer;
  ScriptBlock consumer;
  producer.SetPortName(0, "BlockTest.Graph");
  consumer.SetPortName(0, "BlockTest.Graph");
  EXPECT_EQ(consumer.GetInputStructure(), nullptr);
  auto graph = std::make_shared<TGraph>();
  graph->AddVertices(3);
  producer.PublishStructure<IGraph>(graph);
  Ptr<ISubGraph> input = consumer.GetInputStructure();
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(input->VertexCount(), 3);
  producer.WithdrawStructure();
  EXPECT_EQ(consumer.GetInputStructure(), nullptr);
}
