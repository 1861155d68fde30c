#include "text/DateText.h"

#include <charconv>

namespace kova {

namespace {

TextLocale& current()
{
    static TextLocale locale;
    return locale;
}

void appendNumber(std::string& out, int value, int minDigits)
{
    char buf[16];
    const bool neg = value < 0;
    auto r = std::to_chars(buf, buf + sizeof buf, neg ? -static_cast<long>(value) : static_cast<long>(value));
    const auto len = static_cast<int>(r.ptr - buf);
    if (neg)
        out.push_back('-');
    for (int i = len; i < minDigits; ++i)
        out.push_back('0');
    out.append(buf, r.ptr);
}

std::size_t runLength(std::string_view s, std::size_t i)
{
    std::size_t n = 1;
    while (i + n < s.size() && s[i + n] == s[i])
        ++n;
    return n;
}

} // namespace

const TextLocale& textLocale() { return current(); }
void setTextLocale(const TextLocale& locale) { current() = locale; }

std::string shortDate(int year, int month, int day, std::string_view pattern)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        const std::size_t n = runLength(pattern, i);
        if (c == 'd') {
            appendNumber(out, day, n >= 2 ? 2 : 1);
        } else if (c == 'M') {
            appendNumber(out, month, n >= 2 ? 2 : 1);
        } else if (c == 'y') {
            if (n <= 2)
                appendNumber(out, ((year % 100) + 100) % 100, 2);
            else
                appendNumber(out, year, 4);
        } else {
            out.append(pattern.substr(i, n));
        }
        i += n;
    }
    return out;
}

std::string shortDate(int year, int month, int day)
{
    return shortDate(year, month, day, textLocale().shortDate);
}

std::string timeText(int hour, int minute, int second)
{
    std::string out;
    appendNumber(out, hour, 2);
    out.push_back(':');
    appendNumber(out, minute, 2);
    out.push_back(':');
    appendNumber(out, second, 2);
    return out;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day)
{
    return year >= 1 && day >= 1 && day <= daysInMonth(year, month);
}

bool isValidTime(int hour, int minute, int second)
{
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::string safeShortDatePattern(std::string_view p)
{
    std::string out;
    bool day = false, month = false, year = false;
    bool lastWasField = false;
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        const std::size_t n = runLength(p, i);
        if (c == 'd' || c == 'M' || c == 'y') {
            bool& seen = c == 'd' ? day : c == 'M' ? month : year;
            if (seen || lastWasField)
                return std::string(kDefaultShortDate);
            seen = true;
            if (c == 'y') {
                if (n != 2 && n != 4)
                    return std::string(kDefaultShortDate);
                out += "yyyy";
            } else {
                if (n > 2)
                    return std::string(kDefaultShortDate); // month or day names
                out.append(n, c);
            }
            lastWasField = true;
        } else if ((c == '/' || c == '-' || c == '.') && n == 1 && lastWasField) {
            out.push_back(c);
            lastWasField = false;
        } else {
            return std::string(kDefaultShortDate);
        }
        i += n;
    }
    if (!day || !month || !year || !lastWasField)
        return std::string(kDefaultShortDate);
    return out;
}

} // namespace kova
