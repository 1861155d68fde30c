#include "text/VbNumbers.h"

#include <charconv>
#include <cmath>

namespace kova::vb {

namespace {

bool skipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool isDigitIn(char c, int base)
{
    if (base == 8) return c >= '0' && c <= '7';
    if (base == 16)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    return c >= '0' && c <= '9';
}

double radixValue(const std::string& s, std::size_t from, int base)
{
    double value = 0;
    for (std::size_t i = from; i < s.size() && isDigitIn(s[i], base); ++i) {
        char c = s[i];
        int d = (c >= '0' && c <= '9') ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * base + d;
    }
    return value;
}

template <typename T>
std::optional<T> fitRounded(double value, double lo, double hi)
{
    double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < lo || r > hi) return std::nullopt;
    return static_cast<T>(r);
}

} // namespace

double Val(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!skipped(c)) s.push_back(c);

    if (s.size() >= 2 && s[0] == '&') {
        char k = static_cast<char>(s[1] | 0x20);
        if (k == 'h') return radixValue(s, 2, 16);
        if (k == 'o') return radixValue(s, 2, 8);
        return 0;
    }

    // The longest leading number, copied into a plain text for from_chars.
    std::string num;
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool digits = false;
    while (i < s.size() && isDigitIn(s[i], 10)) { num.push_back(s[i++]); digits = true; }
    if (i < s.size() && s[i] == '.') {
        num.push_back('.');
        ++i;
        while (i < s.size() && isDigitIn(s[i], 10)) { num.push_back(s[i++]); digits = true; }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && isDigitIn(s[j], 10)) { exp.push_back(s[j++]); expDigits = true; }
        if (expDigits) num += exp;
    }
    double value = 0;
    auto res = std::from_chars(num.data(), num.data() + num.size(), value);
    if (res.ec == std::errc::result_out_of_range) value = HUGE_VAL;
    else if (res.ec != std::errc()) value = 0;
    return negative ? -value : value;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value)) return value;
    double low = std::floor(value);
    double diff = value - low;
    if (diff > 0.5) return low + 1;
    if (diff < 0.5) return low;
    return std::fmod(low, 2.0) == 0 ? low : low + 1;
}

std::optional<std::int16_t> toInt16(double v) { return fitRounded<std::int16_t>(v, -32768.0, 32767.0); }
std::optional<std::int32_t> toInt32(double v) { return fitRounded<std::int32_t>(v, -2147483648.0, 2147483647.0); }
std::optional<std::uint8_t> toByte(double v) { return fitRounded<std::uint8_t>(v, 0.0, 255.0); }


} // namespace kova::vb
