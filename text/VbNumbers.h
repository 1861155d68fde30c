#pragma once
// Numeric reading and writing the way the program's settings texts have
// always been read: the lenient numeric value of a text, and rounding halves to
// even.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kova::vb {

// The numeric value of a text: blanks, tabs and line feeds anywhere are
// skipped; then a sign, decimal digits, one decimal point and an exponent
// (E or D) are read up to the first other character. "&H" and "&O" start a
// hexadecimal or octal number. A text with no leading number gives 0.
double Val(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Rounds half to even and checks the range of the target width; empty when
// the rounded value does not fit (where a conversion would overflow).
std::optional<std::int16_t> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);
std::optional<std::uint8_t> toByte(double value);


} // namespace kova::vb
