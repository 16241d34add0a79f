// The ANSI conversions of the build for Windows 95/98/Me, through the system's own converters in
// code page 932 (the suites run in the Japanese locale): exact where a name must stay itself. And
// the ANSI command line that its own start-up gives WinMain.
#include <windows.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/edge.h"

namespace mojifix {
namespace {

TEST(Win9xText, NamesConvertExactlyOrNotAtAll) {
  struct Case {
    std::string utf8;
    std::optional<std::string> ansi;  // nullopt: no exact ANSI form
  };
  const Case cases[] = {
      {"", ""},
      {"C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\win.ini"},
      // ソ and 表 end in the byte of a backslash.
      {"日本語 ソ表", "\x93\xfa\x96\x7b\x8c\xea\x20\x83\x5c\x95\x5c"},
      {"\xc3\xa9", std::nullopt},          // é, whose best fit would be e
      {"\xf0\x9f\x99\x82", std::nullopt},  // an emoji: the default character
      {"\xff", std::nullopt},              // no UTF-8 at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(edge::toAnsi(c.utf8, true), c.ansi);
    if (c.ansi) {
      EXPECT_EQ(edge::fromAnsi(*c.ansi, true), c.utf8);
    }
  }
  EXPECT_TRUE(edge::toAnsi("\xc3\xa9", false).has_value());
}

// Code page 932 gives 纊 and Ⅰ two byte pairs each (the IBM and the NEC extensions); only the one
// that Unicode gives back is taken, as another would name another file.
TEST(Win9xText, BytesThatUnicodeGivesBackOtherwiseAreRefused) {
  EXPECT_EQ(edge::fromAnsi("\xfa\x5c", true), "纊");
  EXPECT_EQ(edge::fromAnsi("\xed\x40", true), std::nullopt);
  EXPECT_EQ(edge::fromAnsi("\xed\x40", false), "纊");
  EXPECT_EQ(edge::fromAnsi("\x87\x54", true), "Ⅰ");
  EXPECT_EQ(edge::fromAnsi("\xfa\x4a", true), std::nullopt);
  EXPECT_EQ(edge::fromAnsi("\x82", true), std::nullopt);  // a lead byte alone
}

// After the program's name, quoted or not (日本 is bytes above 0x7F), and the blanks that follow.
TEST(Win9xText, WinMainGetsTheCommandLineAfterTheProgramName) {
  std::wstring probe(MAX_PATH, L'\0');
  probe.resize(GetModuleFileNameW(nullptr, probe.data(), MAX_PATH));
  probe.replace(probe.rfind(L'\\') + 1, std::wstring::npos, L"mojifix_command_line_probe.exe");
  for (std::wstring line :
       {L"\"C:\\a b\\x.exe\" \t one \"t w o\"", L"C:\\日本\\x.exe \t one \"t w o\""}) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(probe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u) << toUtf8(line);  // 2: none at all
  }
}

}  // namespace
}  // namespace mojifix
