// Hundreds of runs driven through random sequences of pause, step, resume, show switches and stop: none may
// deadlock, and every run must close its log and report its end exactly once.

#include "block_stubs.h"

#include "core/errors.h"

#include <gtest/gtest.h>

#include <random>

using namespace corvatin;
using namespace corvatin::test;

TEST(PackageStress, RandomPauseStepResumeAndStopNeverDeadlockAndEveryRunCloses) {
  constexpr int kRuns = 300;
  std::atomic<int> iteration{0};
  Watchdog watchdog(std::chrono::seconds(240), "the stress run", &iteration);

  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  auto package = std::make_shared<TPackage>("Stress", dispatcher);
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
  for (const Ptr<IBlock>& block : std::vector<Ptr<IBlock>>{source, viewer, editor, descriptor})
    package->AddBlock(block, {"Stress.Molecule"});

  std::mt19937 random(20240611);
  for (int run = 0; run < kRuns; ++run) {
    iteration = run;
    SCOPED_TRACE("run " + std::to_string(run));
    source->executed = 0;
    limit = random() % 2 ? -1 : 1 + static_cast<int>(random() % 5);
    auto log = std::make_shared<RecordingLog>();
    auto finish = std::make_shared<FinishCounter>();
    auto progress = std::make_shared<RecordingProgress>();
    bool stopInside = false;
    log->onMessage = [&](const std::string&) {
      if (!stopInside) return;
      stopInside = false;
      package->Stop();
    };
    const bool step = random() % 2;
    ASSERT_TRUE(package->Execute(step, finish, log, progress));

    const int operations = 1 + static_cast<int>(random() % 6);
    for (int op = 0; op < operations; ++op) {
      switch (random() % 7) {
      case 0:
        package->Pause();
        break;
      case 1:
        package->Step();
        break;
      case 2:
        package->Resume();
        break;
      case 3:
        package->SetShowStructures(random() % 2);
        break;
      case 4:
        // A stop handled inside one of the worker's own calls (a stop button pressed during a report).
        stopInside = true;
        break;
      default: {
        const int before = log->messages;
        const int wanted = 1 + static_cast<int>(random() % 8);
        ASSERT_TRUE(ServeWithin(*dispatcher, [&] {
          return log->messages >= before + wanted || package->IsPaused() || finish->count > 0;
        })) << "the worker neither reported nor paused";
        break;
      }
      }
    }
    if (limit > 0 && random() % 2) {
      package->Resume();
      ASSERT_TRUE(ServeWithin(*dispatcher, [&] { return finish->count > 0; })) << "a resumed finite run did not end";
    } else {
      package->Stop();
    }
    ASSERT_TRUE(package->WaitForRun());

    EXPECT_EQ(finish->count, 1);
    EXPECT_FALSE(package->IsRunning());
    EXPECT_FALSE(package->IsPaused());
    ASSERT_FALSE(log->lines.empty());
    EXPECT_EQ(log->Last().kind, lkHeading);
    EXPECT_EQ(log->CountOf("Procedure execution stopped") + log->CountOf("Procedure execution successfully finished"),
              1);
    EXPECT_TRUE(log->Last().text == "Procedure execution stopped" ||
                log->Last().text == "Procedure execution successfully finished");
    EXPECT_EQ(source->starts, run + 1);
    EXPECT_EQ(source->stops, run + 1);
    EXPECT_EQ(progress->positions.back(), 100);
    EXPECT_EQ(log->offMainCalls + progress->offMainCalls + editor->offMainCalls, 0);
    if (HasFatalFailure()) return;
  }
}
