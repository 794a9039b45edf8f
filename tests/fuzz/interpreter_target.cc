// Command lines through the interpreter, in a scratch program folder made
// once per process and emptied for every input. Beside it lies a folder that
// links inside the program's folder point into; confinement is the
// interpreter's job, so after every input that folder must be exactly as it
// was and nothing else may have appeared beside the two.
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "common/limits.h"
#include "fuzz/fuzz_targets.h"
#include "platform/console.h"
#include "platform/interpreter/interpreter.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "support/test_run.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, std::string_view bytes) {
  testing_support::WriteFile(path, bytes);
}

// Every entry below `folder`, links not followed: kind and bytes or target.
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> tree;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    fs::file_status status = it->symlink_status(error);
    std::string& text = tree[fs::relative(it->path(), folder, error).string()];
    text = std::to_string(static_cast<int>(status.type())) + " ";
    if (fs::is_symlink(status)) {
      text += fs::read_symlink(it->path(), error).string();
    } else if (fs::is_regular_file(status)) {
      text += platform::ReadFileBytes(it->path());
    }
  }
  return tree;
}

// The scratch folders of this process: <tmp>/ixfuzz_<pid>/{prog,outside}.
struct Scratch {
  Scratch() {
    top = fs::temp_directory_path() / ("ixfuzz_" + std::to_string(getpid()));
    prog = top / "prog";
    outside = top / "outside";
    fs::remove_all(top);
    Write(outside / "keep.txt", "outside the program's folder\r\n");
    Write(outside / "page_01.htm", "<p>a page outside</p>\r\n");
    Write(outside / "sub" / "inner.txt", "b\r\na\r\n");
    Write(outside / "shared.txt", "a file with a second name inside\r\n");
    before = Tree(outside);
  }
  ~Scratch() {
    std::error_code error;
    fs::remove_all(top, error);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  // The program's folder as each input finds it: a few files of the kinds
  // the run handles, links that lead outside and a second name (a hard
  // link) of a file outside, whose data no command may change.
  void Refill() {
    std::error_code error;
    for (const std::string& name : testing_support::ListFolder(prog)) {
      fs::remove_all(prog / name, error);
    }
    Write(prog / "txt_in" / "a.txt", "alpha beta\r\ngamma\r\n");
    Write(prog / "txt_in" / "B.TXT", "beta\r\n");
    Write(prog / "notes.txt", "zeta\r\nAlpha\r\n\"id00000001\",\"x\"\r\n");
    Write(prog / "page_01.htm", "<p>page</p>\r\n");
    Write(prog / "sub" / "deep" / "x.htm", "deep\r\n");
    fs::create_symlink(outside / "keep.txt", prog / "link.txt", error);
    fs::create_directory_symlink(outside, prog / "linked", error);
    fs::create_directory_symlink("../outside/sub", prog / "relative", error);
    fs::create_hard_link(outside / "shared.txt", prog / "shared.txt", error);
  }

  fs::path top, prog, outside;
  std::map<std::string, std::string> before;
};

// Made at the first input, removed when the process ends.
Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

// "for" runs its command once per file, and may be nested in itself: a few
// levels over a folder of files is already millions of commands. Inputs
// with more than two are passed over, as are long lines.
bool Bounded(std::string_view text) {
  int loops = 0;
  for (size_t at = 0; at + 3 <= text.size(); ++at) {
    if ((text[at] | 0x20) == 'f' && (text[at + 1] | 0x20) == 'o' && (text[at + 2] | 0x20) == 'r') {
      ++loops;
    }
  }
  return loops <= 2;
}

}  // namespace

int InterpreterInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (size > 4096 || !Bounded(text)) return 0;
  Scratch& scratch = TheScratch();
  scratch.Refill();
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  platform::Console console(in, out, err, /*terminal=*/false);
  platform::Paths paths(scratch.prog);
  // Small sort runs, so that a few lines already spill and merge.
  common::Limits limits;
  limits.sort_run_bytes = 64;
  limits.sort_run_lines = 4;
  limits.sort_merge_width = 2;
  platform::Interpreter interpreter(paths, console, limits);
  ForEachLine(data, size, /*max_lines=*/16, [&](std::string_view line) {
    try {
      interpreter.Run(line);
    } catch (const common::IoError&) {
      // A write that failed: the run would stop with its error screen.
    }
  });
  Check(Tree(scratch.outside) == scratch.before, "nothing outside the program's folder changed");
  Check(testing_support::ListFolder(scratch.top) == std::vector<std::string>{"outside", "prog"},
        "nothing appeared beside the program's folder");
  return 0;
}

}  // namespace fuzz
