// The one bounded external sort: lines of any length and number in a fixed
// amount of memory. Runs of limited size are sorted in memory and spilled
// to chunk files in the program's folder ("~sort_<n>.tmp", a name no
// work-file pattern matches), which heap merges join a limited number at a
// time. Input already in order streams through to one chunk untouched.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "platform/lines.h"
#include "platform/paths.h"

namespace platform {

/// Three-way comparison of two lines: below 0, 0 or above 0.
using LineCompare = int (*)(std::string_view a, std::string_view b);

/// Where the sorted lines go: `begin` is called once, after every input
/// line is read and before the first line is given (false drops them);
/// then `line` once per line, in order.
struct SortedLines {
  std::function<bool()> begin;
  std::function<void(std::string_view)> line;
};

/// Sorts the lines of `input` by `compare`, stably (equal lines keep their
/// input order), into `out`. A run holds at most `run_lines` lines and
/// about `run_bytes` bytes (it ends with the line that reaches them); one
/// merge reads at most `files_per_merge` chunk files (2 at least). The
/// chunk files are removed when it returns, also on a failure (IoError).
void ExternalSort(Paths& paths, LineReader& input, LineCompare compare, size_t run_lines,
                  size_t run_bytes, size_t files_per_merge, const SortedLines& out);

}  // namespace platform
