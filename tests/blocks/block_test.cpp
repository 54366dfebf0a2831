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

TEST(MultiBlock, AllModeWithoutChildrenEndsTheRun) {
  TMultiBlock block(1, {}, mbAll);
  bool more = true;
  block.Execute(more);
  EXPECT_FALSE(more);
}

TEST(MultiBlock, AllModeWithChildrenSetsMoreAndRunsThemInOrder) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace), Child("b", &trace)}, mbAll);
  bool more = false;
  block.Execute(more);
  EXPECT_TRUE(more);
  EXPECT_EQ(trace, (std::vector<std::string>{"a", "b"}));
}

TEST(MultiBlock, AllModeStopsAtTheFirstChildThatClearsMore) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace), Child("b", &trace, true), Child("c", &trace)}, mbAll);
  bool more = true;
  block.Execute(more);
  EXPECT_FALSE(more);
  EXPECT_EQ(trace, (std::vector<std::string>{"a", "b"}));
}

TEST(MultiBlock, SelectingModeWithoutSelectionRunsNothing) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace)}, mbSelected);
  bool more = true;
  block.Execute(more);
  EXPECT_FALSE(more);
  EXPECT_TRUE(trace.empty());
}

TEST(MultiBlock, SelectingModeRunsOnlyTheSelectedChildWithTheSameFlag) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace), Child("b", &trace, true)}, mbSelected);
  block.SelectChild(0);
  bool more = true;
  block.Execute(more);
  EXPECT_TRUE(more);
  block.SelectChild(1);
  block.Execute(more);
  EXPECT_FALSE(more);
  EXPECT_EQ(trace, (std::vector<std::string>{"a", "b"}));
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

TEST(MultiBlock, AnyOtherModeEndsTheRun) {
  std::vector<std::string> trace;
  TMultiBlock block(1, {Child("a", &trace)}, 7);
  bool more = true;
  block.Execute(more);
  EXPECT_FALSE(more);
  EXPECT_TRUE(trace.empty());
}

TEST(MultiBlock, EntriesThatAreNotBlocksAreSkipped) {
  std::vector<std::string> trace;
  auto notABlock = std::make_shared<TParameters>();
  TMultiBlock block(1, {notABlock, nullptr, Child("a", &trace)}, mbAll);
  EXPECT_EQ(block.GetChildCount(), 1);
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

TEST(Block, IsCreatedWithEmptyPortNamesAndRejectsIndexesOutsideItsPorts) {
  ScriptBlock block("b", 2);
  EXPECT_EQ(block.GetPortCount(), 2);
  EXPECT_EQ(block.GetPortName(1), "");
  EXPECT_THROW(block.GetPortName(2), std::out_of_range);
  EXPECT_THROW(block.SetPortName(-1, "x"), std::out_of_range);
  EXPECT_EQ(block.GetName(), "b");
  EXPECT_EQ(TBlock(0).GetName(), "");
  EXPECT_FALSE(TBlock(0).IsDisplayOnly());
}

// ------------------------------------------------------------------------------------------- log helpers

TEST(Block, LogHelpersUseTheirFixedKindAndTransientCodes) {
  ScriptBlock block;
  auto log = std::make_shared<RecordingLog>();
  block.SetLog(log);
  block.LogTransientHeading("th");
  block.LogTransient("t");
  block.LogMessage("m");
  block.LogHeading("h");
  block.LogResult("r");
  block.LogError("e");
  block.LogWarning("w");
  // kind: 0 plain, 1 error, 2 warning, 3 result, 4 heading
  const std::vector<std::tuple<std::string, int, bool>> expected = {{"th", 4, true}, {"t", 0, true},  {"m", 0, false},
                                                                    {"h", 4, false}, {"r", 3, false}, {"e", 1, false},
                                                                    {"w", 2, false}};
  ASSERT_EQ(log->lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(log->lines[i].text, std::get<0>(expected[i]));
    EXPECT_EQ(log->lines[i].kind, std::get<1>(expected[i])) << i;
    EXPECT_EQ(log->lines[i].transient, std::get<2>(expected[i])) << i;
  }
}

TEST(Block, LogHelpersAndProgressAreSilentWithoutReceivers) {
  ScriptBlock block;
  block.LogTransientHeading("th");
  block.LogTransient("t");
  block.LogMessage("m");
  block.LogHeading("h");
  block.LogResult("r");
  block.LogError("e");
  block.LogWarning("w");
  EXPECT_TRUE(block.Progress(50));
}

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

TEST(Block, FatalRaisesTheRunEndingError) {
  ScriptBlock block;
  try {
    block.Fatal("Out of memory for the distance matrix");
    FAIL();
  } catch (const EFatalError& e) {
    EXPECT_STREQ(e.what(), "Out of memory for the distance matrix");
  }
}

TEST(Block, SynchronizeOutsideARunRunsAtOnce) {
  ScriptBlock block;
  int calls = 0;
  block.Synchronize([&] { ++calls; });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(block.GetThread(), nullptr);
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
  auto worker = std::make_shared<Worker>();
  block.Start(worker.get());
  int calls = 0;
  block.Synchronize([&] { ++calls; });
  EXPECT_EQ(worker->relayed, 1);
  worker.reset(); // a worker gone without the block being stopped leaves no dangling link
  block.Synchronize([&] { ++calls; });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(block.GetThread(), nullptr);
}

// --------------------------------------------------------------------------------- structure hand-over

class Structure : public TParameters {};

TEST(Block, InputIsNoneBeforeAnythingIsPublished) {
  ScriptBlock consumer;
  consumer.SetPortName(0, "BlockTest.Unpublished");
  EXPECT_EQ(consumer.GetInputObject(), nullptr);
  EXPECT_EQ(consumer.GetInputAs<IParameters>(), nullptr);
  EXPECT_EQ(TBlock(0).GetPortCount(), 0);
  ScriptBlock portless("p", 0);
  EXPECT_EQ(portless.GetInputObject(), nullptr);
}

TEST(Block, PublishedStructureReachesTheConsumerOfTheSamePort) {
  ScriptBlock producer;
  ScriptBlock consumer;
  producer.SetPortName(0, "BlockTest.Molecule");
  consumer.SetPortName(0, "BlockTest.Molecule");
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
