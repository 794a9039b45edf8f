// Decoding of the text files: UTF-16 with a byte order mark, UTF-8, and
// Windows-1252 for the bytes that are no part of valid UTF-8.
#include "input/decode.h"

#include <cstring>

#include "common/line_split.h"

namespace input {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr uint64_t kHighBits = 0x8080808080808080;

// Windows-1252 bytes 80-9F as the WHATWG encoding table reads them; the
// five bytes it leaves unassigned stand for the control characters of the
// same number. Bytes A0-FF are the characters of the same number.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(char(code));
  } else if (code < 0x800) {
    out->push_back(char(0xC0 | (code >> 6)));
    out->push_back(char(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(char(0xE0 | (code >> 12)));
    out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(char(0x80 | (code & 0x3F)));
  } else {
    out->push_back(char(0xF0 | (code >> 18)));
    out->push_back(char(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(char(0x80 | (code & 0x3F)));
  }
}

// The length of the valid UTF-8 sequence that starts `bytes`: 0 when none
// does. `*incomplete` is set when the bytes end within what may still
// become a valid sequence.
size_t ValidSequence(std::string_view bytes, bool* incomplete) {
  *incomplete = false;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    if (i >= bytes.size()) {
      *incomplete = true;
      return 0;
    }
    const unsigned char c = byte(i);
    if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
  }
  return length;
}

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
  size_t from = 0;  // start of the run of valid bytes not yet appended
  size_t at = 0;
  while (at < bytes.size()) {
    // Runs of ASCII, the bulk of most text, eight bytes at a time.
    uint64_t eight = 0;
    while (at + sizeof eight <= bytes.size() &&
           (std::memcpy(&eight, bytes.data() + at, sizeof eight), (eight & kHighBits) == 0)) {
      at += sizeof eight;
    }
    if (at == bytes.size()) break;
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    bool incomplete = false;
    const size_t length = ValidSequence(bytes.substr(at), &incomplete);
    if (length > 0) {
      at += length;
      continue;
    }
    if (incomplete && !at_end) {
      held_.assign(bytes.substr(at));
      break;
    }
    out->append(bytes, from, at - from);
    const unsigned char stray = static_cast<unsigned char>(bytes[at]);
    AppendUtf8(stray < 0xA0 ? kWindows1252High[stray - 0x80] : stray, out);
    read_as_windows_1252_ = true;
    from = ++at;
  }
  out->append(bytes, from, at - from);
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
        AppendUtf8(0x10000 + ((high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
        high_surrogate_ = 0;
        continue;
      }
      AppendUtf8(kReplacement, out);
      high_surrogate_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_surrogate_ = unit;
    } else {
      AppendUtf8(unit >= 0xDC00 && unit <= 0xDFFF ? kReplacement : unit, out);
    }
  }
  if (!at_end) {
    held_.assign(bytes.substr(at));
    return;
  }
  if (high_surrogate_ != 0) AppendUtf8(kReplacement, out);
  high_surrogate_ = 0;
  if (at < bytes.size()) AppendUtf8(kReplacement, out);  // an odd last byte
}

DecodedLines::DecodedLines(const std::filesystem::path& host, size_t buffer_size, size_t keep)
    : file_(host, buffer_size), keep_(keep), keeping_(keep > 0) {}

void DecodedLines::Rewind() {
  text_.clear();
  start_ = 0;
  carry_.clear();
  if (ended_ && keeping_) {
    // The whole text is at hand: the decoder's findings stand as they are.
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
  text_.clear();
  start_ = 0;
  if (replaying_) {
    replaying_ = false;
    keeping_ = false;  // handed over: a later rewind reads the file
    text_.swap(kept_);
    return !text_.empty();
  }
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
  return !text_.empty();
}

bool DecodedLines::Next(std::string_view* line) {
  std::string_view rest = std::string_view(text_).substr(start_);
  const bool got = common::SplitLine(rest, carry_, line, [&](std::string_view& bytes) {
    if (!Fill()) return false;
    bytes = text_;
    return true;
  });
  start_ = text_.size() - rest.size();
  return got;
}

}  // namespace input
