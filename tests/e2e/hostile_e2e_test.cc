// Hostile input through the real program: odd bytes, a huge line, many
// files, odd names, links in and beside the input, folders that are files,
// an output folder it may not write and a disk that fills up. Every run
// happens in a fresh folder beside a tree of files that must come out of
// the run exactly as it went in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <regex>

#include "e2e/e2e_util.h"
#include "e2e/launch.h"
#include "support/small_disk_posix.h"

namespace testing_support {
namespace {

constexpr char kAnswers[] = "1\n1\n1\n\n\n";
const std::string kDone = "Indexing is done.";

// Every entry below `folder`, not following links: its kind, permission
// bits and bytes (files) or target (links).
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    fs::file_status status = entry.symlink_status();
    std::string& text = tree[fs::relative(entry.path(), folder).string()];
    text = std::to_string(static_cast<int>(status.type())) + " " +
           std::to_string(static_cast<unsigned>(status.permissions())) + " ";
    if (fs::is_symlink(status)) {
      text += fs::read_symlink(entry.path()).string();
    } else if (fs::is_regular_file(status)) {
      text += ReadFile(entry.path());
    }
  }
  return tree;
}

// True when `word` stands on a line of its own in `page` (the main index
// shows each word so, before its group links).
int CountPages(const fs::path& folder) {
  std::regex page(R"(page_\d+\.htm)");
  int count = 0;
  for (const std::string& name : ListFolder(folder)) count += std::regex_match(name, page);
  return count;
}

bool HasLine(const ProgramResult& result, const std::string& line) {
  return std::find(result.lines.begin(), result.lines.end(), line) != result.lines.end();
}

// A run folder `run` beside a folder `outside` that holds a few files (one
// a document linked into the input, others link targets). The run may read
// there but never change anything.
class HostileRun {
 public:
  explicit HostileRun(const fs::path& base = fs::temp_directory_path())
      : top_(base), run_(top_.path() / "run"), outside_(top_.path() / "outside") {
    fs::create_directory(run_);
    WriteFile(outside_ / "keep.txt", "kept as it is");
    WriteFile(outside_ / "doc.txt", "a document linked into txt_in: markerlinked\n");
    WriteFile(outside_ / "relative.txt", "linked by a relative path: markerrelative\n");
    WriteFile(outside_ / "hard.txt", "a second name in txt_in: markerhard\n");
    for (const char* name : {"hard_a.txt", "hard_b.txt", "hard_c.txt", "hard_d.htm"}) {
      WriteFile(outside_ / name, std::string("data of ") + name);
    }
    WriteFile(outside_ / "x_target.txt", "target of a link named like a work file");
    WriteFile(outside_ / "y_target.htm", "<p>target of a link named like a page</p>");
    WriteFile(outside_ / "folder" / "inner.htm", "inside a linked folder");
    WriteFile(outside_ / "folder" / "inner.txt", "inside a linked folder");
    before_ = Tree(outside_);
  }

  const fs::path& run() const { return run_; }
  const fs::path& outside() const { return outside_; }
  void Write(const std::string& name, std::string_view bytes) { WriteFile(run_ / name, bytes); }
  void Link(const fs::path& target, const std::string& name) {
    fs::create_directories((run_ / name).parent_path());
    fs::create_symlink(target, run_ / name);
  }
  // A second name (a hard link) in the run folder for a file outside.
  void HardLink(const std::string& outside_name, const std::string& name) {
    fs::create_directories((run_ / name).parent_path());
    fs::create_hard_link(outside_ / outside_name, run_ / name);
  }

  ProgramResult Run(const std::string& answers = kAnswers) {
    ProgramResult result = RunProgram(run_, answers);
    // The run ended by itself: a crash or a sanitizer finding does not.
    EXPECT_NE(result.status, -1) << result.err;
    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("runtime error"), std::string::npos) << result.err;
    return result;
  }

  std::string Index() const { return ReadFile(run_ / "htm_out" / "index.htm"); }

  // Nothing beside the run folder changed, nor appeared.
  void ExpectOutsideUnchanged() const {
    EXPECT_EQ(Tree(outside_), before_);
    EXPECT_EQ(ListFolder(top_.path()), (std::vector<std::string>{"outside", "run"}));
  }

  // A complete run: status 0, the results screen, every marker indexed,
  // `pages` pages published (the promotional page included), nothing
  // changed outside.
  void ExpectIndexed(const ProgramResult& result, const std::vector<std::string>& markers,
                     int pages) const {
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(HasLine(result, kDone)) << result.out;
    std::string index = Index();
    for (const std::string& marker : markers) {
      EXPECT_TRUE(HasWordLine(index, marker)) << "not indexed: " << marker;
    }
    EXPECT_EQ(CountPages(run_ / "htm_out"), pages);
    ExpectOutsideUnchanged();
  }

 private:
  ScopedTempDir top_;
  fs::path run_;
  fs::path outside_;
  std::map<std::string, std::string> before_;
};

