#include "platform/binary_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/io_error.h"

namespace platform {
namespace {

constexpr size_t kBuffer = size_t{1} << 18;

std::string Reason(int error) { return error == 0 ? "read or write failed" : std::strerror(error); }

// Positions a file at a 64-bit offset: chunks of at most 1 GiB, since the
// host's long may hold only 32 bits.
bool SeekTo(std::FILE* file, uint64_t offset) {
  constexpr uint64_t kStep = uint64_t{1} << 30;
  const uint64_t first = offset < kStep ? offset : kStep;
  if (std::fseek(file, static_cast<long>(first), SEEK_SET) != 0) return false;
  offset -= first;
  while (offset > 0) {
    uint64_t step = offset < kStep ? offset : kStep;
    if (std::fseek(file, static_cast<long>(step), SEEK_CUR) != 0) return false;
    offset -= step;
  }
  return true;
}

// Closes a file written to; raises IoError naming `path` on failure.
void CloseWritten(std::FILE* file, const std::string& path) {
  bool flushed = std::fflush(file) == 0;
  int error = errno;
  bool closed = std::fclose(file) == 0;
  if (!closed && flushed) error = errno;
  if (!flushed || !closed) throw common::IoError(path, Reason(error));
}

}  // namespace

BinaryWriter::BinaryWriter(OpenedFile file) : file_(file.file), path_(std::move(file.path)) {
  // Unbuffered, so each flush of the buffer below is one write.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.reset(new char[kBuffer]);
}

BinaryWriter::~BinaryWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

void BinaryWriter::Flush() {
  if (used_ == 0) return;
  size_t put = std::fwrite(buffer_.get(), 1, used_, file_);
  int error = errno;
  if (put != used_) throw common::IoError(path_, Reason(error));
  used_ = 0;
}

void BinaryWriter::Write(const void* data, size_t size) {
  if (file_ == nullptr) return;
  size_ += size;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    size_t room = kBuffer - used_;
    size_t take = size < room ? size : room;
    std::memcpy(buffer_.get() + used_, bytes, take);
    used_ += take;
    bytes += take;
    size -= take;
    if (used_ == kBuffer) Flush();
  }
}

void BinaryWriter::Close() {
  if (file_ == nullptr) return;
  Flush();
  CloseWritten(std::exchange(file_, nullptr), path_);
}

BlockWriter::BlockWriter(OpenedFile file) : file_(file.file), path_(std::move(file.path)) {
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

BlockWriter::~BlockWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

void BlockWriter::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (size == 0) return;
  if (!SeekTo(file_, offset) || std::fwrite(data, 1, size, file_) != size) {
    throw common::IoError(path_, Reason(errno));
  }
}

void BlockWriter::Close() {
  if (file_ == nullptr) return;
  CloseWritten(std::exchange(file_, nullptr), path_);
}

BinaryReader::BinaryReader(const std::filesystem::path& host) : path_(host.string()) {
  file_ = OpenFile(host, "rb");
  if (file_ == nullptr) throw common::IoError(path_, Reason(errno));
  // Ranges are read straight into the caller's buffer, one read each: a
  // stream buffer would read from the block before each range's start, so
  // a file read page by page would be read in part twice.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

BinaryReader::~BinaryReader() {
  if (file_ != nullptr) std::fclose(file_);
}

void BinaryReader::ReadBytes(uint64_t offset, void* data, size_t size) {
  if (size == 0) return;
  if (!SeekTo(file_, offset) || std::fread(data, 1, size, file_) != size) {
    throw common::IoError(path_, Reason(errno));
  }
}

}  // namespace platform
