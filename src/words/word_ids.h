// The word id phase: completes the word data that extraction made. Every
// distinct word (compared in lower case) gets its word id: the number of
// occurrences of the words that sort before it, as the words sort in a
// work-file record (bytes unsigned, a shorter word before the words it
// begins, unless the next byte sorts below the closing quote).
#pragma once

#include "run/run_context.h"

namespace words {

/// Sets the word ids (NumberWords), leaves an empty wrd_24_<g>.txt for
/// each group extraction made (the group pass copies them into its folder)
/// and prints "processed 20%" to "processed 50%".
void AssignWordIds(runctx::RunContext& run);

/// Sets the id of every word of `data` that occurs, from the words'
/// lower-case text and occurrence counts, and lists them in id order.
void NumberWords(runctx::WordData& data);

}  // namespace words
