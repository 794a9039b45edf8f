// Interrupted runs: the program is killed at several points of a run over
// the bundled samples, then run again to the end. The second run must
// publish exactly what an uninterrupted run publishes and leave nothing of
// the first behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

constexpr char kAnswers[] = "1\n1\n1\n\n\n";

// Every file below `folder` with its bytes, by relative path; folders as
// entries of their own, so an empty work folder left behind shows.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(entry.path(), folder).string();
    files[name] = entry.is_directory() ? "<folder>" : ReadFile(entry.path());
  }
  // The last listing of a run names the run's own folder.
  files.erase("dir_01.txt");
  return files;
}

fs::path WithSamples(const ScopedTempDir& dir) {
  fs::copy(SourceDir() / "examples" / "txt_in", dir.path() / "txt_in", fs::copy_options::recursive);
  return dir.path();
}

bool Printed(const ProgramResult& result, const std::string& line) {
  return std::find(result.lines.begin(), result.lines.end(), line) != result.lines.end();
}

// Where a run is killed (INDEXER_KILL_AT) and what shows that it was killed
// there: a file that exists by then, and a file and a progress line that do
// not yet.
struct KillPoint {
  const char* kill_at;
  const char* exists;
  const char* missing;
  const char* not_printed;
};

TEST(InterruptEndToEndTest, ARunKilledAnywhereIsMadeWholeByTheNextRun) {
  ScopedTempDir clean_dir;
  fs::path clean = WithSamples(clean_dir);
  ProgramResult reference = RunProgram(clean, kAnswers);
  ASSERT_EQ(reference.status, 0) << reference.err;
  const std::map<std::string, std::string> expected = Snapshot(clean);

  const KillPoint points[] = {
      // After the listing screen, the pages copied into htm_in.
      {"leftovers", "htm_ndx/htm_in/garden_notes.htm", "htm_in/f_promote.htm", "processed 1%"},
      // Word extraction, as it lists the numbered pages.
      {"extract:1", "page_01.htm", "wrd_24", "processed 10%"},
      // The word lists, with the binary word files written; the group
      // pages and the main index.
      {"word_ids:1", "wrd_24/occurrences.bin", "wrd_24_1.txt", "processed 50%"},
      {"group_pages:5", "wrd_24", "index.htm", "processed 60%"},
      {"main_index:1", "i_1.htm", "htm_out/index.htm", "processed 90%"},
      // Publishing: the numbered pages are in htm_out, the index pages not.
      {"publish:12", "htm_out/page_01.htm", "htm_out/index.htm", "processed 100%"},
  };
  for (const KillPoint& point : points) {
    SCOPED_TRACE(point.kill_at);
    ScopedTempDir dir;
    fs::path run = WithSamples(dir);
    ProgramResult killed = RunProgram(run, kAnswers, ProgramBinary(),
                                      {std::string("INDEXER_KILL_AT=") + point.kill_at});
    EXPECT_EQ(killed.status, -1) << "not killed: " << killed.out << killed.err;
    EXPECT_TRUE(fs::exists(run / point.exists)) << point.exists;
    EXPECT_FALSE(fs::exists(run / point.missing)) << point.missing;
    EXPECT_FALSE(Printed(killed, point.not_printed)) << killed.out;

    ProgramResult again = RunProgram(run, kAnswers);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(Printed(again, "Indexing is done.")) << again.out;
    EXPECT_EQ(Snapshot(run), expected);
  }
}

// The binary word files of a run killed after extraction are gone once the
// next run has cleared the leftovers, even when that run ends soon after.
TEST(InterruptEndToEndTest, TheNextRunsCleanUpRemovesTheBinaryWordFiles) {
  ScopedTempDir dir;
  fs::path run = WithSamples(dir);
  ProgramResult killed = RunProgram(run, kAnswers, ProgramBinary(), {"INDEXER_KILL_AT=word_ids"});
  EXPECT_EQ(killed.status, -1);
  ASSERT_TRUE(fs::exists(run / "wrd_24" / "occurrences.bin"));
  ASSERT_TRUE(fs::exists(run / "wrd_24" / "page_words.bin"));
  ASSERT_TRUE(fs::exists(run / "wrd_24" / "page_lasts.bin"));
  ASSERT_TRUE(fs::exists(run / "wrd_24" / "group_counts.bin"));
  ProgramResult next = RunProgram(run, kAnswers, ProgramBinary(), {"INDEXER_KILL_AT=trace"});
  EXPECT_EQ(next.status, -1);
  EXPECT_FALSE(fs::exists(run / "wrd_24" / "occurrences.bin"));
  EXPECT_FALSE(fs::exists(run / "wrd_24" / "page_words.bin"));
  EXPECT_FALSE(fs::exists(run / "wrd_24" / "page_lasts.bin"));
  EXPECT_FALSE(fs::exists(run / "wrd_24" / "group_counts.bin"));
}

}  // namespace
}  // namespace testing_support
