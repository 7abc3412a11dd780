#include "writers/formatters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/gcc_warnings.h"
#include "tables/numbers.h"

namespace zk::QXCOMSUB {
namespace {

std::string Zeros(int n) { return std::string(n > 0 ? static_cast<std::size_t>(n) : 0, '0'); }

std::string ZeroPadTo(std::string_view text, int n) { return ZeroPad(text, n > 0 ? static_cast<std::size_t>(n) : 0); }

// v - 90 in single precision, again and again while v is above 90. Within one binary order of
// magnitude every step takes off the same amount once two steps did, so such runs are jumped
// over: a huge angle costs a few hundred steps, not millions, with the plain loop's result.
float FoldAngle(float v) {
  double lastStep = 0;
  while (v > 90.0f) {
    float next = v - 90.0f;
    if (next == v) break;  // from 2^31 on, taking off 90 no longer changes a single value
    double step = static_cast<double>(v) - static_cast<double>(next);
    int before = 0;
    int after = 0;
    std::frexp(v, &before);
    std::frexp(next, &after);
    bool sameOrder = before == after;
    // Jumped steps must round within this order: each one starts 90 and a step above its floor.
    double lowestStart = std::ldexp(0.5, after) + 90 + step;
    if (sameOrder && step == lastStep && next > lowestStart) {
      double more = std::floor((static_cast<double>(next) - lowestStart) / step);
      next = static_cast<float>(static_cast<double>(next) - more * step);
    }
    lastStep = sameOrder ? step : 0;
    v = next;
  }
  return v;
}

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
// Mantissa digits as d.ddd: the first digit, then digits - 1 more, zero-filled on the right.
std::string MantissaText(long long mantissa, int digits) {
  std::string all = std::to_string(mantissa);
  if (static_cast<int>(all.size()) < digits) all += Zeros(digits - static_cast<int>(all.size()));
  std::string text = all.substr(0, 1);
  if (digits > 1) text += "." + all.substr(1, static_cast<std::size_t>(digits - 1));
  return text;
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

// value x 10^power rounded to the nearest whole number, a half to the even neighbour.
long long ScaledRound(double value, int power) {
  double scaled = power >= 0 ? value * std::pow(10.0, power) : value / std::pow(10.0, -power);
  return static_cast<long long>(std::nearbyint(scaled));
}

std::string ExponentOfPositive(float value, int digits, int expDigits) {
  std::string t = NumberText(value);
  std::size_t e = t.find('E');
  if (e != std::string::npos) {
    // Already in exponent form: its own mantissa, cut (not rounded, not filled up).
    std::string mantissa = t.substr(0, std::min(e, static_cast<std::size_t>(digits == 1 ? 1 : digits + 1)));
    char sign = e + 1 < t.size() ? t[e + 1] : '+';
    std::string exponent = e + 2 < t.size() ? t.substr(e + 2) : "0";
    return mantissa + "E" + sign + ZeroPadTo(exponent, expDigits);
  }
  std::size_t point = t.find('.');
  bool belowOne = t.rfind("0.", 0) == 0;  // from the text: 0.99999997 prints as 1
  int exponent = 0;
  if (belowOne) {
    std::size_t first = t.find_first_not_of('0', point + 1);
    exponent = static_cast<int>(first - point);
  } else {
    exponent = static_cast<int>(point == std::string::npos ? t.size() : point) - 1;
  }
  int power = belowOne ? digits + exponent - 1 : digits - 1 - exponent;
  long long mantissa = ScaledRound(static_cast<double>(value), power);
  if (std::to_string(mantissa).size() > static_cast<std::size_t>(digits)) {
    // Rounded up into one more digit (9.999 -> 1000): the exponent follows the value.
    mantissa /= 10;
    exponent += belowOne ? -1 : 1;
  }
  char sign = belowOne && exponent > 0 ? '-' : '+';
  return MantissaText(mantissa, digits) + "E" + sign + ZeroPadTo(std::to_string(exponent), expDigits);
}

}  // namespace

bool IsBlankText(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::string PlainDecimalText(double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string printed = buffer;  // d.dddddddddddddde+XX
  std::size_t e = printed.find('e');
  std::string digits = printed.substr(0, 1) + printed.substr(2, e - 2);
  int exponent = std::atoi(printed.c_str() + e + 1);
  digits.erase(digits.find_last_not_of('0') + 1);
  std::string text = value < 0 ? "-" : "";
  if (exponent < 0) return text + "0." + Zeros(-exponent - 1) + digits;
  auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) return text + digits + Zeros(static_cast<int>(whole - digits.size()));
  return text + digits.substr(0, whole) + "." + digits.substr(whole);
}

namespace {

// A plain decimal number text in its parts: the whole digits without leading zeros ("" for
// none), the fraction digits without trailing zeros. Zero has no sign.
struct DecimalParts {
  bool negative = false;
  std::string_view whole, fraction;
};

// The parts of ShortDecimalText, as views of text.
std::optional<DecimalParts> ShortDecimalParts(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  DecimalParts parts;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) parts.negative = text[i++] == '-';
  // The digits before the point and after it, as views of the text.
  auto digitsFrom = [&](std::size_t from) {
    std::size_t to = from;
    while (to < text.size() && text[to] >= '0' && text[to] <= '9') ++to;
    return text.substr(from, to - from);
  };
  std::string_view whole = digitsFrom(i), fraction;
  i += whole.size();
  if (i < text.size() && text[i] == '.') {
    fraction = digitsFrom(i + 1);
    i += 1 + fraction.size();
  }
  if (whole.empty() && fraction.empty()) return std::nullopt;  // no number: the slow path says 0
  if (i + 1 < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (text[j] == '+' || text[j] == '-') ++j;
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') return std::nullopt;  // an exponent
  }
  if (whole.size() + fraction.size() > 30) return std::nullopt;
  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);  // none left when all are 0
  // Significant digits: the whole part has no leading zero left; without one, the fraction's
  // leading zeros are none.
  std::size_t significant = whole.empty() ? fraction.size() - std::min(fraction.find_first_not_of('0'), fraction.size())
                                          : whole.size() + fraction.size();
  if (significant == 0) return DecimalParts{};
  if (significant > 15) return std::nullopt;
  parts.whole = whole;
  parts.fraction = fraction;
  return parts;
}

// The parts of a text PlainDecimalText wrote.
DecimalParts PartsOfPlainText(std::string_view text) {
  DecimalParts parts;
  if (!text.empty() && text[0] == '-') {
    parts.negative = true;
    text.remove_prefix(1);
  }
  std::size_t point = text.find('.');
  parts.whole = text.substr(0, point);
  if (parts.whole == "0") parts.whole = {};
  if (point != std::string_view::npos) parts.fraction = text.substr(point + 1);
  return parts;
}

}  // namespace

