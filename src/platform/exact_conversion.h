// The rule that keeps a name from leading to another file when it changes encoding.
// Decoded bytes count only when encoding the result gives back the very same bytes. Portable, so
// that the rule is tested natively with a table standing in for a code page.
#ifndef MOJIFIX_PLATFORM_EXACT_CONVERSION_H
#define MOJIFIX_PLATFORM_EXACT_CONVERSION_H

#include <string_view>

namespace mojifix {

// `decode` and `encode` return std::optional results, empty when they fail.
template <typename Decode, typename Encode>
auto decodeExactly(std::string_view bytes, Decode decode, Encode encode) {
  auto text = decode(bytes);
  if (text) {
    const auto back = encode(*text);
    if (!back || *back != bytes) text.reset();
  }
  return text;
}

}  // namespace mojifix

#endif
