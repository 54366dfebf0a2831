#pragma once
// The character-level tokenizer under every text reader: classification files, structure files and SMILES
// strings. It never skips anything on its own: each operation reads exactly what it names from the current
// position, and a failed single-item read leaves the position where it was, so callers can try alternatives.

#include "core/object.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvatin {

/// A seekable, fixed-size source of bytes: a memory buffer or a file. Bytes are single-byte characters.
class IByteStream {
public:
  virtual ~IByteStream() = default;
  /// The number of bytes; fixed while the stream is read.
  virtual std::int64_t GetSize() const = 0;
  /// Copies up to count bytes starting at offset into buffer and returns the number copied (fewer only past the
  /// end). Read failures throw EInputError.
  virtual std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t count) = 0;
  /// The whole content when it already lives in memory, so the tokenizer can read it in place; else nullptr.
  virtual const char* Data() const { return nullptr; }
};

/// A stream over text held in memory (a SMILES string, a test input, a file read beforehand).
class TMemoryStream : public IByteStream {
public:
  explicit TMemoryStream(std::string text) : text_(std::move(text)) {}
  std::int64_t GetSize() const override { return static_cast<std::int64_t>(text_.size()); }
  std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t count) override;
  const char* Data() const override { return text_.data(); }

private:
  std::string text_;
};

/// A stream over a file opened for reading; its size is taken at opening.
class TFileStream : public IByteStream {
public:
  /// Throws EInputError `Cannot open file "%s"` (with the system's reason) when the file cannot be opened.
  explicit TFileStream(const std::string& fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t GetSize() const override { return size_; }
  std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t count) override;
  const std::string& FileName() const { return fileName_; }

private:
  std::string fileName_;
  std::FILE* file_ = nullptr;
  std::int64_t size_ = 0;
};

/// A set of byte values, for ReadCharInSet.
using CharSet = std::bitset<256>;

/// The set holding every byte of chars.
CharSet MakeCharSet(std::string_view chars);

