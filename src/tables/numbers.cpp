#include "tables/numbers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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

std::string Printed(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

double ParseNumber(std::string_view text) {
  std::size_t start = SkipBlanks(text);
  std::size_t length = NumberLength(text, start);
  if (length == 0) return 0;
  std::string number(text.substr(start, length));
  errno = 0;
  double value = std::strtod(number.c_str(), nullptr);
  if (std::isinf(value)) return 0;
  return value;
}

bool HasLeadingNumber(std::string_view text) { return NumberLength(text, SkipBlanks(text)) > 0; }

std::string NumberText(double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  return Printed("%.15G", value);
}

std::string NumberText(float value) {
  if (!std::isfinite(value) || value == 0) return "0";
  return Printed("%.7G", static_cast<double>(value));
}

std::string IntText(double value) {
  if (!std::isfinite(value)) return "0";
  double whole = std::trunc(value);
  if (whole == 0) return "0";
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
  return Right(std::string(n, '0') + std::string(text), n);
}

std::string Counter3(long long number) { return ZeroPad(std::to_string(number), 3); }

}  // namespace zk::QXCOMSUB
