#include "platform/lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {
namespace {

constexpr size_t kReadBuffer = 1 << 17;
// A reader whose own buffer is this large reads the file straight into it,
// one read a fill: through the stream's buffer, a read after a seek or at
// a page's end began at the stream's block before it, so files read in
// ranges were read in part twice.
constexpr size_t kStraightRead = size_t{1} << 12;

// Opens `path` to be read through a buffer of `buffer_size` bytes (at
// least one), made here; null, and no buffer, when it cannot be opened.
std::FILE* OpenForReading(const std::filesystem::path& path, size_t buffer_size,
                          std::unique_ptr<char[]>* buffer, size_t* capacity) {
  if (path.empty()) return nullptr;
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return nullptr;
  *capacity = buffer_size > 0 ? buffer_size : 1;
  buffer->reset(new char[*capacity]);
  if (*capacity >= kStraightRead) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

constexpr size_t kWriteBuffer = 1 << 17;

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace

LineReader::LineReader(const std::filesystem::path& path) : LineReader(path, kReadBuffer) {}

LineReader::LineReader(const std::filesystem::path& path, size_t buffer_size) {
  file_ = OpenForReading(path, buffer_size, &buffer_, &capacity_);
}

LineReader::~LineReader() { Close(); }

LineReader::LineReader(LineReader&& other) noexcept { *this = std::move(other); }

LineReader& LineReader::operator=(LineReader&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = std::exchange(other.file_, nullptr);
    buffer_ = std::move(other.buffer_);
    capacity_ = other.capacity_;
    start_ = other.start_;
    end_ = other.end_;
    eof_ = other.eof_;
    split_ = std::move(other.split_);
  }
  return *this;
}

void LineReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void LineReader::Rewind() {
  if (file_ == nullptr) return;
  std::rewind(file_);
  start_ = end_ = 0;
  eof_ = false;
  split_ = {};
}

bool LineReader::Fill() {
  if (eof_ || file_ == nullptr) return false;
  size_t got = std::fread(buffer_.get(), 1, capacity_, file_);
  start_ = 0;
  end_ = got;
  if (got == 0) eof_ = true;
  return got > 0;
}

bool LineReader::ReadWhole() {
  if (file_ == nullptr || eof_ || end_ != 0) return false;
  Fill();
  // A read of less than the buffer met the end: mark it, so no read follows.
  if (end_ < capacity_) eof_ = true;
  return eof_;
}

bool LineReader::Next(std::string_view* line) {
  if (file_ == nullptr) return false;
  std::string_view rest(buffer_.get() + start_, end_ - start_);
  const bool got = common::SplitLine(rest, split_, line, [&](std::string_view& bytes) {
    if (!Fill()) return false;
    bytes = std::string_view(buffer_.get(), end_);
    return true;
  });
  start_ = end_ - rest.size();
  return got;
}

ChunkReader::ChunkReader(const std::filesystem::path& path, size_t buffer_size) {
  file_ = OpenForReading(path, buffer_size, &buffer_, &capacity_);
}

ChunkReader::~ChunkReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ChunkReader::Next(std::string_view* chunk) {
  if (file_ == nullptr) return false;
  size_t got = std::fread(buffer_.get(), 1, capacity_, file_);
  *chunk = std::string_view(buffer_.get(), got);
  return got > 0;
}

void ChunkReader::Rewind() {
  if (file_ != nullptr) std::rewind(file_);
}

LineWriter::LineWriter(OpenedFile file) { Adopt(std::move(file)); }

LineWriter LineWriter::Over(OpenedFile file, const std::filesystem::path& host, uint64_t size) {
  LineWriter writer;
  writer.over_ = host;
  writer.overwritten_ = size;
  writer.Adopt(std::move(file));
  return writer;
}

void LineWriter::Adopt(OpenedFile file) {
  file_ = file.file;
  path_ = std::move(file.path);
  // Unbuffered, so each flush of the buffer below is one write.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.reset(new char[kWriteBuffer + ShortPiece::kReadable]);
  next_ = buffer_.get();
  limit_ = next_ + kWriteBuffer;
}

LineWriter::~LineWriter() {
  if (file_ == nullptr) return;
  try {
    Close();
  } catch (const common::IoError&) {
    // A writer left open by an earlier failure: that failure is reported.
  }
}

LineWriter::LineWriter(LineWriter&& other) noexcept { *this = std::move(other); }

LineWriter& LineWriter::operator=(LineWriter&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
    path_ = std::move(other.path_);
    buffer_ = std::move(other.buffer_);
    next_ = std::exchange(other.next_, nullptr);
    limit_ = std::exchange(other.limit_, nullptr);
    written_ = other.written_;
    over_ = std::move(other.over_);
    overwritten_ = other.overwritten_;
  }
  return *this;
}

void LineWriter::Flush() {
  const size_t size = static_cast<size_t>(next_ - buffer_.get());
  next_ = buffer_.get();
  if (size == 0) return;
  if (std::fwrite(buffer_.get(), 1, size, file_) != size) {
    throw common::IoError(path_, ErrorText(errno));
  }
  written_ += size;
}

void LineWriter::Spill(std::initializer_list<std::string_view> pieces, bool end_line) {
  if (file_ == nullptr) return;
  auto append = [&](std::string_view bytes) {
    while (!bytes.empty()) {
      if (next_ == limit_) Flush();
      const size_t take = std::min(bytes.size(), Room());
      Put(bytes.substr(0, take));
      bytes.remove_prefix(take);
    }
  };
  for (std::string_view piece : pieces) append(piece);
  if (end_line) append("\r\n");
}

void LineWriter::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = std::exchange(file_, nullptr);
  const size_t size = static_cast<size_t>(next_ - buffer_.get());
  const size_t put = size == 0 ? 0 : std::fwrite(buffer_.get(), 1, size, file);
  int error = errno;
  buffer_.reset();
  next_ = limit_ = nullptr;
  bool flushed = std::fflush(file) == 0;
  if (!flushed) error = errno;
  bool closed = std::fclose(file) == 0;
  if (!closed && flushed) error = errno;
  if (put != size || !flushed || !closed) throw common::IoError(path_, ErrorText(error));
  written_ += size;
  if (written_ < overwritten_) {
    // What was written over is longer than what replaced it: its end goes.
    std::error_code cut;
    std::filesystem::resize_file(over_, written_, cut);
    if (cut) throw common::IoError(path_, cut.message());
  }
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::string bytes;
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return bytes;
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

}  // namespace platform