/// The tokenizer interface, operations in their classic slot order. Text results are cleared first. Positions
/// are byte offsets from the start of the stream. Lines end at CR LF, a lone LF or a lone CR.
class IParser : public virtual IObject {
public:
  /// Exactly count bytes; otherwise (too few left, or count < 0) nothing is consumed and the result is false.
  virtual bool ReadChars(std::string& text, int count) = 0;
  /// Characters up to the next white character (space, tab, CR, LF) or the end; true when not empty.
  virtual bool ReadWord(std::string& text) = 0;
  /// Consumes text when the next characters equal it, ignoring letter case; else consumes nothing.
  virtual bool CheckString(std::string_view text) = 0;
  virtual bool ReadLetters(std::string& text) = 0;            ///< a run of A-Z, a-z
  virtual bool ReadLowerLetters(std::string& text) = 0;       ///< a run of a-z
  virtual bool ReadLetter(std::string& text) = 0;             ///< one of A-Z, a-z
  virtual bool ReadCharRun(std::string& text, char ch) = 0;   ///< a run of ch
  virtual bool ReadLowerLetter(std::string& text) = 0;        ///< one of a-z
  virtual bool ReadCharInSet(std::string& text, const CharSet& set) = 0; ///< one character of set
  virtual bool ReadPunctuation(std::string& text) = 0;        ///< one of 33..126 that is not a digit or letter
  virtual bool ReadAlnum(std::string& text) = 0;              ///< one digit or letter
  virtual bool ReadDigitValue(int& value) = 0;                ///< one digit; value 0..9, 0 when none
  virtual bool ReadDigit(std::string& text) = 0;              ///< one digit
  /// A run of digits as a number, 0 when none. A number above 2147483647 throws std::out_of_range and
  /// consumes nothing.
  virtual bool ReadUnsigned(int& value) = 0;
  virtual bool ReadDigits(std::string& text) = 0; ///< a run of digits
  /// ReadIntegerText converted; value unchanged when there is none. A number outside the 32-bit range throws
  /// std::out_of_range and consumes nothing.
  virtual bool ReadInteger(int& value) = 0;
  /// An optional single "+" or "-", then one or more digits; else nothing consumed, false.
  virtual bool ReadIntegerText(std::string& text) = 0;
  /// ReadFloatText converted; 0 when there is none. A magnitude beyond the double range throws
  /// std::out_of_range and consumes nothing (one too small to represent reads as 0).
  virtual bool ReadFloat(double& value) = 0;
  /// [sign] digits ["." digits] or [sign] "." digits (stored with a "0" in front); no exponent. A number ending
  /// in "." is not a number (nothing consumed, false).
  virtual bool ReadFloatText(std::string& text) = 0;
  /// [sign] digits ["." digits] ["e" [sign] digits]; only lower-case "e" marks an exponent. A "." or "e" without
  /// following digits makes the whole text no number (nothing consumed, value 0, false). Overflow as ReadFloat.
  virtual bool ReadFloatExp(double& value) = 0;
  virtual bool ReadBit(int& value) = 0;          ///< one "0" or "1"; value unchanged when neither
  virtual bool ReadSigns(std::string& text) = 0; ///< a run of "+" and "-"
  /// Reads on across lines until target has been read (position right after it); false at the end of the
  /// stream. Case-sensitive; finds the first occurrence.
  virtual bool SkipPast(std::string_view target) = 0;
  /// As SkipPast within the line: at a line end (left unread) the result is false.
  virtual bool SkipPastInLine(std::string_view target) = 0;
  /// Reads within the line until target has been read; text gets every character read, target included. At a
  /// line end (left unread) or the end of the stream the result is false. With keepPartial the target's
  /// characters may be separated by other characters (matched in order, as a subsequence).
  virtual bool ReadUntil(std::string_view target, std::string& text, bool keepPartial) = 0;
  /// Searches the stream in blocks of max(200, longest target) bytes; in each block the first target in list
  /// order that occurs in it wins (not the earliest occurrence). Position right after it, index its number;
  /// false (index -1, position at the end) when none occurs.
  virtual bool SkipPastAny(const std::vector<std::string>& targets, int& index) = 0;
  /// As SkipPastInLine for several targets; index of the target completed first (list order on a tie); -1 and
  /// false at the line end (left unread) or the end of the stream.
  virtual bool MatchAnyInLine(const std::vector<std::string>& targets, int& index) = 0;
  /// The rest of the line without its end; the line end (CR LF, lone LF or lone CR) is consumed. True when a
  /// line end was found, false for a last line without one (text still holds it) and at the end of the stream.
  virtual bool ReadLine(std::string& text) = 0;
  /// Any CRs followed by one LF; else nothing consumed, false.
  virtual bool ReadLineEnd() = 0;
  /// Consumes up to and including the next line end (LF, CR LF or a lone CR); true when one was found.
  virtual bool SkipLine() = 0;
  /// SkipLine, then SkipBlanks; the result of SkipLine.
  virtual bool SkipLineAndBlanks() = 0;
  virtual void SkipWhite() = 0;  ///< consumes spaces, tabs, CRs and LFs
  virtual bool SkipBlanks() = 0; ///< consumes spaces and tabs; always true
  virtual void SeekEnd() = 0;
  /// Position := position - count; a result outside 0..size throws std::out_of_range.
  virtual void Back(std::int64_t count) = 0;
  /// The text from the mark to the position when a mark is set before it, else empty; clears the mark. The
  /// mark is 0 (the start) until the first Mark.
  virtual std::string GetMarkedText() = 0;
  virtual std::int64_t Mark() = 0;          ///< sets the mark to the position and returns it
  virtual bool AtEndOfLine() const = 0;     ///< at the end, or the next character is CR or LF
  virtual bool AtEnd() const = 0;
  virtual std::int64_t GetPosition() const = 0;
  virtual std::int64_t GetSize() const = 0;
  /// The 1-based line of the position: 1 + the line ends (CR LF, lone LF, lone CR) before it, whatever
  /// operations moved there.
  virtual std::int64_t GetLineNumber() const = 0;
};

/// The tokenizer over a byte stream. Used by one thread at a time.
class TParser : public virtual IParser {
public:
  /// Reads stream; the tokenizer holds a counted reference, so it owns the stream unless the caller keeps one.
  explicit TParser(std::shared_ptr<IByteStream> stream);

