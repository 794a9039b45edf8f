// Text as people keep it, through the real program: angle brackets of
// addresses, includes and links stay text (and words), and files saved as
// UTF-16 or Windows-1252 become UTF-8 pages, as does the typed address.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

constexpr char kAnswers[] = "1\n1\n1\nwww.example.org\n\n";

// The published page whose text holds `marker`.
std::string PageHolding(const fs::path& htm_out, const std::string& marker) {
  for (const std::string& name : ListFolder(htm_out)) {
    if (!name.starts_with("page_")) continue;
    std::string page = ReadFile(htm_out / name);
    if (page.find(marker) != std::string::npos) return page;
  }
  return "";
}

// A changelog of 800 entries, each signed with an address in angle
// brackets; every tenth also holds an include and a link in them, and one
// real piece of markup.
std::string Changelog() {
  std::string text;
  for (int i = 0; i < 800; ++i) {
    std::string n = std::to_string(i);
    text += "2024-01-01  Person" + n + " Surname <user" + n + "@example.org>\n\n";
    text += "\t* file" + n + ".c: <b>fixed</b> entry" + n + ".\n";
    if (i % 10 == 0) text += "\t#include <stdio.h> see <https://example.org/issue/" + n + ">\n";
    text += "\n";
  }
  return text;
}

TEST(TextEndToEndTest, AngleBracketsOfAddressesIncludesAndLinksStayTextAndWords) {
  ScopedTempDir dir;
  WriteFile(dir.path() / "txt_in" / "changelog.txt", Changelog());
  ProgramResult result = RunProgram(dir.path(), kAnswers);
  ASSERT_EQ(result.status, 0) << result.err;
  const fs::path htm_out = dir.path() / "htm_out";
  const std::string page = PageHolding(htm_out, "Person0");
  const std::string index = ReadFile(htm_out / "index.htm");
  for (int i = 0; i < 800; ++i) {
    const std::string address = "&lt;user" + std::to_string(i) + "@example.org>";
    EXPECT_NE(page.find(">" + address + "</span>"), std::string::npos) << address;
    EXPECT_TRUE(HasWordLine(index, address)) << address;
  }
  EXPECT_TRUE(HasWordLine(index, "&lt;stdio.h>"));
  EXPECT_TRUE(HasWordLine(index, "&lt;https://example.org/issue/790>"));
  for (const char* text : {"<user", "<stdio", "<https"}) {
    EXPECT_EQ(page.find(text), std::string::npos) << text;
  }
  EXPECT_NE(page.find("<b>"), std::string::npos) << "markup stays markup";
  // The web searches look for the text as written (the changelog is the
  // second page, after the promotional page).
  EXPECT_NE(ReadFile(htm_out / "i_2.htm").find("search?q=%3Cuser7@example.org%3E "),
            std::string::npos);
}

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(TextEndToEndTest, Utf16AndWindows1252FilesBecomeUtf8PagesAndTheLatterAreNamed) {
  ScopedTempDir dir;
  const fs::path txt_in = dir.path() / "txt_in";
  WriteFile(txt_in / "wide le.txt", Utf16(u"Gr\u00FC\u00DFe aus K\u00F6ln\r\nsmile \U0001F600x\r\n",
                                          /*big_endian=*/false));
  WriteFile(txt_in / "wide_be.txt", Utf16(u"na\u00EFve \u65E5\u672C\u8A9E\n", /*big_endian=*/true));
  WriteFile(txt_in / "ansi notes.txt", "syst\xE8me \x93quoted\x94 50\x80\r\n");
  WriteFile(txt_in / "mixed.txt", "caf\xC3\xA9 \xE9t\xE9 d\xC3\xA9j\xC3\xA0\n");
  ProgramResult result = RunProgram(dir.path(), kAnswers);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string index = ReadFile(dir.path() / "htm_out" / "index.htm");
  for (const char* word :
       {"Gr\xC3\xBC\xC3\x9F"
        "e",
        "K\xC3\xB6ln", "\xF0\x9F\x98\x80x", "na\xC3\xAFve", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
        "syst\xC3\xA8me", "\xE2\x80\x9Cquoted\xE2\x80\x9D", "50\xE2\x82\xAC", "caf\xC3\xA9",
        "\xC3\xA9t\xC3\xA9", "d\xC3\xA9j\xC3\xA0"}) {
    EXPECT_TRUE(HasWordLine(index, word)) << word;
  }
  // Only the files that are not UTF-8 are named, as txt_in names them:
  // once when read, once more before the results screen.
  std::vector<std::string> warnings;
  for (const std::string& line : SplitLines(result.err)) {
    if (line.starts_with("not UTF-8")) warnings.push_back(line);
  }
  const std::vector<std::string> named = {"not UTF-8, read as Windows-1252: ansi notes.txt",
                                          "not UTF-8, read as Windows-1252: mixed.txt"};
  ASSERT_EQ(warnings.size(), 4u) << result.err;
  EXPECT_EQ(std::vector<std::string>(warnings.begin(), warnings.begin() + 2), named);
  EXPECT_EQ(std::vector<std::string>(warnings.begin() + 2, warnings.end()), named);
}

// The address typed at the targeted-search prompt goes into pages that
// declare UTF-8, so it is read as a text file is: a byte typed in a Windows
// code page is read as Windows-1252, the valid sequences beside it stay.
TEST(TextEndToEndTest, ATypedAddressIsReadAsTheTextFilesAre) {
  ScopedTempDir dir;
  WriteFile(dir.path() / "txt_in" / "a.txt", "alpha markera\n");
  ProgramResult result = RunProgram(dir.path(), "1\n1\n1\nwww.caf\xE9-m\xC3\xBCnchen.example\n\n");
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string search = ReadFile(dir.path() / "htm_out" / "s_1.htm");
  const std::string address = "www.caf\xC3\xA9-m\xC3\xBCnchen.example";
  EXPECT_NE(search.find(" site:" + address + "\"> " + address + "</a>"), std::string::npos)
      << search;
  EXPECT_EQ(search.find("caf\xE9"), std::string::npos);
}

}  // namespace
}  // namespace testing_support
