// The tokenizer's reads. Look-ahead peeks at the next byte and consumes it only when it qualifies; reads of more
// than one item remember where they started and go back there on failure.

#include "core/errors.h"
#include "core/parser.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace corvatin {

namespace {

constexpr std::int64_t kWindowSize = 64 * 1024;
// Bytes kept before the requested offset when the window is refilled, so that the usual short steps back
// (failed reads, Back) stay inside the window.
constexpr std::int64_t kWindowBack = 4 * 1024;

bool IsWhite(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLower(int c) { return c >= 'a' && c <= 'z'; }
bool IsLetter(int c) { return IsLower(c) || (c >= 'A' && c <= 'Z'); }
int FoldCase(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Shortened text for messages about number runs that may be megabytes long.
std::string Excerpt(const std::string& text) { return text.size() <= 40 ? text : text.substr(0, 40) + "..."; }

// Converts a digit run with an optional sign to a 32-bit integer, or throws std::out_of_range; the digit run may
// be arbitrarily long (leading zeros are fine).
int ToInt32(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                      : std::numeric_limits<int>::max();
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) throw std::out_of_range("'" + Excerpt(text) + "' is not a valid 32-bit integer");
  }
  return static_cast<int>(negative ? -value : value);
}

// Whether a decimal number text whose conversion ran out of range is too large (true) or too small to represent
// (false): the decimal exponent of its first significant digit decides.
bool IsOverflow(const std::string& text) {
  std::size_t i = 0, n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::int64_t lead = 0; // decimal exponent of the first non-zero digit
  bool found = false, inFraction = false;
  std::int64_t intDigits = 0, fracZeros = 0;
  for (; i < n && text[i] != 'e'; ++i) {
    if (text[i] == '.') {
      inFraction = true;
      continue;
    }
    if (!found && text[i] != '0') found = true;
    if (!inFraction) {
      if (found) ++intDigits;
    } else if (!found) {
      ++fracZeros;
    }
  }
  if (!found) return false; // zero, whatever the exponent
  lead = intDigits > 0 ? intDigits - 1 : -(fracZeros + 1);
  std::int64_t exponent = 0;
  if (i < n && text[i] == 'e') {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    for (; i < n; ++i) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > 1'000'000'000) break; // far beyond any double; the sign alone decides
    }
    if (negative) exponent = -exponent;
  }
  return lead + exponent > 0;
}

} // namespace

TParser::TParser(std::shared_ptr<IByteStream> stream) : stream_(std::move(stream)) {
  if (!stream_) throw std::invalid_argument("TParser needs a stream");
  size_ = stream_->GetSize();
  if (const char* data = stream_->Data()) {
    window_ = data;
    winLen_ = size_;
  }
}

void TParser::Fill(std::int64_t offset) const {
  if (offset < 0 || offset >= size_) throw std::out_of_range("tokenizer read outside the stream");
  std::int64_t start = std::max<std::int64_t>(0, offset - kWindowBack);
  std::int64_t length = std::min(kWindowSize, size_ - start);
  buffer_.resize(static_cast<std::size_t>(length));
  std::size_t got = stream_->ReadAt(start, buffer_.data(), buffer_.size());
  if (static_cast<std::int64_t>(got) <= offset - start) throw EInputError("Unexpected end of the input stream");
  window_ = buffer_.data();
  winStart_ = start;
  winLen_ = static_cast<std::int64_t>(got);
}

std::string TParser::Slice(std::int64_t from, std::int64_t to) const {
  if (to <= from) return {};
  if (from >= winStart_ && to <= winStart_ + winLen_) return std::string(window_ + (from - winStart_), window_ + (to - winStart_));
  std::string text(static_cast<std::size_t>(to - from), '\0');
  if (stream_->ReadAt(from, text.data(), text.size()) != text.size())
    throw EInputError("Unexpected end of the input stream");
  return text;
}

template <class Pred> bool TParser::ReadOne(std::string& text, Pred qualifies) {
  text.clear();
  int c = Peek();
  if (c < 0 || !qualifies(c)) return false;
  ++pos_;
  text.push_back(static_cast<char>(c));
  return true;
}

template <class Pred> bool TParser::ReadRun(std::string& text, Pred qualifies) {
  text.clear();
  std::int64_t start = pos_;
  for (int c = Peek(); c >= 0 && qualifies(c); c = Peek()) ++pos_;
  text = Slice(start, pos_);
  return pos_ > start;
}

bool TParser::ReadChars(std::string& text, int count) {
  text.clear();
  if (count < 0 || size_ - pos_ < count) return false;
  text = Slice(pos_, pos_ + count);
  pos_ += count;
  return true;
}

