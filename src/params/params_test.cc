#include "params/params.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_run.h"

namespace params {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;

TEST(ParamsTest, ReadInputItem) {
  struct Case {
    std::string line;
    std::string item;
  };
  const Case cases[] = {
      {"abc, def", "abc"},
      {"   \t www.example.org", "www.example.org"},
      {"", ""},
      {"    ", ""},
      {" \t ", ""},
      {"site.org  ", "site.org  "},  // an unquoted answer keeps its trailing blanks
      {"\"a, b, c\", d", "a, b, c"},
      {"  \"open quote, to the end", "open quote, to the end"},
      {"\"\"", ""},
      {",abc", ""},
      {"Www.Example.ORG/Path", "Www.Example.ORG/Path"},  // used exactly as typed
  };
  for (const Case& c : cases) EXPECT_EQ(ReadInputItem(c.line), c.item) << c.line;
  EXPECT_EQ(ReadInputItem(std::string(5000, 'x')), std::string(4096, 'x'));
  EXPECT_EQ(ReadInputItem("\"" + std::string(5000, 'y') + "\""), std::string(4096, 'y'));
}

TEST(ParamsTest, DropEditingKeys) {
  struct Case {
    std::string typed;
    std::string kept;
  };
  const Case cases[] = {
      {"www.exa\x1b[Dmple.org", "www.example.org"},  // arrow key
      {"\x1b[1;5Cwww\x1bOPsite", "wwwsite"},         // Ctrl-arrow, F1
      {"a\x1b[3~b\x1b[200~c", "abc"},                // Delete, paste mark
      {"a\x1bxb", "axb"},                            // a lone ESC
      {"a\x1b[12", "a"},                             // cut short
      {"a\x1b[1\tb", "ab"},                          // ended by a control
      {"\ttab\x01\x7f\x08s, x", "tabs, x"},          // other control bytes
      {"caf\xc3\xa9.org", "caf\xc3\xa9.org"},        // UTF-8 kept
  };
  for (const Case& c : cases) EXPECT_EQ(DropEditingKeys(c.typed), c.kept) << c.typed;
  TestRun t("\x1b[A www.exa\x1b[D\x1b[Cmple.org\n");
  AskDestination(t.run());
  EXPECT_EQ(t.run().destination_address, "www.example.org");
}

TEST(ParamsTest, PromptScreenAndAnswer) {
  TestRun t("abc, def\n");
  AskDestination(t.run());
  EXPECT_EQ(t.run().destination_address, "abc");
  EXPECT_EQ(t.out(),
            "\r\n"
            "-----------------------\r\n"
            "\r\n"
            "The program enables targeted search.\r\n"
            "Google search phrases will be targeted to a specific web address.\r\n"
            "If the destination web address is not specified, Google search will run all over "
            "the web.\r\n"
            "\r\n"
            "web address for destination search (example: www.example.org) = ? ");
}

TEST(ParamsTest, EmptyAnswers) {
  for (const char* input : {"", "\n", "   \n"}) {
    TestRun t(input);
    t.run().destination_address = "left over";
    AskDestination(t.run());
    EXPECT_EQ(t.run().destination_address, "") << '"' << input << '"';
  }
}

TEST(ParamsTest, CatalogueIsRewrittenEveryRun) {
  TestRun t;
  WriteFile(t.root() / "publisher_para.txt", "====== CODE PAGE ======\r\nmine\r\n--->red\r\n");
  t.run().settings.font_color = "blue";
  ShowSettings(t.run());
  std::vector<std::string> lines = ReadLines(t.root() / "publisher_para.txt");
  ASSERT_EQ(lines.size(), 45u);
  EXPECT_EQ(lines[0], "====== CODE PAGE ======");
  EXPECT_EQ(lines[21], "Windows-65001");
  EXPECT_EQ(lines[23], "====== FONT COLOR ======");
  EXPECT_EQ(lines[32], "red");
  EXPECT_EQ(lines[42], "====== FIND WORD MENU ======");
  EXPECT_EQ(lines[44], "no");
  EXPECT_EQ(t.run().settings.code_page, "UTF-8");
  EXPECT_EQ(t.run().settings.font_color, "red");
  EXPECT_EQ(t.run().settings.font_size, "140%");
  EXPECT_TRUE(t.run().settings.find_word);
}

TEST(ParamsTest, SettingsScreenRows) {
  TestRun t;
  ShowSettings(t.run());
  std::vector<std::string> out = t.OutLines();
  ASSERT_EQ(out.size(), 3u + 34u);
  EXPECT_EQ(out[0], "");
  EXPECT_EQ(out[1], "====== OVERVIEW/SELECT PARAMETERS ======");
  EXPECT_EQ(out[2], "");
  const std::string blank = " " + std::string(13, ' ');  // a " " description in its zone
  // Row number, value and description each fill their 14-column zones; the
  // marker of three spaces ends the line.
  struct Row {
    size_t row;
    std::string line;
  };
  const Row rows[] = {
      {1, " 1            ====== CODE PAGE ======     " + blank + "   "},
      {2,
       " 2            Windows-1250  Central Europe languages: Albanian, Croatian, Czech, "
       "Hungarian, Polish, Romanian, Serbian (Latin), Slovak, Slovenian" +
           std::string(10, ' ') + "   "},
      {5,
       " 5            Windows-1253  Greek         "
       "   "},
      {12,
       " 12           Windows-65001 Unicode       "
       "   "},
      {13, " 13           ====== FONT COLOR ======    " + blank + "   "},
      {22, " 22           red           " + blank + "   "},
      {31, " 31           200%          " + blank + "   "},
      {32, " 32           ====== FIND WORD MENU ======" + blank + "   "},
      {34, " 34           no            " + blank + "   "},
  };
  for (const Row& r : rows) EXPECT_EQ(out[2 + r.row], r.line) << "row " << r.row;
}

}  // namespace
}  // namespace params
