#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kova {
namespace {

struct DoubleCase {
    double value;
    const char* pattern;
    const char* text;
};

TEST(NumberPattern, DoubleTable)
{
    const DoubleCase cases[] = {
        {1.5, "###0.#0", "1.50"},
        {0, "###0.#0", "0.00"},
        {-0.01, "###0.#0", "-0.01"},
        {12345.678, "###0.#0", "12345.68"},
        {0.005, "###0.#0", "0.01"},
        {-0.005, "###0.#0", "-0.01"},
        {1.005, "###0.#0", "1.01"},
        {100, "###0.0", "100.0"},
        {0.5, "###0.0", "0.5"},
        {1, "#0.#0", "1.00"},
        {0.5, "#0.0", "0.5"},
        {12, "##0", "12"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {12.345, "#0.00", "12.35"},
        {1234567.89, "####0.00", "1234567.89"},
        {9.99, "#0.0", "10.0"},
        {-0.004, "#0.00", "0.00"},   // rounds to zero: no sign
        {0.4, "#0", "0"},
        {0.25, "##0.#0", "0.25"},
        {7, "###0", "7"},
        {3, "00.0", "03.0"},
        {1.5, "0.##", "1.5"},        // trailing '#' drops zero digits
        {2, "0.##", "2"},
        {999.995, "###0.#0", "1000.00"},
        {1e20, "0", "100000000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(NumberPattern, FloatUsesItsOwnShortestDigits)
{
    EXPECT_EQ(formatPattern(12.345f, "###0.#0"), "12.35");
    EXPECT_EQ(formatPattern(12.34f, "###0.#0"), "12.34");
    EXPECT_EQ(formatPattern(0.015f, "#0.00"), "0.02");
    EXPECT_EQ(formatPattern(std::int64_t{-42}, "#0.0"), "-42.0");
    EXPECT_EQ(formatPattern(300, "###0"), "300");
    EXPECT_EQ(patternDecimals("###0.#0"), 2);
    EXPECT_EQ(patternDecimals("###0.0"), 1);
    EXPECT_EQ(patternDecimals("0"), 0);
}

TEST(GeneralNumber, FloatAndDouble)
{
    const struct {
        float value;
        const char* text;
    } floats[] = {
        {0.01f, "0.01"},   {1.5f, "1.5"},           {-0.01f, "-0.01"},     {1e7f, "1E+07"},
        {0.0f, "0"},       {13800.0f, "13800"},     {-1.23f, "-1.23"},     {0.5f, "0.5"},
        {327.67f, "327.67"}, {12345678.0f, "1.234568E+07"}, {1.0000001f, "1"}, {9999999.0f, "9999999"},
        {0.1f, "0.1"},     {3.1415927f, "3.141593"}, {-21474836.0f, "-2.147484E+07"},
    };
    for (const auto& c : floats)
        EXPECT_EQ(generalNumber(c.value), c.text) << c.value;

    const struct {
        double value;
        const char* text;
    } doubles[] = {
        {1230.0, "1230"}, {-10.0, "-10"}, {0.1, "0.1"}, {1.0 / 3.0, "0.333333333333333"},
        {1e15, "1E+15"},  {123456789012345.0, "123456789012345"}, {2.5e-7, "0.00000025"},
    };
    for (const auto& c : doubles)
        EXPECT_EQ(generalNumber(c.value), c.text) << c.value;
}

TEST(NumberParse, AcceptsPointOrCommaAndRejectsOthers)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1.23", 1.23},   {"1,23", 1.23},  {" -4.5 ", -4.5}, {"+7", 7.0}, {".5", 0.5},
        {"12", 12.0},     {"", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
        {"1 000", std::nullopt}, {"1e3", std::nullopt}, {"-", std::nullopt}, {"1,000.5", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseNumber(c.text), c.value) << c.text;

    EXPECT_EQ(leadingDigits("0 09:05:07"), 0.0);
    EXPECT_EQ(leadingDigits("12/07/2005 09:05:07"), 12.0);
    EXPECT_EQ(leadingDigits(" 12"), 0.0);
    EXPECT_EQ(leadingDigits(""), 0.0);
    EXPECT_EQ(signedText(5), " 5");
    EXPECT_EQ(signedText(0), " 0");
    EXPECT_EQ(signedText(-5), "-5");
    EXPECT_EQ(integerText(-1234567), "-1234567");
    EXPECT_EQ(integerText(std::size_t{65535}), "65535");
    EXPECT_EQ(parseInteger("-4"), -4);
    EXPECT_EQ(parseInteger("007"), 7);
    for (const char* refused : {"", "-", "+7", " 5", "5 ", "1.0", "1,0", "9223372036854775808"})
        EXPECT_EQ(parseInteger(refused), std::nullopt) << refused;
}

} // namespace
} // namespace kova
