// Work-file records: one record per line, every field in double quotes,
// fields separated by commas, no escaping. Readers split a record by the
// same rule, so a stray quote or comma in a word splits it differently;
// the phases that care filter such records by the form of their fields.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/lines.h"

namespace common {

/// Appends the record made of `fields` (quoted, comma-separated) to `out`,
/// without the line ending.
void AppendRecord(std::string& out, std::initializer_list<std::string_view> fields);

/// Writes one record line (fields quoted, separated by commas, CR LF).
void WriteRecord(LineWriter& out, std::initializer_list<std::string_view> fields);

/// Splits a record line into its fields. A field is the text between an
/// opening quote and the next quote; the reader then skips to the next
/// comma. Text outside quotes is taken as it stands (unquoted fields).
/// The views point into `line`.
void SplitRecord(std::string_view line, std::vector<std::string_view>* fields);

}  // namespace common
