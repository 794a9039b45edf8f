// "sort IN /o OUT": the lines of IN in listing order (letters folded, then
// raw bytes) into OUT, each ended by CR LF. Per-group record files run to
// hundreds of megabytes, so memory stays bounded: runs of limited size are
// sorted in memory and spilled to chunk files in the program's folder
// ("~sort_<n>.tmp", a name no phase's pattern matches), which a heap merge
// joins. Input that is already in order streams through untouched.
#include <algorithm>
#include <optional>
#include <queue>
#include <string>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"
#include "platform/lines.h"

namespace platform::commands {
namespace {

// The lines of one run: their bytes in one block, their places in a list.
class RunBuffer {
 public:
  void Add(std::string_view line) {
    slices_.push_back({bytes_.size(), line.size()});
    bytes_.append(line);
  }
  bool Full(const SortLimits& limits) const {
    return bytes_.size() >= limits.run_bytes || slices_.size() >= limits.run_lines;
  }
  bool empty() const { return slices_.empty(); }
  std::string_view Back() const { return View(slices_.back()); }
  void Sort() {
    std::sort(slices_.begin(), slices_.end(),
              [this](const Slice& a, const Slice& b) { return ListingLess(View(a), View(b)); });
  }
  void WriteTo(Sink& out) const {
    for (const Slice& slice : slices_) out.Line(View(slice));
  }
  void Clear() {
    bytes_.clear();
    slices_.clear();
  }

 private:
  struct Slice {
    size_t offset;
    size_t length;
  };
  std::string_view View(const Slice& slice) const {
    return std::string_view(bytes_).substr(slice.offset, slice.length);
  }

  std::string bytes_;
  std::vector<Slice> slices_;
};

// The chunk files of one sort; whatever is left is removed at the end, also
// when the sort is cut short by a failure.
class ChunkFiles {
 public:
  explicit ChunkFiles(Paths& paths) : paths_(paths) {}
  ~ChunkFiles() {
    for (const fs::path& chunk : live_) Drop(chunk);
  }
  ChunkFiles(const ChunkFiles&) = delete;
  ChunkFiles& operator=(const ChunkFiles&) = delete;

  fs::path Create() {
    fs::path chunk = paths_.root() / ("~sort_" + std::to_string(next_++) + ".tmp");
    paths_.NoteCreated(chunk);
    live_.push_back(chunk);
    return chunk;
  }
  void Remove(const fs::path& chunk) {
    Drop(chunk);
    live_.erase(std::find(live_.begin(), live_.end(), chunk));
  }

 private:
  void Drop(const fs::path& chunk) {
    std::error_code error;
    fs::remove(chunk, error);
    paths_.NoteRemoved(chunk);
  }

  Paths& paths_;
  int next_ = 1;
  std::vector<fs::path> live_;
};

// Writes the lines of the sorted `inputs` to `out` in order: a heap holds
// the next line of each input.
void Merge(const std::vector<fs::path>& inputs, Sink& out) {
  std::vector<platform::LineReader> readers;
  readers.reserve(inputs.size());  // the line views point into the readers
  std::vector<std::string_view> heads(inputs.size());
  auto later = [&heads](size_t a, size_t b) {
    int order = ListingCompare(heads[a], heads[b]);
    return order > 0 || (order == 0 && a > b);
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heap(later);
  for (size_t i = 0; i < inputs.size(); ++i) {
    readers.emplace_back(inputs[i]);
    if (readers[i].Next(&heads[i])) heap.push(i);
  }
  while (!heap.empty()) {
    size_t i = heap.top();
    heap.pop();
    out.Line(heads[i]);
    if (readers[i].Next(&heads[i])) heap.push(i);
  }
}

class Sorter {
 public:
  Sorter(Paths& paths, const SortLimits& limits) : limits_(limits), chunks_(paths) {}

  /// Takes in every line of `reader`.
  void Read(platform::LineReader& reader) {
    std::string_view line;
    while (reader.Next(&line)) {
      if (stream_) {
        if (ListingCompare(line, last_) >= 0) {
          stream_->Line(line);
          last_.assign(line);
          continue;
        }
        stream_->Close();
        stream_.reset();
        in_order_ = false;
      } else if (in_order_ && !buffer_.empty() && ListingCompare(line, buffer_.Back()) < 0) {
        in_order_ = false;
      }
      buffer_.Add(line);
      if (buffer_.Full(limits_)) Spill();
    }
    if (stream_) stream_->Close();
    stream_.reset();
  }

  /// Writes the lines taken in, in order.
  void Write(Sink& out) {
    if (chunk_list_.empty()) {
      if (!in_order_) buffer_.Sort();
      buffer_.WriteTo(out);
      return;
    }
    if (!buffer_.empty()) SpillSorted();
    std::vector<fs::path> inputs = chunk_list_;
    while (inputs.size() > std::max<size_t>(limits_.merge_width, 2)) inputs = MergePass(inputs);
    Merge(inputs, out);
  }

 private:
  // A full run. While everything read so far is in order the run opens a
  // chunk that takes the following lines directly as long as they keep
  // the order; otherwise it is sorted and spilled.
  void Spill() {
    if (!in_order_) {
      SpillSorted();
      return;
    }
    fs::path chunk = NewChunk();
    stream_.emplace(chunk);
    Sink sink(*stream_);
    buffer_.WriteTo(sink);
    last_.assign(buffer_.Back());
    buffer_.Clear();
  }

  void SpillSorted() {
    buffer_.Sort();
    platform::LineWriter writer(NewChunk());
    Sink sink(writer);
    buffer_.WriteTo(sink);
    writer.Close();
    buffer_.Clear();
  }

  fs::path NewChunk() {
    fs::path chunk = chunks_.Create();
    chunk_list_.push_back(chunk);
    return chunk;
  }

  // Merges the inputs in groups of the merge width into fewer chunks.
  std::vector<fs::path> MergePass(const std::vector<fs::path>& inputs) {
    std::vector<fs::path> outputs;
    size_t width = std::max<size_t>(limits_.merge_width, 2);
    for (size_t start = 0; start < inputs.size(); start += width) {
      std::vector<fs::path> group(inputs.begin() + static_cast<std::ptrdiff_t>(start),
                                  inputs.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(start + width, inputs.size())));
      fs::path merged = chunks_.Create();
      platform::LineWriter writer(merged);
      Sink sink(writer);
      Merge(group, sink);
      writer.Close();
      for (const fs::path& chunk : group) chunks_.Remove(chunk);
      outputs.push_back(merged);
    }
    return outputs;
  }

  const SortLimits& limits_;
  ChunkFiles chunks_;
  std::vector<fs::path> chunk_list_;
  RunBuffer buffer_;
  bool in_order_ = true;  // every line read so far is in order
  std::optional<platform::LineWriter> stream_;
  std::string last_;
};

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
  Sorter sorter(command.paths(), command.shell.sort_limits());
  {
    platform::LineReader reader(*input);
    sorter.Read(reader);
  }
  // The output is opened only now, so "sort X /o X" reads X whole first.
  if (arguments.output.empty()) {
    sorter.Write(command.out);
    return;
  }
  std::optional<platform::LineWriter> writer = OpenWriter(
      command.paths(), command.shell.console(), arguments.output, /*append=*/false);
  if (!writer) return;
  Sink sink(*writer);
  sorter.Write(sink);
  writer->Close();
}

}  // namespace platform::commands
