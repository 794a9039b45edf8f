// Word extraction over the page set. Pages are scanned in batches on all
// cores; one thread then takes each batch's words in page order into the
// word data through its writer (run/word_data.h), which numbers the
// occurrences and writes them, and each page's words, to the binary work
// files.
#include "scan/extract.h"

#include <algorithm>
#include <functional>
#include <future>
#include <memory>

#include "common/bytes.h"
#include "common/parallel.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace scan {
namespace {

// Pages scanned before their words are taken in: a few per thread, so the
// scans of a batch keep every core busy while memory holds one batch.
constexpr size_t kPagesPerThread = 4;
// Read buffer of a page being scanned.
constexpr size_t kPageBuffer = size_t{1} << 16;

// The page names of dir_02.txt, lower-cased; lines without ".htm" are
// passed over.
std::vector<std::string> ListedPages(runctx::RunContext& run) {
  std::vector<std::string> names;
  platform::LineReader pages = runctx::OpenListing(run, runctx::kDir02);
  std::string_view entry;
  while (pages.Next(&entry)) {
    std::string page = common::Lower(entry);
    if (page.find(".htm") != std::string::npos) names.push_back(std::move(page));
  }
  return names;
}

}  // namespace

void ScanPage(const platform::HostPath& host, PageWords* result) {
  result->taken.clear();
  result->text.clear();
  platform::LineReader in(host, kPageBuffer);
  PageScan state;
  state.Reset();
  std::vector<Word> words;
  uint32_t line_number = 0;
  std::string_view line;
  while (in.Next(&line)) {
    ++line_number;
    if (!ScanLine(line, state, &words)) continue;
    for (const Word& word : words) {
      result->taken.push_back({line_number, static_cast<uint32_t>(word.position),
                               static_cast<uint32_t>(result->text.size()),
                               static_cast<uint32_t>(word.text.size()),
                               common::HashBytes(word.text)});
      result->text += word.text;
    }
  }
}

void ExtractWords(runctx::RunContext& run) {
  runctx::RunCommand(run, runctx::Cmd("dir /b ", runctx::kNumberedPages, " > ", runctx::kDir02));
  auto data = std::make_shared<runctx::WordData>();
  std::vector<std::string> names = ListedPages(run);
  std::vector<platform::HostPath> hosts;
  for (std::string& name : names) {
    hosts.push_back(run.paths.ForRead(name));
    data->pages.push_back(runctx::PageInfo{std::move(name)});
  }
  run.word_data = data;
  runctx::WordDataWriter collector(run.paths, *data, run.input_count);
  // Batches of pages are scanned on the other cores while the words of the
  // batch before are taken in; the two sets of buffers take turns and keep
  // their memory from batch to batch.
  const unsigned threads = common::ThreadCount(run.threads);
  const size_t batch = std::max<size_t>(1, threads * kPagesPerThread);
  std::vector<PageWords> scanned[2] = {std::vector<PageWords>(batch),
                                       std::vector<PageWords>(batch)};
  auto scan = [&](size_t first, std::vector<PageWords>& into, unsigned scan_threads) {
    const size_t count = std::min(batch, hosts.size() - first);
    common::ParallelFor(count, scan_threads,
                        [&](size_t i) { ScanPage(hosts[first + i], &into[i]); });
  };
  if (!hosts.empty()) scan(0, scanned[0], threads);
  for (size_t first = 0, turn = 0; first < hosts.size(); first += batch, turn ^= 1) {
    std::future<void> next;
    if (first + batch < hosts.size()) {
      const unsigned scan_threads = threads > 1 ? threads - 1 : 1;
      next = std::async(threads > 1 ? std::launch::async : std::launch::deferred, scan,
                        first + batch, std::ref(scanned[turn ^ 1]), scan_threads);
    }
    const size_t count = std::min(batch, hosts.size() - first);
    for (size_t i = 0; i < count; ++i) collector.AddPage(first + i, scanned[turn][i]);
    if (next.valid()) next.get();
  }
  collector.Finish();
  runctx::Progress(run, 10);
}

}  // namespace scan
