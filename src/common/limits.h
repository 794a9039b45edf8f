// The limits of what a run holds in memory at once where real runs cross a
// boundary: the sort's runs and merges, word extraction's pieces and the
// group pass's window of page words. The output never depends on them.
#pragma once

#include <cstddef>

namespace common {

/// Set once by the driver (these defaults) and read by the interpreter's
/// "sort", word extraction and the group pass. Tests lower a field to cross
/// its boundary with a few lines or words.
struct Limits {
  /// "sort": bytes of lines a run holds before it is sorted and spilled to
  /// a chunk file. 16 MB keeps the sort well inside the run's 100 MB memory
  /// bound; the listings a run sorts (a line per page) fit in one run.
  size_t sort_run_bytes = size_t{16} << 20;
  /// "sort": lines a run holds at most. Each line held also costs a 16-byte
  /// slice, so a run of short lines holds at most 16 MB of slices.
  size_t sort_run_lines = size_t{1} << 20;
  /// "sort": chunk files one merge reads at once. Each keeps a 128 kB read
  /// buffer (2 MB in all), and 16 runs (256 MB of lines) merge in one pass.
  size_t sort_merge_width = 16;

  /// Word extraction: a piece of a page ends after the line that brings its
  /// words to this many bytes, so a piece holds at least one whole line
  /// (a page line is at most a few hundred kB); 256 kB of words per piece.
  size_t piece_bytes = size_t{1} << 18;
  /// Word extraction: pieces held at once, three per scanning thread (one
  /// being scanned, the others waiting to be taken in): at most 10 threads
  /// scan, and the pieces hold about 8 MB, whatever the number of threads.
  size_t pieces_held = 32;

  /// The group pass: page words a word index page sorts in memory at once
  /// (20 bytes each: a 1.3 MB working buffer); a group with more is sorted
  /// window by window, the later windows spilled to a work file.
  size_t entry_window = size_t{1} << 16;
};

}  // namespace common
