// The tokenizer: end-of-text behaviour of every read, failed reads leaving the position, number grammar and
// range, searches, line ends of LF and CR LF files and exact line numbers. Every test runs over a memory buffer
// and over a file, whose reads go through a window that is refilled as the position moves.

#include "core/errors.h"
#include "core/parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

using namespace corvatin;
namespace fs = std::filesystem;

namespace {

enum class Source { Memory, File };

class ParserTest : public ::testing::TestWithParam<Source> {
protected:
  void TearDown() override {
    for (const auto& f : files_) fs::remove(f);
  }
  Ptr<TParser> Open(const std::string& text) {
    if (GetParam() == Source::Memory) return NewTextParser(text);
    auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->name()) + "-" + std::to_string(files_.size());
    for (char& c : name)
      if (c == '/') c = '_';
    fs::path file = fs::temp_directory_path() / ("corvatin-parser-" + name + ".txt");
    std::ofstream(file, std::ios::binary) << text;
    files_.push_back(file);
    return NewFileParser(file.string());
  }
  std::vector<fs::path> files_;
};

std::string Name(const ::testing::TestParamInfo<Source>& info) {
  return info.param == Source::Memory ? "Memory" : "File";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Streams, ParserTest, ::testing::Values(Source::Memory, Source::File), Name);

// --- single items and runs ---

