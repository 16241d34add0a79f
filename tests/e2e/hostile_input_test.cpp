// Agree and Remove on settings files and Windows directories that a careless or hostile world
// hands over: bytes that are no Shift-JIS, NUL and Ctrl-Z, a megabyte line, odd line breaks,
// UTF-16, a backup or temporary file that cannot be replaced, unusual Windows directories, and a
// link planted under one of the three names. Each ends in the right message, and every file of
// the directory is accounted for, byte for byte.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/app_driver.h"
#include "e2e/e2e_support.h"
#include "platform/win32/build_platform.h"

namespace mojifix::e2e {
namespace {

using namespace std::string_literals;

const std::string kLine = "MS Sans Serif=System,128,3\r\n";

// Text encoded as UTF-16LE with a byte-order mark (ASCII only).
std::string utf16(const std::string& ascii) {
  std::string bytes = "\xff\xfe";
  for (const char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

// A CR LF that straddles the reader's first 64 KiB, then, inside the section, a line of a
// megabyte holding every byte value but CR (a lone LF included).
std::string megabyteLine() {
  std::string big = "big=";
  for (std::size_t i = 0; big.size() < (std::size_t{1} << 20); ++i) {
    if (i % 256 != '\r') big += static_cast<char>(i % 256);
  }
  return big;
}

const std::string kMegabyteBefore =
    std::string(65535, 'a') + "\r\n[FontSubstitutes]\r" + megabyteLine() + "\r";
const std::string kMegabyteAfter =
    std::string(65535, 'a') + "\r\n[FontSubstitutes]\r\n" + kLine + megabyteLine() + "\r\n";

enum class Prepare { Nothing, ReadOnlyBackup, BackupIsADirectory, TemporaryIsADirectory };

struct Case {
  const char* name;
  int button;
  std::string winIni;
  std::optional<std::string> rewritten;  // win.ini after a completed operation
  Expected refusal;                      // the message otherwise
  Prepare prepare = Prepare::Nothing;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Expected kCompletes{};

void prepare(const WindowsDirectory& windows, Prepare what) {
  switch (what) {
    case Prepare::Nothing:
      break;
    case Prepare::ReadOnlyBackup:
      windows.write("win.ini.old", "an older backup\r\n");
      windows.setReadOnly("win.ini.old", true);
      break;
    case Prepare::BackupIsADirectory:
    case Prepare::TemporaryIsADirectory: {
      const std::string name = what == Prepare::BackupIsADirectory ? "win.ini.old" : "winini.tmp";
      windows.makeDirectory(name);
      windows.write(name + "\\kept.txt", "kept\r\n");
      break;
    }
  }
}

class HostileInput : public ::testing::TestWithParam<Case> {};

TEST_P(HostileInput, EndsInItsMessageAndLosesNothing) {
  const Case& c = GetParam();
  WindowsDirectory windows;
  windows.write("win.ini", c.winIni);
  prepare(windows, c.prepare);
  Snapshot expected = windows.snapshot();

  App app(windows.path());
  app.click(c.button);
  expectBox(app, confirmation(c.button), IDYES, windows.path());
  if (c.rewritten) {
    expectBox(app, completion(c.button), IDOK, windows.path());
    expectBox(app, kRestart, IDNO, windows.path());
    expected["win.ini.old"] = c.winIni;
    expected["win.ini"] = *c.rewritten;
  } else {
    expectBox(app, c.refusal, IDOK, windows.path());
  }
  expectIdle(app);
  expectSnapshot(windows.snapshot(), expected);
  closeApp(app);
}

const std::string kSection = "[FontSubstitutes]\r\nArial=Helvetica\r\n";

INSTANTIATE_TEST_SUITE_P(
    , HostileInput,
    ::testing::Values(
        // Bytes that are no Shift-JIS (a lead byte before a bracket or a line break, lone trail
        // bytes), NUL, and Ctrl-Z, which ended a DOS text file: all kept, and only the exact
        // header and line count.
        Case{"InvalidShiftJisNulAndCtrlZ", kAgree,
             "\x1a\r\n"
             "\x81[FontSubstitutes]\r\n"
             "[Font\0Substitutes]\r\n"
             "lead=\x82\r\n"
             "trail=\x40\x7f\x80\xa0\xfd\xfe\xff\0\r\n"
             "[FontSubstitutes]\r\n"
             "MS Sans Serif=System,128,3\x81\r\n"
             "MS Sans Serif=System,128,3\0\r\n"
             "eof=\x1a"s,
             "\x1a\r\n"
             "\x81[FontSubstitutes]\r\n"
             "[Font\0Substitutes]\r\n"
             "lead=\x82\r\n"
             "trail=\x40\x7f\x80\xa0\xfd\xfe\xff\0\r\n"
             "[FontSubstitutes]\r\n"s +
                 kLine +
                 "MS Sans Serif=System,128,3\x81\r\n"
                 "MS Sans Serif=System,128,3\0\r\n"
                 "eof=\x1a\r\n"s,
             kCompletes},
        // Lone CR endings; a header behind a lead byte does not close the section, so the line
        // in it counts, and every exact copy goes.
        Case{"LoneCrEndingsAndInvalidShiftJis", kRemove,
             "[FontSubstitutes]\r\x83[Other]\rMS Sans Serif=System,128,3\rbad=\x82\xff\0\r"
             "[Windows]\rMS Sans Serif=System,128,3"s,
             "[FontSubstitutes]\r\n\x83[Other]\r\nbad=\x82\xff\0\r\n[Windows]\r\n"s, kCompletes},
        Case{"MegabyteLine", kAgree, kMegabyteBefore, kMegabyteAfter, kCompletes},
        // A file with LF alone is one line, which is no header.
        Case{"LfOnlyEndingsAgree", kAgree, "[FontSubstitutes]\nArial=Helvetica\n", std::nullopt,
             kSectionMissing},
        Case{"LfOnlyEndingsRemove", kRemove, "[FontSubstitutes]\nMS Sans Serif=System,128,3\n",
             std::nullopt, kSectionMissing},
        Case{"Utf16WithByteOrderMark", kAgree, utf16(kSection), std::nullopt, kSectionMissing},
        // The backup cannot be deleted, so win.ini cannot take its name.
        Case{"ReadOnlyBackup", kAgree, kSection, std::nullopt, kNotReplaced,
             Prepare::ReadOnlyBackup},
        Case{"BackupIsADirectory", kAgree, kSection, std::nullopt, kNotReplaced,
             Prepare::BackupIsADirectory},
        Case{"TemporaryIsADirectory", kRemove, "[FontSubstitutes]\r\n" + kLine, std::nullopt,
             kTemporaryOpenFailure, Prepare::TemporaryIsADirectory}),
    [](const auto& info) { return std::string(info.param.name); });

struct Directory {
  const char* name;
  std::string relative;  // inside a fresh temporary directory
  std::size_t longerThan;
  std::vector<int> buttons;
};

void PrintTo(const Directory& d, std::ostream* out) { *out << d.name; }

class UnusualWindowsDirectory : public ::testing::TestWithParam<Directory> {};

TEST_P(UnusualWindowsDirectory, Completes) {
  WindowsDirectory windows(GetParam().relative);
  ASSERT_GT(windows.path().size(), GetParam().longerThan);
  const std::string withLine = "[FontSubstitutes]\r\n" + kLine + "Arial=Helvetica\r\n";
  windows.write("win.ini", kSection);
  App app(windows.path());
  std::string current = kSection;
  for (const int button : GetParam().buttons) {
    app.click(button);
    expectBox(app, confirmation(button), IDYES, windows.path());
    expectBox(app, completion(button), IDOK, windows.path());
    expectBox(app, kRestart, IDNO, windows.path());
    expectIdle(app);
    const std::string next = button == kAgree ? withLine : kSection;
    expectSnapshot(windows.snapshot(), {{"win.ini", next}, {"win.ini.old", current}});
    current = next;
  }
  closeApp(app);
}

const std::string kDeep = std::string(60, 'd') + "\\" + std::string(60, 'e') + "\\" +
                          std::string(60, 'e') + "\\" + std::string(60, 'p');

INSTANTIATE_TEST_SUITE_P(
    , UnusualWindowsDirectory,
    // ソ and 表 end in the byte of a backslash in Shift-JIS.
    ::testing::Values(
        Directory{"SpacesAndJapaneseAgreeThenRemove", "Win Dir 日本語 ソ表", 0, {kAgree, kRemove}},
        Directory{"LongerThanMaxPathAgree", kDeep, MAX_PATH, {kAgree}}),
    [](const auto& info) { return std::string(info.param.name); });

// A link planted under one of the three names, to a file elsewhere that the operation would take
// for its own: whoever sets WINDIR could otherwise have the elevated program write, move or
// delete that file.
struct Link {
  const char* name;
  int button;
  const char* linked;
  const Expected& box;  // the one the operation ends in
  bool hard = false;
  bool inSystemDirectory = false;  // where a second name is taken for Windows' own
};

void PrintTo(const Link& l, std::ostream* out) { *out << l.name; }

class PlantedLink : public ::testing::TestWithParam<Link> {};

TEST_P(PlantedLink, IsRefusedAndItsTargetKeepsEveryByte) {
  const Link& l = GetParam();
  if (!underWine()) GTEST_SKIP() << "the links are Linux links, made through Wine";
  const std::string withLine = "[FontSubstitutes]\r\n" + kLine + "Arial=Helvetica\r\n";
  const std::string before = l.button == kAgree ? kSection : withLine;
  const std::string after = l.button == kAgree ? withLine : kSection;
  const std::string linked = l.linked;
  WindowsDirectory windows =
      l.inSystemDirectory ? WindowsDirectory(WindowsDirectory::System{}) : WindowsDirectory();
  WindowsDirectory elsewhere;
  elsewhere.write("target.ini", before);
  if (linked != "win.ini") windows.write("win.ini", before);
  ASSERT_TRUE(makeUnixLink(windows.file(linked), elsewhere.file("target.ini"), l.hard));
  const Snapshot expected = windows.snapshot();

  App app(windows.path());
  app.click(l.button);
  expectBox(app, confirmation(l.button), IDYES, windows.path());
  expectBox(app, l.box, IDOK, windows.path());
  if (l.inSystemDirectory) expectBox(app, kRestart, IDNO, windows.path());
  expectIdle(app);
  expectSnapshot(elsewhere.snapshot(), {{"target.ini", before}});
  if (l.inSystemDirectory) {
    expectSnapshot(windows.snapshot(), {{"win.ini", after}, {"win.ini.old", before}});
    return closeApp(app);
  }
  expectSnapshot(windows.snapshot(), expected);

  // The refusal leaves nothing behind: without the link, the same program completes.
  ASSERT_TRUE(removeUnixLink(windows.file(linked)));
  if (linked == "win.ini") windows.write("win.ini", before);
  app.click(l.button);
  expectBox(app, confirmation(l.button), IDYES, windows.path());
  expectBox(app, completion(l.button), IDOK, windows.path());
  expectBox(app, kRestart, IDNO, windows.path());
  expectIdle(app);
  expectSnapshot(windows.snapshot(), {{"win.ini", after}, {"win.ini.old", before}});
  expectSnapshot(elsewhere.snapshot(), {{"target.ini", before}});
  closeApp(app);
}

INSTANTIATE_TEST_SUITE_P(
    , PlantedLink,
    ::testing::Values(
        // Followed for reading, then refused: its target's bytes would have become the new win.ini.
        Link{"WinIniAgree", kAgree, "win.ini", kSettingsOpenFailure},
        Link{"WinIniRemove", kRemove, "win.ini", kSettingsOpenFailure},
        // A second name of a file from elsewhere, which its planter may not be able to read.
        Link{"HardLinkedWinIniAgree", kAgree, "win.ini", kSettingsOpenFailure, true},
        // Not refused in the system's own Windows directory, however WINDIR spells it.
        Link{"HardLinkedWinIniInTheSystemDirectoryAgree", kAgree, "win.ini", kApplied, true, true},
        // Neither removed nor written through: the new settings would have gone into the target,
        // which would then have been moved into the Windows directory.
        Link{"TemporaryAgree", kAgree, "winini.tmp", kTemporaryOpenFailure},
        Link{"TemporaryRemove", kRemove, "winini.tmp", kTemporaryOpenFailure},
        // Not deleted, so win.ini cannot take its name: the delete would have removed the target.
        Link{"BackupAgree", kAgree, "win.ini.old", kNotReplaced},
        Link{"BackupRemove", kRemove, "win.ini.old", kNotReplaced}),
    [](const auto& info) { return std::string(info.param.name); });

// The Windows directory is held for the whole operation: a link in WINDIR switched to another
// directory between two steps leads nowhere, and neither directory changes.
TEST(SwitchedDirectoryLink, IsRefusedAndNeitherDirectoryChanges) {
  if (!underWine()) GTEST_SKIP() << "the links are Linux links, made through Wine";
  WindowsDirectory first;
  WindowsDirectory second;
  first.write("win.ini", kSection);
  second.write("win.ini", kSection + kLine);
  const Snapshot firstBefore = first.snapshot();
  const Snapshot secondBefore = second.snapshot();
  WindowsDirectory links;
  const std::wstring link = links.file("windows");
  const std::string windir = links.path() + "\\windows";
  ASSERT_TRUE(makeUnixLink(link, toUtf16(first.path())));

  Win32Platform platform;
  platform.holdDirectory(windir + "\\win.ini");
  EXPECT_NE(platform.openForReading(windir + "\\win.ini"), nullptr);
  ASSERT_TRUE(removeUnixLink(link));
  ASSERT_TRUE(makeUnixLink(link, toUtf16(second.path())));
  EXPECT_EQ(platform.openForReading(windir + "\\win.ini"), nullptr);
  EXPECT_EQ(platform.openForWriting(windir + "\\winini.tmp"), nullptr);
  EXPECT_FALSE(platform.deleteFile(windir + "\\win.ini"));
  EXPECT_FALSE(platform.renameFile(windir + "\\win.ini", windir + "\\win.ini.old"));
  platform.releaseDirectory();
  EXPECT_TRUE(removeUnixLink(link));
  expectSnapshot(first.snapshot(), firstBefore);
  expectSnapshot(second.snapshot(), secondBefore);
}

}  // namespace
}  // namespace mojifix::e2e
