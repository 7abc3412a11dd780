#include "writers/formatters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "tables/numbers.h"

namespace zk::QXCOMSUB {
namespace {

TEST(FormatFixedPoint, CutsAndPads) {
  struct Case {
    const char* text;
    int intDigits;
    int decDigits;
    const char* expected;
  };
  const Case cases[] = {
      {"12.345", 3, 2, "012.34"},
      {"7", 1, 3, "7.000"},
      {"1234.5", 3, 1, "234.5"},  // integer digits lost from the left
      {"abc", 3, 2, "000.00"},    // no number reads as 0
      {"-1.5", 3, 2, "0-1.50"},   // the minus is one of the integer characters
      {"-0.25", 2, 2, "-0.25"},
      {"123456.789", 5, 2, "23456.78"},
      {"999.95", 3, 1, "999.9"},  // cut, not rounded
      {"0.19999", 1, 2, "0.19"},
      {"0.1", 1, 2, "0.10"},
      {" 12 ", 3, 2, "012.00"},
      {"12.5abc", 3, 2, "012.50"},
      {"", 3, 2, ""},
      {"   ", 3, 2, ""},
      {"\t", 3, 2, ""},
      // Small and large values are split in their plain decimal form, never in exponent form.
      {"0.00005", 1, 3, "0.000"},
      {"0.00005", 1, 5, "0.00005"},
      {"1.5E-05", 2, 6, "00.000015"},
      {"1E+20", 3, 1, "000.0"},
      {"1e400", 3, 2, "000.00"},  // beyond the double range reads as 0
      // At most 15 significant digits: the binary noise of 0.1 + 0.2 is not written.
      {"0.30000000000000004", 1, 17, "0.30000000000000000"},
      {"123456789.123456789", 9, 9, "123456789.123457000"},
      // The sign is cut first, with the digits on the left.
      {"-1234.5", 3, 1, "234.5"},
      {"-12", 2, 1, "12.0"},
      {"-12", 0, 1, ".0"},
      {"0012.50", 2, 1, "12.5"},
      {"-0.00", 2, 1, "00.0"},  // zero has no sign
      {"-1E+20", 3, 1, "000.0"},
      {"-1.5E-05", 2, 6, "-0.000015"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFixedPoint(c.text, c.intDigits, c.decDigits), c.expected)
        << c.text << " " << c.intDigits << "." << c.decDigits;
}

TEST(PlainDecimalText, FifteenDigitsWithoutExponent) {
  const std::pair<double, const char*> cases[] = {
      {0.00005, "0.00005"},
      {1e20, "100000000000000000000"},
      {-12.5, "-12.5"},
      {0.0, "0"},
      {-0.0, "0"},
      {100, "100"},
      {1.5, "1.5"},
      {123456789012345678.0, "123456789012346000"},
      {1.5e-10, "0.00000000015"},
      {0.1 + 0.2, "0.3"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(PlainDecimalText(value), expected) << value;
}

TEST(FormatDegreesMinutes, FoldsAndSplits) {
  const std::pair<const char*, const char*> cases[] = {
      {"25.5", "2530"},
      {"25.15", "2509"},  // 0.0099 lifts 8.99997 minutes to 9
      {"100", "1000"},
      {"0.25", "0015"},
      {"90", "9000"},   // 90 itself is not folded
      {"180", "9000"},  // 180 - 90 = 90 stops the fold
      {"35.5", "3530"},
      {"120", "3000"},
      {"270.5", "0030"},
      {"abc", "0000"},
      {"", ""},
      {"  ", ""},
      // Just below a whole degree the minutes would reach 60: that is the next degree.
      {"25.99999", "2600"},
      {"89.9999", "9000"},
      // Beyond 2^31 taking off 90 no longer changes a single-precision value: the fold stops.
      {"3e9", "0000"},
      {"1e39", "0000"},  // beyond the single range: 0
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(FormatDegreesMinutes(text), expected) << text;
}

// The fold as the plain loop does it, one single-precision subtraction at a time.
std::string PlainLoopDegreesMinutes(float v) {
  while (v > 90.0f) {
    float next = v - 90.0f;
    if (next == v) break;
    v = next;
  }
  double d = std::trunc(static_cast<double>(v));
  double m = std::trunc((static_cast<double>(v) - d) * 60 + 0.0099);
  if (m >= 60) {
    m -= 60;
    d += 1;
  }
  return ZeroPad(IntText(d), 2) + ZeroPad(IntText(m), 2);
}

TEST(FormatDegreesMinutes, HugeAnglesFoldLikeThePlainLoop) {
  // Every binary order of magnitude from 2^24 to 2^31 rounds the step of 90 differently.
  const float values[] = {16777217.0f, 33554433.0f, 67108869.0f, 123456789.0f, 268435459.0f, 536870917.0f,
                          1073741953.0f, 2147483000.0f, 1e8f, 5000.123f, 1e6f + 0.5f,
                          // near the edges of the orders, where the step changes
                          16777486.0f, 33554430.0f, 67108868.0f, 134217736.0f, 268435440.0f, 536870944.0f,
                          1073741952.0f, 2147483520.0f, 8388607.5f, 134217812.0f};
  for (float v : values) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));  // the exact single value
    EXPECT_EQ(FormatDegreesMinutes(text), PlainLoopDegreesMinutes(v)) << text;
  }
}

TEST(FormatExponent, WidthsThreeAndTwo) {
  const std::pair<float, const char*> cases[] = {
      {0.00123f, "1.23E-03"},
      {12.345f, "1.23E+01"},
      {5.0f, "5.00E+00"},
      {100.0f, "1.00E+02"},
      {1234567.0f, "1.23E+06"},
      {12345678.0f, "1.23E+07"},  // "1.234568E+07": its own mantissa, cut
      {1.234568e-05f, "1.23E-05"},
      {1.239e-05f, "1.23E-05"},  // cut, not rounded
      {1.5e-05f, "1.5E-05"},     // not filled up with zeros
      {1e-05f, "1E-05"},
      {2.5e-05f, "2.5E-05"},
      {0.015f, "1.50E-02"},
      {0.0001f, "1.00E-04"},
      {0.0f, "0.00E+00"},
      {-0.0f, "0.00E+00"},
      {std::numeric_limits<float>::max(), "3.40E+38"},
      // Rounding into one more digit moves the exponent so the value stays right.
      {9.999f, "1.00E+01"},
      {0.009999f, "1.00E-02"},
      {0.9999f, "1.00E+00"},
      {99.96f, "1.00E+02"},
      // Negative values: a minus and the form of the absolute value.
      {-0.00123f, "-1.23E-03"},
      {-12.345f, "-1.23E+01"},
      {-1.5e-05f, "-1.5E-05"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(FormatExponent(value, 3, 2), expected) << value;
}

TEST(FormatExponent, OtherWidths) {
  struct Case {
    float value;
    int digits;
    int expDigits;
    const char* expected;
  };
  const Case cases[] = {
      {0.0456f, 2, 1, "4.6E-2"},     {0.00456f, 2, 1, "4.6E-3"},   {0.0f, 2, 1, "0.0E+0"},
      {0.125f, 2, 1, "1.2E-1"},  // an exact half goes to the even neighbour
      {0.375f, 2, 1, "3.8E-1"},      {1.5e-05f, 2, 1, "1.5E-5"},   {1.5e-05f, 1, 2, "1E-05"},  // one digit: no point
      {1.0f, 1, 2, "1E+00"},         {0.5f, 1, 1, "5E-1"},         {123.456f, 6, 2, "1.23456E+02"},
      {0.00123f, 3, 3, "1.23E-003"}, {1.5e-05f, 3, 3, "1.5E-005"}, {12.0f, 7, 2, ""},  // more than 6 digits
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatExponent(c.value, c.digits, c.expDigits), c.expected)
        << c.value << " " << c.digits << "/" << c.expDigits;
}

TEST(IsBlankText, SpacesAndTabsOnly) {
  EXPECT_TRUE(IsBlankText(""));
  EXPECT_TRUE(IsBlankText(" \t "));
  EXPECT_FALSE(IsBlankText(" 0 "));
  EXPECT_FALSE(IsBlankText("　"));  // a full-width space is text
}

}  // namespace
}  // namespace zk::QXCOMSUB

namespace zk::QXCOMSUB {
namespace {

TEST(ShortDecimalText, AgreesWithTheWayThroughTheDouble) {
  const char* agreeing[] = {"12.345",
                            "007.50",
                            "-0.0",
                            "+5",
                            ".5",
                            "5.",
                            "0.05",
                            "100",
                            "12.5m",
                            " \t3.14",
                            "123456789012345",
                            "0.000000000000001",
                            "-2.5e",
                            "1e+x"};
  for (const char* text : agreeing) {
    auto fast = ShortDecimalText(text);
    ASSERT_TRUE(fast.has_value()) << text;
    EXPECT_EQ(*fast, PlainDecimalText(ParseNumber(text))) << text;
  }
  // Left to the double: exponents, 16 digits and more, no number at all.
  for (const std::string& text : {std::string("1.5E-05"), std::string("1e3"), std::string("1234567890123456"),
                                  std::string("abc"), std::string(), "0." + std::string(40, '0') + "1"})
    EXPECT_FALSE(ShortDecimalText(text).has_value()) << text;
}

}  // namespace
}  // namespace zk::QXCOMSUB
