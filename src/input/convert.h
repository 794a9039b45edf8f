// Text-to-page conversion: each text file of txt_wrk becomes one page of
// htm_wrk, its lines inside a preformatted block; the pages are listed,
// confirmed and copied into htm_in and htm_ndx\htm_in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "run/run_context.h"

namespace input {

/// Writes htm_wrk\<name>.htm for each listed text file (at most the input
/// count), shows the listing screen and its continue-or-end prompt, then
/// copies the pages into htm_in and htm_ndx\htm_in.
void ConvertTexts(runctx::RunContext& run);

/// The page file name for one line of the txt_wrk listing: the trimmed name
/// up to and including the dot of its first ".txt" (any case), then "htm".
/// nullopt when the line holds no ".txt".
std::optional<std::string> PageFileName(std::string_view line);

/// Writes the page `page_path` (created or emptied) for the text file
/// `source_path`: the page head titled with the page path, then every text
/// line inside <pre>. The text is first decoded to UTF-8 (see TextDecoder)
/// and a UTF-8 byte order mark opening it is dropped; then each "<" that
/// does not begin markup (see MarkupRule) is written "&lt;", trailing
/// spaces are removed, and a line of more than 100,000 bytes is cut into
/// page lines, after a blank where one is near. A text whose page lines
/// come to more than 200,000 bytes (each line end counted as two) becomes
/// parts instead (see PartPath), each a whole page of the lines that keep
/// it at or under 200,000 bytes. A missing source gives a page with no
/// text line. True when bytes of the text were read as Windows-1252 (the
/// text is not UTF-8).
bool WritePage(runctx::RunContext& run, std::string_view source_path, std::string_view page_path);

/// As WritePage, from a host path already resolved (the conversion writes
/// its pages on several threads); the pages are made through `paths`.
bool WritePageFile(platform::Paths& paths, const platform::HostPath& source_host,
                   std::string_view page_path);

/// The path of part `part` (1-based) of `parts` of the page `page_path`:
/// "htm_wrk\notes.htm" gives "htm_wrk\notes~2.htm", the number padded
/// with zeros to the digits of `parts` ("notes~02.htm" of 12). No text
/// file's name holds "~", so parts meet no other page, and they sort
/// together in their order.
std::string PartPath(std::string_view page_path, int part, int parts);

}  // namespace input
