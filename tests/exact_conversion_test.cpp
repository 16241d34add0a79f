// The rule that keeps a name itself across code pages, over a code page in miniature: the bytes
// A1 and A2 both decode to one character, which encodes as A1 (as code page 932 does with the NEC
// and IBM pairs), and B1 has no character at all.
#include "platform/exact_conversion.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace mojifix {
namespace {

const std::map<char, char> kDecode = {{'a', 'a'}, {'\xa1', 'X'}, {'\xa2', 'X'}};
const std::map<char, char> kEncode = {{'a', 'a'}, {'X', '\xa1'}};

std::optional<std::string> through(const std::map<char, char>& table, std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto found = table.find(c);
    if (found == table.end()) return std::nullopt;
    out += found->second;
  }
  return out;
}

TEST(ExactConversion, TakesOnlyBytesThatComeBackTheSame) {
  const auto decode = [](std::string_view bytes) { return through(kDecode, bytes); };
  const auto encode = [](const std::string& text) { return through(kEncode, text); };
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"", ""},
      {"aa", "aa"},
      {"a\xa1", "aX"},
      {"a\xa2", std::nullopt},  // decodes, but names another file on the way back
      {"a\xb1", std::nullopt},  // does not decode
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(decodeExactly(bytes, decode, encode), text) << bytes;
  }
}

// The program's own UTF-8 converter, which Windows 95 needs: each maximal ill-formed part of
// UTF-8, and each lone surrogate, becomes one U+FFFD, as the converters of later Windows do.
TEST(Utf8, ConvertsBothWaysAndReplacesWhatIsIllFormed) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"a\xe6\x97\xa5\xf0\x9f\x98\x80\xc3\xa9", u"a\u65e5\U0001F600\u00e9"},
      {"\xc0\xaf|\xe0\x80|\xed\xa0\x80|\xf4\x90|\xe6\x97|\xff",
       u"\xfffd\xfffd|\xfffd\xfffd|"
       u"\xfffd\xfffd\xfffd|\xfffd\xfffd|\xfffd|\xfffd"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
  EXPECT_EQ(utf16ToUtf8(cases[0].utf16), cases[0].utf8);
  EXPECT_EQ(utf16ToUtf8(std::u16string{0xd800, u'a', 0xdc00}),
            "\xef\xbf\xbd"
            "a\xef\xbf\xbd");
}

}  // namespace
}  // namespace mojifix
