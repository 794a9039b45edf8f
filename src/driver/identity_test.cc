#include "driver/identity.h"

#include <gtest/gtest.h>

#include "run/screens.h"
#include "support/test_run.h"

namespace driver {
namespace {

TEST(IdentityTest, DerivesTheTargetSite) {
  struct Case {
    const char* executable;
    const char* site;  // nullptr: no prefix, rename instructions
  } cases[] = {
      {"www.example.com.exe", "www.example.com"},
      {"WWW.Example.COM.exe", "www.example.com"},      // upper case folds
      {"www.www.example.com.exe", "www.example.com"},  // after the last www.
      {"www.a.www.b.exe", "www.b"},
      {"http.example.com.exe", "http://example.com"},
      {"https.example.com.exe", "https://example.com"},
      {"http.host.www.site.exe", "www.site"},          // www. wins over http.
      {"  www.example.com.exe  ", "www.example.com"},  // spaces trimmed first
      {"example.com.exe", nullptr},
      {"exe", nullptr},
  };
  for (const Case& c : cases) {
    std::optional<std::string> site = DeriveTargetSite(c.executable);
    if (c.site == nullptr) {
      EXPECT_FALSE(site.has_value()) << c.executable;
    } else {
      EXPECT_EQ(site.value_or("<none>"), c.site) << c.executable;
    }
  }
}

TEST(IdentityTest, StartUpPrintsNamePathSiteAndBanner) {
  testing_support::TestRun t;
  t.run().program_name = "WWW.Example.COM.exe";
  t.run().program_path = "/somewhere/WWW.Example.COM.exe";
  StartUp(t.run());
  EXPECT_EQ(t.run().executable_name, "WWW.Example.COM.exe");
  EXPECT_EQ(t.run().target_site, "www.example.com");
  std::vector<std::string> expected = {
      "Active code page: 65001",
      "WWW.Example.COM.exe",
      "",
      "/somewhere/WWW.Example.COM.exe",
      "www.example.com",
      "",
      "====================================",
      "",
      "THE PROGRAM INDEXES A GROUP OF TXT FILES ON EACH WORD AND CREATES A DOCUMENT BASE",
      "",
      "Program name:WWW.Example.COM.exe",
  };
  EXPECT_EQ(t.OutLines(), expected);
}

TEST(IdentityTest, NameWithoutPrefixShowsRenameInstructionsAndEnds) {
  testing_support::TestRun t("2\n1\n");
  t.run().program_name = "example.com.exe";
  try {
    StartUp(t.run());
    FAIL() << "the run went on";
  } catch (const runctx::RunEnded& end) {
    EXPECT_EQ(end.status, 0);
  }
  std::string out = t.out();
  EXPECT_NE(out.find("new program name begins with www...(like www.example.com), "
                     "http...(like http.example.com, or https...(like https.example.com)\r\n"),
            std::string::npos);
  EXPECT_NE(out.find("BE CAREFUL AND COPY AND RENAME THE PROGRAM ACCORDING TO THE INSTRUCTIONS!"),
            std::string::npos);
  EXPECT_NE(out.find("\r\n\r\n<1> = continue and end\r\n"), std::string::npos);
}

}  // namespace
}  // namespace driver
