// The targeted-search prompt and the settings catalogue. The catalogue is
// written afresh on every run, read back twice (once to size the code page
// section, once to print the settings screen) and then the settings in
// force are fixed; nothing on the screen lets the user choose.
#include "params/params.h"

#include <array>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "common/constants.h"
#include "common/utf8.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace params {
namespace {

constexpr size_t kMaxItem = 4096;

// publisher_para.txt, line by line: four sections, each opened by a header
// line that holds its keyword; a code page takes two lines (name and
// description), every other value one.
constexpr std::array<std::string_view, 45> kCatalogue = {
    "====== CODE PAGE ======",
    "Windows-1250",
    "Central Europe languages: Albanian, Croatian, Czech, Hungarian, Polish, Romanian, "
    "Serbian (Latin), Slovak, Slovenian",
    "Windows-1251",
    "Cyrillic languages: Azeri, Belarusian, Bulgarian, Macedonian, Kazakh, Kyrgyz, "
    "Mongolian, Russian, Serbian, Tatar, Ukrainian, Uzbek",
    "Windows-1252",
    "Latin 1 languages: Afrikaans, Basque, Catalan, Danish, Dutch, English, Faroese, "
    "Finnish, French, Galician, German, Icelandic, Indonesian, Italian, Malay, Norwegian, "
    "Portuguese, Spanish, Swahili, Swedish",
    "Windows-1253",
    "Greek",
    "Windows-1254",
    "Turkic languages: Azeri (Latin), Turkish, Uzbek (Latin)",
    "Windows-1255",
    "Hebrew",
    "Windows-1256",
    "Arabic, Farsi, Urdu",
    "Windows-1257",
    "Baltic languages: Estonian, Latvian, Lithuanian",
    "Windows-1258",
    "Vietnamese",
    "Windows-54936",
    "China",
    "Windows-65001",
    "Unicode",
    "====== FONT COLOR ======",
    "black",
    "blue",
    "brown",
    "chartreuse",
    "coral",
    "forestgreen",
    "green",
    "coralyellow",
    "red",
    "====== FONT SIZE ======",
    "60%",
    "80%",
    "100%",
    "120%",
    "140%",
    "160%",
    "180%",
    "200%",
    "====== FIND WORD MENU ======",
    "yes",
    "no",
};

// The size of the catalogue as read back: its line count and the number of
// code pages, taken from the lines before the font color header.
struct CatalogueSize {
  int lines = 0;
  int code_pages = 0;
};

CatalogueSize MeasureCatalogue(platform::LineReader& reader) {
  CatalogueSize size;
  bool font_color_seen = false;
  std::string_view line;
  while (reader.Next(&line)) {
    ++size.lines;
    if (font_color_seen) continue;
    if (common::Contains(common::Lower(line), "font color")) {
      font_color_seen = true;
      continue;
    }
    // (lines - 1) / 2 to the nearest integer, halves rounded up.
    size.code_pages = size.lines / 2;
  }
  return size;
}

// The next catalogue line; an empty text when the file ends early.
std::string NextOrEmpty(platform::LineReader& reader) {
  std::string_view line;
  return reader.Next(&line) ? std::string(line) : std::string();
}

void PrintSettingsRow(runctx::RunContext& run, int row, std::string_view value,
                      std::string_view description) {
  std::string text;
  common::AppendZone(text, common::Labelled(row));
  common::AppendZone(text, value);
  common::AppendZone(text, description);
  text += "   ";  // the marker: no row is ever chosen
  run.console.Line(text);
}

// The settings screen: one row per value, the code pages' two lines joined
// into one row with their description.
void PrintSettingsScreen(runctx::RunContext& run, platform::LineReader& reader,
                         const CatalogueSize& size) {
  run.console.Line();
  run.console.Line("====== OVERVIEW/SELECT PARAMETERS ======");
  run.console.Line();
  const int rows = size.lines - size.code_pages;
  bool code_page_section = true;
  int row = 1;
  while (row <= rows) {
    std::string line = NextOrEmpty(reader);
    PrintSettingsRow(run, row++, line, " ");
    if (!code_page_section || !common::Contains(common::Lower(line), "code page")) continue;
    for (int page = 0; page < size.code_pages; ++page) {
      std::string name = NextOrEmpty(reader);
      std::string description = NextOrEmpty(reader);
      PrintSettingsRow(run, row++, name, description);
    }
    code_page_section = false;
  }
}

}  // namespace

