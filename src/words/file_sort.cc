#include "words/file_sort.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <system_error>
#include <vector>

#include "common/lines.h"
#include "driver/conventions.h"
#include "words/record_io.h"

namespace words {
namespace {

// Each chunk open in a merge reads through a buffer of this size, so a
// merge of the full width stays within a few megabytes.
constexpr size_t kChunkReadBuffer = size_t{256} << 10;
constexpr std::string_view kMergeOutput = "sort_output.txt";

std::string ChunkName(size_t number) { return "file_s_" + std::to_string(number) + ".txt"; }

// One run of input lines: their bytes back to back and where each ends.
struct RunBuffer {
  std::string bytes;
  std::vector<size_t> ends;
  std::vector<std::string_view> lines;
};

// Sorts the buffered run (stable; string_view compares unsigned bytes,
// a prefix first) and writes it as chunk file `number`.
void WriteChunk(driver::RunContext& run, RunBuffer& buffer, size_t number) {
  buffer.lines.clear();
  size_t begin = 0;
  for (size_t end : buffer.ends) {
    buffer.lines.emplace_back(buffer.bytes.data() + begin, end - begin);
    begin = end;
  }
  std::stable_sort(buffer.lines.begin(), buffer.lines.end());
  common::LineWriter out = driver::CreateFile(run, ChunkName(number));
  for (std::string_view line : buffer.lines) out.Line(line);
  out.Close();
  buffer.bytes.clear();
  buffer.ends.clear();
}

// Reads the input in bounded runs, each written as a sorted chunk file;
// returns the number of chunk files (0 for an empty or missing input).
size_t WriteSortedRuns(driver::RunContext& run) {
  const size_t max_lines = std::max<size_t>(run.sort_run_lines, 1);
  const size_t max_bytes = std::max<size_t>(run.sort_run_bytes, 1);
  common::LineReader in = driver::OpenListing(run, run.sort_input);
  RunBuffer buffer;
  size_t chunks = 0;
  std::string_view line;
  while (in.Next(&line)) {
    if (buffer.bytes.capacity() < max_bytes) buffer.bytes.reserve(max_bytes);
    bool full = buffer.ends.size() >= max_lines || buffer.bytes.size() + line.size() > max_bytes;
    if (!buffer.ends.empty() && full) WriteChunk(run, buffer, ++chunks);
    buffer.bytes.append(line);
    buffer.ends.push_back(buffer.bytes.size());
  }
  if (!buffer.ends.empty()) WriteChunk(run, buffer, ++chunks);
  return chunks;
}

struct MergeSource {
  common::LineReader reader;
  std::string_view line;  // the current line, valid until the next read
};

// Heap order: the smallest line on top; of equal lines the one from the
// lower chunk comes first, which keeps the whole sort stable.
struct LaterFirst {
  const std::vector<MergeSource>* sources;
  bool operator()(size_t a, size_t b) const {
    int order = (*sources)[a].line.compare((*sources)[b].line);
    return order > 0 || (order == 0 && a > b);
  }
};

// Merges the chunk files `chunks` (in input order) into `target`; false
// when a line written is smaller than the one before it (the order check of
// the merge output, made as it is written). No chunks give an empty target.
bool MergeChunks(driver::RunContext& run, const std::vector<size_t>& chunks,
                 std::string_view target) {
  std::vector<MergeSource> sources(chunks.size());
  std::vector<size_t> heap;
  for (size_t i = 0; i < chunks.size(); ++i) {
    sources[i].reader = common::LineReader(run.paths.ForRead(ChunkName(chunks[i])), kChunkReadBuffer);
    if (sources[i].reader.Next(&sources[i].line)) heap.push_back(i);
  }
  LaterFirst later{&sources};
  std::make_heap(heap.begin(), heap.end(), later);
  common::LineWriter out = driver::CreateFile(run, target);
  std::string previous;
  bool in_order = true;
  while (!heap.empty()) {
    std::pop_heap(heap.begin(), heap.end(), later);
    MergeSource& source = sources[heap.back()];
    if (source.line < std::string_view(previous)) in_order = false;
    previous.assign(source.line);
    out.Line(source.line);
    if (source.reader.Next(&source.line)) {
      std::push_heap(heap.begin(), heap.end(), later);
    } else {
      heap.pop_back();
    }
  }
  out.Close();
  return in_order;
}

// Merges level by level, at most `width` chunks at a time, until one last
// merge into sort_output.txt remains: ceil(log_width(chunks)) passes, each
// reading every line once. Consecutive chunks merge into a new chunk
// numbered after all existing ones, so the input order of equal lines is
// kept; merged chunks are deleted at once to bound the disk used. Returns
// the order check of sort_output.txt.
bool MergeAll(driver::RunContext& run, size_t chunk_count) {
  const size_t width = std::max<size_t>(run.sort_merge_width, 2);
  std::vector<size_t> level(chunk_count);
  std::iota(level.begin(), level.end(), size_t{1});
  size_t next_number = chunk_count + 1;
  while (level.size() > width) {
    std::vector<size_t> merged;
    for (size_t first = 0; first < level.size(); first += width) {
      size_t last = std::min(first + width, level.size());
      std::vector<size_t> group(level.begin() + first, level.begin() + last);
      if (group.size() == 1) {
        merged.push_back(group.front());
        continue;
      }
      MergeChunks(run, group, ChunkName(next_number));
      merged.push_back(next_number++);
      for (size_t number : group) RemoveWorkFile(run, ChunkName(number));
    }
    level = std::move(merged);
  }
  return MergeChunks(run, level, kMergeOutput);
}

void CopyToOutput(driver::RunContext& run) {
  std::filesystem::path from = run.paths.ForRead(kMergeOutput);
  std::filesystem::path to = run.paths.ForWrite(run.sort_output);
  // The output becomes a second name of the merge output where the host
  // allows it: the same content, without writing it twice.
  if (run.paths.LinkFile(from, to)) return;
  std::error_code error;
  std::filesystem::remove(to, error);  // never the data of another name
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (error) throw common::IoError(run.sort_output, error.message());
}

}  // namespace

void FileSort(driver::RunContext& run) {
  if (run.sort_input.empty()) driver::EndProgram(0);
  // "dir" guarantees one chunk file exists, so the pattern always matches.
  driver::RunCommand(run, "dir > file_s_01.txt");
  driver::RunCommand(run, "del /q file_s_*.txt > null.txt");
  size_t chunks = WriteSortedRuns(run);
  // An empty input gives no chunk file; the merge of nothing leaves an
  // empty sort_output.txt, and so an empty output file.
  if (!MergeAll(run, chunks)) {
    run.console.Line("sort error");
    driver::EndProgram(0);
  }
  CopyToOutput(run);
}

void SortFile(driver::RunContext& run, std::string_view input, std::string_view output) {
  run.sort_input = std::string(input);
  run.sort_output = std::string(output);
  FileSort(run);
}

}  // namespace words