struct BytesCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> files;  // in txt_in
  std::vector<std::string> markers;
};

TEST(HostileEndToEndTest, OddBytesAroundTheWords) {
  const std::string nul(1, '\0');
  const BytesCase cases[] = {
      {"an empty file beside another",
       {{"empty.txt", ""}, {"plain.txt", "plain markerplain\n"}},
       {"markerplain"}},
      {"NUL and control bytes",
       {{"control.txt", nul + nul + " markernul \x01\x02\x03\x7f\n\x1b[1m markerctl \x08\t\n" +
                            nul + "\n\x0c\x0b markerlast"}},
       {"markernul", "markerctl", "markerlast"}},
      // Read as Windows-1252 byte by byte (C0 AF is A-grave, macron).
      {"invalid UTF-8",
       {{"bad.txt",
         "\xfd\xff\xfe markerbad \xc3\x28 \xe2\x82 \xed\xa0\x80 "
         "\xf4\x90\x80\x80\n\xc0\xafmarkerover"}},
       {"markerbad", "\xc3\x80\xc2\xafmarkerover"}},
      // A line ends at LF only: the whole file is one line, and the CR bytes
      // go with the other bytes below 16 when the page is cleaned.
      {"CR-only line ends",
       {{"mac.txt", "one markercrone two\rthree markercrtwo four\rfive markercrthree six\r"}},
       {"markercrone", "markercrtwo", "markercrthree"}},
  };
  for (const BytesCase& c : cases) {
    SCOPED_TRACE(c.what);
    HostileRun run;
    for (const auto& [name, bytes] : c.files) run.Write("txt_in/" + name, bytes);
    run.ExpectIndexed(run.Run(), c.markers, 1 + static_cast<int>(c.files.size()));
  }
}

TEST(HostileEndToEndTest, ALineOfFiveMegabytes) {
  HostileRun run;
  std::string line = "markerlongstart ";
  line.reserve(5 << 20);
  for (int word = 0; line.size() < (5u << 20); ++word) {
    line += "w" + std::to_string(word) + std::string(1000, 'x') + ' ';
  }
  line += "markerlongend";
  run.Write("txt_in/long.txt", line);
  const std::string far_word = "w4000" + std::string(1000, 'x');  // past column 1,000,000
  // Its page lines of about 100,000 bytes go two to a part: the
  // promotional page and 27 parts.
  run.ExpectIndexed(run.Run(), {"markerlongstart", far_word, "markerlongend"}, 28);
  // The annotated pages hold the text once, each word in its own span.
  size_t text = 0, found = 0;
  for (int page = 2; page <= 28; ++page) {
    const std::string number = std::to_string(page);
    const std::string name = "page_" + std::string(3 - number.size(), '0') + number + ".htm";
    const std::string annotated = ReadFile(run.run() / "htm_out" / name);
    text += annotated.size();
    for (size_t at = annotated.find(far_word + "<"); at != std::string::npos;
         at = annotated.find(far_word + "<", at + 1)) {
      ++found;
    }
  }
  EXPECT_GT(text, line.size());
  EXPECT_LT(text, 2 * line.size());
  EXPECT_EQ(found, 1u);
}

// A run over 2,000 files creates and deletes some 30,000 files; where the
// temporary folder's disk makes that slow, a memory-backed one is used.
TEST(HostileEndToEndTest, TwoThousandFiles) {
  HostileRun run(fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path());
  std::vector<std::string> markers;
  for (int i = 0; i < 2000; ++i) {
    markers.push_back("marker" + std::to_string(i));
    run.Write("txt_in/doc" + std::to_string(i) + ".txt", "text of " + markers.back() + "\n");
  }
  run.ExpectIndexed(run.Run(), markers, 2001);
}

