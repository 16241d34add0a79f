// Agree and Remove end to end: every message box with its prompt, title, buttons and icon, and
// the files left in the Windows directory, byte for byte; the ways out of the program; and what
// the window does with input while an operation swaps the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "e2e/app_driver.h"
#include "e2e/e2e_support.h"
#include "support/temp_directory.h"

namespace mojifix::e2e {
namespace {

using namespace std::string_literals;

const Expected kAlreadyApplied{"既にフォントが設定されています。", 48, ""};
const Expected kNoWindowsDirectory{"windowsディレクトリが取得できませんでした。", 16, ""};

// Every box here has its full prompt already.
void expectBox(const App& app, const Expected& expected, int answer) {
  e2e::expectBox(app, expected, answer, "");
}

// Shift-JIS text with bytes that are no valid Shift-JIS, a NUL, a Ctrl-Z, a lone LF inside a
// line, a line ended by a lone CR, and a last line without a line break.
const std::string kApplyBefore =
    "; \x93\xfa\x96\x7b\x8c\xea\r\n"  // 日本語
    "[Windows]\r\n"
    "bad=\x81\x7f\xff\x80\r\n"
    "nul=a\0b\x1a"
    "c\r\n"
    "lf=one\ntwo\r\n"
    "cr=lone\r"
    "[FontSubstitutes]\r\n"
    "Arial=Helvetica\r\n"
    "[\x83\x74\x83\x48\x83\x93\x83\x67]\r\n"  // [フォント]
    "last=\x82\xa0"s;                         // あ
const std::string kApplyAfter =
    "; \x93\xfa\x96\x7b\x8c\xea\r\n"
    "[Windows]\r\n"
    "bad=\x81\x7f\xff\x80\r\n"
    "nul=a\0b\x1a"
    "c\r\n"
    "lf=one\ntwo\r\n"
    "cr=lone\r\n"
    "[FontSubstitutes]\r\n"
    "MS Sans Serif=System,128,3\r\n"
    "Arial=Helvetica\r\n"
    "[\x83\x74\x83\x48\x83\x93\x83\x67]\r\n"
    "last=\x82\xa0\r\n"s;

const std::string kRemoveBefore =
    "; \x93\xfa\x96\x7b\x8c\xea\r\n"
    "[FontSubstitutes]\r\n"
    "MS Sans Serif=System,128,3\r\n"
    "MS Sans Serif=System,128,3 \r\n"
    "bad=\x81\x7f\xff\x80 nul=\0 eof=\x1a lf=\n\r\n"
    "[\x83\x74\x83\x48\x83\x93\x83\x67]\r\n"
    "MS Sans Serif=System,128,3\r\n"
    "last=\x82\xa0"s;
const std::string kRemoveAfter =
    "; \x93\xfa\x96\x7b\x8c\xea\r\n"
    "[FontSubstitutes]\r\n"
    "MS Sans Serif=System,128,3 \r\n"
    "bad=\x81\x7f\xff\x80 nul=\0 eof=\x1a lf=\n\r\n"
    "[\x83\x74\x83\x48\x83\x93\x83\x67]\r\n"
    "last=\x82\xa0\r\n"s;

class Settings : public ::testing::Test {
 protected:
  mojifix::testing::TempDirectory windows;

  std::optional<std::string> file(const std::string& name) const { return windows.read(name); }

  // win.ini as it was, and neither a backup nor a temporary file.
  void expectUntouched(const std::optional<std::string>& winIni) const {
    EXPECT_EQ(file("win.ini"), winIni);
    EXPECT_FALSE(windows.exists("win.ini.old"));
    EXPECT_FALSE(windows.exists("winini.tmp"));
  }
};

// Another program that looks for win.ini about every millisecond until stop(), which returns the
// longest time in milliseconds that it found win.ini missing.
class WinIniWatcher {
 public:
  explicit WinIniWatcher(const std::filesystem::path& winIni)
      : path_(winIni.wstring()), thread_(CreateThread(nullptr, 0, watch, this, 0, nullptr)) {}
  ~WinIniWatcher() { stop(); }
  DWORD stop() {
    stop_ = true;
    if (thread_ && WaitForSingleObject(thread_, INFINITE) == WAIT_OBJECT_0) CloseHandle(thread_);
    thread_ = nullptr;
    return longest_;
  }

 private:
  static DWORD WINAPI watch(void* self) {
    auto& watcher = *static_cast<WinIniWatcher*>(self);
    for (DWORD seen = GetTickCount(); !watcher.stop_; Sleep(1)) {
      const DWORD now = GetTickCount();
      if (GetFileAttributesW(watcher.path_.c_str()) != INVALID_FILE_ATTRIBUTES) seen = now;
      watcher.longest_ = std::max<DWORD>(watcher.longest_, now - seen);
    }
    return 0;
  }