std::optional<std::string> ShortDecimalText(std::string_view text) {
  auto parts = ShortDecimalParts(text);
  if (!parts) return std::nullopt;
  std::string out = parts->negative ? "-" : "";
  if (parts->whole.empty())
    out += '0';
  else
    out += parts->whole;
  if (!parts->fraction.empty()) {
    out += '.';
    out += parts->fraction;
  }
  return out;
}

std::string FormatFixedPoint(std::string_view text, int intDigits, int decDigits) {
  if (IsBlankText(text)) return "";
  std::string slow;  // the text through the double, where the number text cannot be taken as it is
  auto parts = ShortDecimalParts(text);
  if (!parts) {
    slow = PlainDecimalText(ParseNumber(text));
    parts = PartsOfPlainText(slow);
  }
  // The whole part with its sign ("-5"), zero-padded or cut on the left to intDigits.
  const std::size_t width = intDigits > 0 ? static_cast<std::size_t>(intDigits) : 0;
  const std::string_view whole = parts->whole.empty() ? std::string_view("0") : parts->whole;
  const std::size_t length = whole.size() + (parts->negative ? 1 : 0);
  const std::size_t decimals = decDigits > 0 ? static_cast<std::size_t>(decDigits) : 0;
  std::string out;
  out.reserve(width + 1 + decimals);
  if (length <= width) {
    out.append(width - length, '0');
    if (parts->negative) out += '-';
    out += whole;
  } else if (width > 0) {
    std::size_t cut = length - width;  // characters cut off on the left, the sign first
    out += whole.substr(cut - (parts->negative ? 1 : 0));
  }
  out += '.';
  std::string_view fraction = parts->fraction.substr(0, decimals);
  out += fraction;
  out.append(decimals - fraction.size(), '0');  // filled up on the right
  return out;
}

std::string FormatDegreesMinutes(std::string_view text) {
  if (IsBlankText(text)) return "";
  float v = FoldAngle(ToSingle(ParseNumber(text)));
  double degrees = std::trunc(static_cast<double>(v));
  double minutes = std::trunc((static_cast<double>(v) - degrees) * 60 + 0.0099);
  if (minutes >= 60) {
    // Just under a whole degree the 0.0099 lifts the minutes to 60: that is the next degree.
    minutes -= 60;
    degrees += 1;
  }
  return ZeroPad(IntText(degrees), 2) + ZeroPad(IntText(minutes), 2);
}

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
std::string FormatExponent(float value, int digits, int expDigits) {
  if (digits > 6 || digits < 1) return "";
  if (!std::isfinite(value) || value == 0) return MantissaText(0, digits) + "E+" + Zeros(expDigits);
  if (value < 0) return "-" + ExponentOfPositive(-value, digits, expDigits);
  return ExponentOfPositive(value, digits, expDigits);
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

}  // namespace zk::QXCOMSUB
