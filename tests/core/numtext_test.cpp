#include "core/numtext.h"
#include "core/rounding.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace corvatin;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(NumberText, ShortestFormUnlessMoreThanSixDecimals) {
  EXPECT_EQ(FloatToText(0.5), "0.5");
  EXPECT_EQ(FloatToText(1.0 / 3.0), "0.333333");
  EXPECT_EQ(FloatToText(2.0), "2");
  EXPECT_EQ(FloatToText(-12.125), "-12.125");
  EXPECT_EQ(FloatToText(0.1234567, 3), "0.123");
}

TEST(NumberText, FillPadsTheFractionWithBlanks) {
  EXPECT_EQ(FloatToText(0.5, 6, true), "0.5     ");
  EXPECT_EQ(FloatToText(2.0, 3, true), "2    ");
  EXPECT_EQ(FloatToText(0.1234567, 3, true), "0.123");
}

TEST(NumberText, DecimalPointIsAlwaysADotWhateverTheLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8"); // may not exist; then the test still checks the C locale
  EXPECT_EQ(FloatToText(1.25), "1.25");
  EXPECT_EQ(FormatFixed(2.0, 3), "2.000");
  EXPECT_DOUBLE_EQ(TextToFloat("1.5"), 1.5);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(NumberParsing, RejectsTrailingGarbageAndOverflow) {
  EXPECT_DOUBLE_EQ(TextToFloat("  -0.25 "), -0.25);
  EXPECT_DOUBLE_EQ(TextToFloat("\t1.5\t"), 1.5); // a cell of a tab-separated line
  EXPECT_THROW(TextToFloat("1.5x"), std::invalid_argument);
  EXPECT_THROW(TextToFloat(""), std::invalid_argument);
  EXPECT_EQ(TextToInt("+42"), 42);
  EXPECT_THROW(TextToInt("99999999999999999999"), std::out_of_range);
  EXPECT_THROW(TextToInt("4.2"), std::invalid_argument);
}

TEST(RowLabelFormat, AppliesOneIntegerConversionSafely) {
  EXPECT_EQ(FormatRowLabel("Atom %d", 7), "Atom 7");
  EXPECT_EQ(FormatRowLabel("%3d%%", 7), "  7%");
  EXPECT_EQ(FormatRowLabel("%s %d", 7), "%s 7");
  EXPECT_EQ(FormatRowLabel("%d-%d", 7), "7-%d");
}
