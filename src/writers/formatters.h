// The number formatters of the table writers: fixed-point fields, angles as degrees and
// minutes, values in exponent form. Each gives the text of one exchange-file field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zk::QXCOMSUB {

// A field with nothing in it but blanks (spaces, tabs), or nothing at all.
bool IsBlankText(std::string_view text);

// intDigits integer characters (zero-filled on the left, cut from the left; a minus sign
// counts as one of them), ".", decDigits decimals (cut, never rounded, zero-filled). The
// value is the lenient parse of text, taken in its plain decimal form of at most 15
// significant digits: 12.345 with 3 and 2 gives 012.34, 0.00005 with 1 and 3 gives 0.000.
// Blank text gives "".
std::string FormatFixedPoint(std::string_view text, int intDigits, int decDigits);

// The text of the plain decimal form of a value (at most 15 significant digits, never an
// exponent): 0.00005 gives "0.00005", 1E+20 gives "100000000000000000000".
std::string PlainDecimalText(double value);

// The same text taken straight from a number text, where that is sure to agree: the leading
// number of text (as the lenient parse reads it) without an exponent, of at most 15
// significant digits and a modest length, which a double holds and gives back digit for digit.
// nullopt otherwise, and the value must go through the double.
std::optional<std::string> ShortDecimalText(std::string_view text);

// An angle in decimal degrees as four characters DDMM: the value is folded by 90 until it is
// 90 or less, minutes are cut after adding 0.0099: 25.5 gives 2530, 100 gives 1000. Blank
// text gives "".
std::string FormatDegreesMinutes(std::string_view text);

// The value in exponent form with digits significant digits (at most 6, else "") and an
// exponent of expDigits digits: 0.00123 with 3 and 2 gives 1.23E-03, 12.345 gives 1.23E+01,
// 0 gives 0.00E+00. A value whose single-precision text is already in exponent form keeps
// its own (cut) mantissa: 1.5E-05 stays 1.5E-05.
std::string FormatExponent(float value, int digits, int expDigits);

}  // namespace zk::QXCOMSUB
