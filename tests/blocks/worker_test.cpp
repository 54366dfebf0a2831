// The worker thread: the run's shape, its error table, pause and step, show structures, and stopping.

#include "block_stubs.h"

#include "core/errors.h"

#include <gtest/gtest.h>

#include <new>

using namespace corvatin;
using namespace corvatin::test;

namespace {

const std::string kStopped = "Procedure execution stopped";
const std::string kFinished = "Procedure execution successfully finished";
const std::string kUnexpected = "Unexpected error";

class Worker : public ::testing::Test {
protected:
  void Add(const Ptr<IBlock>& block) { package->AddBlock(block, {"WorkerTest.Molecule"}); }
  bool Start(bool step = false) { return package->Execute(step, finish, log, progress); }
  bool Serve(const std::function<bool()>& done) { return ServeWithin(*dispatcher, done); }
  /// Waits for the run to finish (failing instead of hanging).
  void Finish() {
    ASSERT_TRUE(Serve([&] { return finish->count > 0; })) << "the run did not finish";
    ASSERT_TRUE(package->WaitForRun());
  }
  void ExpectClosing(const std::string& text) {
    ASSERT_FALSE(log->lines.empty());
    EXPECT_EQ(log->Last().text, text);
    EXPECT_EQ(log->Last().kind, lkHeading);
    EXPECT_FALSE(log->Last().transient);
    EXPECT_EQ(finish->count, 1);
    EXPECT_FALSE(package->IsRunning());
  }
  /// A block that runs script on pass (counted by its own executions).
  static Ptr<ScriptBlock> Thrower(const std::string& name, int onExecution, std::function<void()> raise) {
    auto block = std::make_shared<ScriptBlock>(name);
    block->script = [onExecution, raise](ScriptBlock& self, bool&) {
      if (self.executed == onExecution) raise();
    };
    return block;
  }

