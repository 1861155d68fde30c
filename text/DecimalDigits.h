#pragma once
// Exact decimal digit strings, the common ground of every number text.
// A value is held as sign, significant digits and the position of the
// decimal point, so rounding works on the digits a reader sees (12.345f
// rounds to 12.35) and never on binary fractions.

#include <cstdint>
#include <string>

namespace kova {

struct DecimalDigits {
    bool negative = false;
    // Significant digits, no leading or trailing zeros; empty means zero.
    std::string digits;
    // Digits before the decimal point: value = 0.digits x 10^point.
    int point = 0;

    bool isZero() const { return digits.empty(); }

    // Shortest round-trip digits of the value in its own type.
    static DecimalDigits fromDouble(double v);
    static DecimalDigits fromFloat(float v);
    // magnitude x 10^-scale.
    static DecimalDigits fromInteger(std::uint64_t magnitude, int scale, bool negative);

    // Half away from zero to d digits after the point.
    void roundToDecimals(int d);
    // Half away from zero to n significant digits (n >= 1).
    void roundToSignificant(int n);

    // Digit i of the integer part counted from the left (0 <= i < point),
    // or fractional digit j (1-based) after the point.
    char integerDigit(int i) const;
    char fractionDigit(int j) const;

    // Integer part digits ("0" when there are none).
    std::string integerText() const;

private:
    void roundKeeping(int keep);
    void normalize();
};

} // namespace kova
