// Safety through the real program: started from another folder, two runs
// at once, links into txt_in, inputs that cannot be read, a program folder
// it may not write, a full disk, a clock out of range, and hosts that
// cannot tell the program's path or lock its folder.
// Every run happens in a fresh folder beside a sentinel folder (which is
// also the current folder of some cases) whose bytes and times must come
// out as they went in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

#include "e2e/e2e_util.h"
#include "e2e/launch.h"
#include "support/small_disk_posix.h"

namespace testing_support {
namespace {

constexpr char kAnswers[] = "1\n1\n1\n\n\n";
const std::string kDone = "Indexing is done.";
const std::string kStopped = "The run stopped: a file could not be written.";
constexpr uid_t kNobody = 65534;

// Every entry below `folder`, links not followed: kind, permissions, a hash
// of the bytes (files) or the target (links), and time of the last change.
void SnapshotInto(const fs::path& folder, const fs::path& top,
                  std::map<std::string, std::string>* tree) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    struct stat info {};
    lstat(it->path().c_str(), &info);
    std::string& text = (*tree)[it->path().lexically_relative(top).string()];
    text = std::to_string(info.st_mode) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec) + " ";
    if (S_ISLNK(info.st_mode)) {
      text += fs::read_symlink(it->path()).string();
    } else if (S_ISREG(info.st_mode) && (info.st_mode & S_IRUSR)) {
      text += std::to_string(std::hash<std::string>{}(ReadFile(it->path())));
    } else if (S_ISDIR(info.st_mode)) {
      SnapshotInto(it->path(), top, tree);
    }
  }
}

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> tree;
  SnapshotInto(folder, folder, &tree);
  return tree;
}

// <top>/run is the program's folder, <top>/sentinel a folder beside it that
// looks like another program's (an .exe, htm_out, check files, notes.txt).
class SafetyFolder {
 public:
  SafetyFolder() : run_(top_.path() / "run"), sentinel_(top_.path() / "sentinel") {
    fs::create_directories(logs());
    // Another user may pass through to the program's folder.
    fs::permissions(top_.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    WriteFile(sentinel_ / "other.exe", "another program");
    WriteFile(sentinel_ / "check_01.txt", "a check file of another program");
    WriteFile(sentinel_ / "notes.txt", "notes");
    WriteFile(sentinel_ / "htm_out" / "index.htm", "published elsewhere");
    WriteFile(run_ / "txt_in" / "a.txt", "alpha markera\n");
    WriteFile(run_ / "txt_in" / "b.txt", "beta markerb\n");
    fs::copy_file(ProgramBinary(), program());
  }
  void Seal() {
    sentinel_before_ = Snapshot(sentinel_);
    inputs_before_ = Snapshot(run_ / "txt_in");
  }

  // The program is started by its bare name, as found on the search path.
  void StartByName() { by_name_ = true; }
  bool by_name() const { return by_name_; }

  const fs::path& run() const { return run_; }
  const fs::path& sentinel() const { return sentinel_; }
  fs::path logs() const { return top_.path() / "logs"; }
  fs::path program() const { return run_ / ProgramBinary().filename(); }

  void ExpectSentinelAndInputsUnchanged() const {
    EXPECT_EQ(Snapshot(sentinel_), sentinel_before_);
    EXPECT_EQ(Snapshot(run_ / "txt_in"), inputs_before_);
  }

 private:
  ScopedTempDir top_;
  fs::path run_;
  fs::path sentinel_;
  std::map<std::string, std::string> sentinel_before_;
  std::map<std::string, std::string> inputs_before_;
  bool by_name_ = false;
};

// The settings that load the stand-in host `library` (tests/support) into
// the program. A sanitized program would refuse a library loaded before
// its runtime.
std::vector<std::string> Preloading(const char* library) {
  std::string sanitizer = "ASAN_OPTIONS=";
  if (const char* options = std::getenv("ASAN_OPTIONS")) sanitizer += std::string(options) + ":";
  return {std::string("LD_PRELOAD=") + library, sanitizer + "verify_asan_link_order=0"};
}

void Chown(const fs::path& path, uid_t user) {
  if (lchown(path.c_str(), user, user) != 0) ADD_FAILURE() << path << ": " << std::strerror(errno);
}

// Gives the run folder and everything in it to `user`.
void GiveTo(const fs::path& folder, uid_t user) {
  Chown(folder, user);
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_symlink() || !entry.is_directory()) {
      Chown(entry.path(), user);
    } else {
      GiveTo(entry.path(), user);
    }
  }
}

