// Runs without a window: the inline worker on the calling thread, a data space per run, and workers that share
// one input and write in its order.

#include "block_stubs.h"

#include "blocks/worker.h"
#include "core/errors.h"

#include <gtest/gtest.h>

using namespace corvatin;
using namespace corvatin::test;

namespace {

const char* const kPort = "InlineTest.Molecule";

/// A dispatcher that must never be asked: an inline run hands nothing over.
class RefusingDispatcher : public IDispatcher {
public:
  void Invoke(const std::function<void()>& fn) override {
    ++invoked;
    fn();
  }
  bool IsMainThread() const override { return false; }
  void ServeUntil(const std::function<bool()>&) override { ++invoked; }
  void Wake() override { ++invoked; }
  std::atomic<int> invoked{0};
};

/// The batch tool's log: a run's start clears nothing (the workers of one run share it).
struct ConsoleLog : RecordingLog {
  void Clear() override {}
};

struct ChainSetup {
  int total;                                  // structures, numbered from 1
  std::vector<int> failing{};                 // structures a step cannot handle: skipped
  int fatalAt = 0;                            // the structure whose error ends the run (0: none)
  std::function<void(ScriptBlock&)> during{}; // called in the step of every structure
  Ptr<IDispatcher> dispatcher{};
};

/// An inline chain: a source publishing structure k under kPort, a step that fails as set up and an output that
/// appends "written k" to out in input order (shared runs take turns: no lock, so that the thread checker sees any
/// write out of turn).
Ptr<TPackage> Chain(const ChainSetup& setup, std::vector<std::string>& out) {
  const auto number = [](ScriptBlock& block) { return block.GetInputAs<IParameters>()->GetInt("N"); };
  auto package = std::make_shared<TPackage>("Chain", setup.dispatcher);
  auto source = std::make_shared<ScriptBlock>("Source");
  source->script = [total = setup.total](ScriptBlock& self, bool& more) {
    const int n = self.executed;
    auto structure = std::make_shared<TParameters>();
    structure->SetFloat("N", n);
    self.PublishStructure<IParameters>(Ptr<IParameters>(structure));
    self.LogMessage("read " + std::to_string(n));
    more = n < total;
  };
  auto step = std::make_shared<ScriptBlock>("Step");
  step->script = [setup, number](ScriptBlock& self, bool&) {
    if (setup.during) setup.during(self);
    const int n = static_cast<int>(number(self));
    for (int f : setup.failing)
      if (f == n) throw EChemError("structure " + std::to_string(n) + " fails");
    if (n == setup.fatalAt) self.Fatal("disk full");
  };
  auto output = std::make_shared<ScriptBlock>("Output");
  output->script = [&out, number](ScriptBlock& self, bool&) {
    const auto n = number(self);
    self.InInputOrder([&] {
      out.push_back("written " + std::to_string(n));
      self.LogMessage("wrote");
    });
  };
  for (const Ptr<ScriptBlock>& block : {source, step, output})
    package->AddBlock(block, {kPort});
  package->SetRunInline(true);
  return package;
}

} // namespace

TEST(InlineRun, RunsOnTheCallingThreadWithoutAnyHandOverAndRefusesStep) {
  auto dispatcher = std::make_shared<RefusingDispatcher>();
  std::thread::id ranOn;
  const auto probe = [&](ScriptBlock& self) {
    ranOn = std::this_thread::get_id();
    self.Synchronize([] {});
  };
  std::vector<std::string> out;
  const auto package = Chain({.total = 2, .during = probe, .dispatcher = dispatcher}, out);
  auto log = std::make_shared<RecordingLog>();
  EXPECT_THROW(package->Execute(true, nullptr, log, nullptr), std::logic_error);
  EXPECT_TRUE(package->Execute(false, nullptr, log, nullptr));
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(dispatcher->invoked, 0);
  EXPECT_FALSE(package->IsRunning());
  EXPECT_TRUE(package->WaitForRun());
  std::string lines;
  for (const LogLine& line : log->lines)
    lines += std::to_string(line.kind) + ":" + line.text + "|";
  EXPECT_EQ(lines, "0:read 1|0:wrote|0:read 2|0:wrote|0:2 structures written, 0 skipped|4:" + kFinished + "|");
  EXPECT_EQ(package->GetRunSummary().written, 2);
}