bool TParser::ReadWord(std::string& text) {
  return ReadRun(text, [](int c) { return !IsWhite(c); });
}

bool TParser::CheckString(std::string_view text) {
  if (size_ - pos_ < static_cast<std::int64_t>(text.size())) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (FoldCase(ByteAt(pos_ + static_cast<std::int64_t>(i))) != FoldCase(static_cast<unsigned char>(text[i])))
      return false;
  pos_ += static_cast<std::int64_t>(text.size());
  return true;
}

bool TParser::ReadLetters(std::string& text) { return ReadRun(text, IsLetter); }
bool TParser::ReadLowerLetters(std::string& text) { return ReadRun(text, IsLower); }
bool TParser::ReadLetter(std::string& text) { return ReadOne(text, IsLetter); }
bool TParser::ReadCharRun(std::string& text, char ch) {
  return ReadRun(text, [ch](int c) { return c == static_cast<unsigned char>(ch); });
}
bool TParser::ReadLowerLetter(std::string& text) { return ReadOne(text, IsLower); }
bool TParser::ReadCharInSet(std::string& text, const CharSet& set) {
  return ReadOne(text, [&set](int c) { return set.test(static_cast<std::size_t>(c)); });
}
bool TParser::ReadPunctuation(std::string& text) {
  return ReadOne(text, [](int c) { return c >= 33 && c <= 126 && !IsDigit(c) && !IsLetter(c); });
}
bool TParser::ReadAlnum(std::string& text) {
  return ReadOne(text, [](int c) { return IsDigit(c) || IsLetter(c); });
}

bool TParser::ReadDigitValue(int& value) {
  value = 0;
  int c = Peek();
  if (!IsDigit(c)) return false;
  ++pos_;
  value = c - '0';
  return true;
}

bool TParser::ReadDigit(std::string& text) { return ReadOne(text, IsDigit); }

bool TParser::ReadUnsigned(int& value) {
  value = 0;
  std::int64_t start = pos_;
  std::string digits;
  if (!ReadDigits(digits)) return false;
  try {
    value = ToInt32(digits);
  } catch (...) {
    pos_ = start;
    throw;
  }
  return true;
}

bool TParser::ReadDigits(std::string& text) { return ReadRun(text, IsDigit); }

bool TParser::ReadInteger(int& value) {
  std::int64_t start = pos_;
  std::string text;
  if (!ReadIntegerText(text)) return false;
  try {
    value = ToInt32(text);
  } catch (...) {
    pos_ = start;
    throw;
  }
  return true;
}

bool TParser::ReadIntegerText(std::string& text) {
  text.clear();
  std::int64_t start = pos_;
  int c = Peek();
  if (c == '+' || c == '-') ++pos_;
  std::string digits;
  if (!ReadDigits(digits)) {
    pos_ = start;
    return false;
  }
  text = Slice(start, pos_);
  return true;
}

bool TParser::ConvertFloat(const std::string& text, std::int64_t start, double& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first; // from_chars takes no "+"
  double result = 0.0;
  auto res = std::from_chars(first, last, result, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    if (IsOverflow(text)) {
      pos_ = start;
      throw std::out_of_range("'" + Excerpt(text) + "' is out of the floating-point range");
    }
    result = text[0] == '-' ? -0.0 : 0.0;
  } else if (res.ec != std::errc() || res.ptr != last) {
    // Cannot happen for the grammar accepted above; kept so that a grammar change can never yield garbage.
    pos_ = start;
    throw std::invalid_argument("'" + Excerpt(text) + "' is not a valid floating point value");
  }
  value = result;
  return true;
}

bool TParser::ReadFloat(double& value) {
  value = 0.0;
  std::int64_t start = pos_;
  std::string text;
  if (!ReadFloatText(text)) return false;
  return ConvertFloat(text, start, value);
}

bool TParser::ReadFloatText(std::string& text) {
  text.clear();
  std::int64_t start = pos_;
  std::string sign;
  int c = Peek();
  if (c == '+' || c == '-') {
    sign.push_back(static_cast<char>(c));
    ++pos_;
  }
  std::string digits, fraction;
  if (ReadDigits(digits)) {
    if (Peek() == '.') {
      ++pos_;
      if (!ReadDigits(fraction)) { // "5." is not a number
        pos_ = start;
        return false;
      }
      text = sign + digits + "." + fraction;
    } else {
      text = sign + digits;
    }
    return true;
  }
  if (Peek() == '.') {
    ++pos_;
    if (ReadDigits(fraction)) {
      text = sign + "0." + fraction;
      return true;
    }
  }
  pos_ = start;
  return false;
}

