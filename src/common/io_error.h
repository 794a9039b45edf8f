// The one hard failure of a run: a work file or page that cannot be
// written (a full disk, no permission, a folder where a file must go).
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace common {

/// A hard I/O failure the run cannot go on from. The driver shows it as an
/// error screen naming the file and ends the run with exit status 1.
class IoError : public std::runtime_error {
 public:
  IoError(std::string path, std::string reason)
      : std::runtime_error(path + ": " + reason),
        path_(std::move(path)),
        reason_(std::move(reason)) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

}  // namespace common
