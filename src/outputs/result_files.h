#pragma once
// Where result files live and how they are appended to: the folder comes from the settings store, the user is
// asked once per program start when none is set, and every structure's text reaches a file in single writes of
// whole lines, so that an interrupted run never leaves half a line behind.

#include "core/object.h"

#include <functional>
#include <string>

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

/// A result file open for appending (others may read it meanwhile); closed when the object goes.
class TResultFile {
public:
  /// Opens path for appending, creating the file and its folder (one level) when missing. EFatalError "Unable to
  /// create "<path>". You can modify the output file in the Tools/Options menu." when that fails.
  explicit TResultFile(std::string path);
  ~TResultFile();
  TResultFile(const TResultFile&) = delete;
  TResultFile& operator=(const TResultFile&) = delete;

  const std::string& Path() const { return path_; }
  /// Whether the file was empty when opened.
  bool WasEmpty() const { return wasEmpty_; }
  /// The file's first line, without its line end, in UTF-8 (empty for an empty file).
  std::string ReadFirstLine() const;
  /// Appends text (UTF-8, written in Windows-1252) with one write. EFatalError when the write fails.
  void Append(const std::string& text);

private:
  std::string path_;
  int fd_ = -1;
  bool wasEmpty_ = true;
};

} // namespace corvatin
