#include "pages/page_writer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace pages {
namespace {

// Lines that look like breaks but are not exactly "<br>" or "<br><br>".
const std::vector<std::string> kNearMisses = {
    "<BR>", "<br><BR>", " <br>", "<br> ", "<br><br><br>", "<br/>", "x<br>", "<br>\t", ""};

struct BlockCase {
  const char* name;
  int breaks;  // break lines written, each after a near miss
  PageLayout layout;
  std::set<int> blocks_after;  // the breaks (counted from 1) a block follows
};

// Writes `breaks` break lines ("<br>" and "<br><br>" in turn, every third
// one in pieces), each after a line that only looks like one, and returns
// the bytes expected (a block after the breaks named) and those written.
std::pair<std::string, std::string> WriteBreaks(const BlockCase& c) {
  testing_support::TestRun t;
  const auto path = t.root() / "i_1.htm";
  PageWriter out(platform::LineWriter(t.run().paths.Create(path)), c.layout);
  std::string expected;
  for (int n = 1; n <= c.breaks; ++n) {
    const std::string& miss = kNearMisses[static_cast<size_t>(n) % kNearMisses.size()];
    out.Line(miss);
    expected += miss + "\r\n";
    const bool two = n % 2 == 0;
    if (n % 3 == 0) {
      out.LineOf("<b", std::string_view(two ? "r><br" : "r"), ">");
    } else {
      out.Line(two ? "<br><br>" : "<br>");
    }
    expected += two ? "<br><br>\r\n" : "<br>\r\n";
    if (c.blocks_after.count(n) != 0) expected += "<div></div>\r\n";
  }
  out.Line("</html>");
  expected += "</html>\r\n";
  out.Close();
  return {expected, platform::ReadFileBytes(path)};
}

TEST(PageWriterTest, BlockAfterEveryThousandthBreakLine) {
  const std::vector<BlockCase> cases = {
      {"fewer than 1,000: unchanged", 999, PageLayout::kInBlocks, {}},
      {"the 1,000th", 1000, PageLayout::kInBlocks, {1000}},
      {"1,000th and 2,000th", 2000, PageLayout::kInBlocks, {1000, 2000}},
      {"2,000 in a plain page", 2000, PageLayout::kPlain, {}},
  };
  for (const BlockCase& c : cases) {
    auto [expected, written] = WriteBreaks(c);
    EXPECT_EQ(written, expected) << c.name;
  }
}

}  // namespace
}  // namespace pages
