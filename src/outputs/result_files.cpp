#include "outputs/result_files.h"

#include "core/errors.h"
#include "core/paths.h"
#include "core/settings.h"
#include "outputs/codepage.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace corvatin {

namespace fs = std::filesystem;

namespace {

std::mutex questionMutex;
Ptr<IResultFolderQuestion> folderQuestion;
std::atomic<bool> folderAsked{false};
std::mutex overrideMutex;
std::string folderOverride;

// A header line longer than this is not one this program wrote; reading stops there.
constexpr size_t kMaxHeaderBytes = 16u << 20;

} // namespace

void SetResultFolderQuestion(const Ptr<IResultFolderQuestion>& question) {
  std::lock_guard<std::mutex> lock(questionMutex);
  folderQuestion = question;
}

bool ResultFolderAsked() { return folderAsked.load(); }

void ResetResultFolderAsked() { folderAsked.store(false); }

void SetResultFolderOverride(const std::string& folder) {
  std::lock_guard<std::mutex> lock(overrideMutex);
  folderOverride = folder;
}

std::string ResultFolder(const std::function<void(const std::function<void()>&)>& onMainThread) {
  {
    std::lock_guard<std::mutex> lock(overrideMutex);
    if (!folderOverride.empty()) return folderOverride;
  }
  std::string folder = Registry().ReadString(kResultFolderKey, "");
  if (!folder.empty() || folderAsked.exchange(true)) return folder;
  Ptr<IResultFolderQuestion> question;
  {
    std::lock_guard<std::mutex> lock(questionMutex);
    question = folderQuestion;
  }
  if (!question) return folder;
  onMainThread([&question] { question->AskResultFolder(); });
  return Registry().ReadString(kResultFolderKey, "");
}

std::string ResultFilePath(const std::string& folder, const std::string& fileName) {
  if (fs::path(fileName).is_absolute()) return fileName;
  std::string base = folder.empty() ? DataFolder() : folder;
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
  return base + fileName;
}

TResultFile::TResultFile(std::string path) : path_(std::move(path)) {
  const fs::path folder = fs::path(path_).parent_path();
  std::error_code ec;
  if (!folder.empty() && !fs::exists(folder, ec)) fs::create_directory(folder, ec);
  // Appending never truncates: an existing file keeps every line of earlier runs. O_NONBLOCK keeps a pipe without
  // reader from blocking the run; it changes nothing for regular files.
  fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
  struct stat info {};
  if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
    ::close(fd_);
    fd_ = -1;
    errno = 0;
  }
  if (fd_ < 0) {
    const int error = errno;
    // The workbench's menu is named only where there is one: the batch tool chooses its folder itself.
    bool batch = false;
    {
      std::lock_guard<std::mutex> lock(overrideMutex);
      batch = !folderOverride.empty();
    }
    throw EFatalError("Unable to create \"" + path_ + "\" (" +
                      (error ? std::string(std::strerror(error)) : std::string("not a regular file")) + ")." +
                      (batch ? "" : " You can modify the output file in the Tools/Options menu."));
  }
  wasEmpty_ = info.st_size == 0;
}

TResultFile::~TResultFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string TResultFile::ReadFirstLine() const {
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  char ch;
  while (line.size() < kMaxHeaderBytes && in.get(ch) && ch != '\n')
    line += ch;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return FromWindows1252(line);
}

void TResultFile::Append(const std::string& text) {
  const std::string bytes = ToWindows1252(text);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0)
      throw EFatalError("Unable to write to \"" + path_ + "\" (" +
                        (written < 0 ? std::string(std::strerror(errno)) : std::string("nothing written")) + ").");
    done += static_cast<size_t>(written);
  }
}

} // namespace corvatin
