// The published pages of a whole run, through the real program: every link
// into the document base names a file that exists and, with a fragment, an
// element id that the file carries.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>

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

PageIds IdsOf(const std::string& text) {
  static const std::regex kId(R"(\bid *= *"([^"]*)\")");
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t title_start = lower.find("<title>");
  size_t title_end = lower.find("</title>");
  PageIds ids;
  for (std::sregex_iterator it(text.begin(), text.end(), kId), end; it != end; ++it) {
    auto at = static_cast<size_t>(it->position(0));
    bool in_title = title_end != std::string::npos && at > title_start && at < title_end;
    (in_title ? ids.title : ids.body).insert((*it)[1]);
  }
  return ids;
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

  std::map<std::string, std::string> texts;
  for (const std::string& name : ListFolder(dir.path() / "htm_out")) {
    texts[name] = ReadFile(dir.path() / "htm_out" / name);
  }
  for (const char* name : {"index.htm", "files_list.htm", "i_1.htm", "s_1.htm", "page_04.htm"}) {
    EXPECT_TRUE(texts.count(name)) << name;
  }
  std::map<std::string, PageIds> ids;
  for (const auto& [name, text] : texts) ids[name] = IdsOf(text);

  static const std::regex kHref(R"(href *= *"([^"#]*)#?([^"]*)\")");
  int links = 0, title_links = 0;
  for (const auto& [name, text] : texts) {
    for (std::sregex_iterator it(text.begin(), text.end(), kHref), end; it != end; ++it) {
      std::string file = (*it)[1], fragment = (*it)[2];
      if (file.find("://") != std::string::npos) continue;  // web searches, maker site
      ++links;
      if (file.empty()) file = name;
      ASSERT_TRUE(texts.count(file)) << name << " links to missing " << it->str();
      if (fragment.empty() || ids[file].body.count(fragment)) continue;
      if (ids[file].title.count(fragment) && file.rfind("page_", 0) == 0) {
        ++title_links;  // the word's only span on that page is in its title
        continue;
      }
      ADD_FAILURE() << name << ": " << it->str() << " names no element";
    }
  }
  EXPECT_GT(links, 100);
  EXPECT_GT(title_links, 0);
}

// The pages are written on as many threads as there are hardware threads;
// one thread and many give the same document base and the same console.
TEST(PagesEndToEndTest, TheSameDocumentBaseWhateverTheNumberOfThreads) {
  const std::vector<std::string> vocabulary = {"cat", "Cat", "water", "WATER", "tree",
                                               "river", "stone", "bird", "cloud", "page_02.htm"};
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
