// The entry point of the build for Windows 95/98/Me, which starts from the ANSI WinMain. On
// Windows NT it stops before anything else happens; otherwise it starts as the other builds do.
#include <windows.h>

#include "app/form1.h"
#include "platform/platform_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (!mojifix::supportedSystem()) {
    mojifix::Win32Platform().showMessage(mojifix::messages::unsupportedSystem());
    return 1;
  }
  return wWinMain(instance, nullptr, nullptr, showCommand);
}