  Watchdog watchdog{std::chrono::seconds(60), ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  Ptr<TConsoleDispatcher> dispatcher = std::make_shared<TConsoleDispatcher>();
  Ptr<TPackage> package = std::make_shared<TPackage>("Test", dispatcher);
  Ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  Ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
  Ptr<FinishCounter> finish = std::make_shared<FinishCounter>();
};

} // namespace

// ------------------------------------------------------------------------------------------ a whole run

TEST_F(Worker, ARunClearsTheLogRunsEveryPassAndClosesWithSuccess) {
  auto source = MakeSource(3);
  auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
  std::atomic<bool> relayed{true};
  const auto main = std::this_thread::get_id();
  std::thread::id synchronizedOn;
  descriptor->script = [&](ScriptBlock& self, bool&) {
    // During the run the block talks to the worker, never to the window directly.
    if (self.GetLog() == log || self.GetProgress() == progress || self.GetThread() == nullptr) relayed = false;
    self.Synchronize([&] { synchronizedOn = std::this_thread::get_id(); });
  };
  Add(source);
  Add(descriptor);
  log->lines.push_back({"left from before", 0, false});
  ASSERT_TRUE(Start());
  Finish();

  EXPECT_EQ(log->clears, 1);
  ASSERT_EQ(log->lines.size(), 5u);
  EXPECT_EQ(log->lines[0].text, "pass 1");
  EXPECT_EQ(log->lines[2].text, "pass 3");
  EXPECT_EQ(log->lines[3].text, "3 structures written, 0 skipped");
  ExpectClosing(kFinished);
  EXPECT_EQ(package->GetRunSummary().outcome, roFinished);
  EXPECT_TRUE(relayed);
  EXPECT_EQ(synchronizedOn, main);
  EXPECT_EQ(descriptor->executed, 3);
  EXPECT_EQ(descriptor->busy, (std::vector<bool>{true, false, true, false, true, false}));
  for (const auto& block : {source, descriptor}) {
    EXPECT_EQ(block->starts, 1);
    EXPECT_TRUE(block->startedOnMain);
    EXPECT_EQ(block->stops, 1);
    EXPECT_EQ(block->GetLog(), nullptr);
    EXPECT_EQ(block->GetThread(), nullptr);
    EXPECT_FALSE(block->IsActive());
  }
  ASSERT_GE(progress->positions.size(), 2u);
  EXPECT_EQ(progress->positions.front(), 0);
  EXPECT_EQ(progress->positions.back(), 100);
  EXPECT_FALSE(progress->lastContinue); // the closing report says the run is over
  EXPECT_EQ(log->offMainCalls, 0);
  EXPECT_EQ(progress->offMainCalls, 0);
}

TEST_F(Worker, AnEmptyChainFinishesAtOnce) {
  ASSERT_TRUE(Start());
  Finish();
  ExpectClosing(kFinished);
}

// ------------------------------------------------------------------------------------------- error table

TEST_F(Worker, AChemErrorSkipsTheRestOfTheChainForThatStructureOnly) {
  auto source = MakeSource(3);
  auto descriptor = Thrower("Descriptor", 2, [] { throw EChemError("Structure has no bonds"); });
  auto output = std::make_shared<ScriptBlock>("Output");
  Add(source);
  Add(descriptor);
  Add(output);
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(source->executed, 3);
  EXPECT_EQ(output->executed, 2);
  EXPECT_TRUE(log->Contains("Structure has no bonds", lkError));
  EXPECT_EQ(descriptor->busy, (std::vector<bool>{true, false, true, false, true, false}));
  ExpectClosing(kFinished);
  const TRunSummary summary = package->GetRunSummary();
  EXPECT_EQ(summary.outcome, roFinished);
  EXPECT_EQ(summary.written, 2);
  EXPECT_EQ(summary.skipped, 1);
}

TEST_F(Worker, RunEndingErrorsAreLoggedAsTheTableSays) {
  struct Case {
    std::string what;
    std::function<void()> raise;
    std::string logged;
  };
  const std::vector<Case> cases = {
      {"input error", [] { throw EInputError("Error in file \"a.sml\" at line 3"); },
       "Error in file \"a.sml\" at line 3"},
      {"fatal error", [] { ScriptBlock().Fatal("Too many atoms"); }, "Too many atoms"},
      // Never a bare "Unexpected error" when the exception can say more.
      {"index error", [] { throw std::out_of_range("vertex index 12"); }, std::string(kUnexpected) + " (vertex index 12)"},
      {"conversion error", [] { throw std::invalid_argument("not a number"); }, std::string(kUnexpected) + " (not a number)"},
      {"allocation failure", [] { throw std::bad_alloc(); }, std::string(kUnexpected) + " (std::bad_alloc)"},
      {"foreign object", [] { throw 42; }, kUnexpected},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    package = std::make_shared<TPackage>("Test", dispatcher);
    log = std::make_shared<RecordingLog>();
    finish = std::make_shared<FinishCounter>();
    auto source = MakeSource(5);
    auto descriptor = Thrower("Descriptor", 2, c.raise);
    auto output = std::make_shared<ScriptBlock>("Output");
    Add(source);
    Add(descriptor);
    Add(output);
    ASSERT_TRUE(Start());
    Finish();
    EXPECT_EQ(source->executed, 2);
    EXPECT_EQ(output->executed, 1);
    ASSERT_GE(log->lines.size(), 3u);
    EXPECT_EQ(log->lines[log->lines.size() - 3].text, c.logged);
    EXPECT_EQ(log->lines[log->lines.size() - 3].kind, lkError);
    EXPECT_EQ(log->lines[log->lines.size() - 2].text, "1 structures written, 0 skipped");
    ExpectClosing(kStopped);
    EXPECT_EQ(package->GetRunSummary().outcome, roStoppedOnError);
    EXPECT_EQ(descriptor->stops, 1);
  }
}

TEST_F(Worker, AFailedStartRunsNoPassLogsTheBlocksMessageAndStopsEveryBlock) {
  auto first = std::make_shared<ScriptBlock>("Output");
  first->startError = [] { throw EChemError("Cannot open \"TOPS-MODE.txt\""); };
  auto second = MakeSource(3);
  Add(first);
  Add(second);
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(second->starts, 1); // later blocks are still started
  EXPECT_EQ(first->executed + second->executed, 0);
  EXPECT_EQ(first->stops + second->stops, 2);
  EXPECT_TRUE(log->Contains("Cannot open \"TOPS-MODE.txt\"", lkError));
  ExpectClosing(kStopped);
  EXPECT_EQ(package->GetRunSummary().outcome, roStoppedOnError);
  EXPECT_EQ(progress->positions.back(), 100);
}

TEST_F(Worker, ABlockThatFailsToStopIsReportedAfterTheClosingMessage) {
  auto output = MakeSource(1);
  output->stopError = [] { throw EChemError("Cannot write \"Results.txt\""); };
  Add(output);
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(log->Last().text, "Cannot write \"Results.txt\"");
  EXPECT_TRUE(log->Contains(kFinished, lkHeading));
  EXPECT_EQ(finish->count, 1);
}

// -------------------------------------------------------------------------------------- progress "stop"

TEST_F(Worker, AProgressReportAnsweredWithStopEndsTheRunAfterTheCurrentBlock) {
  auto source = std::make_shared<ScriptBlock>("Source");
  source->script = [](ScriptBlock& self, bool& more) {
    self.Progress(self.executed * 10);
    more = true; // endless without the stop
  };
  auto after = std::make_shared<ScriptBlock>("After");
  Add(source);
  Add(after);
  progress->stopAfter = 2; // the starting report and the first pass's report go through
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(source->executed, 2);
  EXPECT_EQ(after->executed, 1);
  ExpectClosing(kStopped);
}

TEST_F(Worker, StopAnsweredToTheStartingReportEndsTheRunWithoutAnyPass) {
  auto source = MakeSource(-1);
  Add(source);
  progress->stopAfter = 0;
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(source->executed, 0);
  ExpectClosing(kStopped);
}

// --------------------------------------------------------------------------------------- pause and step

TEST_F(Worker, StepStopsAtTheEditorBlockOfEveryPassAndResumeRunsToTheEnd) {
  auto source = MakeSource(5);
  auto editor = std::make_shared<StubEditor>();
  editor->source = source;
  Add(source);
  Add(editor);
  ASSERT_TRUE(Start(true));
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 1; }));
  EXPECT_TRUE(package->IsPaused());
  EXPECT_TRUE(package->IsRunning());
  EXPECT_FALSE(package->CanExecute());
  package->Step();
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 2; }));
  EXPECT_EQ(editor->pausedAt, (std::vector<int>{1, 2}));
  EXPECT_EQ(editor->resumedAt, (std::vector<int>{1}));
  package->Resume();
  Finish();
  EXPECT_EQ(source->executed, 5);
  EXPECT_EQ(editor->pausedAt.size(), 2u);
  EXPECT_FALSE(package->IsPaused());
  EXPECT_EQ(editor->offMainCalls, 0);
  ExpectClosing(kFinished);
}

