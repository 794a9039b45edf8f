// Starting the program under test: the one launcher of the end-to-end tests.
// Every run has its standard output and error in files; its answers come
// from a file written before it starts, or, where a test must act while the
// run waits at a screen, through a pipe written later. A run may end before
// it reads its answers (a run turned away, a clock refused): that is an
// expected end, never a broken pipe that kills the test.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

/// Starts `program` with `folder` as its current folder, standard input read
/// from `in_file` and standard output and error written to `out_file` and
/// `err_file`, with SOURCE_DATE_EPOCH set to a fixed instant and then the
/// NAME=VALUE settings of `env` added, and `args` as its command-line
/// arguments; waits for it to end. Returns its exit status, or -1 when it
/// could not be started or did not exit normally.
int LaunchAndWait(const std::filesystem::path& folder, const std::filesystem::path& program,
                  const std::filesystem::path& in_file, const std::filesystem::path& out_file,
                  const std::filesystem::path& err_file, const std::vector<std::string>& env,
                  const std::vector<std::string>& args = {});

/// How a Launch starts the program (POSIX hosts).
struct LaunchOptions {
  LaunchOptions(std::filesystem::path cwd, std::vector<std::string> env = {}, unsigned user = 0)
      : cwd(std::move(cwd)), env(std::move(env)), user(user) {}
  std::filesystem::path cwd;     // the current folder it starts in
  std::vector<std::string> env;  // NAME=VALUE, set after SOURCE_DATE_EPOCH
  unsigned user;                 // when the test runs as root: this user and group
  bool closed_input = false;     // started with its standard input closed (`<&-`)
  bool by_name = false;          // started by its bare name, as a shell starts
                                 // what it found on the search path
};

/// A run of the program started by hand (POSIX hosts): `program` is the path
/// as started, output and messages go to files in `logs`.
class Launch {
 public:
  /// The exit status of a run that could not become `options.user`.
  static constexpr int kNotAsUser = 125;
  /// What Wait returns for a run killed because it did not end in time.
  static constexpr int kHung = -2;

  /// Standard input: a file holding `answers`, all there before the start;
  /// none at all (descriptor 0 closed) with `options.closed_input`.
  Launch(const std::filesystem::path& program, const LaunchOptions& options,
         const std::filesystem::path& logs, const std::string& answers);
  /// Standard input: a pipe, written by Answer while the run waits.
  Launch(const std::filesystem::path& program, const LaunchOptions& options,
         const std::filesystem::path& logs);
  ~Launch();
  Launch(const Launch&) = delete;
  Launch& operator=(const Launch&) = delete;

  /// Writes `text` into the pipe and closes it; a run that has already
  /// ended (and so closed its end) is not an error.
  void Answer(const std::string& text);
  /// Waits up to `seconds` for something on the standard output.
  bool Started(int seconds) const;
  /// The exit status (-1: ended by a signal), kHung when it did not end in
  /// `seconds` and was killed. Reads what it printed.
  int Wait(int seconds = 120);

  const std::string& out() const { return out_; }
  const std::string& err() const { return err_; }
  /// Whether the standard output holds `line` as a whole line.
  bool Printed(const std::string& line) const;

 private:
  void Start(const std::filesystem::path& program, const LaunchOptions& options, int stdin_fd);

  std::filesystem::path out_file_;
  std::filesystem::path err_file_;
  int pid_ = -1;
  int answers_ = -1;
  int status_;
  std::string out_;
  std::string err_;
};

}  // namespace testing_support
