#include "platform/interpreter/listing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/interpreter/parse.h"

namespace platform::commands {
namespace {

TEST(ListingTest, MatchesPatternsAsTheHomePlatformReadsThem) {
  struct Case {
    std::string_view pattern, name;
    bool match;
  };
  const Case cases[] = {
      {"*.*", "readme", true},          {"*.*", "a.b.c", true},
      {"*.", "htm_in", true},           {"*.", "notes.txt", false},
      {"*.txt", "Notes.TXT", true},     {"*.txt", "a.txt.txt", true},
      {"*.txt", "a.txt.bak", false},    {"*.htm*", "page.html", true},
      {"*.htm*", "page.htm", true},     {"*.htm*", "page.txt", false},
      {"*.htm", "page.html", false},    {"page_*.htm", "PAGE_01.HTM", true},
      {"page_*.htm", "f_page_01.htm", false}, {"check_*.txt", "check_01.txt", true},
      {"wrd_24*.txt", "wrd_24_3.txt", true},  {"wrd_24*.txt", "wrd_24", false},
      {"?.txt", "a.txt", true},         {"?.txt", "ab.txt", false},
      {"f_01.txt", "F_01.Txt", true},   {"notes.*", "notes", true},
      {"*", ".hidden", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchPattern(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
  }
}

TEST(ListingTest, OrdersNamesFoldedThenByRawBytes) {
  std::vector<std::string> names = {"b.txt", "a_b.txt", "ab.txt", "B.txt", "A.txt", "a.txt", "Z"};
  std::sort(names.begin(), names.end(), ListingLess);
  // '_' (0x5F) sorts before 'b' once letters are folded to lower case.
  EXPECT_EQ(names, (std::vector<std::string>{"A.txt", "a.txt", "a_b.txt", "ab.txt", "B.txt",
                                             "b.txt", "Z"}));
  EXPECT_EQ(ListingCompare("abc", "ABC"), 1);
  EXPECT_EQ(ListingCompare("abc", "abc"), 0);
  EXPECT_LT(ListingCompare("ab", "abc"), 0);
  EXPECT_LT(ListingCompare("z", "\xc3\xa9"), 0);  // bytes above 127 come last
}

TEST(ParseTest, SplitsRedirectionsOutsideQuotes) {
  struct Case {
    std::string_view line;
    std::string command;
    std::vector<std::pair<std::string, bool>> targets;
  };
  const Case cases[] = {
      {"dir /b *. > dir_01.txt", "dir /b *.", {{"dir_01.txt", false}}},
      {"dir /b txt_in\\*.txt  > txt_file.list", "dir /b txt_in\\*.txt", {{"txt_file.list", false}}},
      {"cmd /c find /i \".exe\" check_01.txt >  check_02.txt", "cmd /c find /i \".exe\" check_01.txt",
       {{"check_02.txt", false}}},
      {"del /q %i >> out_null.txt", "del /q %i", {{"out_null.txt", true}}},
      {"dir > htm_out\\f_01.txt > out_null.list", "dir",
       {{"htm_out\\f_01.txt", false}, {"out_null.list", false}}},
      {"dir>x.txt", "dir", {{"x.txt", false}}},
      {"findstr \"a>b\" f.txt", "findstr \"a>b\" f.txt", {}},
      {"rename \"txt_wrk\\my notes.txt\" my_notes.txt", "rename \"txt_wrk\\my notes.txt\" my_notes.txt",
       {}},
  };
  for (const Case& c : cases) {
    CommandLine parsed = SplitRedirections(c.line);
    EXPECT_EQ(parsed.command, c.command) << c.line;
    std::vector<std::pair<std::string, bool>> targets;
    for (const Redirection& r : parsed.redirections) targets.emplace_back(r.target, r.append);
    EXPECT_EQ(targets, c.targets) << c.line;
  }
}

TEST(ParseTest, SplitsWordsAndTellsSwitchesFromPaths) {
  std::vector<Word> words = SplitWords("  /i \"a b\"  c\"d e\"f  /tmp/ix/a.txt /b/s /-y");
  ASSERT_EQ(words.size(), 6u);
  EXPECT_EQ(words[1].text, "a b");
  EXPECT_TRUE(words[1].quoted);
  EXPECT_EQ(words[2].text, "cd ef");
  std::vector<bool> switches;
  for (const Word& word : words) switches.push_back(IsSwitch(word));
  EXPECT_EQ(switches, (std::vector<bool>{true, false, false, false, true, true}));
  EXPECT_EQ(SwitchLetters(words), "ibs-y");
  std::string_view rest = "  /c  dir *. ";
  EXPECT_EQ(TakeRawWord(rest), "/c");
  EXPECT_EQ(rest, "dir *.");
}

}  // namespace
}  // namespace platform::commands
