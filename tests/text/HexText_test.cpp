#include "text/HexText.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

TEST(HexText, Writers)
{
    EXPECT_EQ(hex8(300), "0000012C");
    EXPECT_EQ(hex8(-1), "FFFFFFFF");
    EXPECT_EQ(hex8(123456), "0001E240");
    const struct {
        std::uint32_t value;
        const char* text;
    } words[] = {{0, "0000"}, {0x1F, "001F"}, {0x1A2, "01A2"}, {65535, "FFFF"}, {0x12345, "12345"}};
    for (const auto& c : words)
        EXPECT_EQ(hex4word(c.value), c.text);
    EXPECT_EQ(valorAHex(255), "&H00FF");
    EXPECT_EQ(valorAHex(0), "&H0000");
    EXPECT_EQ(valorAHex(65535), "&HFFFF");
    EXPECT_EQ(valorAHex(65536), "10000");
    EXPECT_EQ(valorAHex(-1), "FFFFFFFF");
    EXPECT_EQ(hexText(0x20D), "20D");
    EXPECT_EQ(hex2(0x0C), "0C");
}

TEST(HexText, Readers)
{
    EXPECT_EQ(hexPrefix("1G"), 0x1u);
    EXPECT_EQ(hexPrefix("ff"), 0xFFu);
    EXPECT_EQ(hexPrefix(""), 0u);
    EXPECT_EQ(hexPrefix("G1"), 0u);
    EXPECT_EQ(hexPrefix("0001E240"), 0x1E240u);
    EXPECT_EQ(parseHex("20d"), 0x20Du);
    EXPECT_EQ(parseHex("020D"), 0x20Du);
    EXPECT_FALSE(parseHex(""));
    EXPECT_FALSE(parseHex("01G1"));
    EXPECT_FALSE(parseHex(" 101"));
    EXPECT_FALSE(parseHex("123456789"));
}

} // namespace
} // namespace kova
