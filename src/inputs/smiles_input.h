#pragma once
// The reader of SMILES files: ".sml" and ".txt" hold SMILES separated by white space, named by their own text;
// ".sml2" holds pairs of lines, an optional number and ";" and a name, then the SMILES; ".smi" holds one SMILES
// per line, optionally followed by white space and a name, with blank lines and "#" comment lines skipped. In
// environment mode the atoms written inside braces, "CC{O}", are marked as the fragment's environment.

#include "chem/smiles.h"
#include "inputs/file_input.h"

#include <string>

namespace corvatin {

inline constexpr const char* kSMILESInputName = "SMILES Input";
inline constexpr const char* kSMILESFilter = "SMILES file (*.sml, *.sml2, *.smi, *.txt)|*.sml;*.sml2;*.smi;*.txt";
inline constexpr const char* kSMILESHeading = "Reading SMILES structure...";
/// The transient log line before the SMILES text.
inline constexpr const char* kSMILESProcessing = "Processing structure : ";
/// The number parameter set to 1 on atoms written inside braces in environment mode.
inline constexpr const char* kParamFragmentEnvironment = "paramFragmentEnvironement";

/// Details of the file-and-line message.
namespace smiles_detail {
inline constexpr const char* kNoSmiles = "Name without SMILES";
} // namespace smiles_detail

/// Reads one SMILES structure per pass. A SMILES that does not parse, or a name line without its SMILES, is a
/// record error (ERecordError `Error in file "%s" at line %d (<the parser's message>), record <n>`): the reader
/// has moved on to the next SMILES (the next one on the line, the next line or the next name line).
class TSMILESInput : public TParserInput, public TSMILESHook {
public:
  explicit TSMILESInput(bool environmentMode = false);

  std::string GetName() const override { return kSMILESInputName; }
  /// Creates the parser (organic mode, with completion; this block is its hook).
  void Start(IWorkerThread* thread) override;
  /// Releases the parser, then closes the file.
  void Stop() override;
  void Execute(bool& more) override;
  /// Words, pairs or lines, as the extension says.
  TRecordLayout RecordLayout(const std::string& fileName) const override;

  bool EnvironmentMode() const { return environmentMode_; }

  // The hook: SMILES end at white space, and in environment mode "{" and "}" open and close an environment.
  void AtEnd(IParser& tokenizer, bool& accept) override;
  void OpenBranch(IParser& tokenizer, bool& accept) override;
  void CloseBranch(IParser& tokenizer, bool& accept) override;
  void AtomCreated(IMolecule& molecule, IAtom* atom, int written) override;

private:
  /// How a file lays out its structures, from its extension (letter case ignored).
  enum class Layout { Words, Pairs, Lines };
  static Layout LayoutOf(const std::string& fileName);
  Layout FileLayout() const { return LayoutOf(GetCurrentFile()); }
  /// Reads the name line of a ".sml2" pair.
  std::string ReadNameLine(IParser& tokenizer);
  /// Skips white space and, in ".smi" files, "#" comment lines: the position is then at a structure or the end.
  void SkipToStructure(IParser& tokenizer) const;
  /// After a broken record: moves to where the next structure starts.
  void Resynchronise(IParser& tokenizer) const;

  bool environmentMode_;
  bool insideEnvironment_ = false;
  Layout layout_ = Layout::Words; // of the file being parsed
  Ptr<ISMILESParser> parser_;
};

} // namespace corvatin
