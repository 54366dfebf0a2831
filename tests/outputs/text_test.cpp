// The text pieces of the result files: the Windows-1252 boundary, header cells, aligned data lines and labels.

#include "core/parameters.h"
#include "outputs/codepage.h"
#include "outputs/data_lines.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

TEST(Windows1252, CodePagePlacesQuestionMarksForeignBytesAndEveryByteSurvivesTheRoundTrip) {
  EXPECT_EQ(ToWindows1252("\xC2\xB5-\xC3\xB8 plain\ttext\r\n"), "\xB5-\xF8 plain\ttext\r\n");
  // Microsoft's cp1252 table: 0x80 euro, 0x96 en dash, 0x9F Y with diaeresis.
  EXPECT_EQ(ToWindows1252("\xE2\x82\xAC\xE2\x80\x93\xC5\xB8"), "\x80\x96\x9F");
  EXPECT_EQ(FromWindows1252("\x80\x96\x9F"), "\xE2\x82\xAC\xE2\x80\x93\xC5\xB8");
  EXPECT_EQ(ToWindows1252("\xCE\xB1-\xE4\xB8\xAD"), "?-?"); // Greek alpha, a CJK character
  // Bytes that are not UTF-8 pass unchanged, a cut sequence at the end too.
  EXPECT_EQ(ToWindows1252("\xB5x\xF8"), "\xB5x\xF8");
  EXPECT_EQ(ToWindows1252("\xC2"), "\xC2");
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
}

TEST(DataLines, HeaderCellsAreTheTextsBetweenTabs) {
  EXPECT_EQ(SplitHeader("Name\ta\tb\t"), (std::vector<std::string>{"Name", "a", "b"}));
  EXPECT_EQ(SplitHeader("Name\t   \tx\t"), (std::vector<std::string>{"Name", "   ", "x"}));
  EXPECT_EQ(SplitHeader("Name\ta"), (std::vector<std::string>{"Name", "a"}));
  EXPECT_EQ(HeaderText({"Name", "a"}), "Name\ta\t\r\n");
}

TEST(DataLines, CellsGoUnderTheirHeaderCellInOrderAMissingValueLeavesItEmptyAndAValueWithoutOneIsReported) {
  std::vector<TDataCell> dropped;
  EXPECT_EQ(AlignLine({{"Name", "m", "Name"}, {"b", "2", "B"}}, {"Name", "a", "b"}, dropped), "m\t\t2\t\r\n");
  EXPECT_TRUE(dropped.empty());
  EXPECT_EQ(AlignLine({{"Name", "m", "Name"}, {"z", "9", "Z"}, {"a", "1", "A"}}, {"Name", "a"}, dropped), "m\t1\t\r\n");
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].column, "z");
  EXPECT_EQ(dropped[0].record, "Z");
  // Two weights may share a label ("(Dip)" twice): the n-th cell goes under the n-th header cell of that name.
  dropped.clear();
  EXPECT_EQ(
      AlignLine({{"Name", "m", ""}, {"d", "1", ""}, {"d", "2", ""}, {"d", "3", ""}}, {"Name", "d", "x", "d"}, dropped),
      "m\t1\t\t2\t\r\n");
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].text, "3");
}

TEST(DataLines, ControlCharactersCannotSplitACell) { EXPECT_EQ(CleanCell("a\tb\r\nc"), "a b  c"); }

TEST(Labels, FormatTakesOneTextArgumentAndElementLabelsJoinCaptionAndWholeNumberLabels) {
  EXPECT_EQ(FormatWithText("%s_x", "c"), "c_x");
  EXPECT_EQ(FormatWithText("[%-3s|%3s]", "c"), "[c  |%3s]");
  EXPECT_EQ(FormatWithText("100%% %d %s", "c"), "100% %d c");
  EXPECT_EQ(FormatWithText("no argument", "c"), "no argument");
  EXPECT_EQ(FormatWithText("end %", "c"), "end %");
  // An element's label joins the caption and the column label; a whole-number label or none is the column's number.
  auto m = std::make_shared<TDoubleMatrix>(3, 1);
  TMatrixParameter captioned(m, "c", "", {"\xC2\xB5(Hyd)3", "%s_y"}, {});
  EXPECT_EQ(ElementLabel(captioned, 0), "\xC2\xB5(Hyd)3");
  EXPECT_EQ(ElementLabel(captioned, 1), "c_y");
  EXPECT_EQ(ElementLabel(captioned, 2), "c2"); // beyond the labels: the decimal text of the column
  TMatrixParameter plain(m, "", "", {"a"}, {});
  EXPECT_EQ(ElementLabel(plain, 0), "a");
  EXPECT_EQ(ElementLabel(plain, 1), "1");
}

} // namespace
} // namespace corvatin
