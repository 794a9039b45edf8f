// Differential test: the streaming word list pipeline against a plain
// in-memory model that follows the steps literally (rescans and all), on a
// generated wrd_01.txt of a few thousand records.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/record.h"
#include "support/test_run.h"
#include "words/pipeline.h"

namespace words {
namespace {

using Lines = std::vector<std::string>;
using Fields = std::vector<std::string>;

Fields Split(const std::string& line) {
  std::vector<std::string_view> views;
  common::SplitRecord(line, &views);
  return Fields(views.begin(), views.end());
}

std::string Join(const Fields& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? ",\"" : "\"") + fields[i] + "\"";
  return line;
}

Lines ByteSort(Lines lines) {
  std::stable_sort(lines.begin(), lines.end());
  return lines;
}

// The platform sort: ASCII letters folded to lower case, then raw bytes.
Lines PlatformSort(const Lines& lines) {
  std::vector<std::pair<std::string, std::string>> keyed;
  for (const std::string& line : lines) keyed.emplace_back(common::Lower(line), line);
  std::sort(keyed.begin(), keyed.end());
  Lines sorted;
  for (auto& [folded, line] : keyed) sorted.push_back(line);
  return sorted;
}

// The work files as the steps describe them, computed the slow way.
struct Model {
  std::map<std::string, Lines> files;
  std::map<std::string, Lines> id_file_pages;  // page field of each id file line
  int groups = 0;

  Lines& operator[](const std::string& name) { return files[name]; }

  void Steps1To5(const Lines& wrd_01) {
    for (const std::string& line : wrd_01) {
      Fields f = Split(line);
      if (common::Contains(common::Lower(f[0]), "&nbsp;")) continue;
      files["wrd_01_01.txt"].push_back(Join({common::Lower(f[0]), f[1], f[2], f[0], f[3], f[4]}));
    }
    files["wrd_01_02.txt"] = ByteSort(files["wrd_01_01.txt"]);
    std::string id, previous;
    long long n = 0;
    for (const std::string& line : files["wrd_01_02.txt"]) {
      Fields f = Split(line);
      if (n == 0 || f[0] != previous) id = "id" + common::ZeroPad(n, 8);
      previous = f[0];
      ++n;
      files["wrd_03.txt"].push_back(Join({f[1], f[2], f[4], f[3], id}));
    }
    long long counter = 0;
    previous = files["wrd_03.txt"].empty() ? "" : Split(files["wrd_03.txt"][0])[4];
    for (const std::string& line : files["wrd_03.txt"]) {
      Fields f = Split(line);
      ++counter;
      if (f[4] != previous) counter = 1;
      if (common::Contains(f[0], "page_") && common::Contains(f[4], "id")) {
        f.push_back(std::to_string(counter));
        files["wrd_04.txt"].push_back(Join(f));
      }
      previous = f[4];
    }
    files["wrd_05.txt"] = ByteSort(files["wrd_04.txt"]);
    for (const std::string& line : files["wrd_05.txt"]) {
      Fields f = Split(line);
      if (common::Contains(common::Lower(f[0]), "page_") && common::Contains(f[4], "id")) {
        files["wrd_06.txt"].push_back(line);
      }
    }
    for (const std::string& line : files["wrd_06.txt"]) {
      Fields f = Split(line);
      std::string key = common::ZeroPad(100000000 - std::stoll(f[5]), 8);
      files["wrd_07.txt"].push_back(Join({key, f[4], f[0], f[1], f[2], f[3], f[4], f[5]}));
    }
    files["wrd_08.txt"] = ByteSort(files["wrd_07.txt"]);
  }

  void Step6(int group_size) {
    Lines& all = files["group_page_all.txt"];
    int counter = 0;
    for (const std::string& line : files["wrd_07.txt"]) {
      std::string page = Split(line)[2];
      if (std::find(all.begin(), all.end(), page) != all.end()) continue;
      if (groups == 0) {
        groups = 1;
        files["group_search_1.txt"];
      }
      files["group_search_" + std::to_string(groups) + ".txt"].push_back(Join({page}));
      all.push_back(page);
      if (++counter == group_size) {
        counter = 0;
        files["group_search_" + std::to_string(++groups) + ".txt"];
      }
    }
    files["group_page_all_sort.txt"] = ByteSort(all);
  }

