// The host-specific parts of the platform layer, checked the same way on
// every host: names as the folder stores them, UTF-8 names, drive names, the
// running program's own path, and a thread's priority.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <fstream>
#include <thread>

#include "common/bytes.h"
#include "platform/console.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ScopedTempDir;

void Touch(const fs::path& file) { std::ofstream(file, std::ios::binary) << "x"; }

TEST(HostTest, ResolvedPathsCarryTheNamesAsStored) {
  ScopedTempDir dir;
  fs::create_directory(dir.path() / "Htm_In");
  Touch(dir.path() / "Htm_In" / "x.htm");
  Touch(dir.path() / "a.txt");
  Paths paths(dir.path());
  // Whether the host finds "A.TXT" itself or the name index does, the path
  // (and so every listing and message made from it) shows the stored case.
  EXPECT_EQ(paths.Resolve("A.TXT"), paths.root() / "a.txt");
  EXPECT_EQ(paths.Resolve("htm_in\\X.HTM"), paths.root() / "Htm_In" / "x.htm");
  EXPECT_EQ(paths.Resolve("HTM_IN\\new.htm"), paths.root() / "Htm_In" / "new.htm");
  EXPECT_EQ(Paths::Native(*paths.Resolve("htm_in\\*.*")),
            Paths::Native(paths.root() / "Htm_In" / "*.*"));
  EXPECT_EQ(StoredName(paths.root() / "a.txt"), "a.txt");
}

TEST(HostTest, Utf8NamesMakeTheRoundTrip) {
  ScopedTempDir dir;
  const std::string name = "caf\xC3\xA9 \xE2\x82\xAC.txt";  // "café €.txt"
  Touch(dir.path() / HostName(name));
  Paths paths(dir.path());
  std::optional<fs::path> found = paths.Resolve("CAF\xC3\xA9 \xE2\x82\xAC.TXT");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->filename().string(), name);
  EXPECT_TRUE(fs::exists(*found));
  std::optional<fs::path> missing = paths.Resolve("\xC3\xBC\\new.txt");  // "ü\new.txt"
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->parent_path().filename().string(), "\xC3\xBC");
  // Bytes that are no UTF-8 still give a path of a missing entry.
  EXPECT_TRUE(paths.Resolve("bad\xFF.txt").has_value());

  // Files opened by such a path are the entries a listing shows.
  std::FILE* file = OpenFile(*missing, "wb");
  EXPECT_EQ(file, nullptr);  // its folder does not exist
  if (file != nullptr) std::fclose(file);
  fs::create_directory(missing->parent_path());
  file = OpenFile(*missing, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("written", file);
  std::fclose(file);
  file = OpenFile(*found, "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(std::fgetc(file), 'x');
  std::fclose(file);
  EXPECT_EQ(testing_support::ListFolder(dir.path() / HostName("\xC3\xBC")),
            (std::vector<std::string>{"new.txt"}));
}

TEST(HostTest, NoPathLeadsOutOfTheFolder) {
  ScopedTempDir outer;
  fs::create_directory(outer.path() / "prog");
  Touch(outer.path() / "keep.txt");
  Paths paths(outer.path() / "prog");
  const std::string leading_out[] = {"..\\keep.txt", "a\\..\\..\\keep.txt",
                                     Paths::Native(outer.path() / "keep.txt")};
  for (const std::string& path : leading_out) {
    EXPECT_EQ(paths.Resolve(path), std::nullopt) << path;
    EXPECT_EQ(paths.ForRead(path), fs::path()) << path;
    EXPECT_THROW(paths.ForWrite(path), common::IoError) << path;
  }
  // The folder's own native path, in any case, leads inside.
  EXPECT_EQ(paths.Resolve(common::Lower(Paths::Native(paths.root() / "new.txt"))),
            paths.root() / "new.txt");
  // A drive ("C:") in a path is refused where it is one, a plain name inside
  // elsewhere.
  for (std::string_view path : {"C:x.txt", "sub\\C:\\Windows\\x.txt", "sub\\c:", "C:"}) {
    std::optional<fs::path> host = paths.Resolve(path);
    if (host) {
      EXPECT_TRUE(paths.IsInside(*host)) << path;
    }
    fs::path read = paths.ForRead(path);
    if (!read.empty()) {
      EXPECT_TRUE(paths.IsInside(read)) << path;
    }
  }
}

TEST(HostTest, RunningProgramPathNamesThisProgram) {
  fs::path self = HostName(RunningProgramPath(nullptr));
  EXPECT_TRUE(self.is_absolute()) << self;
  EXPECT_TRUE(fs::is_regular_file(self)) << self;
  EXPECT_EQ(self.stem().string(), "indexer_tests");
}

// How soon the host runs the calling thread: higher runs first.
int Urgency() {
#ifdef _WIN32
  return GetThreadPriority(GetCurrentThread());
#elif defined(__linux__)
  return -getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
#else
  return 0;
#endif
}

// A scanning thread steps back, and only it: the thread that takes the
// pieces in keeps its place.
TEST(HostTest, ALoweredPriorityIsTheThreadsOwn) {
  const int before = Urgency();
#ifdef __linux__
  if (before <= -19) GTEST_SKIP() << "the tests run at the lowest priority already";
#endif
  int lowered = before;
  std::thread([&] {
    LowerThreadPriority();
    lowered = Urgency();
  }).join();
  EXPECT_EQ(Urgency(), before);
#if defined(_WIN32) || defined(__linux__)
  EXPECT_LT(lowered, before);
#endif
}

}  // namespace
}  // namespace platform
