#include "words/record_io.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "common/bytes.h"
#include "common/record.h"
#include "driver/conventions.h"

namespace words {

RecordReader::RecordReader(driver::RunContext& run, std::string_view name)
    : reader_(driver::OpenListing(run, name)) {}

bool RecordReader::Next(size_t skip) {
  if (!reader_.Next(&line_)) return false;
  std::string_view record = skip < line_.size() ? line_.substr(skip) : std::string_view();
  common::SplitRecord(record, &fields_);
  return true;
}

RecordWriter::RecordWriter(driver::RunContext& run, std::string_view name)
    : writer_(driver::CreateFile(run, name)) {}

void RecordWriter::Write(std::initializer_list<std::string_view> fields) {
  scratch_.clear();
  common::AppendRecord(scratch_, fields);
  writer_.Line(scratch_);
}

void RemoveWorkFile(driver::RunContext& run, std::string_view name) {
  std::optional<std::filesystem::path> host = run.paths.ResolveForRemove(name);
  if (!host) return;
  std::error_code error;
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(*host, error)) &&
      std::filesystem::remove(*host, error)) {
    run.paths.NoteRemoved(*host);
  }
}

std::string WordId(long long number) { return "id" + common::ZeroPad(number, /*width=*/8); }

void LowerInto(std::string_view text, std::string* out) {
  out->assign(text);
  for (char& c : *out) c = common::LowerByte(c);
}

}  // namespace words
