#include "input/convert.h"

#include <gtest/gtest.h>

#include "support/test_run.h"

namespace input {
namespace {

TEST(ConvertTest, PageHoldsTheTextUnchangedButTrailingSpaces) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a < b\r\n<b>x</b> &amp;\n", {"a < b", "<b>x</b> &amp;"}},
      {"  lead\ttab\t  \n      \nlast   ", {"  lead\ttab\t", "", "last"}},
      // Only the mark that opens the text is dropped.
      {"\xEF\xBB\xBFword\r\n\xEF\xBB\xBFtwo\r\n", {"word", "\xEF\xBB\xBFtwo"}},
  };
  for (const Case& c : cases) {
    testing_support::TestRun t;
    testing_support::WriteFile(t.root() / "txt_wrk" / "notes.TXT", c.text);
    std::filesystem::create_directory(t.root() / "htm_wrk");
    WritePage(t.run(), "txt_wrk\\notes.TXT", "htm_wrk\\notes.htm");
    std::vector<std::string> expected = {
        "<HTML>", "<head>",
        "<meta http-equiv=\"content-type\"  content=\"text/HTML; charset=utf-8\">",
        "<title>", "htm_wrk\\notes.htm", "</title>", "</head>", "<body>", "<pre>"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.insert(expected.end(), {"</pre>", "</body>", "</html>"});
    EXPECT_EQ(testing_support::ReadLines(t.root() / "htm_wrk" / "notes.htm"), expected) << c.text;
  }
}

TEST(ConvertTest, PageFileNameEndsAtTheFirstTxt) {
  EXPECT_EQ(PageFileName("notes.TXT").value_or(""), "notes.htm");
  EXPECT_EQ(PageFileName(" a_2.txt.txt ").value_or(""), "a_2.htm");
  EXPECT_FALSE(PageFileName("readme").has_value());
}

}  // namespace
}  // namespace input
