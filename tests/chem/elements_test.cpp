// The element table: symbol lookups, the per-element data against independent references, normal valences,
// colours with the contrast rule, and colour persistence through a settings file.

#include "chem/elements.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

using namespace corvatin;
namespace fs = std::filesystem;

// --- symbols ---

TEST(ElementSymbols, UnknownSymbolsGiveZero) {
  for (const char* s : {"", "Xx", "C1", "Cll", "*", "R", "D", "\xc3\x9f"}) {
    EXPECT_EQ(AtomicNumberOf(s), 0) << s;
    EXPECT_FALSE(IsElementSymbol(s)) << s;
  }
  EXPECT_EQ(ElementSymbol(0), "");
  EXPECT_EQ(ElementSymbol(110), "");
}

TEST(ElementSymbols, EverySymbolFindsItsOwnElementInAnyLetterCase) {
  // A collision (two symbols equal ignoring case) or a misplaced row would break the round trip.
  for (int z = 1; z <= kMaxAtomicNumber; ++z) {
    std::string s(ElementSymbol(z));
    ASSERT_FALSE(s.empty()) << z;
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(s[0])) &&
                (s.size() == 1 || std::islower(static_cast<unsigned char>(s[1]))))
        << s;
    std::string upper = s, lower = s;
    std::transform(s.begin(), s.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    std::transform(s.begin(), s.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(AtomicNumberOf(s), z) << s;
    EXPECT_EQ(AtomicNumberOf(upper), z) << upper;
    EXPECT_EQ(AtomicNumberOf(lower), z) << lower;
  }
  EXPECT_EQ(AtomicNumberOf("cL"), 17);
}

// --- data ---

TEST(ElementData, MainGroupValenceElectronsFollowTheGroup) {
  // Outer s + p electrons of the s and p blocks, periods 1 to 6 (up to Ba): the last digit of the IUPAC group.
  struct Block {
    int first, last, startCount;
  };
  const Block blocks[] = {{1, 2, 1},   {3, 4, 1},   {5, 10, 3},  {11, 12, 1}, {13, 18, 3},
                          {19, 20, 1}, {31, 36, 3}, {37, 38, 1}, {49, 54, 3}, {55, 56, 1}};
  for (const auto& b : blocks)
    for (int z = b.first; z <= b.last; ++z) EXPECT_EQ(ValenceElectrons(z), b.startCount + z - b.first) << z;
  EXPECT_EQ(ValenceElectrons(60), 0);
  EXPECT_EQ(ValenceElectrons(0), 0);
}

TEST(ElementData, NormalValenceIsTheSmallestThatHoldsTheBondOrderSum) {
  // Nitrogen 3 or 5, sulfur 2, 4 or 6, phosphorus 3 or 5, carbon only 4, iodine 1; none for iron or beyond the
  // largest.
  const int cases[][3] = {{7, 0, 3},  {7, 3, 3},  {7, 4, 5},  {7, 6, 0},  {16, 3, 4}, {16, 7, 0},
                          {15, 5, 5}, {6, 7, 4},  {53, 3, 1}, {26, 2, 0}, {0, 0, 0}};
  for (const auto& [z, sum, valence] : cases) EXPECT_EQ(NormalValence(z, sum), valence) << z << " " << sum;
  EXPECT_EQ(NormalValences(16).size(), 3u);
  EXPECT_TRUE(NormalValences(1).empty());
}

// --- colours ---

class ElementColors : public ::testing::Test {
protected:
  void SetUp() override { ResetElementColors(); }
  void TearDown() override { ResetElementColors(); }
};

TEST_F(ElementColors, ColorsAreReadAndWrittenForZZeroTo109Only) {
  SetElementColor(0, MakeColor(1, 2, 3));
  SetElementColor(109, MakeColor(4, 5, 6));
  EXPECT_EQ(GetElementColor(0), MakeColor(1, 2, 3));
  EXPECT_EQ(GetElementColor(109), MakeColor(4, 5, 6));
  EXPECT_THROW(SetElementColor(110, 0), std::out_of_range);
  EXPECT_THROW(SetElementColor(-1, 0), std::out_of_range);
  EXPECT_EQ(GetElementColor(110), kUnknownElementColor);
}