TEST_F(Worker, APauseRequestedDuringAFreeRunTakesEffectAtTheSecondPausePoint) {
  auto source = MakeSource(6);
  auto editor = std::make_shared<StubEditor>();
  editor->source = source;
  Add(source);
  Add(editor);
  log->onMessage = [&](const std::string& text) {
    if (text == "pass 2") package->Pause();
  };
  ASSERT_TRUE(Start(false));
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 2; }));
  // Pass 2's lines reach the log when the pass ends; the signal given with the request then releases the first
  // pause point at once (pass 3); pass 4 waits.
  EXPECT_EQ(editor->pausedAt, (std::vector<int>{3, 4}));
  EXPECT_EQ(editor->resumedAt, (std::vector<int>{3}));
  EXPECT_FALSE(ServeWithin(
      *dispatcher, [&] { return editor->resumedAt.size() == 2; }, std::chrono::milliseconds(100)));
  EXPECT_TRUE(package->IsPaused());
  package->Resume();
  Finish();
  EXPECT_EQ(source->executed, 6);
  ExpectClosing(kFinished);
}

TEST_F(Worker, WithoutAnEditorBlockAStepRunHasNoPausePointAndRunsThrough) {
  auto source = MakeSource(3);
  Add(source);
  ASSERT_TRUE(Start(true));
  Finish();
  EXPECT_EQ(source->executed, 3);
  ExpectClosing(kFinished);
}

// ------------------------------------------------------------------------------------- show structures

TEST_F(Worker, WithStructuresHiddenDisplayOnlyBlocksAreSkipped) {
  auto source = MakeSource(3);
  auto viewer = std::make_shared<ScriptBlock>("Viewer");
  viewer->displayOnly = true;
  auto editor = std::make_shared<StubEditor>();
  Add(source);
  Add(viewer);
  Add(editor);
  package->SetShowStructures(false);
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(viewer->executed, 0);
  EXPECT_EQ(editor->executed, 0);
  EXPECT_EQ(editor->showing, (std::vector<bool>{false}));
  ExpectClosing(kFinished);
}

