#include "text/NumberText.h"

#include "text/Decimal4.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kova {

namespace {

struct PatternShape {
    int integerZeros = 0;   // '0' placeholders before the point
    std::string fraction;   // placeholders after the point, in order
};

PatternShape shapeOf(std::string_view pattern)
{
    PatternShape s;
    bool afterPoint = false;
    for (char c : pattern) {
        if (c == '.') {
            afterPoint = true; // a second point is ignored
            continue;
        }
        if (c != '#' && c != '0')
            continue;
        if (afterPoint)
            s.fraction.push_back(c);
        else if (c == '0')
            ++s.integerZeros;
    }
    return s;
}

std::string nonFiniteText(double v)
{
    if (std::isnan(v))
        return "NaN";
    return v < 0 ? "-Inf" : "Inf";
}

} // namespace

std::string plainNumber(double value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    if (std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)).find('e') != std::string_view::npos)
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

int patternDecimals(std::string_view pattern)
{
    return static_cast<int>(shapeOf(pattern).fraction.size());
}

std::string formatPattern(DecimalDigits v, std::string_view pattern)
{
    const PatternShape shape = shapeOf(pattern);
    const int d = static_cast<int>(shape.fraction.size());
    v.roundToDecimals(d);

    std::string out;
    if (v.negative && !v.isZero())
        out.push_back('-');

    std::string integer = v.point > 0 ? v.integerText() : std::string();
    if (static_cast<int>(integer.size()) < shape.integerZeros)
        integer.insert(0, static_cast<std::size_t>(shape.integerZeros) - integer.size(), '0');
    out += integer;

    // Shown fraction digits: up to the last '0' placeholder, and beyond it
    // up to the last non-zero digit under a trailing '#'.
    int shown = 0;
    for (int j = 1; j <= d; ++j) {
        if (shape.fraction[static_cast<std::size_t>(j - 1)] == '0' || v.fractionDigit(j) != '0')
            shown = j;
    }
    if (shown > 0) {
        out.push_back('.');
        for (int j = 1; j <= shown; ++j)
            out.push_back(v.fractionDigit(j));
    }
    if (out.empty() || out == "-")
        out = "0";
    return out;
}

std::string formatPattern(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    return formatPattern(DecimalDigits::fromDouble(value), pattern);
}

std::string formatPattern(float value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    return formatPattern(DecimalDigits::fromFloat(value), pattern);
}

std::string formatPattern(std::int64_t value, std::string_view pattern)
{
    const bool neg = value < 0;
    const std::uint64_t mag = neg ? (~static_cast<std::uint64_t>(value) + 1u) : static_cast<std::uint64_t>(value);
    return formatPattern(DecimalDigits::fromInteger(mag, 0, neg), pattern);
}

std::string formatPattern(const Decimal4& value, std::string_view pattern)
{
    return formatPattern(value.digits(), pattern);
}

namespace {

std::string generalText(DecimalDigits v, int maxDigits, int exponentFrom)
{
    v.roundToSignificant(maxDigits);
    if (v.isZero())
        return "0";
    std::string out;
    if (v.negative)
        out.push_back('-');
    const int exp10 = v.point - 1; // exponent of the first digit
    if (exp10 >= exponentFrom) {
        out.push_back(v.digits[0]);
        if (v.digits.size() > 1) {
            out.push_back('.');
            out.append(v.digits, 1);
        }
        out += "E+";
        if (exp10 < 10)
            out.push_back('0');
        char buf[8];
        auto r = std::to_chars(buf, buf + sizeof buf, exp10);
        out.append(buf, r.ptr);
        return out;
    }
    out += v.integerText();
    const int size = static_cast<int>(v.digits.size());
    const int fracDigits = size - v.point;
    if (fracDigits > 0) {
        out.push_back('.');
        for (int j = 1; j <= fracDigits; ++j)
            out.push_back(v.fractionDigit(j));
    }
    return out;
}

// The exact binary value rounded to n significant digits, as digits.
DecimalDigits exactSignificant(double value, int n)
{
    char buf[64];
    const bool neg = value < 0;
    auto r = std::to_chars(buf, buf + sizeof buf, neg ? -value : value, std::chars_format::scientific, n - 1);
    std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));
    const std::size_t e = t.find('e');
    std::uint64_t mant = 0;
    for (std::size_t i = 0; i < e; ++i)
        if (t[i] >= '0' && t[i] <= '9')
            mant = mant * 10 + static_cast<std::uint64_t>(t[i] - '0');
    std::string_view es = t.substr(e + 1);
    const bool eneg = es[0] == '-';
    es.remove_prefix(1);
    int exp = 0;
    std::from_chars(es.data(), es.data() + es.size(), exp);
    if (eneg)
        exp = -exp;
    return DecimalDigits::fromInteger(mant, (n - 1) - exp, neg);
}

} // namespace

std::string generalNumber(float value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    DecimalDigits v = DecimalDigits::fromFloat(value);
    if (v.digits.size() > 7)
        v = exactSignificant(static_cast<double>(value), 7);
    return generalText(v, 7, 7);
}

std::string generalNumber(double value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    DecimalDigits v = DecimalDigits::fromDouble(value);
    if (v.digits.size() > 15)
        v = exactSignificant(value, 15);
    return generalText(v, 15, 15);
}

std::string integerText(std::int64_t value)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string signedText(std::int64_t value)
{
    return (value >= 0 ? " " : "") + integerText(value);
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
}

std::string upperTrimmed(std::string_view text)
{
    std::string out(trimBlanks(text));
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<double> parseNumber(std::string_view text)
{
    text = trimBlanks(text);
    bool neg = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        neg = text[0] == '-';
        text.remove_prefix(1);
    }
    std::string norm;
    bool point = false;
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
            norm.push_back(c);
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            norm.push_back('.');
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    double v = 0;
    auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != norm.data() + norm.size())
        return std::nullopt;
    return neg ? -v : v;
}

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == sign || text[sign] < '0' || text[sign] > '9')
        return std::nullopt;
    std::int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return v;
}

double leadingDigits(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9')
        ++n;
    if (n == 0)
        return 0.0;
    double v = 0;
    std::from_chars(text.data(), text.data() + n, v, std::chars_format::fixed);
    return v;
}

} // namespace kova
