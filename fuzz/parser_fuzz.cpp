// Fuzzes the tokenizer: the input is a text followed by a script of operations with their arguments. After every
// operation the position, the line number and the promises of the operation are checked against the text
// itself; any broken promise aborts, as do sanitizer findings and exceptions other than the documented ones.

#include "core/parser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace corvatin;

namespace {

// A memory stream that hides its buffer, so the tokenizer takes the windowed path it uses for files.
class TWindowedStream : public IByteStream {
public:
  explicit TWindowedStream(std::string text) : text_(std::move(text)) {}
  std::int64_t GetSize() const override { return static_cast<std::int64_t>(text_.size()); }
  std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t count) override {
    if (offset < 0 || offset >= GetSize()) return 0;
    std::size_t n = std::min(count, text_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, text_.data() + offset, n);
    return n;
  }

private:
  std::string text_;
};

[[noreturn]] void Fail(const char* what, int op) {
  std::fprintf(stderr, "tokenizer promise broken after operation %d: %s\n", op, what);
  std::abort();
}

void Check(bool ok, const char* what, int op) {
  if (!ok) Fail(what, op);
}

// The line of a position counted directly: CR, or LF not preceded by CR, ends a line.
std::int64_t LineOf(const std::string& text, std::int64_t pos) {
  std::int64_t line = 1;
  for (std::int64_t i = 0; i < pos; ++i) {
    char c = text[static_cast<std::size_t>(i)];
    if (c == '\r' || (c == '\n' && (i == 0 || text[static_cast<std::size_t>(i - 1)] != '\r'))) ++line;
  }
  return line;
}

