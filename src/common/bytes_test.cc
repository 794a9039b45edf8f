#include "common/bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

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

// The query scan: "&lt;" only whole, cut or at the end; a line that grows
// past its buffer keeps what it held.
TEST(BytesTest, QueryEncodingAtTheEdgesOfEscapes) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"&lt", "%26lt"},
      {"&&lt;", "%26%3C"},
      {"&lt;&lt;x", "%3C%3Cx"},
      {"a&lt;", "a%3C"},
      {"%#+\"<> ok", "%25%23%2B%22%3C%3E ok"},
      {"", ""}};
  for (const auto& [text, query] : cases) {
    LineBuilder line;
    line.Append("q=");
    AppendQueryEncoded(line, text);
    EXPECT_EQ(line.view(), "q=" + std::string(query)) << text;
    LineBuilder room;
    EXPECT_EQ(QueryEncoded(text, room), query) << text;
  }
  LineBuilder line;
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    line.Append("w", std::string_view("&"), " ");
    line.AppendNumber(i);
    expected += "w& " + std::to_string(i);
  }
  EXPECT_EQ(line.view(), expected);
  AppendHtmlEscaped(line, "<\"&>");
  EXPECT_EQ(line.view(), expected + "&lt;&quot;&amp;&gt;");
}

// Numbers are written from their last digit, two at a time; the longest
// are longer than a short piece's fixed copy.
TEST(BytesTest, NumbersAtTheEdgesOfTheirDigits) {
  const long long values[] = {0,
                              7,
                              9,
                              10,
                              99,
                              100,
                              101,
                              999,
                              1000,
                              12345,
                              9999999999999999,
                              10000000000000000,
                              LLONG_MAX,
                              -1,
                              -100,
                              LLONG_MIN};
  for (long long value : values) {
    LineBuilder line;
    line.Append("<", Decimal(value).piece(), ">");
    EXPECT_EQ(line.view(), "<" + std::to_string(value) + ">");
  }
}

}  // namespace
}  // namespace common
