#include "platform/console.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace platform {
namespace {

// Sets an environment variable of this process; an empty value removes it.
void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  if (*value != '\0') {
    setenv(name, value, /*overwrite=*/1);
  } else {
    unsetenv(name);
  }
#endif
}

TEST(ConsoleTest, PipedKeysAreOneLineEach) {
  std::istringstream in("12\n\nx\r\nlast");
  std::ostringstream out, err;
  Console console(in, out, err, /*terminal=*/false);
  EXPECT_EQ(console.ReadKey(), "1");   // the rest of the line is dropped
  EXPECT_EQ(console.ReadKey(), "\r");  // an empty line is Enter
  EXPECT_EQ(console.ReadKey(), "x");
  EXPECT_EQ(console.ReadKey(), "l");  // a last line without ending counts
  EXPECT_EQ(console.ReadKey(), std::nullopt);
}

TEST(ConsoleTest, LinesEndWithCrLfAndClearScreenIsSilentOffTerminal) {
  std::istringstream in(" www.example.org, x\r\n");
  std::ostringstream out, err;
  Console console(in, out, err, /*terminal=*/false);
  console.Line("a");
  console.Line();
  console.ClearScreen();
  console.Error("oops");
  EXPECT_EQ(out.str(), "a\r\n\r\n");
  EXPECT_EQ(err.str(), "oops\r\n");
  EXPECT_EQ(console.ReadLine(), " www.example.org, x");
  EXPECT_EQ(console.ReadLine(), std::nullopt);
}

TEST(ConsoleTest, WarningsAreRepeatedOnceInTheirOrder) {
  std::istringstream in;
  std::ostringstream out;
  Console console(in, out, out, /*terminal=*/false);
  console.Error("skipped, name not allowed: a?.txt");
  console.Line("screen");
  console.Error("The system cannot find the file specified.");
  console.Error("not UTF-8, read as Windows-1252: b.txt");
  out.str("");
  console.RepeatWarnings();
  EXPECT_EQ(out.str(),
            "skipped, name not allowed: a?.txt\r\nnot UTF-8, read as Windows-1252: b.txt\r\n");
  out.str("");
  console.RepeatWarnings();
  EXPECT_EQ(out.str(), "");
}

TEST(ConsoleTest, SourceDateEpochFixesTheClockInUtc) {
  SetEnv("SOURCE_DATE_EPOCH", "1700000000");  // 2023-11-14 22:13:20 UTC
  Stamp stamp = Now();
  SetEnv("SOURCE_DATE_EPOCH", "");
  EXPECT_EQ(stamp.year, 2023);
  EXPECT_EQ(stamp.month, 11);
  EXPECT_EQ(stamp.day, 14);
  EXPECT_EQ(stamp.hour, 22);
  EXPECT_EQ(stamp.minute, 13);
  EXPECT_EQ(stamp.second, 20);
}

}  // namespace
}  // namespace platform
