// The entry point of the build for Windows 95/98/Me, the ANSI WinMain, which stops on Windows NT.
// These systems load no DLL on the program's behalf that needs restricting, and the standard
// controls are user32's own.
#include <windows.h>

#include "app/form1.h"
#include "platform/win32/edge.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  // Windows 95/98/Me set the high bit; on Windows NT this build would lack the link checks.
  if (GetVersion() & 0x80000000u) return mojifix::runForm1(showCommand);
  // Through the W function, which Windows NT draws in any code page.
  const mojifix::Message refusal = mojifix::messages::windows9xOnly();
  MessageBoxW(nullptr, mojifix::toUtf16(refusal.prompt).c_str(),
              mojifix::toUtf16(refusal.title).c_str(), static_cast<UINT>(refusal.style));
  return 1;
}
