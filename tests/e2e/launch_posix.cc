// Starting the program under test on POSIX hosts: fork, then exec in the
// run folder with the standard streams redirected to files.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/launch.h"

namespace testing_support {

int LaunchAndWait(const std::filesystem::path& folder, const std::filesystem::path& program,
                  const std::filesystem::path& in_file, const std::filesystem::path& out_file,
                  const std::filesystem::path& err_file, const std::vector<std::string>& env,
                  const std::vector<std::string>& args) {
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    FILE* in = std::freopen(in_file.c_str(), "rb", stdin);
    FILE* out = std::freopen(out_file.c_str(), "wb", stdout);
    FILE* err = std::freopen(err_file.c_str(), "wb", stderr);
    if (in == nullptr || out == nullptr || err == nullptr) _exit(127);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    for (const std::string& setting : env) putenv(const_cast<char*>(setting.c_str()));
    std::string name = "./" + program.filename().string();
    std::vector<char*> argv = {name.data()};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(name.c_str(), argv.data());
    _exit(127);
  }
  int wait_status = 0;
  if (waitpid(child, &wait_status, 0) != child) return -1;
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

}  // namespace testing_support
