// The Win32 services beside files: message boxes, the environment, event processing, the
// version resource, the DLL search, the shutdown privilege and the UTF-8/UTF-16 conversion.
#include <windows.h>

#include <chrono>
#include <cwchar>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/build_platform.h"
#include "platform/win32/edge.h"
#include "support/win32_support.h"
#include "version.h"

namespace mojifix {
namespace {

using mojifix::testing::pollUntil;
using mojifix::testing::windowText;

BOOL CALLBACK findOwnMessageBox(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
      std::wcscmp(className, L"#32770") != 0) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// What the user saw in a message box that another thread answered.
struct SeenBox {
  std::string title;
  std::string prompt;
  bool hasYesButton = false;
};

TEST(Win32System, MessageBoxesShowTheirTitleAndReturnTheButton) {
  struct Case {
    const char* name;
    Message message;
    std::string title;
    int button;
    MessageResult result;
  };
  const std::string prompt = "システムを再起動します。よろしいですか？";
  const Case cases[] = {
      {"application title",
       {prompt, MessageStyle::Information, TitleKind::Application, ""},
       "MOJIFIX",
       IDOK,
       MessageResult::Ok},
      {"empty title, Yes",
       {prompt, MessageStyle::YesNoQuestion, TitleKind::Empty, ""},
       "",
       IDYES,
       MessageResult::Yes},
      {"given title, No",
       {prompt, MessageStyle::YesNoQuestion, TitleKind::Text, "エラー発生"},
       "エラー発生",
       IDNO,
       MessageResult::No},
  };
  Win32Platform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<SeenBox> seen;
    mojifix::testing::Thread user([&] {
      HWND box = nullptr;
      const auto found = [&box] {
        EnumWindows(findOwnMessageBox, reinterpret_cast<LPARAM>(&box));
        return box != nullptr;
      };
      if (!pollUntil(std::chrono::seconds(5), found))
        return;  // the box never showed; the test cannot end on its own
      seen = SeenBox{windowText(box), windowText(GetDlgItem(box, 0xFFFF)),
                     GetDlgItem(box, IDYES) != nullptr};
      PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(c.button), 0);
    });
    const MessageResult result = platform.showMessage(c.message);
    user.join();

    EXPECT_EQ(result, c.result);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->title, c.title);
    EXPECT_EQ(seen->prompt, "システムを再起動します。よろしいですか？");
    EXPECT_EQ(seen->hasYesButton, c.message.style == MessageStyle::YesNoQuestion);
  }
}

TEST(Win32System, EnvironmentVariablesReadAsUtf8) {
  struct Case {
    const wchar_t* name;
    const wchar_t* value;  // nullptr: unset
    std::string expected;
  };
  const std::wstring longValue(5000, L'x');
  const Case cases[] = {
      {L"MOJIFIX_TEST_UNSET", nullptr, ""},
      {L"MOJIFIX_TEST_WINDIR", L"C:\\日本語\\ウィンドウズ", "C:\\日本語\\ウィンドウズ"},
      {L"MOJIFIX_TEST_LONG", longValue.c_str(), std::string(5000, 'x')},
  };
  Win32Platform platform;
  for (const Case& c : cases) {
    ASSERT_TRUE(SetEnvironmentVariableW(c.name, c.value) || !c.value);
    EXPECT_EQ(platform.environmentVariable(toUtf8(c.name)), c.expected);
    SetEnvironmentVariableW(c.name, nullptr);
  }
}

TEST(Win32System, ProcessEventsLeavesAQuitRequestForTheCallersLoop) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  PostQuitMessage(7);

  Win32Platform().processEvents();

  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(Win32System, ApplicationVersionComesFromTheVersionResource) {
  const AppVersion version = Win32Platform().applicationVersion();
  EXPECT_EQ(version.major, MOJIFIX_VERSION_MAJOR);
  EXPECT_EQ(version.minor, MOJIFIX_VERSION_MINOR);
  EXPECT_EQ(version.revision, MOJIFIX_VERSION_REVISION);
}

TEST(Win32System, DllsBesideTheProgramAreNotLoadedAfterStartUp) {
  // The build puts this DLL beside the test executable, as a planted one would sit beside
  // MOJIFIX.exe in a download folder.
  constexpr wchar_t kPlanted[] = L"mojifix_planted_probe.dll";
  ASSERT_TRUE(restrictDllSearch());
  const HMODULE searched = LoadLibraryW(kPlanted);
  EXPECT_EQ(searched, nullptr);
  if (searched) FreeLibrary(searched);
  // It is there and loads when its folder is asked for by name, so the search alone refused it.
  const HMODULE named = LoadLibraryExW(kPlanted, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  EXPECT_NE(named, nullptr);
  if (named) FreeLibrary(named);
}

TEST(Win32System, TheShutdownPrivilegeIsEnabled) {
  // Only the privilege: a real restart request would end every program of the Wine prefix. The
  // token has it, so false here would mean it went unenabled.
  EXPECT_TRUE(enableShutdownPrivilege());
}

TEST(Win32System, TextConvertsBetweenUtf8AndUtf16) {
  struct Case {
    std::string utf8;
    std::wstring utf16;
  };
  const Case cases[] = {
      {"", L""},
      {"win.ini", L"win.ini"},
      {"日本語フォルダ", L"日本語フォルダ"},
      {"\xF0\xA0\xAE\xB7", L"\xD842\xDFB7"},  // U+20BB7, a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toUtf16(c.utf8), c.utf16);
    EXPECT_EQ(toUtf8(c.utf16), c.utf8);
  }
}

}  // namespace
}  // namespace mojifix
