#include "pages/page_writer.h"

#include <string>

namespace pages {

void PageWriter::CountBreakOf(std::initializer_list<std::string_view> pieces) {
  std::string line;
  for (std::string_view piece : pieces) line += piece;
  if (line == kBreakLine || line == kDoubleBreakLine) CountBreak();
}

}  // namespace pages
