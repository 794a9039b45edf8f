// The launcher on POSIX hosts: everything the child needs (arguments,
// environment, open files) is made before the fork, so the child does only
// what is safe between fork and exec in a test process with threads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "e2e/launch.h"

extern char** environ;

namespace testing_support {
namespace {

namespace fs = std::filesystem;

constexpr int kRunning = -3;
constexpr int kNoStart = 127;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// This process's environment, then SOURCE_DATE_EPOCH, then the test's own.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& env) {
  std::map<std::string, std::string> settings;
  auto put = [&](const std::string& setting) {
    settings[setting.substr(0, setting.find('='))] = setting;
  };
  for (char** entry = environ; *entry != nullptr; ++entry) put(*entry);
  put("SOURCE_DATE_EPOCH=1700000000");
  for (const std::string& setting : env) put(setting);
  std::vector<std::string> block;
  for (const auto& [name, setting] : settings) block.push_back(setting);
  return block;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Makes `fd` the child's descriptor `target`, open across exec. A test
// process started with a standard stream closed opens its files there, and
// dup2 of a descriptor onto itself would keep its close-on-exec flag.
bool Place(int fd, int target) {
  if (fd == target) return fcntl(target, F_SETFD, 0) == 0;
  return dup2(fd, target) >= 0;
}

// Forks and execs `program` with `in_fd` as its standard input (closed when
// it is -1) and the two files as output and error. Returns the child's pid,
// or -1.
pid_t Spawn(const fs::path& program, const LaunchOptions& options,
            const std::vector<std::string>& args, int in_fd, const fs::path& out_file,
            const fs::path& err_file) {
  std::vector<std::string> arg_strings = {options.by_name ? program.filename().string()
                                                          : program.string()};
  arg_strings.insert(arg_strings.end(), args.begin(), args.end());
  std::vector<std::string> env_strings = ChildEnvironment(options.env);
  std::vector<char*> argv = Pointers(arg_strings);
  std::vector<char*> envp = Pointers(env_strings);
  int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  pid_t child = (out < 0 || err < 0) ? -1 : fork();
  if (child == 0) {
    // The test process ignores SIGPIPE; the program gets the default back.
    signal(SIGPIPE, SIG_DFL);
    if ((in_fd >= 0 && !Place(in_fd, STDIN_FILENO)) || !Place(out, STDOUT_FILENO) ||
        !Place(err, STDERR_FILENO)) {
      _exit(kNoStart);
    }
    if (in_fd < 0) close(STDIN_FILENO);
    const int refused = options.user != 0 ? Launch::kNotAsUser : kNoStart;
    if (options.user != 0 && getuid() == 0 &&
        (setgid(options.user) != 0 || setuid(options.user) != 0)) {
      _exit(Launch::kNotAsUser);
    }
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(refused);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(kNoStart);
  }
  if (out >= 0) close(out);
  if (err >= 0) close(err);
  return child;
}

int ExitStatus(int wait_status) { return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1; }

// A log file name of its own for each launch of this test process.
fs::path LogFile(const fs::path& logs, const char* kind) {
  static std::atomic<int> count{0};
  return logs / (kind + std::to_string(++count));
}

}  // namespace

int LaunchAndWait(const fs::path& folder, const fs::path& program, const fs::path& in_file,
                  const fs::path& out_file, const fs::path& err_file,
                  const std::vector<std::string>& env, const std::vector<std::string>& args) {
  int in = open(in_file.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return -1;
  LaunchOptions options{folder, env, 0};
  pid_t child = Spawn(fs::path(".") / program.filename(), options, args, in, out_file, err_file);
  close(in);
  int wait_status = 0;
  if (child <= 0 || waitpid(child, &wait_status, 0) != child) return -1;
  return ExitStatus(wait_status);
}

Launch::Launch(const fs::path& program, const LaunchOptions& options, const fs::path& logs,
               const std::string& answers)
    : out_file_(LogFile(logs, "out")), err_file_(LogFile(logs, "err")), status_(kRunning) {
  if (options.closed_input) {
    Start(program, options, -1);
    return;
  }
  fs::path in_file = LogFile(logs, "in");
  std::ofstream(in_file, std::ios::binary) << answers;
  int in = open(in_file.c_str(), O_RDONLY | O_CLOEXEC);
  if (in >= 0) {
    Start(program, options, in);
    close(in);
  }
}

Launch::Launch(const fs::path& program, const LaunchOptions& options, const fs::path& logs)
    : out_file_(LogFile(logs, "out")), err_file_(LogFile(logs, "err")), status_(kRunning) {
  // A write into the pipe of a run that has ended must fail with EPIPE,
  // not end the test process.
  signal(SIGPIPE, SIG_IGN);
  int answers[2];
  if (pipe2(answers, O_CLOEXEC) != 0) return;
  Start(program, options, answers[0]);
  close(answers[0]);
  answers_ = answers[1];
}

void Launch::Start(const fs::path& program, const LaunchOptions& options, int stdin_fd) {
  pid_ = Spawn(program, options, {}, stdin_fd, out_file_, err_file_);
}

Launch::~Launch() {
  if (answers_ >= 0) close(answers_);
  if (pid_ > 0 && status_ == kRunning) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void Launch::Answer(const std::string& text) {
  if (answers_ < 0) return;
  size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(answers_, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) {
      // EPIPE: the run ended before it read its answers, which the test
      // then sees in its status and output.
      if (errno != EPIPE) ADD_FAILURE() << "answers not written: " << std::strerror(errno);
      break;
    }
    done += static_cast<size_t>(written);
  }
  close(answers_);
  answers_ = -1;
}

bool Launch::Started(int seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    if (fs::file_size(out_file_, error) > 0 && !error) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

int Launch::Wait(int seconds) {
  if (pid_ <= 0) status_ = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (status_ == kRunning) {
    int wait_status = 0;
    pid_t ended = waitpid(pid_, &wait_status, WNOHANG);
    if (ended == pid_) {
      status_ = ExitStatus(wait_status);
    } else if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      status_ = kHung;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  out_ = ReadAll(out_file_);
  err_ = ReadAll(err_file_);
  return status_;
}

bool Launch::Printed(const std::string& line) const {
  std::istringstream lines(out_);
  for (std::string read; std::getline(lines, read);) {
    if (!read.empty() && read.back() == '\r') read.pop_back();
    if (read == line) return true;
  }
  return false;
}

}  // namespace testing_support
