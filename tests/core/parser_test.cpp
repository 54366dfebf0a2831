// The tokenizer: end-of-text behaviour of every read, failed reads leaving the position, number grammar and
// range, searches, line ends of LF, CR LF and CR files and exact line numbers. Every case runs over a memory
// buffer and over a file, whose reads go through a window that is refilled as the position moves.

#include "core/errors.h"
#include "core/numtext.h"
#include "core/parser.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

using namespace corvatin;
namespace fs = std::filesystem;

namespace {

/// One read: its argument (after ":" in a script, "_" standing for a blank) and the text it leaves.
using Read = std::function<bool(TParser&, const std::string& arg, std::string& text)>;

Read IntRead(bool (TParser::*read)(int&)) {
  return [read](TParser& p, const std::string&, std::string& text) {
    int value = 7;
    const bool ok = (p.*read)(value);
    text = std::to_string(value);
    return ok;
  };
}

Read FloatRead(bool (TParser::*read)(double&)) {
  return [read](TParser& p, const std::string&, std::string& text) {
    double value = 7;
    const bool ok = (p.*read)(value);
    text = FloatToText(value);
    return ok;
  };
}

Read TextRead(bool (TParser::*read)(std::string&)) {
  return [read](TParser& p, const std::string&, std::string& text) { return (p.*read)(text); };
}

std::vector<std::string> List(const std::string& arg) {
  std::vector<std::string> list;
  std::istringstream in(arg);
  for (std::string item; std::getline(in, item, ',');)
    list.push_back(item);
  return list;
}

const std::map<std::string, Read>& Reads() {
  using P = TParser;
  using S = const std::string&;
  using T = std::string&;
  static const std::map<std::string, Read> reads = {
      {"chars", [](P& p, S a, T t) { return p.ReadChars(t, std::stoi(a)); }},
      {"word", TextRead(&P::ReadWord)},
      {"check", [](P& p, S a, T) { return p.CheckString(a); }},
      {"letters", TextRead(&P::ReadLetters)},
      {"lowers", TextRead(&P::ReadLowerLetters)},
      {"letter", TextRead(&P::ReadLetter)},
      {"lower", TextRead(&P::ReadLowerLetter)},
      {"run", [](P& p, S a, T t) { return p.ReadCharRun(t, a.at(0)); }},
      {"set", [](P& p, S a, T t) { return p.ReadCharInSet(t, MakeCharSet(a)); }},
      {"punct", TextRead(&P::ReadPunctuation)},
      {"alnum", TextRead(&P::ReadAlnum)},
      {"digitv", IntRead(&P::ReadDigitValue)},
      {"digit", TextRead(&P::ReadDigit)},
      {"uns", IntRead(&P::ReadUnsigned)},
      {"digits", TextRead(&P::ReadDigits)},
      {"int", IntRead(&P::ReadInteger)},
      {"inttext", TextRead(&P::ReadIntegerText)},
      {"float", FloatRead(&P::ReadFloat)},
      {"floattext", TextRead(&P::ReadFloatText)},
      {"floatexp", FloatRead(&P::ReadFloatExp)},
      {"bit", IntRead(&P::ReadBit)},
      {"signs", TextRead(&P::ReadSigns)},
      {"skip", [](P& p, S a, T) { return p.SkipPast(a); }},
      {"skipinline", [](P& p, S a, T) { return p.SkipPastInLine(a); }},
      {"until", [](P& p, S a, T t) { return p.ReadUntil(a, t, false); }},
      {"untilkeep", [](P& p, S a, T t) { return p.ReadUntil(a, t, true); }},
      {"any",
       [](P& p, S a, T t) {
         int index = 7;
         const bool ok = p.SkipPastAny(List(a), index);
         t = std::to_string(index);
         return ok;
       }},
      {"inline",
       [](P& p, S a, T t) {
         int index = 7;
         const bool ok = p.MatchAnyInLine(List(a), index);
         t = std::to_string(index);
         return ok;
       }},
      {"line", TextRead(&P::ReadLine)},
      {"eol", [](P& p, S, T) { return p.ReadLineEnd(); }},
      {"skipline", [](P& p, S, T) { return p.SkipLine(); }},
      {"skiplineblanks", [](P& p, S, T) { return p.SkipLineAndBlanks(); }},
      {"white", [](P& p, S, T) { return p.SkipWhite(), true; }},
      {"blanks", [](P& p, S, T) { return p.SkipBlanks(); }},
      {"back", [](P& p, S a, T) { return p.Back(std::stoll(a)), true; }},
      {"seekend", [](P& p, S, T) { return p.SeekEnd(), true; }},
      {"mark", [](P& p, S, T t) { return t = std::to_string(p.Mark()), true; }},
      {"marked", [](P& p, S, T t) { return t = p.GetMarkedText(), true; }},
      {"@", [](P& p, S, T t) { return t = std::to_string(p.GetPosition()), true; }},
      {"#", [](P& p, S, T t) { return t = std::to_string(p.GetLineNumber()), true; }},
      {"eof", [](P& p, S, T) { return p.AtEnd(); }},
      {"eoln", [](P& p, S, T) { return p.AtEndOfLine(); }},
  };
  return reads;
}

/// Control characters and bytes above 126 as \r, \n, \t or \xNN, so that transcripts stay on one line.
std::string Visible(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\r' || c == '\n' || c == '\t')
      out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
    else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else
      out += static_cast<char>(c);
  }
  return out;
}

