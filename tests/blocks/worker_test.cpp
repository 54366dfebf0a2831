// The worker thread: the run's shape, its error table, pause and step, show structures, and stopping.

#include "block_stubs.h"

#include "core/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>

using namespace corvatin;
using namespace corvatin::test;

namespace {

class Worker : public ::testing::Test {
protected:
  void Add(std::initializer_list<Ptr<IBlock>> blocks) {
    for (const auto& block : blocks)
      package->AddBlock(block, {"WorkerTest.Molecule"});
  }
  bool Start(bool step = false) { return package->Execute(step, finish, log, progress); }
  bool Serve(const std::function<bool()>& done) { return ServeWithin(*dispatcher, done); }
  /// Waits for the run to finish (failing instead of hanging).
  void Finish() {
    ASSERT_TRUE(Serve([&] { return finish->count > 0; })) << "the run did not finish";
    ASSERT_TRUE(package->WaitForRun());
  }
  /// Runs blocks as the chain to its end.
  void Run(std::initializer_list<Ptr<IBlock>> blocks, bool step = false) {
    Add(blocks);
    ASSERT_TRUE(Start(step));
    Finish();
  }
  /// The run has ended once, its log closed by text, every call to the windows made on the main thread.
  void ExpectClosing(const std::string& text) {
    ASSERT_FALSE(log->lines.empty());
    EXPECT_EQ(log->Last().text, text);
    EXPECT_EQ(log->Last().kind, lkHeading);
    EXPECT_EQ(finish->count, 1);
    EXPECT_FALSE(package->IsRunning());
    EXPECT_FALSE(package->IsPaused());
    EXPECT_EQ(log->offMainCalls + progress->offMainCalls, 0);
    EXPECT_EQ(std::count_if(log->lines.begin(), log->lines.end(), [](const LogLine& l) { return l.kind == lkHeading; }),
              1);
  }
  /// A new package and new windows, for the rows of a table.
  void Reset() {
    package = std::make_shared<TPackage>("Test", dispatcher);
    log = std::make_shared<RecordingLog>();
    progress = std::make_shared<RecordingProgress>();
    finish = std::make_shared<FinishCounter>();
  }
  /// Adds source and the editor block after it; the editor's pauses name the source's pass.
  Ptr<StubEditor> AddWithEditor(const Ptr<ScriptBlock>& source) {
    auto editor = std::make_shared<StubEditor>();
    editor->source = source;
    Add({source, editor});
    return editor;
  }

  Ptr<TConsoleDispatcher> dispatcher = std::make_shared<TConsoleDispatcher>();
  Ptr<TPackage> package = std::make_shared<TPackage>("Test", dispatcher);
  Ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  Ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
  Ptr<FinishCounter> finish = std::make_shared<FinishCounter>();
};

} // namespace

TEST_F(Worker, ARunClearsTheLogRunsEveryPassThroughTheMainThreadAndClosesWithSuccess) {
  auto source = MakeSource(3);
  auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
  std::atomic<bool> relayed{true};
  std::thread::id synchronizedOn;
  descriptor->script = [&](ScriptBlock& self, bool&) {
    // During the run the block talks to the worker, never to the windows directly.
    if (self.GetLog() == log || self.GetProgress() == progress || self.GetThread() == nullptr) relayed = false;
    self.Synchronize([&] { synchronizedOn = std::this_thread::get_id(); });
  };
  log->lines.push_back({"left from before", 0, false});
  Run({source, descriptor});
  EXPECT_EQ(log->clears, 1);
  ASSERT_EQ(log->lines.size(), 5u);
  EXPECT_EQ(log->lines[2].text, "pass 3");
  EXPECT_EQ(log->lines[3].text, "3 structures written, 0 skipped");
  ExpectClosing(kFinished);
  EXPECT_EQ(package->GetRunSummary().outcome, roFinished);
  EXPECT_TRUE(relayed);
  EXPECT_EQ(synchronizedOn, std::this_thread::get_id());
  EXPECT_EQ(descriptor->busy, (std::vector<bool>{true, false, true, false, true, false}));
  for (const auto& block : {source, descriptor}) {
    EXPECT_EQ(block->starts + block->stops, 2);
    EXPECT_TRUE(block->startedOnMain);
    EXPECT_EQ(block->GetLog(), nullptr);
    EXPECT_EQ(block->GetThread(), nullptr);
  }
  EXPECT_EQ(progress->positions.front(), 0);
  EXPECT_EQ(progress->positions.back(), 100);
  EXPECT_FALSE(progress->lastContinue); // the closing report says the run is over
}

