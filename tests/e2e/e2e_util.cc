#include "e2e/e2e_util.h"

#include <cstdlib>

#include "e2e/launch.h"

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
                         const std::vector<std::string>& env,
                         const std::vector<std::string>& args) {
  fs::path program = folder / binary.filename();
  if (!fs::exists(program)) fs::copy_file(binary, program);
  fs::path in_file = folder.parent_path() / (folder.filename().string() + ".stdin");
  fs::path out_file = folder.parent_path() / (folder.filename().string() + ".stdout");
  fs::path err_file = folder.parent_path() / (folder.filename().string() + ".stderr");
  WriteFile(in_file, input);
  ProgramResult result;
  result.status = LaunchAndWait(folder, program, in_file, out_file, err_file, env, args);
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
