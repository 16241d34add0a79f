// The ANSI text edge of the build for Windows 95/98/Me (code page 932 on a Japanese system).
#include <climits>
#include <cstddef>
#include <cstring>

#include "platform/exact_conversion.h"
#include "platform/win32/edge.h"

// No conversion flags: Windows 95 rejects those that later systems added (WC_NO_BEST_FIT_CHARS
// among them), so exactness comes from converting back and comparing.
namespace mojifix::edge {
namespace {

std::optional<std::wstring> ansiToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

// A best-fit character (a full-width letter written as its ASCII twin, say) uses no default
// character, but does not come back the same.
std::optional<std::string> wideToAnsi(std::wstring_view text, bool exact) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr,
                                         exact ? &usedDefault : nullptr);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
  if (!exact) return ansi;
  const auto back = ansiToWide(ansi);
  return back && *back == text ? std::optional(ansi) : std::nullopt;
}

}  // namespace

// Ill-formed UTF-8 arrives as U+FFFD, which code page 932 lacks.
std::optional<std::string> toAnsi(std::string_view utf8, bool exact) {
  return wideToAnsi(toUtf16(utf8), exact);
}

std::optional<std::string> fromAnsi(std::string_view ansi, bool exact) {
  const auto decode = [](std::string_view bytes) { return ansiToWide(bytes); };
  const auto encode = [](const std::wstring& wide) { return wideToAnsi(wide, true); };
  const auto wide = exact ? decodeExactly(ansi, decode, encode) : decode(ansi);
  if (!wide) return std::nullopt;
  return toUtf8(*wide);
}

std::optional<std::string> toSystem(std::string_view utf8, bool exact) {
  return toAnsi(utf8, exact);
}

std::optional<std::string> fromSystem(const std::string& text, bool exact) {
  return fromAnsi(text, exact);
}

std::string environmentVariable(const std::string& name) {
  // From the whole block: GetEnvironmentVariableA under Wine cuts a double-byte value short.
  // Names are ASCII and match in either letter case.
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  const auto named = [&](const char* entry) {
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (upper(entry[i]) != upper(name[i])) return false;
    }
    return entry[name.size()] == '=';
  };
  char* block = GetEnvironmentStrings();
  std::string value;
  for (const char* entry = block; entry && *entry; entry += std::strlen(entry) + 1) {
    if (named(entry)) {
      value = entry + name.size() + 1;
      break;
    }
  }
  if (block) FreeEnvironmentStrings(block);
  return fromAnsi(value, true).value_or(std::string());
}

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