TEST(HostileEndToEndTest, OddNames) {
  HostileRun run;
  run.Write("txt_in/with space.txt", "markerspace");
  run.Write(
      "txt_in/\xc3\xbcnic\xc3\xb6"
      "de.txt",
      "markerutfname");
  run.Write("txt_in/UPPER.TXT", "markerupper");
  run.Write("txt_in/Case.txt", "markercaseupper");
  run.Write("txt_in/case.txt", "markercaselower");
  run.Write("txt_in/what?.txt", "markerquestion");
  ProgramResult result = run.Run();
  run.ExpectIndexed(
      result, {"markerspace", "markerutfname", "markerupper", "markercaseupper", "markercaselower"},
      6);
  // The one name the home platform cannot hold is passed over, with a word.
  // Named again just before the results screen, which follows the clear:
  // the last line on the error stream.
  EXPECT_TRUE(result.err.ends_with("skipped, name not allowed: what?.txt\r\n")) << result.err;
  EXPECT_FALSE(HasWordLine(run.Index(), "markerquestion"));
  EXPECT_TRUE(fs::exists(run.run() / "txt_in" / "what?.txt"));
}

TEST(HostileEndToEndTest, OnlyUpperCaseNamesCountAsNoInput) {
  HostileRun run;
  run.Write("txt_in/A.TXT", "markera");
  run.Write("txt_in/B.TXT", "markerb");
  ProgramResult result = run.Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(HasLine(result, "Subfolder txt_in is empty")) << result.out;
  EXPECT_EQ(ReadFile(run.run() / "txt_in" / "A.TXT"), "markera");
  run.ExpectOutsideUnchanged();
}

TEST(HostileEndToEndTest, ADocumentLinkedFromOutsideIsIndexedAndLeftAlone) {
  HostileRun run;
  run.Link(run.outside() / "doc.txt", "txt_in/linked.txt");
  run.Link("../../outside/relative.txt", "txt_in/relative.txt");
  run.Link(run.outside() / "folder", "txt_in/linked_folder");
  run.HardLink("hard.txt", "txt_in/hard.txt");
  run.Write("txt_in/own.txt", "markerown");
  run.ExpectIndexed(run.Run(), {"markerlinked", "markerrelative", "markerhard", "markerown"}, 5);
  EXPECT_TRUE(fs::is_symlink(run.run() / "txt_in" / "linked.txt"));
}

TEST(HostileEndToEndTest, LinksNamedLikeWorkFilesAreRemovedNotTheirTargets) {
  HostileRun run;
  run.Write("txt_in/a.txt", "markera");
  run.Link(run.outside() / "x_target.txt", "x.txt");
  run.Link(run.outside() / "y_target.htm", "y.htm");
  run.Link(run.outside() / "keep.txt", "z.list");
  // Second names of files outside, named like files the run writes before
  // its clean-up: written afresh ("txt_file.txt", "check_01.txt") or
  // appended to ("out_null.txt"), and a page it copies over.
  run.HardLink("hard_a.txt", "txt_file.txt");
  run.HardLink("hard_b.txt", "check_01.txt");
  run.HardLink("hard_c.txt", "out_null.txt");
  run.HardLink("hard_d.htm", "htm_out/index.htm");
  run.ExpectIndexed(run.Run(), {"markera"}, 2);
  for (const char* name :
       {"x.txt", "y.htm", "z.list", "txt_file.txt", "check_01.txt", "out_null.txt"}) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(run.run() / name))) << name;
  }
}

// A work folder or htm_out that is a link to a folder outside: nothing is
// written through it. The link is removed as a link, the folder made again
// where the run needs it, and the run goes on.
TEST(HostileEndToEndTest, FoldersLinkedFromOutsideAreNotWrittenThrough) {
  for (const char* folder : {"htm_out", "htm_in", "htm_ndx", "wrd_24", "txt_wrk", "htm_wrk"}) {
    SCOPED_TRACE(folder);
    HostileRun run;
    run.Write("txt_in/a.txt", "markera");
    run.Link(run.outside() / "folder", folder);
    run.ExpectIndexed(run.Run(), {"markera"}, 2);
    EXPECT_FALSE(fs::is_symlink(run.run() / folder));
  }
}

TEST(HostileEndToEndTest, TxtInThatIsAFile) {
  HostileRun run;
  run.Write("txt_in", "not a folder");
  ProgramResult result = run.Run();
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(HasLine(result, "Subfolder txt_in is empty")) << result.out;
  EXPECT_EQ(ReadFile(run.run() / "txt_in"), "not a folder");
  run.ExpectOutsideUnchanged();
}

// The run cannot publish: it must say so, not end in "Indexing is done."
TEST(HostileEndToEndTest, HtmOutThatIsAFile) {
  HostileRun run;
  run.Write("txt_in/a.txt", "markera");
  run.Write("htm_out", "not a folder");
  ProgramResult result = run.Run();
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(HasLine(result, kDone));
  EXPECT_TRUE(HasLine(result, "The run stopped: a file could not be written.")) << result.out;
  EXPECT_TRUE(HasLine(result, "reason: htm_out is not a folder")) << result.out;
  EXPECT_EQ(ReadFile(run.run() / "htm_out"), "not a folder");
  EXPECT_EQ(ReadFile(run.run() / "txt_in" / "a.txt"), "markera");
  run.ExpectOutsideUnchanged();
}

