// The screens every phase uses: the choice prompts, the progress lines,
// the rules that frame the screens, and the end of the program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "run/run_context.h"

namespace runctx {

/// Ends the run: thrown by EndProgram, caught by Main, which returns the
/// status (0 on every path the run describes).
struct RunEnded {
  int status = 0;
};

/// Ends the program with `status` (0 unless a hard I/O failure).
[[noreturn]] void EndProgram(int status = 0);

/// "<1> continue" / "<2> end": returns on 1, ends the program on 2 or at the
/// end of input. Other keys are ignored; the options print once.
void ContinueOrEnd(RunContext& run);
/// "<1> = continue and end": only 1 (or the end of input) ends the program.
[[noreturn]] void AcknowledgeAndEnd(RunContext& run);
/// "<...> any key to continue and end": any key ends the program.
[[noreturn]] void KeyPromptAndEnd(RunContext& run);
/// "<...> any key to continue": any key lets the run go on.
void KeyPause(RunContext& run);

/// Prints the progress line "processed N%".
void Progress(RunContext& run, int percent);

/// The width of the hyphen rule that frames most screens; the others size
/// their rule to their own text.
inline constexpr size_t kScreenRule = 28;

/// A line of `count` copies of `c` ("----" rules of the screens).
std::string Rule(size_t count, char c = '-');

/// An error screen that ends the run: a rule of `rule` hyphens, the
/// message, an empty line, then the key prompt that ends the program.
[[noreturn]] void EndWithKeyPrompt(RunContext& run, size_t rule, std::string_view message);

}  // namespace runctx
