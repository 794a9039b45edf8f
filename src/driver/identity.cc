#include "driver/identity.h"

#include "common/bytes.h"
#include "common/constants.h"
#include "run/commands.h"
#include "run/screens.h"

namespace driver {
namespace {

// Strips through the first occurrence of `prefix` while any is left, which
// leaves the text after its last occurrence.
std::string StripThrough(std::string text, std::string_view prefix) {
  size_t at;
  while ((at = text.find(prefix)) != std::string::npos) text = text.substr(at + prefix.size());
  return text;
}

[[noreturn]] void ShowRenameInstructions(runctx::RunContext& run) {
  platform::Console& out = run.console;
  out.Line();
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line(
      "The program creates Google search queries that point to (your) website, which is "
      "summarized in the program name.");
  out.Line(
      "Therefore, you must rename the program according to the name of (your) website, but "
      "the condition is that the");
  out.Line("new program name begins with www...(like " + std::string(common::kRenameExampleWww) +
           "), http...(like " + std::string(common::kRenameExampleHttp) + ", or https...(like " +
           std::string(common::kRenameExampleHttps) + ")");
  out.Line("BE CAREFUL AND COPY AND RENAME THE PROGRAM ACCORDING TO THE INSTRUCTIONS!");
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line();
  runctx::AcknowledgeAndEnd(run);
}

}  // namespace

std::optional<std::string> DeriveTargetSite(std::string_view executable_name) {
  std::string_view trimmed = common::Trim(executable_name);
  std::string_view host = trimmed.substr(0, trimmed.size() >= 4 ? trimmed.size() - 4 : 0);
  std::string text = common::Lower(host);
  if (common::Contains(text, "www.")) return "www." + StripThrough(text, "www.");
  if (common::Contains(text, "http.")) return "http://" + StripThrough(text, "http.");
  if (common::Contains(text, "https.")) return "https://" + StripThrough(text, "https.");
  return std::nullopt;
}

void PrintProgramPath(runctx::RunContext& run) { run.console.Line(run.program_path); }

void StartUp(runctx::RunContext& run) {
  runctx::RunCommand(run, "chcp");
  run.console.Line(run.program_name);
  run.console.Line();
  const std::string& name = run.program_name;
  run.executable_name = name.substr(0, name.size() >= 3 ? name.size() - 3 : 0) + "exe";
  PrintProgramPath(run);
  std::optional<std::string> site = DeriveTargetSite(run.executable_name);
  if (!site) ShowRenameInstructions(run);
  run.target_site = *site;
  run.console.Line(run.target_site);
  run.console.Line();
  run.console.Line(runctx::Rule(/*count=*/36, '='));
  run.console.Line();
  run.console.Line(
      "THE PROGRAM INDEXES A GROUP OF TXT FILES ON EACH WORD AND CREATES A DOCUMENT BASE");
  run.console.Line();
  run.console.Line("Program name:" + run.executable_name);
}

}  // namespace driver
