#include "tables/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
