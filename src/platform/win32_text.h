// Conversion between the program's UTF-8 strings and the UTF-16 that the Win32 W functions take.
//
// Invalid input does not fail: ill-formed UTF-8 or a lone surrogate becomes U+FFFD, so a path or
// prompt always reaches the system, if in a damaged form.
#ifndef MOJIFIX_PLATFORM_WIN32_TEXT_H
#define MOJIFIX_PLATFORM_WIN32_TEXT_H

#include <string>
#include <string_view>

namespace mojifix {

std::wstring toUtf16(std::string_view text);
std::string toUtf8(std::wstring_view text);

}  // namespace mojifix

#endif