/// Runs the reads of a script (words separated by blanks, "name" or "name:argument") and returns a transcript:
/// "name=text" for a read that succeeded, "name!text" for one that failed, with the text (or number) it left,
/// nothing after the sign when it leaves none; "name^" for one that threw std::out_of_range. "@" gives the
/// position, "#" the line number.
std::string RunScript(TParser& p, const std::string& script) {
  std::istringstream words(script);
  std::string transcript;
  for (std::string word; words >> word;) {
    const size_t colon = word.find(':');
    const std::string name = word.substr(0, colon);
    std::string arg = colon == std::string::npos ? "" : word.substr(colon + 1);
    for (char& c : arg)
      if (c == '_') c = ' ';
    const auto read = Reads().find(name);
    if (read == Reads().end()) return "unknown read " + name;
    std::string text = "\x01";
    std::string result;
    try {
      const bool ok = read->second(p, arg, text);
      result = (ok ? "=" : "!") + (text == "\x01" ? "" : Visible(text));
    } catch (const std::out_of_range&) {
      result = "^";
    }
    if (name == "@" || name == "#") result.erase(0, 1); // "@12": the position, "#3": the line number
    transcript += (transcript.empty() ? "" : " ") + name + result;
  }
  return transcript;
}

enum class Source { Memory, File };

