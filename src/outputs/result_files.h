#pragma once
// Where result files live and how they are appended to: the folder comes from the settings store, the user is
// asked once per program start when none is set, and every structure's text reaches a file in one write of whole
// lines under an advisory lock, so that neither an interrupted run nor a concurrent one leaves half a line behind.

#include "core/object.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace corvatin {

/// The settings value naming the folder for result files.
inline constexpr const char* kResultFolderKey = "Folders\\ResultFolder";
/// The filter of the result file-name editors.
inline constexpr const char* kResultFileFilter = "Text file (*.txt)|*.txt|Any file (*.*)|(*.*)";

/// Lets the user set the result folder ("Folders\ResultFolder") when none is set: the GUI opens its settings dialog
/// at the "Output folder" entry, the batch tool uses its own means. Called on the main thread, at most once per
/// program start; returns when the user is done.
class IResultFolderQuestion : public virtual IObject {
public:
  virtual void AskResultFolder() = 0;
};

/// Installs the question (none: the user is never asked and the program's folder is used).
void SetResultFolderQuestion(const Ptr<IResultFolderQuestion>& question);
/// Whether the question was asked since the program started; the reset is for tests.
bool ResultFolderAsked();
void ResetResultFolderAsked();

/// Makes ResultFolder() answer folder for this process, without asking and without touching the settings store
/// (the batch tool's --results-dir); empty restores the settings store's answer.
void SetResultFolderOverride(const std::string& folder);

/// The result folder from the settings store; when it is empty and the user was not asked yet, asks once through
/// onMainThread (which runs its argument on the main thread and waits) and reads it again.
std::string ResultFolder(const std::function<void(const std::function<void()>&)>& onMainThread);

/// The path of fileName: inside folder (a separator added when missing), or inside the program's folder when
/// folder is empty. A fileName that is already an absolute path is used as it is.
std::string ResultFilePath(const std::string& folder, const std::string& fileName);

/// The result folder as it stands, without asking anybody (the override, else the settings store's value).
std::string ResultFolderAsSet();

/// Whether the two paths name one file: the same path once symbolic links and "." and ".." are resolved, or two
/// links to one existing file.
bool SameResultFile(const std::string& a, const std::string& b);

/// Told of each structure's text as it reaches a result file, in the order written: the input record it came from
/// (0-based over the run's files), the file, the bytes written and whether they begin with the header line.
using TAppendJournal =
    std::function<void(std::int64_t record, const std::string& path, std::size_t bytes, bool header)>;
/// Installs the journal for the whole process (none: nobody is told); the batch tool's shards keep one so that
/// their files can be joined in input order.
void SetAppendJournal(TAppendJournal journal);
/// Tells the journal, if any.
void NoteAppend(std::int64_t record, const std::string& path, std::size_t bytes, bool header);

/// What Lock mended at the end of a file: the bytes of an unfinished last line cut off, the bytes of a line end
/// added to a last line that lacked (part of) it.
struct TTailRepair {
  std::size_t cut = 0;
  std::size_t added = 0;
};

/// A result file open for appending (others may read it meanwhile); closed when the object goes. Each Append is
/// whole or nothing; writers in other runs and other processes are kept apart by an advisory lock taken with Lock,
/// which also mends a last line left unfinished by a writer that was killed.
class TResultFile {
public:
  /// Opens path for appending, creating the file and its folder (one level) when missing. EFatalError "Unable to
  /// create "<path>" (<the system's reason>)." when that fails, in the workbench followed by " You can modify the
  /// output file in the Tools/Options menu." rows: every line of the file has the first line's cells (a data file),
  /// so a last line that has them all lacks only its line end.
  explicit TResultFile(std::string path, bool rows = false);
  ~TResultFile();
  TResultFile(const TResultFile&) = delete;
  TResultFile& operator=(const TResultFile&) = delete;

  const std::string& Path() const { return path_; }
  /// The file's identity (device, inode): equal for two paths of one file, and the order in which files are locked.
  std::pair<unsigned long long, unsigned long long> Identity() const { return identity_; }
  /// Waits for and takes the exclusive advisory lock of the file (released by Unlock or when the object goes),
  /// then makes the file end in a whole line before anyone reads or appends: a last line without line end is cut
  /// off (a writer killed in mid-line leaves no valid row), unless it is a row with all the first line's cells,
  /// or a line ending in CR alone where lines end in CR LF, which get the rest of their line end. EFatalError
  /// when the file cannot be mended.
  [[nodiscard]] TTailRepair Lock();
  void Unlock();
  /// Whether the file is empty now.
  bool IsEmpty() const;
  /// The file's first line without its line end, in UTF-8. The line may come from this program (Windows-1252, CR
  /// LF) or from an editor that re-saved the file (UTF-8, a byte-order mark, LF or CR line ends): later appends
  /// follow the encoding and line end found there.
  std::string ReadFirstLine();
  /// Appends text (UTF-8 with CR LF line ends) with one write; called under Lock, which leaves the file ending
  /// in a whole line. When the write fails the file is cut back to its length before the call and EFatalError
  /// names the file and the system's reason. Returns the number of bytes written.
  std::size_t Append(const std::string& text);
  /// Cuts the file back to its length before the last Append: the structure failed in the other file.
  void Undo() noexcept;

private:
  /// The file's first line as stored (no conversion) and its line end ("" when the file holds none).
  std::string FirstLineBytes(std::string& lineEnd) const;
  TTailRepair RepairTail();
  /// Writes bytes at the end of the file, whole; false with errno set when that fails.
  bool WriteAll(const std::string& bytes, std::size_t& done);

  std::string path_;
  bool rows_ = false;
  int fd_ = -1;
  std::pair<unsigned long long, unsigned long long> identity_;
  long long before_ = -1;        // length before the last Append, -1 when there was none
  bool utf8_ = false;            // appends in UTF-8 instead of Windows-1252
  std::string lineEnd_ = "\r\n"; // the line end appends use
};

} // namespace corvatin
