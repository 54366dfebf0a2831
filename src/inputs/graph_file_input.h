#pragma once
// The input block of the procedures: a list of files, each handed to the reader for its extension, read one
// after the other. The readers are its children; their order decides both the file-dialog filter and which
// reader takes an extension that several could read.

#include "blocks/multiblock.h"
#include "inputs/file_input.h"

#include <string>
#include <vector>

namespace corvatin {

/// The pieces of a file list "a; b;c": each piece before a ";" trimmed of blanks and kept even when empty, the
/// trimmed rest after the last ";" kept when not empty.
std::vector<std::string> SplitFileList(const std::string& text);

/// The extension of a file name, from its last "." after the last folder separator, dot included, in lower case;
/// "" when there is none.
std::string LowerFileExtension(const std::string& fileName);

/// The patterns of a filter ("description|*.a;*.b" gives *.a and *.b).
std::vector<std::string> FilterPatterns(const std::string& filter);

/// Reads the files of its list one after the other, each with the first reader whose filter lists the file's
/// extension. To plug in a reader, pass it in the readers list: any block that implements IInput and has the
/// "Input file" parameter (a TParserInput) takes part; other entries are ignored for filters and dispatch.
class TGraphFileInput : public TMultiBlock, public virtual IInput {
public:
  explicit TGraphFileInput(const std::vector<Ptr<IObject>>& readers);

  std::string GetName() const override { return "Input"; }
  /// The readers' filters joined by "|", then "|All supported files|" and all their patterns joined by ";".
  std::string GetFilter() const override { return filter_; }
  /// The list text, with the program's folder in front when the whole text has no folder part (so a list of
  /// bare names gets it on its first name; the readers resolve the others the same way). Empty stays empty.
  std::string GetFileName() const override;
  /// Stores the list text ("name; name; ...").
  void SetFileName(const std::string& name) override;

  /// Splits the list into the files of this run and checks every file before anything is read: it must exist,
  /// be a regular readable file with a reader's extension (letter case ignored) and look like that reader's
  /// format; EInputError naming the file otherwise. A file named twice is a warning.
  void Start(IWorkerThread* thread) override;
  std::string GetRecordText() const override;
  /// Tells every reader.
  void SetSkimming(bool flag) override;
  /// The next Execute reads this record through the reader of its file, and says first the warnings for the
  /// files without structure before it; a record that is none ends the input (its error) or has nothing to give.
  void FeedRecord(TRecordText* record) override { fed_ = record; }
  /// The files of the list as a run reads them, each with how its reader's records are found; EInputError for a
  /// file no reader takes.
  TLaidOutFiles RecordLayouts() const;
  void Stop() override;
  /// Reads the next structure: selects the reader of the current file when it changed (EInputError
  /// `Unknown file extension "%s".` when no reader lists the extension), lets it read, and goes on to the next
  /// file after a file's last structure. more := a file is left. Without files the structure published under
  /// the port name is left as it is (a run on the editor's molecule) and more := false.
  void Execute(bool& more) override;

  /// Each reader's own filter, in reader order.
  const std::vector<std::string>& GetReaderFilters() const { return readerFilters_; }
  /// The files of the current run (empty outside a run).
  const std::vector<std::string>& GetFileNames() const { return fileNames_; }
  int GetCurrentIndex() const { return currentIndex_; }

private:
  struct Reader {
    int child;               // index among the multi-block's children
    Ptr<IInput> input;
    std::vector<std::string> patterns; // lower case
  };
  void Prepare();
  /// The reader for name's extension; EInputError `Unknown file extension` naming the file when none.
  const Reader& ReaderFor(const std::string& name) const;
  void CheckFiles();
  void AfterReader(bool& more);
  void ExecuteFed(bool& more);

  std::string filter_;
  std::vector<std::string> readerFilters_;
  std::vector<Reader> readers_;
  std::vector<std::string> fileNames_;
  int currentIndex_ = 0;
  int preparedIndex_ = -1;
  std::string fileNameText_;
  TRecordText* fed_ = nullptr;
};

} // namespace corvatin
