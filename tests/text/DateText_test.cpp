#include "text/DateText.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

TEST(DateText, ShortDateAndTimeFromRawFields)
{
    const struct {
        int y, m, d;
        const char* pattern;
        const char* text;
    } dates[] = {
        {2005, 7, 12, "dd/MM/yyyy", "12/07/2005"},
        {2005, 7, 0, "dd/MM/yyyy", "00/07/2005"},   // no roll-over
        {2005, 13, 12, "dd/MM/yyyy", "12/13/2005"},
        {2005, 2, 31, "dd/MM/yyyy", "31/02/2005"},
        {2005, 7, 12, "yyyy-MM-dd", "2005-07-12"},
        {2005, 7, 2, "M/d/yyyy", "7/2/2005"},
        {2005, 7, 12, "dd.MM.yy", "12.07.05"},
        {2127, 12, 31, "dd/MM/yyyy", "31/12/2127"},
    };
    for (const auto& c : dates)
        EXPECT_EQ(shortDate(c.y, c.m, c.d, c.pattern), c.text);

    EXPECT_EQ(timeText(9, 5, 7), "09:05:07");
    EXPECT_EQ(timeText(23, 59, 59), "23:59:59");
    EXPECT_EQ(timeText(24, 61, 102), "24:61:102");
    EXPECT_EQ(timeText(0, 0, 0), "00:00:00");
}

TEST(DateText, Calendar)
{
    EXPECT_TRUE(isValidDate(2004, 2, 29));
    EXPECT_TRUE(isValidDate(2000, 2, 29));
    EXPECT_FALSE(isValidDate(2100, 2, 29));
    EXPECT_FALSE(isValidDate(2005, 2, 29));
    EXPECT_FALSE(isValidDate(2005, 4, 31));
    EXPECT_TRUE(isValidDate(2005, 12, 31));
    EXPECT_FALSE(isValidDate(2005, 13, 1));
    EXPECT_FALSE(isValidDate(2005, 0, 1));
    EXPECT_FALSE(isValidDate(2005, 1, 0));
    EXPECT_TRUE(isValidTime(23, 59, 59));
    EXPECT_FALSE(isValidTime(24, 0, 0));
    EXPECT_FALSE(isValidTime(0, 60, 0));
    EXPECT_FALSE(isValidTime(0, 0, 60));
    EXPECT_FALSE(isValidTime(-1, 0, 0));
}

TEST(DateText, SafeShortDatePattern)
{
    const struct {
        const char* system;
        const char* safe;
    } cases[] = {
        {"dd.MM.yyyy", "dd.MM.yyyy"}, {"M/d/yy", "M/d/yyyy"},   {"dd/MM/yyyy", "dd/MM/yyyy"},
        {"yyyy-MM-dd", "yyyy-MM-dd"}, {"d MMM yyyy", "dd/MM/yyyy"}, {"yyyy. MM. dd.", "dd/MM/yyyy"},
        {"dd/MM", "dd/MM/yyyy"},      {"dd, MM yyyy", "dd/MM/yyyy"}, {"ddd dd/MM/yyyy", "dd/MM/yyyy"},
        {"y/M/d", "dd/MM/yyyy"},      {"dd//MM/yyyy", "dd/MM/yyyy"}, {"", "dd/MM/yyyy"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safeShortDatePattern(c.system), c.safe) << c.system;
}

} // namespace
} // namespace kova
