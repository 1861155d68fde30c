#pragma once
// Short date and time-of-day texts, and the calendar test.

#include <optional>
#include <string>
#include <string_view>

namespace kova {

inline constexpr std::string_view kDefaultShortDate = "dd/MM/yyyy";

// Date settings of the process: set once by the application at start-up,
// passed explicitly in tests.
struct TextLocale {
    std::string shortDate{kDefaultShortDate};
};

const TextLocale& textLocale();
void setTextLocale(const TextLocale& locale);

// The fields written with the pattern's tokens: d, dd, M, MM, yy, yyyy
// (every other character is copied). The fields are written as they are,
// without any calendar check or roll-over: day 0 gives "00" under "dd".
std::string shortDate(int year, int month, int day, std::string_view pattern);
std::string shortDate(int year, int month, int day);

// "hh:mm:ss", 24-hour, at least two digits a field, as given (no roll-over).
std::string timeText(int hour, int minute, int second);

bool isLeapYear(int year);
int daysInMonth(int year, int month); // 0 for a month outside 1..12
bool isValidDate(int year, int month, int day);
bool isValidTime(int hour, int minute, int second);

// A system short-date pattern made safe for stamps: only d/dd, M/MM and a
// year field (yy widened to yyyy), each once, separated by '/', '-' or '.'.
// Anything else (blanks, commas, month names, a missing field) gives the
// default "dd/MM/yyyy".
std::string safeShortDatePattern(std::string_view systemPattern);

} // namespace kova
