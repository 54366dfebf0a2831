#include "outputs/result_files.h"

#include "core/errors.h"
#include "core/paths.h"
#include "core/settings.h"
#include "outputs/codepage.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace corvatin {

namespace fs = std::filesystem;

namespace {

std::mutex questionMutex;
Ptr<IResultFolderQuestion> folderQuestion;
std::atomic<bool> folderAsked{false};
std::mutex overrideMutex;
std::string folderOverride;
std::mutex journalMutex;
TAppendJournal journal;

// A header line longer than this is not one this program wrote; reading stops there.
constexpr size_t kMaxHeaderBytes = 16u << 20;

} // namespace

void SetAppendJournal(TAppendJournal note) {
  std::lock_guard<std::mutex> lock(journalMutex);
  journal = std::move(note);
}

void NoteAppend(std::int64_t record, const std::string& path, std::size_t bytes, bool header) {
  std::lock_guard<std::mutex> lock(journalMutex);
  if (journal) journal(record, path, bytes, header);
}

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

std::string ResultFolderAsSet() {
  {
    std::lock_guard<std::mutex> lock(overrideMutex);
    if (!folderOverride.empty()) return folderOverride;
  }
  return Registry().ReadString(kResultFolderKey, "");
}

bool SameResultFile(const std::string& a, const std::string& b) {
  std::error_code ec1, ec2;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec1), ec1);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
  if (!ec1 && !ec2 && ca == cb) return true;
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

TResultFile::TResultFile(std::string path, bool rows) : path_(std::move(path)), rows_(rows) {
  const fs::path folder = fs::path(path_).parent_path();
  std::error_code ec;
  if (!folder.empty() && !fs::exists(folder, ec)) fs::create_directory(folder, ec);
  // Appending never truncates: an existing file keeps every line of earlier runs. Read access is for the header
  // and the last byte. O_NONBLOCK keeps a pipe without reader from blocking the run; it changes nothing for
  // regular files.
  fd_ = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
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
  identity_ = {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

TResultFile::~TResultFile() {
  if (fd_ >= 0) ::close(fd_);
}

TTailRepair TResultFile::Lock() {
  // A file system without locks still gets the whole-or-nothing writes; only concurrent runs lose their guard.
  while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
  }
  return RepairTail();
}

void TResultFile::Unlock() { ::flock(fd_, LOCK_UN); }

namespace {
long long FileSize(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}
} // namespace

bool TResultFile::IsEmpty() const { return FileSize(fd_) == 0; }

std::string TResultFile::FirstLineBytes(std::string& lineEnd) const {
  lineEnd.clear();
  std::string line;
  char buffer[4096];
  for (off_t at = 0; line.size() < kMaxHeaderBytes;) {
    const ssize_t got = ::pread(fd_, buffer, sizeof buffer, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const std::string_view chunk(buffer, static_cast<size_t>(got));
    const size_t end = chunk.find_first_of("\r\n");
    line.append(chunk.substr(0, end));
    if (end != std::string_view::npos) {
      // A CR at the very end of the chunk may still be followed by LF: one more byte decides. A CR that ends
      // the file is taken for this program's CR LF cut short by a kill.
      char next = 0;
      const bool cr = chunk[end] == '\r';
      if (cr && end + 1 < chunk.size())
        next = chunk[end + 1];
      else if (cr && ::pread(fd_, &next, 1, at + static_cast<off_t>(end) + 1) != 1)
        next = '\n';
      lineEnd = !cr ? "\n" : next == '\n' ? "\r\n" : "\r";
      break;
    }
    at += got;
  }
  return line;
}

std::string TResultFile::ReadFirstLine() {
  std::string lineEnd;
  std::string line = FirstLineBytes(lineEnd);
  if (!lineEnd.empty()) lineEnd_ = lineEnd;
  static const std::string kByteOrderMark = "\xEF\xBB\xBF";
  utf8_ = line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
  if (utf8_) line.erase(0, kByteOrderMark.size());
  utf8_ = utf8_ || IsMultiByteUtf8(line);
  return utf8_ ? line : FromWindows1252(line);
}

TTailRepair TResultFile::RepairTail() {
  // Linux lets SIGKILL end a write between two pages it copies, so a killed run may leave the start of a line.
  const long long size = FileSize(fd_);
  char last = '\n';
  if (size <= 0 || ::pread(fd_, &last, 1, static_cast<off_t>(size - 1)) != 1 || last == '\n') return {};
  std::string lineEnd;
  const std::string first = FirstLineBytes(lineEnd);
  const auto fail = [this](const char* what) {
    const int reason = errno;
    throw EFatalError("Unable to " + std::string(what) + " \"" + path_ +
                      "\": " + std::generic_category().message(reason) + ".");
  };
  TTailRepair repair;
  std::string missing; // what the last line needs to end as the file's lines end
  if (last == '\r') {
    if (lineEnd != "\r") missing = "\n";
  } else {
    // Back to the last line end, counting the cells of the unfinished line on the way.
    long long whole = 0;
    size_t tabs = 0;
    std::vector<char> buffer(1 << 16);
    for (long long end = size; end > 0;) {
      const long long from = std::max(0LL, end - static_cast<long long>(buffer.size()));
      const ssize_t got = ::pread(fd_, buffer.data(), static_cast<size_t>(end - from), static_cast<off_t>(from));
      if (got < 0 && errno == EINTR) continue;
      if (got != end - from) {
        if (got >= 0) errno = EIO; // the file shrank under the lock: a writer that does not lock
        fail("read");
      }
      const std::string_view chunk(buffer.data(), static_cast<size_t>(got));
      const size_t at = chunk.find_last_of("\r\n");
      const std::string_view rest = at == std::string_view::npos ? chunk : chunk.substr(at + 1);
      tabs += static_cast<size_t>(std::count(rest.begin(), rest.end(), '\t'));
      if (at != std::string_view::npos) {
        whole = from + static_cast<long long>(at) + 1;
        break;
      }
      end = from;
    }
    // Every cell is followed by a tab: a row that has them all was written whole (or saved by an editor that
    // drops the last line end) and keeps its values.
    if (rows_ && whole > 0 && !lineEnd.empty() &&
        tabs == static_cast<size_t>(std::count(first.begin(), first.end(), '\t'))) {
      missing = lineEnd;
    } else {
      if (::ftruncate(fd_, static_cast<off_t>(whole)) != 0) fail("write to");
      repair.cut = static_cast<size_t>(size - whole);
      if (whole > 0 && ::pread(fd_, &last, 1, static_cast<off_t>(whole - 1)) == 1 && last == '\r' && lineEnd != "\r")
        missing = "\n";
    }
  }
  size_t done = 0;
  if (!missing.empty() && !WriteAll(missing, done)) fail("write to");
  repair.added = done;
  return repair;
}

bool TResultFile::WriteAll(const std::string& bytes, std::size_t& done) {
  done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

std::size_t TResultFile::Append(const std::string& text) {
  std::string bytes = utf8_ ? text : ToWindows1252(text);
  if (lineEnd_ != "\r\n")
    for (size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += lineEnd_.size())
      bytes.replace(at, 2, lineEnd_);
  before_ = FileSize(fd_);
  size_t done = 0;
  if (!WriteAll(bytes, done)) {
    const int reason = errno;
    Undo();
    throw EFatalError("Unable to write to \"" + path_ + "\": " + std::generic_category().message(reason) + ".");
  }
  return done;
}

void TResultFile::Undo() noexcept {
  if (before_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(before_)) != 0) {
    // Nothing more can be done: the write error that led here is the one reported.
  }
  before_ = -1;
}

} // namespace corvatin
