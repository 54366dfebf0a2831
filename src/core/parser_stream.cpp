// Byte streams under the tokenizer: text in memory, and files read in place by offset.

#include "core/errors.h"
#include "core/parser.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvatin {

std::size_t TMemoryStream::ReadAt(std::int64_t offset, char* buffer, std::size_t count) {
  if (offset < 0 || offset >= GetSize()) return 0;
  std::size_t n = std::min(count, text_.size() - static_cast<std::size_t>(offset));
  std::memcpy(buffer, text_.data() + offset, n);
  return n;
}

TFileStream::TFileStream(const std::string& fileName) : fileName_(fileName) {
  file_ = std::fopen(fileName.c_str(), "rb");
  if (!file_) throw EInputError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  // The size is fixed at opening: a reader never sees a half-appended record as part of its input.
  if (fseeko(file_, 0, SEEK_END) != 0 || (size_ = ftello(file_)) < 0) {
    int err = errno;
    std::fclose(file_);
    file_ = nullptr;
    throw EInputError("Cannot open file \"" + fileName + "\". " + std::strerror(err));
  }
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

std::size_t TFileStream::ReadAt(std::int64_t offset, char* buffer, std::size_t count) {
  if (offset < 0 || offset >= size_) return 0;
  std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
  if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
    throw EInputError("Error reading file \"" + fileName_ + "\". " + std::strerror(errno));
  std::size_t got = std::fread(buffer, 1, want, file_);
  // Fewer bytes than the size promised means the file shrank or the device failed; reading on would silently
  // lose the rest of the structure.
  if (got != want)
    throw EInputError("Error reading file \"" + fileName_ + "\"" +
                      (std::ferror(file_) ? std::string(". ") + std::strerror(errno) : std::string(" (file shortened)")));
  return got;
}

CharSet MakeCharSet(std::string_view chars) {
  CharSet set;
  for (char ch : chars) set.set(static_cast<unsigned char>(ch));
  return set;
}

Ptr<TParser> NewTextParser(std::string text) {
  return std::make_shared<TParser>(std::make_shared<TMemoryStream>(std::move(text)));
}

Ptr<TParser> NewFileParser(const std::string& fileName) {
  return std::make_shared<TParser>(std::make_shared<TFileStream>(fileName));
}

} // namespace corvatin
