// Input collection and renaming. The text files of txt_in are copied into
// txt_wrk, then each copy is renamed so that its base holds only ASCII
// letters, digits and "_" and its page can never take the name of a
// numbered page, of the promotional page or of another input's page.
#include "input/collect.h"

#include <unordered_map>
#include <unordered_set>

#include "common/bytes.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace input {
namespace {

using runctx::Cmd, runctx::kOutNullList, runctx::kTxtIn, runctx::kTxtWorkList, runctx::kTxtWrk;

// A sanitized name in two parts: the stem is the sanitized base (with any
// "file_" prefix) and names the page; the tail runs from the first ".txt".
struct NameParts {
  std::string stem;
  std::string tail;
};

// A stem leaves room for the tail of a cleaned page after it (the longest
// of the names a page takes from its stem before it is numbered).
constexpr std::string_view kCleanedPageTail = "_01.htm";

bool IsSafeByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Names that would overwrite a numbered page (page_1.htm), page 1 of the
// page set (page.htm) or the promotional page (f_promote.htm).
bool IsReservedStem(std::string_view stem) {
  std::string lower = common::Lower(stem);
  return lower.starts_with("page_") || lower == "page" || lower == "f_promote";
}

std::optional<NameParts> SplitName(std::string_view line) {
  size_t at = common::FindNoCase(line, ".txt");
  if (at == std::string_view::npos) return std::nullopt;
  NameParts parts{std::string(common::Trim(line.substr(0, at))),
                  std::string(common::TrimRight(line.substr(at)))};
  for (char& c : parts.stem) {
    if (!IsSafeByte(c)) c = '_';
  }
  if (IsReservedStem(parts.stem)) parts.stem = "file_" + parts.stem;
  return parts;
}

// The names of txt_wrk and the page names kept so far in one renaming
// pass, case folded, and per stem and tail the next "_N" worth trying.
class NamePlanner {
 public:
  explicit NamePlanner(const std::vector<std::string>& listing) {
    for (const std::string& name : listing) files_.insert(common::Lower(name));
  }

  // Chooses the new name of `listed`; its old name leaves the folder and
  // the new one, with its page name, is taken. nullopt when a name made
  // from it would be too long: it takes no name.
  std::optional<std::string> Choose(const std::string& listed, const NameParts& parts) {
    files_.erase(common::Lower(listed));
    std::string stem = parts.stem;
    if (!IsFree(stem, parts.tail)) {
      // A "_N" once taken stays taken for the rest of the pass, so the
      // search for a stem resumes where it last stopped: the pass stays
      // linear even when many names sanitize alike.
      int& next = next_suffix_[common::Lower(parts.stem) + '\n' + common::Lower(parts.tail)];
      if (next < 2) next = 2;
      while (!IsFree(parts.stem + "_" + std::to_string(next), parts.tail)) ++next;
      stem = parts.stem + "_" + std::to_string(next++);
    }
    if (stem.size() + parts.tail.size() > kLongestName ||
        stem.size() + kCleanedPageTail.size() > kLongestName) {
      return std::nullopt;
    }
    pages_.insert(common::Lower(stem));
    files_.insert(common::Lower(stem + parts.tail));
    return stem + parts.tail;
  }

 private:
  bool IsFree(const std::string& stem, const std::string& tail) const {
    return !pages_.contains(common::Lower(stem)) && !files_.contains(common::Lower(stem + tail));
  }

  std::unordered_set<std::string> files_;
  std::unordered_set<std::string> pages_;
  std::unordered_map<std::string, int> next_suffix_;
};

std::vector<std::string> ReadListing(runctx::RunContext& run, std::string_view name) {
  std::vector<std::string> lines;
  platform::LineReader reader = runctx::OpenListing(run, name);
  std::string_view line;
  while (reader.Next(&line)) lines.emplace_back(line);
  return lines;
}

// One renaming pass over a fresh listing of txt_wrk. The rename commands
// are not redirected: a rename that fails says so on the console. A copy
// whose names would be too long is named and removed, so no later phase
// stops at it.
void RenamePass(runctx::RunContext& run) {
  runctx::RunCommand(run, Cmd("dir /b ", kTxtWrk, "\\*.txt > ", kTxtWorkList));
  for (const Rename& rename : PlanRenames(ReadListing(run, kTxtWorkList))) {
    if (rename.too_long) {
      run.console.Error("skipped, name too long: " + platform::ShownName(rename.from));
      runctx::RunCommand(run, Cmd("del /q \"", kTxtWrk, "\\", rename.from, "\" > ", kOutNullList));
      continue;
    }
    runctx::RunCommand(run, Cmd("rename \"", kTxtWrk, "\\", rename.from, "\" ", rename.to));
    auto earlier = run.input_names.find(rename.from);
    run.input_names[rename.to] = earlier == run.input_names.end() ? rename.from : earlier->second;
  }
}

}  // namespace

std::optional<std::string> SanitizedName(std::string_view line) {
  std::optional<NameParts> parts = SplitName(line);
  if (!parts) return std::nullopt;
  return parts->stem + parts->tail;
}

std::vector<Rename> PlanRenames(const std::vector<std::string>& listing) {
  NamePlanner planner(listing);
  std::vector<Rename> renames;
  for (const std::string& listed : listing) {
    std::optional<NameParts> parts = SplitName(listed);
    if (!parts) continue;
    std::optional<std::string> name = planner.Choose(listed, *parts);
    if (!name) {
      renames.push_back(Rename{listed, "", /*too_long=*/true});
      continue;
    }
    // Compared with the name as listed, so that a name with a leading
    // space is renamed too rather than read under a name it does not have.
    if (*name != listed) renames.push_back(Rename{listed, std::move(*name)});
  }
  return renames;
}

void CollectInput(runctx::RunContext& run) {
  runctx::RunCommand(run, Cmd("copy ", kTxtIn, "\\*.txt ", kTxtWrk, "\\ > ", kOutNullList));
  // A second pass over a fresh listing: what the first could not rename is
  // tried again, and the listing's messages ("File Not Found" when every
  // input was passed over) show on the console.
  RenamePass(run);
  RenamePass(run);
}

}  // namespace input
