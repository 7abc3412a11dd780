#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/test_util.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace zk::platform {
namespace {

#ifndef _WIN32
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
#endif

std::string Hex(std::string_view bytes) {
  std::string out;
  char two[3];
  for (char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(c));
    out += two;
  }
  return out;
}

std::string CodePoints(const std::string& utf8) {
  std::string out;
  char hex[8];
  for (std::size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(c));
    out += (out.empty() ? "" : " ") + std::string(hex);
    i += n;
  }
  return out;
}

std::string Utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// The whole code page as this build reads and writes it: every byte and pair that reads as a
// character ("D bytes code point"), and every character of the Basic Multilingual Plane above
// ASCII that is written ("E code point bytes").
std::string CodePageTable() {
  std::ostringstream table;
  auto isLead = [](int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  for (int first = 0x80; first <= 0xFF; ++first) {
    if (!isLead(first)) {
      std::string one(1, static_cast<char>(first));
      if (auto text = FromCp932(one)) table << "D " << Hex(one) << " " << CodePoints(*text) << "\n";
      continue;
    }
    for (int second = 0x40; second <= 0xFC; ++second) {
      std::string two{static_cast<char>(first), static_cast<char>(second)};
      if (auto text = FromCp932(two)) table << "D " << Hex(two) << " " << CodePoints(*text) << "\n";
    }
  }
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (auto bytes = ToCp932(Utf8Of(c))) table << "E " << CodePoints(Utf8Of(c)) << " " << Hex(*bytes) << "\n";
  }
  return table.str();
}

// Both builds, over glibc's converter and over Windows' code page 932, read and write the code
// page exactly as the table of the Linux build holds it. ZK_WRITE_CP932_TABLE=1 writes the table.
TEST(Cp932, BothBuildsReadAndWriteTheSameTable) {
  const std::string fixture = ZK_FIXTURES "/cp932/table.txt";
  std::string actual = CodePageTable();
  if (platform::Environment("ZK_WRITE_CP932_TABLE")) {
    std::FILE* out = std::fopen(fixture.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(actual.data(), 1, actual.size(), out);
    std::fclose(out);
  }
  std::string expected = test::ReadBytes(fixture);
  ASSERT_FALSE(expected.empty()) << fixture;
  if (actual == expected) return;
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  std::vector<std::string> want = lines(expected), got = lines(actual);
  int shown = 0;
  for (std::size_t i = 0; i < std::max(want.size(), got.size()) && shown < 20; ++i) {
    std::string a = i < want.size() ? want[i] : "", b = i < got.size() ? got[i] : "";
    if (a != b && ++shown) ADD_FAILURE() << "line " << i + 1 << ": table \"" << a << "\", this build \"" << b << "\"";
  }
  FAIL() << "the code page differs from the table";
}

// Where glibc and Windows differ, the decided behaviour.
TEST(Cp932, DivergencesOfTheTwoConvertersPinned) {
  for (const char* refused : {"\x80", "\xa0", "\xfd", "\xfe", "\xff"}) {
    EXPECT_EQ(FromCp932(refused), std::nullopt) << Hex(refused);
    EXPECT_EQ(FirstInvalidCp932(std::string("ab") + refused), 2u) << Hex(refused);
  }
  const std::pair<const char*, const char*> written[] = {
      {"\u00a2", "\x81\x91"},
      {"\u00a3", "\x81\x92"},
      {"\u00a5", "\x5c"},
      {"\u00ac", "\x81\xca"},
      {"\u2014", "\x81\x5c"},
      {"\u2016", "\x81\x61"},
      {"\u203e", "\x7e"},
      {"\u2212", "\x81\x7c"},
      {"\u301c", "\x81\x60"},
      {"a\u301cb",
       "a\x81\x60"
       "b"},
  };
  for (const auto& [utf8, cp932] : written) EXPECT_EQ(ToCp932(utf8), cp932) << CodePoints(utf8);
  for (const char* refused : {"\u0080", "\uf8f0", "\uf8f1", "\uf8f2", "\uf8f3", "\ufffd", "\xff"})
    EXPECT_EQ(ToCp932(refused), std::nullopt) << Hex(refused);
  // What the pinned characters read back as: the code page's own characters.
  EXPECT_EQ(FromCp932("\x81\x60"), "\uff5e");
  EXPECT_EQ(FromCp932("\x81\x5c"), "\u2015");
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

// An encoder that remembers names gives what a fresh conversion gives, also once it has
// forgotten them to keep its memory small.
TEST(Cp932, EncoderRemembersNamesAndWritesThemAlike) {
  Cp932Encoder encoder;
  const std::string text = "\"砂質土\",\"東京\",\"砂質土\"\r\n";
  EXPECT_EQ(encoder.Encode(text), ToCp932(text));
  EXPECT_EQ(encoder.Encode(text), ToCp932(text));
  std::string many;
  const char* kanji[] = {"東", "京", "砂", "礫", "粘", "土", "質", "混", "岩", "①"};
  for (int i = 0; i < 5000; ++i)  // more different runs than it keeps
    many += std::string(kanji[i % 10]) + kanji[i / 10 % 10] + kanji[i / 100 % 10] + kanji[i / 1000] + ",";
  EXPECT_EQ(encoder.Encode(many), ToCp932(many));
  EXPECT_EQ(encoder.Encode(text), ToCp932(text));
  EXPECT_EQ(encoder.Encode("\xf0\x9f\x98\x80"), std::nullopt);
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
