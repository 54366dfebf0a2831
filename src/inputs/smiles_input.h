#pragma once
// The reader of SMILES files: ".sml" and ".txt" hold SMILES separated by white space, named by their own text;
// ".sml2" holds pairs of lines, an optional number and ";" and a name, then the SMILES. In environment mode the
// atoms written inside braces, "CC{O}", are marked as the fragment's environment.

#include "chem/smiles.h"
#include "inputs/file_input.h"

#include <string>

namespace corvatin {

inline constexpr const char* kSMILESInputName = "SMILES Input";
inline constexpr const char* kSMILESFilter = "SMILES file (*.sml, *.sml2, *.txt)|*.sml;*.sml2;*.txt";
inline constexpr const char* kSMILESHeading = "Reading SMILES structure...";
/// The transient log line before the SMILES text.
inline constexpr const char* kSMILESProcessing = "Processing structure : ";
/// The number parameter set to 1 on atoms written inside braces in environment mode.
inline constexpr const char* kParamFragmentEnvironment = "paramFragmentEnvironement";

/// Reads one SMILES structure per pass. A SMILES syntax error ends the run with EInputError
/// `Error in file "%s" at line %d (<the parser's message>)`.
class TSMILESInput : public TParserInput, public TSMILESHook {
public:
  explicit TSMILESInput(bool environmentMode = false);

  std::string GetName() const override { return kSMILESInputName; }
  /// Creates the parser (organic mode, with completion; this block is its hook).
  void Start(IWorkerThread* thread) override;
  /// Releases the parser, then closes the file.
  void Stop() override;
  void Execute(bool& more) override;

  bool EnvironmentMode() const { return environmentMode_; }

  // The hook: SMILES end at white space, and in environment mode "{" and "}" open and close an environment.
  void AtEnd(IParser& tokenizer, bool& accept) override;
  void OpenBranch(IParser& tokenizer, bool& accept) override;
  void CloseBranch(IParser& tokenizer, bool& accept) override;
  void AtomCreated(IMolecule& molecule, IAtom* atom, int written) override;

private:
  /// Whether the file is read as name and SMILES line pairs (".sml2", the extension compared exactly).
  bool PairedLines() const;
  /// Reads the name line of a ".sml2" pair.
  std::string ReadNameLine(IParser& tokenizer);

  bool environmentMode_;
  bool insideEnvironment_ = false;
  bool pairedLines_ = false; // the file being parsed is ".sml2"
  Ptr<ISMILESParser> parser_;
};

} // namespace corvatin