TEST(HostileEndToEndTest, ReadOnlyHtmOut) {
  ScopedTempDir top;
  fs::path run = top.path() / "run";
  WriteFile(run / "txt_in" / "a.txt", "markera");
  WriteFile(run / "htm_out" / "index.htm", "published before");
  const uid_t nobody = 65534;
  if (getuid() == 0) {
    // The run folder belongs to the user; htm_out and its page stay root's.
    for (const fs::path& path : {top.path(), run, run / "txt_in", run / "txt_in" / "a.txt"}) {
      if (chown(path.c_str(), nobody, nobody) != 0) {
        GTEST_SKIP() << "cannot give the run folder to user " << nobody << ": "
                     << std::strerror(errno);
      }
    }
  }
  fs::permissions(run / "htm_out" / "index.htm", fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(run / "htm_out", fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
  fs::copy_file(ProgramBinary(), run / ProgramBinary().filename());
  Launch as_user(fs::path(".") / ProgramBinary().filename(), {run, {}, nobody}, top.path(),
                 kAnswers);
  int status = as_user.Wait();
  const std::string& out = as_user.out();
  fs::permissions(run / "htm_out", fs::perms::owner_all);
  if (status == Launch::kNotAsUser) GTEST_SKIP() << "cannot run the program as user " << nobody;
  std::vector<std::string> lines = SplitLines(out);
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_EQ(status, 1) << out;
  EXPECT_FALSE(has(kDone));
  EXPECT_TRUE(has("The run stopped: a file could not be written.")) << out;
  // The first file the run must make there stops it, named as the program
  // names it.
  EXPECT_TRUE(has("file: htm_out\\f_01.txt")) << out;
  EXPECT_TRUE(has(std::string("reason: ") + std::strerror(EACCES))) << out;
  EXPECT_EQ(ReadFile(run / "htm_out" / "index.htm"), "published before");
  EXPECT_EQ(ReadFile(run / "txt_in" / "a.txt"), "markera");
}

// The disk fills while a page is copied (400 KB) or while a work file is
// written (2 MB): either way an error screen names the file and the
// reason, and the next run, with room, clears the leftovers and finishes.
TEST(HostileEndToEndTest, DiskFullStopsWithAnErrorScreenAndTheNextRunClearsUp) {
  for (const char* size : {"400k", "2m"}) {
    SCOPED_TRACE(size);
    ScopedTempDir top;
    fs::path run = top.path() / "run";
    SmallDisk disk(run, size);
    if (!disk.why_not().empty()) GTEST_SKIP() << disk.why_not();
    // The program is linked, not copied, so the small disk holds only data:
    // 120 KB of text, some 40 MB of work files.
    fs::create_symlink(ProgramBinary(), run / ProgramBinary().filename());
    for (int file = 0; file < 6; ++file) {
      std::string text;
      for (int line = 0; line < 300; ++line) {
        text += "line " + std::to_string(line) + " of file " + std::to_string(file) +
                " with words enough to fill the disk markerfull" + std::to_string(line % 50) + "\n";
      }
      WriteFile(run / "txt_in" / ("f" + std::to_string(file) + ".txt"), text);
    }
    ProgramResult full = RunProgram(run, kAnswers);
    EXPECT_EQ(full.status, 1) << full.out << full.err;
    EXPECT_EQ(full.err.find("Sanitizer"), std::string::npos) << full.err;
    EXPECT_FALSE(HasLine(full, kDone));
    EXPECT_TRUE(HasLine(full, "The run stopped: a file could not be written.")) << full.out;
    EXPECT_TRUE(HasLine(full, std::string("reason: ") + std::strerror(ENOSPC))) << full.out;
    // The file as the program names it, never where it lies on the host.
    const auto file = std::find_if(full.lines.begin(), full.lines.end(),
                                   [](const auto& line) { return line.starts_with("file: "); });
    ASSERT_NE(file, full.lines.end()) << full.out;
    EXPECT_EQ(file->find('/'), std::string::npos) << *file;

    ASSERT_TRUE(disk.Grow()) << std::strerror(errno);
    ProgramResult again = RunProgram(run, kAnswers);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(HasWordLine(ReadFile(run / "htm_out" / "index.htm"), "markerfull7"));
    EXPECT_EQ(ListFolder(run),
              (std::vector<std::string>{"dir_01.txt", "htm_out", "txt_in", "www.example.com.exe"}));
  }
}

}  // namespace
}  // namespace testing_support
