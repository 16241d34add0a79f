// UTF-8 and UTF-16 converted by the program itself, since Windows 95 has no UTF-8 converter.
// Ill-formed input does not fail: each maximal ill-formed part of UTF-8, and each lone surrogate,
// becomes U+FFFD, as the converters of Windows Vista and later do.
#ifndef MOJIFIX_PLATFORM_UTF8_H
#define MOJIFIX_PLATFORM_UTF8_H

#include <string>
#include <string_view>

namespace mojifix {

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace mojifix

#endif
