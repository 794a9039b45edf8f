#include "pages/page_writer.h"

#include <string>

namespace pages {

void PageWriter::CountBreak(std::initializer_list<std::string_view> pieces) {
  size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  if (size != kBreakLine.size() && size != kDoubleBreakLine.size()) return;
  std::string line;
  for (std::string_view piece : pieces) line += piece;
  CountBreak(line);
}

void PageWriter::CountBreak(std::string_view text) {
  if (text != kBreakLine && text != kDoubleBreakLine) return;
  if (++breaks_ % kBreaksPerBlock == 0) out_.Line(kBlockLine);
}

}  // namespace pages
