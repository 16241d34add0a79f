// The USER32 functions whose Windows 95 behaviour the model keeps. Each rule names the
// documentation it follows; ExitWindowsEx never reaches Wine's, which would end every program of
// the Wine prefix.
#include <cstddef>

#include "model.h"

namespace {

struct Asking {
  DWORD process;
  LPARAM reason;
  bool refused;
};

BOOL CALLBACK askWindow(HWND window, LPARAM parameter) {
  auto& asking = *reinterpret_cast<Asking*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == asking.process && !SendMessageA(window, WM_QUERYENDSESSION, 0, asking.reason)) {
    asking.refused = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

// MSDN Library, ExitWindowsEx: the flags EWX_FORCE, EWX_LOGOFF, EWX_POWEROFF, EWX_REBOOT and
// EWX_SHUTDOWN (EWX_FORCEIFHUNG is Windows 2000's), dwReserved ignored. The Win16 and Windows 95
// documentation of ExitWindows: the system sends WM_QUERYENDSESSION to every application and
// returns FALSE when one answers FALSE; Windows 95 ends the applications only once all have agreed.
// The model asks the calling process's top-level windows, records the outcome and ends nothing.
extern "C" BOOL WINAPI win95ExitWindowsEx(UINT flags, DWORD) {
  constexpr UINT kDocumented = EWX_LOGOFF | EWX_SHUTDOWN | EWX_REBOOT | EWX_FORCE | EWX_POWEROFF;
  if (flags & ~kDocumented) {
    return static_cast<BOOL>(win95::refuse(ERROR_INVALID_PARAMETER,
                                           "ExitWindowsEx(0x%x): a flag of later systems", flags));
  }
  // EWX_LOGOFF is 0: a logoff is a call without the three flags that end Windows.
  const bool logoff = (flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) == 0;
  Asking asking{GetCurrentProcessId(), logoff ? static_cast<LPARAM>(ENDSESSION_LOGOFF) : 0, false};
  EnumWindows(askWindow, reinterpret_cast<LPARAM>(&asking));
  win95::record("ExitWindowsEx(0x%x): %s", flags,
                asking.refused ? "a window refused" : "every window agreed");
  return asking.refused ? FALSE : TRUE;
}

// MSDN Library, SystemParametersInfo, SPI_GETNONCLIENTMETRICS: "Set the cbSize member of this
// structure and the uiParam parameter to sizeof(NONCLIENTMETRICS)", the size that Windows 95
// knows, without the iPaddedBorderWidth that Windows Vista added; any other size fails there.
extern "C" BOOL WINAPI win95SystemParametersInfoA(UINT action, UINT number, PVOID data,
                                                  UINT update) {
  constexpr UINT kMetricsSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  if (action == SPI_GETNONCLIENTMETRICS &&
      (number != kMetricsSize || !data ||
       static_cast<const NONCLIENTMETRICSA*>(data)->cbSize != kMetricsSize)) {
    return static_cast<BOOL>(
        win95::refuse(ERROR_INVALID_PARAMETER,
                      "SystemParametersInfoA(SPI_GETNONCLIENTMETRICS): size %u", number));
  }
  return SystemParametersInfoA(action, number, data, update);
}