std::string ReadInputItem(std::string_view line) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::string();
  std::string_view rest = line.substr(start);
  std::string_view item;
  if (rest.front() == '"') {
    rest.remove_prefix(1);
    item = rest.substr(0, rest.find('"'));  // no closing quote: to the end
  } else {
    item = rest.substr(0, rest.find(','));
  }
  return std::string(item.substr(0, kMaxItem));
}

std::string DropEditingKeys(std::string_view typed) {
  std::string kept;
  size_t i = 0;
  while (i < typed.size()) {
    const auto byte = static_cast<unsigned char>(typed[i++]);
    if (byte == 0x1b && i < typed.size() && (typed[i] == '[' || typed[i] == 'O')) {
      ++i;
      while (i < typed.size() && typed[i] >= 0x20 && typed[i] <= 0x3f) ++i;
      if (i < typed.size() && typed[i] >= 0x40 && typed[i] <= 0x7e) ++i;
      continue;
    }
    if (byte >= 0x20 && byte != 0x7f) kept.push_back(static_cast<char>(byte));
  }
  return kept;
}

void RemoveOutputFolder(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kDir01, runctx::kHtmOut;
  if (runctx::DetectFolder(run, Cmd("dir /b *. > ", kDir01), kDir01, kHtmOut)) {
    runctx::EmptyAndRemoveFolder(run, kHtmOut);
  }
}

void AskDestination(runctx::RunContext& run) {
  platform::Console& console = run.console;
  console.Line();
  console.Line(runctx::Rule(/*count=*/23));
  console.Line();
  console.Line("The program enables targeted search.");
  console.Line("Google search phrases will be targeted to a specific web address.");
  console.Line(
      "If the destination web address is not specified, Google search will run all over the web.");
  console.Line();
  console.Write("web address for destination search (example: " +
                std::string(common::kPromptExample) + ") = ? ");
  // Nothing is echoed: the next line printed ends the prompt line. The
  // address goes into pages that declare UTF-8, so it is read as the text
  // files are: a byte typed in another code page is read as Windows-1252.
  std::optional<std::string> answer = console.ReadLine();
  run.destination_address =
      answer ? common::RepairedUtf8(ReadInputItem(DropEditingKeys(*answer))) : std::string();
}

void CreateIndexFolders(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kDirCurrent, runctx::kHtmIn, runctx::kHtmOut, runctx::kOutNullList;
  runctx::RunCommand(run, Cmd("md ", kHtmIn, " > ", kOutNullList));
  runctx::RunCommand(run, Cmd("md ", kHtmOut, " > ", kOutNullList));
  runctx::RunCommand(run, Cmd("dir *. > ", kDirCurrent));
  bool has_in = false;
  bool has_out = false;
  platform::LineReader reader = runctx::OpenListing(run, kDirCurrent);
  std::string_view line;
  while (reader.Next(&line) && !(has_in && has_out)) {
    std::string text = common::Lower(common::TrimRight(line));
    has_in = has_in || common::Contains(text, kHtmIn);
    has_out = has_out || common::Contains(text, kHtmOut);
  }
  reader.Close();
  if (!has_in || !has_out) {
    runctx::EndWithKeyPrompt(run, /*rule=*/42, "subfolders htm_in, htm_out must be created");
  }
}

void ShowSettings(runctx::RunContext& run) {
  {
    platform::LineWriter out = runctx::CreateFile(run, runctx::kPublisherPara);
    for (std::string_view line : kCatalogue) out.Line(line);
    out.Close();
  }
  platform::LineReader reader = runctx::OpenListing(run, runctx::kPublisherPara);
  CatalogueSize size = MeasureCatalogue(reader);
  reader.Rewind();
  PrintSettingsScreen(run, reader, size);
  reader.Close();

  // The screen only shows the catalogue; the run keeps the default settings
  // (runctx::Settings).
  run.settings = runctx::Settings{};
  run.console.ClearScreen();
}

}  // namespace params
