#include "e2e/e2e_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace testing_support {

fs::path ProgramBinary() {
  const char* binary = std::getenv("INDEXER_BINARY");
  return binary != nullptr ? fs::path(binary) : fs::path(INDEXER_BINARY);
}

fs::path SourceDir() {
  const char* source = std::getenv("INDEXER_SOURCE_DIR");
  return source != nullptr ? fs::path(source) : fs::path(INDEXER_SOURCE_DIR);
}

ProgramResult RunProgram(const fs::path& folder, const std::string& input, const fs::path& binary,
                         const std::vector<std::string>& env) {
  fs::path program = folder / binary.filename();
  if (!fs::exists(program)) fs::copy_file(binary, program);
  fs::path in_file = folder.parent_path() / (folder.filename().string() + ".stdin");
  fs::path out_file = folder.parent_path() / (folder.filename().string() + ".stdout");
  fs::path err_file = folder.parent_path() / (folder.filename().string() + ".stderr");
  WriteFile(in_file, input);
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    FILE* in = std::freopen(in_file.c_str(), "rb", stdin);
    FILE* out = std::freopen(out_file.c_str(), "wb", stdout);
    FILE* err = std::freopen(err_file.c_str(), "wb", stderr);
    if (in == nullptr || out == nullptr || err == nullptr) _exit(127);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    for (const std::string& setting : env) putenv(const_cast<char*>(setting.c_str()));
    std::string name = "./" + program.filename().string();
    execl(name.c_str(), name.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ProgramResult result;
  int wait_status = 0;
  waitpid(child, &wait_status, 0);
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  result.out = ReadFile(out_file);
  result.err = ReadFile(err_file);
  result.lines = SplitLines(result.out);
  std::error_code error;
  fs::remove(in_file, error);
  fs::remove(out_file, error);
  fs::remove(err_file, error);
  return result;
}

}  // namespace testing_support
