// The Win32 calls that carry text, in the program's UTF-8, whichever way each build converts it.
// Nothing declared here depends on UNICODE: the 9x build's tests include it with UNICODE set.
#ifndef MOJIFIX_PLATFORM_WIN32_EDGE_H
#define MOJIFIX_PLATFORM_WIN32_EDGE_H

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace mojifix {

// UTF-8 to and from the UTF-16 that the W functions take (wchar_t is UTF-16 on Windows).
inline std::wstring toUtf16(std::string_view text) {
  const std::u16string wide = utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string toUtf8(std::wstring_view text) {
  return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

namespace edge {

HWND createWindow(DWORD exStyle, const char* windowClass, const std::string& text, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                  void* parameter);
std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);
int messageBox(HWND owner, const std::string& prompt, const std::string& title, UINT style);
// Empty when unset, or (ANSI build) when its bytes do not come back the same from Unicode.
std::string environmentVariable(const std::string& name);
// A loaded module by name; the executable itself for nullptr.
HMODULE moduleHandle(const char* name);

// A function that a loaded system DLL may have, looked up by name so that the program still starts
// where it has not; nullptr there.
template <typename Function>
Function systemFunction(const char* module, const char* name) {
  const FARPROC address = GetProcAddress(moduleHandle(module), name);
  // Through void (*)(), the one conversion of function pointers that GCC takes without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
// The message-box font at `dpi` (the system's metrics are at `systemDpi`); nullptr if unknown.
HFONT createMessageFont(UINT dpi, UINT systemDpi);

// The ANSI build only: UTF-8 to and from the ANSI code page. With `exact` they fail rather than
// change a name: no best-fit or default character, and only bytes that come back the same from
// Unicode (code page 932 has pairs that Unicode merges, the NEC and IBM extensions).
std::optional<std::string> toAnsi(std::string_view utf8, bool exact);
std::optional<std::string> fromAnsi(std::string_view ansi, bool exact);

}  // namespace edge
}  // namespace mojifix

#endif
