// The published pages of a whole run, through the real program: every link
// into the document base names a file that exists and, with a fragment, an
// element id that the file carries.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

// The element ids of one page. Those inside its <title> are kept apart: a
// page's work path is a word of its title, indexed like any other, but its
// span there is title text, not an element.
struct PageIds {
  std::set<std::string> body;
  std::set<std::string> title;
};

// The values of every `name="..."` attribute of `text` (the name preceded
// by a blank, blanks allowed around the "="), with where each stands.
std::vector<std::pair<size_t, std::string>> Attributes(const std::string& text,
                                                       const std::string& name) {
  std::vector<std::pair<size_t, std::string>> values;
  const std::string blank_name = " " + name;
  for (size_t at = text.find(blank_name); at != std::string::npos;
       at = text.find(blank_name, at + 1)) {
    size_t from = at + blank_name.size();
    while (from < text.size() && text[from] == ' ') ++from;
    if (from == text.size() || text[from++] != '=') continue;
    while (from < text.size() && text[from] == ' ') ++from;
    if (from == text.size() || text[from++] != '"') continue;
    const size_t to = text.find('"', from);
    if (to == std::string::npos) break;
    values.emplace_back(at, text.substr(from, to - from));
  }
  return values;
}

PageIds IdsOf(const std::string& text) {
  const size_t title_start = text.find("<title>");
  const size_t title_end = text.find("</title>");
  PageIds ids;
  for (auto& [at, id] : Attributes(text, "id")) {
    const bool in_title = title_end != std::string::npos && at > title_start && at < title_end;
    (in_title ? ids.title : ids.body).insert(std::move(id));
  }
  return ids;
}

struct Links {
  int links = 0;
  int title_links = 0;
};

// Follows every link of every page of `folder` into the document base:
// each names a page that is there and, with a fragment, an element of it.
Links ExpectEveryLinkLands(const fs::path& folder) {
  std::map<std::string, std::string> texts;
  for (const std::string& name : ListFolder(folder)) texts[name] = ReadFile(folder / name);
  std::map<std::string, PageIds> ids;
  for (const auto& [name, text] : texts) ids[name] = IdsOf(text);
  Links count;
  for (const auto& [name, text] : texts) {
    for (const auto& [at, href] : Attributes(text, "href")) {
      if (href.find("://") != std::string::npos) continue;  // web searches, maker site
      ++count.links;
      const size_t hash = href.find('#');
      std::string file = href.substr(0, hash);
      const std::string fragment = hash == std::string::npos ? "" : href.substr(hash + 1);
      if (file.empty()) file = name;
      if (!texts.count(file)) {
        ADD_FAILURE() << name << " links to missing " << href;
        continue;
      }
      if (fragment.empty() || ids[file].body.count(fragment)) continue;
      if (ids[file].title.count(fragment) && file.rfind("page_", 0) == 0) {
        ++count.title_links;  // the word's only span on that page is in its title
        continue;
      }
      ADD_FAILURE() << name << ": " << href << " names no element";
    }
  }
  return count;
}

TEST(PagesEndToEndTest, EveryLinkLandsOnAFileAndAnElement) {
  ScopedTempDir dir;
  WriteFile(dir.path() / "txt_in" / "alpha.txt",
            "The cat sat on the mat.\nA cat and another cat.\n\nWater, water everywhere.\n");
  WriteFile(dir.path() / "txt_in" / "beta.txt",
            "Beta holds the cat too.\nwater WATER Water\n  indented line with words\n");
  std::string long_line;
  for (int i = 1; i <= 40; ++i) long_line += "word" + std::to_string(i % 33) + " ";
  WriteFile(dir.path() / "txt_in" / "gamma.txt", long_line + "\nThe end of gamma.\n");
  ProgramResult result = RunProgram(dir.path(), "1\n1\n1\n\n\n");
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  for (const char* name : {"index.htm", "files_list.htm", "i_1.htm", "s_1.htm", "page_04.htm"}) {
    EXPECT_TRUE(fs::exists(dir.path() / "htm_out" / name)) << name;
  }
  const Links links = ExpectEveryLinkLands(dir.path() / "htm_out");
  EXPECT_GT(links.links, 100);
  EXPECT_GT(links.title_links, 0);
}

