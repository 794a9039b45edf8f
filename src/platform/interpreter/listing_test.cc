#include "platform/interpreter/listing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace platform::commands {
namespace {

TEST(ListingTest, MatchesPatternsAsTheHomePlatformReadsThem) {
  struct Case {
    std::string_view pattern, name;
    bool match;
  };
  const Case cases[] = {
      {"*.*", "readme", true},
      {"*.*", "a.b.c", true},
      {"*.", "htm_in", true},
      {"*.", "notes.txt", false},
      {"*.txt", "Notes.TXT", true},
      {"*.txt", "a.txt.txt", true},
      {"*.txt", "a.txt.bak", false},
      {"*.htm*", "page.html", true},
      {"*.htm*", "page.htm", true},
      {"*.htm*", "page.txt", false},
      {"*.htm", "page.html", false},
      {"page_*.htm", "PAGE_01.HTM", true},
      {"page_*.htm", "f_page_01.htm", false},
      {"check_*.txt", "check_01.txt", true},
      {"wrd_24*.txt", "wrd_24_3.txt", true},
      {"wrd_24*.txt", "wrd_24", false},
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"f_01.txt", "F_01.Txt", true},
      {"notes.*", "notes", true},
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

}  // namespace
}  // namespace platform::commands