TEST_F(Worker, SwitchingShowStructuresDuringARunTakesEffectAtTheNextPass) {
  auto source = MakeSource(4);
  auto viewer = std::make_shared<ScriptBlock>("Viewer");
  viewer->displayOnly = true;
  auto editor = std::make_shared<StubEditor>();
  Add(source);
  Add(viewer);
  Add(editor);
  log->onMessage = [&](const std::string& text) {
    if (text == "pass 2") package->SetShowStructures(false);
  };
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(viewer->executed, 2);
  EXPECT_EQ(editor->executed, 2);
  EXPECT_EQ(editor->showing, (std::vector<bool>{true, false}));
  ExpectClosing(kFinished);
}

// ---------------------------------------------------------------------------------------------- stopping

TEST_F(Worker, StopWaitsForTheWorkerWhileServingItsCalls) {
  std::atomic<int> passes{0};
  auto source = MakeSource(-1, &passes);
  Add(source);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Serve([&] { return passes >= 3; }));
  package->Stop();
  // Stop has returned: the run is over, its end was served during the wait.
  EXPECT_EQ(source->stops, 1);
  ExpectClosing(kStopped);
  EXPECT_TRUE(package->WaitForRun());
  EXPECT_EQ(package->GetRunSummary().outcome, roStoppedByUser);
}

TEST_F(Worker, StopReleasesAWorkerWaitingAtThePausePoint) {
  auto source = MakeSource(-1);
  auto editor = std::make_shared<StubEditor>();
  editor->source = source;
  Add(source);
  Add(editor);
  ASSERT_TRUE(Start(true));
  ASSERT_TRUE(Serve([&] { return package->IsPaused() && editor->pausedAt.size() == 1; }));
  package->Stop();
  EXPECT_EQ(editor->resumedAt, (std::vector<int>{1}));
  EXPECT_EQ(source->executed, 1);
  EXPECT_FALSE(package->IsPaused());
  ExpectClosing(kStopped);
}

TEST_F(Worker, StopRequestedFromInsideOneOfTheWorkersCallsDoesNotDeadlock) {
  auto source = MakeSource(-1);
  Add(source);
  log->onMessage = [&](const std::string& text) {
    if (text == "pass 3") package->Stop(); // e.g. a stop button handled while a progress report is shown
  };
  ASSERT_TRUE(Start());
  Finish();
  EXPECT_EQ(source->executed, 3);
  ExpectClosing(kStopped);
}

TEST_F(Worker, ANewRunMayBeStartedFromTheRunFinishedCall) {
  auto source = MakeSource(2);
  Add(source);
  auto log2 = std::make_shared<RecordingLog>();
  auto finish2 = std::make_shared<FinishCounter>();
  finish->onFinished = [&] { EXPECT_TRUE(package->Execute(false, finish2, log2, nullptr)); };
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Serve([&] { return finish2->count == 1; }));
  ASSERT_TRUE(package->WaitForRun());
  EXPECT_EQ(log->Last().text, kFinished);
  EXPECT_EQ(log2->Last().text, kFinished);
  EXPECT_EQ(source->starts, 2);
  EXPECT_EQ(source->stops, 2);
  EXPECT_EQ(finish->count, 1);
}

TEST_F(Worker, DestroyingARunningPackageStopsAndJoinsItsWorker) {
  std::atomic<int> passes{0};
  auto source = MakeSource(-1, &passes);
  Add(source);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Serve([&] { return passes >= 2; }));
  package.reset();
  EXPECT_EQ(source->stops, 1);
  EXPECT_EQ(finish->count, 1);
  EXPECT_EQ(log->Last().text, kStopped);
}

TEST_F(Worker, ExecuteDuringARunEndsThePreviousRunFirst) {
  std::atomic<int> passes{0};
  auto source = MakeSource(-1, &passes);
  Add(source);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Serve([&] { return passes >= 2; }));
  auto log2 = std::make_shared<RecordingLog>();
  auto finish2 = std::make_shared<FinishCounter>();
  ASSERT_TRUE(package->Execute(false, finish2, log2, nullptr));
  EXPECT_EQ(finish->count, 1);
  EXPECT_EQ(log->Last().text, kStopped);
  EXPECT_EQ(source->stops, 1);
  package->Stop();
  EXPECT_EQ(finish2->count, 1);
  EXPECT_EQ(log2->Last().text, kStopped);
}
