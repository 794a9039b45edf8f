// The whole run through the real program over the bundled sample folder:
// what it prints, what it publishes and what it leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "driver/command_line.h"
#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

constexpr char kAnswers[] = "1\n1\n1\nwww.example.org\n\n";

// A run folder holding a copy of the bundled samples in txt_in.
class SampleRun {
 public:
  SampleRun() {
    fs::copy(SourceDir() / "examples" / "txt_in", dir_.path() / "txt_in",
             fs::copy_options::recursive);
  }
  const fs::path& path() const { return dir_.path(); }
  ProgramResult Run(const std::string& answers = kAnswers,
                    const std::vector<std::string>& args = {}) {
    return RunProgram(dir_.path(), answers, ProgramBinary(), /*env=*/{}, args);
  }

 private:
  ScopedTempDir dir_;
};

// Every file of a folder tree with its bytes, by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path());
    }
  }
  return files;
}

TEST(RunEndToEndTest, PublishesTheDocumentBaseAndCleansUp) {
  SampleRun run;
  std::map<std::string, std::string> input = Snapshot(run.path() / "txt_in");
  WriteFile(run.path() / "notes.txt", "a user's own file beside the program");
  fs::create_directory(run.path() / "trace");
  ProgramResult result = run.Run();
  ASSERT_EQ(result.status, 0) << result.out << result.err;

  std::vector<std::string> published = ListFolder(run.path() / "htm_out");
  std::regex page(R"(page_\d\d\.htm)");
  std::vector<std::string> others;
  int pages = 0;
  for (const std::string& name : published) {
    if (std::regex_match(name, page)) {
      ++pages;
    } else {
      others.push_back(name);
    }
  }
  // Five sample files plus the promotional page; one group of five pages and
  // a second group holding the last page.
  EXPECT_EQ(pages, 6);
  EXPECT_EQ(others, (std::vector<std::string>{"files_list.htm", "i_1.htm", "i_2.htm", "index.htm",
                                              "s_1.htm", "s_2.htm"}));
  EXPECT_EQ(ListFolder(run.path()), (std::vector<std::string>{"dir_01.txt", "htm_out", "trace",
                                                              "txt_in", "www.example.com.exe"}));
  EXPECT_EQ(ReadFile(run.path() / "trace" / "file_trace.txt"), "");
  EXPECT_EQ(Snapshot(run.path() / "txt_in"), input);
}

TEST(RunEndToEndTest, PrintsEveryScreenFromBannerToResults) {
  SampleRun run;
  ProgramResult result = run.Run();
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::string> expected =
      ReadLines(SourceDir() / "tests" / "e2e" / "golden" / "sample_transcript.txt");
  ASSERT_EQ(result.lines.size(), expected.size()) << result.out;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == "<program path>") {
      EXPECT_TRUE(result.lines[i].ends_with("www.example.com.exe")) << result.lines[i];
      continue;
    }
    EXPECT_EQ(result.lines[i], expected[i]) << "line " << i + 1;
  }
  // The error stream holds what the command lines print there, and nothing
  // of the work files the run removes early. A path shows as the folder
  // the program runs in, then its names (separators dropped: they differ
  // between hosts).
  std::vector<std::string> messages = SplitLines(result.err);
  std::vector<std::string> expected_messages =
      ReadLines(SourceDir() / "tests" / "e2e" / "golden" / "sample_errors.txt");
  ASSERT_EQ(messages.size(), expected_messages.size()) << result.err;
  const std::string kFolder = "<program folder>";
  const std::string folder_name = run.path().filename().string();
  for (size_t i = 0; i < messages.size(); ++i) {
    const std::string& want = expected_messages[i];
    const size_t at = want.find(kFolder);
    if (at == std::string::npos) {
      EXPECT_EQ(messages[i], want) << "line " << i + 1;
      continue;
    }
    std::string names = messages[i].substr(std::min(messages[i].size(), at));
    const size_t in_folder = names.find(folder_name);
    names = in_folder == std::string::npos ? "" : names.substr(in_folder + folder_name.size());
    std::erase_if(names, [](char c) { return c == '/' || c == '\\'; });
    EXPECT_EQ(messages[i].substr(0, at) + kFolder + names, want) << "line " << i + 1;
  }
}

