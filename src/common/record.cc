#include "common/record.h"

namespace common {

void AppendRecord(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += field;
    out += '"';
  }
}

void WriteRecord(LineWriter& out, std::initializer_list<std::string_view> fields) {
  std::string line;
  line.reserve(128);
  AppendRecord(line, fields);
  out.Line(line);
}

void SplitRecord(std::string_view line, std::vector<std::string_view>* fields) {
  fields->clear();
  size_t i = 0;
  const size_t n = line.size();
  while (i <= n) {
    // Leading blanks before a field are skipped, as a field reader does.
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < n && line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        fields->push_back(line.substr(i + 1));
        return;
      }
      fields->push_back(line.substr(i + 1, close - i - 1));
      size_t comma = line.find(',', close + 1);
      if (comma == std::string_view::npos) return;
      i = comma + 1;
      continue;
    }
    size_t comma = line.find(',', i);
    if (comma == std::string_view::npos) {
      fields->push_back(line.substr(i));
      return;
    }
    fields->push_back(line.substr(i, comma - i));
    i = comma + 1;
  }
}

}  // namespace common
