// Times the word list phase on a corpus: turns the corpus's text files into
// a wrd_01.txt as word extraction would (one record per blank-separated
// word of three or more bytes, one page per file), then runs
// words::BuildWordLists in a scratch program folder and prints the figures.
//
//   bench_words CORPUS_FOLDER SCRATCH_FOLDER [--steps]
//
// --steps times the pipeline's steps one by one instead of the whole phase.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/lines.h"
#include "driver/run_context.h"
#include "platform/console.h"
#include "platform/interpreter/interpreter.h"
#include "platform/paths.h"
#include "words/file_sort.h"
#include "words/pipeline.h"
#include "words/pipeline_steps.h"

namespace {

namespace fs = std::filesystem;

// Appends the records of one line's words, with the quote treatment of
// word extraction.
void AddWords(common::LineWriter& out, std::string_view line, const std::string& page,
              const std::string& line_field) {
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = std::min(line.find(' ', start), line.size());
    std::string word(line.substr(start, end - start));
    size_t column = start + 1;
    if (!word.empty() && word.front() == '"') {
      word.erase(0, 1);
      ++column;
    }
    if (!word.empty() && word.back() == '"') word.pop_back();
    std::replace(word.begin(), word.end(), '"', '\'');
    if (word.size() >= 3) {
      std::string col = common::PadLeft(std::to_string(column), 6);
      out.Line("\"" + word + "\",\"" + page + "\",\"" + line_field + "\",\"" + col + "\",\"" + word + "\"");
    }
    start = end + 1;
  }
}

// Writes wrd_01.txt for the corpus; returns the number of files.
int WriteWordRecords(const fs::path& corpus, const fs::path& scratch, size_t* records) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  size_t width = std::to_string(files.size() + 1).size();
  common::LineWriter out(scratch / "wrd_01.txt");
  for (size_t i = 0; i < files.size(); ++i) {
    std::string page = "page_" + common::ZeroPad(static_cast<long long>(i + 1), width) + ".htm";
    common::LineReader in(files[i]);
    std::string_view line;
    long long number = 10;  // the page head takes the first lines
    while (in.Next(&line)) AddWords(out, line, page, common::PadLeft(std::to_string(++number), 10));
  }
  out.Close();
  *records = 0;
  common::LineReader count(scratch / "wrd_01.txt");
  std::string_view line;
  while (count.Next(&line)) ++*records;
  return static_cast<int>(files.size());
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TimeSteps(driver::RunContext& run) {
  words::PageGroups groups;
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"lower-case list", [&] { words::WriteLowerCaseList(run); }},
      {"sort wrd_01_01", [&] { words::SortFile(run, "wrd_01_01.txt", "wrd_01_02.txt"); }},
      {"word ids", [&] { words::NumberWords(run); }},
      {"occurrences", [&] { words::NumberOccurrences(run); }},
      {"sort wrd_04", [&] { words::SortFile(run, "wrd_04.txt", "wrd_05.txt"); }},
      {"page records", [&] { words::KeepPageRecords(run); }},
      {"order keys", [&] { words::KeyByOccurrence(run); }},
      {"sort wrd_07", [&] { words::SortFile(run, "wrd_07.txt", "wrd_08.txt"); }},
      {"groups", [&] { groups = words::DividePages(run); }},
      {"sort pages", [&] { words::SortFile(run, "group_page_all.txt", "group_page_all_sort.txt"); }},
      {"group lists", [&] { words::WriteGroupLists(run, groups); }},
      {"next pages", [&] { words::WriteNextPages(run, groups.group_count); }},
  };
  for (const auto& [name, work] : steps) std::cout << "  " << name << ": " << Seconds(work) << " s\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_words CORPUS_FOLDER SCRATCH_FOLDER [--steps]\n";
    return 2;
  }
  fs::path corpus = argv[1];
  fs::path scratch = argv[2];
  bool steps = argc > 3 && std::string(argv[3]) == "--steps";
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  size_t records = 0;
  int files = WriteWordRecords(corpus, scratch, &records);

  std::istringstream keys;
  std::ostringstream printed;
  platform::Console console(keys, printed, std::cerr, /*terminal=*/false);
  platform::Paths paths(scratch);
  platform::Interpreter interpreter(paths, console);
  driver::RunContext run(console, paths, interpreter);
  run.input_count = files;
  double seconds = Seconds([&] {
    if (steps) {
      TimeSteps(run);
    } else {
      words::BuildWordLists(run);
    }
  });
  std::cout << "files " << files << ", word records " << records << ", groups "
            << run.group_count << "\n";
  std::cout << "word list phase: " << seconds << " s, "
            << static_cast<long long>(static_cast<double>(records) / seconds) << " records/s\n";
  return 0;
}
