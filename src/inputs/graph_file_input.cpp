#include "inputs/graph_file_input.h"

#include "core/errors.h"
#include "core/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

namespace corvatin {

namespace {

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
  return text;
}

} // namespace

std::vector<std::string> SplitFileList(const std::string& text) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t sep = text.find(';'); sep != std::string::npos; sep = text.find(';', start)) {
    names.push_back(TrimBlanks(text.substr(start, sep - start)));
    start = sep + 1;
  }
  if (std::string rest = TrimBlanks(text.substr(start)); !rest.empty()) names.push_back(std::move(rest));
  return names;
}

std::string LowerFileExtension(const std::string& fileName) {
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos) return {};
  // A dot in a folder name ("/home/a.b/file") is no extension.
  const auto sep = fileName.find_last_of("/\\");
  if (sep != std::string::npos && sep > dot) return {};
  return Lower(fileName.substr(dot));
}

std::vector<std::string> FilterPatterns(const std::string& filter) {
  std::vector<std::string> patterns;
  const auto bar = filter.find('|');
  if (bar == std::string::npos) return patterns;
  std::string list = filter.substr(bar + 1);
  std::size_t start = 0;
  for (;;) {
    const auto sep = list.find(';', start);
    std::string piece = TrimBlanks(list.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (!piece.empty()) patterns.push_back(std::move(piece));
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
  return patterns;
}

TGraphFileInput::TGraphFileInput(const std::vector<Ptr<IObject>>& readers) : TMultiBlock(1, readers, mbSelected) {
  std::string patternList;
  int child = 0;
  for (const auto& entry : readers) {
    if (!std::dynamic_pointer_cast<IBlock>(entry)) continue; // the multi-block skips it as well
    if (auto input = std::dynamic_pointer_cast<IInput>(entry)) {
      const std::string filter = input->GetFilter();
      readerFilters_.push_back(filter);
      if (!filter_.empty()) filter_.push_back('|');
      filter_.append(filter);
      const auto bar = filter.find('|');
      if (bar != std::string::npos) {
        if (!patternList.empty()) patternList.push_back(';');
        patternList.append(filter, bar + 1, std::string::npos);
      }
      std::vector<std::string> patterns = FilterPatterns(filter);
      for (auto& pattern : patterns) pattern = Lower(pattern);
      readers_.push_back(Reader{child, std::move(input), std::move(patterns)});
    }
    ++child;
  }
  if (!patternList.empty()) filter_.append("|All supported files|").append(patternList);
}

std::string TGraphFileInput::GetFileName() const {
  if (TrimBlanks(fileNameText_).empty()) return {};
  return HasFolderPart(fileNameText_) ? fileNameText_ : DataFolder() + fileNameText_;
}

void TGraphFileInput::SetFileName(const std::string& name) { fileNameText_ = name; }

void TGraphFileInput::Start(IWorkerThread* thread) {
  TMultiBlock::Start(thread);
  // Each name is resolved on its own: a bare name anywhere in the list is looked up in the program's folder,
  // and blanks before the first one never end up between the folder and the name.
  fileNames_ = SplitFileList(fileNameText_);
  for (auto& name : fileNames_) name = ResolveInputFileName(name);
  currentIndex_ = 0;
  preparedIndex_ = -1;
  CheckFiles();
}

std::string TGraphFileInput::GetRecordText() const {
  const auto reader = std::dynamic_pointer_cast<IInput>(GetSelected());
  return reader ? reader->GetRecordText() : std::string();
}

namespace {

// How much of a file the check reads to recognise its format: enough for any header, little enough for a
// folder of large files.
constexpr std::size_t kHeadSize = 1 << 20;

// The format's name from a filter: "TRIPOS MOL file (*.mol2, *.ml2)|..." gives "TRIPOS MOL file".
std::string FormatName(const std::string& filter) {
  std::string name = filter.substr(0, filter.find('|'));
  if (const auto paren = name.find(" ("); paren != std::string::npos) name.erase(paren);
  return name;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

} // namespace

const TGraphFileInput::Reader& TGraphFileInput::ReaderFor(const std::string& name) const {
  const std::string extension = LowerFileExtension(name);
  // The extension must be one of a reader's patterns exactly: "x.mo" is not a molfile, even though ".mo" is
  // part of "*.mol".
  const std::string wanted = "*" + extension;
  if (!extension.empty())
    for (const Reader& reader : readers_)
      if (std::find(reader.patterns.begin(), reader.patterns.end(), wanted) != reader.patterns.end()) return reader;
  throw EInputError(FormatFileMessage(kMsgUnknownExtension, extension) + " (file " + Quoted(name) + ")");
}

void TGraphFileInput::CheckFiles() {
  // Everything a file could fail on before its first structure is found now: a run that stops at its tenth
  // file has written the first nine, and running it again after the repair would write them twice.
  namespace fs = std::filesystem;
  std::set<std::string> seen;
  for (const std::string& name : fileNames_) {
    const Reader& reader = ReaderFor(name);
    std::error_code ec;
    const fs::file_status status = fs::status(name, ec);
    if (ec || !fs::exists(status))
      throw EInputError(FormatFileMessage(kMsgCannotOpen, name) + " (" +
                        (ec ? ec.message() : std::string(std::strerror(ENOENT))) + ")");
    // A pipe or a device would block the run or never end; a folder is no structure file.
    if (!fs::is_regular_file(status))
      throw EInputError(FormatFileMessage(kMsgCannotOpen, name) + " (not a regular file)");
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) throw EInputError(FormatFileMessage(kMsgCannotOpen, name) + " (" + std::strerror(errno) + ")");
    std::string head(kHeadSize, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    const bool whole = std::feof(file) != 0;
    const bool readError = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (readError) throw EInputError("Error reading file " + Quoted(name) + ". " + std::strerror(error));
    if (!seen.insert(name).second) LogWarning("File " + Quoted(name) + " is given twice; it is read twice");
    // White space alone is no structure; the reader says so when it reaches the file.
    if (head.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    const auto parser = std::dynamic_pointer_cast<TParserInput>(reader.input);
    if (head.find('\0') != std::string::npos || (parser && !parser->LooksLikeFormat(head, whole)))
      throw EInputError("The content of file " + Quoted(name) + " does not fit its extension " +
                        Quoted(LowerFileExtension(name)) + " (" + FormatName(parser ? parser->GetFilter() : "") + ")");
  }
}

void TGraphFileInput::SetSkimming(bool flag) {
  for (const Reader& reader : readers_) reader.input->SetSkimming(flag);
}

TLaidOutFiles TGraphFileInput::RecordLayouts() const {
  TLaidOutFiles files;
  for (const std::string& listed : SplitFileList(fileNameText_)) {
    const std::string name = ResolveInputFileName(listed);
    const auto parser = std::dynamic_pointer_cast<TParserInput>(ReaderFor(name).input);
    files.emplace_back(name, parser ? parser->RecordLayout(name) : TRecordLayout::None);
  }
  return files;
}

void TGraphFileInput::ExecuteFed(bool& more) {
  TRecordText& record = *fed_;
  fed_ = nullptr;
  for (const std::string& file : record.emptyFiles) LogWarning(FormatFileMessage(kMsgNoStructure, file));
  if (!record.error.empty()) throw EInputError(record.error);
  // The run's reader says when the input ends.
  more = true;
  if (record.index < 0) throw ENoStructure();
  const Reader& chosen = ReaderFor(record.file);
  SelectChild(chosen.child);
  chosen.input->FeedRecord(&record);
  bool rest = true;
  TMultiBlock::Execute(rest);
}

void TGraphFileInput::Stop() {
  fed_ = nullptr;
  fileNames_.clear();
  SelectChild(-1);
  TMultiBlock::Stop();
}

void TGraphFileInput::Prepare() {
  const std::string& name = fileNames_[static_cast<std::size_t>(currentIndex_)];
  const Reader& chosen = ReaderFor(name);
  chosen.input->SetFileName(name);
  SelectChild(chosen.child);
  preparedIndex_ = currentIndex_;
}

void TGraphFileInput::AfterReader(bool& more) {
  if (!more) ++currentIndex_;
  more = currentIndex_ < static_cast<int>(fileNames_.size());
}

void TGraphFileInput::Execute(bool& more) {
  if (fed_) {
    ExecuteFed(more);
    return;
  }
  if (fileNames_.empty()) {
    GetInputStructure(); // the structure already there is the one the chain processes
    more = false;
    ++currentIndex_;
    return;
  }
  if (currentIndex_ >= static_cast<int>(fileNames_.size())) {
    more = false; // every file was read; asked again, there is nothing left to hand on
    throw ENoStructure();
  }
  if (currentIndex_ != preparedIndex_) Prepare();
  try {
    TMultiBlock::Execute(more);
  } catch (const EInputError&) {
    throw;
  } catch (const EChemError&) {
    // One bad structure: the run goes on, and after a file's last structure it goes on with the next file.
    AfterReader(more);
    throw;
  }
  AfterReader(more);
}

} // namespace corvatin
