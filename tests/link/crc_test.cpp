#include "link/BasicCRC.h"
#include "link/support/Bytes.h"

#include <gtest/gtest.h>

using namespace kova;
using kova::test::bytes;

TEST(BasicCRC, TablesStartAndEndAsPublished)
{
    BasicCRC::Inicializar_Tablas_CRC();
    const auto& hi = BasicCRC::auchCRCHi;
    const auto& lo = BasicCRC::auchCRCLo;
    EXPECT_EQ(hi[0], 0x00); EXPECT_EQ(hi[1], 0xC1); EXPECT_EQ(hi[2], 0x81); EXPECT_EQ(hi[3], 0x40);
    EXPECT_EQ(hi[255], 0x40);
    EXPECT_EQ(lo[0], 0x00); EXPECT_EQ(lo[1], 0xC0); EXPECT_EQ(lo[2], 0xC1); EXPECT_EQ(lo[3], 0x01);
    EXPECT_EQ(lo[4], 0xC3);
    EXPECT_EQ(lo[252], 0x41); EXPECT_EQ(lo[253], 0x81); EXPECT_EQ(lo[254], 0x80); EXPECT_EQ(lo[255], 0x40);
    EXPECT_EQ(hi[256], 0); EXPECT_EQ(lo[256], 0);
}

TEST(BasicCRC, KnownValuesHighByteFirst)
{
    struct Case { std::vector<std::uint8_t> msg; std::uint16_t crc; };
    const std::string digits = "123456789";
    const Case cases[] = {
        {{}, 0xFFFF},
        {std::vector<std::uint8_t>(digits.begin(), digits.end()), 0x374B},
        {bytes("01 04 02 03 00 04"), 0x0071},
        {bytes("11 03 00 6B 00 03"), 0x7687},
        {bytes("05 04 02 0D 00 1A"), 0xE03E},
        {bytes("01 04 00 00 00 04"), 0xF1C9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BasicCRC::CRC16(c.msg.data(), static_cast<std::ptrdiff_t>(c.msg.size())), c.crc)
            << kova::test::hex(c.msg);
}

TEST(BasicCRC, MatchesBitwiseAlgorithmByteSwapped)
{
    std::vector<std::uint8_t> msg;
    for (int i = 0; i < 300; ++i) {
        msg.push_back(static_cast<std::uint8_t>(i * 37 + 11));
        std::uint16_t reg = 0xFFFF;
        for (auto b : msg) {
            reg ^= b;
            for (int k = 0; k < 8; ++k)
                reg = (reg & 1) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001) : static_cast<std::uint16_t>(reg >> 1);
        }
        const std::uint16_t swapped = static_cast<std::uint16_t>((reg << 8) | (reg >> 8));
        ASSERT_EQ(BasicCRC::CRC16(msg.data(), static_cast<std::ptrdiff_t>(msg.size())), swapped);
    }
}

TEST(BasicCRC, NegativeLengthReadsNothing)
{
    const std::uint8_t one = 0x01;
    EXPECT_EQ(BasicCRC::CRC16(&one, -1), 0xFFFF);
}
