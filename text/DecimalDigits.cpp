#include "text/DecimalDigits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace kova {

namespace {

// Parses the "d.ddde+XX" text of to_chars' scientific form.
DecimalDigits fromScientific(const char* first, const char* last, bool negative)
{
    DecimalDigits r;
    r.negative = negative;
    const char* p = first;
    std::string mant;
    for (; p != last && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            mant.push_back(*p);
    }
    int exp = 0;
    if (p != last) {
        ++p; // 'e'
        bool expNeg = false;
        if (p != last && (*p == '+' || *p == '-')) {
            expNeg = *p == '-';
            ++p;
        }
        std::from_chars(p, last, exp);
        if (expNeg)
            exp = -exp;
    }
    r.digits = mant;
    r.point = exp + 1;
    return r;
}

template <class F>
DecimalDigits fromFloating(F v)
{
    if (!std::isfinite(v) || v == F(0)) {
        DecimalDigits z;
        return z;
    }
    char buf[64];
    const bool neg = std::signbit(v);
    auto res = std::to_chars(buf, buf + sizeof buf, neg ? -v : v, std::chars_format::scientific);
    DecimalDigits r = fromScientific(buf, res.ptr, neg);
    r.roundToSignificant(static_cast<int>(r.digits.size())); // normalizes
    return r;
}

} // namespace

DecimalDigits DecimalDigits::fromDouble(double v) { return fromFloating(v); }
DecimalDigits DecimalDigits::fromFloat(float v) { return fromFloating(v); }

DecimalDigits DecimalDigits::fromInteger(std::uint64_t magnitude, int scale, bool negative)
{
    DecimalDigits r;
    if (magnitude == 0)
        return r;
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
    r.digits.assign(buf, res.ptr);
    r.point = static_cast<int>(r.digits.size()) - scale;
    r.negative = negative;
    r.normalize();
    return r;
}

void DecimalDigits::normalize()
{
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0')
        ++lead;
    if (lead) {
        digits.erase(0, lead);
        point -= static_cast<int>(lead);
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty()) {
        point = 0;
        negative = false;
    }
}

void DecimalDigits::roundKeeping(int keep)
{
    const int size = static_cast<int>(digits.size());
    if (keep >= size) {
        normalize();
        return;
    }
    if (keep < 0) {
        digits.clear();
        normalize();
        return;
    }
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            char& c = digits[static_cast<std::size_t>(i)];
            if (c == '9') {
                c = '0';
            } else {
                ++c;
                break;
            }
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    normalize();
}

void DecimalDigits::roundToDecimals(int d) { roundKeeping(point + d); }

void DecimalDigits::roundToSignificant(int n) { roundKeeping(n); }

char DecimalDigits::integerDigit(int i) const
{
    if (i < 0 || i >= point)
        return '0';
    return i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
}

char DecimalDigits::fractionDigit(int j) const
{
    const int idx = point + j - 1;
    if (idx < 0 || idx >= static_cast<int>(digits.size()))
        return '0';
    return digits[static_cast<std::size_t>(idx)];
}

std::string DecimalDigits::integerText() const
{
    if (point <= 0)
        return "0";
    std::string s;
    s.reserve(static_cast<std::size_t>(point));
    for (int i = 0; i < point; ++i)
        s.push_back(integerDigit(i));
    return s;
}

} // namespace kova