class ParserTest : public ::testing::TestWithParam<Source> {
protected:
  void TearDown() override {
    for (const auto& f : files_)
      fs::remove(f);
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
  /// Every case's script run on its input, compared with its transcript.
  void ExpectTranscripts(const std::vector<std::array<std::string, 3>>& cases) {
    for (const auto& [input, script, transcript] : cases)
      EXPECT_EQ(RunScript(*Open(input), script), transcript) << Visible(input.substr(0, 40)) << ": " << script;
  }
  std::vector<fs::path> files_;
};

std::string Name(const ::testing::TestParamInfo<Source>& info) {
  return info.param == Source::Memory ? "Memory" : "File";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Streams, ParserTest, ::testing::Values(Source::Memory, Source::File), Name);

TEST_P(ParserTest, EveryReadAtTheEndOfTheTextFailsWithoutMoving) {
  ExpectTranscripts(
      {{"",
        "eof eoln chars:1 chars:0 word check:a check: letters lowers letter run:x lower set:abc punct "
        "alnum digitv digit uns digits int inttext float floattext floatexp bit signs skip:x "
        "skipinline:x until:x any:x inline:x line eol skipline skiplineblanks white blanks marked @ #",
        "eof= eoln= chars! chars= word! check! check= letters! lowers! letter! run! lower! set! punct! alnum! digitv!0 "
        "digit! uns!0 digits! int!7 inttext! float!0 floattext! floatexp!0 bit!7 signs! skip! skipinline! until! "
        "any!-1 inline!-1 line! eol! skipline! skiplineblanks! white= blanks= marked= @0 #1"}});
}

TEST_P(ParserTest, CharacterReadsTakeWhatQualifiesAndStepBackOverWhatDoesNot) {
  ExpectTranscripts({
      {"abc", "chars:4 @ chars:-1 chars:2 chars:1 eof", "chars! @0 chars! chars=ab chars=c eof="},
      {"ab\tcd", "word word @ white word", "word=ab word! @2 white= word=cd"},
      {"Class", "check:class eof", "check= eof="},
      {"CLASS", "check:class eof", "check= eof="},
      {"clasp", "check:class @ check:clasps @", "check! @0 check! @0"},
      {"abC1(x\x7f", "lowers lower letter letters punct alnum alnum punct set:yz set:xyz punct @",
       "lowers=ab lower! letter=C letters! punct! alnum=1 alnum! punct=( set! set=x punct! @6"},
      {"===+-+-1", "run:= run:= signs bit bit", "run==== run! signs=+-+- bit=1 bit!7"},
      {"\xb5x", "set:\xb5", "set=\\xb5"},
  });
}

TEST_P(ParserTest, IntegersTakeTheWholeDigitRunAndThoseThatDoNotFit32BitsThrowAndConsumeNothing) {
  // 2^31 - 1 = 2147483647 is the largest 32-bit signed integer, -2^31 the smallest.
  ExpectTranscripts({
      {"7x", "digitv digitv digit @", "digitv=7 digitv!0 digit! @1"},
      {"0000000000000000000042x", "uns uns", "uns=42 uns!0"},
      {"2147483647", "uns", "uns=2147483647"},
      {"-2147483648", "int", "int=-2147483648"},
      {"2147483648", "uns @ int @", "uns^ @0 int^ @0"},
      {"4294967296", "uns @", "uns^ @0"},
      {"99999999999999999999999", "uns @", "uns^ @0"},
      {"-2147483649", "int @", "int^ @0"},
      {"+4294967297", "int @", "int^ @0"},
      {std::string(100000, '9'), "uns @", "uns^ @0"},
      {"+5", "int", "int=5"},
      {"-", "inttext @", "inttext! @0"},
      {"--5", "inttext @", "inttext! @0"},
      {"+x", "inttext @", "inttext! @0"},
      {"-12a", "inttext", "inttext=-12"},
  });
}

TEST_P(ParserTest, DecimalNumberGrammarAndRange) {
  // The largest finite double is about 1.8e308 and the smallest subnormal about 4.9e-324 (IEEE 754 binary64):
  // beyond the one a read throws and consumes nothing, below the other it reads as 0.
  ExpectTranscripts({
      {".5", "floattext @", "floattext=0.5 @2"},
      {"5.", "floattext @", "floattext! @0"},
      {"-.5", "floattext @", "floattext=-0.5 @3"},
      {"1e5", "floattext @", "floattext=1 @1"},
      {"5.x", "floattext @", "floattext! @0"},
      {".", "floattext @", "floattext! @0"},
      {"+3.25;", "floattext @", "floattext=+3.25 @5"},
      {"1.5.3", "floattext @", "floattext=1.5 @3"},
      {"-.x", "floattext @", "floattext! @0"},
      {"-.25", "float", "float=-0.25"},
      {"x", "float", "float!0"},
      {"1.5e-3", "floatexp @", "floatexp=0.0015 @6"},
      {"1.5E3", "floatexp @", "floatexp=1.5 @3"},
      {"2e", "floatexp @", "floatexp!0 @0"},
      {"2e+", "floatexp @", "floatexp!0 @0"},
      {"2ex", "floatexp @", "floatexp!0 @0"},
      {".5", "floatexp @", "floatexp!0 @0"},
      {"5.", "floatexp @", "floatexp!0 @0"},
      {"-7", "floatexp @", "floatexp=-7 @2"},
      {"+2.5e+2x", "floatexp @", "floatexp=250 @7"},
      {"5.e3", "floatexp @", "floatexp!0 @0"},
      {"1e400", "floatexp @", "floatexp^ @0"},
      {"-1e309", "floatexp @", "floatexp^ @0"},
      {"1e99999999999999999999999", "floatexp @", "floatexp^ @0"},
      {"180e306", "floatexp @", "floatexp^ @0"},
      {std::string(400, '9') + ".5", "float @", "float^ @0"},
      {"1e-400", "floatexp", "floatexp=0"},
      {"0.0001e-99999999999999999999", "floatexp", "floatexp=0"},
      {"-1e-400", "floatexp", "floatexp=-0"},
      {"." + std::string(400, '0') + "1", "float", "float=0"},
      {"0e99999999999999", "floatexp", "floatexp=0"},
  });
}

TEST_P(ParserTest, SearchesCrossLinesOrStopAtTheLineEndAndFindATargetStartingInsideAPartialMatch) {
  // "ab" in "aab", "M  END" after "M  M  END": a partial match that fails may hold the start of the real one.
  ExpectTranscripts({
      {"one\r\ntwo\nEND end;rest", "skip:end @ # skip:missing eof", "skip= @16 #3 skip! eof="},
      {"aab|M  M  END|", "skip:ab @ skipinline:M__END @", "skip= @3 skipinline= @13"},
      {"xaab;", "until:ab", "until=xaab"},
      {"aaab", "inline:aab @", "inline=0 @4"},
      {"abc\r\nxyz", "skipinline:xyz @ eoln eol skipinline:y @", "skipinline! @3 eoln= eol= skipinline= @7"},
      {"abc;def", "untilkeep:;", "untilkeep=abc;"},
      {"abc\ndef;", "untilkeep:; @", "untilkeep!abc @3"},
      {"abc", "until:; eof", "until!abc eof="},
      {"a-x-c;", "untilkeep:ac", "untilkeep=a-x-c"},
      {"a-x-c;", "until:ac", "until!a-x-c;"},
      {"xxAxxB", "any:B,A @", "any=0 @6"},
      {"abcd", "inline:abcd,bc @", "inline=1 @3"},
      {"bcd", "inline:cd,bcd", "inline=0"}, // both complete at "d": list order decides
      {"abc\nbc", "inline:bcx,x @", "inline!-1 @3"},
  });
}

TEST_P(ParserTest, SkipPastAnyTakesTheFirstTargetInListOrderWithinABlockAndFindsOneAcrossABlockBoundary) {
  // Blocks are 200 bytes: an "A" in the first block wins over a "B" that only the second block holds.
  std::string text(1000, '.');
  text[50] = 'A';
  text[300] = 'B';
  std::string lines;
  for (int i = 0; i < 300; ++i)
    lines += "line\r\n";           // 1800 bytes, 300 lines
  lines.replace(598, 6, "MARKER"); // crosses the 600-byte block boundary
  // 99 full lines of 6 bytes precede offset 594.
  ExpectTranscripts({{text, "any:B,A @ any:B,A @ any:B,A eof", "any=1 @51 any=0 @301 any!-1 eof="},
                     {lines, "any:NOTHERE,MARKER @ #", "any=1 @604 #100"}});
}

TEST_P(ParserTest, LinesEndAtCrLfLoneLfAndLoneCrAndLineNumbersFollowThePositionWhateverMovedIt) {
  ExpectTranscripts({
      {"crlf\r\nlf\ncr\rempty follows\r\n\r\nlast", "line # line # line # line # line # line eof line",
       "line=crlf #2 line=lf #3 line=cr #4 line=empty follows #5 line= #6 line!last eof= line!"},
      {"  a b \t\n", "line", "line=  a b \\t"},
      {"a\nb\nc\n", "line line line #", "line=a line=b line=c #4"},
      {"a\r\nb\r\nc\r\n", "line line line #", "line=a line=b line=c #4"},
      {"a\rb\rc\r", "line line line #", "line=a line=b line=c #4"},
      {"\r\r\n\n\rx", "eol @ eol eol @", "eol= @3 eol= eol! @4"},
      {"a b\r\n \tc\nd", "skiplineblanks @ skipline skipline eof #", "skiplineblanks= @7 skipline= skipline! eof= #3"},
      {"a\rb\r\nc", "skipline @ skipline @ #", "skipline= @2 skipline= @5 #3"},
      {" \t\r\n\n x", "blanks @ white @ #", "blanks= @2 white= @6 #3"},
      {"a\nb\r\nc\nd", "chars:6 # back:4 # seekend # back:7 #", "chars=a\\nb\\r\\nc #3 back= #2 seekend= #4 back= #1"},
  });
}

TEST_P(ParserTest, BackAndSeekEndStayInsideTheStreamAndMarkedTextRunsFromTheMark) {
  ExpectTranscripts({
      {"abcdef", "seekend @ back:4 @ back:-1 @ back:4 back:-4 back:-9223372036854775808 @",
       "seekend= @6 back= @2 back= @3 back^ back^ back^ @3"},
      {"C(=O)N rest", "letter marked marked mark word marked @ mark back:3 marked",
       "letter=C marked=C marked= mark=1 word=(=O)N marked=(=O)N @6 mark=6 back= marked="},
  });
}

TEST(ParserFile, AMissingFileIsAnInputError) {
  EXPECT_THROW(NewFileParser("/nonexistent/corvatin/none.sdf"), EInputError);
}

TEST(ParserFile, LongFilesReadAcrossWindowRefills) {
  // Large enough for several 64 KiB windows; lines of varying length in LF and CR LF.
  std::string content;
  for (int i = 0; i < 20000; ++i)
    content += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
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
