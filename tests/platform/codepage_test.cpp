#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <tuple>

namespace zk::platform {
namespace {

// glibc's converter asked about one character alone: the reference the decoding follows.
std::optional<std::string> AskConverter(const std::string& cp932) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  char out[16];
  char* src = const_cast<char*>(cp932.data());
  char* dst = out;
  std::size_t left = cp932.size(), room = sizeof out;
  std::size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || left != 0) return std::nullopt;
  return std::string(out, sizeof out - room);
}

// Every byte and every pair of a lead byte with any second byte decodes as the converter reads it.
TEST(Cp932, EveryCharacterDecodesAsTheConverterReadsIt) {
  auto isLead = [](int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  int differences = 0;
  for (int first = 0x80; first <= 0xFF; ++first) {
    if (!isLead(first)) {
      std::string one(1, static_cast<char>(first));
      EXPECT_EQ(FromCp932(one), AskConverter(one)) << std::hex << first;
      continue;
    }
    for (int second = 0x00; second <= 0xFF; ++second) {
      std::string two{static_cast<char>(first), static_cast<char>(second)};
      auto expected = AskConverter(two);
      if (expected && expected->size() > 3) expected.reset();  // a 4-byte character counts as none
      if (FromCp932(two) != expected && ++differences <= 10) ADD_FAILURE() << std::hex << first << " " << second;
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(Cp932, TextBothWays) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "abc"},     {"\x93\x8c\x8b\x9e", "東京"},
      {"\xb1\xb2", "ｱｲ"}, {"C:\\DATA", "C:\\DATA"},  // 0x5C is the backslash, not the yen sign
      {"\x87\x40", "①"},
  };
  for (const auto& [cp932, utf8] : cases) {
    EXPECT_EQ(FromCp932(cp932), utf8);
    EXPECT_EQ(ToCp932(utf8), cp932);
  }
  EXPECT_EQ(FromCp932("\x93"), std::nullopt);  // a lead byte cut off
  EXPECT_EQ(FromCp932("\x85\x40"), std::nullopt);
  EXPECT_EQ(ToCp932("\xf0\x9f\x98\x80"), std::nullopt);  // no CP932 form
  EXPECT_EQ(FirstInvalidCp932("ab\x93\x8c\x85\x40"), 4u);
}

TEST(Cp932, FirstNonAscii) {
  const std::string longAscii(20, 'a');
  const std::tuple<std::string, std::size_t, std::size_t> cases[] = {
      {"", 0, 0},
      {"abc", 0, 3},
      {"ab\x93\x8c", 0, 2},
      {longAscii + "\xb1", 0, 20},
      {longAscii + "\xb1", 21, 21},
      {"\x93" + longAscii + "\x93", 1, 21},
  };
  for (const auto& [text, from, expected] : cases) EXPECT_EQ(FirstNonAscii(text, from), expected) << text.size();
}

}  // namespace
}  // namespace zk::platform
