#include "common/bytes.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(BytesTest, CaseChangesAsciiLettersOnly) {
  EXPECT_EQ(Lower("AbC \xC3\x84Z"), "abc \xC3\x84z");
  EXPECT_EQ(Upper("abc \xC3\xA4z"), "ABC \xC3\xA4Z");
  EXPECT_TRUE(EqualsNoCase("Htm_In", "htm_in"));
  EXPECT_EQ(FindNoCase("notes.TXT.txt", ".txt"), 5u);
}

TEST(BytesTest, TrimRemovesSpacesButNotTabs) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimRight("x  "), "x");
}

TEST(BytesTest, PaddingAndLabels) {
  EXPECT_EQ(PadLeft("7", /*width=*/10), "         7");
  EXPECT_EQ(PadLeft("12345678901", /*width=*/10), "12345678901");
  EXPECT_EQ(ZeroPad(12, /*width=*/8), "00000012");
  EXPECT_EQ(Labelled(3), " 3");
  EXPECT_EQ(Labelled(-1), "-1");
}

TEST(BytesTest, PrintZonesPadToTheNextZoneStart) {
  std::string line;
  AppendZone(line, " 1");
  EXPECT_EQ(line.size(), 14u);
  AppendZone(line, "====== FONT C");  // 13 bytes: one space of padding
  EXPECT_EQ(line.size(), 28u);
  std::string exact;
  AppendZone(exact, "==============");  // ends at the end of a zone
  EXPECT_EQ(exact.size(), 14u);
}

TEST(BytesTest, ParseDigitsStopsAtTheFirstOtherByte) {
  EXPECT_EQ(ParseDigits("2001x"), 2001);
  EXPECT_EQ(ParseDigits("x1"), 0);
  EXPECT_EQ(ParseDigits(""), 0);
  EXPECT_GT(ParseDigits("99999999999999999999999"), 2000);
}

}  // namespace
}  // namespace common
