// The worker thread: the run's shape, its error table, pause and step, show structures, and ending a run.

#include "block_stubs.h"

#include "core/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace corvatin;
using namespace corvatin::test;

namespace {

class Worker : public ::testing::Test {
protected:
  Worker() { Reset(); }
  /// A new package and new windows, for the rows of a table.
  void Reset() {
    package = std::make_shared<TPackage>("Test", dispatcher);
    log = std::make_shared<RecordingLog>();
    progress = std::make_shared<RecordingProgress>();
    finish = std::make_shared<FinishCounter>();
  }
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
    EXPECT_EQ(finish->count, 1);
    EXPECT_FALSE(package->IsRunning());
    EXPECT_FALSE(package->IsPaused());
    EXPECT_EQ(log->offMainCalls + progress->offMainCalls, 0);
    EXPECT_EQ(std::count_if(log->lines.begin(), log->lines.end(), [](const LogLine& l) { return l.kind == lkHeading; }),
              1);
    EXPECT_EQ(progress->positions.back(), 100);
  }
  Ptr<TConsoleDispatcher> dispatcher = std::make_shared<TConsoleDispatcher>();
  Ptr<TPackage> package;
  Ptr<RecordingLog> log;
  Ptr<RecordingProgress> progress;
  Ptr<FinishCounter> finish;
};

} // namespace

TEST_F(Worker, ARunRunsEveryPassThroughTheMainThreadClosesWithSuccessAndReportsAFailedStopAfterwards) {
  auto source = MakeSource(3);
  auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
  std::thread::id synchronizedOn;
  descriptor->script = [&](ScriptBlock& self, bool&) {
    self.Synchronize([&] { synchronizedOn = std::this_thread::get_id(); });
  };
  descriptor->stopError = [] { throw EChemError("Cannot write \"Results.txt\""); };
  log->lines.push_back({"left from before", 0, false});
  Run({source, descriptor});
  EXPECT_EQ(log->clears, 1);
  ASSERT_EQ(log->lines.size(), 6u);
  EXPECT_EQ(log->lines[2].text, "pass 3");
  EXPECT_EQ(log->lines[3].text, "3 structures written, 0 skipped");
  EXPECT_EQ(log->lines[4].text, kFinished);
  EXPECT_TRUE(log->Contains("Cannot write \"Results.txt\"", lkError)); // the file that could not be closed
  log->lines.pop_back();
  ExpectClosing(kFinished);
  EXPECT_EQ(synchronizedOn, std::this_thread::get_id());
  EXPECT_EQ(descriptor->busy, (std::vector<bool>{true, false, true, false, true, false}));
  for (const auto& block : {source, descriptor}) {
    EXPECT_EQ(block->starts + block->stops, 2);
    EXPECT_TRUE(block->startedOnMain);
    EXPECT_EQ(block->GetLog(), nullptr);
  }
  EXPECT_EQ(progress->positions.front(), 0);
  EXPECT_FALSE(progress->lastContinue); // the closing report says the run is over
  package->Pause();                     // on a finished run these change nothing
  package->Step();
  package->Stop();
  EXPECT_FALSE(package->IsRunning() || package->IsPaused());
  EXPECT_EQ(package->GetRunSummary().outcome, roFinished);
  Reset(); // an empty chain ends at once
  Run({});
  ExpectClosing(kFinished);
}