TEST(RunEndToEndTest, SameInputAndClockGiveTheSameOutput) {
  SampleRun first;
  SampleRun second;
  ASSERT_EQ(first.Run().status, 0);
  ASSERT_EQ(second.Run().status, 0);
  EXPECT_EQ(Snapshot(first.path() / "htm_out"), Snapshot(second.path() / "htm_out"));
}

TEST(RunEndToEndTest, ARunAfterAnEndedRunGivesTheSameOutput) {
  SampleRun clean;
  ASSERT_EQ(clean.Run().status, 0);
  SampleRun ended;
  ProgramResult stopped = ended.Run("1\n1\n2\n");
  ASSERT_EQ(stopped.status, 0);
  EXPECT_TRUE(fs::exists(ended.path() / "txt_wrk"));  // its work is left behind
  ASSERT_EQ(ended.Run().status, 0);
  EXPECT_EQ(Snapshot(ended.path() / "htm_out"), Snapshot(clean.path() / "htm_out"));
  EXPECT_FALSE(fs::exists(ended.path() / "txt_wrk"));
}

// --help (or -h, /?) and --version answer and end; any other argument is refused. None
// of them touches a file, though the answers piped in would run the program.
TEST(RunEndToEndTest, CommandLineArgumentsTouchNothing) {
  SampleRun run;
  WriteFile(run.path() / "notes.txt", "a file that a run deletes");
  fs::create_directory(run.path() / "htm_out");
  WriteFile(run.path() / "htm_out" / "index.htm", "an earlier run's page");
  const std::string name = ProgramBinary().filename().string();
  fs::copy_file(ProgramBinary(), run.path() / name);
  const std::map<std::string, std::string> before = Snapshot(run.path());

  ProgramResult help = run.Run(kAnswers, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_GE(help.lines.size(), 10u);
  EXPECT_LE(help.lines.size(), 16u);
  const std::vector<std::string> told = {"txt_in", "htm_out", "SOURCE_DATE_EPOCH", "README.md",
                                         "printf '1\\n1\\n1\\nwww.example.org\\n\\n' | ./" + name};
  for (const std::string& part : told) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }

  for (const char* habit : {"-h", "/?"}) {
    ProgramResult same = run.Run(kAnswers, {habit});
    EXPECT_EQ(same.status, 0) << habit;
    EXPECT_EQ(same.out, help.out) << habit;
  }

  ProgramResult version = run.Run(kAnswers, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.lines, std::vector<std::string>{name + " " + std::string(driver::kVersion)});

  ProgramResult unknown = run.Run(kAnswers, {"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("unknown argument: --frobnicate"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("--help"), std::string::npos) << unknown.err;

  EXPECT_EQ(Snapshot(run.path()), before);
}

// A program folder whose name is neither ASCII nor Latin: every work file
// and page is opened by its full path, which on a host with wide file
// names must be converted, never passed as narrow bytes. The document base
// is the same as in a plain folder.
TEST(RunEndToEndTest, AProgramFolderWithANonLatinNameGivesTheSameDocumentBase) {
  SampleRun plain;
  ProgramResult reference = plain.Run();
  ASSERT_EQ(reference.status, 0) << reference.err;

  ScopedTempDir top;
  const fs::path folder =
      top.path() / fs::path(u8"\u0438\u043d\u0434\u0435\u043a\u0441_\u7d22\u5f15");
  fs::create_directories(folder);
  fs::copy(SourceDir() / "examples" / "txt_in", folder / "txt_in", fs::copy_options::recursive);
  ProgramResult result = RunProgram(folder, kAnswers);
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), "Indexing is done."),
            result.lines.end());
  EXPECT_EQ(Snapshot(folder / "htm_out"), Snapshot(plain.path() / "htm_out"));
}

}  // namespace
}  // namespace testing_support
