// The Agree and Remove operations end to end over real files: what the user is told, in which
// order, and what the Windows directory holds afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fontsubst/messages.h"
#include "fontsubst/operations.h"
#include "support/scripted_platform.h"
#include "support/temp_directory.h"

namespace mojifix {
namespace {

using testing::ScriptedPlatform;
using testing::TempDirectory;
using namespace std::string_literals;

constexpr MessageResult kYes = MessageResult::Yes;
constexpr MessageResult kNo = MessageResult::No;

// Shift-JIS text ("日本語") and a byte that is not valid Shift-JIS, so any decoding would show.
const std::string kJapanese = "\x93\xfa\x96\x7b\x8c\xea";
const std::string kOriginal = "[windows]\r\nload=\r\n; " + kJapanese + "\x81\r\n" +
                              "[FontSubstitutes]\r\nArial=Helvetica\r\n[fonts]\r\nx=" + kJapanese;
const std::string kAgreed = "[windows]\r\nload=\r\n; " + kJapanese + "\x81\r\n" +
                            "[FontSubstitutes]\r\nMS Sans Serif=System,128,3\r\n" +
                            "Arial=Helvetica\r\n[fonts]\r\nx=" + kJapanese + "\r\n";

class OperationsTest : public ::testing::Test {
 protected:
  OperationsTest() { platform.environment["WINDIR"] = dir.path(); }

  std::string path(const std::string& name) const { return dir.path() + "\\" + name; }

  void expectUntouched(const std::string& original) const {
    EXPECT_EQ(dir.read("win.ini"), original);
    EXPECT_FALSE(dir.exists("winini.tmp"));
    EXPECT_FALSE(dir.exists("win.ini.old"));
  }