// The source gives five structures; the descriptor raises on the second (or when started), or its progress report
// is answered with Stop. Every row runs in step mode: without an editor block there is no pause point.
TEST_F(Worker, AStructureErrorSkipsThatStructureOnlyAndAnyOtherErrorOrACancelEndsTheRun) {
  enum Where { kWorker, kMain, kStart, kReport };
  struct Case {
    std::string what;
    std::function<void()> raise;
    std::string logged; // "" when nothing is said
    int passes, written, skipped;
    RunOutcome outcome;
    Where where = kWorker;
    int stopAfter = -1; // reports let through before the answer Stop
  };
  const std::vector<Case> cases = {
      {"broken record", [] { throw ERecordError("\"a.sdf\" at line 9, record 2"); }, "\"a.sdf\" at line 9, record 2", 5,
       4, 1, roFinished},
      {"chem error", [] { throw EChemError("Structure has no bonds"); }, "Structure has no bonds", 5, 4, 1, roFinished},
      {"nothing delivered", [] { throw ENoStructure(); }, "", 5, 4, 0, roFinished},
      {"input error", [] { throw EInputError("Error in file \"a.sml\""); }, "Error in file \"a.sml\"", 2, 1, 0,
       roStoppedOnError},
      {"fatal error", [] { ScriptBlock().Fatal("Too many atoms"); }, "Too many atoms", 2, 1, 0, roStoppedOnError},
      {"chem error on the main thread", [] { throw EChemError("No view"); }, "No view", 5, 4, 1, roFinished, kMain},
      {"fatal error on the main thread", [] { throw EFatalError("Disk full"); }, "Disk full", 2, 1, 0, roStoppedOnError,
       kMain},
      // Never a bare "Unexpected error" when the exception can say more.
      {"index error", [] { throw std::out_of_range("vertex 12"); }, "Unexpected error (vertex 12)", 2, 1, 0,
       roStoppedOnError},
      {"foreign object", [] { throw 42; }, "Unexpected error", 2, 1, 0, roStoppedOnError},
      {"failed start", [] { throw EChemError("Cannot open \"TOPS-MODE.txt\""); }, "Cannot open \"TOPS-MODE.txt\"", 0, 0,
       0, roStoppedOnError, kStart},
      // The report ends the run after the current block; at the starting report, before the first pass.
      {"cancelled at the second structure", nullptr, "", 2, 1, 0, roStoppedByUser, kReport, 1},
      {"cancelled at the start", nullptr, "", 0, 0, 0, roStoppedByUser, kReport, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    auto source = MakeSource(5);
    auto descriptor = std::make_shared<ScriptBlock>("Descriptor");
    descriptor->script = [&c](ScriptBlock& self, bool&) {
      if (self.executed != 2) return;
      if (c.where == kReport) self.Progress(50);
      if (c.where == kWorker) c.raise();
      if (c.where == kMain) self.Synchronize(c.raise);
    };
    if (c.where == kStart) descriptor->startError = c.raise;
    progress->stopAfter = c.stopAfter;
    auto output = std::make_shared<ScriptBlock>("Output");
    Run({source, descriptor, output}, true);
    EXPECT_EQ(source->executed, c.passes);
    EXPECT_EQ(output->executed, c.written);
    EXPECT_EQ(std::count_if(log->lines.begin(), log->lines.end(), [](const LogLine& l) { return l.kind == lkError; }),
              c.logged.empty() ? 0 : 1);
    EXPECT_TRUE(c.logged.empty() || log->Contains(c.logged, lkError));
    const TRunSummary summary = package->GetRunSummary();
    EXPECT_EQ(summary.outcome, c.outcome);
    EXPECT_EQ(summary.written, c.written);
    EXPECT_EQ(summary.skipped, c.skipped);
    ASSERT_GE(log->lines.size(), 2u);
    EXPECT_EQ(log->lines[log->lines.size() - 2].text, RunSummaryText(summary));
    EXPECT_TRUE(descriptor->busy.empty() || !descriptor->busy.back());
    for (const auto& block : {source, descriptor, output}) // every block started and stopped, whatever failed
      EXPECT_EQ(std::make_pair(block->starts, block->stops), std::make_pair(1, 1)) << block->GetName();
    ExpectClosing(c.outcome == roFinished ? kFinished : kStopped);
  }
}

// Display-only blocks (viewer, editor) run while structures are shown; a switch takes effect at the next pass.
TEST_F(Worker, StepStopsAtTheEditorOfEveryPassAPauseDuringAFreeRunAtTheSecondPausePointAndHidingSkipsTheViews) {
  auto source = MakeSource(8);
  auto viewer = std::make_shared<ScriptBlock>("Viewer");
  viewer->displayOnly = true;
  auto editor = std::make_shared<StubEditor>();
  editor->source = source;
  Add({source, viewer, editor});
  ASSERT_TRUE(Start(true));
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 1; }));
  EXPECT_TRUE(package->IsPaused() && package->IsRunning());
  EXPECT_FALSE(package->CanExecute());
  package->Step();
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 2; }));
  log->onMessage = [&](const std::string& text) {
    if (text == "pass 4") package->Pause();
    if (text == "pass 6") package->SetShowStructures(false);
  };
  package->Resume();
  ASSERT_TRUE(Serve([&] { return editor->pausedAt.size() == 4; }));
  // Pass 4's lines reach the log when the pass ends; the signal given with the request then releases the first
  // pause point at once (pass 5); pass 6 waits.
  EXPECT_EQ(editor->pausedAt, (std::vector<int>{1, 2, 5, 6}));
  EXPECT_EQ(editor->resumedAt, (std::vector<int>{1, 2, 5}));
  EXPECT_FALSE(ServeWithin(
      *dispatcher, [&] { return editor->resumedAt.size() == 4; }, std::chrono::milliseconds(100)));
  EXPECT_TRUE(package->IsPaused());
  package->Resume();
  Finish();
  EXPECT_EQ(source->executed, 8);
  EXPECT_EQ(viewer->executed + editor->executed, 6 + 6);
  EXPECT_EQ(editor->showing, (std::vector<bool>{true, false}));
  EXPECT_EQ(editor->offMainCalls, 0);
  ExpectClosing(kFinished);
  Reset(); // hidden from the start: the editor is told so before the first pass
  auto hiddenEditor = std::make_shared<StubEditor>();
  package->SetShowStructures(false);
  Run({MakeSource(2), hiddenEditor});
  EXPECT_EQ(hiddenEditor->executed, 0);
  EXPECT_EQ(hiddenEditor->showing, std::vector<bool>{false});
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
// inside one of the worker's calls, as a stop button pressed during a report), each ended by its last pass, by
// Stop, by destroying the package or by a new run: none may deadlock, a run is over when the call that ends it
// returns (a waiting worker released, its blocks stopped), and every run closes its log and reports its end once.
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
  Add({source, viewer, editor, descriptor});
  for (int run = 1; run <= 300; ++run) {
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
    switch (limit > 0 ? random() % 4 : 1 + random() % 3) {
    case 0:
      package->Resume();
      Finish();
      break;
    case 1:
      package->Stop();
      break;
    case 2:
      package = std::make_shared<TPackage>("Test", dispatcher);
      Add({source, viewer, editor, descriptor});
      break;
    default:
      ASSERT_TRUE(package->Execute(false, nullptr, nullptr, nullptr));
      EXPECT_EQ(source->stops, run);
      package->Stop(); // the new run's blocks start and stop as well
      source->starts -= 1;
      source->stops -= 1;
    }
    ExpectClosing(log->Last().text == kFinished ? kFinished : kStopped);
    EXPECT_EQ(editor->resumedAt.size(), editor->pausedAt.size()); // a waiting worker was released
    EXPECT_EQ(source->starts, run);
    EXPECT_EQ(source->stops, run);
    EXPECT_EQ(editor->offMainCalls, 0);
    if (HasFailure()) return;
  }
}