bool TParser::ReadFloatExp(double& value) {
  value = 0.0;
  std::int64_t start = pos_;
  auto fail = [&] {
    pos_ = start;
    return false;
  };
  int c = Peek();
  if (c == '+' || c == '-') ++pos_;
  std::string digits;
  if (!ReadDigits(digits)) return fail();
  if (Peek() == '.') {
    ++pos_;
    if (!ReadDigits(digits)) return fail();
  }
  if (Peek() == 'e') {
    ++pos_;
    c = Peek();
    if (c == '+' || c == '-') ++pos_;
    if (!ReadDigits(digits)) return fail();
  }
  return ConvertFloat(Slice(start, pos_), start, value);
}

bool TParser::ReadBit(int& value) {
  int c = Peek();
  if (c != '0' && c != '1') return false;
  ++pos_;
  value = c - '0';
  return true;
}

bool TParser::ReadSigns(std::string& text) {
  return ReadRun(text, [](int c) { return c == '+' || c == '-'; });
}

bool TParser::ReadLine(std::string& text) {
  text.clear();
  // Readers call this once per line of files of millions of lines: the line is searched inside the window and
  // copied into the caller's buffer, whose storage is reused from line to line.
  while (pos_ < size_) {
    if (pos_ < winStart_ || pos_ >= winStart_ + winLen_) Fill(pos_);
    const char* from = window_ + (pos_ - winStart_);
    const char* end = window_ + winLen_;
    const char* at = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
    if (!at) at = end;
    // A CR ends the line too (CR LF, or a lone CR of old files): the first CR before the LF, if any.
    if (const void* cr = std::memchr(from, '\r', static_cast<std::size_t>(at - from)))
      at = static_cast<const char*>(cr);
    text.append(from, at);
    pos_ += at - from;
    if (at != end) {
      const char c = *at;
      ++pos_;
      if (c == '\r' && Peek() == '\n') ++pos_;
      return true;
    }
  }
  return false;
}

bool TParser::ReadLineEnd() {
  std::int64_t start = pos_;
  while (Peek() == '\r') ++pos_;
  if (Peek() == '\n') {
    ++pos_;
    return true;
  }
  pos_ = start;
  return false;
}

bool TParser::SkipLine() {
  // A lone CR ends a line as well (files of old Macintosh programs): skipping to the next LF would swallow the
  // rest of such a file. CR LF stays one line end.
  while (pos_ < size_) {
    const int c = ByteAt(pos_++);
    if (c == '\n') return true;
    if (c == '\r') {
      if (Peek() == '\n') ++pos_;
      return true;
    }
  }
  return false;
}

bool TParser::SkipLineAndBlanks() {
  bool result = SkipLine();
  SkipBlanks();
  return result;
}

void TParser::SkipWhite() {
  while (IsWhite(Peek())) ++pos_;
}

bool TParser::SkipBlanks() {
  while (IsBlank(Peek())) ++pos_;
  return true;
}

void TParser::SeekEnd() { pos_ = size_; }

void TParser::Back(std::int64_t count) {
  // Compared without forming pos_ - count, which could overflow for absurd counts.
  if (count > pos_ || (count < 0 && -(count + 1) >= size_ - pos_))
    throw std::out_of_range("tokenizer position moved outside the stream");
  pos_ -= count;
}

std::string TParser::GetMarkedText() {
  std::string text;
  if (mark_ >= 0 && pos_ > mark_) text = Slice(mark_, pos_);
  mark_ = -1;
  return text;
}

std::int64_t TParser::Mark() {
  mark_ = pos_;
  return mark_;
}

bool TParser::AtEndOfLine() const {
  int c = Peek();
  return c < 0 || IsLineEnd(c);
}

std::int64_t TParser::GetLineNumber() const {
  // A line end is a CR, or an LF not preceded by a CR: CR LF counts once, lone LF and lone CR once each. Each
  // byte's share depends only on itself and the byte before, so counts over ranges add up.
  auto count = [this](std::int64_t from, std::int64_t to) {
    std::int64_t lines = 0;
    for (std::int64_t i = from; i < to; ++i) {
      int c = ByteAt(i);
      if (c == '\r' || (c == '\n' && (i == 0 || ByteAt(i - 1) != '\r'))) ++lines;
    }
    return lines;
  };
  if (pos_ > lineAt_)
    line_ += count(lineAt_, pos_);
  else if (pos_ < lineAt_)
    line_ -= count(pos_, lineAt_);
  lineAt_ = pos_;
  return line_;
}

} // namespace corvatin
