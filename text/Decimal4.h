#pragma once
// Four-decimal fixed-point number: a signed 64-bit count of ten-thousandths.
// Scales such as 0.01 are exact. Every operation that can leave the range
// reports it (nullopt) instead of wrapping.

#include "text/DecimalDigits.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kova {

class Decimal4 {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Decimal4() = default;
    static constexpr Decimal4 fromCount(std::int64_t count)
    {
        Decimal4 d;
        d.count_ = count;
        return d;
    }
    static std::optional<Decimal4> fromInt(std::int64_t whole);
    // Rounded half away from zero to four decimals, on the shortest digits
    // of the value in its own type (0.01f gives exactly 0.01).
    static std::optional<Decimal4> fromDouble(double v);
    static std::optional<Decimal4> fromFloat(float v);
    // Decimal text with "." or "," as the point, optional sign and blanks.
    // More than four decimals (other than trailing zeros) is refused.
    static std::optional<Decimal4> parse(std::string_view text);

    constexpr std::int64_t count() const { return count_; }
    double toDouble() const;
    DecimalDigits digits() const;
    // Shortest text: "12.34", "0.5", "-3", "0".
    std::string toText() const;

    std::optional<Decimal4> add(Decimal4 other) const;
    std::optional<Decimal4> sub(Decimal4 other) const;
    // Exact product, rounded half away from zero to four decimals.
    std::optional<Decimal4> mul(Decimal4 other) const;
    std::optional<Decimal4> mulInt32(std::int32_t factor) const;
    // Exact quotient, rounded half away from zero to four decimals; nullopt
    // for a zero divisor.
    std::optional<Decimal4> div(Decimal4 divisor) const;

    // Nearest integer, ties to even; nullopt outside the target range.
    std::optional<std::int32_t> roundToInt32HalfEven() const;
    std::optional<std::int64_t> roundToInt64HalfEven() const;

    friend constexpr auto operator<=>(Decimal4, Decimal4) = default;
    friend constexpr bool operator==(Decimal4, Decimal4) = default;

private:
    std::int64_t count_ = 0;
};

// The decimal text multiplied exactly by the factor, then rounded to the
// nearest integer with ties to even ("1.015" x 100 = 101.5 -> 102). The text
// is read as by Decimal4::parse but with any number of decimals (up to 18
// significant digits). nullopt for a text that is no number or a result
// outside 64 bits.
std::optional<std::int64_t> multiplyTextHalfEven(std::string_view text, Decimal4 factor);

} // namespace kova