// Past 100,000 occurrences the pages fall into several groups, and a text
// of more than 200,000 bytes into several pages: the annotated pages'
// links to the word index and search pages of their group, Before and
// Next, the next-page links and the main index's links all land.
TEST(PagesEndToEndTest, EveryLinkLandsPastTheGroupAndPageBounds) {
  ScopedTempDir dir;
  const int sizes[] = {20, 300, 70000, 40000, 4000, 25000, 50, 8000, 30000};  // words a file
  uint64_t next = 1;
  for (size_t file = 0; file < std::size(sizes); ++file) {
    std::string text;
    for (int word = 0; word < sizes[file]; ++word) {
      next = next * 6364136223846793005u + 1442695040888963407u;
      // Words of 3 and more letters, some common, most rare.
      const uint64_t draw = next >> 33;
      text += "w" + std::to_string(draw % 7 == 0 ? draw % 5 : draw % 3000) + "x";
      text += word % 12 == 11 ? "\n" : " ";
    }
    WriteFile(dir.path() / "txt_in" / ("text" + std::to_string(file) + ".txt"), text);
  }
  ProgramResult result = RunProgram(dir.path(), "1\n1\n1\nwww.example.net\n\n");
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  const fs::path out = dir.path() / "htm_out";
  // The texts of 70,000 and 40,000 words in three and two parts; the pages
  // 1 to 7 (the promotional page, text0, text1, text2~1 to ~3, text3~1)
  // bring the first group past 100,000 occurrences, and the other six
  // make the second.
  EXPECT_NE(result.out.find("text2~3.htm"), std::string::npos);
  EXPECT_NE(result.out.find("text3~2.htm"), std::string::npos);
  EXPECT_EQ(ListFolder(out).size(), 13u + 2 * 2 + 2);
  EXPECT_FALSE(fs::exists(out / "i_3.htm"));
  const std::string last_of_first = ReadFile(out / "page_007.htm");
  const std::string first_of_second = ReadFile(out / "page_008.htm");
  EXPECT_NE(last_of_first.find("\"i_1.htm#"), std::string::npos);
  EXPECT_EQ(last_of_first.find("\"i_2.htm#"), std::string::npos);
  EXPECT_NE(first_of_second.find("\"s_2.htm#"), std::string::npos);
  EXPECT_EQ(first_of_second.find("\"s_1.htm#"), std::string::npos);
  const Links links = ExpectEveryLinkLands(out);
  EXPECT_GT(links.links, 1000000);
}

// The pages are written on as many threads as there are hardware threads;
// one thread and many give the same document base and the same console.
TEST(PagesEndToEndTest, TheSameDocumentBaseWhateverTheNumberOfThreads) {
  const std::vector<std::string> vocabulary = {"cat",   "Cat",   "water", "WATER", "tree",
                                               "river", "stone", "bird",  "cloud", "page_02.htm"};
  std::map<std::string, std::string> inputs;
  for (int file = 0; file < 13; ++file) {
    std::string text;
    for (int line = 0; line < 40; ++line) {
      // Lines of 3 to 42 words: the longer ones get a random phrase.
      for (int word = 0; word < 3 + (file * 7 + line * 3) % 40; ++word) {
        text += vocabulary[(file * 31 + line * 17 + word * 13) % vocabulary.size()] + " ";
      }
      text += "\n";
    }
    inputs["text_" + std::to_string(file) + ".txt"] = text;
  }
  std::map<std::string, std::string> published[2];
  std::string printed[2];
  const char* threads[2] = {"INDEXER_THREADS=1", "INDEXER_THREADS=5"};
  for (int run = 0; run < 2; ++run) {
    ScopedTempDir dir;
    for (const auto& [name, text] : inputs) WriteFile(dir.path() / "txt_in" / name, text);
    ProgramResult result =
        RunProgram(dir.path(), "1\n1\n1\nwww.example.net\n\n", ProgramBinary(), {threads[run]});
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    for (const std::string& name : ListFolder(dir.path() / "htm_out")) {
      published[run][name] = ReadFile(dir.path() / "htm_out" / name);
    }
    // The program's path, printed twice, differs from run to run.
    printed[run] = result.out;
    for (size_t at; (at = printed[run].find(dir.path().string())) != std::string::npos;) {
      printed[run].replace(at, dir.path().string().size(), "DIR");
    }
  }
  EXPECT_EQ(published[0].size(), 20u);  // 14 pages, two groups of index pages, the main index
                                        // and the contents page
  EXPECT_TRUE(published[0] == published[1]);
  EXPECT_EQ(printed[0], printed[1]);
}

}  // namespace
}  // namespace testing_support
