// The published pages of a whole run, through the real program: every link
// into the document base names a file that exists and, with a fragment, an
// element id that the file carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

// The element ids of one output page. Ids inside the <title> element are
// kept apart: a word of a page's title (its work path) is indexed, but its
// span there is title text, not an element.
struct PageIds {
  std::set<std::string> body;
  std::set<std::string> title;
};

std::string LowerCopy(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// The quoted values of an attribute (id or href), written with or without
// blanks around "=", with their byte offsets.
std::vector<std::pair<size_t, std::string>> Attributes(const std::string& text,
                                                       const std::string& name) {
  std::vector<std::pair<size_t, std::string>> values;
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    if (at > 0 && text[at - 1] != ' ' && text[at - 1] != '<' && text[at - 1] != '"') continue;
    size_t i = at + name.size();
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size() || text[i] != '=') continue;
    ++i;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size() || text[i] != '"') continue;
    size_t close = text.find('"', i + 1);
    if (close == std::string::npos) continue;
    values.emplace_back(at, text.substr(i + 1, close - i - 1));
  }
  return values;
}

PageIds IdsOf(const std::string& text) {
  PageIds ids;
  std::string lower = LowerCopy(text);
  size_t title_start = lower.find("<title>");
  size_t title_end = lower.find("</title>");
  for (const auto& [at, value] : Attributes(text, "id")) {
    bool in_title = title_start != std::string::npos && title_end != std::string::npos &&
                    at > title_start && at < title_end;
    (in_title ? ids.title : ids.body).insert(value);
  }
  return ids;
}

void WriteInputs(const fs::path& folder) {
  WriteFile(folder / "txt_in" / "alpha.txt",
            "The cat sat on the mat.\nA cat and another cat.\n\nWater, water everywhere.\n");
  WriteFile(folder / "txt_in" / "beta.txt",
            "Beta holds the cat too.\nwater WATER Water\n  indented line with words\n");
  std::string long_line;
  for (int i = 1; i <= 40; ++i) long_line += "word" + std::to_string(i % 33) + " ";
  WriteFile(folder / "txt_in" / "gamma.txt", long_line + "\nThe end of gamma.\n");
}

TEST(PagesEndToEndTest, EveryLinkLandsOnAFileAndAnElement) {
  ScopedTempDir dir;
  WriteInputs(dir.path());
  ProgramResult result = RunProgram(dir.path(), "1\n1\n1\n\n\n");
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  fs::path out = dir.path() / "htm_out";
  std::vector<std::string> names = ListFolder(out);
  for (const char* expected : {"index.htm", "files_list.htm", "i_1.htm", "s_1.htm"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
  }

  std::map<std::string, std::string> texts;
  std::map<std::string, PageIds> ids;
  for (const std::string& name : names) {
    texts[name] = ReadFile(out / name);
    ids[name] = IdsOf(texts[name]);
  }
  int links = 0;
  int title_links = 0;
  for (const auto& [name, text] : texts) {
    for (const auto& [at, href] : Attributes(text, "href")) {
      if (href.find("://") != std::string::npos) continue;  // web searches, maker site
      ++links;
      size_t hash = href.find('#');
      std::string file = hash == std::string::npos ? href : href.substr(0, hash);
      std::string fragment = hash == std::string::npos ? "" : href.substr(hash + 1);
      if (file.empty()) file = name;
      ASSERT_TRUE(texts.count(file)) << name << " links to missing " << href;
      if (fragment.empty()) continue;
      const PageIds& target = ids[file];
      if (target.body.count(fragment)) continue;
      if (target.title.count(fragment) && file.rfind("page_", 0) == 0) {
        ++title_links;  // the word's only span on that page is in its title
        continue;
      }
      ADD_FAILURE() << name << " links to " << href << ", which names no element";
    }
  }
  EXPECT_GT(links, 100);
  EXPECT_GT(title_links, 0);  // each page's work path is a word of its title
}

}  // namespace
}  // namespace testing_support
