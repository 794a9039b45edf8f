// Facts of the running process: its standard streams, its program file,
// its environment, its peak memory, the priority of its threads, and the
// kill that the interruption tests use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// The full path of the running program, from the host where it can tell,
/// else `argv0` made absolute when it holds a separator (the program was
/// started by a path). A program started through a link by path is the
/// link: its folder is the program's. Empty when neither tells (no /proc,
/// and a bare name found through the search path): the folder is then
/// unknown, and never taken to be the current one.
std::string RunningProgramPath(const char* argv0);

/// Makes sure the standard input, output and error are open: one that is
/// closed is opened on the null device (input reads as at its end, output
/// goes nowhere), so no file the program opens later takes its place.
void OpenStandardStreams();

/// The value of the environment variable `name`; nullopt when it is unset.
std::optional<std::string> EnvironmentValue(std::string_view name);

/// The peak resident memory of the process so far, in kilobytes; 0 where
/// the host does not tell (for the phase times of the benchmark).
long PeakMemoryKb();

/// Lowers the calling thread's priority a step, so that where it and
/// another thread of the process are both ready, the other runs first.
/// A host that refuses leaves the priority as it was.
void LowerThreadPriority();

/// Ends the process at once, as a kill from outside would (SIGKILL where
/// the host has it): the interruption tests stop a run mid-phase with it.
[[noreturn]] void KillSelf();

}  // namespace platform
