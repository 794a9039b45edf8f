#include "platform/lines.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::ScopedTempDir;
using testing_support::WriteFile;

std::vector<std::string> ReadAll(const std::filesystem::path& path) {
  LineReader reader(path);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(&line)) lines.emplace_back(line);
  return lines;
}

TEST(LinesTest, ReadsLfCrLfAndALastLineWithoutEnding) {
  ScopedTempDir dir;
  WriteFile(dir.path() / "a.txt", "one\r\ntwo\n\nthree\rx\nlast");
  EXPECT_EQ(ReadAll(dir.path() / "a.txt"),
            (std::vector<std::string>{"one", "two", "", "three\rx", "last"}));
  EXPECT_TRUE(ReadAll(dir.path() / "missing.txt").empty());
}

TEST(LinesTest, ReadsLinesLongerThanTheBuffer) {
  ScopedTempDir dir;
  std::string big(3 << 20, 'x');
  WriteFile(dir.path() / "big.txt", "a\n" + big + "\r\nb");
  std::vector<std::string> lines = ReadAll(dir.path() / "big.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], big);
  EXPECT_EQ(lines[2], "b");
}

TEST(LinesTest, RewindStartsAgain) {
  ScopedTempDir dir;
  WriteFile(dir.path() / "a.txt", "1\n2\n");
  LineReader reader(dir.path() / "a.txt");
  std::string_view line;
  while (reader.Next(&line)) {
  }
  reader.Rewind();
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ(line, "1");
}

// A file opened for a writer as the door opens it, without its checks.
OpenedFile Opened(const std::filesystem::path& path, bool append = false) {
  return {OpenFile(path, append ? "ab" : "wb"), path.string()};
}

TEST(LinesTest, WritesCrLfAndAppends) {
  ScopedTempDir dir;
  {
    LineWriter out(Opened(dir.path() / "o.txt"));
    out.Line("a");
    out.Line("");
  }
  LineWriter more(Opened(dir.path() / "o.txt", /*append=*/true));
  more.Line("b");
  more.Close();
  EXPECT_EQ(ReadFile(dir.path() / "o.txt"), "a\r\n\r\nb\r\n");
}

// Pieces of every short length (copied in place by size class, or 16 bytes
// at a time for a short piece), and lines that overrun the buffer or are
// longer than it, keep every byte in order.
TEST(LinesTest, WritesPiecesOfEverySizeAcrossTheBuffer) {
  ScopedTempDir dir;
  std::string expected;
  {
    LineWriter out(Opened(dir.path() / "o.txt"));
    const std::string bytes = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!?";
    for (int round = 0; round < 3000; ++round) {
      const std::string_view piece = std::string_view(bytes).substr(0, round % 66);
      out.LineOf("<", piece, ">", ShortPiece{piece.data(), piece.size()}, piece);
      expected.append("<").append(piece).append(">").append(piece).append(piece).append("\r\n");
      if (round % 1000 == 999) {
        const std::string long_line(300000 + round, static_cast<char>('a' + round % 26));
        out.LineOf(piece, long_line, "|");
        expected.append(piece).append(long_line).append("|\r\n");
        out.Write(long_line);
        expected.append(long_line);
      }
    }
  }
  EXPECT_EQ(ReadFile(dir.path() / "o.txt"), expected);
}

// /dev/full takes every open and fails every write with "No space left
// on device": the failure must surface whether the buffer fills up or is
// only written out at the close.
TEST(LinesTest, AFullDiskRaisesOnWriteAndOnClose) {
  if (std::filesystem::path::preferred_separator != '/' || !std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full on this host";
  }
  LineWriter small(Opened("/dev/full"));
  small.Line("a line that stays in the buffer until the close");
  try {
    small.Close();
    FAIL() << "the close did not raise";
  } catch (const common::IoError& error) {
    EXPECT_EQ(error.path(), "/dev/full");
    EXPECT_EQ(error.reason(), std::strerror(ENOSPC));
  }
  LineWriter big(Opened("/dev/full"));
  EXPECT_THROW(big.Write(std::string(2 << 20, 'x')), common::IoError);
}

}  // namespace
}  // namespace platform
