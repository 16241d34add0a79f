// Conversion between the program's UTF-8 strings and the UTF-16 that the Win32 W functions take,
// by the program's own converters, which every Windows build shares (Windows 95 has none for
// UTF-8). wchar_t is UTF-16 on Windows.
#ifndef MOJIFIX_PLATFORM_WIN32_TEXT_H
#define MOJIFIX_PLATFORM_WIN32_TEXT_H

#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace mojifix {

inline std::wstring toUtf16(std::string_view text) {
  const std::u16string wide = utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string toUtf8(std::wstring_view text) {
  return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace mojifix

#endif
