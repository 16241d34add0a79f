// The UTF-16 text edge of the builds for Windows 7 and later, and their DPI-aware font.
#include "platform/win32/edge.h"

namespace mojifix::edge {

std::optional<std::wstring> toSystem(std::string_view utf8, bool) { return toUtf16(utf8); }

std::optional<std::string> fromSystem(const std::wstring& text, bool) { return toUtf8(text); }

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

HFONT createMessageFont(UINT dpi, UINT systemDpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  // From Windows 10 1607 on.
  using ForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  const auto forDpi = systemFunction<ForDpiFunction>("user32.dll", "SystemParametersInfoForDpi");
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
