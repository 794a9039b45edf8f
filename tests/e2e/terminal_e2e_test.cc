// The program at a terminal (a pseudo-terminal), answered key by key as a
// person would: keys typed before a prompt are dropped, editing keys stay
// out of the web address, the screen is cleared only on a terminal, and
// the terminal's settings come back after a signal or Ctrl-Z at a prompt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

// Only a program that hangs ever waits this long.
constexpr auto kDeadline = std::chrono::seconds(60);

int CountOf(std::string_view text, std::string_view part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The program started on a pseudo-terminal as a shell starts a job: in a
// process group of its own that holds the terminal, its parent a stand-in
// shell in the same session (so Ctrl-Z can stop it), which reports the
// program's process id and then each change of its state through a pipe.
class TerminalRun {
 public:
  TerminalRun(const fs::path& folder, const std::string& term, bool output_to_pipe)
      : output_to_pipe_(output_to_pipe) {
    fs::path program = folder / ProgramBinary().filename();
    if (!fs::exists(program)) fs::copy_file(ProgramBinary(), program);
    winsize size{/*ws_row=*/24, /*ws_col=*/80, 0, 0};
    EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
    initial_ = Settings();
    int status_pipe[2], output_pipe[2] = {-1, -1};
    EXPECT_EQ(pipe(status_pipe), 0);
    if (output_to_pipe) {
      EXPECT_EQ(pipe(output_pipe), 0);
    }
    shell_ = fork();
    if (shell_ == 0) {
      close(master_);
      close(status_pipe[0]);
      if (output_pipe[0] >= 0) close(output_pipe[0]);
      RunShell(folder, term, output_pipe[1] >= 0 ? output_pipe[1] : slave_, status_pipe[1]);
    }
    close(status_pipe[1]);
    status_ = status_pipe[0];
    if (output_to_pipe) {
      close(output_pipe[1]);
      pipe_ = output_pipe[0];
    }
    pid_t pid = -1;
    if (Pump([&] { return status_bytes_.size() >= sizeof pid; })) {
      std::memcpy(&pid, status_bytes_.data(), sizeof pid);
      status_bytes_.erase(0, sizeof pid);
    }
    program_ = pid;
    EXPECT_GT(program_, 0) << "the program did not start";
  }

  ~TerminalRun() {
    if (program_ > 0 && !ended_) kill(program_, SIGKILL);
    int status = 0;
    if (shell_ > 0) waitpid(shell_, &status, 0);
    for (int fd : {master_, slave_, status_, pipe_}) {
      if (fd >= 0) close(fd);
    }
  }

  TerminalRun(const TerminalRun&) = delete;
  TerminalRun& operator=(const TerminalRun&) = delete;

  void Type(std::string_view keys) {
    EXPECT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  void Signal(int signal) { kill(program_, signal); }

  /// Waits until the program's standard output has shown `text` `count`
  /// times; false when it does not within the deadline.
  bool WaitFor(std::string_view text, int count = 1) {
    return Pump([&] { return CountOf(screen(), text) >= count; });
  }
  /// The program's next change of state, as waitpid gives it; nullopt when
  /// none comes within the deadline.
  std::optional<int> NextStatus() {
    int status = 0;
    if (!Pump([&] { return status_bytes_.size() >= sizeof status; })) return std::nullopt;
    std::memcpy(&status, status_bytes_.data(), sizeof status);
    status_bytes_.erase(0, sizeof status);
    ended_ = WIFEXITED(status) || WIFSIGNALED(status);
    return status;
  }
  /// The terminal's settings before the program started.
  const termios& initial() const { return initial_; }
  /// The terminal's settings now.
  termios Settings() const {
    termios settings{};
    EXPECT_EQ(tcgetattr(slave_, &settings), 0);
    return settings;
  }
  /// All the program's standard output has shown so far.
  const std::string& screen() const { return output_to_pipe_ ? piped_ : terminal_; }

 private:
  // The stand-in shell, in the child: a session of its own with the
  // terminal, the program started as a job in the foreground.
  [[noreturn]] void RunShell(const fs::path& folder, const std::string& term, int output,
                             int report) {
    setsid();
    ioctl(slave_, TIOCSCTTY, 0);
    pid_t program = fork();
    if (program == 0) {
      setpgid(0, 0);
      std::signal(SIGTTOU, SIG_IGN);  // taking the terminal from the background
      tcsetpgrp(slave_, getpgrp());
      std::signal(SIGTTOU, SIG_DFL);
      dup2(slave_, STDIN_FILENO);
      dup2(output, STDOUT_FILENO);
      dup2(slave_, STDERR_FILENO);
      for (int fd : {slave_, output, report}) {
        if (fd > STDERR_FILENO) close(fd);
      }
      if (chdir(folder.c_str()) != 0) _exit(127);
      setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
      setenv("TERM", term.c_str(), 1);
      std::string name = "./" + ProgramBinary().filename().string();
      char* argv[] = {name.data(), nullptr};
      execv(name.c_str(), argv);
      _exit(127);
    }
    setpgid(program, program);
    if (write(report, &program, sizeof program) != sizeof program) _exit(1);
    for (;;) {
      int status = 0;
      if (waitpid(program, &status, WUNTRACED | WCONTINUED) < 0) {
        if (errno == EINTR) continue;
        _exit(1);
      }
      if (write(report, &status, sizeof status) != sizeof status) _exit(1);
      if (WIFEXITED(status) || WIFSIGNALED(status)) _exit(0);
    }
  }

  // Reads the terminal, the output pipe and the reports until `done` holds;
  // false at the deadline or when nothing more can come.
  template <typename Done>
  bool Pump(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fds[3] = {{master_, POLLIN, 0}, {pipe_, POLLIN, 0}, {status_, POLLIN, 0}};
      std::string* into[3] = {&terminal_, &piped_, &status_bytes_};
      if (fds[0].fd < 0 && fds[1].fd < 0 && fds[2].fd < 0) return false;
      if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
      for (int i = 0; i < 3; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[4096];
        ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
        if (got > 0) {
          into[i]->append(buffer, static_cast<size_t>(got));
        } else if (i > 0) {
          // The pipe's or the shell's end is closed: nothing more comes.
          close(fds[i].fd);
          (i == 1 ? pipe_ : status_) = -1;
        }
      }
    }
    return true;
  }

  bool output_to_pipe_;
  int master_ = -1;
  int slave_ = -1;  // held open: the settings can be read after the end
  int status_ = -1;
  int pipe_ = -1;
  pid_t shell_ = -1;
  pid_t program_ = -1;
  bool ended_ = false;
  termios initial_{};
  std::string terminal_;
  std::string piped_;
  std::string status_bytes_;
};

void ExpectSameSettings(const termios& now, const termios& before) {
  EXPECT_EQ(now.c_iflag, before.c_iflag);
  EXPECT_EQ(now.c_oflag, before.c_oflag);
  EXPECT_EQ(now.c_cflag, before.c_cflag);
  EXPECT_EQ(now.c_lflag, before.c_lflag);
  EXPECT_EQ(now.c_cc[VMIN], before.c_cc[VMIN]);
  EXPECT_EQ(now.c_cc[VTIME], before.c_cc[VTIME]);
}

void CopySamples(const fs::path& folder) {
  fs::copy(SourceDir() / "examples" / "txt_in", folder / "txt_in", fs::copy_options::recursive);
}

// The three screens before the web-address prompt, answered with `1`.
void ContinueToTheListing(TerminalRun& run) {
  ASSERT_TRUE(run.WaitFor("<2> end", 1)) << run.screen();
  run.Type("1");
  ASSERT_TRUE(run.WaitFor("<2> end", 2)) << run.screen();
  run.Type("1");
  ASSERT_TRUE(run.WaitFor("<2> end", 3)) << run.screen();
}

// `1` Enter at the listing: the Enter no longer answers the web-address
// prompt; an arrow key inside the address stays out of the links; keys
// typed during indexing do not dismiss the results screen (a SIGTERM still
// finds it waiting); the skipped input is named again before the results.
TEST(TerminalEndToEndTest, TypedAnswersReachTheLinksAndTypeAheadIsDropped) {
  ScopedTempDir dir;
  CopySamples(dir.path());
  WriteFile(dir.path() / "txt_in" / "what?.txt", "cannot exist at home");
  TerminalRun run(dir.path(), "xterm", /*output_to_pipe=*/false);
  const termios before = run.initial();
  ContinueToTheListing(run);
  run.Type("1\r");
  ASSERT_TRUE(run.WaitFor("= ? ")) << run.screen();
  run.Type("www.exa\x1b[Dmple.net\rzz");
  ASSERT_TRUE(run.WaitFor("<...> any key to continue and end")) << run.screen();
  run.Signal(SIGTERM);
  std::optional<int> status = run.NextStatus();
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << *status;
  ExpectSameSettings(run.Settings(), before);

  const std::string links = ReadFile(dir.path() / "htm_out" / "s_1.htm");
  EXPECT_NE(links.find("www.example.net"), std::string::npos);
  EXPECT_EQ(links.find('\x1b'), std::string::npos);
  const std::string& shown = run.screen();
  EXPECT_NE(shown.find("\x1b[2J"), std::string::npos);  // a terminal's screen is cleared
  const std::string warning = "skipped, name not allowed: what?.txt";
  EXPECT_EQ(CountOf(shown, warning), 2) << shown;
  const size_t repeated = shown.rfind(warning);
  EXPECT_LT(shown.find("processed 100%"), repeated);
  EXPECT_LT(repeated, shown.find("INDEXING RESULTS"));
}

// SIGTERM, SIGHUP, SIGINT or Ctrl-C at a key prompt: the terminal's
// settings as they were, the program ended by that signal.
TEST(TerminalEndToEndTest, TheTerminalIsPutBackWhenTheRunIsEndedAtAKeyPrompt) {
  struct Case {
    int signal;
    bool typed;  // Ctrl-C typed rather than the signal sent
  };
  for (Case c :
       {Case{SIGTERM, false}, Case{SIGHUP, false}, Case{SIGINT, false}, Case{SIGINT, true}}) {
    ScopedTempDir dir;
    TerminalRun run(dir.path(), "xterm", /*output_to_pipe=*/false);
    const termios before = run.initial();
    ASSERT_TRUE(run.WaitFor("<2> end")) << run.screen();
    EXPECT_EQ(run.Settings().c_lflag & ECHO, 0u);  // the prompt has changed them
    if (c.typed) {
      run.Type("\x03");
    } else {
      run.Signal(c.signal);
    }
    std::optional<int> status = run.NextStatus();
    ASSERT_TRUE(status) << c.signal;
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal) << c.signal;
    ExpectSameSettings(run.Settings(), before);
  }
}