bool HasLineEnd(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool windowed = in.ConsumeBool();
  const std::string text = in.ConsumeRandomLengthString(4096);
  std::shared_ptr<IByteStream> stream;
  if (windowed)
    stream = std::make_shared<TWindowedStream>(text);
  else
    stream = std::make_shared<TMemoryStream>(text);
  TParser p(stream);
  const auto n = static_cast<std::int64_t>(text.size());

  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    const int op = in.ConsumeIntegralInRange<int>(1, 42);
    const std::int64_t before = p.GetPosition();
    std::string s, arg = in.ConsumeRandomLengthString(8);
    int iv = 0, index = 0;
    double dv = 0;
    bool ok = false, restored = false; // restored: a false result promises the position unchanged
    bool threw = false;
    try {
      switch (op) {
      case 1: ok = p.ReadChars(s, in.ConsumeIntegralInRange<int>(-2, 300)); restored = true;
        if (ok) Check(s == text.substr(static_cast<std::size_t>(before), s.size()), "ReadChars text", op);
        break;
      case 2: ok = p.ReadWord(s); restored = true; break;
      case 3: ok = p.CheckString(arg); restored = true; break;
      case 4: ok = p.ReadLetters(s); restored = true; break;
      case 5: ok = p.ReadLowerLetters(s); restored = true; break;
      case 6: ok = p.ReadLetter(s); restored = true; break;
      case 7: ok = p.ReadCharRun(s, arg.empty() ? 'a' : arg[0]); restored = true; break;
      case 8: ok = p.ReadLowerLetter(s); restored = true; break;
      case 9: ok = p.ReadCharInSet(s, MakeCharSet(arg)); restored = true; break;
      case 10: ok = p.ReadPunctuation(s); restored = true; break;
      case 11: ok = p.ReadAlnum(s); restored = true; break;
      case 12: ok = p.ReadDigitValue(iv); restored = true; Check(iv >= 0 && iv <= 9, "digit value", op); break;
      case 13: ok = p.ReadDigit(s); restored = true; break;
      case 14: ok = p.ReadUnsigned(iv); restored = true; Check(iv >= 0, "unsigned value", op); break;
      case 15: ok = p.ReadDigits(s); restored = true; break;
      case 16: ok = p.ReadInteger(iv); restored = true; break;
      case 17: ok = p.ReadIntegerText(s); restored = true; break;
      case 18: ok = p.ReadFloat(dv); restored = true; break;
      case 19: ok = p.ReadFloatText(s); restored = true;
        if (ok) Check(s.find('e') == std::string::npos && s.back() != '.', "float text grammar", op);
        break;
      case 20: ok = p.ReadFloatExp(dv); restored = true; break;
      case 21: ok = p.ReadBit(iv); restored = true; break;
      case 22: ok = p.ReadSigns(s); restored = true; break;
      case 23:
        ok = p.SkipPast(arg);
        if (ok && !arg.empty())
          Check(static_cast<std::int64_t>(text.find(arg, static_cast<std::size_t>(before)) + arg.size()) ==
                    p.GetPosition(),
                "SkipPast stops after the first occurrence", op);
        if (!ok) Check(p.AtEnd(), "SkipPast fails at the end", op);
        break;
      case 24:
        ok = p.SkipPastInLine(arg);
        if (!ok) Check(p.AtEndOfLine(), "SkipPastInLine fails at a line end", op);
        break;
      case 25: {
        bool keep = in.ConsumeBool();
        ok = p.ReadUntil(arg, s, keep);
        Check(s == text.substr(static_cast<std::size_t>(before), s.size()) &&
                  p.GetPosition() == before + static_cast<std::int64_t>(s.size()),
              "ReadUntil text is what was read", op);
        Check(!HasLineEnd(s), "ReadUntil stays in the line", op);
        if (ok && !keep && !arg.empty())
          Check(s.find(arg) + arg.size() == s.size(), "ReadUntil stops after the first occurrence", op);
        break;
      }
      case 26: {
        std::vector<std::string> targets{arg, in.ConsumeRandomLengthString(8)};
        ok = p.SkipPastAny(targets, index);
        if (ok) {
          const std::string& t = targets[static_cast<std::size_t>(index)];
          Check(p.GetPosition() >= static_cast<std::int64_t>(t.size()) &&
                    text.compare(static_cast<std::size_t>(p.GetPosition()) - t.size(), t.size(), t) == 0,
                "SkipPastAny stops after its target", op);
        } else {
          Check(index == -1 && p.AtEnd(), "SkipPastAny fails at the end", op);
        }
        break;
      }
      case 27: {
        std::vector<std::string> targets{arg, in.ConsumeRandomLengthString(8)};
        ok = p.MatchAnyInLine(targets, index);
        Check(ok == (index >= 0), "MatchAnyInLine index", op);
        if (!ok) Check(p.AtEndOfLine(), "MatchAnyInLine fails at a line end", op);
        break;
      }
      case 28:
        ok = p.ReadLine(s);
        Check(!HasLineEnd(s), "ReadLine text holds no line end", op);
        if (!ok) Check(p.AtEnd(), "ReadLine fails only at the end", op);
        break;
      case 29: ok = p.ReadLineEnd(); restored = true; break;
      case 30: ok = p.SkipLine(); break;
      case 31: ok = p.SkipLineAndBlanks(); break;
      case 32: p.SkipWhite(); break;
      case 33: ok = p.SkipBlanks(); Check(ok, "SkipBlanks is always true", op); break;
      case 34: p.SeekEnd(); Check(p.AtEnd(), "SeekEnd", op); break;
      case 35: p.Back(in.ConsumeIntegralInRange<std::int64_t>(-n - 2, n + 2)); break;
      case 36: {
        std::string marked = p.GetMarkedText();
        Check(marked.size() <= static_cast<std::size_t>(before), "marked text length", op);
        Check(text.compare(static_cast<std::size_t>(before) - marked.size(), marked.size(), marked) == 0,
              "marked text ends at the position", op);
        break;
      }
      case 37: Check(p.Mark() == before, "Mark returns the position", op); break;
      case 38: {
        bool eol = p.AtEndOfLine();
        Check(eol == (before >= n || text[static_cast<std::size_t>(before)] == '\r' ||
                      text[static_cast<std::size_t>(before)] == '\n'),
              "AtEndOfLine", op);
        break;
      }
      case 39: Check(p.AtEnd() == (before == n), "AtEnd", op); break;
      case 40: break;
      case 41: Check(p.GetSize() == n, "GetSize", op); break;
      case 42: break;
      default: break;
      }
    } catch (const std::out_of_range&) {
      // Numbers that do not fit and Back outside the stream: documented, and nothing may have moved.
      threw = true;
      Check(op == 14 || op == 16 || op == 18 || op == 20 || op == 35, "unexpected out_of_range", op);
      Check(p.GetPosition() == before, "a throwing read consumed input", op);
    }
    if (!threw && restored && !ok) Check(p.GetPosition() == before, "a failed read moved", op);
    Check(p.GetPosition() >= 0 && p.GetPosition() <= n, "position inside the stream", op);
    Check(p.GetLineNumber() == LineOf(text, p.GetPosition()), "line number", op);
  }
  return 0;
}
