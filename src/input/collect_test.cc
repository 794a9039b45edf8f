#include "input/collect.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/bytes.h"

namespace input {
namespace {

TEST(CollectTest, SanitizesTheBaseAndKeepsTheTail) {
  struct Case {
    const char* listed;
    const char* expected;  // nullptr: no ".txt", the line is skipped
  } cases[] = {
      {"Report 2024-05.TXT", "Report_2024_05.TXT"},  // the tail keeps its case
      {"a.txt.txt", "a.txt.txt"},
      {"\xC3\xA9t\xC3\xA9.txt", "__t__.txt"},  // one "_" per byte
      {"  my notes .txt", "my_notes.txt"},     // trimmed, then sanitized
      {"page_1.txt", "file_page_1.txt"},
      {"Page_x.txt", "file_Page_x.txt"},
      {"page-2.txt", "file_page_2.txt"},        // tested after sanitizing
      {"PAGE.Txt", "file_PAGE.Txt"},            // would overwrite page 1
      {"F_Promote.txt", "file_F_Promote.txt"},  // the promotional page
      {"my_f_promote.txt", "my_f_promote.txt"},
      {"pages.txt", "pages.txt"},
      {"readme", nullptr},
  };
  for (const Case& c : cases) {
    std::optional<std::string> name = SanitizedName(c.listed);
    EXPECT_EQ(name.value_or("<none>"), c.expected ? c.expected : "<none>") << c.listed;
  }
}

std::string Describe(const std::vector<Rename>& renames) {
  std::string text;
  for (const Rename& r : renames) {
    text += "[" + r.from + " -> " + (r.too_long ? "(too long)" : r.to) + "]";
  }
  return text;
}

TEST(CollectTest, PlansRenamesThatLoseAndMergeNothing) {
  struct Case {
    std::vector<std::string> listing;  // in listing order
    std::string expected;
  } cases[] = {
      {{"a.txt", "b_c.txt", "readme"}, ""},                    // clean names: no command
      {{"a.txt", "A.txt.txt"}, "[A.txt.txt -> A_2.txt.txt]"},  // page a.htm is taken
      {{"A b.txt", "a_B.txt"}, "[A b.txt -> A_b_2.txt]"},      // the name is taken
      {{"a b.txt", "a-b.txt"}, "[a b.txt -> a_b.txt][a-b.txt -> a_b_2.txt]"},
      {{"file_page.txt", "page.txt"}, "[page.txt -> file_page_2.txt]"},
      {{"a b.txt", "a+b.txt", "a-b.txt", "a_b_2.txt"},
       "[a b.txt -> a_b.txt][a+b.txt -> a_b_3.txt][a-b.txt -> a_b_4.txt]"},
      {{" a.txt"}, "[ a.txt -> a.txt]"},  // a leading space is part of the name
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(PlanRenames(c.listing)), c.expected) << c.listing.front();
  }
}

// The page set's cleaned page "<stem>_01.htm" is the longest name made
// from a stem: a stem of 248 bytes is the longest kept, whatever makes it
// longer (its own bytes, "file_", "_2").
TEST(CollectTest, NamesTooLongForTheirWorkFilesTakeNoName) {
  const std::string a248(248, 'a');
  const std::string a249(249, 'a');
  const std::string page248 = "page_" + std::string(243, 'x');
  const std::string twin = std::string(246, 'b');
  struct Case {
    std::vector<std::string> listing;
    std::string expected;
  } cases[] = {
      {{a248 + ".txt"}, ""},
      {{a249 + ".txt", "z.txt"}, "[" + a249 + ".txt -> (too long)]"},
      {{page248 + ".txt"}, "[" + page248 + ".txt -> (too long)]"},
      {{twin + " b.txt", twin + "-b.txt"},
       "[" + twin + " b.txt -> " + twin + "_b.txt][" + twin + "-b.txt -> (too long)]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(PlanRenames(c.listing)), c.expected) << c.listing.front().size();
  }
}

TEST(CollectTest, SecondPassFindsNothingToRenameAndPagesAreDistinct) {
  std::vector<std::string> listing = {" a.txt",    "a b.txt",    "a+b.txt",      "a.txt",
                                      "a.txt.txt", "a_b.txt",    "a_b_2.txt",    "F_Promote.txt",
                                      "page.txt",  "page_1.txt", "\xC3\xA9.txt", "\xC3\xBC.txt",
                                      "__.txt"};
  for (const Rename& rename : PlanRenames(listing)) {
    *std::find(listing.begin(), listing.end(), rename.from) = rename.to;
  }
  std::sort(listing.begin(), listing.end(), [](const std::string& a, const std::string& b) {
    return common::Lower(a) < common::Lower(b);
  });
  EXPECT_EQ(Describe(PlanRenames(listing)), "");
  std::vector<std::string> pages;
  for (const std::string& name : listing) {
    pages.push_back(common::Lower(name.substr(0, common::FindNoCase(name, ".txt"))));
  }
  std::sort(pages.begin(), pages.end());
  EXPECT_EQ(std::adjacent_find(pages.begin(), pages.end()), pages.end());
}

}  // namespace
}  // namespace input
