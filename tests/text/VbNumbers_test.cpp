#include "text/VbNumbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kova::vb;

TEST(Val, ReadsTheLeadingNumberSkippingBlanks)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {" 12abc", 12},   {"1 2", 12},     {"1e3", 1000},      {"-5", -5},
        {"abc", 0},       {"", 0},         {"1.5.3", 1.5},     {"&HFF", 255},
        {"&O17", 15},     {"\t7\n", 7},    {"&H2580", 9600},   {"2.5", 2.5},
        {"+4", 4},        {"-", 0},        {".5", 0.5},        {"1e", 1},
        {"2 5 7", 257},   {"1D2", 100},    {"9600,N,8,1", 9600}, {"&h1a", 26},
        {"&X1", 0},       {"3.", 3},       {"1e-2", 0.01},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << '"' << c.text << '"';
}

TEST(Val, HugeExponentIsInfiniteNotZero)
{
    EXPECT_TRUE(std::isinf(Val("1e999")));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
        {2.4, 2}, {2.6, 3}, {-0.4, 0},  {7, 7},
    };
    for (auto [in, out] : cases) EXPECT_DOUBLE_EQ(roundHalfEven(in), out) << in;
}

TEST(WidthConversions, RoundThenCheckTheRange)
{
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_FALSE(toInt16(32767.6));
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_FALSE(toInt16(70000));
    EXPECT_EQ(toByte(255.5), std::nullopt); // rounds to 256
    EXPECT_EQ(toByte(254.5), 254);
    EXPECT_EQ(toByte(-0.4), 0);
    EXPECT_FALSE(toByte(-1));
    EXPECT_FALSE(toInt32(Val("1e999")));
}

