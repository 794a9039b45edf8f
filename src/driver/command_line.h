// The program's command-line arguments, answered before a run begins:
// "--help" (or -h, /?) and "--version" print and end, anything else is refused. Started
// with no argument, the program runs as always.
#pragma once

#include <optional>
#include <string_view>

namespace driver {

/// The version printed by "--version" and at the top of "--help".
inline constexpr std::string_view kVersion = "1.0";

/// Answers the arguments after argv[0]: "--help", "-h" or "/?" prints what the program
/// does, where it works and how to pipe its answers; "--version" prints the
/// program name and version; both on the standard output, exit status 0.
/// Any other argument is named on the error stream with a pointer to
/// "--help", status 2. nullopt when there is no argument: the run goes on.
/// Creates, changes and deletes no file.
std::optional<int> AnswerArguments(int argc, char** argv, std::string_view program_name);

}  // namespace driver
