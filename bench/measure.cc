// Runs a command and writes what it cost to a report: wall, user and
// system time, peak memory, and the bytes it read and wrote as the kernel
// counts them (/proc/PID/io rchar and wchar: every read and write call,
// page-cache hits included, which the file system counters of
// /usr/bin/time miss). The command's error stream passes through; at each
// "phase NAME SECONDS s, peak N MB" line the indexer prints there with
// INDEXER_PHASE_TIMES=1, the command's CPU time (all its threads) is read,
// so each phase gets its CPU time beside its wall time.
//
//   measure REPORT COMMAND [ARGS...]
//
// The report, one figure a line:
//   wall S / user S / system S / peak_kb N / rchar N / wchar N / steal S /
//   exit N                           (steal: the host's, all cores, while
//                                     the command ran; -1 where unknown)
//   phase NAME WALL CPU PEAK_MB      (WALL as the program printed it, CPU
//                                     since the previous phase line)
// A phase's CPU is read when its line arrives, a few microseconds after
// the phase ends. Linux only (/proc, clock_getcpuclockid, wait4).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Phase {
  std::string name;
  std::string wall;  // as the program printed it
  double cpu = -1;   // seconds since the previous phase line; -1: unknown
  std::string peak_mb;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// The CPU time of every thread of the command so far, or -1 once it is gone.
double CpuSeconds(clockid_t clock) {
  timespec now{};
  if (clock_gettime(clock, &now) != 0) return -1;
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// "phase NAME SECONDS s, peak N MB" -> a phase; anything else -> false.
bool ParsePhase(const std::string& line, Phase& phase) {
  std::istringstream in(line);
  std::string word, unit, peak_word;
  if (!(in >> word) || word != "phase") return false;
  if (!(in >> phase.name >> phase.wall >> unit >> peak_word >> phase.peak_mb)) return false;
  return true;
}

// rchar and wchar of a finished, not yet reaped, process.
void ReadIo(pid_t pid, long long& rchar, long long& wchar) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") rchar = value;
    if (key == "wchar:") wchar = value;
  }
}

// The time the host gave to other machines while this one's cores wanted
// to run ("steal" in /proc/stat, all cores), in seconds; -1 where unknown.
// A phase with work for both cores shows fewer busy when this grows.
double StolenSeconds() {
  std::ifstream stat("/proc/stat");
  std::string cpu;
  long long ticks[8] = {};
  if (!(stat >> cpu) || cpu != "cpu") return -1;
  for (long long& field : ticks) {
    if (!(stat >> field)) return -1;
  }
  const long per_second = sysconf(_SC_CLK_TCK);
  return per_second > 0 ? static_cast<double>(ticks[7]) / per_second : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: measure REPORT COMMAND [ARGS...]\n";
    return 2;
  }
  int errors[2];
  if (pipe(errors) != 0) {
    std::perror("measure: pipe");
    return 2;
  }
  const double stolen_before = StolenSeconds();
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) {
    std::perror("measure: fork");
    return 2;
  }
  if (pid == 0) {
    dup2(errors[1], STDERR_FILENO);
    close(errors[0]);
    close(errors[1]);
    execvp(argv[2], argv + 2);
    std::perror("measure: exec");
    _exit(127);
  }
  close(errors[1]);
  clockid_t clock{};
  bool have_clock = clock_getcpuclockid(pid, &clock) == 0;

  // Pass the error stream through, reading the CPU time at each phase line.
  std::vector<Phase> phases;
  double last_cpu = 0;
  std::string line;
  char buffer[65536];
  for (;;) {
    ssize_t got = read(errors[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    double cpu_now = -2;  // read once per chunk, on its first phase line
    for (ssize_t i = 0; i < got; ++i) {
      if (buffer[i] != '\n') {
        line += buffer[i];
        continue;
      }
      Phase phase;
      if (ParsePhase(line, phase)) {
        if (cpu_now == -2) cpu_now = have_clock ? CpuSeconds(clock) : -1;
        if (cpu_now >= 0) {
          phase.cpu = cpu_now - last_cpu;
          last_cpu = cpu_now;
        }
        phases.push_back(phase);
      }
      line.clear();
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(STDERR_FILENO, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) break;
      done += put;
    }
  }
  close(errors[0]);

  // Read the byte counts while the command is a zombie, then reap it.
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  const auto end = std::chrono::steady_clock::now();
  const double stolen_after = StolenSeconds();
  long long rchar = -1, wchar = -1;
  ReadIo(pid, rchar, wchar);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }

  const double user = Seconds(usage.ru_utime), system = Seconds(usage.ru_stime);
  // A last phase whose line came after the command was gone takes what is left.
  if (!phases.empty() && phases.back().cpu < 0) phases.back().cpu = user + system - last_cpu;
  std::ofstream report(argv[1]);
  report << "wall " << std::chrono::duration<double>(end - start).count() << "\n"
         << "user " << user << "\n"
         << "system " << system << "\n"
         << "peak_kb " << usage.ru_maxrss << "\n"
         << "rchar " << rchar << "\n"
         << "wchar " << wchar << "\n"
         << "steal " << (stolen_before < 0 || stolen_after < 0 ? -1 : stolen_after - stolen_before)
         << "\n"
         << "exit " << (WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) << "\n";
  for (const Phase& phase : phases) {
    report << "phase " << phase.name << " " << phase.wall << " " << phase.cpu << " "
           << phase.peak_mb << "\n";
  }
  return report ? 0 : 2;
}
