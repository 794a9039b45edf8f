#include "pages/annotate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pages/page_list.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// One word occurrence: page, line, column, word, word id, occurrence, next page.
struct Occ {
  Occ(std::string page_in, int line_in, int column_in, std::string word_in, std::string id_in,
      int occurrence_in, std::string next_in = "")
      : page(std::move(page_in)),
        line(line_in),
        column(column_in),
        word(std::move(word_in)),
        id(std::move(id_in)),
        occurrence(occurrence_in),
        next(std::move(next_in)) {}
  std::string page;
  int line, column;
  std::string word, id;
  int occurrence;
  std::string next;
};

std::string Span(const std::string& page, const std::string& id, const std::string& word) {
  return "<span id=\"" + id + "\" type = \"text/javascript\"ondblclick = \"window.open('" + page +
         "#" + id + "'); window.event.cancelbubble = true;\">" + word + "</span>";
}

// Writes the pages (each "<body>", its text line, "</body>"), annotates
// those with occurrences as the pages of group `group` (the page list is
// `list`, or the pages given) and returns each page's copy.
std::vector<Lines> Annotate(TestRun& t,
                            const std::vector<std::pair<std::string, std::string>>& pages,
                            const std::vector<Occ>& records, int group = 1, Lines list = {}) {
  if (list.empty()) {
    for (const auto& page : pages) list.push_back(page.first);
  }
  const PageList page_list(list);
  const std::string group_text = std::to_string(group);
  std::vector<Lines> copies;
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string& name = pages[i].first;
    WriteFile(t.root() / name, Join({"<body>", pages[i].second, "</body>"}));
    std::map<std::string, int> last;
    for (const Occ& o : records) {
      if (o.page == name) last[o.id] = std::max(last[o.id], o.occurrence);
    }
    if (last.empty()) {
      copies.emplace_back();
      continue;
    }
    PagePlace place{name, group_text, page_list.Find(name), i + 1 == pages.size()};
    PageAnnotator annotator(
        t.run().settings, place, platform::LineReader(t.root() / name),
        platform::LineWriter(t.run().paths.Create(t.root() / AnnotatedCopyName(name))));
    for (const Occ& o : records) {
      if (o.page != name) continue;
      annotator.Add(
          {o.line, o.column, o.word, o.id, o.occurrence, o.occurrence < last[o.id], o.next});
    }
    annotator.Finish();
    copies.push_back(ReadLines(t.root() / AnnotatedCopyName(name)));
  }
  return copies;
}

// The lines between the top links block and the bottom links block.
Lines Body(const Lines& page) {
  auto begin = std::find(page.begin(), page.end(), "<body>");
  auto end = std::find(page.begin(), page.end(), "</body>");
  if (begin == page.end() || end == page.end()) return {};
  while (end != begin && *end != "<br>") --end;  // the bottom links block
  return Lines(begin + 1, end);
}

TEST(AnnotateTest, CutsLinesIntoWordSpans) {
  struct Case {
    std::string text;
    std::vector<std::pair<int, std::string>> words;  // column, word
    Lines pieces;                                    // the text around the spans, in order
  };
  const Case cases[] = {
      {"The cat.", {{1, "The"}, {5, "cat"}}, {"", " ", "."}},
      {"a,b", {{1, "a"}, {3, "b"}}, {"", ",", ""}},
      {"  \"quoted\" it", {{4, "quoted"}}, {"  \"", "\" it"}},
  };
  for (const Case& c : cases) {
    TestRun t;
    t.run().settings.find_word = false;
    std::vector<Occ> records;
    Lines expected;
    for (size_t i = 0; i < c.words.size(); ++i) {
      std::string id = "id0000000" + std::to_string(i);
      records.push_back(Occ("page_01.htm", 2, c.words[i].first, c.words[i].second, id, 1));
      expected.push_back(c.pieces[i]);
      expected.push_back(Span("page_01.htm", id, c.words[i].second));
    }
    expected.push_back(c.pieces.back());
    EXPECT_EQ(Body(Annotate(t, {{"page_01.htm", c.text}}, records)[0]), expected) << c.text;
  }
}

