// The tokenizer's searches. SkipPast and its in-line relatives find the first occurrence of a target, also one
// that begins inside a partial match that failed; SkipPastAny searches in blocks, where list order decides.

#include "core/parser.h"

#include <algorithm>

namespace corvatin {

namespace {

bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

// Finds a target in a stream of characters fed one at a time (Knuth-Morris-Pratt): a mismatch falls back to the
// longest proper prefix that is still matched, so an occurrence starting inside a partial match is not missed.
class TargetMatcher {
public:
  explicit TargetMatcher(std::string_view target) : target_(target), fallback_(target.size(), 0) {
    for (std::size_t i = 1, k = 0; i < target_.size(); ++i) {
      while (k > 0 && target_[i] != target_[k]) k = fallback_[k - 1];
      if (target_[i] == target_[k]) ++k;
      fallback_[i] = k;
    }
  }
  bool Empty() const { return target_.empty(); }
  /// True when c completes an occurrence.
  bool Feed(char c) {
    while (state_ > 0 && target_[state_] != c) state_ = fallback_[state_ - 1];
    if (target_[state_] == c) ++state_;
    if (state_ < target_.size()) return false;
    state_ = fallback_[state_ - 1];
    return true;
  }

private:
  std::string_view target_;
  std::vector<std::size_t> fallback_;
  std::size_t state_ = 0;
};

} // namespace

bool TParser::SkipPast(std::string_view target) {
  TargetMatcher matcher(target);
  if (matcher.Empty()) return true;
  while (pos_ < size_)
    if (matcher.Feed(static_cast<char>(ByteAt(pos_++)))) return true;
  return false;
}

bool TParser::SkipPastInLine(std::string_view target) {
  TargetMatcher matcher(target);
  if (matcher.Empty()) return true;
  for (int c = Peek(); c >= 0 && !IsLineEnd(c); c = Peek()) {
    ++pos_;
    if (matcher.Feed(static_cast<char>(c))) return true;
  }
  return false;
}

bool TParser::ReadUntil(std::string_view target, std::string& text, bool keepPartial) {
  text.clear();
  std::int64_t start = pos_;
  bool found = target.empty();
  TargetMatcher matcher(target);
  std::size_t matched = 0; // for keepPartial: how many target characters were seen, in order
  for (int c = Peek(); !found && c >= 0 && !IsLineEnd(c); c = Peek()) {
    ++pos_;
    if (keepPartial) {
      if (static_cast<char>(c) == target[matched]) found = ++matched == target.size();
    } else {
      found = matcher.Feed(static_cast<char>(c));
    }
  }
  text = Slice(start, pos_);
  return found;
}

bool TParser::SkipPastAny(const std::vector<std::string>& targets, int& index) {
  index = -1;
  std::size_t longest = 0;
  for (const auto& t : targets) longest = std::max(longest, t.size());
  const std::int64_t block = std::max<std::int64_t>(200, static_cast<std::int64_t>(longest));
  std::string text;             // the tail of the previous block, then the current block
  std::int64_t textStart = pos_; // stream offset of text[0]
  for (bool first = true;; first = false) {
    std::int64_t n = std::min(block, size_ - pos_);
    if (n == 0 && !first) return false;
    text += Slice(pos_, pos_ + n);
    pos_ += n;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      std::size_t at = text.find(targets[i]);
      if (at == std::string::npos) continue;
      pos_ = textStart + static_cast<std::int64_t>(at + targets[i].size());
      index = static_cast<int>(i);
      return true;
    }
    if (n == 0) return false;
    // Keep the last characters so that an occurrence across the block boundary is found in the next block.
    std::size_t keep = std::min(longest, text.size());
    textStart += static_cast<std::int64_t>(text.size() - keep);
    text.erase(0, text.size() - keep);
  }
}

bool TParser::MatchAnyInLine(const std::vector<std::string>& targets, int& index) {
  index = -1;
  std::vector<TargetMatcher> matchers;
  matchers.reserve(targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (targets[i].empty()) {
      index = static_cast<int>(i);
      return true;
    }
    matchers.emplace_back(targets[i]);
  }
  for (int c = Peek(); c >= 0 && !IsLineEnd(c); c = Peek()) {
    ++pos_;
    for (std::size_t i = 0; i < matchers.size(); ++i)
      if (matchers[i].Feed(static_cast<char>(c)) && index < 0) index = static_cast<int>(i);
    if (index >= 0) return true;
  }
  return false;
}

} // namespace corvatin
