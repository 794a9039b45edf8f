// Starting the program under test on Windows: CreateProcessW in the run
// folder, with inheritable file handles as its standard streams and an
// environment block of its own.
#include <windows.h>

#include <cwctype>
#include <map>

#include "e2e/launch.h"

namespace testing_support {
namespace {

// Closes a handle when the launch is over, on every path.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

HANDLE OpenInheritable(const std::filesystem::path& path, bool for_writing) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), for_writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                     &inherit, for_writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

std::wstring Widen(const std::string& utf8) {
  int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::wstring FoldedName(const std::wstring& setting) {
  std::wstring name = setting.substr(0, setting.find(L'='));
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
  return name;
}

// This process's environment with the test's settings on top, as the
// sorted, double-NUL-ended block that CreateProcessW takes.
std::wstring EnvironmentBlock(const std::vector<std::string>& env) {
  std::map<std::wstring, std::wstring> settings;
  if (wchar_t* own = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1) {
      std::wstring setting(entry);
      if (setting.empty() || setting[0] == L'=') continue;  // per-drive folders
      settings[FoldedName(setting)] = setting;
    }
    FreeEnvironmentStringsW(own);
  }
  settings[L"SOURCE_DATE_EPOCH"] = L"SOURCE_DATE_EPOCH=1700000000";
  for (const std::string& setting : env) {
    std::wstring wide = Widen(setting);
    settings[FoldedName(wide)] = wide;
  }
  std::wstring block;
  for (const auto& [name, setting] : settings) {
    block += setting;
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

}  // namespace

int LaunchAndWait(const std::filesystem::path& folder, const std::filesystem::path& program,
                  const std::filesystem::path& in_file, const std::filesystem::path& out_file,
                  const std::filesystem::path& err_file, const std::vector<std::string>& env,
                  const std::vector<std::string>& args) {
  Handle in(OpenInheritable(in_file, /*for_writing=*/false));
  Handle out(OpenInheritable(out_file, /*for_writing=*/true));
  Handle err(OpenInheritable(err_file, /*for_writing=*/true));
  if (!in.valid() || !out.valid() || !err.valid()) return -1;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  std::filesystem::path program_path = std::filesystem::absolute(folder / program.filename());
  std::wstring command_line = L"\"" + program_path.wstring() + L"\"";
  // The tests' arguments hold no blanks or quotes: each is passed as it is.
  for (const std::string& arg : args) command_line += L" " + std::filesystem::path(arg).wstring();
  std::wstring environment = EnvironmentBlock(env);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program_path.c_str(), command_line.data(), nullptr, nullptr,
                      /*bInheritHandles=*/TRUE, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                      folder.c_str(), &startup, &process)) {
    return -1;
  }
  Handle process_handle(process.hProcess);
  Handle thread_handle(process.hThread);
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0) return -1;
  DWORD exit_code = 0;
  if (!GetExitCodeProcess(process.hProcess, &exit_code)) return -1;
  return static_cast<int>(exit_code);
}

}  // namespace testing_support