  std::wstring path_;
  std::atomic<bool> stop_{false};
  std::atomic<DWORD> longest_{0};
  HANDLE thread_;
};

struct Completion {
  const char* name;
  int button;
  std::string before;
  std::string after;
  Expected done;
  int restart;  // the answer to the restart question
};

// Parameters print as their names in failure reports.
void PrintTo(const Completion& c, std::ostream* out) { *out << c.name; }

// Where the model of Windows 95 records what it decided, ExitWindowsEx's outcome included.
constexpr wchar_t kModelLog[] = L"MOJIFIX_WIN95_MODEL_LOG";

class Completes : public Settings, public ::testing::WithParamInterface<Completion> {};

TEST_P(Completes, RewritesTheFileKeepsTheOldOneAndOffersARestart) {
  const Completion& c = GetParam();
  windows.write("win.ini", c.before);
  windows.write("win.ini.old", "an older backup\r\n");
  const mojifix::testing::TempDirectory records;
  if (c.restart == IDYES) SetEnvironmentVariableW(kModelLog, records.file("model.log").c_str());
  App app(windows.path());
  app.click(c.button);
  WinIniWatcher watcher(windows.file("win.ini"));
  // Nothing is written while the question is up, nor once the files are in place.
  app.waitForBox();
  EXPECT_TRUE(app.queryEndSession()) << "a logoff was refused before anything was written";
  expectBox(app, confirmation(c.button), IDYES);
  // Between the swap's two renames there is no win.ini at all, so no logoff may come then.
  ASSERT_TRUE(pollUntil(5s, [&] { return windows.exists("winini.tmp"); }));
  EXPECT_FALSE(app.queryEndSession()) << "a logoff was let through during the operation";
  app.waitForBox();
  EXPECT_TRUE(app.queryEndSession()) << "a logoff was refused with the files in place";
  expectBox(app, c.done, IDOK);
  // The renames follow each other directly: for a moment, not for a pause, win.ini is missing.
  EXPECT_LT(watcher.stop(), 100u) << "milliseconds without win.ini";
  expectBox(app, kRestart, c.restart);
  expectIdle(app);
  if (c.restart == IDYES) {
    const std::string log = records.read("model.log").value_or("");
    EXPECT_NE(log.find("ExitWindowsEx(0x2): every window agreed"), std::string::npos) << log;
  }
  EXPECT_TRUE(app.queryEndSession()) << "a logoff was refused after the operation";
  EXPECT_EQ(app.waitForFocus(c.button), c.button) << "the focus did not come back";
  EXPECT_EQ(file("win.ini"), c.after);
  EXPECT_EQ(file("win.ini.old"), c.before);
  EXPECT_FALSE(windows.exists("winini.tmp"));
  closeApp(app);
}

INSTANTIATE_TEST_SUITE_P(
    , Completes,
    ::testing::Values(Completion{"Agree", kAgree, kApplyBefore, kApplyAfter, kApplied, IDNO},
                      Completion{"Remove", kRemove, kRemoveBefore, kRemoveAfter, kRemoved, IDNO}),
    [](const auto& info) { return std::string(info.param.name); });

#ifdef MOJIFIX_WIN95_MODEL
// Only the model of Windows 95 takes a Yes: its ExitWindowsEx asks the program's windows, records
// their answer and ends nothing.
INSTANTIATE_TEST_SUITE_P(Win95, Completes,
                         ::testing::Values(Completion{"AgreeAndRestart", kAgree, kApplyBefore,
                                                      kApplyAfter, kApplied, IDYES}),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

class DeclinedConfirmation : public Settings, public ::testing::WithParamInterface<int> {};

TEST_P(DeclinedConfirmation, TouchesNothing) {
  const int button = GetParam();
  const std::string before = button == kAgree ? kApplyBefore : kRemoveBefore;
  windows.write("win.ini", before);
  App app(windows.path());
  app.click(button);
  expectBox(app, confirmation(button), IDNO);
  expectIdle(app);
  EXPECT_EQ(app.waitForFocus(button), button) << "the focus did not come back";
  expectUntouched(before);
  closeApp(app);
}

INSTANTIATE_TEST_SUITE_P(, DeclinedConfirmation, ::testing::Values(kAgree, kRemove),
                         [](const auto& info) {
                           return std::string(info.param == kAgree ? "Agree" : "Remove");
                         });

enum class Windir { Temporary, TrailingBackslash, Empty, Unset };

struct Refusal {
  const char* name;
  int button;
  Windir windir;
  std::optional<std::string> winIni;
  Expected message;
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class Refuses : public Settings, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refuses, WithItsMessageAndTouchesNothing) {
  const Refusal& r = GetParam();
  if (r.winIni) windows.write("win.ini", *r.winIni);
  std::optional<std::string> windir = windows.path();
  if (r.windir == Windir::TrailingBackslash) *windir += '\\';
  if (r.windir == Windir::Empty) windir = "";
  if (r.windir == Windir::Unset) windir.reset();
  Expected message = r.message;
  if (message.prompt.front() == '\\') message.prompt = *windir + message.prompt;

  App app(windir);
  app.click(r.button);
  expectBox(app, confirmation(r.button), IDYES);
  expectBox(app, message, IDOK);
  expectIdle(app);
  EXPECT_EQ(app.waitForFocus(r.button), r.button) << "the focus did not come back";
  expectUntouched(r.winIni);
  closeApp(app);
}

const std::string kWithLine = "[FontSubstitutes]\r\nMS Sans Serif=System,128,3\r\n";

INSTANTIATE_TEST_SUITE_P(
    , Refuses,
    ::testing::Values(
        Refusal{"AgreeWhenTheLineIsPresent", kAgree, Windir::Temporary, kWithLine, kAlreadyApplied},
        Refusal{"AgreeWithoutTheSection", kAgree, Windir::Temporary,
                "[fontsubstitutes]\r\nArial=Helvetica\r\n", kSectionMissing},
        Refusal{"RemoveWithoutTheSection", kRemove, Windir::Temporary,
                "[Windows]\r\nMS Sans Serif=System,128,3\r\n", kSectionMissing},
        Refusal{"RemoveWhenTheLineIsAbsent", kRemove, Windir::Temporary,
                "[FontSubstitutes]\r\nMS Sans Serif=System,128,3 \r\n", kNotApplied},
        Refusal{"AgreeWithoutWinIni", kAgree, Windir::Temporary, std::nullopt,
                kSettingsOpenFailure},
        Refusal{"RemoveWithoutWinIni", kRemove, Windir::Temporary, std::nullopt,
                kSettingsOpenFailure},
        // The path keeps the doubled separator.
        Refusal{"AgreeWithoutWinIniUnderATrailingBackslash", kAgree, Windir::TrailingBackslash,
                std::nullopt, kSettingsOpenFailure},
        Refusal{"AgreeWithAnEmptyWindir", kAgree, Windir::Empty, kWithLine, kNoWindowsDirectory},
        Refusal{"RemoveWithAnEmptyWindir", kRemove, Windir::Empty, kWithLine, kNoWindowsDirectory},
        Refusal{"AgreeWithoutWindir", kAgree, Windir::Unset, kWithLine, kNoWindowsDirectory},
        Refusal{"RemoveWithoutWindir", kRemove, Windir::Unset, kWithLine, kNoWindowsDirectory}),
    [](const auto& info) { return std::string(info.param.name); });

struct Ending {
  const char* name;
  void (*act)(const App&);
};

void PrintTo(const Ending& e, std::ostream* out) { *out << e.name; }

class EndsTheProgram : public Settings, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndsTheProgram, AndTouchesNothing) {
  windows.write("win.ini", kApplyBefore);
  App app(windows.path());
  GetParam().act(app);
  app.waitForExit();
  expectUntouched(kApplyBefore);
}

const Ending kEndings[] = {
    {"Disagree", [](const App& app) { app.click(kDisagree); }},
    {"Exit", [](const App& app) { app.click(kExit); }},
    {"CloseBox", [](const App& app) { app.post(WM_CLOSE); }},
    {"SystemMenuClose", [](const App& app) { app.post(WM_SYSCOMMAND, SC_CLOSE); }},
};

INSTANTIATE_TEST_SUITE_P(, EndsTheProgram, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

class EndsTheProgramAfterTheSwap : public Settings, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndsTheProgramAfterTheSwap, AndIgnoresClicksMeanwhile) {
  const std::string before = "[FontSubstitutes]\r\nArial=Helvetica\r\n";
  windows.write("win.ini", before);
  windows.write("win.ini.old", "an older backup\r\n");
  App app(windows.path());
  app.click(kAgree);
  // Queued behind the Yes, the clicks and the ending wait for the next message loop, which is the
  // swap's first processing of events.
  const Box confirmation = app.waitForBox();
  ASSERT_EQ(confirmation.prompt, kConfirmApply.prompt);
  app.answer(confirmation, IDYES, [&app] {
    for (int button : {kAgree, kRemove}) app.click(button);
    GetParam().act(app);
  });

  expectBox(app, kApplied, IDOK);
  expectBox(app, kRestart, IDNO);
  app.waitForExit();
  EXPECT_EQ(file("win.ini"),
            "[FontSubstitutes]\r\nMS Sans Serif=System,128,3\r\nArial=Helvetica\r\n");
  EXPECT_EQ(file("win.ini.old"), before);
  EXPECT_FALSE(windows.exists("winini.tmp"));
}

INSTANTIATE_TEST_SUITE_P(, EndsTheProgramAfterTheSwap, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mojifix::e2e
