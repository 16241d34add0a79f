// The rule that keeps a name itself across code pages, over a code page in miniature: the bytes
// A1 and A2 both decode to one character, which encodes as A1 (as code page 932 does with the NEC
// and IBM pairs), and B1 has no character at all.
#include "platform/exact_conversion.h"

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

}  // namespace
}  // namespace mojifix