TEST_F(Worker, AnEmptyChainEndsAtOnceAndWithoutAnEditorBlockAStepRunHasNoPausePoint) {
  Run({}, true);
  ExpectClosing(kFinished);
  Reset();
  auto source = MakeSource(3);
  Run({source}, true);
  EXPECT_EQ(source->executed, 3);
  ExpectClosing(kFinished);
}

// The source gives five structures; the descriptor raises on the second.
TEST_F(Worker, AStructureErrorSkipsThatStructureOnlyAndAnyOtherErrorEndsTheRun) {
  struct Case {
    std::string what;
    std::function<void()> raise;
    std::string logged; // "" when nothing is said
    int passes, written, skipped;
    RunOutcome outcome;
    bool onMain = false; // raised on the main thread, inside a hand-over
  };
  const std::vector<Case> cases = {
      {"broken record", [] { throw ERecordError("\"a.sdf\" at line 9, record 2"); }, "\"a.sdf\" at line 9, record 2", 5,
       4, 1, roFinished},
      {"chem error", [] { throw EChemError("Structure has no bonds"); }, "Structure has no bonds", 5, 4, 1, roFinished},
      {"nothing delivered", [] { throw ENoStructure(); }, "", 5, 4, 0, roFinished},
      {"input error", [] { throw EInputError("Error in file \"a.sml\""); }, "Error in file \"a.sml\"", 2, 1, 0,
       roStoppedOnError},
      {"fatal error", [] { ScriptBlock().Fatal("Too many atoms"); }, "Too many atoms", 2, 1, 0, roStoppedOnError},
      {"chem error on the main thread", [] { throw EChemError("No view"); }, "No view", 5, 4, 1, roFinished, true},
      {"fatal error on the main thread", [] { throw EFatalError("Disk full"); }, "Disk full", 2, 1, 0, roStoppedOnError,
       true},
      // Never a bare "Unexpected error" when the exception can say more.
      {"index error", [] { throw std::out_of_range("vertex 12"); }, "Unexpected error (vertex 12)", 2, 1, 0,
       roStoppedOnError},
      {"allocation failure", [] { throw std::bad_alloc(); }, "Unexpected error (std::bad_alloc)", 2, 1, 0,
       roStoppedOnError},
      {"foreign object", [] { throw 42; }, "Unexpected error", 2, 1, 0, roStoppedOnError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    auto source = MakeSource(5);
    auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
    descriptor->script = [&c](ScriptBlock& self, bool&) {
      if (self.executed == 2) c.onMain ? self.Synchronize(c.raise) : c.raise();
    };
    auto output = std::make_shared<ScriptBlock>("Output");
    Run({source, descriptor, output});
    EXPECT_EQ(source->executed, c.passes);
    EXPECT_EQ(output->executed, c.written);
    int errors = 0;
    for (const auto& line : log->lines)
      errors += line.kind == lkError ? 1 : 0;
    EXPECT_EQ(errors, c.logged.empty() ? 0 : 1);
    EXPECT_TRUE(c.logged.empty() || log->Contains(c.logged, lkError));
    const TRunSummary summary = package->GetRunSummary();
    EXPECT_EQ(summary.outcome, c.outcome);
    EXPECT_EQ(summary.written, c.written);
    EXPECT_EQ(summary.skipped, c.skipped);
    ASSERT_GE(log->lines.size(), 2u);
    EXPECT_EQ(log->lines[log->lines.size() - 2].text, RunSummaryText(summary));
    EXPECT_FALSE(descriptor->busy.back());
    ExpectClosing(c.outcome == roFinished ? kFinished : kStopped);
  }
}

TEST_F(Worker, AFailedStartRunsNoPassButStopsEveryBlockAndAFailedStopIsReportedAfterTheClosingMessage) {
  auto first = std::make_shared<ScriptBlock>("Output");
  first->startError = [] { throw EChemError("Cannot open \"TOPS-MODE.txt\""); };
  auto second = MakeSource(3);
  second->stopError = [] { throw EChemError("Cannot write \"Results.txt\""); };
  Run({first, second});
  EXPECT_EQ(second->starts, 1); // later blocks are still started
  EXPECT_EQ(first->executed + second->executed, 0);
  EXPECT_EQ(first->stops + second->stops, 2);
  EXPECT_TRUE(log->Contains("Cannot open \"TOPS-MODE.txt\"", lkError));
  ASSERT_GE(log->lines.size(), 2u);
  EXPECT_EQ(log->lines[log->lines.size() - 2].text, kStopped);
  EXPECT_EQ(log->Last().text, "Cannot write \"Results.txt\"");
  EXPECT_EQ(finish->count, 1);
  EXPECT_EQ(package->GetRunSummary().outcome, roStoppedOnError);
  EXPECT_EQ(progress->positions.back(), 100);
}

TEST_F(Worker, AProgressReportAnsweredWithStopEndsTheRunAfterTheCurrentBlock) {
  // Reports let through before the stop: 0 stops at the starting report, 2 at the second pass's report.
  for (const int letThrough : {0, 2}) {
    SCOPED_TRACE(letThrough);
    Reset();
    auto source = std::make_shared<ScriptBlock>("Source");
    source->script = [](ScriptBlock& self, bool& more) {
      self.Progress(self.executed * 10);
      more = true; // endless without the stop
    };
    auto after = std::make_shared<ScriptBlock>("After");
    progress->stopAfter = letThrough;
    Run({source, after});
    EXPECT_EQ(source->executed, letThrough);
    EXPECT_EQ(after->executed, std::max(letThrough - 1, 0));
    EXPECT_EQ(package->GetRunSummary().written, std::max(letThrough - 1, 0));
    EXPECT_EQ(package->GetRunSummary().outcome, roStoppedByUser);
    ExpectClosing(kStopped);
  }
}

TEST_F(Worker, StepStopsAtTheEditorBlockOfEveryPassAndResumeRunsToTheEnd) {
  auto source = MakeSource(5);
  auto editor = AddWithEditor(source);
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
  EXPECT_EQ(editor->offMainCalls, 0);
  ExpectClosing(kFinished);
}

TEST_F(Worker, APauseRequestedDuringAFreeRunTakesEffectAtTheSecondPausePoint) {
  auto source = MakeSource(6);
  auto editor = AddWithEditor(source);
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

TEST_F(Worker, DisplayOnlyBlocksRunWhileStructuresAreShownAndASwitchTakesEffectAtTheNextPass) {
  for (const int hideAt : {0, 2}) { // the pass during which structures are hidden; 0: hidden from the start
    SCOPED_TRACE(hideAt);
    Reset();
    auto viewer = std::make_shared<ScriptBlock>("Viewer");
    viewer->displayOnly = true;
    auto editor = std::make_shared<StubEditor>();
    package->SetShowStructures(hideAt > 0);
    log->onMessage = [&](const std::string& text) {
      if (text == "pass " + std::to_string(hideAt)) package->SetShowStructures(false);
    };
    Run({MakeSource(4), viewer, editor});
    EXPECT_EQ(viewer->executed, hideAt);
    EXPECT_EQ(editor->executed, hideAt);
    EXPECT_EQ(editor->showing, (hideAt > 0 ? std::vector<bool>{true, false} : std::vector<bool>{false}));
    ExpectClosing(kFinished);
  }
}

TEST_F(Worker, StopDestroyingThePackageOrANewRunEndARunningOrPausedRunBeforeTheyReturn) {
  auto log2 = std::make_shared<RecordingLog>();
  auto finish2 = std::make_shared<FinishCounter>();
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Stop",
       [&] {
         package->Stop();
         EXPECT_EQ(package->GetRunSummary().outcome, roStoppedByUser);
       }},
      {"destroying the package", [&] { package.reset(); }},
      {"a new run", [&] { ASSERT_TRUE(package->Execute(false, finish2, log2, nullptr)); }},
  };
  for (const bool paused : {false, true})
    for (const auto& [what, act] : cases) {
      SCOPED_TRACE(std::string(what) + (paused ? " at a pause point" : " during a free run"));
      Reset();
      auto source = MakeSource(-1);
      auto editor = AddWithEditor(source);
      ASSERT_TRUE(Start(paused));
      ASSERT_TRUE(Serve([&] { return paused ? package->IsPaused() : source->executed >= 2; }));
      act();
      // The call has returned: the run is over, its end was served during the wait.
      EXPECT_EQ(source->stops, 1);
      EXPECT_EQ(finish->count, 1);
      EXPECT_EQ(log->Last().text, kStopped);
      EXPECT_EQ(editor->resumedAt.size(), editor->pausedAt.size()); // a waiting worker was released
      if (paused) {
        EXPECT_EQ(source->executed, 1);
      }
      if (package) package->Stop(); // the new run of the last case
    }
  EXPECT_EQ(finish2->count, 2);
  EXPECT_EQ(log2->Last().text, kStopped);
}

