#include "inputs/text_fields.h"

#include "core/numtext.h"

#include <cmath>
#include <stdexcept>

namespace corvatin::text_fields {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [sign] digits ["." digits] | [sign] "." digits, then optionally (e|E) [sign] digits; nothing else.
bool IsNumberText(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    std::size_t fraction = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++fraction;
    if (fraction == 0) return false; // "5." is no number here either
    digits += fraction;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == text.size();
}

} // namespace

int Peek(IParser& tokenizer) {
  std::string ch;
  if (!tokenizer.ReadChars(ch, 1)) return -1;
  tokenizer.Back(1);
  return static_cast<unsigned char>(ch[0]);
}

bool AtBlank(IParser& tokenizer) {
  const int c = Peek(tokenizer);
  return c == ' ' || c == '\t';
}

bool ReadUnsigned(IParser& tokenizer, int& value) {
  try {
    return tokenizer.ReadUnsigned(value);
  } catch (const std::out_of_range&) {
    return false; // the tokenizer consumed nothing
  }
}

bool ReadInteger(IParser& tokenizer, int& value) {
  try {
    return tokenizer.ReadInteger(value);
  } catch (const std::out_of_range&) {
    return false;
  }
}

bool ReadFloat(IParser& tokenizer, double& value) {
  try {
    return tokenizer.ReadFloat(value);
  } catch (const std::out_of_range&) {
    return false;
  }
}

bool ReadNumberToken(IParser& tokenizer, double& value) {
  const std::int64_t start = tokenizer.GetPosition();
  std::string word;
  if (!tokenizer.ReadWord(word) || !IsNumberText(word)) {
    BackTo(tokenizer, start);
    return false;
  }
  try {
    value = TextToFloat(word);
  } catch (const std::exception&) {
    BackTo(tokenizer, start);
    return false;
  }
  if (!std::isfinite(value)) {
    BackTo(tokenizer, start);
    return false;
  }
  return true;
}

bool ReadWord(IParser& tokenizer, std::string& text) { return tokenizer.ReadWord(text); }

bool BlanksToLineEnd(IParser& tokenizer) {
  tokenizer.SkipBlanks();
  return tokenizer.AtEndOfLine();
}

void BackTo(IParser& tokenizer, std::int64_t position) { tokenizer.Back(tokenizer.GetPosition() - position); }

bool CoordinateInRange(double value) { return std::fabs(value) <= kCoordinateLimit; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string TrimBlanks(std::string_view text) {
  const auto begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const auto end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

} // namespace corvatin::text_fields
