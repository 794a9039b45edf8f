// The run lock on Windows: a named mutex whose name holds a hash of the
// folder's full path as the system resolves it, case-folded (a kernel
// object's name cannot hold the path's backslashes). The name is the lock:
// it exists while a run holds a handle to it, and the system closes the
// handle, and so frees the name, when the process ends. Nothing is written
// to disk.
#include <windows.h>

#include <cstdint>
#include <string>
#include <system_error>

#include "platform/run_lock.h"

namespace platform {
namespace {

// The folder's full path as the system resolves it (links, junctions and
// short names followed, so every way of naming the folder gives the same
// path), in lower case; the absolute path where the folder cannot be asked.
std::wstring FolderKey(const std::filesystem::path& folder) {
  std::error_code error;
  std::wstring path = std::filesystem::absolute(folder, error).wstring();
  if (error) path = folder.wstring();
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    DWORD length = GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
    std::wstring resolved(length, L'\0');
    if (length > 0) {
      DWORD got = GetFinalPathNameByHandleW(handle, resolved.data(), length, FILE_NAME_NORMALIZED);
      if (got > 0 && got < length) path.assign(resolved.data(), got);
    }
    CloseHandle(handle);
  }
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  if (!path.empty()) CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

// FNV-1a, 64 bits, over the UTF-16 code units of `text`, low byte first.
std::uint64_t Fnv1a64(const std::wstring& text) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (wchar_t unit : text) {
    for (int shift : {0, 8}) {
      hash ^= (static_cast<std::uint16_t>(unit) >> shift) & 0xFF;
      hash *= 0x100000001b3ULL;
    }
  }
  return hash;
}

// The mutex's name under `space`: "Global" is the namespace every session
// shares, so a run of another user or session in the folder is seen too.
std::wstring MutexName(const std::wstring& space, const std::filesystem::path& folder) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::uint64_t hash = Fnv1a64(FolderKey(folder));
  std::wstring name = space + L"\\indexer-run-";
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHex[(hash >> shift) & 0xF]);
  return name;
}

}  // namespace

RunLock::RunLock(const std::filesystem::path& folder) {
  const std::wstring global = MutexName(L"Global", folder);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, global.c_str());
  DWORD why = GetLastError();
  if (mutex == nullptr && why == ERROR_ACCESS_DENIED) {
    // The name is another user's (their run holds the folder), or this
    // process may not make names every session sees: then the lock lives
    // in its own session's namespace.
    HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, global.c_str());
    const DWORD open_why = GetLastError();
    if (other != nullptr || open_why == ERROR_ACCESS_DENIED) {
      if (other != nullptr) CloseHandle(other);
      busy_ = true;
      return;
    }
    if (open_why != ERROR_FILE_NOT_FOUND) {
      failure_ = std::system_category().message(static_cast<int>(open_why));
      return;
    }
    mutex = CreateMutexW(nullptr, FALSE, MutexName(L"Local", folder).c_str());
    why = GetLastError();
  }
  // No mutex, and no other run holding its name: the folder cannot be
  // guarded, and a run there could share it unseen.
  if (mutex == nullptr) {
    failure_ = std::system_category().message(static_cast<int>(why));
    return;
  }
  // The name existed already: another run is working in the folder.
  if (why == ERROR_ALREADY_EXISTS) {
    busy_ = true;
    CloseHandle(mutex);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

RunLock::~RunLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace platform
