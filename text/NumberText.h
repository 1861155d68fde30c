#pragma once
// Number texts of the whole program: digit patterns, the general number
// text and the number parsers. Every text uses "." as the decimal point;
// the parsers accept "." or ",". Nothing here depends on the C or C++
// locale (only to_chars/from_chars are used).

#include "text/DecimalDigits.h"

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kova {

class Decimal4;

// Digit patterns such as "###0.#0", "#0.0", "####0.00" or "0":
// - rounded half away from zero to the number of placeholders after the
//   point, on the decimal digits of the value;
// - the whole integer part, with at least as many digits as there are '0'
//   placeholders before the point; no grouping; a leading '-' when the
//   rounded value is not zero;
// - after the point a '0' always shows its digit, a '#' shows it when a '0'
//   follows (a trailing '#' shows only non-zero digits).
// Characters other than '#', '0' and the first '.' are ignored.
std::string formatPattern(double value, std::string_view pattern);
std::string formatPattern(float value, std::string_view pattern);
std::string formatPattern(std::int64_t value, std::string_view pattern);
inline std::string formatPattern(std::int32_t value, std::string_view pattern)
{
    return formatPattern(static_cast<std::int64_t>(value), pattern);
}
std::string formatPattern(const Decimal4& value, std::string_view pattern);
std::string formatPattern(DecimalDigits value, std::string_view pattern);

// Number of placeholders after the point of a pattern.
int patternDecimals(std::string_view pattern);

// Plain number text: shortest form, at most 7 significant digits for a
// float and 15 for a double, no trailing zeros, no point for whole numbers,
// "0.5" with its leading zero; exponent form ("1.234568E+07", "1E+07") from
// 1e7 (float) or 1e15 (double) upwards.
std::string generalNumber(float value);
std::string generalNumber(double value);

// A number as a person writes it in a file: its shortest text that reads
// back as the same double, in plain decimals ("0.00001", never "1e-05").
std::string plainNumber(double value);

// Whole number text: "-5", "0", "65535". A floating-point value has no
// overload here, so a fraction is never cut off unseen.
std::string integerText(std::int64_t value);
template <std::floating_point T>
std::string integerText(T value) = delete;

// Signed integer text that begins with a blank when the number is zero or
// more (" 5", "-5"), as appended to label texts.
std::string signedText(std::int64_t value);

// The text without its leading and trailing blanks and tabs.
std::string_view trimBlanks(std::string_view text);
// The same in capitals (ASCII).
std::string upperTrimmed(std::string_view text);

// Text to number: optional blanks, an optional sign, digits with at most
// one "." or "," as the decimal point, optional blanks. Anything else, or
// no digit at all, gives nullopt.
std::optional<double> parseNumber(std::string_view text);

// Strict whole number: an optional "-" and decimal digits, nothing else
// (no blank, no "+", no point); nullopt also outside 64 bits.
std::optional<std::int64_t> parseInteger(std::string_view text);

// Value of the decimal digits at the very start of the text (no blank
// skipped, no sign); 0 when the text does not start with a digit.
double leadingDigits(std::string_view text);

} // namespace kova
