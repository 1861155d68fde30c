#include "text/Decimal4.h"
#include "text/NumberText.h"

#include <limits>

namespace kova {

namespace {

using i128 = __int128;

constexpr i128 kMax = std::numeric_limits<std::int64_t>::max();
constexpr i128 kMin = std::numeric_limits<std::int64_t>::min();

std::optional<Decimal4> checked(i128 count)
{
    if (count > kMax || count < kMin)
        return std::nullopt;
    return Decimal4::fromCount(static_cast<std::int64_t>(count));
}

// Division with rounding half away from zero.
i128 divRoundAway(i128 num, i128 den)
{
    const bool neg = (num < 0) != (den < 0);
    const i128 an = num < 0 ? -num : num;
    const i128 ad = den < 0 ? -den : den;
    i128 q = an / ad;
    if ((an % ad) * 2 >= ad)
        ++q;
    return neg ? -q : q;
}

// Division with rounding half to even.
i128 divRoundEven(i128 num, i128 den)
{
    const bool neg = (num < 0) != (den < 0);
    const i128 an = num < 0 ? -num : num;
    const i128 ad = den < 0 ? -den : den;
    i128 q = an / ad;
    const i128 twice = (an % ad) * 2;
    if (twice > ad || (twice == ad && (q % 2) != 0))
        ++q;
    return neg ? -q : q;
}

// A decimal text as mantissa x 10^-scale.
struct ExactText {
    bool negative = false;
    i128 mantissa = 0;
    int scale = 0;
};

std::optional<ExactText> readDecimalText(std::string_view text)
{
    text = trimBlanks(text);
    ExactText r;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        r.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    bool point = false, digit = false;
    int significant = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
            if (r.mantissa != 0 || c != '0')
                ++significant;
            if (significant > 18) {
                // Further digits after the point only refine; drop zeros.
                if (point && c == '0')
                    continue;
                return std::nullopt;
            }
            r.mantissa = r.mantissa * 10 + (c - '0');
            if (point)
                ++r.scale;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    return r;
}

i128 pow10(int n)
{
    i128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

std::optional<Decimal4> fromDigits(const DecimalDigits& src)
{
    DecimalDigits d = src;
    d.roundToDecimals(4);
    if (d.isZero())
        return Decimal4();
    // count = digits x 10^(point - size + 4)
    const int shift = d.point - static_cast<int>(d.digits.size()) + 4;
    if (static_cast<int>(d.digits.size()) + shift > 19)
        return std::nullopt;
    i128 m = 0;
    for (char c : d.digits)
        m = m * 10 + (c - '0');
    m *= pow10(shift); // shift >= 0 after rounding to four decimals
    return checked(d.negative ? -m : m);
}

} // namespace

std::optional<Decimal4> Decimal4::fromInt(std::int64_t whole)
{
    return checked(static_cast<i128>(whole) * kScale);
}

std::optional<Decimal4> Decimal4::fromDouble(double v)
{
    if (v != v || v - v != 0) // NaN or infinite
        return std::nullopt;
    return fromDigits(DecimalDigits::fromDouble(v));
}

std::optional<Decimal4> Decimal4::fromFloat(float v)
{
    if (v != v || v - v != 0)
        return std::nullopt;
    return fromDigits(DecimalDigits::fromFloat(v));
}

std::optional<Decimal4> Decimal4::parse(std::string_view text)
{
    auto t = readDecimalText(text);
    if (!t)
        return std::nullopt;
    i128 m = t->mantissa;
    int scale = t->scale;
    while (scale > 4) {
        if (m % 10 != 0)
            return std::nullopt;
        m /= 10;
        --scale;
    }
    m *= pow10(4 - scale);
    return checked(t->negative ? -m : m);
}

double Decimal4::toDouble() const
{
    return static_cast<double>(count_) / static_cast<double>(kScale);
}

DecimalDigits Decimal4::digits() const
{
    const bool neg = count_ < 0;
    const std::uint64_t mag = neg ? (~static_cast<std::uint64_t>(count_) + 1u) : static_cast<std::uint64_t>(count_);
    return DecimalDigits::fromInteger(mag, 4, neg);
}

std::string Decimal4::toText() const
{
    return formatPattern(*this, "0.####");
}

std::optional<Decimal4> Decimal4::add(Decimal4 o) const { return checked(static_cast<i128>(count_) + o.count_); }
std::optional<Decimal4> Decimal4::sub(Decimal4 o) const { return checked(static_cast<i128>(count_) - o.count_); }

std::optional<Decimal4> Decimal4::mul(Decimal4 o) const
{
    return checked(divRoundAway(static_cast<i128>(count_) * o.count_, kScale));
}

std::optional<Decimal4> Decimal4::mulInt32(std::int32_t factor) const
{
    return checked(static_cast<i128>(count_) * factor);
}

std::optional<Decimal4> Decimal4::div(Decimal4 divisor) const
{
    if (divisor.count_ == 0)
        return std::nullopt;
    return checked(divRoundAway(static_cast<i128>(count_) * kScale, divisor.count_));
}

std::optional<std::int64_t> Decimal4::roundToInt64HalfEven() const
{
    return static_cast<std::int64_t>(divRoundEven(count_, kScale));
}

std::optional<std::int32_t> Decimal4::roundToInt32HalfEven() const
{
    const std::int64_t v = *roundToInt64HalfEven();
    if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::optional<std::int64_t> multiplyTextHalfEven(std::string_view text, Decimal4 factor)
{
    auto t = readDecimalText(text);
    if (!t)
        return std::nullopt;
    if (t->scale + 4 > 38)
        return std::int64_t{0}; // far below one half whatever the factor
    // mantissa < 10^18 and |count| < 2^63: the product fits 127 bits.
    const i128 num = t->mantissa * static_cast<i128>(factor.count());
    const i128 q = divRoundEven(num, pow10(t->scale + 4));
    const i128 r = t->negative ? -q : q;
    if (r > kMax || r < kMin)
        return std::nullopt;
    return static_cast<std::int64_t>(r);
}

} // namespace kova
