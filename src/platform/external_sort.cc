#include "platform/external_sort.h"

#include <algorithm>
#include <optional>
#include <queue>
#include <string>
#include <system_error>
#include <vector>

namespace platform {
namespace {

// The lines of one run: their bytes in one block, their places in a list.
class RunBuffer {
 public:
  void Add(std::string_view line) {
    slices_.push_back({bytes_.size(), line.size()});
    bytes_.append(line);
  }
  bool Full(size_t run_lines, size_t run_bytes) const {
    return bytes_.size() >= run_bytes || slices_.size() >= run_lines;
  }
  bool empty() const { return slices_.empty(); }
  std::string_view Back() const { return View(slices_.back()); }
  void Sort(LineCompare compare) {
    std::stable_sort(
        slices_.begin(), slices_.end(),
        [this, compare](const Slice& a, const Slice& b) { return compare(View(a), View(b)) < 0; });
  }
  template <typename Out>
  void WriteTo(Out&& out) const {
    for (const Slice& slice : slices_) out(View(slice));
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

  // A new chunk file, opened for writing; `chunk` is set to its path.
  LineWriter Create(fs::path* chunk) {
    *chunk = paths_.root() / ("~sort_" + std::to_string(next_++) + ".tmp");
    live_.push_back(*chunk);
    return LineWriter(paths_.Create(*chunk));
  }
  void Remove(const fs::path& chunk) {
    Drop(chunk);
    live_.erase(std::find(live_.begin(), live_.end(), chunk));
  }

 private:
  void Drop(const fs::path& chunk) { paths_.Remove(chunk); }

  Paths& paths_;
  int next_ = 1;
  std::vector<fs::path> live_;
};

// Writes the lines of the sorted `inputs` to `out` in order: a heap holds
// the next line of each input.
template <typename Out>
void Merge(const std::vector<fs::path>& inputs, LineCompare compare, Out&& out) {
  std::vector<platform::LineReader> readers;
  readers.reserve(inputs.size());  // the line views point into the readers
  std::vector<std::string_view> heads(inputs.size());
  auto later = [&heads, compare](size_t a, size_t b) {
    int order = compare(heads[a], heads[b]);
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
    out(heads[i]);
    if (readers[i].Next(&heads[i])) heap.push(i);
  }
}

class Sorter {
 public:
  Sorter(Paths& paths, LineCompare compare, size_t run_lines, size_t run_bytes,
         size_t files_per_merge)
      : compare_(compare),
        run_lines_(run_lines),
        run_bytes_(run_bytes),
        merge_width_(std::max<size_t>(files_per_merge, 2)),
        chunks_(paths) {}

  /// Takes in every line of `reader`.
  void Read(LineReader& reader) {
    std::string_view line;
    while (reader.Next(&line)) {
      if (stream_) {
        if (compare_(line, last_) >= 0) {
          stream_->Line(line);
          last_.assign(line);
          continue;
        }
        stream_->Close();
        stream_.reset();
        in_order_ = false;
      } else if (in_order_ && !buffer_.empty() && compare_(line, buffer_.Back()) < 0) {
        in_order_ = false;
      }
      buffer_.Add(line);
      if (buffer_.Full(run_lines_, run_bytes_)) Spill();
    }
    if (stream_) stream_->Close();
    stream_.reset();
  }

  /// Gives the lines taken in, in order.
  void Write(const std::function<void(std::string_view)>& out) {
    if (chunk_list_.empty()) {
      if (!in_order_) buffer_.Sort(compare_);
      buffer_.WriteTo(out);
      return;
    }
    if (!buffer_.empty()) SpillSorted();
    std::vector<fs::path> inputs = chunk_list_;
    while (inputs.size() > merge_width_) inputs = MergePass(inputs);
    Merge(inputs, compare_, out);
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
    stream_.emplace(NewChunk());
    buffer_.WriteTo([this](std::string_view line) { stream_->Line(line); });
    last_.assign(buffer_.Back());
    buffer_.Clear();
  }

  void SpillSorted() {
    buffer_.Sort(compare_);
    LineWriter writer(NewChunk());
    buffer_.WriteTo([&writer](std::string_view line) { writer.Line(line); });
    writer.Close();
    buffer_.Clear();
  }

  LineWriter NewChunk() {
    fs::path chunk;
    LineWriter writer = chunks_.Create(&chunk);
    chunk_list_.push_back(chunk);
    return writer;
  }

  // Merges the inputs in groups of the merge width into fewer chunks.
  std::vector<fs::path> MergePass(const std::vector<fs::path>& inputs) {
    std::vector<fs::path> outputs;
    const size_t width = merge_width_;
    for (size_t start = 0; start < inputs.size(); start += width) {
      std::vector<fs::path> group(
          inputs.begin() + static_cast<std::ptrdiff_t>(start),
          inputs.begin() + static_cast<std::ptrdiff_t>(std::min(start + width, inputs.size())));
      fs::path merged;
      LineWriter writer = chunks_.Create(&merged);
      Merge(group, compare_, [&writer](std::string_view line) { writer.Line(line); });
      writer.Close();
      for (const fs::path& chunk : group) chunks_.Remove(chunk);
      outputs.push_back(merged);
    }
    return outputs;
  }

  LineCompare compare_;
  size_t run_lines_;
  size_t run_bytes_;
  size_t merge_width_;
  ChunkFiles chunks_;
  std::vector<fs::path> chunk_list_;
  RunBuffer buffer_;
  bool in_order_ = true;  // every line read so far is in order
  std::optional<LineWriter> stream_;
  std::string last_;
};

}  // namespace

void ExternalSort(Paths& paths, LineReader& input, LineCompare compare, size_t run_lines,
                  size_t run_bytes, size_t files_per_merge, const SortedLines& out) {
  Sorter sorter(paths, compare, run_lines, run_bytes, files_per_merge);
  sorter.Read(input);
  if (!out.begin()) return;
  sorter.Write(out.line);
}

}  // namespace platform
