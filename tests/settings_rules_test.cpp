// When the scan sees the section and the substitution line, and the trimming it relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fontsubst/settings_paths.h"
#include "fontsubst/settings_rules.h"

namespace mojifix {
namespace {

struct ScanCase {
  const char* name;
  std::vector<std::string> lines;
  bool sectionSeen;
  bool found;
};

TEST(FontSectionScannerTest, FollowsTheSectionRules) {
  const std::string line(kSubstitutionLine);
  const ScanCase cases[] = {
      {"empty file", {}, false, false},
      {"no header", {"[fonts]", line}, false, false},
      {"line in section", {"[FontSubstitutes]", "a=b", line}, true, true},
      {"header in other case", {"[fontsubstitutes]", line}, false, false},
      {"header with spaces around", {"  [FontSubstitutes]  ", line}, true, true},
      {"header with a tab", {"\t[FontSubstitutes]", line}, false, false},
      {"line with trailing space", {"[FontSubstitutes]", line + " "}, true, false},
      {"line with leading space", {"[FontSubstitutes]", " " + line}, true, false},
      {"line only before the header", {line, "[FontSubstitutes]"}, true, false},
      {"line only in another section", {"[FontSubstitutes]", "[fonts]", line}, true, false},
      {"indented header does not close", {"[FontSubstitutes]", " [fonts]", line}, true, true},
      {"second header reopens",
       {"[FontSubstitutes]", "[x]", "[FontSubstitutes]", line},
       true,
       true},
      {"section name as entry text", {"[FontSubstitutes]x", line}, false, false},
  };
  for (const auto& c : cases) {
    FontSectionScanner scanner;
    bool found = false;
    for (const auto& l : c.lines) {
      if (scanner.feed(l)) {
        found = true;
        break;
      }
    }
    EXPECT_EQ(scanner.sectionSeen(), c.sectionSeen) << c.name;
    EXPECT_EQ(found, c.found) << c.name;
  }
}

TEST(TrimSpacesTest, RemovesSpacesOnly) {
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
  EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(trimSpaces("   "), "");
  EXPECT_EQ(trimSpaces(""), "");
}

TEST(SettingsPathsTest, JoinsTheDirectoryAsItIs) {
  const auto paths = makeSettingsPaths("C:\\WINDOWS");
  EXPECT_EQ(paths.settings, "C:\\WINDOWS\\win.ini");
  EXPECT_EQ(paths.temporary, "C:\\WINDOWS\\winini.tmp");
  EXPECT_EQ(paths.backup, "C:\\WINDOWS\\win.ini.old");
  EXPECT_EQ(makeSettingsPaths("C:\\WINDOWS\\").settings, "C:\\WINDOWS\\\\win.ini");
}

}  // namespace
}  // namespace mojifix
