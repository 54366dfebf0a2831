#include "procedures/batch_jobs.h"

#include "blocks/record_share.h"
#include "blocks/worker.h"
#include "inputs/graph_file_input.h"
#include "inputs/record_cutter.h"
#include "outputs/result_files.h"
#include "outputs/vector_output.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <ostream>
#include <thread>

namespace corvatin {

namespace {

/// The console log shared by the workers. They write in turns already; the lock guards the few lines written
/// outside a turn (a block that fails to stop).
class TLockedLog : public IProgressLog {
public:
  explicit TLockedLog(Ptr<IProgressLog> log) : log_(std::move(log)) {}
  void Clear() override {}
  void AddMessage(const std::string& text, int kind, bool transient) override {
    std::lock_guard<std::mutex> lock(mutex_);
    log_->AddMessage(text, kind, transient);
  }

private:
  std::mutex mutex_;
  Ptr<IProgressLog> log_;
};

/// The list of what a shard wrote, record by record, beside its result files ("shard-K-of-N.tsv": record, file,
/// bytes, 1 when they begin with the header): what scripts/merge-shards.py needs to join the shards in input order.
class TShardJournal {
public:
  TShardJournal(const TBatchOptions& options, const std::string& folder) : folder_(folder) {
    const std::string name =
        "shard-" + std::to_string(options.shard + 1) + "-of-" + std::to_string(options.shards) + ".tsv";
    out_.open(std::filesystem::path(folder) / name, std::ios::binary | std::ios::app);
    if (!out_) throw EFatalError("Unable to create \"" + (std::filesystem::path(folder) / name).string() + "\".");
    SetAppendJournal([this](std::int64_t record, const std::string& path, std::size_t bytes, bool header) {
      const std::filesystem::path file(path);
      const std::string shown = file.parent_path() == std::filesystem::path(folder_) ? file.filename().string() : path;
      out_ << record << '\t' << shown << '\t' << bytes << '\t' << (header ? 1 : 0) << '\n' << std::flush;
    });
  }
  ~TShardJournal() { SetAppendJournal(nullptr); }
  TShardJournal(const TShardJournal&) = delete;
  TShardJournal& operator=(const TShardJournal&) = delete;

private:
  std::string folder_;
  std::ofstream out_;
};

/// Runs work(k) for k = 0 .. jobs-1, each on a thread of its own; what a call throws is kept in errors[k].
void RunEach(int jobs, std::vector<std::exception_ptr>& errors, const std::function<void(size_t)>& work) {
  std::vector<std::thread> threads;
  for (size_t k = 0; k < static_cast<size_t>(jobs); ++k)
    threads.emplace_back([&, k] {
      try {
        work(k);
      } catch (...) {
        errors[k] = std::current_exception();
      }
    });
  for (auto& thread : threads) thread.join();
}

/// The files of package's input when one reader can cut every one of them into records; none otherwise (a file
/// whose records are found only by reading them, or one the workers will refuse when they start).
TLaidOutFiles FilesToCut(TPackage& package) {
  const auto input = std::dynamic_pointer_cast<TGraphFileInput>(package.GetInput());
  if (!input) return {};
  TLaidOutFiles files;
  try {
    files = input->RecordLayouts();
  } catch (const EInputError&) {
    return {};
  }
  for (const auto& file : files)
    if (file.second == TRecordLayout::None) return {};
  return files;
}

/// The first error of errors said on err: beRunFailed (a usage error is thrown again); 0 without one.
int Report(const std::vector<std::exception_ptr>& errors, std::ostream& err) {
  for (const auto& error : errors) {
    if (!error) continue;
    try {
      std::rethrow_exception(error);
    } catch (const EUsageError&) {
      throw;
    } catch (const std::exception& e) {
      err << "Error: " << e.what() << '\n';
    } catch (...) {
      err << "Error: " << kUnexpectedError << '\n';
    }
    return beRunFailed;
  }
  return 0;
}

} // namespace

int JobCount(int jobs) {
  if (jobs > 0) return jobs;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::pair<int, int> ParseShard(const std::string& text) {
  const auto bad = [&] { return EUsageError("--shard expects K/N with 1 <= K <= N, got \"" + text + "\""); };
  const size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == text.size()) throw bad();
  const std::string k = text.substr(0, slash), n = text.substr(slash + 1);
  const auto whole = [](const std::string& s) {
    return s.size() <= 9 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!whole(k) || !whole(n)) throw bad();
  const int shard = std::stoi(k), shards = std::stoi(n);
  if (shard < 1 || shard > shards) throw bad();
  return {shard - 1, shards};
}

int RunProcedureJobs(TPackage& package, const TPackageMaker& make, const TBatchOptions& options, std::ostream& err,
                     bool interactive) {
  const int jobs = JobCount(options.jobs);
  SetInputFiles(package, options); // a usage error before any more chains are made
  ChooseResultFolder(options, err);
  std::unique_ptr<TShardJournal> journal;
  if (options.shards > 1) {
    const std::string folder = ResultFolderAsSet();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    try {
      journal = std::make_unique<TShardJournal>(options, folder);
    } catch (const EFatalError& e) {
      err << "Error: " << e.what() << '\n';
      return beRunFailed;
    }
  }
  const auto turns = std::make_shared<TRecordTurns>();
  const Ptr<IProgressLog> log = std::make_shared<TLockedLog>(NewConsoleLog(err, interactive, options.quiet));
  // One reader cuts the files into records and the workers parse them; where a file cannot be cut, every worker
  // reads every file and takes its share. A few records a worker (their text, far smaller than the structures
  // made of them) keep a worker from waiting for the reader. The first worker's progress stands for all.
  const TLaidOutFiles files = FilesToCut(package);
  const Ptr<TRecordQueue> queue = files.empty() ? nullptr : std::make_shared<TRecordQueue>(4 * jobs);
  // One chain per worker. More chains (one computing while another waits for its turn to write) were measured
  // slower on short structures: the extra hand-overs between them cost more than the waits they saved.
  const Ptr<IProgressCallback> progress = NewConsoleProgress(err, interactive);
  std::vector<Ptr<TPackage>> made(static_cast<size_t>(jobs));
  std::vector<TPackage*> workers(static_cast<size_t>(jobs), &package);
  std::vector<std::exception_ptr> errors(static_cast<size_t>(jobs));
  // Each worker builds its own chain, side by side.
  RunEach(jobs, errors, [&](size_t k) {
    if (k > 0) workers[k] = (made[k] = make()).get();
  });
  if (const int status = Report(errors, err)) return status;
  // One data-file choice, one set of open files and one set of warnings for all, as one run would have.
  for (int b = 0; b < package.GetBlockCount(); ++b)
    if (const auto first = std::dynamic_pointer_cast<TVectorOutput>(package.GetBlock(b)))
      for (size_t k = 1; k < workers.size(); ++k)
        first->ShareRunWith(dynamic_cast<TVectorOutput&>(*workers[k]->GetBlock(b)));
  std::thread reader;
  if (queue)
    reader = std::thread([&] {
      try {
        CutRecords(files, options.shard, options.shards, *queue);
      } catch (...) {
        // CutRecords says its errors through the queue; were that to fail, the workers must not wait for ever.
        queue->Cancel();
        turns->StopAt(0);
      }
    });
  RunEach(jobs, errors, [&](size_t k) {
    TPackage& worker = *workers[k];
    SetInputFiles(worker, options);
    worker.SetShowStructures(false);
    worker.SetRunInline(true);
    worker.SetRecordShare({options.shard, options.shards, static_cast<int>(k), jobs, turns, queue});
    try {
      if (!worker.Execute(false, nullptr, log, k == 0 ? progress : nullptr))
        throw EFatalError("the procedure could not start");
    } catch (...) {
      // The others would wait for this worker's records for ever.
      turns->StopAt(0);
      throw;
    }
  });
  if (queue) {
    // The workers are done, or stopped early: a reader still cutting must not wait for them.
    queue->Cancel();
    reader.join();
  }
  if (const int status = Report(errors, err)) return status;

  TRunSummary total;
  total.outcome = roFinished;
  for (TPackage* worker : workers) {
    const TRunSummary summary = worker->GetRunSummary();
    total.written += summary.written;
    total.skipped += summary.skipped;
    // An error anywhere is the run's error; a worker stopped by it does not make the run "stopped by the user".
    if (summary.outcome == roStoppedOnError || (summary.outcome != roFinished && total.outcome == roFinished))
      total.outcome = summary.outcome;
  }
  log->AddMessage(RunSummaryText(total), lkPlain, false);
  log->AddMessage(total.outcome == roFinished ? kExecutionFinished : kExecutionStopped, lkHeading, false);
  return ExitStatus(total);
}

} // namespace corvatin
