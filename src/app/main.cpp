// The entry point of the builds for Windows 7 and later: the DLL search, the controls, Form1.
#include <windows.h>

#include <commctrl.h>

#include "app/form1.h"
#include "platform/win32/platform_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // Before anything can load a DLL: the program often runs elevated from a download folder.
  mojifix::restrictDllSearch();

  // Registers the version 6 control classes that the manifest selects.
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  return mojifix::runForm1(showCommand);
}
