#include "pages/contents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/page_list.h"
#include "pages/page_writer.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

TEST(ContentsTest, ListsEveryPageWithItsAnchor) {
  TestRun t;
  PageWriter out(platform::LineWriter(t.run().paths.Create(t.root() / "files_list.htm")),
                 PageLayout::kPlain);
  WriteContentsPage(t.run().settings, platform::Now(), PageList({"page_01.htm", "page_03.htm"}),
                    out);
  Lines page = ReadLines(t.root() / "files_list.htm");
  ASSERT_EQ(page.size(), 31u);
  EXPECT_EQ(page[6], "<title>index of key words</title>");
  EXPECT_EQ(page[12], "QUICK AND EASY INFORMATION SEARCH");
  EXPECT_EQ(page[21], "<a href=\"https://www.example.org\">https://www.example.org</a>");
  EXPECT_EQ(page[23].rfind("Date (mm-dd-yy) = ", 0), 0u);
  EXPECT_EQ(page[24].rfind("Time (h:m:s)    = ", 0), 0u);
  EXPECT_EQ(Lines(page.end() - 6, page.end()),
            Lines({"<br>",
                   "<a href=\"page_01.htm\"><span id = \"page_01.htm\" >page_01.htm</span></a><br>",
                   "<a href=\"page_03.htm\"><span id = \"page_03.htm\" >page_03.htm</span></a><br>",
                   "<br><br>", "</body>", "</html>"}));
}

}  // namespace
}  // namespace pages
