// Decoding of the text files: UTF-16 with a byte order mark, UTF-8, and
// Windows-1252 for the bytes that are no part of valid UTF-8.
#include "input/decode.h"

#include <algorithm>
#include <cstring>

#include "common/utf8.h"

namespace input {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

}  // namespace

void TextDecoder::Feed(std::string_view bytes, std::string* out) {
  if (!held_.empty()) {
    held_.append(bytes);
    std::string pending;
    pending.swap(held_);
    Feed(pending, out);
    return;
  }
  if (form_ == Form::kUnknown) {
    if (bytes.size() < 2) {
      held_.assign(bytes);
      return;
    }
    form_ = bytes.starts_with("\xFF\xFE")   ? Form::kUtf16Little
            : bytes.starts_with("\xFE\xFF") ? Form::kUtf16Big
                                            : Form::kUtf8;
    if (form_ != Form::kUtf8) bytes.remove_prefix(2);
  }
  if (form_ == Form::kUtf8) {
    DecodeUtf8(bytes, /*at_end=*/false, out);
  } else {
    DecodeUtf16(bytes, /*at_end=*/false, out);
  }
}

void TextDecoder::Finish(std::string* out) {
  std::string pending;
  pending.swap(held_);
  if (form_ == Form::kUnknown) form_ = Form::kUtf8;  // a file of one byte
  if (form_ == Form::kUtf8) {
    DecodeUtf8(pending, /*at_end=*/true, out);
  } else {
    DecodeUtf16(pending, /*at_end=*/true, out);
  }
}

void TextDecoder::DecodeUtf8(std::string_view bytes, bool at_end, std::string* out) {
  const size_t taken = common::AppendRepairedUtf8(bytes, at_end, out, &read_as_windows_1252_);
  held_.assign(bytes.substr(taken));
}

void TextDecoder::DecodeUtf16(std::string_view bytes, bool at_end, std::string* out) {
  size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const uint32_t first = static_cast<unsigned char>(bytes[at]);
    const uint32_t second = static_cast<unsigned char>(bytes[at + 1]);
    const uint32_t unit =
        form_ == Form::kUtf16Little ? first | (second << 8) : (first << 8) | second;
    if (high_surrogate_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        common::AppendUtf8(0x10000 + ((high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
        high_surrogate_ = 0;
        continue;
      }
      common::AppendUtf8(kReplacement, out);
      high_surrogate_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_surrogate_ = unit;
    } else {
      common::AppendUtf8(unit >= 0xDC00 && unit <= 0xDFFF ? kReplacement : unit, out);
    }
  }
  if (!at_end) {
    held_.assign(bytes.substr(at));
    return;
  }
  if (high_surrogate_ != 0) common::AppendUtf8(kReplacement, out);
  high_surrogate_ = 0;
  if (at < bytes.size()) common::AppendUtf8(kReplacement, out);  // an odd last byte
}

DecodedLines::DecodedLines(const platform::HostPath& host, size_t buffer_size, size_t keep,
                           size_t longest_piece)
    : file_(host, buffer_size),
      longest_piece_(longest_piece < 2 ? 2 : longest_piece),
      keep_(keep),
      keeping_(keep > 0) {}

void DecodedLines::Rewind() {
  chunk_ = {};
  split_ = {};
  if (ended_ && keeping_) {
    // The whole text is at hand: the decoder's findings stand as they are.
    chunk_ = kept_;
    replaying_ = true;
    return;
  }
  file_.Rewind();
  decoder_ = TextDecoder();
  ended_ = false;
  keeping_ = false;
  kept_.clear();
}

bool DecodedLines::Fill() {
  if (replaying_) return false;  // the kept text was the whole text
  text_.clear();
  std::string_view bytes;
  while (text_.empty() && !ended_) {
    if (file_.Next(&bytes)) {
      decoder_.Feed(bytes, &text_);
    } else {
      decoder_.Finish(&text_);
      ended_ = true;
    }
  }
  if (keeping_) {
    keeping_ = kept_.size() + text_.size() <= keep_;
    if (keeping_) {
      kept_ += text_;
    } else {
      kept_ = std::string();
    }
  }
  chunk_ = text_;
  return !chunk_.empty();
}

bool DecodedLines::Next(std::string_view* piece, bool* line_end) {
  return common::SplitPiece(chunk_, split_, longest_piece_, piece, line_end,
                            [&](std::string_view& bytes) {
                              if (!Fill()) return false;
                              bytes = chunk_;
                              return true;
                            });
}

}  // namespace input