TEST_F(Worker, StopRequestedFromInsideOneOfTheWorkersCallsDoesNotDeadlock) {
  auto source = MakeSource(-1);
  log->onMessage = [&](const std::string& text) {
    if (text == "pass 3") package->Stop(); // e.g. a stop button handled while a progress report is shown
  };
  Run({source});
  EXPECT_EQ(source->executed, 3);
  ExpectClosing(kStopped);
}

TEST_F(Worker, ANewRunMayBeStartedFromTheRunFinishedCall) {
  auto source = MakeSource(2);
  auto log2 = std::make_shared<RecordingLog>();
  auto finish2 = std::make_shared<FinishCounter>();
  finish->onFinished = [&] { EXPECT_TRUE(package->Execute(false, finish2, log2, nullptr)); };
  Add({source});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Serve([&] { return finish2->count == 1; }));
  ASSERT_TRUE(package->WaitForRun());
  EXPECT_EQ(log->Last().text, kFinished);
  EXPECT_EQ(log2->Last().text, kFinished);
  EXPECT_EQ(source->starts + source->stops, 4);
  EXPECT_EQ(finish->count, 1);
}

// Hundreds of runs driven through random sequences of pause, step, resume, show switches and stops (some from
// inside one of the worker's calls, as a stop button pressed during a report): none may deadlock, and every run
// closes its log and reports its end once.
TEST_F(Worker, RandomPauseStepResumeAndStopNeverDeadlockAndEveryRunClosesOnce) {
  std::atomic<int> limit{-1}; // passes per run, -1 endless; set while idle
  auto source = std::make_shared<ScriptBlock>("Source");
  source->script = [&limit](ScriptBlock& self, bool& more) {
    self.LogMessage("pass");
    self.Progress(-1);
    more = limit < 0 || self.executed < limit;
  };
  auto viewer = std::make_shared<ScriptBlock>("Viewer");
  viewer->displayOnly = true;
  auto editor = std::make_shared<StubEditor>();
  auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
  descriptor->script = [](ScriptBlock& self, bool&) {
    if (self.executed % 7 == 0) throw EChemError("Structure skipped");
  };
  Add({source, viewer, editor, descriptor});
  std::mt19937 random(20240611);
  bool stopInside = false;
  const auto serve = [&] {
    const int wanted = log->messages + 1 + static_cast<int>(random() % 8);
    ASSERT_TRUE(Serve([&] { return log->messages >= wanted || package->IsPaused() || finish->count > 0; }))
        << "the worker neither reported nor paused";
  };
  const std::function<void()> operations[] = {[&] { package->Pause(); },
                                              [&] { package->Step(); },
                                              [&] { package->Resume(); },
                                              [&] { package->SetShowStructures(random() % 2); },
                                              [&] { stopInside = true; },
                                              serve,
                                              serve};
  for (int run = 0; run < 300; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    source->executed = 0;
    limit = random() % 2 ? -1 : 1 + static_cast<int>(random() % 5);
    log = std::make_shared<RecordingLog>();
    progress = std::make_shared<RecordingProgress>();
    finish = std::make_shared<FinishCounter>();
    log->onMessage = [&](const std::string&) {
      if (std::exchange(stopInside, false)) package->Stop();
    };
    ASSERT_TRUE(Start(random() % 2));
    for (int op = 1 + static_cast<int>(random() % 6); op > 0; --op)
      operations[random() % 7]();
    if (limit > 0 && random() % 2) {
      package->Resume();
      Finish();
    } else {
      package->Stop();
    }
    ASSERT_TRUE(package->WaitForRun());
    ExpectClosing(log->Last().text == kFinished ? kFinished : kStopped);
    EXPECT_EQ(source->starts, run + 1);
    EXPECT_EQ(source->stops, run + 1);
    EXPECT_EQ(progress->positions.back(), 100);
    EXPECT_EQ(editor->offMainCalls, 0);
    if (HasFailure()) return;
  }
}
