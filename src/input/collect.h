// Input collection: the text files of txt_in copied into txt_wrk and
// renamed to names safe in command lines and links.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/run_context.h"

namespace input {

/// Copies txt_in\*.txt into txt_wrk and renames each copy to its sanitized
/// name (writes txt_wrk.list); no input is lost or merged. An input that
/// cannot be read is named by the copy; one whose work file names would
/// pass 255 bytes is named ("skipped, name too long: NAME") and its copy
/// removed. The others are indexed.
void CollectInput(runctx::RunContext& run);

/// The safe name for one line of a txt_wrk listing: every byte of the base
/// (before the first ".txt", any case; spaces trimmed) outside 0-9, A-Z,
/// a-z becomes "_", the tail from ".txt" on stays. Names that would clash
/// with the numbered pages ("page_...") or whose base is "page" or
/// "f_promote" get "file_" in front. nullopt when the line has no ".txt".
std::optional<std::string> SanitizedName(std::string_view line);

/// The longest name a folder entry may have, in bytes (as on the home
/// platform and most hosts).
inline constexpr size_t kLongestName = 255;

/// One rename command of the renaming pass.
struct Rename {
  std::string from;  // the name as listed
  std::string to;    // the new bare name; empty when `too_long`
  // A name made from it would pass kLongestName bytes: its new name, or
  // the stem with the "_01.htm" of a cleaned page. The copy goes.
  bool too_long = false;
};

/// Plans one renaming pass over the names of txt_wrk in listing order. A
/// name takes its sanitized form unless that is the name of another file
/// of txt_wrk, or its page name (up to the first ".txt", then "htm") is
/// that of a name kept earlier in the pass, case ignored in both; then
/// "_2", "_3", ... is appended to its base until both tests pass. Names
/// that stay as they are get no entry; names too long to keep get one
/// marked `too_long` and take no name.
std::vector<Rename> PlanRenames(const std::vector<std::string>& listing);

}  // namespace input