struct Case {
  const char* what;
  std::function<void(SafetyFolder&)> setup;
  std::vector<std::string> env;
  bool from_sentinel;  // started with the sentinel as current folder
  bool as_nobody;      // run as another user (as root, the only way to meet a permission)
  int status;
  std::vector<std::string> printed;  // parts of the standard output
  std::vector<std::string> errors;   // on the error stream
  std::vector<std::string> markers;  // indexed
  bool folder_as_before;             // the program's folder left as it was
};

TEST(SafetyEndToEndTest, HostileSetUpsEndAsDescribedAndTouchNothingElse) {
  const std::string long_name = std::string(251, 'n') + ".txt";  // its page set file: 258 bytes
  const Case cases[] = {
      {"started from another folder",
       [](SafetyFolder&) {},
       {},
       true,
       false,
       0,
       {kDone},
       {},
       {"markera", "markerb"},
       false},
      {"links named like work files lead into txt_in; htm_out and work folders are links to it",
       [](SafetyFolder& f) {
         for (const char* name : {"txt_file.txt", "dir_01.txt", "out_null.list", "check_01.txt",
                                  "txt_wrk.list", "out_null.txt"}) {
           fs::create_symlink("txt_in/a.txt", f.run() / name);
         }
         fs::create_directory(f.run() / "trace");
         fs::create_symlink("../txt_in/b.txt", f.run() / "trace" / "file_trace.txt");
         for (const char* folder : {"htm_out", "txt_wrk", "htm_wrk", "htm_in"}) {
           fs::create_directory_symlink("txt_in", f.run() / folder);
         }
       },
       {},
       false,
       false,
       0,
       {kDone},
       {},
       {"markera", "markerb"},
       false},
      {"inputs that cannot be read beside readable ones",
       [&long_name](SafetyFolder& f) {
         fs::path in = f.run() / "txt_in";
         WriteFile(in / long_name, "markerlong");
         WriteFile(in / "noread.txt", "markernoread");
         fs::permissions(in / "noread.txt", fs::perms::none);
         WriteFile(in / "con.txt", "markercon");
         WriteFile(in / "CONIN$.txt", "markerconin");
         WriteFile(in / "esc\x1b[31m.txt", "markeresc");
         ASSERT_EQ(mkfifo((in / "fifo.txt").c_str(), 0644), 0);
         fs::create_symlink("nowhere.txt", in / "dangling.txt");
         fs::create_symlink("loop.txt", in / "loop.txt");
         fs::create_directory(in / "folder.txt");
         if (getuid() == 0) GiveTo(f.run(), kNobody);
       },
       {},
       false,
       true,
       0,
       {kDone},
       {"skipped, cannot be read: noread.txt (" + std::string(std::strerror(EACCES)) + ")",
        "skipped, cannot be read: fifo.txt (a FIFO)",
        "skipped, cannot be read: folder.txt (a folder)",
        "skipped, cannot be read: dangling.txt (" + std::string(std::strerror(ENOENT)) + ")",
        "skipped, cannot be read: loop.txt (" + std::string(std::strerror(ELOOP)) + ")",
        "skipped, name too long: " + long_name, "skipped, name not allowed: con.txt",
        "skipped, name not allowed: CONIN$.txt", "skipped, name not allowed: esc\\x1B[31m.txt"},
       {"markera", "markerb"},
       false},
      {"a program folder it may not write",
       [](SafetyFolder& f) {
         fs::permissions(f.run(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
         if (getuid() != 0)
           fs::permissions(f.run(), fs::perms::owner_write, fs::perm_options::remove);
       },
       {},
       false,
       true,
       1,
       {kStopped, "\nfile: check_01.txt\r\nreason: " + std::string(std::strerror(EACCES))},
       {},
       {},
       true},
      // The program owns its work folders and all they hold: what stands
      // there of the wrong kind goes (a link as a link), or the run stops.
      {"work folders of the wrong kind, and entries of the wrong kind in them",
       [](SafetyFolder& f) {
         WriteFile(f.run() / "htm_in", "a file named like a work folder");
         ASSERT_EQ(mkfifo((f.run() / "htm_wrk").c_str(), 0644), 0);
         fs::create_symlink("nowhere", f.run() / "wrd_24");
         fs::create_symlink("nowhere", f.run() / "htm_out");
         WriteFile(f.run() / "txt_wrk" / "a.txt" / "left" / "f.txt", "a folder where a copy goes");
         fs::create_symlink("../../sentinel/notes.txt", f.run() / "txt_wrk" / "b.txt");
         WriteFile(f.run() / "htm_ndx" / "htm_in" / "a.htm" / "f.htm",
                   "a folder where a page goes");
       },
       {},
       false,
       false,
       0,
       {kDone},
       {},
       {"markera", "markerb"},
       false},
      {"a folder and a link where pages go, a file named like a work folder",
       [](SafetyFolder& f) {
         WriteFile(f.run() / "htm_in" / "a.htm" / "f.htm", "a folder where a page goes");
         WriteFile(f.run() / "htm_wrk" / "b.htm" / "f.htm", "a folder where a page goes");
         fs::create_symlink("../../sentinel", f.run() / "htm_in" / "b.htm");
         WriteFile(f.run() / "txt_wrk", "a file named like a work folder");
       },
       {},
       false,
       false,
       0,
       {kDone},
       {},
       {"markera", "markerb"},
       false},
      {"an entry of the wrong kind that cannot be removed",
       [](SafetyFolder& f) {
         fs::path kept = f.run() / "txt_wrk" / "a.txt" / "kept";
         WriteFile(kept / "f.txt", "in a folder the run may not change");
         if (getuid() == 0) GiveTo(f.run(), kNobody);
         fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_exec);
       },
       {},
       false,
       true,
       1,
       {kStopped,
        "file: txt_wrk\\a.txt\\kept\\f.txt\r\nreason: " + std::string(std::strerror(EACCES))},
       {},
       {},
       false},
      {"a folder where a page must go",
       [](SafetyFolder& f) { fs::create_directory(f.run() / "page_01.htm"); },
       {},
       false,
       false,
       1,
       {kStopped, "\nfile: page_01.htm\r\nreason: "},
       {},
       {},
       true},
      {"a clock past the year 9999",
       [](SafetyFolder&) {},
       {"SOURCE_DATE_EPOCH=99999999999999999"},
       false,
       false,
       1,
       {},
       {"SOURCE_DATE_EPOCH"},
       {},
       true},
      {"a clock before 1970",
       [](SafetyFolder&) {},
       {"SOURCE_DATE_EPOCH=-1"},
       false,
       false,
       1,
       {},
       {"SOURCE_DATE_EPOCH"},
       {},
       true},
      {"a clock in fractions",
       [](SafetyFolder&) {},
       {"SOURCE_DATE_EPOCH=1700000000.5"},
       false,
       false,
       1,
       {},
       {"SOURCE_DATE_EPOCH"},
       {},
       true},
      // Without /proc only a path the program was started by tells its
      // folder; the current folder is never taken for it.
      {"no /proc, started from another folder by its bare name",
       [](SafetyFolder& f) { f.StartByName(); },
       Preloading(INDEXER_HOST_WITHOUT_PROGRAM_PATH),
       true,
       false,
       1,
       {},
       {"The program cannot tell which folder it is in."},
       {},
       true},
      {"no /proc, started from another folder by its path",
       [](SafetyFolder&) {},
       Preloading(INDEXER_HOST_WITHOUT_PROGRAM_PATH),
       true,
       false,
       0,
       {kDone},
       {},
       {"markera", "markerb"},
       false},
      // A folder that cannot be locked could be shared by two runs unseen.
      {"a file system without locks",
       [](SafetyFolder&) {},
       Preloading(INDEXER_HOST_WITHOUT_LOCKS),
       false,
       false,
       1,
       {},
       {"The folder cannot be locked: " + std::string(std::strerror(ENOLCK))},
       {},
       true},
      {"a program folder that cannot be opened for reading",
       [](SafetyFolder& f) {
         fs::permissions(f.run(), fs::perms::owner_write | fs::perms::owner_exec |
                                      fs::perms::group_write | fs::perms::group_exec |
                                      fs::perms::others_write | fs::perms::others_exec);
       },
       {},
       false,
       true,
       1,
       {},
       {"The folder cannot be locked: " + std::string(std::strerror(EACCES))},
       {},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SafetyFolder f;
    c.setup(f);
    f.Seal();
    // The folder as its owner sees it, whatever the case left it open to.
    const fs::perms mode = fs::status(f.run()).permissions();
    fs::permissions(f.run(), fs::perms::owner_all, fs::perm_options::add);
    const auto folder_before = Snapshot(f.run());
    fs::permissions(f.run(), mode);
    const fs::path cwd = c.from_sentinel ? f.sentinel() : f.run();
    LaunchOptions options(cwd, c.env, c.as_nobody ? kNobody : 0);
    options.by_name = f.by_name();
    Launch run(f.program(), options, f.logs(), kAnswers);
    int status = run.Wait();
    fs::permissions(f.run(), fs::perms::owner_all, fs::perm_options::add);
    if (status == Launch::kNotAsUser) {
      ADD_FAILURE() << "cannot run the program as user " << kNobody;
      continue;
    }
    EXPECT_EQ(status, c.status) << run.out() << run.err();
    EXPECT_EQ(run.Printed(kDone), c.status == 0) << run.out();
    EXPECT_FALSE(run.Printed("Checking for cmd.exe!")) << run.out();
    for (const std::string& part : c.printed) {
      EXPECT_NE(run.out().find(part), std::string::npos) << part << "\n" << run.out();
    }
    for (const std::string& error : c.errors) {
      EXPECT_NE(run.err().find(error), std::string::npos) << error << "\n" << run.err();
    }
    EXPECT_EQ(run.err().find('\x1b'), std::string::npos) << run.err();
    std::string index = ReadFile(f.run() / "htm_out" / "index.htm");
    for (const std::string& marker : c.markers) EXPECT_TRUE(HasWordLine(index, marker)) << marker;
    for (const char* skipped :
         {"markerlong", "markernoread", "markercon", "markerconin", "markeresc"}) {
      EXPECT_FALSE(HasWordLine(index, skipped)) << skipped;
    }
    f.ExpectSentinelAndInputsUnchanged();
    if (c.folder_as_before) {
      EXPECT_EQ(Snapshot(f.run()), folder_before);
    }
    for (const char* folder : {"htm_out", "txt_wrk", "htm_wrk", "htm_in"}) {
      EXPECT_FALSE(fs::is_symlink(f.run() / folder)) << folder;
    }
  }
}

// The first run holds its folder while it waits at its first screen. The
// lock is the folder's: another start that would work there is turned away
// before it touches anything, whatever program file it starts from, and a
// start through a link in another folder works there beside it. With its
// standard input closed, a run reads the end of input and ends at the first
// screen, as with an empty input. The first run, answered last, publishes
// every page.
TEST(SafetyEndToEndTest, OneRunPerFolderWhateverProgramFileStartsIt) {
  enum Outcome { kTurnedAway, kIndexed, kFirstScreen };
  struct Start {
    const char* what;
    std::function<fs::path()> program;  // prepares and names the file started
    fs::path cwd;
    fs::path folder;  // the folder the run works in
    bool closed_input;
    Outcome outcome;
  };
  SafetyFolder f;
  std::vector<std::string> markers;
  for (int i = 0; i < 40; ++i) {
    markers.push_back("marker" + std::to_string(i));
    WriteFile(f.run() / "txt_in" / ("doc" + std::to_string(i) + ".txt"), markers.back() + "\n");
  }
  const fs::path other = f.run().parent_path() / "other";
  WriteFile(other / "txt_in" / "o.txt", "markerother\n");
  fs::create_symlink(f.program(), other / "linked.exe");
  const fs::path copy = f.run() / "www.example.com (2).exe";
  fs::copy_file(ProgramBinary(), copy);
  f.Seal();
  Launch first(f.program(), {f.run()}, f.logs());
  ASSERT_TRUE(first.Started(/*seconds=*/30));
  const Start starts[] = {
      {"the same program from another current folder", [&] { return f.program(); }, f.sentinel(),
       f.run(), false, kTurnedAway},
      {"a copy under another name", [&] { return copy; }, f.run(), f.run(), false, kTurnedAway},
      {"a link to the program in another folder", [&] { return other / "linked.exe"; }, other,
       other, false, kIndexed},
      {"the program file replaced during the run",
       [&] {
         fs::rename(f.program(), f.run() / "old.exe");
         fs::copy_file(ProgramBinary(), f.program());
         return f.program();
       },
       f.run(), f.run(), false, kTurnedAway},
      {"standard input closed", [&] { return other / "linked.exe"; }, other, other, true,
       kFirstScreen},
  };
  for (const Start& start : starts) {
    SCOPED_TRACE(start.what);
    const fs::path program = start.program();
    const auto folder_before = Snapshot(start.folder);
    LaunchOptions options(start.cwd);
    options.closed_input = start.closed_input;
    Launch second(program, options, f.logs(), kAnswers);
    const int status = second.Wait();
    if (start.outcome == kTurnedAway) {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(second.out(), "Another run of the program is working in this folder.\r\n");
    } else {
      EXPECT_EQ(status, 0) << second.out() << second.err();
      EXPECT_EQ(second.Printed(kDone), start.outcome == kIndexed) << second.out();
      EXPECT_TRUE(HasWordLine(ReadFile(other / "htm_out" / "index.htm"), "markerother"));
    }
    if (start.outcome != kIndexed) {
      EXPECT_EQ(Snapshot(start.folder), folder_before);
    }
  }
  first.Answer(kAnswers);
  EXPECT_EQ(first.Wait(), 0) << first.err();
  std::string index = ReadFile(f.run() / "htm_out" / "index.htm");
  for (const std::string& marker : markers) EXPECT_TRUE(HasWordLine(index, marker)) << marker;
  EXPECT_TRUE(fs::exists(f.run() / "htm_out" / "page_043.htm"));  // promotional + 42 inputs
  EXPECT_EQ(ListFolder(f.run()),
            (std::vector<std::string>{"dir_01.txt", "htm_out", "old.exe", "txt_in",
                                      "www.example.com (2).exe", "www.example.com.exe"}));
  f.ExpectSentinelAndInputsUnchanged();
}

// A run that fills the disk removes what it made as it stops, so the next
// run starts on the space there was: once the document too large for the
// disk is taken out (a link: nothing is freed by that), it completes.
TEST(SafetyEndToEndTest, AFullDiskStopFreesItsSpaceForTheNextRun) {
  ScopedTempDir top;
  fs::path run = top.path() / "run";
  SmallDisk disk(run, "2m");
  if (!disk.why_not().empty()) GTEST_SKIP() << disk.why_not();
  // The program and the large document lie off the small disk.
  fs::create_directories(top.path() / "bin");
  fs::copy_file(ProgramBinary(), top.path() / "bin" / ProgramBinary().filename());
  fs::create_symlink(top.path() / "bin" / ProgramBinary().filename(),
                     run / ProgramBinary().filename());
  std::string large;
  for (int line = 0; large.size() < (200u << 10); ++line) {
    large += "line " + std::to_string(line) + " of many words that fill the disk markerlarge\n";
  }
  WriteFile(top.path() / "large.txt", large);
  WriteFile(run / "txt_in" / "small.txt", "a small document markersmall\n");
  fs::create_symlink(top.path() / "large.txt", run / "txt_in" / "large.txt");
  const auto before = Snapshot(run);
  const unsigned long long free_before = disk.FreeBytes();

  Launch full(run / ProgramBinary().filename(), {run}, top.path(), kAnswers);
  EXPECT_EQ(full.Wait(), 1) << full.out() << full.err();
  EXPECT_TRUE(full.Printed(kStopped)) << full.out();
  EXPECT_TRUE(full.Printed("reason: " + std::string(std::strerror(ENOSPC)))) << full.out();
  EXPECT_EQ(Snapshot(run), before);
  EXPECT_GE(disk.FreeBytes() + (64u << 10), free_before);

  fs::remove(run / "txt_in" / "large.txt");
  Launch again(run / ProgramBinary().filename(), {run}, top.path(), kAnswers);
  EXPECT_EQ(again.Wait(), 0) << again.out() << again.err();
  EXPECT_TRUE(HasWordLine(ReadFile(run / "htm_out" / "index.htm"), "markersmall"));
}

}  // namespace
}  // namespace testing_support