TEST(AnnotateTest, NavigationSpansLinkOccurrencesAndPages) {
  TestRun t;
  std::vector<Lines> copies =
      Annotate(t, {{"page_01.htm", "cat cat dog"}, {"page_02.htm", "cat"}},
               {Occ("page_01.htm", 2, 1, "cat", "id00000000", 1, "page_02.htm"),
                Occ("page_01.htm", 2, 5, "cat", "id00000000", 2, "page_02.htm"),
                Occ("page_01.htm", 2, 9, "dog", "id00000003", 1),
                Occ("page_02.htm", 2, 1, "cat", "id00000000", 3)});
  Lines first = Body(copies[0]);
  ASSERT_EQ(first.size(), 27u);
  EXPECT_EQ(Lines(first.begin() + 2, first.begin() + 8),
            Lines({"<span hidden id=\"id00000000\">", "(1)(<a href=\"#id00000000_2\">&gt;</a>,",
                   "<a href=\"i_1.htm#id00000000\">i</a>,",
                   "<a href=\"s_1.htm#id00000000_1\">s</a>,", "<a href=\"files_list.htm\">c</a>,",
                   "<a href=\"page_02.htm#id00000000\">&gt;&gt;)</a></span>"}));
  EXPECT_EQ(first[8], "<span id=\"id00000000_1\"></span>");
  EXPECT_EQ(first[12], "(2)(<a href=\"#id00000000_2\"></a>");  // last on its page
  EXPECT_EQ(first[21], "(1)(<a href=\"#id00000003_1\"></a>");
  EXPECT_EQ(first[24], "<a href=\"files_list.htm\">c)</a></span>");  // the word's last page
  Lines second = Body(copies[1]);
  ASSERT_EQ(second.size(), 9u);
  EXPECT_EQ(second[3], "(3)(<a href=\"#id00000000_3\"></a>");
}

TEST(AnnotateTest, FindWordOffAndPagesListWriteNoNavigation) {
  for (bool find_word : {false, true}) {
    TestRun t;
    t.run().settings.find_word = find_word;
    std::vector<Lines> copies =
        Annotate(t, {{"page_01.htm", "Pages_list"}, {"page_02.htm", "other"}},
                 {Occ("page_01.htm", 2, 1, "Pages_list", "id00000000", 1),
                  Occ("page_02.htm", 2, 1, "other", "id00000001", 1)});
    EXPECT_EQ(Body(copies[0]), Lines({"", Span("page_01.htm", "id00000000", "Pages_list"), ""}));
    std::string text = Join(copies[0]) + Join(copies[1]);
    for (const char* part : {"display: inline", "<span hidden", "id00000001_1"}) {
      EXPECT_EQ(text.find(part) != std::string::npos, find_word) << part;
    }
    EXPECT_NE(text.find("font-weight: bold"), std::string::npos);
  }
}

TEST(AnnotateTest, BeforeAndNextLinksFollowThePageList) {
  TestRun t;
  t.run().settings.find_word = false;
  const Lines list = {"page_01.htm", "page_02.htm", "page_03.htm"};
  std::vector<Lines> copies = Annotate(t, {{"page_01.htm", "w"}, {"page_02.htm", "w"}},
                                       {Occ("page_01.htm", 2, 1, "w", "id00000000", 1),
                                        Occ("page_02.htm", 2, 1, "w", "id00000000", 2)},
                                       1, list);
  copies.push_back(Annotate(t, {{"page_03.htm", "w"}},
                            {Occ("page_03.htm", 2, 1, "w", "id00000000", 3)}, 2, list)[0]);
  const std::string before1 = "<a href=\"page_01.htm\"> Before </a> ";
  const std::string before2 = "<a href=\"page_02.htm\"> Before </a> ";
  const std::string next2 = "<a href=\"page_02.htm\"> Next </a>";
  const std::string next3 = "<a href=\"page_03.htm\"> Next </a> ";
  const std::string content = "<a href=\"files_list.htm\"> Content </a><br>";
  // Only the bottom block of a page that is not its group's last drops the
  // blank after Next.
  const Lines expected[][2] = {
      {{"<br>", next2 + " ", content}, {"<br>", next2, content}},
      {{"<br>", before1, next3, content}, {"<br>", before1, next3, content}},
      {{"<br>", before2, content}, {"<br>", before2, content}}};
  for (size_t i = 0; i < 3; ++i) {
    const Lines& page = copies[i];
    long top = static_cast<long>(expected[i][0].size());
    long bottom = static_cast<long>(expected[i][1].size());
    ASSERT_GE(page.size(), 15u);
    EXPECT_EQ(Lines(page.begin() + 10, page.begin() + 10 + top), expected[i][0]) << i;
    EXPECT_EQ(Lines(page.end() - 1 - bottom, page.end() - 1), expected[i][1]) << i;
  }
}

TEST(AnnotateTest, PagesWithoutBodyGetNoScriptAndNoLinks) {
  TestRun t;
  WriteFile(t.root() / "page_02.htm", Join({"<br>word", "<br>end"}));
  PageAnnotator annotator(t.run().settings, {"page_02.htm", "1", {}, true},
                          platform::LineReader(t.root() / "page_02.htm"),
                          platform::LineWriter(t.run().paths.Create(t.root() / "page_02_02.htm")));
  annotator.Add({1, 5, "word", "id00000000", 1, false, ""});
  annotator.Finish();
  Lines page = ReadLines(t.root() / "page_02_02.htm");
  ASSERT_EQ(page.size(), 10u);  // no script, no links blocks
  EXPECT_EQ(page[0], "<br>");
  EXPECT_EQ(page[1], Span("page_02.htm", "id00000000", "word"));
  EXPECT_EQ(page[8], "");
  EXPECT_EQ(page[9], "<br>end");
}

}  // namespace
}  // namespace pages
