// corvatin-batch: runs one procedure of the catalogue over structure files, without a window.

#include "blocks/dispatcher.h"
#include "chem/elements.h"
#include "procedures/batch.h"
#include "procedures/batch_jobs.h"
#include "procedures/columns.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <tuple>
#include <unistd.h>

using namespace corvatin;

namespace {
const char* const kVersion = CORVATIN_VERSION;

const char* const kFooter = R"(
Structure files are chosen by extension (letter case ignored): .sml .txt (SMILES separated by white space),
.sml2 (a name line, then a SMILES line), .smi (one SMILES per line, then optionally a name), .mol .sdf (MDL
V2000 and V3000), .mol2 .ml2 (Tripos), .zmt (MOPAC Z-matrix), .out .oam (MOPAC and AMPAC output), .xyz (a
molecule as element and x y z lines, or a point set for the sphere matrices). Files may stand anywhere on the
command line; every file is checked before the first structure is read.

Structures are not shown in the batch tool: display-only blocks of a procedure are skipped.
Relative file names are read from the current directory. Result files are appended to in the result folder:
--results-dir, else the folder set in the workbench ("Folders\ResultFolder"), else the current directory.
A broken record or a structure that fails is logged with its file and record and skipped; the run goes on and
ends with "N structures written, K skipped".

)";

class TSilentHost : public IEditorHost {
public:
  void RunBegins() override {}
  void RunEnds() override {}
  bool ConfirmClearing() override { return true; }
};

// ------------------------------------------------------------------------------- workers and shards

void AddThroughputOptions(CLI::App& app, TBatchOptions& options, std::string& shard) {
  options.jobs = 0;
  app.add_option("--jobs,-j", options.jobs,
                 "Workers computing structures side by side (default: every core); the results and the log are "
                 "the same for any number")
      ->check(CLI::Range(0, 1024));
  app.add_option("--shard", shard,
                 "Take only the records K, K+N, K+2N, ... of the input (K/N, K from 1): one part of a library "
                 "split over N runs; scripts/merge-shards.py joins their result files");
}

/// The chosen procedure from a catalogue of its own, set as the command line says: one more worker's chain.
Ptr<TPackage> MakeWorkerPackage(const TBatchOptions& options, const TCatalogue& first) {
  TCatalogue catalogue({NewMolecule(), std::make_shared<TSilentHost>(), nullptr, nullptr, &first});
  Ptr<TPackage> package = ChooseProcedure(catalogue, options.procedure);
  for (const auto& a : options.assignments) ApplyAssignment(*package, a);
  if (!options.weights.empty()) SelectWeights(*package, options.weights);
  return package;
}

int RunChosen(const TCatalogue& catalogue, TPackage& package, TBatchOptions& options, const std::string& shard) {
  if (!shard.empty()) std::tie(options.shard, options.shards) = ParseShard(shard);
  const bool interactive = ::isatty(STDERR_FILENO) != 0;
  if (JobCount(options.jobs) <= 1 && options.shards <= 1) return RunProcedure(package, options, std::cerr, interactive);
  return RunProcedureJobs(
      package, [&] { return MakeWorkerPackage(options, catalogue); }, options, std::cerr, interactive);
}
} // namespace

int main(int argc, char** argv) {
  TBatchOptions options;
  bool list = false, params = false, columns = false, version = false;

  CLI::App app{"Corvatin batch tool: computes molecular descriptors for QSAR over structure files."};
  app.footer(std::string(kFooter) + kExitStatusText);
  app.add_option("files", options.files, "Structure files (.sml .sml2 .smi .txt .mol .sdf .mol2 .ml2 .zmt .out .oam .xyz)");
  app.add_option("--procedure,-p", options.procedure, "Procedure to run")->default_str("TOPS-MODE");
  app.add_flag("--list", list, "List the procedures and exit");
  app.add_flag("--params", params, "List the chosen procedure's parameters (block, name, value) and exit");
  app.add_flag("--columns", columns,
               "List every column of the data files the chosen procedure (all of them without --procedure) writes "
               "with these settings: label, definition, unit, source, reference (tab-separated, UTF-8) and exit");
  // One assignment per --set, which may be repeated: a file after it is a file, not a second assignment.
  app.add_option("--set", options.assignments, "Set a parameter: [BLOCK:]NAME=VALUE (yes/no for switches); repeatable")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--weights", options.weights, "TOPS-MODE weights: all, or NAME,NAME,...");
  app.add_option("--results-dir", options.resultsDir, "Folder for the result files");
  app.add_flag("--quiet,-q", options.quiet, "Only errors and warnings on stderr");
  app.add_flag("--version", version, "Print the version and exit");
  std::string shard;
  AddThroughputOptions(app, options, shard);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? beSuccess : beUsage;
  }
  if (version) {
    std::cout << kVersion << '\n';
    return beSuccess;
  }
  if (app.count("--weights") > 0 && options.weights.empty()) {
    std::cerr << "corvatin-batch: --weights needs \"all\" or a list of weight names\nRun with --help for more "
                 "information.\n";
    return beUsage;
  }

  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  SetMainDispatcher(dispatcher);
  auto host = std::make_shared<TSilentHost>();
  bool loadFailed = false;
  TCatalogue catalogue({NewMolecule(), host, dispatcher, [&](const std::string& message) {
                          std::cerr << "Error: " << message << '\n';
                          loadFailed = true;
                        }});
  try {
    if (list) {
      for (const auto& name : ProcedureNames(catalogue)) std::cout << name << '\n';
      return beSuccess;
    }
    // A classification that did not load would leave its values at 0 in every result: nothing is run.
    if (loadFailed && !params && !columns) {
      std::cerr << "Error: the run does not start while a classification file is missing or broken\n";
      return beRunFailed;
    }
    if (columns) return ListColumns(catalogue, options, app.count("--procedure") == 0, std::cout, std::cerr);
    Ptr<TPackage> package = ChooseProcedure(catalogue, options.procedure);
    for (const auto& a : options.assignments) ApplyAssignment(*package, a);
    if (!options.weights.empty()) SelectWeights(*package, options.weights);
    if (params) {
      for (const auto& line : DescribeParameters(*package)) std::cout << line << '\n';
      return beSuccess;
    }
    return RunChosen(catalogue, *package, options, shard);
  } catch (const EUsageError& e) {
    std::cerr << "corvatin-batch: " << e.what() << "\nRun with --help for more information.\n";
    return beUsage;
  }
}
