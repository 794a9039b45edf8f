#include "input/decode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace input {
namespace {

TEST(DecodeTest, GivesUtf8WhateverTheEncodingAndHowTheBytesArrive) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes, text;
    bool windows_1252;
  } cases[] = {
      {"", "", false},
      {"plain\r\n", "plain\r\n", false},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF",
       "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", false},
      {"\xEF\xBB\xBFx", "\xEF\xBB\xBFx", false},  // the mark is the conversion's to drop
      // Windows-1252: a whole file, and stray bytes among valid UTF-8.
      {"syst\xE8me \xAB\x93q\x94\xBB", "syst\xC3\xA8me \xC2\xAB\xE2\x80\x9Cq\xE2\x80\x9D\xC2\xBB",
       true},
      {"caf\xC3\xA9 \xE9t\xE9", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9", true},
      {"\x80\x81\x8D\x8F\x90\x9D\x9F\xFF",
       "\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC5\xB8\xC3\xBF", true},
      // Overlong, surrogate, above U+10FFFF, cut short: each byte on its own.
      {"\xC0\xAF", "\xC3\x80\xC2\xAF", true},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", true},
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC", true},
      {"a\xE2\x82", "a\xC3\xA2\xE2\x80\x9A", true},
      {"\xE2\x82x", "\xC3\xA2\xE2\x80\x9Ax", true},
      {"\xFF", "\xC3\xBF", true},
      // UTF-16 with its byte order mark.
      {"\xFF\xFE", "", false},
      {"\xFF\xFEh\0\xE9\0\r\0\n\0<\0"s, "h\xC3\xA9\r\n<", false},
      {"\xFE\xFF\0h\0\xE9\x20\xAC"s, "h\xC3\xA9\xE2\x82\xAC", false},
      {"\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80", false},
      {"\xFE\xFF\xD8\x3D\xDE\x00"s, "\xF0\x9F\x98\x80", false},
      {"\xFF\xFE\x3D\xD8"
       "a\0"s,
       "\xEF\xBF\xBD"
       "a",
       false},  // high half alone
      {"\xFF\xFE\x00\xDE"
       "a\0"s,
       "\xEF\xBF\xBD"
       "a",
       false},  // low half alone
      {"\xFF\xFE\x3D\xD8", "\xEF\xBF\xBD", false},
      {"\xFF\xFE"
       "a\0b"s,
       "a\xEF\xBF\xBD", false},                     // odd last byte
      {"\xFF\xFE\xFF\xFE", "\xEF\xBB\xBF", false},  // decoded; the conversion drops it
  };
  for (const Case& c : cases) {
    for (size_t piece : {c.bytes.size() + 1, size_t{1}, size_t{3}}) {
      TextDecoder decoder;
      std::string text;
      for (size_t at = 0; at < c.bytes.size(); at += piece) {
        decoder.Feed(std::string_view(c.bytes).substr(at, piece), &text);
      }
      decoder.Finish(&text);
      EXPECT_EQ(text, c.text) << testing::PrintToString(c.bytes) << " in pieces of " << piece;
      EXPECT_EQ(decoder.read_as_windows_1252(), c.windows_1252) << testing::PrintToString(c.bytes);
    }
  }
}

// The later passes of a file kept whole read nothing from the disk: a
// file changed between the passes is still read as it was. A longer file
// is read again.
TEST(DecodeTest, LaterPassesReadTheKeptTextOnlyWhenTheWholeFileFits) {
  testing_support::ScopedTempDir dir;
  const auto path = dir.path() / "text.txt";
  auto write = [&](const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; };
  auto lines = [](DecodedLines& text) {
    std::vector<std::string> all;
    std::string_view line;
    bool end;
    while (text.Next(&line, &end)) {
      EXPECT_TRUE(end);
      all.emplace_back(line);
    }
    return all;
  };
  const std::vector<std::string> before = {"caf\xC3\xA9 one", "two", "three"};
  const std::vector<std::string> after = {"changed"};
  for (size_t keep : {size_t{0}, size_t{10}, size_t{1000}}) {
    write("caf\xE9 one\r\ntwo\nthree");
    DecodedLines text(path, /*buffer_size=*/4, keep);
    EXPECT_EQ(lines(text), before) << keep;
    EXPECT_TRUE(text.read_as_windows_1252());
    write("changed\n");
    text.Rewind();
    EXPECT_EQ(lines(text), keep == 1000 ? before : after) << keep;
    text.Rewind();
    EXPECT_EQ(lines(text), keep == 1000 ? before : after) << keep;
  }
}

// A line comes in pieces of at most the longest piece, cut where its own
// bytes say, however the file is read: a CR that may be part of the line
// end never ends a piece.
TEST(DecodeTest, LongLinesComeInPiecesCutByTheirBytesAlone) {
  testing_support::ScopedTempDir dir;
  const auto path = dir.path() / "text.txt";
  std::ofstream(path, std::ios::binary) << "abcdefg\r\nab\r\r\n\r\n\nabc\rdef\r";
  const std::vector<std::string> lines = {"abcdefg", "ab\r", "", "", "abc\rdef\r"};
  for (size_t longest : {2, 3, 4, 100}) {
    std::vector<std::string> first_pieces;
    for (size_t buffer : {1, 2, 5, 64}) {
      SCOPED_TRACE(testing::Message() << "pieces of " << longest << ", buffer " << buffer);
      DecodedLines text(path, buffer, /*keep=*/0, longest);
      std::vector<std::string> pieces, joined(1);
      std::string_view piece;
      bool end;
      while (text.Next(&piece, &end)) {
        EXPECT_LE(piece.size(), longest);
        if (!end) {
          EXPECT_NE(piece.back(), '\r');
        }
        pieces.emplace_back(piece);
        joined.back() += piece;
        if (end) joined.emplace_back();
      }
      joined.pop_back();
      EXPECT_EQ(joined, lines);
      if (first_pieces.empty()) first_pieces = pieces;
      EXPECT_EQ(pieces, first_pieces);
    }
  }
}

}  // namespace
}  // namespace input
