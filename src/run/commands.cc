#include "run/commands.h"

#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "common/parallel.h"
#include "run/test_hooks.h"
#include "run/work_files.h"

namespace runctx {

namespace {

// Counts the command lines and work files of a run that is to be killed.
void CountStep(RunContext& run) {
  if (run.step_hooks != nullptr) run.step_hooks->Step();
}

}  // namespace

void RunCommand(RunContext& run, std::string_view line) {
  CountStep(run);
  run.interpreter.Run(line);
}

platform::LineReader OpenListing(RunContext& run, std::string_view name) {
  return platform::LineReader(run.paths.ForRead(name));
}

platform::LineWriter CreateFile(RunContext& run, std::string_view name, bool append) {
  CountStep(run);
  return platform::LineWriter(run.paths.Create(run.paths.ForWrite(name), append));
}

bool DetectFolder(RunContext& run, std::string_view command, std::string_view listing,
                  std::string_view folder, bool long_form) {
  RunCommand(run, command);
  platform::LineReader reader = OpenListing(run, listing);
  std::string_view line;
  while (reader.Next(&line)) {
    std::string text = common::Lower(long_form ? common::TrimRight(line) : line);
    if (common::Contains(text, folder)) return true;
  }
  return false;
}

void EmptyAndRemoveFolder(RunContext& run, std::string_view folder) {
  RunCommand(run, Cmd("dir > ", folder, "\\", kFolderListing));
  RunCommand(run, Cmd("del /q ", folder, "\\*.* > ", kOutNullList));
  RunCommand(run, Cmd("rd ", folder, " > ", kOutNullList));
}

namespace {

// Deletes the files named, side by side: a file whose data has reached the
// disk holds its deleter while the disk lets its blocks go.
void DeleteFiles(RunContext& run, const std::vector<std::string>& names) {
  common::ParallelFor(names.size(), run.threads, [&](size_t i) {
    const std::optional<platform::HostPath> host = run.paths.ResolveForRemove(names[i]);
    if (host) run.paths.Remove(*host, platform::Removal::kFileOrLink);
  });
}

}  // namespace

void DeleteListed(RunContext& run, std::string_view pattern, std::string_view prefix) {
  RunCommand(run, Cmd("dir /b ", pattern, " > ", kDir01));
  platform::LineReader reader = OpenListing(run, kDir01);
  std::vector<std::string> names;
  std::string_view line;
  while (reader.Next(&line)) {
    std::string name = std::string(prefix) + common::Lower(line);
    // The listing itself stays.
    if (prefix.empty() && common::EqualsNoCase(name, kDir01)) continue;
    names.push_back(std::move(name));
  }
  reader.Close();
  DeleteFiles(run, names);
}

void RemoveTree(RunContext& run, std::string_view folder) {
  RunCommand(run, Cmd("dir /b /s ", folder, "\\*.* > ", kDir01));
  platform::LineReader reader = OpenListing(run, kDir01);
  std::vector<std::string> names;
  std::string_view line;
  while (reader.Next(&line)) names.push_back(common::Lower(line));
  reader.Close();
  DeleteFiles(run, names);
  RunCommand(run, Cmd("rd ", folder));
}

}  // namespace runctx
