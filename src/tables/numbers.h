// Numbers read from table text and written back as text.
#pragma once

#include <string>
#include <string_view>

namespace zk::QXCOMSUB {

// The value of the leading number of a text: blanks (space, tab) skipped, an optional sign,
// digits with at most one ".", at least one digit, then an optional exponent ("E"/"e", optional
// sign, at least one digit; "1e" is 1). No number, hex, "inf", "nan": 0. Beyond the double
// range: 0.
double ParseNumber(std::string_view text);

// True when text holds a leading number as ParseNumber reads it (for the check report).
bool HasLeadingNumber(std::string_view text);
// Where the leading number that ParseNumber reads ends (blanks before it counted), 0 when
// there is none: what follows it is ignored by the reading.
std::size_t LeadingNumberEnd(std::string_view text);

// Shortest decimal text, %.15G for double and %.7G for single precision: "12", "1.5",
// "1.5E-05". Negative zero is "0"; inf and nan are "0".
std::string NumberText(double value);
std::string NumberText(float value);

// The plain decimal text of trunc(v), whatever its size ("-12", "0"); inf and nan give "0".
std::string IntText(double value);

// A double held in single precision; a value beyond the single range (or not finite) is 0.
float ToSingle(double value);

// The last n characters of text (all of it when shorter).
std::string Right(std::string_view text, std::size_t n);

// right("000" & text, 3) and its kin: text zero-padded on the left to width n, cut to the
// last n characters when longer.
std::string ZeroPad(std::string_view text, std::size_t n);

// A three-digit counter: right("000" & number, 3).
std::string Counter3(long long number);

}  // namespace zk::QXCOMSUB
