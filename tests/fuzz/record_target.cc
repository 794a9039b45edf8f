// A record line through the work-file record reader: every field it gives
// lies inside the line. And fields without quotes written as a record read
// back as the same fields.
#include <string>
#include <vector>

#include "common/record.h"
#include "fuzz/fuzz_targets.h"

namespace fuzz {

int RecordInput(const uint8_t* data, size_t size) {
  std::string copy(reinterpret_cast<const char*>(data), size);
  std::string_view line(copy.data(), copy.size());
  std::vector<std::string_view> fields;
  common::SplitRecord(line, &fields);
  Check(!fields.empty(), "a line gives at least one field");
  for (std::string_view field : fields) {
    Check(field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size(),
          "a field's view lies inside the line");
  }

  // The same bytes cut at NUL into fields, quotes dropped, written as one
  // record: the reader gives those fields back.
  std::vector<std::string> written(1);
  for (char c : copy) {
    if (c == '\0') {
      written.emplace_back();
    } else if (c != '"' && c != '\n' && written.size() <= 8) {
      written.back() += c;
    }
  }
  if (written.size() > 8) written.resize(8);
  std::string record;
  for (size_t i = 0; i < written.size(); ++i) {
    if (i > 0) record += ',';
    common::AppendRecord(record, {written[i]});
  }
  common::SplitRecord(record, &fields);
  Check(fields.size() == written.size(), "a written record reads back as many fields");
  for (size_t i = 0; i < fields.size() && i < written.size(); ++i) {
    Check(fields[i] == written[i], "a written record reads back the same fields");
  }
  return 0;
}

}  // namespace fuzz
