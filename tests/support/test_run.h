// Test support: a scoped temporary folder, a run context over it with a
// scripted console, and helpers to write and read files there.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/limits.h"
#include "platform/console.h"
#include "platform/interpreter/interpreter.h"
#include "platform/paths.h"
#include "run/run_context.h"

namespace testing_support {

namespace fs = std::filesystem;

/// A fresh folder under the system's temporary folder (or under `base`),
/// removed at the end.
class ScopedTempDir {
 public:
  ScopedTempDir() : ScopedTempDir(fs::temp_directory_path()) {}
  explicit ScopedTempDir(const fs::path& base);
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

/// A run context over a temporary program folder. The console reads the
/// scripted `input` (one key answer per line) and collects what is printed.
class TestRun {
 public:
  explicit TestRun(std::string input = {});

  runctx::RunContext& run() { return run_; }
  /// The run's limits, which the interpreter's sort reads too; a test lowers
  /// a field to cross its boundary with a few lines or words.
  common::Limits& limits() { return limits_; }
  const fs::path& root() const { return dir_.path(); }
  /// What was printed on the console (CR LF line ends kept).
  std::string out() const { return out_.str(); }
  std::string err() const { return err_.str(); }
  /// Printed lines without their CR LF.
  std::vector<std::string> OutLines() const;
  void ClearOut() {
    out_.str("");
    err_.str("");
  }
  /// Runs a command line through the interpreter.
  void Command(std::string_view line) { interpreter_.Run(line); }

 private:
  ScopedTempDir dir_;
  std::istringstream in_;
  std::ostringstream out_;
  std::ostringstream err_;
  platform::Console console_;
  platform::Paths paths_;
  common::Limits limits_;
  platform::Interpreter interpreter_;
  runctx::RunContext run_;
};

/// The occurrences of the run's word data in the binary work file, one line
/// each: "page line column word id number".
std::vector<std::string> OccurrenceLines(const runctx::RunContext& run);
/// The page words of the run's word data, one line each: "page id count
/// first_number first_form last_number next_page" ("-" for no next page).
std::vector<std::string> PageWordLines(const runctx::RunContext& run);

/// Writes the numbered pages page_<nn>.htm (page number -> its lines, each
/// ended by CR LF) into the run's folder and extracts their words into the
/// run's word data, as the page set and word extraction leave them.
void ExtractPages(TestRun& t, const std::map<int, std::vector<std::string>>& pages);

/// ExtractPages with groups of `group_size` pages, then the word ids set, so
/// the occurrence and page-word lines show real ids; the console is cleared.
void ExtractAndNumber(TestRun& t, const std::map<int, std::vector<std::string>>& pages,
                      int group_size = 10);

/// Fills the run's folder with a few files and folders of mixed case:
/// b.TXT, a.txt, page.html, README, Htm_In\x.htm, Htm_In\y.HTM and
/// Htm_In\sub\z.htm (each holding one byte).
void WriteMixedCaseFolder(TestRun& t);

/// Writes `bytes` to `path`, creating the parent folders.
void WriteFile(const fs::path& path, std::string_view bytes);
/// The bytes of `path`; empty when missing.
std::string ReadFile(const fs::path& path);
/// The lines of `path` without their endings (CR LF or LF).
std::vector<std::string> ReadLines(const fs::path& path);
/// Splits text into lines at LF, dropping a CR before it.
std::vector<std::string> SplitLines(std::string_view text);
/// True when one line of `page` is `word` exactly.
bool HasWordLine(const std::string& page, const std::string& word);
/// The names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const fs::path& folder);

}  // namespace testing_support