TEST(InlineRun, TwoRunsInOneProcessDoNotShareStructures) {
  // A run started inside another one's pass, on the same thread, publishes under the same port name: each must
  // still find its own structure, and none is left in the process-wide space.
  std::vector<std::string> innerOut, outerOut;
  const auto inner = Chain({.total = 2}, innerOut);
  const auto startInner = [&](ScriptBlock&) { inner->Execute(false, nullptr, nullptr, nullptr); };
  Chain({.total = 1, .during = startInner}, outerOut)->Execute(false, nullptr, nullptr, nullptr);
  EXPECT_EQ(innerOut, (std::vector<std::string>{"written 1", "written 2"}));
  EXPECT_EQ(outerOut, std::vector<std::string>{"written 1"});
  EXPECT_FALSE(SharedDataSpace()->HasParam(kPort));
}

TEST(SharedRun, WorkersWriteAndLogInInputOrderAsOneRunWouldAndStopWhereItWouldFail) {
  struct Case {
    std::vector<int> failing;
    int fatalAt;
    int jobs;
  };
  for (const Case& c : {Case{{4, 5, 13, 23}, 0, 2}, Case{{4, 5, 13, 23}, 0, 4}, Case{{2}, 7, 3}}) {
    SCOPED_TRACE(std::to_string(c.jobs) + " workers, fatal at " + std::to_string(c.fatalAt));
    std::vector<std::string> singleOut, out;
    auto singleLog = std::make_shared<ConsoleLog>(), log = std::make_shared<ConsoleLog>();
    const auto single = Chain({23, c.failing, c.fatalAt}, singleOut);
    single->Execute(false, nullptr, singleLog, nullptr);
    auto turns = std::make_shared<TRecordTurns>();
    std::vector<Ptr<TPackage>> workers;
    std::vector<std::thread> threads;
    for (int k = 0; k < c.jobs; ++k) {
      workers.push_back(Chain({23, c.failing, c.fatalAt}, out));
      workers.back()->SetRecordShare({0, 1, k, c.jobs, turns});
      threads.emplace_back([&log, worker = workers.back()] { worker->Execute(false, nullptr, log, nullptr); });
    }
    TRunSummary total{roFinished, 0, 0};
    for (size_t k = 0; k < workers.size(); ++k) {
      threads[k].join();
      const TRunSummary part = workers[k]->GetRunSummary();
      total = {part.outcome == roStoppedOnError ? part.outcome : total.outcome, total.written + part.written,
               total.skipped + part.skipped};
    }
    EXPECT_EQ(out, singleOut);
    // The workers leave the closing lines to whoever runs them: the single run's log without its last two.
    EXPECT_EQ(log->lines, std::vector<LogLine>(singleLog->lines.begin(), singleLog->lines.end() - 2));
    EXPECT_EQ(RunSummaryText(total), RunSummaryText(single->GetRunSummary()));
    EXPECT_EQ(total.outcome, single->GetRunSummary().outcome);
  }
}

TEST(SharedRun, TheRecordQueueHoldsNoMoreThanItsCapacityKeepsTheOrderAndACancelFreesAWaitingReader) {
  auto queue = std::make_shared<TRecordQueue>(3);
  std::thread reader([queue] {
    for (int i = 0; i < 200; ++i) {
      TRecordText record;
      record.index = i;
      if (!queue->Push(std::move(record))) return;
    }
    queue->Finish();
  });
  std::vector<std::int64_t> taken;
  for (TRecordText record; queue->Pop(record);) taken.push_back(record.index);
  reader.join();
  ASSERT_EQ(taken.size(), 200u);
  for (std::size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i], static_cast<std::int64_t>(i));
  EXPECT_EQ(queue->HighWater(), 3u);

  // The workers gave up: a reader waiting on the full queue is let go, and nothing more is handed out.
  auto full = std::make_shared<TRecordQueue>(1);
  std::atomic<int> pushed{0};
  std::thread stuck([full, &pushed] {
    while (full->Push(TRecordText())) ++pushed;
  });
  while (pushed == 0) std::this_thread::yield();
  full->Cancel();
  stuck.join();
  EXPECT_EQ(pushed, 1);
  TRecordText record;
  EXPECT_FALSE(full->Pop(record));
}
