#pragma once
// The base of every structure reader: a block with a file filter and a file-name parameter (TFileInput), and one
// that keeps a tokenizer open on its file between passes so that each pass reads the next structure
// (TParserInput). The messages of a broken file name the file and the line.

#include "blocks/input.h"
#include "chem/molecule.h"
#include "core/parameters.h"
#include "core/errors.h"
#include "core/parser.h"
#include "inputs/record_cutter.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace corvatin {

/// The name of the file-name parameter of every reader.
inline constexpr const char* kParamInputFile = "Input file";

/// Messages of the file input ("%s" the file name or extension, "%d" the line).
inline constexpr const char* kMsgFileError = "Error in file \"%s\" at line %d";
inline constexpr const char* kMsgCannotOpen = "Couldn't open file \"%s\"";
inline constexpr const char* kMsgUnknownExtension = "Unknown file extension \"%s\".";
/// The warning for a file with nothing but white space in it ("%s" the file name).
inline constexpr const char* kMsgNoStructure = "File \"%s\" holds no structure";

/// Whether text (ASCII letter case ignored) contains any of marks, which are given in lower case.
bool ContainsAnyLower(std::string_view text, std::initializer_list<std::string_view> marks);

/// `Error in file "<file>" at line <line>`, then " (<detail>)" when a detail is given.
std::string FileErrorMessage(const std::string& fileName, std::int64_t line, const std::string& detail = {});

/// kMsgCannotOpen or kMsgUnknownExtension with its one argument.
std::string FormatFileMessage(const char* format, const std::string& argument);

/// Makes the editor of a file-name parameter that offers filter in its file dialog; installed by the shell.
using FileNameEditorFactory = Ptr<IParamEdit> (*)(IParameter& param, const std::string& filter);
/// Installs the factory (none: the parameter gets the default editor of its kind, if any).
void SetFileNameEditorFactory(FileNameEditorFactory factory);

/// A name without a folder part resolved against the program's folder; an empty name stays empty.
std::string ResolveInputFileName(const std::string& name);

/// A block whose file name is its string parameter parameterName; the file dialog offers filter
/// ("description|*.ext1;*.ext2").
class TFileInput : public TBlock, public virtual IInput {
public:
  TFileInput(int portCount, const std::string& parameterName, const std::string& filter,
             const std::string& defaultFileName);

  std::string GetFilter() const override { return filter_; }
  /// The parameter's text, with the program's folder in front when it has no folder part (empty stays empty).
  std::string GetFileName() const override;
  void SetFileName(const std::string& name) override;

  const std::string& GetParameterName() const { return parameterName_; }

private:
  std::string filter_;
  std::string parameterName_;
};

/// A reader that reads its file through a tokenizer kept open between passes; each Execute of a derived reader
/// first runs this class's Execute (the opening step) and then reads one structure.
class TParserInput : public TFileInput {
public:
  TParserInput(int portCount, bool mustExist, const std::string& parameterName, const std::string& filter,
               const std::string& defaultFileName);

  /// The opening step: continues in the open file while it has text left; otherwise (another name, nothing
  /// open, or the open file read to its end) opens the file anew. more := a file is open. An empty name raises
  /// EInputError `Couldn't open file ""` when a file must exist; a file that cannot be opened raises EInputError.
  void Execute(bool& more) override;
  /// Closes the file and releases the molecule, then stops the block.
  void Stop() override;
  void Start(IWorkerThread* thread) override;

  /// The tokenizer position as a percentage of the file size, halves to even; 0 with no file open, 100 for an
  /// empty file.
  int ProgressPercent() const;
  /// The file the open tokenizer reads ("" when none).
  const std::string& GetCurrentFile() const { return currentFile_; }
  /// The number (from 1) of the record being read in the current file; 0 before the first.
  int GetRecordNumber() const { return recordNumber_; }
  std::string GetRecordText() const override;
  void SetSkimming(bool flag) override { skimming_ = flag; }
  /// The next Execute opens the record's text instead of the file (taking the text) and reads that one record.
  void FeedRecord(TRecordText* record) override { fed_ = record; }
  /// How the records of fileName (one of this reader's files) are found without reading them; None by default.
  virtual TRecordLayout RecordLayout(const std::string& fileName) const;
  /// Whether the start of a file, head (up to its first megabyte; whole says it is the whole file), can be a file
  /// of this reader's format; a file that cannot is refused before the run reads anything. Any text by default.
  virtual bool LooksLikeFormat(std::string_view head, bool whole) const;

protected:
  /// The open tokenizer (none before the opening step or when no file could be opened).
  IParser* Tokenizer() const { return tokenizer_.get(); }
  /// The molecule published under port 0's name, cleared, remembered until Stop. When nothing was published
  /// at Start, the reader published a molecule of its own there, and that one is used.
  IMolecule& TakeMolecule();
  /// Whether the record being read is another run's (see IInput::SetSkimming).
  bool Skimming() const { return skimming_; }
  /// The molecule taken by TakeMolecule (none before).
  const Ptr<IMolecule>& GetMolecule() const { return molecule_; }
  /// Reports ProgressPercent to the progress callback.
  void ReportProgress();
  /// The record error for a broken record whose reader raised error: its message with ", record <n>" appended.
  /// The reader has moved past the record first and set more.
  ERecordError RecordError(const std::exception& error) const;
  /// For the readers of one structure per file: runs read; a broken file (EInputError) or one without atoms is a
  /// record error after the position has been moved to the end, so that the run goes on with the next file.
  void ReadWholeFile(const std::function<void()>& read);

private:
  bool mustExist_;
  std::string currentFile_;
  int recordNumber_ = 0;
  Ptr<IParser> tokenizer_;
  Ptr<IMolecule> molecule_;
  Ptr<IMolecule> ownMolecule_; // published by this reader because nothing else was
  bool skimming_ = false;
  TRecordText* fed_ = nullptr;
  int fedPercent_ = -1; // how far into its file the record being read ends; -1 when reading the file itself
};

} // namespace corvatin