  bool ReadChars(std::string& text, int count) override;
  bool ReadWord(std::string& text) override;
  bool CheckString(std::string_view text) override;
  bool ReadLetters(std::string& text) override;
  bool ReadLowerLetters(std::string& text) override;
  bool ReadLetter(std::string& text) override;
  bool ReadCharRun(std::string& text, char ch) override;
  bool ReadLowerLetter(std::string& text) override;
  bool ReadCharInSet(std::string& text, const CharSet& set) override;
  bool ReadPunctuation(std::string& text) override;
  bool ReadAlnum(std::string& text) override;
  bool ReadDigitValue(int& value) override;
  bool ReadDigit(std::string& text) override;
  bool ReadUnsigned(int& value) override;
  bool ReadDigits(std::string& text) override;
  bool ReadInteger(int& value) override;
  bool ReadIntegerText(std::string& text) override;
  bool ReadFloat(double& value) override;
  bool ReadFloatText(std::string& text) override;
  bool ReadFloatExp(double& value) override;
  bool ReadBit(int& value) override;
  bool ReadSigns(std::string& text) override;
  bool SkipPast(std::string_view target) override;
  bool SkipPastInLine(std::string_view target) override;
  bool ReadUntil(std::string_view target, std::string& text, bool keepPartial) override;
  bool SkipPastAny(const std::vector<std::string>& targets, int& index) override;
  bool MatchAnyInLine(const std::vector<std::string>& targets, int& index) override;
  bool ReadLine(std::string& text) override;
  bool ReadLineEnd() override;
  bool SkipLine() override;
  bool SkipLineAndBlanks() override;
  void SkipWhite() override;
  bool SkipBlanks() override;
  void SeekEnd() override;
  void Back(std::int64_t count) override;
  std::string GetMarkedText() override;
  std::int64_t Mark() override;
  bool AtEndOfLine() const override;
  bool AtEnd() const override { return pos_ >= size_; }
  std::int64_t GetPosition() const override { return pos_; }
  std::int64_t GetSize() const override { return size_; }
  std::int64_t GetLineNumber() const override;
  /// Numbers the text's first line line instead of 1 (once, before reading): for a piece cut out of a file, so
  /// that messages name the file's own line.
  void NumberLinesFrom(std::int64_t line) { line_ += line - 1; }

private:
  /// The byte at the position, or -1 at the end; does not move.
  int Peek() const { return pos_ < size_ ? ByteAt(pos_) : -1; }
  /// The byte at offset (0 <= offset < size).
  int ByteAt(std::int64_t offset) const {
    if (offset < winStart_ || offset >= winStart_ + winLen_) Fill(offset);
    return static_cast<unsigned char>(window_[offset - winStart_]);
  }
  void Fill(std::int64_t offset) const;
  std::string Slice(std::int64_t from, std::int64_t to) const;
  template <class Pred> bool ReadOne(std::string& text, Pred qualifies);
  template <class Pred> bool ReadRun(std::string& text, Pred qualifies);
  bool ConvertFloat(const std::string& text, std::int64_t start, double& value);

  std::shared_ptr<IByteStream> stream_;
  std::int64_t size_ = 0;
  std::int64_t pos_ = 0;
  std::int64_t mark_ = 0;
  // Read window: the whole text for memory streams, a block of the file otherwise.
  mutable const char* window_ = nullptr;
  mutable std::int64_t winStart_ = 0;
  mutable std::int64_t winLen_ = 0;
  mutable std::vector<char> buffer_;
  // The line number is exact at lineAt_ and brought up to the position when asked, so operations that jump
  // (block search, restores, Back) can never leave it wrong.
  mutable std::int64_t lineAt_ = 0;
  mutable std::int64_t line_ = 1;
};

/// A tokenizer over text in memory.
Ptr<TParser> NewTextParser(std::string text);

/// A tokenizer owning a stream over the named file; throws EInputError when it cannot be opened.
Ptr<TParser> NewFileParser(const std::string& fileName);

} // namespace corvatin