// Ctrl-Z stops the program with the terminal as it was; continued, the
// prompt's settings are back: a `1` without Enter answers it.
TEST(TerminalEndToEndTest, CtrlZStopsWithTheTerminalPutBackAndThePromptGoesOn) {
  ScopedTempDir dir;
  TerminalRun run(dir.path(), "xterm", /*output_to_pipe=*/false);
  const termios before = run.initial();
  ASSERT_TRUE(run.WaitFor("<2> end")) << run.screen();
  run.Type("\x1a");
  std::optional<int> status = run.NextStatus();
  ASSERT_TRUE(status);
  ASSERT_TRUE(WIFSTOPPED(*status)) << *status;
  ExpectSameSettings(run.Settings(), before);
  run.Signal(SIGCONT);
  status = run.NextStatus();
  ASSERT_TRUE(status && WIFCONTINUED(*status));
  run.Type("1");
  ASSERT_TRUE(run.WaitFor("<2> end", 2)) << run.screen();
  run.Type("2");
  status = run.NextStatus();
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  ExpectSameSettings(run.Settings(), before);
}

// Standard output to a pipe (as to a log file) or TERM=dumb: a whole run
// typed at the terminal writes no escape byte.
TEST(TerminalEndToEndTest, NoClearSequenceWhereTheScreenCannotTakeIt) {
  for (bool output_to_pipe : {true, false}) {
    ScopedTempDir dir;
    CopySamples(dir.path());
    TerminalRun run(dir.path(), output_to_pipe ? "xterm" : "dumb", output_to_pipe);
    ContinueToTheListing(run);
    run.Type("1");
    ASSERT_TRUE(run.WaitFor("= ? ")) << run.screen();
    run.Type("\r");
    ASSERT_TRUE(run.WaitFor("<...> any key to continue and end")) << run.screen();
    run.Type("x");
    std::optional<int> status = run.NextStatus();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    EXPECT_NE(run.screen().find("Indexing is done."), std::string::npos) << output_to_pipe;
    EXPECT_EQ(run.screen().find('\x1b'), std::string::npos) << output_to_pipe;
  }
}

}  // namespace
}  // namespace testing_support