  TempDirectory dir;
  ScriptedPlatform platform;
};

TEST_F(OperationsTest, AgreeInsertsTheLineKeepsABackupAndOffersARestart) {
  dir.write("win.ini", kOriginal);
  dir.write("win.ini.old", "an earlier backup");
  platform.answers = {kYes, kNo};
  applySubstitution(platform);

  EXPECT_EQ(platform.messages, (std::vector<Message>{messages::confirmApply(), messages::applied(),
                                                     messages::restartQuestion()}));
  EXPECT_EQ(dir.read("win.ini"), kAgreed);
  EXPECT_EQ(dir.read("win.ini.old"), kOriginal);
  EXPECT_FALSE(dir.exists("winini.tmp"));
  EXPECT_EQ(platform.restartRequests, 0);
}

TEST_F(OperationsTest, TheSwapRenamesBackToBackBetweenItsPauses) {
  dir.write("win.ini", kOriginal);
  platform.answers = {kYes, kNo};
  applySubstitution(platform);

  std::vector<std::string> swap;
  bool started = false;
  for (const auto& call : platform.log) {
    started = started || call == "delete " + path("win.ini.old");
    if (started && call != "message") swap.push_back(call);
  }
  EXPECT_EQ(swap,
            (std::vector<std::string>{
                "delete " + path("win.ini.old"), "events", "pause 500",
                // Moved only if nobody changed it, and never missing for a moment.
                "rename " + path("win.ini") + " > " + path("win.ini.old"),
                "rename " + path("winini.tmp") + " > " + path("win.ini"), "events", "pause 500",
                // Read back: success only for the file written.
                "open-read " + path("win.ini"), "read", "read", "close"}));
}

// A second instance starts while the first writes its temporary file, on systems that delete an
// open file (95/98/Me), and dies once it has made its own: the first would move that empty file
// into place and claim success.
TEST_F(OperationsTest, ASecondInstanceLeavesTheFirstsTemporaryFileAlone) {
  dir.write("win.ini", kOriginal);
  ScriptedPlatform second;
  second.environment["WINDIR"] = dir.path();
  second.answers = {kYes};
  second.failIf = [](const std::string& call) -> bool {
    if (call == "write") throw testing::PowerCut{};
    return false;
  };
  platform.deletesOpenFiles = second.deletesOpenFiles = true;
  platform.answers = {kYes, kNo};
  platform.failIf = [&](const std::string& call) {
    if (call == "write" && second.log.empty()) {
      try {
        applySubstitution(second);
      } catch (const testing::PowerCut&) {
      }
    }
    return false;
  };
  applySubstitution(platform);

  EXPECT_EQ(second.messages.back(), messages::openFailure(path("winini.tmp")));
  EXPECT_EQ(std::find(second.log.begin(), second.log.end(), "open-write " + path("winini.tmp")),
            second.log.end());
  EXPECT_EQ(platform.messages.back(), messages::restartQuestion());
  EXPECT_EQ(dir.read("win.ini"), kAgreed);
  EXPECT_EQ(dir.read("win.ini.old"), kOriginal);
}

TEST_F(OperationsTest, RemoveDropsEveryExactCopyOfTheLine) {
  const std::string original =
      "[FontSubstitutes]\r\nMS Sans Serif=System,128,3\r\nA=B\r\n[other]\r\n"
      "MS Sans Serif=System,128,3\r\nMS Sans Serif=System,128,3 \r\n";
  dir.write("win.ini", original);
  platform.answers = {kYes, kNo};
  removeSubstitution(platform);

  EXPECT_EQ(platform.messages, (std::vector<Message>{messages::confirmRemove(), messages::removed(),
                                                     messages::restartQuestion()}));
  EXPECT_EQ(dir.read("win.ini"),
            "[FontSubstitutes]\r\nA=B\r\n[other]\r\nMS Sans Serif=System,128,3 \r\n");
  EXPECT_EQ(dir.read("win.ini.old"), original);
  EXPECT_FALSE(dir.exists("winini.tmp"));
}

TEST_F(OperationsTest, AgreeWritesUnderEveryHeaderAndEndsEveryLineWithCrLf) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const std::string line = "MS Sans Serif=System,128,3";
  const Case cases[] = {
      {"two headers", "[FontSubstitutes]\r\n[x]\r\n [FontSubstitutes] \r\n",
       "[FontSubstitutes]\r\n" + line + "\r\n[x]\r\n [FontSubstitutes] \r\n" + line + "\r\n"},
      {"line only in another section", "[x]\r\n" + line + "\r\n[FontSubstitutes]",
       "[x]\r\n" + line + "\r\n[FontSubstitutes]\r\n" + line + "\r\n"},
      {"line with a trailing space", "[FontSubstitutes]\r\n" + line + " \r\n",
       "[FontSubstitutes]\r\n" + line + "\r\n" + line + " \r\n"},
      {"lone CR endings", "[FontSubstitutes]\ra=b\r",
       "[FontSubstitutes]\r\n" + line + "\r\na=b\r\n"},
      {"NUL and Ctrl-Z", "[FontSubstitutes]\r\na\0\x1a\r\n"s,
       "[FontSubstitutes]\r\n" + line + "\r\n" + "a\0\x1a\r\n"s},
  };
  for (const auto& c : cases) {
    TempDirectory caseDir;
    ScriptedPlatform casePlatform;
    casePlatform.environment["WINDIR"] = caseDir.path();
    casePlatform.answers = {kYes, kNo};
    caseDir.write("win.ini", c.before);
    applySubstitution(casePlatform);
    EXPECT_EQ(caseDir.read("win.ini"), c.after) << c.name;
    EXPECT_EQ(caseDir.read("win.ini.old"), c.before) << c.name;
  }
}

// Refusals: one message after the confirmation, and nothing on disk changes.
TEST_F(OperationsTest, RefusalsTellWhyAndChangeNothing) {
  struct Case {
    const char* name;
    void (*operation)(Platform&);
    const char* windir;  // nullptr: the test directory
    std::string contents;
    bool createFile;
    Message expected;
    // What another program writes to win.ini just before the given file call: the second open is
    // the copy's; the first rename checks that win.ini is unchanged as it moves it.
    std::optional<std::string> changed = std::nullopt;
    std::string changedAt = "open-read";
    int changedAtCall = 2;
  };
  const std::string line = "MS Sans Serif=System,128,3";
  const std::string missingPath = dir.path() + "\\win.ini";
  const Case cases[] = {
      {"agree: already set", applySubstitution, nullptr, "[FontSubstitutes]\r\n" + line, true,
       messages::alreadyApplied()},
      {"agree: no section", applySubstitution, nullptr, "[fontsubstitutes]\r\n", true,
       messages::sectionMissing()},
      {"agree: empty file", applySubstitution, nullptr, "", true, messages::sectionMissing()},
      {"agree: LF-only file is one line", applySubstitution, nullptr, "[FontSubstitutes]\na\n",
       true, messages::sectionMissing()},
      {"agree: no win.ini", applySubstitution, nullptr, "", false,
       messages::openFailure(missingPath)},
      {"agree: empty WINDIR", applySubstitution, "", "", false, messages::noWindowsDirectory()},
      {"remove: line absent", removeSubstitution, nullptr, "[FontSubstitutes]\r\n" + line + " ",
       true, messages::notApplied()},
      {"remove: line outside the section only", removeSubstitution, nullptr,
       line + "\r\n[x]\r\n" + line, true, messages::sectionMissing()},
      {"remove: line gone between the scan and the copy", removeSubstitution, nullptr,
       "[FontSubstitutes]\r\n" + line, true, messages::notApplied(), "[FontSubstitutes]\r\n"},
      {"remove: section gone between the scan and the copy", removeSubstitution, nullptr,
       "[FontSubstitutes]\r\n" + line, true, messages::sectionMissing(), "[fonts]\r\n"},
      {"agree: section gone between the scan and the copy", applySubstitution, nullptr,
       "[FontSubstitutes]\r\n", true, messages::sectionMissing(), "[fonts]\r\n"},
      {"agree: line added as the swap moves win.ini", applySubstitution, nullptr,
       "[FontSubstitutes]\r\n", true, messages::notReplaced(), "[FontSubstitutes]\r\nadded=1\r\n",
       "rename " + missingPath, 1},
      {"remove: one byte changed as the swap moves win.ini", removeSubstitution, nullptr,
       "[FontSubstitutes]\r\n" + line, true, messages::notReplaced(),
       "[FontSubstitutes]\r\n" + line.substr(0, line.size() - 1) + "4", "rename " + missingPath, 1},
      {"remove: no win.ini", removeSubstitution, nullptr, "", false,
       messages::openFailure(missingPath)},
      {"remove: empty WINDIR", removeSubstitution, "", "", false, messages::noWindowsDirectory()},
  };
  for (const auto& c : cases) {
    std::remove(dir.file("win.ini").string().c_str());
    if (c.createFile) dir.write("win.ini", c.contents);
    ScriptedPlatform casePlatform;
    casePlatform.environment["WINDIR"] = c.windir ? c.windir : dir.path();
    casePlatform.answers = {kYes};
    int calls = 0;
    casePlatform.failIf = [&](const std::string& call) {
      if (c.changed && call.rfind(c.changedAt, 0) == 0 && ++calls == c.changedAtCall) {
        dir.write("win.ini", *c.changed);
      }
      return false;
    };
    c.operation(casePlatform);
    ASSERT_EQ(casePlatform.messages.size(), 2u) << c.name;
    EXPECT_EQ(casePlatform.messages[1], c.expected) << c.name;
    const auto contents = c.changed.value_or(c.contents);
    EXPECT_EQ(dir.read("win.ini"), c.createFile ? std::optional(contents) : std::nullopt) << c.name;
    EXPECT_FALSE(dir.exists("winini.tmp")) << c.name;
    EXPECT_FALSE(dir.exists("win.ini.old")) << c.name;
  }
}

TEST_F(OperationsTest, NoAtTheConfirmationEndsWithoutAWord) {
  dir.write("win.ini", kOriginal);
  for (auto operation : {applySubstitution, removeSubstitution}) {
    ScriptedPlatform casePlatform;
    casePlatform.environment["WINDIR"] = dir.path();
    casePlatform.answers = {kNo};
    operation(casePlatform);
    EXPECT_EQ(casePlatform.messages.size(), 1u);
    EXPECT_EQ(casePlatform.fileCalls, 0);
  }
  expectUntouched(kOriginal);
}

TEST_F(OperationsTest, YesToTheRestartRequestsItAndSaysSoWhenRefused) {
  dir.write("win.ini", "[FontSubstitutes]\r\n");
  platform.answers = {kYes, kYes};
  applySubstitution(platform);
  EXPECT_EQ(platform.restartRequests, 1);
  EXPECT_EQ(platform.messages.back(), messages::restartQuestion());

  ScriptedPlatform refused;
  refused.environment["WINDIR"] = dir.path();
  refused.restartAccepted = false;
  refused.answers = {kYes, kYes};
  removeSubstitution(refused);
  EXPECT_EQ(refused.restartRequests, 1);
  EXPECT_EQ(refused.messages.back(), messages::restartFailed());
}

// Failures the user must hear about: the file stays as it was and no success is claimed.
TEST_F(OperationsTest, FailedStepsLeaveWinIniAsItWasAndSayWhy) {
  struct Case {
    const char* name;
    std::function<bool(const std::string&)> failIf;
    Message expected;
  };
  const std::string settings = path("win.ini");
  const std::string temporary = path("winini.tmp");
  int reads = 0;
  const Case cases[] = {
      {"another instance operates", [](const std::string& call) { return call == "claim"; },
       messages::openFailure(temporary)},
      {"temporary file cannot be created",
       [&](const std::string& call) { return call == "open-write " + temporary; },
       messages::openFailure(temporary)},
      {"write fails", [](const std::string& call) { return call == "write"; },
       messages::writeFailure(temporary)},
      {"flush fails", [](const std::string& call) { return call == "flush"; },
       messages::writeFailure(temporary)},
      {"scan read fails", [](const std::string& call) { return call == "read"; },
       messages::readFailure(settings)},
      {"copy read fails", [&](const std::string& call) { return call == "read" && ++reads == 3; },
       messages::readFailure(settings)},
      {"first rename fails",
       [&](const std::string& call) { return call.rfind("rename " + settings, 0) == 0; },
       messages::notReplaced()},
      {"second rename fails",
       [&](const std::string& call) { return call.rfind("rename " + temporary, 0) == 0; },
       messages::notReplaced()},
  };
  for (const auto& c : cases) {
    dir.write("win.ini", kOriginal);
    reads = 0;
    ScriptedPlatform casePlatform;
    casePlatform.environment["WINDIR"] = dir.path();
    casePlatform.failIf = c.failIf;
    casePlatform.answers = {kYes};
    applySubstitution(casePlatform);
    EXPECT_EQ(casePlatform.messages.back(), c.expected) << c.name;
    EXPECT_EQ(casePlatform.messages.size(), 2u) << c.name << ": no success after a failure";
    EXPECT_EQ(dir.read("win.ini"), kOriginal) << c.name;
    EXPECT_FALSE(dir.exists("winini.tmp")) << c.name;
    std::remove(dir.file("win.ini.old").string().c_str());
  }
}

TEST_F(OperationsTest, WhenTheOriginalCannotBePutBackItIsNamedAndKept) {
  dir.write("win.ini", kOriginal);
  platform.answers = {kYes};
  // Both renames into win.ini fail: the new file's and the original's way back.
  platform.failIf = [&](const std::string& call) {
    return call.rfind("rename ", 0) == 0 &&
           call.find(" > " + path("win.ini")) != std::string::npos &&
           call.find(" > " + path("win.ini.old")) == std::string::npos;
  };
  applySubstitution(platform);
  EXPECT_EQ(platform.messages.back(), messages::originalLeftInBackup(path("win.ini.old")));
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_FALSE(dir.exists("win.ini"));
  EXPECT_EQ(dir.read("win.ini.old"), kOriginal);
  EXPECT_TRUE(dir.exists("winini.tmp"));
}

// A link planted under one of the three names is refused, and the file it leads to keeps every
// byte where it was. A hard link too: it would let an elevated run copy a file from elsewhere into
// win.ini. Natively only: Wine cannot make a link itself, so the end-to-end tests plant them there.
#ifndef _WIN32
TEST_F(OperationsTest, LinkedNamesAreRefusedAndTheirTargetsKeepEveryByte) {
  for (const bool hard : {false, true}) {
    for (const std::string linked : {"win.ini", "winini.tmp", "win.ini.old"}) {
      SCOPED_TRACE((hard ? "hard link " : "symbolic link ") + linked);
      TempDirectory windows;
      TempDirectory elsewhere;
      elsewhere.write("target.ini", kOriginal);
      if (linked != "win.ini") windows.write("win.ini", kOriginal);
      if (hard) {
        std::filesystem::create_hard_link(elsewhere.file("target.ini"), windows.file(linked));
      } else {
        std::filesystem::create_symlink(elsewhere.file("target.ini"), windows.file(linked));
      }
      ScriptedPlatform casePlatform;
      casePlatform.environment["WINDIR"] = windows.path();
      casePlatform.answers = {kYes};
      applySubstitution(casePlatform);

      const Message expected = linked == "win.ini.old"
                                   ? messages::notReplaced()
                                   : messages::openFailure(windows.path() + "\\" + linked);
      EXPECT_EQ(casePlatform.messages.back(), expected);
      EXPECT_EQ(elsewhere.read("target.ini"), kOriginal);
      EXPECT_EQ(std::filesystem::hard_link_count(elsewhere.file("target.ini")), hard ? 2u : 1u);
      EXPECT_EQ(std::filesystem::is_symlink(windows.file(linked)), !hard);
      EXPECT_EQ(windows.read("win.ini"), kOriginal);
      EXPECT_EQ(windows.exists("winini.tmp"), linked == "winini.tmp");
    }
  }
}
#endif

TEST(MessagesTest, TextsStylesAndTitlesAreExact) {
  const std::string error = "エラー発生";
  struct Case {
    Message actual;
    Message expected;
  };
  const Case cases[] = {
      {messages::startFailed(),
       {"MOJIFIXを起動できませんでした。", MessageStyle::Stop, TitleKind::Text, error}},
      {messages::noWindowsDirectory(),
       {"windowsディレクトリが取得できませんでした。", MessageStyle::Stop, TitleKind::Empty, ""}},
      {messages::openFailure("C:\\W\\win.ini"),
       {"C:\\W\\win.ini ファイルがオープンできませんでした。", MessageStyle::Exclamation,
        TitleKind::Text, error}},
      {messages::readFailure("C:\\W\\win.ini"),
       {"C:\\W\\win.ini ファイルが読み込めませんでした。", MessageStyle::Exclamation,
        TitleKind::Text, error}},
      {messages::writeFailure("C:\\W\\winini.tmp"),
       {"C:\\W\\winini.tmp ファイルに書き込めませんでした。", MessageStyle::Exclamation,
        TitleKind::Text, error}},
      {messages::sectionMissing(),
       {"win.iniファイル内に[FontSubstitutes]エリアが存在しません。", MessageStyle::Stop,
        TitleKind::Empty, ""}},
      {messages::notReplaced(),
       {"win.iniファイルを置き換えられませんでした。win.iniは元のままです。", MessageStyle::Stop,
        TitleKind::Text, error}},
      {messages::originalLeftInBackup("C:\\W\\win.ini.old"),
       {"win.iniファイルを置き換えられませんでした。元のファイルは C:\\W\\win.ini.old "
        "に残っています。",
        MessageStyle::Stop, TitleKind::Text, error}},
      {messages::restartQuestion(),
       {"システムを再起動します。よろしいですか？", MessageStyle::YesNoQuestion, TitleKind::Empty,
        ""}},
      {messages::restartFailed(),
       {"再起動できませんでした。手動で再起動してください。", MessageStyle::Exclamation,
        TitleKind::Empty, ""}},
      {messages::confirmApply(),
       {"フォントを設定します。よろしいですか？", MessageStyle::YesNoQuestion, TitleKind::Empty,
        ""}},
      {messages::alreadyApplied(),
       {"既にフォントが設定されています。", MessageStyle::Exclamation, TitleKind::Empty, ""}},
      {messages::applied(),
       {"フォントを設定しました。", MessageStyle::Information, TitleKind::Application, ""}},
      {messages::confirmRemove(),
       {"フォント設定を解除しますよろしいですか？", MessageStyle::YesNoQuestion,
        TitleKind::Application, ""}},
      {messages::notApplied(),
       {"win.iniファイル内にフォント設定は存在しません。", MessageStyle::Exclamation,
        TitleKind::Empty, ""}},
      {messages::removed(),
       {"フォント設定を解除しました。", MessageStyle::Information, TitleKind::Application, ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.expected.prompt;
  // The numbers the message box receives.
  EXPECT_EQ(static_cast<unsigned>(MessageStyle::Stop), 16u);
  EXPECT_EQ(static_cast<unsigned>(MessageStyle::YesNoQuestion), 36u);
  EXPECT_EQ(static_cast<unsigned>(MessageStyle::Exclamation), 48u);
  EXPECT_EQ(static_cast<unsigned>(MessageStyle::Information), 64u);
}

}  // namespace
}  // namespace mojifix
