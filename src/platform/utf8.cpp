// The UTF-8 and UTF-16 converters.
#include "platform/utf8.h"

namespace mojifix {

std::u16string utf8ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    // The length that the lead byte starts (0: none), and the range for the next byte that keeps
    // out overlong forms, surrogates and code points past U+10FFFF.
    const int length = lead < 0x80   ? 1
                       : lead < 0xC2 ? 0
                       : lead < 0xE0 ? 2
                       : lead < 0xF0 ? 3
                       : lead < 0xF5 ? 4
                                     : 0;
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    char32_t code = lead & (0x7F >> (length > 1 ? length : 0));
    int taken = 1;
    for (; taken < length && i < text.size(); ++taken, ++i, low = 0x80, high = 0xBF) {
      const auto next = static_cast<unsigned char>(text[i]);
      if (next < low || next > high) break;
      code = (code << 6) | (next & 0x3F);
    }
    if (length == 0 || taken < length) code = 0xFFFD;
    if (code >= 0x10000) {
      wide += static_cast<char16_t>(0xD7C0 + (code >> 10));
      code = 0xDC00 + (code & 0x3FF);
    }
    wide += static_cast<char16_t>(code);
  }
  return wide;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    const int length = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    narrow += static_cast<char>((length == 1 ? 0 : 0xF00 >> length) | (code >> (6 * (length - 1))));
    for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
      narrow += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
    }
  }
  return narrow;
}

}  // namespace mojifix
