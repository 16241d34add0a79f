// The text edge of the build for Windows 95/98/Me: the ANSI code page (932 on a Japanese system)
// and the A functions.
#include <climits>
#include <cstddef>
#include <cstring>

#include "platform/exact_conversion.h"
#include "platform/win32_edge.h"
#include "platform/win32_text.h"

namespace mojifix::edge {
namespace {

std::optional<std::string> wideToAnsi(std::wstring_view text, bool exact) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr,
                                         exact ? &usedDefault : nullptr);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

std::optional<std::wstring> ansiToWide(std::string_view text, bool exact) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const DWORD flags = exact ? MB_ERR_INVALID_CHARS : 0;
  const int length = MultiByteToWideChar(CP_ACP, flags, text.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, flags, text.data(), size, wide.data(), length);
  return wide;
}

// Texts to show: a character that the code page lacks is shown as its nearest or default one.
std::string shown(const std::string& text) { return toAnsi(text, false).value_or(std::string()); }

}  // namespace

// Ill-formed UTF-8 arrives as U+FFFD, which code page 932 lacks.
std::optional<std::string> toAnsi(std::string_view utf8, bool exact) {
  return wideToAnsi(toUtf16(utf8), exact);
}

std::optional<std::string> fromAnsi(std::string_view ansi, bool exact) {
  const auto decode = [exact](std::string_view bytes) { return ansiToWide(bytes, exact); };
  const auto encode = [](const std::wstring& wide) { return wideToAnsi(wide, true); };
  const auto wide = exact ? decodeExactly(ansi, decode, encode) : decode(ansi);
  if (!wide) return std::nullopt;
  return toUtf8(*wide);
}

ATOM registerWindowClass(WNDCLASSEXA& windowClass, const char* name) {
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass);
}

HWND createWindow(DWORD exStyle, const char* windowClass, const std::string& text, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                  void* parameter) {
  return CreateWindowExA(exStyle, windowClass, shown(text).c_str(), style, x, y, width, height,
                         parent, menu, instance, parameter);
}

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return fromAnsi(text, false).value_or(std::string());
}

void setWindowText(HWND window, const std::string& text) {
  SetWindowTextA(window, shown(text).c_str());
}

int messageBox(HWND owner, const std::string& prompt, const std::string& title, UINT style) {
  return MessageBoxA(owner, shown(prompt).c_str(), shown(title).c_str(), style);
}

std::string environmentVariable(const std::string& name) {
  // From the whole block, as GetEnvironmentVariableA under Wine cuts a double-byte value short.
  // Names are ASCII, and match in either letter case; an entry that ends sooner stops at its NUL.
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  const auto named = [&](const char* entry) {
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (upper(entry[i]) != upper(name[i])) return false;
    }
    return entry[name.size()] == '=';
  };
  char* block = GetEnvironmentStringsA();
  std::string value;
  for (const char* entry = block; entry && *entry; entry += std::strlen(entry) + 1) {
    if (named(entry)) {
      value = entry + name.size() + 1;
      break;
    }
  }
  if (block) FreeEnvironmentStringsA(block);
  // Code page 932 gives some characters two byte pairs (the NEC and IBM extensions): a value that
  // Unicode would give back otherwise names another directory, so it is taken for none, and the
  // operation ends before any file is opened.
  return fromAnsi(value, true).value_or(std::string());
}

HMODULE moduleHandle(const char* name) { return GetModuleHandleA(name); }

HFONT createMessageFont(UINT dpi, UINT systemDpi) {
  // The structure as Windows 98 knows it, without iPaddedBorderWidth, or the call fails there.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(metrics.lfMessageFont);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return nullptr;
  metrics.lfMessageFont.lfHeight =
      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
  return CreateFontIndirectA(&metrics.lfMessageFont);
}

}  // namespace mojifix::edge
