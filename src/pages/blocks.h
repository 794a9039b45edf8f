// Line blocks shared by the output pages: the output page head, the search
// notice, the time stamp lines and the highlight script that styles the
// element a page is opened at.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "pages/page_writer.h"
#include "platform/console.h"
#include "run/run_context.h"

namespace pages {

/// Title line of the word index pages, the contents page and the main index.
inline constexpr std::string_view kIndexTitle = "<title>index of key words</title>";
/// Title line of the search pages.
inline constexpr std::string_view kSearchTitle =
    "<title>search.htm, content (only words) from input *.htm files</title>";

/// Sets `line` to the pieces joined; the caller reuses `line` across calls
/// so that the hot loops do not allocate per line.
void Compose(std::string& line, std::initializer_list<std::string_view> pieces);

/// The eleven lines of the output page head, from "<html>" to "<body>",
/// with the code page in the meta line and `title` as the title line.
void WritePageHead(PageWriter& out, std::string_view code_page, std::string_view title);

/// The eleven lines of the search notice, ending with the maker site link
/// and "<br><br>".
void WriteSearchNotice(PageWriter& out);

/// The date and time lines ("Date (mm-dd-yy) = 11-14-2023<br>" and
/// "Time (h:m:s)    = 22:13:20<br>") for the instant `now`.
void WriteTimeStamp(PageWriter& out, const platform::Stamp& now);

/// The highlight script: a page opened at "#<id>" shows every element of
/// that id in the font colour, size and bold, and (find word on) inline.
void WriteHighlightScript(PageWriter& out, const runctx::Settings& settings);

}  // namespace pages
