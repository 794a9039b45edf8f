// The run context: the few values that live for the whole run, set once by
// the phase that owns them and then only read, plus the console, the
// program's folder, the command interpreter and the limits every phase uses.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/limits.h"
#include "platform/console.h"
#include "platform/interpreter/interpreter.h"
#include "platform/paths.h"
#include "run/word_data.h"

namespace runctx {

class TestHooks;

/// The display settings written into the generated pages.
struct Settings {
  std::string code_page = "UTF-8";
  std::string font_color = "red";
  std::string font_size = "140%";
  bool find_word = true;
};

struct RunContext {
  RunContext(platform::Console& console_in, platform::Paths& paths_in,
             platform::Interpreter& interpreter_in, const common::Limits& limits_in)
      : console(console_in), paths(paths_in), interpreter(interpreter_in), limits(limits_in) {}

  platform::Console& console;
  platform::Paths& paths;
  platform::Interpreter& interpreter;
  // What the run holds in memory at once where it crosses a boundary; the
  // driver sets them, and hands the same to the interpreter for its sort.
  const common::Limits& limits;

  // Identity: fixed at build time, derived at start-up.
  std::string program_name;
  std::string executable_name;
  std::string target_site;
  std::string program_path;  // as the program was started

  int input_count = 0;  // files listed in txt_in; the group size
  // The name in txt_in of each input that txt_wrk holds under another
  // name (renamed by the input collection), for messages about it.
  std::map<std::string, std::string> input_names;
  int page_number_width = 0;        // digits of the page numbers
  std::string destination_address;  // the targeted-search answer
  Settings settings;
  // The word data, made by word extraction and completed by the word
  // lists; the output pages read it.
  std::shared_ptr<WordData> word_data;
  // The work folders whose files the page set removed as soon as nothing
  // read them any more, each removed with them when left empty;
  // publishing removes what is left of them.
  std::vector<std::string> emptied_folders;
  // Threads for the work that spreads over cores; 0: every hardware thread.
  unsigned threads = 0;

  // Set only while a kill point of the interruption tests is armed: each
  // command line and work file is a step of it. Null in a user's run.
  TestHooks* step_hooks = nullptr;
};

}  // namespace runctx