  void Step7() {
    files["wrd_15.txt"];
    std::vector<Fields> wrd_08;
    for (const std::string& line : files["wrd_08.txt"]) wrd_08.push_back(Split(line));
    for (int g = 1; g <= groups; ++g) {
      std::string s = std::to_string(g);
      Lines& by_page = files["wrd_11_" + s + ".txt"];
      Lines& by_id = files["wrd_13_" + s + ".txt"];
      for (const std::string& group_line : files["group_search_" + s + ".txt"]) {
        std::string page = Split(group_line)[0];
        // wrd_08.txt read through once per page, as the step describes.
        for (const Fields& f : wrd_08) {
          if (f[2] != page) continue;
          by_page.push_back(Join({f[2], f[3], f[4], f[5], f[1], f[7]}));
          by_id.push_back(Join({f[1], f[2], f[3], f[4], f[5], f[1], f[7]}));
          files["wrd_15.txt"].push_back(Join({f[1], common::PadLeft(s, 5), f[2], f[3], f[4], f[5], f[7]}));
        }
      }
      files["wrd_12_" + s + ".txt"] = PlatformSort(by_page);
      files["wrd_14_" + s + ".txt"] = PlatformSort(by_id);
    }
  }

  // The records of `id` in wrd_03.txt (gathered once) and the next page
  // read from them.
  std::string NextPage(const std::string& id, const std::string& page) {
    if (!id_file_pages.count(id)) {
      Lines& pages_of_id = id_file_pages[id];
      for (const std::string& line : files["wrd_03.txt"]) {
        if (Split(line)[4] == id) pages_of_id.push_back(Split(line)[0]);
      }
    }
    const Lines& pages = id_file_pages[id];
    size_t i = 0;
    while (i < pages.size() && pages[i] != page) ++i;
    while (i < pages.size() && pages[i] == page) ++i;
    return i < pages.size() && pages[i] > page ? pages[i] : "";
  }

  void Step8() {
    for (int g = 1; g <= groups; ++g) {
      std::string s = std::to_string(g);
      for (const std::string& line : Lines(files["wrd_12_" + s + ".txt"])) {
        Fields f = Split(line);
        f.push_back(NextPage(f[4], f[0]));
        files["wrd_24_" + s + ".txt"].push_back(Join(f));
      }
    }
  }
};

// A few thousand records over 14 pages (page 9 has only dropped words),
// with case variants, punctuation, UTF-8 and words holding other ids.
Lines GenerateRecords(unsigned start) {
  const std::vector<std::string> vocabulary = {
      "the", "The", "THE", "and", "And", "word", "word,", "word.", "Zebra", "apple", "b\xC3\xA9" "b",
      "\xC3\xA9t\xC3\xA9", "&nbsp;&nbsp;", "a&NBSP;b", "id00000000", "xid00000003y", "it's",
      "(quote)", "page_05.htm", "end!", "~tilde", "a,b"};
  std::mt19937 random(start);
  Lines lines;
  for (int page = 1; page <= 14; ++page) {
    int count = page == 9 ? 3 : 100 + static_cast<int>(random() % 300);
    int line = 1, column = 1;
    for (int i = 0; i < count; ++i) {
      size_t pick = std::min(random() % vocabulary.size(), random() % vocabulary.size());
      std::string word = page == 9 ? "&nbsp;x" : vocabulary[pick];
      std::string name = "page_" + common::ZeroPad(page, 2) + ".htm";
      lines.push_back(Join({word, name, common::PadLeft(std::to_string(line), 10),
                            common::PadLeft(std::to_string(column), 6), word}));
      column += static_cast<int>(word.size()) + 1;
      if (random() % 6 == 0) {
        line += 1 + static_cast<int>(random() % 3);
        column = 1;
      }
    }
  }
  return lines;
}

TEST(WordListModelTest, WorkFilesEqualTheLiteralSteps) {
  for (int group_size : {4, 1}) {
    SCOPED_TRACE(group_size);
    testing_support::TestRun t;
    Lines wrd_01 = GenerateRecords(/*start=*/20240 + group_size);
    std::string bytes;
    for (const std::string& line : wrd_01) bytes += line + "\r\n";
    testing_support::WriteFile(t.root() / "wrd_01.txt", bytes);
    t.run().input_count = group_size;
    t.run().sort_run_lines = 97;  // several runs and merge levels
    t.run().sort_merge_width = 3;
    // With the smaller group size, pages also outgrow a sort run in bytes.
    if (group_size == 1) t.run().sort_run_bytes = 6000;
    BuildWordLists(t.run());

    Model model;
    model.Steps1To5(wrd_01);
    model.Step6(group_size);
    model.Step7();
    model.Step8();
    EXPECT_EQ(t.run().group_count, model.groups);
    for (const auto& [name, lines] : model.files) {
      std::string expected;
      for (const std::string& line : lines) expected += line + "\r\n";
      EXPECT_EQ(testing_support::ReadFile(t.root() / name), expected) << name;
    }
    // No per-word file: wrd_03.txt holds each word's records together.
    for (const std::string& name : testing_support::ListFolder(t.root())) {
      EXPECT_NE(name.rfind("id", 0), 0u) << name;
    }
  }
}

}  // namespace
}  // namespace words
