#include "tables/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace zk::QXCOMSUB {
namespace {

TEST(ParseNumber, LeadingNumberOrZero) {
  const std::pair<const char*, double> cases[] = {
      {"12.5m", 12.5},    {"", 0},       {"  7", 7},      {"\t-3.25", -3.25}, {"+4", 4},
      {".5", 0.5},        {"5.", 5},     {"1.2.3", 1.2},  {"1e3", 1000},      {"1E-2", 0.01},
      {"1e", 1},          {"1e+", 1},    {"2.5E+1x", 25}, {"abc", 0},         {"-", 0},
      {".", 0},           {"- 5", 0},    {"0x10", 0},     {"inf", 0},         {"nan", 0},
      {"1e400", 0},       {"-1e400", 0}, {"０１", 0},     {"12,5", 12},       {"3 4", 3},
      {"1e-310", 1e-310}, {"1e-400", 0}, {"+-1", 0},      {"0.1", 0.1},       {"-0", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseNumber(text), value) << text;
  EXPECT_EQ(ParseNumber(std::string(400, '9')), 0);  // beyond the double range
  EXPECT_DOUBLE_EQ(ParseNumber("1" + std::string(300, '0')), 1e300);
}

// Plain decimals are read by a quick way of their own; each must give the very double the
// C library reads, also at 15 and 16 digits, where the quick way gives up, and for -0.
TEST(ParseNumber, PlainDecimalsAsTheLibraryReadsThem) {
  const char* cases[] = {"0.1",
                         "0.3",
                         "2.675",
                         "-1.005",
                         "123456789012345",
                         "1234567890123456",
                         "0.000000000000001",
                         "999999999999999.9",
                         "99999999999999.99",
                         "12345.6789012345",
                         "-0",
                         "-0.0",
                         "+0.7",
                         "000000000000000000012.5",
                         "1.",
                         ".000001",
                         "4503599627370497",
                         "9007199254740993"};
  for (const char* text : cases) {
    double expected = std::strtod(text, nullptr);
    double got = ParseNumber(text);
    EXPECT_EQ(got, expected) << text;
    EXPECT_EQ(std::signbit(got), std::signbit(expected)) << text;
  }
  // Every value of two decimals up to 100 m, as depths are written.
  for (int hundredths = 0; hundredths <= 10000; ++hundredths) {
    std::string text = std::to_string(hundredths / 100) + "." + std::to_string(hundredths % 100 / 10) +
                       std::to_string(hundredths % 10);
    ASSERT_EQ(ParseNumber(text), std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(NumberText, ShortestFormBothPrecisions) {
  const std::pair<double, const char*> doubles[] = {
      {12, "12"},
      {1.5, "1.5"},
      {0, "0"},
      {-0.0, "0"},
      {-2.5, "-2.5"},
      {0.0001, "0.0001"},
      {0.000015, "1.5E-05"},
      {1e15, "1E+15"},
      {123456789012345.0, "123456789012345"},
      {-999999999999999.0, "-999999999999999"},
      {-7, "-7"},
      {0.1 + 0.2, "0.3"},
      {1e100, "1E+100"},
  };
  for (const auto& [value, text] : doubles) EXPECT_EQ(NumberText(value), text) << value;
  EXPECT_EQ(NumberText(std::numeric_limits<double>::infinity()), "0");
  EXPECT_EQ(NumberText(std::nan("")), "0");

  const std::pair<float, const char*> singles[] = {
      {10.7f, "10.7"}, {0.7f, "0.7"}, {1.05f, "1.05"}, {12345678.0f, "1.234568E+07"}, {1.5e-5f, "1.5E-05"},
  };
  for (const auto& [value, text] : singles) EXPECT_EQ(NumberText(value), text) << value;
}

TEST(IntText, TruncatedPlainDecimal) {
  const std::pair<double, const char*> cases[] = {
      {12.9, "12"},
      {-12.9, "-12"},
      {-0.5, "0"},
      {0, "0"},
      {1e20, "100000000000000000000"},
      {9007199254740993.0, "9007199254740992"},
      {-8.9e18, "-8900000000000000000"},
      {std::numeric_limits<double>::infinity(), "0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(IntText(value), text) << value;
  EXPECT_EQ(IntText(1e300).size(), 301u);
}

TEST(ToSingle, OutOfRangeIsZero) {
  EXPECT_EQ(ToSingle(1e39), 0.0f);
  EXPECT_EQ(ToSingle(-1e39), 0.0f);
  EXPECT_EQ(ToSingle(std::nan("")), 0.0f);
  EXPECT_EQ(ToSingle(0.7), 0.7f);
}

TEST(Padding, RightAndZeroPad) {
  EXPECT_EQ(Right("12345", 3), "345");
  EXPECT_EQ(Right("12", 3), "12");
  EXPECT_EQ(Right("東京都", 2), "京都");  // characters, not bytes
  EXPECT_EQ(ZeroPad("5", 3), "005");
  EXPECT_EQ(ZeroPad("5.0", 2), ".0");
  EXPECT_EQ(ZeroPad("", 2), "00");
  EXPECT_EQ(ZeroPad("1234", 3), "234");
  EXPECT_EQ(ZeroPad("-5", 3), "0-5");
  EXPECT_EQ(ZeroPad("５", 3), "00５");  // characters, not bytes
  EXPECT_EQ(Counter3(1), "001");
  EXPECT_EQ(Counter3(1000), "000");
  EXPECT_EQ(Counter3(1234567), "567");
}

}  // namespace
}  // namespace zk::QXCOMSUB
