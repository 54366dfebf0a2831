#include "inputs/record_cutter.h"

#include "core/errors.h"
#include "core/parser.h"
#include "core/rounding.h"

#include <algorithm>
#include <cstring>

namespace corvatin {

namespace {

// Blocks of this size are read from the file: large enough for few calls, small beside the queue's records.
constexpr std::size_t kBlockSize = 1 << 20;

// White space as the readers skip it.
bool IsWhiteChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsWhite(const std::string& line) { return std::all_of(line.begin(), line.end(), IsWhiteChar); }

// The first character that is not white space; 0 for a line of white space.
char FirstNonWhite(const std::string& line) {
  for (char c : line)
    if (!IsWhiteChar(c)) return c;
  return 0;
}

// The line ends in text as the tokenizer counts them: a CR, or an LF not after a CR.
std::int64_t LineEnds(const std::string& text) {
  std::int64_t count = 0;
  if (std::memchr(text.data(), '\r', text.size()) == nullptr) {
    // LF alone, the common case: one library search per line.
    for (const char *at = text.data(), *end = at + text.size();
         (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr; ++at)
      ++count;
    return count;
  }
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))) ++count;
  return count;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A line that opens a MOL2 molecule as the MOL2 reader sees it: "@<TRIPOS>" at its start, then letters and what
// follows them up to white space making "molecule", letter case ignored.
bool IsMoleculeLine(const std::string& line) {
  static const std::string mark = "@<tripos>", name = "molecule";
  if (line.size() < mark.size() + name.size()) return false;
  for (std::size_t i = 0; i < mark.size(); ++i)
    if (Lower(line[i]) != mark[i]) return false;
  std::size_t end = mark.size();
  while (end < line.size() && !IsWhiteChar(line[end])) ++end;
  if (end - mark.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (Lower(line[mark.size() + i]) != name[i]) return false;
  return true;
}

} // namespace

TRecordCutter::TRecordCutter(const std::string& fileName, TRecordLayout layout)
    : stream_(std::make_unique<TFileStream>(fileName)), layout_(layout) {}

TRecordCutter::~TRecordCutter() = default;

bool TRecordCutter::TakeLine(std::string& line) {
  line.clear();
  if (!back_.empty()) {
    line = std::move(back_.back());
    back_.pop_back();
    return true;
  }
  const auto fill = [this] {
    block_.resize(kBlockSize);
    block_.resize(stream_->ReadAt(read_, block_.data(), block_.size()));
    read_ += static_cast<std::int64_t>(block_.size());
    at_ = 0;
    return !block_.empty();
  };
  for (;;) {
    if (at_ >= block_.size() && !fill()) return !line.empty();
    // The first CR or LF, by two library searches rather than a test of every character.
    const char* begin = block_.data() + at_;
    const std::size_t left = block_.size() - at_;
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', left));
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', lf ? static_cast<std::size_t>(lf - begin) : left));
    const char* found = cr ? cr : lf;
    const std::size_t end = found ? at_ + static_cast<std::size_t>(found - begin) : std::string::npos;
    if (end == std::string::npos) {
      line.append(block_, at_, std::string::npos);
      at_ = block_.size();
      continue;
    }
    line.append(block_, at_, end + 1 - at_);
    at_ = end + 1;
    // CR LF is one line end, even when a block ends between them.
    if (block_[end] == '\r' && (at_ < block_.size() || fill()) && block_[at_] == '\n') {
      line.push_back('\n');
      ++at_;
    }
    return true;
  }
}

void TRecordCutter::PutBack(std::string line) { back_.push_back(std::move(line)); }

bool TRecordCutter::Next(std::string& text, std::int64_t& firstLine) {
  text.clear();
  bool found = false;
  switch (layout_) {
  case TRecordLayout::SDFile: found = NextSD(text); break;
  case TRecordLayout::Mol2: found = NextMol2(text); break;
  case TRecordLayout::Words: found = NextWords(text); break;
  case TRecordLayout::Pairs: found = NextPairs(text); break;
  case TRecordLayout::Lines: found = NextLines(text); break;
  default: {
    std::string line;
    while (TakeLine(line)) text += line;
    found = !text.empty();
  }
  }
  // A file of white space holds no structure at all.
  if (found && first_ && IsWhite(text)) found = false;
  first_ = false;
  if (!found) return false;
  taken_ += static_cast<std::int64_t>(text.size());
  firstLine = line_;
  line_ += LineEnds(text);
  return true;
}

int TRecordCutter::Percent() const {
  const std::int64_t size = stream_->GetSize();
  if (size <= 0) return 100;
  return static_cast<int>(RoundHalfEven(static_cast<double>(taken_) * 100.0 / static_cast<double>(size)));
}

bool TRecordCutter::NextSD(std::string& text) {
  // The first three lines of a record are read as text whatever they hold; from the counts line on, a "$$$$"
  // line ends the record even when the record is broken. Blank lines after it begin the next record (whose name
  // line may be empty), unless nothing else follows.
  std::string line;
  for (int count = 1; TakeLine(line); ++count) {
    text += line;
    if (count < 4 || line.compare(0, 4, "$$$$") != 0) continue;
    std::vector<std::string> white;
    while (TakeLine(line)) {
      if (IsWhite(line)) {
        white.push_back(std::move(line));
        continue;
      }
      PutBack(std::move(line));
      for (auto it = white.rbegin(); it != white.rend(); ++it) PutBack(std::move(*it));
      return true;
    }
    for (const auto& blank : white) text += blank;
    return true;
  }
  return !text.empty();
}

bool TRecordCutter::NextMol2(std::string& text) {
  // Whatever comes before the first MOLECULE line belongs to the first molecule, as the reader passes over it.
  bool seen = false;
  std::string line;
  while (TakeLine(line)) {
    if (IsMoleculeLine(line)) {
      if (seen) {
        PutBack(std::move(line));
        return true;
      }
      seen = true;
    }
    text += line;
  }
  return !text.empty();
}

bool TRecordCutter::NextWords(std::string& text) {
  // White space (before the first SMILES only), a SMILES, the white space after it; the next SMILES may begin
  // on the same line.
  int phase = 0; // 0 white before, 1 the SMILES, 2 white after
  std::string line;
  while (TakeLine(line)) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const bool white = IsWhiteChar(line[i]);
      if (phase == 0 && !white) phase = 1;
      if (phase == 1 && white) phase = 2;
      if (phase == 2 && !white) {
        text.append(line, 0, i);
        PutBack(line.substr(i));
        return true;
      }
    }
    text += line;
  }
  return !text.empty();
}

