// The pages scanned in pieces. Each scanning thread takes the next page not
// yet taken and scans it piece by piece into a ring of three buffers of
// its own; it waits while all hold pieces not yet taken in. The caller's
// thread takes the pieces of page after page from the ring of the thread
// that scans it, so the thread of the page being taken in never waits
// for the others. With one scanning thread a core, the threads are one
// more than the cores: the scanning threads run at a lower priority, so
// that the taking thread, which all of them wait on in the end, gets a
// core whenever it has a piece to take.
#include "scan/pieces.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "common/parallel.h"
#include "platform/process.h"

namespace scan {
namespace {

// Read buffer of a page being scanned.
constexpr size_t kPageBuffer = size_t{1} << 16;
// Pieces a scanning thread holds: one being scanned, the others waiting to
// be taken in. Pages differ in length: while the page being taken in is
// still scanned, the threads ahead of it go on for a piece more.
constexpr size_t kRing = 3;
constexpr size_t kNoLane = static_cast<size_t>(-1);

struct Piece {
  size_t page = 0;
  bool last = false;
  PageWords words;
};

// One scanning thread's pieces. The thread fills ring[written % kRing]
// while written - taken < kRing; the taker reads ring[taken % kRing] while
// taken < written. The counts change under the mutex; the two never touch
// the same buffer.
struct Lane {
  Piece ring[kRing];
  size_t written = 0;
  size_t taken = 0;
};

class Pipeline {
 public:
  Pipeline(const std::vector<platform::HostPath>& pages, size_t lanes, size_t piece_bytes,
           const ResolvePiece& resolve)
      : pages_(pages),
        piece_bytes_(piece_bytes),
        resolve_(resolve),
        lanes_(lanes),
        owner_(pages.size(), kNoLane) {}

  // Starts the scanning threads, takes every piece in, stops the threads.
  void Run(const TakePiece& take) {
    std::vector<std::thread> threads;
    try {
      for (size_t lane = 0; lane < lanes_.size(); ++lane) {
        threads.emplace_back([this, lane] { Scan(lane); });
      }
      for (size_t page = 0; page < pages_.size(); ++page) TakePage(page, take);
    } catch (...) {
      Fail(std::current_exception());
    }
    for (std::thread& thread : threads) thread.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void Fail(std::exception_ptr failure) {
    std::lock_guard lock(mutex_);
    if (!failure_) failure_ = failure;
    changed_.notify_all();
  }

  // A scanning thread: page after page, piece after piece.
  void Scan(size_t index) {
    platform::LowerThreadPriority();
    try {
      Lane& lane = lanes_[index];
      PageNumbering numbering;
      for (;;) {
        size_t page;
        {
          std::lock_guard lock(mutex_);
          if (failure_ || next_page_ == pages_.size()) return;
          page = next_page_++;
          owner_[page] = index;
        }
        PageScanner scanner(pages_[page], numbering);
        for (bool more = true; more;) {
          Piece* piece;
          {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return failure_ || lane.written - lane.taken < kRing; });
            if (failure_) return;
            piece = &lane.ring[lane.written % kRing];
          }
          more = scanner.Next(piece_bytes_, &piece->words);
          resolve_(&piece->words);
          piece->page = page;
          piece->last = !more;
          std::lock_guard lock(mutex_);
          ++lane.written;
          changed_.notify_all();
        }
      }
    } catch (...) {
      Fail(std::current_exception());
    }
  }

  void TakePage(size_t page, const TakePiece& take) {
    for (bool last = false; !last;) {
      Lane* lane;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
          return failure_ || (owner_[page] != kNoLane &&
                              lanes_[owner_[page]].taken < lanes_[owner_[page]].written);
        });
        if (failure_) return;
        lane = &lanes_[owner_[page]];
      }
      const Piece& piece = lane->ring[lane->taken % kRing];
      last = piece.last;
      take(page, piece.words, last);
      std::lock_guard lock(mutex_);
      ++lane->taken;
      changed_.notify_all();
    }
  }

  const std::vector<platform::HostPath>& pages_;
  const size_t piece_bytes_;
  const ResolvePiece& resolve_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Lane> lanes_;
  std::vector<size_t> owner_;  // by page: the lane scanning it
  size_t next_page_ = 0;
  std::exception_ptr failure_;
};

}  // namespace

PageScanner::PageScanner(const platform::HostPath& host, PageNumbering& numbering)
    : in_(host, kPageBuffer), numbering_(numbering) {
  state_.Reset();
  numbering_.Clear();
}

bool PageScanner::Next(size_t piece_bytes, PageWords* piece) {
  piece->Clear();
  const size_t limit = std::max<size_t>(piece_bytes, 1);
  std::string_view line;
  while (piece->Bytes() < limit) {
    if (!in_.Next(&line)) return false;
    ++line_number_;
    if (ScanLine(line, state_, &words_)) numbering_.AddLine(line_number_, words_, piece);
  }
  return true;
}

void ScanInPieces(const std::vector<platform::HostPath>& pages, unsigned threads,
                  const common::Limits& limits, const TakePiece& take,
                  const ResolvePiece& resolve) {
  // The thread that takes the pieces in does little beside the scanning
  // threads, so there are as many of these as threads.
  const unsigned count = common::ThreadCount(threads);
  const size_t scanning =
      count == 1 ? 0 : std::min<size_t>(count, std::max<size_t>(1, limits.pieces_held / kRing));
  if (scanning == 0) {
    PageWords piece;
    PageNumbering numbering;
    for (size_t page = 0; page < pages.size(); ++page) {
      PageScanner scanner(pages[page], numbering);
      for (bool more = true; more;) {
        more = scanner.Next(limits.piece_bytes, &piece);
        take(page, piece, !more);
      }
    }
    return;
  }
  Pipeline(pages, scanning, limits.piece_bytes, resolve).Run(take);
}

}  // namespace scan