TEST_F(ElementColors, ContrastLeavesDistinctColorsAloneBrightensALighterOneAndDarkensOthers) {
  EXPECT_EQ(ContrastElementColor(8, MakeColor(255, 255, 255)), MakeColor(240, 0, 0));
  SetElementColor(6, MakeColor(200, 200, 200));
  EXPECT_EQ(ContrastElementColor(6, MakeColor(180, 200, 200)), MakeColor(200, 200, 200)); // red differs by 20
  EXPECT_EQ(ContrastElementColor(6, MakeColor(190, 190, 190)), MakeColor(230, 230, 230)); // x 1.15
  EXPECT_EQ(ContrastElementColor(6, MakeColor(210, 210, 210)), MakeColor(170, 170, 170)); // darker: x 0.85
  // Lighter but already near white (channel sum 750 >= 720): darkened; 250 x 0.85 = 212.5, half to even 212.
  SetElementColor(6, MakeColor(250, 250, 250));
  EXPECT_EQ(ContrastElementColor(6, MakeColor(240, 240, 240)), MakeColor(212, 212, 212));
  // Nearly black and darker than the background (sum 15 < 30): brightened; 5 x 1.15 = 5.75.
  SetElementColor(6, MakeColor(5, 5, 5));
  EXPECT_EQ(ContrastElementColor(6, MakeColor(10, 10, 10)), MakeColor(6, 6, 6));
  // 10 x 1.15 = 11.5 exactly: half to even gives 12.
  SetElementColor(6, MakeColor(10, 30, 10));
  EXPECT_EQ(ContrastElementColor(6, MakeColor(0, 20, 0)), MakeColor(12, 34, 12));
  // Brightened channels are clamped at 255.
  SetElementColor(6, MakeColor(240, 230, 200));
  EXPECT_EQ(ContrastElementColor(6, MakeColor(230, 220, 190)), MakeColor(255, 255, 230));
}

// --- persistence ---

class ElementColorSettings : public ElementColors {
protected:
  void SetUp() override {
    ElementColors::SetUp();
    dir = fs::temp_directory_path() /
          ("corvatin-colors-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    file = (dir / "settings.ini").string();
  }
  void TearDown() override {
    fs::remove_all(dir);
    ElementColors::TearDown();
  }
  std::vector<std::string> Stored(const TVRegistry& reg) {
    std::vector<std::string> lines;
    reg.ReadStringList(kElementColorsPath, lines);
    return lines;
  }
  fs::path dir;
  std::string file;
};

TEST_F(ElementColorSettings, ChangedColorsRoundTripThroughTheSettingsFile) {
  SetElementColor(0, MakeColor(0, 0, 255));
  SetElementColor(6, MakeColor(10, 20, 30));
  SetElementColor(8, DefaultColor(8)); // unchanged: not written
  {
    TVRegistry reg(file);
    SaveElementColors(reg);
    EXPECT_EQ(Stored(reg), (std::vector<std::string>{"0=16711680", "6=1971210"}));
  }
  ResetElementColors();
  TVRegistry reg(file);
  LoadElementColors(reg);
  EXPECT_EQ(GetElementColor(0), MakeColor(0, 0, 255));
  EXPECT_EQ(GetElementColor(6), MakeColor(10, 20, 30));
  EXPECT_EQ(GetElementColor(8), DefaultColor(8));
}

TEST_F(ElementColorSettings, NothingChangedDeletesTheStoredValue) {
  TVRegistry reg(file);
  reg.WriteStringList(kElementColorsPath, {"6=255"});
  SaveElementColors(reg);
  std::vector<std::string> lines{"untouched"};
  reg.ReadStringList(kElementColorsPath, lines);
  EXPECT_EQ(lines, std::vector<std::string>{"untouched"}); // value missing
}

TEST_F(ElementColorSettings, BadOrZeroValuesGiveTheDefault) {
  TVRegistry reg(file);
  reg.WriteStringList(kElementColorsPath,
                      {"7=0", "8=abc", "9=-5", "16=99999999", "17=255", "17=65280", "35=", "x=1", "53 = 255", "6=255"});
  SetElementColor(53, MakeColor(1, 1, 1));
  LoadElementColors(reg);
  // "53 " is not the name 53; and loading replaces every colour.
  for (int z : {7, 8, 9, 16, 35, 53}) EXPECT_EQ(GetElementColor(z), DefaultColor(z)) << z;
  EXPECT_EQ(GetElementColor(17), MakeColor(255, 0, 0)); // the first line of a name counts
  EXPECT_EQ(GetElementColor(6), MakeColor(255, 0, 0));
}
