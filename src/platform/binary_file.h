// Compact binary work files: records of fixed size written once, in order,
// through a large buffer, and read back by position. They hold the word
// data between the phases of a run and are removed with their work folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/host.h"

namespace platform {

/// Appends bytes to a new file the door opened (Paths::Create). A write
/// that fails raises common::IoError naming the file.
class BinaryWriter {
 public:
  BinaryWriter() = default;
  explicit BinaryWriter(OpenedFile file);
  ~BinaryWriter();
  BinaryWriter(const BinaryWriter&) = delete;
  BinaryWriter& operator=(const BinaryWriter&) = delete;

  void Write(const void* data, size_t size);
  template <typename Record>
  void Put(const Record& record) {
    Write(&record, sizeof record);
  }
  /// Bytes written so far.
  uint64_t size() const { return size_; }
  /// Writes what is buffered and closes; raises IoError on failure.
  void Close();

 private:
  void Flush();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::unique_ptr<char[]> buffer_;  // not cleared: only bytes written are read
  size_t used_ = 0;
  uint64_t size_ = 0;
};

/// Writes a new file the door opened (Paths::Create) whose parts are filled
/// out of order: each block goes straight to its own offset, unbuffered
/// (the caller writes large blocks). A write that fails raises
/// common::IoError naming the file.
class BlockWriter {
 public:
  explicit BlockWriter(OpenedFile file);
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  /// Writes `size` bytes at byte `offset`; the bytes before it that no
  /// block wrote yet read as zeros until one does.
  void WriteAt(uint64_t offset, const void* data, size_t size);
  /// Closes; raises IoError on failure.
  void Close();

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

/// Reads byte ranges of a file. One reader per thread.
class BinaryReader {
 public:
  explicit BinaryReader(const std::filesystem::path& host);
  ~BinaryReader();
  BinaryReader(const BinaryReader&) = delete;
  BinaryReader& operator=(const BinaryReader&) = delete;

  /// Reads `size` bytes from byte `offset` into `data`; raises IoError
  /// when the file is shorter.
  void ReadBytes(uint64_t offset, void* data, size_t size);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace platform
