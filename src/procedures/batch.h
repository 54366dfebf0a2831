#pragma once
// The batch tool's work, apart from its command line: choosing a procedure, setting its parameters, running it
// over files on the console dispatcher and turning the run's outcome into an exit status.

#include "procedures/catalogue.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace corvatin {

/// Exit statuses of the batch tool.
enum BatchExit : int { beSuccess = 0, beRunFailed = 1, beUsage = 2, beSkipped = 3 };

/// The exit statuses as --help and the README state them.
inline constexpr const char* kExitStatusText =
    "Exit status: 0 when the run finished and every structure was written; 3 when it finished but skipped\n"
    "structures (broken records, SMILES that do not parse, structures a step could not handle: each is named in\n"
    "the log); 1 when it stopped on an error (a missing or unreadable file, a classification file that did not\n"
    "load, a value no step provides, a result file that cannot be written); 2 for a usage error.";

/// A usage error: reported with the usage hint, exit status 2.
class EUsageError : public std::runtime_error {
public:
  explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};

/// The batch tool's choices.
struct TBatchOptions {
  std::string procedure = "TOPS-MODE";
  std::vector<std::string> files;       ///< as given (relative to the current directory)
  std::vector<std::string> assignments; ///< "[BLOCK:]NAME=VALUE"
  std::string weights;                  ///< "all" or "NAME,NAME,..."; empty leaves the switches alone
  std::string resultsDir;               ///< empty: the settings store's folder, else the current directory
  bool quiet = false;
  int jobs = 1;   ///< workers (0: every core)
  int shard = 0;  ///< this process's shard of the records, from 0
  int shards = 1; ///< the number of shards
};

/// The procedures' names, in catalogue order.
std::vector<std::string> ProcedureNames(const TCatalogue& catalogue);

/// The package named name; EUsageError listing the known names when there is none.
Ptr<TPackage> ChooseProcedure(const TCatalogue& catalogue, const std::string& name);

/// One line per parameter, as the inspector lists them: block name, parameter name, value (tab-separated).
std::vector<std::string> DescribeParameters(const TPackage& package);

/// Sets one parameter from "[BLOCK:]NAME=VALUE" ("yes"/"no" for switches); EUsageError when it names nothing,
/// is ambiguous, or the value does not fit the parameter (a finite number; a whole number within its range for
/// "Max Order", "Precision" and "s param").
void ApplyAssignment(TPackage& package, const std::string& assignment);

/// Switches the TOPS-MODE weights: "all" turns every one on, a comma-separated list turns exactly those on.
void SelectWeights(TPackage& package, const std::string& choice);

/// Runs package over the files with the log on err; returns the exit status: 0 when the run finished with every
/// structure written, 3 when it finished but skipped structures, 1 when it stopped. Log lines carry their kinds'
/// prefixes; transient lines and the progress bar appear only when interactive is true.
int RunProcedure(TPackage& package, const TBatchOptions& options, std::ostream& err, bool interactive);

// The pieces of RunProcedure that a run over several workers shares.
/// Gives package's input the files of options (absolute); EUsageError when it has no input or there are none.
void SetInputFiles(TPackage& package, const TBatchOptions& options);
/// Chooses the result folder (--results-dir, else the workbench's, else the current directory, said on err).
void ChooseResultFolder(const TBatchOptions& options, std::ostream& err);
/// The log on the console: kinds as prefixes; transient lines only when interactive and not quiet.
Ptr<IProgressLog> NewConsoleLog(std::ostream& err, bool interactive, bool quiet);
/// A progress bar on a terminal (nothing otherwise).
Ptr<IProgressCallback> NewConsoleProgress(std::ostream& err, bool interactive);
/// The exit status of a run that ended with summary.
int ExitStatus(const TRunSummary& summary);

} // namespace corvatin
