#include "text/NumOrText.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

TEST(NumOrText, KindsTextsAndNumbers)
{
    EXPECT_TRUE(NumOrText().isEmpty());
    EXPECT_TRUE(NumOrText("").isEmpty());
    EXPECT_FALSE(NumOrText(" No Trip ").isEmpty());
    EXPECT_FALSE(NumOrText(std::int16_t{0}).isEmpty());

    const struct {
        NumOrText value;
        const char* text;
        std::optional<double> number;
    } cases[] = {
        {NumOrText(), "", 0.0},
        {NumOrText(std::int16_t{1}), "1", 1.0},
        {NumOrText(std::int32_t{65535000}), "65535000", 65535000.0},
        {NumOrText(13800.0f), "13800", 13800.0},
        {NumOrText(-1230.0), "-1230", -1230.0},
        {NumOrText(0.01f), "0.01", static_cast<double>(0.01f)},
        {NumOrText("12.34"), "12.34", 12.34},
        {NumOrText("1,5"), "1,5", 1.5},
        {NumOrText(" Wye "), " Wye ", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.toText(), c.text);
        EXPECT_EQ(c.value.toNumber(), c.number) << c.text;
    }

    // The original kind is kept: text "100" and number 100 differ.
    EXPECT_NE(NumOrText("100"), NumOrText(std::int32_t{100}));
    EXPECT_TRUE(NumOrText("100").isText());
    EXPECT_TRUE(NumOrText(std::int32_t{100}).isNumber());
    EXPECT_EQ(NumOrText("100").asDecimal(), NumOrText(std::int32_t{100}).asDecimal());
    EXPECT_EQ(NumOrText(0.01f).asDecimal()->count(), 100);
    EXPECT_EQ(NumOrText("1.5").asDecimal()->count(), 15000);
    EXPECT_FALSE(NumOrText("abc").asDecimal());
}

} // namespace
} // namespace kova