TEST_P(ParserTest, EveryReadAtTheEndOfTheTextFailsWithoutMoving) {
  auto p = Open("");
  std::string text = "old";
  int i = 5;
  double d = 5;
  EXPECT_TRUE(p->AtEnd());
  EXPECT_TRUE(p->AtEndOfLine());
  EXPECT_FALSE(p->ReadChars(text, 1));
  EXPECT_TRUE(p->ReadChars(text, 0));
  EXPECT_FALSE(p->ReadWord(text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(p->CheckString("a"));
  EXPECT_TRUE(p->CheckString(""));
  EXPECT_FALSE(p->ReadLetters(text));
  EXPECT_FALSE(p->ReadLowerLetters(text));
  EXPECT_FALSE(p->ReadLetter(text));
  EXPECT_FALSE(p->ReadCharRun(text, 'x'));
  EXPECT_FALSE(p->ReadLowerLetter(text));
  EXPECT_FALSE(p->ReadCharInSet(text, MakeCharSet("abc")));
  EXPECT_FALSE(p->ReadPunctuation(text));
  EXPECT_FALSE(p->ReadAlnum(text));
  EXPECT_FALSE(p->ReadDigitValue(i));
  EXPECT_EQ(i, 0);
  EXPECT_FALSE(p->ReadDigit(text));
  i = 5;
  EXPECT_FALSE(p->ReadUnsigned(i));
  EXPECT_EQ(i, 0);
  EXPECT_FALSE(p->ReadDigits(text));
  i = 5;
  EXPECT_FALSE(p->ReadInteger(i));
  EXPECT_EQ(i, 5); // left unchanged
  EXPECT_FALSE(p->ReadIntegerText(text));
  EXPECT_FALSE(p->ReadFloat(d));
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(p->ReadFloatText(text));
  d = 5;
  EXPECT_FALSE(p->ReadFloatExp(d));
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(p->ReadBit(i));
  EXPECT_FALSE(p->ReadSigns(text));
  EXPECT_FALSE(p->SkipPast("x"));
  EXPECT_FALSE(p->SkipPastInLine("x"));
  EXPECT_FALSE(p->ReadUntil("x", text, false));
  EXPECT_FALSE(p->SkipPastAny({"x"}, i));
  EXPECT_EQ(i, -1);
  EXPECT_FALSE(p->MatchAnyInLine({"x"}, i));
  EXPECT_FALSE(p->ReadLine(text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(p->ReadLineEnd());
  EXPECT_FALSE(p->SkipLine());
  EXPECT_FALSE(p->SkipLineAndBlanks());
  p->SkipWhite();
  EXPECT_TRUE(p->SkipBlanks());
  EXPECT_EQ(p->GetMarkedText(), "");
  EXPECT_EQ(p->GetPosition(), 0);
  EXPECT_EQ(p->GetLineNumber(), 1);
}

TEST_P(ParserTest, ReadCharsTakesExactlyTheCountOrNothing) {
  auto p = Open("abc");
  std::string text;
  EXPECT_FALSE(p->ReadChars(text, 4));
  EXPECT_EQ(p->GetPosition(), 0);
  EXPECT_FALSE(p->ReadChars(text, -1));
  EXPECT_TRUE(p->ReadChars(text, 2));
  EXPECT_EQ(text, "ab");
  EXPECT_TRUE(p->ReadChars(text, 1));
  EXPECT_EQ(text, "c");
  EXPECT_TRUE(p->AtEnd());
}

TEST_P(ParserTest, ReadWordDoesNotSkipLeadingWhite) {
  auto p = Open("ab\tcd");
  std::string text;
  EXPECT_TRUE(p->ReadWord(text));
  EXPECT_EQ(text, "ab");
  EXPECT_FALSE(p->ReadWord(text));
  EXPECT_EQ(p->GetPosition(), 2);
  p->SkipWhite();
  EXPECT_TRUE(p->ReadWord(text));
  EXPECT_EQ(text, "cd");
}

TEST_P(ParserTest, CheckStringIgnoresLetterCaseAndRestoresOnMismatch) {
  for (const char* input : {"Class", "CLASS", "class"}) {
    auto p = Open(input);
    EXPECT_TRUE(p->CheckString("class")) << input;
    EXPECT_TRUE(p->AtEnd());
  }
  auto p = Open("clasp");
  EXPECT_FALSE(p->CheckString("class"));
  EXPECT_EQ(p->GetPosition(), 0);
  EXPECT_FALSE(p->CheckString("clasps")); // longer than the rest of the text
  EXPECT_EQ(p->GetPosition(), 0);
}

TEST_P(ParserTest, CharacterClassReadsStepBackOverANonQualifyingCharacter) {
  auto p = Open("abC1(x\x7f");
  std::string text;
  EXPECT_TRUE(p->ReadLowerLetters(text));
  EXPECT_EQ(text, "ab");
  EXPECT_FALSE(p->ReadLowerLetter(text));
  EXPECT_TRUE(p->ReadLetter(text));
  EXPECT_EQ(text, "C");
  EXPECT_FALSE(p->ReadLetters(text));
  EXPECT_FALSE(p->ReadPunctuation(text)); // a digit is not punctuation
  EXPECT_TRUE(p->ReadAlnum(text));
  EXPECT_EQ(text, "1");
  EXPECT_FALSE(p->ReadAlnum(text));
  EXPECT_TRUE(p->ReadPunctuation(text));
  EXPECT_EQ(text, "(");
  EXPECT_FALSE(p->ReadCharInSet(text, MakeCharSet("yz")));
  EXPECT_TRUE(p->ReadCharInSet(text, MakeCharSet("xyz")));
  EXPECT_FALSE(p->ReadPunctuation(text)); // DEL (127) is not printable
  EXPECT_EQ(p->GetPosition(), 6);
}

TEST_P(ParserTest, RunsOfOneCharacterAndOfSigns) {
  auto p = Open("===+-+-1");
  std::string text;
  EXPECT_TRUE(p->ReadCharRun(text, '='));
  EXPECT_EQ(text, "===");
  EXPECT_FALSE(p->ReadCharRun(text, '='));
  EXPECT_TRUE(p->ReadSigns(text));
  EXPECT_EQ(text, "+-+-");
  int bit = 7;
  EXPECT_TRUE(p->ReadBit(bit));
  EXPECT_EQ(bit, 1);
  bit = 7;
  EXPECT_FALSE(p->ReadBit(bit));
  EXPECT_EQ(bit, 7);
}

TEST_P(ParserTest, CharacterSetsTakeBytesAbove127) {
  auto p = Open("\xb5x");
  std::string text;
  EXPECT_TRUE(p->ReadCharInSet(text, MakeCharSet("\xb5")));
  EXPECT_EQ(text, "\xb5");
}

// --- integers ---

TEST_P(ParserTest, DigitReads) {
  auto p = Open("7x");
  int value = -1;
  EXPECT_TRUE(p->ReadDigitValue(value));
  EXPECT_EQ(value, 7);
  EXPECT_FALSE(p->ReadDigitValue(value));
  EXPECT_EQ(value, 0);
  std::string text;
  EXPECT_FALSE(p->ReadDigit(text));
  EXPECT_EQ(p->GetPosition(), 1);
}

TEST_P(ParserTest, ReadUnsignedTakesTheWholeDigitRun) {
  auto p = Open("0000000000000000000042x");
  int value = -1;
  EXPECT_TRUE(p->ReadUnsigned(value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(p->ReadUnsigned(value));
  EXPECT_EQ(value, 0);
}

TEST_P(ParserTest, IntegersThatDoNotFit32BitsThrowAndConsumeNothing) {
  // 2^31 - 1 = 2147483647 is the largest 32-bit signed integer, -2^31 the smallest.
  int value = 0;
  EXPECT_TRUE(Open("2147483647")->ReadUnsigned(value));
  EXPECT_EQ(value, 2147483647);
  EXPECT_TRUE(Open("-2147483648")->ReadInteger(value));
  EXPECT_EQ(value, std::numeric_limits<int>::min());
  for (const char* input : {"2147483648", "4294967296", "99999999999999999999999"}) {
    auto p = Open(input);
    EXPECT_THROW(p->ReadUnsigned(value), std::out_of_range) << input;
    EXPECT_EQ(p->GetPosition(), 0);
  }
  for (const char* input : {"2147483648", "-2147483649", "+4294967297"}) {
    auto p = Open(input);
    value = 3;
    EXPECT_THROW(p->ReadInteger(value), std::out_of_range) << input;
    EXPECT_EQ(value, 3);
    EXPECT_EQ(p->GetPosition(), 0);
  }
  EXPECT_THROW(Open(std::string(100000, '9'))->ReadUnsigned(value), std::out_of_range);
}

TEST_P(ParserTest, IntegerTextNeedsADigitAfterOneSign) {
  std::string text;
  int value = 9;
  auto p = Open("+5");
  EXPECT_TRUE(p->ReadInteger(value));
  EXPECT_EQ(value, 5);
  for (const char* input : {"-", "--5", "+x", "x"}) {
    auto q = Open(input);
    EXPECT_FALSE(q->ReadIntegerText(text)) << input;
    EXPECT_EQ(q->GetPosition(), 0);
  }
  auto r = Open("-12a");
  EXPECT_TRUE(r->ReadIntegerText(text));
  EXPECT_EQ(text, "-12");
}

// --- decimal numbers ---

TEST_P(ParserTest, FloatTextGrammarWithoutExponent) {
  struct Case {
    const char* input;
    bool ok;
    const char* text;
    int position;
  };
  const Case cases[] = {
      {".5", true, "0.5", 2},   {"5.", false, "", 0},      {"-.5", true, "-0.5", 3}, {"1e5", true, "1", 1},
      {"5.x", false, "", 0},    {"-", false, "", 0},       {".", false, "", 0},      {"+3.25;", true, "+3.25", 5},
      {"1.5.3", true, "1.5", 3}, {"-.x", false, "", 0},
  };
  for (const auto& c : cases) {
    auto p = Open(c.input);
    std::string text = "old";
    EXPECT_EQ(p->ReadFloatText(text), c.ok) << c.input;
    EXPECT_EQ(text, c.text) << c.input;
    EXPECT_EQ(p->GetPosition(), c.position) << c.input;
  }
  double value = 9;
  EXPECT_TRUE(Open("-.25")->ReadFloat(value));
  EXPECT_EQ(value, -0.25);
  EXPECT_FALSE(Open("x")->ReadFloat(value));
  EXPECT_EQ(value, 0.0);
}

TEST_P(ParserTest, FloatWithExponentGrammar) {
  struct Case {
    const char* input;
    bool ok;
    double value;
    int position;
  };
  const Case cases[] = {
      {"1.5e-3", true, 0.0015, 6}, {"1.5E3", true, 1.5, 3}, {"2e", false, 0, 0},      {"2e+", false, 0, 0},
      {"2ex", false, 0, 0},        {".5", false, 0, 0},     {"5.", false, 0, 0},      {"-", false, 0, 0},
      {"-7", true, -7, 2},         {"+2.5e+2x", true, 250, 7}, {"5.e3", false, 0, 0},
  };
  for (const auto& c : cases) {
    auto p = Open(c.input);
    double value = 42;
    EXPECT_EQ(p->ReadFloatExp(value), c.ok) << c.input;
    EXPECT_DOUBLE_EQ(value, c.value) << c.input;
    EXPECT_EQ(p->GetPosition(), c.position) << c.input;
  }
}

TEST_P(ParserTest, NumbersBeyondTheDoubleRangeThrowButTinyOnesReadAsZero) {
  double value = 1;
  // The largest finite double is about 1.8e308 and the smallest subnormal about 4.9e-324 (IEEE 754 binary64).
  for (const char* input : {"1e400", "-1e309", "1e99999999999999999999999", "180e306"}) {
    auto p = Open(input);
    EXPECT_THROW(p->ReadFloatExp(value), std::out_of_range) << input;
    EXPECT_EQ(p->GetPosition(), 0);
  }
  auto big = Open(std::string(400, '9') + ".5");
  EXPECT_THROW(big->ReadFloat(value), std::out_of_range);
  EXPECT_EQ(big->GetPosition(), 0);

  for (const char* input : {"1e-400", "0.0001e-99999999999999999999", "-1e-400"}) {
    value = 1;
    EXPECT_TRUE(Open(input)->ReadFloatExp(value)) << input;
    EXPECT_EQ(value, 0.0) << input;
  }
  value = 1;
  EXPECT_TRUE(Open("." + std::string(400, '0') + "1")->ReadFloat(value));
  EXPECT_EQ(value, 0.0);
  EXPECT_TRUE(Open("0e99999999999999")->ReadFloatExp(value));
  EXPECT_EQ(value, 0.0);
}

// --- searches ---

TEST_P(ParserTest, SkipPastCrossesLinesCountsThemAndIsCaseSensitive) {
  auto p = Open("one\r\ntwo\nEND end;rest");
  EXPECT_TRUE(p->SkipPast("end"));
  EXPECT_EQ(p->GetPosition(), 16);
  EXPECT_EQ(p->GetLineNumber(), 3);
  EXPECT_FALSE(p->SkipPast("missing"));
  EXPECT_TRUE(p->AtEnd());
}

TEST_P(ParserTest, SearchesFindATargetStartingInsideAPartialMatch) {
  // "ab" in "aab", "M  END" after "M  M  END": a partial match that fails may hold the start of the real one.
  auto p = Open("aab|M  M  END|");
  EXPECT_TRUE(p->SkipPast("ab"));
  EXPECT_EQ(p->GetPosition(), 3);
  EXPECT_TRUE(p->SkipPastInLine("M  END"));
  EXPECT_EQ(p->GetPosition(), 13);
  auto q = Open("xaab;");
  std::string text;
  EXPECT_TRUE(q->ReadUntil("ab", text, false));
  EXPECT_EQ(text, "xaab");
  int index = -1;
  auto r = Open("aaab");
  EXPECT_TRUE(r->MatchAnyInLine({"aab"}, index));
  EXPECT_EQ(r->GetPosition(), 4);
}

TEST_P(ParserTest, SkipPastInLineLeavesTheLineEndUnread) {
  auto p = Open("abc\r\nxyz");
  EXPECT_FALSE(p->SkipPastInLine("xyz"));
  EXPECT_EQ(p->GetPosition(), 3);
  EXPECT_TRUE(p->AtEndOfLine());
  EXPECT_TRUE(p->ReadLineEnd());
  EXPECT_TRUE(p->SkipPastInLine("y"));
  EXPECT_EQ(p->GetPosition(), 7);
}

TEST_P(ParserTest, ReadUntilCollectsTheTextUpToAndIncludingTheTarget) {
  std::string text;
  auto p = Open("abc;def");
  EXPECT_TRUE(p->ReadUntil(";", text, true));
  EXPECT_EQ(text, "abc;");
  auto q = Open("abc\ndef;");
  EXPECT_FALSE(q->ReadUntil(";", text, true));
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(q->GetPosition(), 3); // the next read starts at the line end
  auto r = Open("abc");
  EXPECT_FALSE(r->ReadUntil(";", text, false));
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(r->AtEnd());
}

TEST_P(ParserTest, ReadUntilWithKeepPartialMatchesTheTargetsCharactersInOrder) {
  std::string text;
  auto p = Open("a-x-c;");
  EXPECT_TRUE(p->ReadUntil("ac", text, true));
  EXPECT_EQ(text, "a-x-c");
  auto q = Open("a-x-c;");
  EXPECT_FALSE(q->ReadUntil("ac", text, false));
  EXPECT_EQ(text, "a-x-c;");
}

TEST_P(ParserTest, SkipPastAnyTakesTheFirstTargetInListOrderWithinABlock) {
  int index = -1;
  auto p = Open("xxAxxB");
  EXPECT_TRUE(p->SkipPastAny({"B", "A"}, index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(p->GetPosition(), 6);

  // Blocks are 200 bytes: an "A" in the first block wins over a "B" that only the second block holds.
  std::string text(1000, '.');
  text[50] = 'A';
  text[300] = 'B';
  auto q = Open(text);
  EXPECT_TRUE(q->SkipPastAny({"B", "A"}, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(q->GetPosition(), 51);
  EXPECT_TRUE(q->SkipPastAny({"B", "A"}, index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(q->GetPosition(), 301);
  EXPECT_FALSE(q->SkipPastAny({"B", "A"}, index));
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(q->AtEnd());
}

TEST_P(ParserTest, SkipPastAnyFindsATargetAcrossABlockBoundaryAndKeepsTheLineNumber) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line\r\n"; // 1800 bytes, 300 lines
  text.replace(598, 6, "MARKER");                // crosses the 600-byte block boundary
  auto p = Open(text);
  int index = -1;
  EXPECT_TRUE(p->SkipPastAny({"NOTHERE", "MARKER"}, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(p->GetPosition(), 604);
  EXPECT_EQ(p->GetLineNumber(), 100); // 99 full lines of 6 bytes precede offset 594
}

TEST_P(ParserTest, MatchAnyInLineReportsTheTargetCompletedFirst) {
  int index = -1;
  auto p = Open("abcd");
  EXPECT_TRUE(p->MatchAnyInLine({"abcd", "bc"}, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(p->GetPosition(), 3);
  auto q = Open("bcd");
  EXPECT_TRUE(q->MatchAnyInLine({"cd", "bcd"}, index)); // both complete at "d": list order decides
  EXPECT_EQ(index, 0);
  auto r = Open("abc\nbc");
  EXPECT_FALSE(r->MatchAnyInLine({"bcx", "x"}, index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(r->GetPosition(), 3);
}

// --- lines ---

TEST_P(ParserTest, ReadLineEndsAtCrLfLoneLfAndLoneCr) {
  auto p = Open("crlf\r\nlf\ncr\rempty follows\r\n\r\nlast");
  std::string text;
  const char* expected[] = {"crlf", "lf", "cr", "empty follows", ""};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(p->ReadLine(text));
    EXPECT_EQ(text, expected[i]);
    EXPECT_EQ(p->GetLineNumber(), i + 2);
  }
  EXPECT_FALSE(p->ReadLine(text)); // a last line without a line end
  EXPECT_EQ(text, "last");
  EXPECT_TRUE(p->AtEnd());
  EXPECT_FALSE(p->ReadLine(text));
  EXPECT_EQ(text, "");
}

TEST_P(ParserTest, ReadLineKeepsBlanks) {
  auto p = Open("  a b \t\n");
  std::string text;
  EXPECT_TRUE(p->ReadLine(text));
  EXPECT_EQ(text, "  a b \t");
}

TEST_P(ParserTest, ReadLineEndTakesCarriageReturnsBeforeOneLineFeed) {
  auto p = Open("\r\r\n\n\rx");
  EXPECT_TRUE(p->ReadLineEnd());
  EXPECT_EQ(p->GetPosition(), 3);
  EXPECT_TRUE(p->ReadLineEnd());
  EXPECT_FALSE(p->ReadLineEnd()); // a CR without LF is restored
  EXPECT_EQ(p->GetPosition(), 4);
}

TEST_P(ParserTest, SkipLineGoesPastTheNextLineEndAndSkipsBlanksAfter) {
  auto p = Open("a b\r\n \tc\nd");
  EXPECT_TRUE(p->SkipLineAndBlanks());
  EXPECT_EQ(p->GetPosition(), 7);
  EXPECT_TRUE(p->SkipLine());
  EXPECT_FALSE(p->SkipLine());
  EXPECT_TRUE(p->AtEnd());
  EXPECT_EQ(p->GetLineNumber(), 3);
  auto cr = Open("a\rb\r\nc");
  EXPECT_TRUE(cr->SkipLine());
  EXPECT_EQ(cr->GetPosition(), 2);
  EXPECT_TRUE(cr->SkipLine());
  EXPECT_EQ(cr->GetPosition(), 5);
  EXPECT_EQ(cr->GetLineNumber(), 3);
}

TEST_P(ParserTest, SkipWhiteCrossesLinesSkipBlanksDoesNot) {
  auto p = Open(" \t\r\n\n x");
  EXPECT_TRUE(p->SkipBlanks());
  EXPECT_EQ(p->GetPosition(), 2);
  p->SkipWhite();
  EXPECT_EQ(p->GetPosition(), 6);
  EXPECT_EQ(p->GetLineNumber(), 3);
}

TEST_P(ParserTest, TheLineAfterTheLastLineFeedOfAThreeLineFileIsFour) {
  for (const char* input : {"a\nb\nc\n", "a\r\nb\r\nc\r\n", "a\rb\rc\r"}) {
    auto p = Open(input);
    std::string text;
    while (p->ReadLine(text)) {
    }
    EXPECT_EQ(p->GetLineNumber(), 4) << input;
  }
}

TEST_P(ParserTest, LineNumbersFollowThePositionWhateverMovedIt) {
  auto p = Open("a\nb\r\nc\nd");
  std::string text;
  EXPECT_TRUE(p->ReadChars(text, 6)); // reads line ends without a line operation
  EXPECT_EQ(p->GetLineNumber(), 3);
  p->Back(4);
  EXPECT_EQ(p->GetLineNumber(), 2);
  p->SeekEnd();
  EXPECT_EQ(p->GetLineNumber(), 4);
  p->Back(p->GetPosition());
  EXPECT_EQ(p->GetLineNumber(), 1);
}

// --- positions and marks ---

TEST_P(ParserTest, BackAndSeekEndStayInsideTheStream) {
  auto p = Open("abcdef");
  p->SeekEnd();
  EXPECT_EQ(p->GetPosition(), 6);
  p->Back(4);
  EXPECT_EQ(p->GetPosition(), 2);
  p->Back(-1);
  EXPECT_EQ(p->GetPosition(), 3);
  EXPECT_THROW(p->Back(4), std::out_of_range);
  EXPECT_THROW(p->Back(-4), std::out_of_range);
  EXPECT_THROW(p->Back(std::numeric_limits<std::int64_t>::min()), std::out_of_range);
  EXPECT_EQ(p->GetPosition(), 3);
  EXPECT_EQ(p->GetSize(), 6);
}

TEST_P(ParserTest, MarkedTextRunsFromTheMarkOrTheStartAndClearsTheMark) {
  auto p = Open("C(=O)N rest");
  std::string text;
  p->ReadLetter(text);
  EXPECT_EQ(p->GetMarkedText(), "C"); // no Mark yet: from the start
  EXPECT_EQ(p->GetMarkedText(), "");  // mark cleared
  EXPECT_EQ(p->Mark(), 1);
  p->ReadWord(text);
  EXPECT_EQ(p->GetMarkedText(), "(=O)N");
  EXPECT_EQ(p->GetPosition(), 6);
  p->Mark();
  p->Back(3);
  EXPECT_EQ(p->GetMarkedText(), ""); // mark after the position
}

// --- files ---

TEST(ParserFile, AMissingFileIsAnInputError) {
  EXPECT_THROW(NewFileParser("/nonexistent/corvatin/none.sdf"), EInputError);
}

TEST(ParserFile, LongFilesReadAcrossWindowRefills) {
  // Large enough for several 64 KiB windows; lines of varying length in LF and CR LF.
  std::string content;
  for (int i = 0; i < 20000; ++i) content += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
  fs::path file = fs::temp_directory_path() / "corvatin-parser-long.txt";
  std::ofstream(file, std::ios::binary) << content;
  auto p = NewFileParser(file.string());
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    ASSERT_TRUE(p->ReadLine(text));
    ASSERT_EQ(text, "line " + std::to_string(i));
  }
  EXPECT_EQ(p->GetLineNumber(), 20001);
  p->Back(p->GetPosition() - 10); // far back, outside the window
  EXPECT_EQ(p->GetLineNumber(), 2);
  EXPECT_TRUE(p->SkipPast("line 19999"));
  EXPECT_EQ(p->GetLineNumber(), 20000);
  p->Back(p->GetPosition());
  EXPECT_TRUE(p->SkipPast("line 15000"));
  EXPECT_EQ(p->GetMarkedText().size(), static_cast<std::size_t>(p->GetPosition()));
  fs::remove(file);
}
