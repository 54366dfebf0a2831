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

/// A log several workers may write to; keeps the lines as the console would print them.
class SharedLog : public IProgressLog {
public:
  void Clear() override {}
  void AddMessage(const std::string& text, int kind, bool transient) override {
    std::lock_guard<std::mutex> lock(mutex);
    if (!transient) lines.push_back(std::to_string(kind) + ":" + text);
  }
  std::mutex mutex;
  std::vector<std::string> lines;
};

/// The number of the structure a source published.
int Number(ScriptBlock& block) { return static_cast<int>(block.GetInputAs<IParameters>()->GetInt("N")); }

/// The chain of one worker: a source of total structures numbered from 1, a step that fails on the structures in
/// failing, and an output that appends "written k" to out in input order.
Ptr<TPackage> Chain(int total, std::vector<int> failing, std::vector<std::string>& out, std::mutex& outMutex) {
  auto package = std::make_shared<TPackage>("Chain");
  auto source = MakeSource(total);
  source->script = [total](ScriptBlock& self, bool& more) {
    const int n = self.executed;
    auto structure = std::make_shared<TParameters>();
    structure->SetFloat("N", n);
    self.PublishStructure<IParameters>(Ptr<IParameters>(structure));
    self.LogMessage("read " + std::to_string(n));
    more = n < total;
  };
  package->AddBlock(source, {kPort});
  auto step = std::make_shared<ScriptBlock>("Step");
  step->script = [failing](ScriptBlock& self, bool&) {
    const int n = Number(self);
    self.LogResult("computed " + std::to_string(n));
    for (int f : failing)
      if (f == n) throw EChemError("structure " + std::to_string(n) + " fails");
  };
  package->AddBlock(step, {kPort});
  auto output = std::make_shared<ScriptBlock>("Output");
  output->script = [&out, &outMutex](ScriptBlock& self, bool&) {
    const int n = Number(self);
    self.InInputOrder([&] {
      std::lock_guard<std::mutex> lock(outMutex);
      out.push_back("written " + std::to_string(n));
      self.LogMessage("wrote");
    });
  };
  package->AddBlock(output, {kPort});
  package->SetRunInline(true);
  return package;
}

} // namespace

TEST(InlineRun, RunsOnTheCallingThreadWithoutAnyHandOverAndRefusesStep) {
  auto dispatcher = std::make_shared<RefusingDispatcher>();
  auto package = std::make_shared<TPackage>("Inline", dispatcher);
  std::thread::id ranOn;
  auto source = MakeSource(3);
  auto probe = std::make_shared<ScriptBlock>("Probe");
  probe->script = [&](ScriptBlock& self, bool&) {
    ranOn = std::this_thread::get_id();
    self.Synchronize([] {});
  };
  package->AddBlock(source, {kPort});
  package->AddBlock(probe, {kPort});
  package->SetRunInline(true);
  auto log = std::make_shared<SharedLog>();
  EXPECT_THROW(package->Execute(true, nullptr, log, nullptr), std::logic_error);
  std::thread other([&] { EXPECT_TRUE(package->Execute(false, nullptr, log, nullptr)); });
  const auto otherId = other.get_id();
  other.join();
  EXPECT_EQ(ranOn, otherId);
  EXPECT_EQ(dispatcher->invoked, 0);
  EXPECT_FALSE(package->IsRunning());
  EXPECT_TRUE(package->WaitForRun());
  EXPECT_EQ(log->lines, (std::vector<std::string>{"0:pass 1", "0:pass 2", "0:pass 3", "0:3 structures written, 0 skipped",
                                                  "4:Procedure execution successfully finished"}));
  EXPECT_EQ(package->GetRunSummary().written, 3);
}

TEST(InlineRun, TwoRunsInOneProcessDoNotShareStructures) {
  // A run started inside another one's pass, on the same thread, publishes under the same port name: each must
  // still find its own structure, and none is left in the process-wide space.
  const auto chain = [](const std::string& name, std::function<void()> during, std::string& seen) {
    auto package = std::make_shared<TPackage>(name);
    auto publisher = std::make_shared<ScriptBlock>("Publisher");
    publisher->script = [name](ScriptBlock& self, bool& more) {
      auto structure = std::make_shared<TParameters>();
      structure->SetString("Name", name);
      self.PublishStructure<IParameters>(Ptr<IParameters>(structure));
      more = false;
    };
    auto reader = std::make_shared<ScriptBlock>("Reader");
    reader->script = [during, &seen](ScriptBlock& self, bool&) {
      if (during) during();
      const auto structure = self.GetInputAs<IParameters>();
      seen = structure ? structure->GetString("Name") : "nothing";
    };
    package->AddBlock(publisher, {kPort});
    package->AddBlock(reader, {kPort});
    package->SetRunInline(true);
    return package;
  };
  std::string seenOuter, seenInner;
  auto inner = chain("inner", nullptr, seenInner);
  auto outer = chain("outer", [&] { inner->Execute(false, nullptr, nullptr, nullptr); }, seenOuter);
  outer->Execute(false, nullptr, nullptr, nullptr);
  EXPECT_EQ(seenInner, "inner");
  EXPECT_EQ(seenOuter, "outer");
  EXPECT_FALSE(SharedDataSpace()->HasParam(kPort));
}

TEST(SharedRun, WorkersWriteAndLogInInputOrderAsOneRunWouldAndStopWhereItWouldFail) {
  struct Case {
    std::vector<int> failing; // structures a step cannot handle: skipped
    int fatalAt;              // the structure whose error ends the run (0: none)
    int jobs;
  };
  for (const Case& c : {Case{{4, 5, 13, 23}, 0, 2}, Case{{4, 5, 13, 23}, 0, 4}, Case{{2}, 7, 3}}) {
    SCOPED_TRACE(std::to_string(c.jobs) + " workers, fatal at " + std::to_string(c.fatalAt));
    std::mutex outMutex;
    std::vector<std::string> singleOut, out;
    const auto make = [&](std::vector<std::string>& into) {
      auto package = Chain(23, c.failing, into, outMutex);
      auto fatal = std::make_shared<ScriptBlock>("Fatal");
      fatal->script = [&c](ScriptBlock& self, bool&) {
        if (Number(self) == c.fatalAt) self.Fatal("disk full");
      };
      package->AddBlock(fatal, {kPort});
      return package;
    };
    auto singleLog = std::make_shared<SharedLog>();
    const auto single = make(singleOut);
    single->Execute(false, nullptr, singleLog, nullptr);

    auto log = std::make_shared<SharedLog>();
    auto turns = std::make_shared<TRecordTurns>();
    std::vector<Ptr<TPackage>> workers;
    for (int k = 0; k < c.jobs; ++k) {
      workers.push_back(make(out));
      workers.back()->SetRecordShare({0, 1, k, c.jobs, turns});
    }
    std::vector<std::thread> threads;
    for (const auto& worker : workers)
      threads.emplace_back([&log, worker] { worker->Execute(false, nullptr, log, nullptr); });
    for (auto& t : threads) t.join();
    TRunSummary total{roFinished, 0, 0};
    for (const auto& w : workers) {
      total.written += w->GetRunSummary().written;
      total.skipped += w->GetRunSummary().skipped;
      if (w->GetRunSummary().outcome == roStoppedOnError) total.outcome = roStoppedOnError;
    }
    EXPECT_EQ(out, singleOut);
    // The workers leave the closing lines to whoever runs them: the single run's log without its last two.
    EXPECT_EQ(log->lines, std::vector<std::string>(singleLog->lines.begin(), singleLog->lines.end() - 2));
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
