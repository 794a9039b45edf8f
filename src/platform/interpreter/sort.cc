// "sort IN /o OUT": the lines of IN in listing order (letters folded, then
// raw bytes) into OUT, each ended by CR LF, through the bounded external
// sort within the run's sort limits.
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "common/limits.h"
#include "platform/external_sort.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"
#include "platform/lines.h"

namespace platform::commands {
namespace {

struct SortArguments {
  std::string input;
  std::string output;  // empty: standard output
  bool valid = true;
};

SortArguments ReadArguments(const std::vector<Word>& words) {
  SortArguments arguments;
  for (size_t i = 0; i < words.size(); ++i) {
    if (!words[i].quoted && common::EqualsNoCase(words[i].text, "/o")) {
      if (i + 1 == words.size()) arguments.valid = false;
      if (i + 1 < words.size()) arguments.output = words[++i].text;
    } else if (IsSwitch(words[i])) {
      continue;
    } else if (arguments.input.empty()) {
      arguments.input = words[i].text;
    } else {
      arguments.valid = false;
    }
  }
  if (arguments.input.empty()) arguments.valid = false;
  return arguments;
}

}  // namespace

void RunSort(Command& command) {
  SortArguments arguments = ReadArguments(command.words);
  if (!arguments.valid) {
    command.Error(kSyntaxError);
    return;
  }
  std::optional<fs::path> input = command.paths().Resolve(arguments.input);
  std::error_code error;
  if (!input || !fs::is_regular_file(*input, error)) {
    command.Error(kFileNotFound);
    return;
  }
  const common::Limits& limits = command.shell.limits();
  platform::LineReader reader(*input);
  // The output is opened only once the input is read whole, so "sort X /o X"
  // reads X first.
  std::optional<platform::LineWriter> writer;
  std::optional<Sink> sink;
  SortedLines out{[&] {
                    reader.Close();
                    if (arguments.output.empty()) {
                      sink.emplace(command.out);
                      return true;
                    }
                    writer = OpenWriter(command.paths(), command.shell.console(), arguments.output,
                                        /*append=*/false);
                    if (writer) sink.emplace(*writer);
                    return writer.has_value();
                  },
                  [&](std::string_view line) { sink->Line(line); }};
  ExternalSort(command.paths(), reader, ListingCompare, limits.sort_run_lines,
               limits.sort_run_bytes, limits.sort_merge_width, out);
  if (writer) writer->Close();
}

}  // namespace platform::commands
