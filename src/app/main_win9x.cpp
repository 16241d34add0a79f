// The entry point of the build for Windows 95/98/Me, the ANSI WinMain: on Windows NT it stops
// before anything else happens; otherwise it starts as the other builds do.
#include <windows.h>

#include "app/form1.h"
#include "platform/platform_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (mojifix::supportedSystem()) return wWinMain(instance, nullptr, nullptr, showCommand);
  mojifix::Win32Platform().showMessage(
      {"このプログラムはWindows 95/98/Me用です。Windows 7以降では、win32またはwin64のパッケージを"
       "お使いください。",
       mojifix::MessageStyle::Stop, mojifix::TitleKind::Text, mojifix::messages::kErrorTitle});
  return 1;
}
