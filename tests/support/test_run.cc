#include "support/test_run.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>

#include "common/bytes.h"
#include "platform/binary_file.h"
#include "platform/lines.h"
#include "run/work_files.h"
#include "scan/extract.h"
#include "words/word_ids.h"

namespace testing_support {

ScopedTempDir::ScopedTempDir(const fs::path& base) {
  std::random_device entropy;
  std::mt19937_64 random(entropy());
  for (;;) {
    fs::path candidate = base / ("ixtest_" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = fs::canonical(candidate);
      return;
    }
  }
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code error;
  // Make read-only folders removable again before removing the tree.
  for (auto it = fs::recursive_directory_iterator(path_, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::remove_all(path_, error);
}

TestRun::TestRun(std::string input)
    : in_(std::move(input)),
      console_(in_, out_, err_, /*terminal=*/false),
      paths_(dir_.path()),
      interpreter_(paths_, console_, limits_),
      run_(console_, paths_, interpreter_, limits_) {
  run_.program_name = "www.example.com.exe";
  run_.executable_name = "www.example.com.exe";
  run_.target_site = "www.example.com";
}

std::vector<std::string> TestRun::OutLines() const { return SplitLines(out_.str()); }

void WriteFile(const fs::path& path, std::string_view bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& path) { return platform::ReadFileBytes(path); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> ReadLines(const fs::path& path) { return SplitLines(ReadFile(path)); }

std::vector<std::string> ListFolder(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

// The id text of a word; before the word lists set the ids, every word's
// is id 0.
std::string IdOf(const runctx::WordData& data, uint32_t word) {
  return word < data.ids.size() ? data.IdText(word) : "id00000000";
}

template <typename Record>
std::vector<Record> ReadAll(const fs::path& host, uint64_t count) {
  std::vector<Record> records;
  if (count == 0) return records;
  runctx::RecordRange<Record> range(host, /*first=*/0, count);
  for (Record record; range.Next(&record);) records.push_back(record);
  return records;
}

}  // namespace

std::vector<std::string> OccurrenceLines(const runctx::RunContext& run) {
  std::vector<std::string> lines;
  if (!run.word_data) return lines;
  const runctx::WordData& data = *run.word_data;
  auto all = ReadAll<runctx::Occurrence>(data.occurrence_file, data.occurrence_count);
  for (const runctx::PageInfo& page : data.pages) {
    for (uint64_t i = 0; i < page.occurrence_count; ++i) {
      const runctx::Occurrence& o = all[page.first_occurrence + i];
      lines.push_back(page.name + " " + std::to_string(o.line) + " " + std::to_string(o.column) +
                      " " + std::string(data.Form(o.form)) + " " +
                      IdOf(data, data.form_word[o.form]) + " " + std::to_string(o.number));
    }
  }
  return lines;
}

std::vector<std::string> PageWordLines(const runctx::RunContext& run) {
  std::vector<std::string> lines;
  if (!run.word_data) return lines;
  const runctx::WordData& data = *run.word_data;
  auto all = ReadAll<runctx::PageWord>(data.page_word_file, data.page_word_count);
  auto lasts = ReadAll<runctx::PageLast>(data.page_last_file, data.page_word_count);
  auto next_pages = ReadAll<runctx::NextPage>(data.next_page_file, data.page_word_count);
  for (const runctx::PageInfo& page : data.pages) {
    for (uint64_t i = 0; i < page.page_word_count; ++i) {
      const uint64_t at = page.first_page_word + i;
      const runctx::PageWord& w = all[at];
      const uint32_t next = next_pages[at];
      lines.push_back(page.name + " " + IdOf(data, w.word) + " " + std::to_string(w.count) + " " +
                      std::to_string(w.first_number) + " " + std::string(data.Form(w.first_form)) +
                      " " + std::to_string(lasts[at].last_number) + " " +
                      (next == 0 ? std::string("-") : data.pages[next - 1].name));
    }
  }
  return lines;
}

void ExtractPages(TestRun& t, const std::map<int, std::vector<std::string>>& pages) {
  for (const auto& [page, lines] : pages) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    WriteFile(t.root() / runctx::PageFile(common::ZeroPad(page, /*width=*/2)), bytes);
  }
  scan::ExtractWords(t.run());
}

void ExtractAndNumber(TestRun& t, const std::map<int, std::vector<std::string>>& pages,
                      int group_size) {
  t.run().input_count = group_size;
  ExtractPages(t, pages);
  t.ClearOut();
  words::NumberWords(*t.run().word_data);
}

bool HasWordLine(const std::string& page, const std::string& word) {
  std::vector<std::string> lines = SplitLines(page);
  return std::find(lines.begin(), lines.end(), word) != lines.end();
}

void WriteMixedCaseFolder(TestRun& t) {
  WriteFile(t.root() / "b.TXT", "b");
  WriteFile(t.root() / "a.txt", "a");
  WriteFile(t.root() / "page.html", "p");
  WriteFile(t.root() / "README", "r");
  WriteFile(t.root() / "Htm_In" / "x.htm", "x");
  WriteFile(t.root() / "Htm_In" / "y.HTM", "y");
  WriteFile(t.root() / "Htm_In" / "sub" / "z.htm", "z");
}

}  // namespace testing_support
