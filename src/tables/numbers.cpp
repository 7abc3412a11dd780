#include "tables/numbers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace zk::QXCOMSUB {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the leading number of text from position start, 0 when there is none.
std::size_t NumberLength(std::string_view text, std::size_t start) {
  std::size_t i = start;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  bool point = false;
  while (i < text.size()) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    ++i;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expStart = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > expStart) i = j;
  }
  return i - start;
}

std::size_t SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return i;
}

// printf's %.<precision>G: to_chars with a precision is specified to print as printf does.
std::string Printed(double value, int precision) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  if (ec != std::errc()) return "0";
  for (char* c = buffer; c != end; ++c)
    if (*c == 'e') *c = 'E';
  return std::string(buffer, end);
}

// The C library's reading of a number text, kept for what from_chars refuses (values beyond
// the double range either way).
double ReadWithStrtod(std::string_view number) {
  std::string text(number);
  errno = 0;
  double value = std::strtod(text.c_str(), nullptr);
  return std::isinf(value) ? 0 : value;
}

// The leading number of text when it is a plain decimal of at most 15 digits ("-12.345",
// "20cm"), the usual number of a table, read without the general reader: its digits as a whole
// number are exact in a double, and so is the power of ten, so one division rounds correctly,
// as the general reader does. nullopt for any other form (an exponent, more digits, no digit).
std::optional<double> PlainDecimal(std::string_view number) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  bool negative = false;
  if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
  std::int64_t digits = 0;
  int count = 0, decimals = 0;
  bool point = false;
  for (; i < number.size(); ++i) {
    char c = number[i];
    if (IsDigit(c)) {
      if (++count > 15) return std::nullopt;
      digits = digits * 10 + (c - '0');
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else if (c == 'E' || c == 'e') {
      return std::nullopt;  // maybe an exponent: the general reader decides
    } else {
      break;
    }
  }
  if (count == 0) return std::nullopt;
  double value = static_cast<double>(digits) / kPowers[decimals];
  return negative ? -value : value;
}

}  // namespace

double ParseNumber(std::string_view text) {
  std::size_t start = SkipBlanks(text);
  if (auto plain = PlainDecimal(text.substr(start))) return *plain;
  std::size_t length = NumberLength(text, start);
  if (length == 0) return 0;
  std::string_view number = text.substr(start, length);
  // Both readings round correctly, so they agree; from_chars is the quicker one.
  std::string_view digits = number[0] == '+' ? number.substr(1) : number;
  double value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc() && end == digits.data() + digits.size()) return value;
  return ReadWithStrtod(number);
}

std::size_t LeadingNumberEnd(std::string_view text) {
  std::size_t start = SkipBlanks(text);
  std::size_t n = NumberLength(text, start);
  return n == 0 ? 0 : start + n;
}

bool HasLeadingNumber(std::string_view text) { return NumberLength(text, SkipBlanks(text)) > 0; }

std::string NumberText(double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  // A whole number of at most 15 digits is written with all its digits either way; as an
  // integer it is written without the general formatter's search.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) return std::to_string(static_cast<long long>(value));
  return Printed(value, 15);
}

std::string NumberText(float value) {
  if (!std::isfinite(value) || value == 0) return "0";
  return Printed(static_cast<double>(value), 7);
}

std::string IntText(double value) {
  if (!std::isfinite(value)) return "0";
  double whole = std::trunc(value);
  if (whole == 0) return "0";
  if (std::fabs(whole) < 9e18) return std::to_string(static_cast<long long>(whole));
  std::string text(400, '\0');
  int n = std::snprintf(text.data(), text.size(), "%.0f", whole);
  text.resize(static_cast<std::size_t>(n));
  return text;
}

float ToSingle(double value) {
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return 0.0f;
  return static_cast<float>(value);
}

std::string Right(std::string_view text, std::size_t n) {
  // Characters, not bytes: a UTF-8 continuation byte never starts a character.
  std::size_t start = text.size();
  for (std::size_t taken = 0; start > 0 && taken < n; ++taken) {
    do {
      --start;
    } while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80);
  }
  return std::string(text.substr(start));
}

std::string ZeroPad(std::string_view text, std::size_t n) {
  // Digits, as nearly always: bytes and characters are one, and the text is cut or filled at once.
  if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    if (text.size() >= n) return std::string(text.substr(text.size() - n));
    std::string padded(n - text.size(), '0');
    padded += text;
    return padded;
  }
  return Right(std::string(n, '0') + std::string(text), n);
}

std::string Counter3(long long number) { return ZeroPad(std::to_string(number), 3); }

}  // namespace zk::QXCOMSUB
