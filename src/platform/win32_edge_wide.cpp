// The text edge of the builds for Windows 7 and later: UTF-16 and the W functions.
#include <cstddef>

#include "platform/win32_edge.h"
#include "platform/win32_text.h"

namespace mojifix::edge {

ATOM registerWindowClass(WNDCLASSEXW& windowClass, const char* name) {
  const std::wstring wide = toUtf16(name);
  windowClass.lpszClassName = wide.c_str();
  return RegisterClassExW(&windowClass);
}

HWND createWindow(DWORD exStyle, const char* windowClass, const std::string& text, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                  void* parameter) {
  return CreateWindowExW(exStyle, toUtf16(windowClass).c_str(), toUtf16(text).c_str(), style, x, y,
                         width, height, parent, menu, instance, parameter);
}

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return toUtf8(text);
}

void setWindowText(HWND window, const std::string& text) {
  SetWindowTextW(window, toUtf16(text).c_str());
}

int messageBox(HWND owner, const std::string& prompt, const std::string& title, UINT style) {
  return MessageBoxW(owner, toUtf16(prompt).c_str(), toUtf16(title).c_str(), style);
}

std::string environmentVariable(const std::string& name) {
  const std::wstring wideName = toUtf16(name);
  std::wstring value(256, L'\0');
  // The variable may grow between the two calls, hence a loop.
  for (;;) {
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return toUtf8(value);
    }
    value.resize(length);  // the size asked for, terminator included
  }
}

HMODULE moduleHandle(const char* name) {
  return GetModuleHandleW(name ? toUtf16(name).c_str() : nullptr);
}

HFONT createMessageFont(UINT dpi, UINT systemDpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  // From Windows 10 1607 on, looked up so that the program still starts on Windows 7; through
  // void (*)(), the one conversion of function pointers that GCC takes without a warning.
  using ForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  const auto forDpi = reinterpret_cast<ForDpiFunction>(reinterpret_cast<void (*)()>(
      GetProcAddress(moduleHandle("user32.dll"), "SystemParametersInfoForDpi")));
  if (forDpi) {
    if (!forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) return nullptr;
  } else {
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      return nullptr;
    }
    // Without the DPI-aware call the metrics are for the system DPI.
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace mojifix::edge
