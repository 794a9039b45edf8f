#include "platform/interpreter/parse.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::commands {
namespace {

TEST(ParseTest, SplitsRedirectionsOutsideQuotes) {
  struct Case {
    std::string_view line;
    std::string command;
    std::vector<std::pair<std::string, bool>> targets;
  };
  const Case cases[] = {
      {"dir /b *. > dir_01.txt", "dir /b *.", {{"dir_01.txt", false}}},
      {"dir /b txt_in\\*.txt  > txt_file.list", "dir /b txt_in\\*.txt", {{"txt_file.list", false}}},
      {"cmd /c find /i \".exe\" check_01.txt >  check_02.txt",
       "cmd /c find /i \".exe\" check_01.txt",
       {{"check_02.txt", false}}},
      {"del /q %i >> out_null.txt", "del /q %i", {{"out_null.txt", true}}},
      {"dir > htm_out\\f_01.txt > out_null.list",
       "dir",
       {{"htm_out\\f_01.txt", false}, {"out_null.list", false}}},
      {"dir>x.txt", "dir", {{"x.txt", false}}},
      {"findstr \"a>b\" f.txt", "findstr \"a>b\" f.txt", {}},
      {"rename \"txt_wrk\\my notes.txt\" my_notes.txt",
       "rename \"txt_wrk\\my notes.txt\" my_notes.txt",
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
