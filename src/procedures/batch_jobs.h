#pragma once
// The batch tool's run over several workers: each has a chain of its own and reads every file, taking every
// jobs-th record; the workers write results and log lines in turns, so that the files and the log come out
// byte for byte as one worker would write them. Also the shard of a library a process takes (--shard K/N).

#include "procedures/batch.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace corvatin {

/// Makes one more worker's package: the chosen procedure from a catalogue of its own, set as the first one is.
using TPackageMaker = std::function<Ptr<TPackage>()>;

/// The number of workers --jobs asks for: jobs itself, or every core for 0.
int JobCount(int jobs);

/// "K/N" as (K-1, N); EUsageError unless 1 <= K <= N.
std::pair<int, int> ParseShard(const std::string& text);

/// As RunProcedure, with the records of options' shard split between JobCount(options.jobs) workers: package
/// is the first worker's, more are made by make.
int RunProcedureJobs(TPackage& package, const TPackageMaker& make, const TBatchOptions& options, std::ostream& err,
                     bool interactive);

} // namespace corvatin
