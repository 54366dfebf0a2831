// corvatin-batch: runs one procedure of the catalogue over structure files, without a window.

#include "blocks/dispatcher.h"
#include "chem/elements.h"
#include "procedures/batch.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <unistd.h>

using namespace corvatin;

namespace {
const char* const kVersion = CORVATIN_VERSION;

const char* const kFooter = R"(
Structures are not shown in the batch tool: display-only blocks of a procedure are skipped.
Relative file names are read from the current directory. Result files are appended to in the result folder:
--results-dir, else the folder set in the workbench ("Folders\ResultFolder"), else the current directory.

Exit status: 0 when the run finished successfully, 1 when it stopped on an error, 2 for usage errors.
A structure that fails with a chemistry error is logged and the run goes on.)";

class TSilentHost : public IEditorHost {
public:
  void RunBegins() override {}
  void RunEnds() override {}
  bool ConfirmClearing() override { return true; }
};
} // namespace

int main(int argc, char** argv) {
  TBatchOptions options;
  bool list = false, params = false, version = false;

  CLI::App app{"Corvatin batch tool: computes molecular descriptors for QSAR over structure files."};
  app.footer(kFooter);
  app.add_option("files", options.files, "Structure files (.sml .sml2 .txt .mol .sdf ...)");
  app.add_option("--procedure,-p", options.procedure, "Procedure to run")->default_str("TOPS-MODE");
  app.add_flag("--list", list, "List the procedures and exit");
  app.add_flag("--params", params, "List the chosen procedure's parameters (block, name, value) and exit");
  app.add_option("--set", options.assignments, "Set a parameter: [BLOCK:]NAME=VALUE (yes/no for switches)");
  app.add_option("--weights", options.weights, "TOPS-MODE weights: all, or NAME,NAME,...");
  app.add_option("--results-dir", options.resultsDir, "Folder for the result files");
  app.add_flag("--quiet,-q", options.quiet, "Only errors and warnings on stderr");
  app.add_flag("--version", version, "Print the version and exit");
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

  auto dispatcher = std::make_shared<TConsoleDispatcher>();
  SetMainDispatcher(dispatcher);
  auto host = std::make_shared<TSilentHost>();
  bool loadFailed = false;
  TCatalogue catalogue({NewMolecule(), host, dispatcher, [&](const std::string& message) {
                          std::cerr << "Error: " << message << '\n';
                          loadFailed = true;
                        }});
  (void)loadFailed;
  try {
    if (list) {
      for (const auto& name : ProcedureNames(catalogue)) std::cout << name << '\n';
      return beSuccess;
    }
    Ptr<TPackage> package = ChooseProcedure(catalogue, options.procedure);
    for (const auto& a : options.assignments) ApplyAssignment(*package, a);
    if (!options.weights.empty()) SelectWeights(*package, options.weights);
    if (params) {
      for (const auto& line : DescribeParameters(*package)) std::cout << line << '\n';
      return beSuccess;
    }
    return RunProcedure(*package, options, std::cerr, ::isatty(STDERR_FILENO) != 0);
  } catch (const EUsageError& e) {
    std::cerr << "corvatin-batch: " << e.what() << "\nRun with --help for more information.\n";
    return beUsage;
  }
}