bool TRecordCutter::TakeLead(std::string& text, bool (*skip)(const std::string&)) {
  std::string line;
  while (TakeLine(line)) {
    text += line;
    if (!skip(line)) return true;
  }
  return false;
}

void TRecordCutter::TakeTrail(std::string& text, bool (*skip)(const std::string&)) {
  std::string line;
  while (TakeLine(line)) {
    if (!skip(line)) {
      PutBack(std::move(line));
      return;
    }
    text += line;
  }
}

bool TRecordCutter::NextPairs(std::string& text) {
  // White lines (before the first pair only), the name line, then the SMILES line unless a line beginning with a
  // digit (the next name line: this name has no SMILES) or the end comes first, then the white lines after it.
  if (!TakeLead(text, IsWhite)) return !text.empty();
  TakeTrail(text, IsWhite);
  std::string line;
  if (!TakeLine(line)) return true;
  const char first = FirstNonWhite(line);
  if (first >= '0' && first <= '9') {
    PutBack(std::move(line));
    return true;
  }
  text += line;
  TakeTrail(text, IsWhite);
  return true;
}

bool TRecordCutter::NextLines(std::string& text) {
  // Blank and "#" lines (before the first structure only), the structure's line, the blank and "#" lines after.
  const auto skippable = [](const std::string& line) {
    const char first = FirstNonWhite(line);
    return first == 0 || first == '#';
  };
  if (!TakeLead(text, skippable)) return !text.empty();
  TakeTrail(text, skippable);
  return true;
}

void CutRecords(const TLaidOutFiles& files, int shard, int shards, TRecordQueue& queue) {
  std::int64_t index = 0, turn = 0;
  std::vector<std::string> emptyFiles; // since the last record
  for (const auto& [file, layout] : files) {
    try {
      TRecordCutter cutter(file, layout);
      TRecordText record;
      int number = 0;
      while (cutter.Next(record.text, record.firstLine)) {
        ++number;
        const std::int64_t i = index++;
        // Another shard's record: what was to be said before it is that shard's to say.
        if (shards > 1 && i % shards != shard) {
          emptyFiles.clear();
          continue;
        }
        record.file = file;
        record.number = number;
        record.index = i;
        record.turn = turn++;
        record.percent = cutter.Percent();
        record.emptyFiles = std::move(emptyFiles);
        emptyFiles.clear();
        if (!queue.Push(std::move(record))) return;
        record = TRecordText();
      }
      if (number == 0) emptyFiles.push_back(file);
    } catch (...) {
      // The run ends here, after the records before, as it would reading the files itself.
      TRecordText stop;
      stop.turn = turn;
      try {
        throw;
      } catch (const std::exception& e) {
        stop.error = e.what();
      } catch (...) {
        stop.error = "Error reading file \"" + file + "\"";
      }
      stop.emptyFiles = std::move(emptyFiles);
      if (queue.Push(std::move(stop))) queue.Finish();
      return;
    }
  }
  if (!emptyFiles.empty()) {
    TRecordText tail;
    tail.turn = turn;
    tail.emptyFiles = std::move(emptyFiles);
    if (!queue.Push(std::move(tail))) return;
  }
  queue.Finish();
}

} // namespace corvatin
