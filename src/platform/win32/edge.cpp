// The text edge over the generic Win32 names, which UNICODE maps to the W or the A functions.
#include <cstddef>
#include <string>

#include "platform/win32/edge.h"

namespace mojifix::edge {

using Text = std::basic_string<TCHAR>;

// Each build's own: UTF-8 to the system's text and back; with `exact`, nullopt, not a changed text.
std::optional<Text> toSystem(std::string_view utf8, bool exact);
std::optional<std::string> fromSystem(const Text& text, bool exact);

namespace {

Text shown(std::string_view text) { return toSystem(text, false).value_or(Text()); }

}  // namespace

HWND createWindow(DWORD exStyle, const char* windowClass, const std::string& text, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                  void* parameter) {
  return CreateWindowEx(exStyle, shown(windowClass).c_str(), shown(text).c_str(), style, x, y,
                        width, height, parent, menu, instance, parameter);
}

std::string windowText(HWND window) {
  const int length = GetWindowTextLength(window);
  if (length <= 0) return {};
  Text text(static_cast<std::size_t>(length) + 1, 0);
  const int copied = GetWindowText(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return fromSystem(text, false).value_or(std::string());
}

void setWindowText(HWND window, const std::string& text) {
  SetWindowText(window, shown(text).c_str());
}

int messageBox(HWND owner, const std::string& prompt, const std::string& title, UINT style) {
  return MessageBox(owner, shown(prompt).c_str(), shown(title).c_str(), style);
}

HMODULE moduleHandle(const char* name) {
  return GetModuleHandle(name ? shown(name).c_str() : nullptr);
}

}  // namespace mojifix::edge
