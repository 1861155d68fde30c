#include "text/Decimal4.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace kova {
namespace {

TEST(Decimal4, ParseAndExactArithmetic)
{
    EXPECT_EQ(Decimal4::parse("0.01")->count(), 100);
    EXPECT_EQ(Decimal4::parse("0,01")->count(), 100);
    EXPECT_EQ(Decimal4::parse("-12.5")->count(), -125000);
    EXPECT_EQ(Decimal4::parse("1.00000")->count(), 10000);  // trailing zeros are fine
    EXPECT_FALSE(Decimal4::parse("0.00004"));               // a fifth decimal is refused
    EXPECT_FALSE(Decimal4::parse("x"));
    EXPECT_FALSE(Decimal4::parse("9999999999999999"));      // beyond the range

    const Decimal4 hundredth = *Decimal4::parse("0.01");
    EXPECT_EQ(hundredth.mulInt32(1234)->toText(), "12.34");
    EXPECT_EQ(hundredth.mulInt32(1234)->count(), 123400);
    EXPECT_FALSE(Decimal4::fromInt(2147483647)->mulInt32(500000));

    EXPECT_EQ(Decimal4::fromFloat(0.01f)->count(), 100);
    EXPECT_EQ(Decimal4::fromDouble(0.1)->count(), 1000);
    EXPECT_EQ(Decimal4::fromDouble(0.00005)->count(), 1);   // half away from zero
    EXPECT_EQ(Decimal4::fromDouble(-0.00005)->count(), -1);
    EXPECT_FALSE(Decimal4::fromDouble(1e300));

    const Decimal4 max = Decimal4::fromCount(std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(max.add(Decimal4::fromCount(1)));
    EXPECT_FALSE(Decimal4::fromCount(std::numeric_limits<std::int64_t>::min()).sub(Decimal4::fromCount(1)));
    EXPECT_FALSE(max.mul(*Decimal4::fromInt(2)));
    EXPECT_EQ(Decimal4::fromInt(1)->div(*Decimal4::parse("0.003"))->toText(), "333.3333");
    EXPECT_FALSE(Decimal4::fromInt(1)->div(Decimal4()));
    EXPECT_EQ(Decimal4::parse("1.5")->mul(*Decimal4::parse("0.0001"))->count(), 2); // 0.00015 -> 0.0002
}

TEST(Decimal4, ShortestText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12.34", "12.34"}, {"0.5", "0.5"},   {"-3", "-3"},         {"0", "0"},       {"-0", "0"},
        {"100", "100"},     {"-12.3400", "-12.34"}, {"-0.0001", "-0.0001"}, {"0.0010", "0.001"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Decimal4::parse(in)->toText(), out) << in;
}

TEST(Decimal4, RoundingToIntegers)
{
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"12.5", 12}, {"37.5", 38}, {"-12.5", -12}, {"-37.5", -38}, {"0.4999", 0},
        {"2147483647", 2147483647}, {"2147483647.5", std::nullopt}, {"3000000000", std::nullopt},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decimal4::parse(c.text)->roundToInt32HalfEven(), c.value) << c.text;
}

TEST(Decimal4, TextTimesFactorIsExact)
{
    const Decimal4 hundred = *Decimal4::fromInt(100);
    EXPECT_EQ(multiplyTextHalfEven("1.015", hundred), 102);   // 101.5 -> even
    EXPECT_EQ(multiplyTextHalfEven("2.675", hundred), 268);   // 267.5 -> even
    EXPECT_EQ(multiplyTextHalfEven("1.025", hundred), 102);   // 102.5 -> even
    EXPECT_EQ(multiplyTextHalfEven("-1.015", hundred), -102);
    EXPECT_EQ(multiplyTextHalfEven("12", *Decimal4::parse("0.5")), 6);
    EXPECT_FALSE(multiplyTextHalfEven("", hundred));
    EXPECT_FALSE(multiplyTextHalfEven("99999999999999999", *Decimal4::fromInt(1000)));
    EXPECT_EQ(formatPattern(*Decimal4::parse("1.005"), "#0.00"), "1.01");
    EXPECT_EQ(formatPattern(*Decimal4::parse("-0.5"), "0"), "-1");
}

} // namespace
} // namespace kova
