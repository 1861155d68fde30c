#include "link/RegisterAccess.h"

#include <gtest/gtest.h>

#include <vector>

namespace kova {
namespace {

TEST(RegisterAccess, Readers)
{
    RegisterImages im;
    im.get[10] = 0x12;
    im.get[11] = 0x34;
    EXPECT_EQ(Leer_Get(im, 10, 1, 0), 0x1234u);
    EXPECT_EQ(Leer_Get(im, 10, 0, 1), 0x12u);
    EXPECT_EQ(Leer_Get(im, 10, 0, 0), 0x34u);
    EXPECT_EQ(Leer_Get(im, 10, 0, 5), 0x34u);
    EXPECT_EQ(Leer_Get_Largo(im, 10, 0, 5), 0u);
    EXPECT_EQ(Leer_Get_Largo(im, 10, 0, 0), 0x34u);
    EXPECT_EQ(Leer_Get_Largo(im, 10, 1, 0), 0x1234u);
    EXPECT_EQ(Leer_Get(im, 10, 2, 0), 0u);
    EXPECT_EQ(Leer_Put(im, 10, 1, 0), 0u); // the Put image is separate

    im.get[12] = 0x56;
    im.get[13] = 0x78;
    EXPECT_EQ(Leer_Get_Largo(im, 10, 2, 0), 0x12345678u);
    im.get[10] = 0x80;
    im.get[11] = im.get[12] = im.get[13] = 0;
    EXPECT_EQ(Leer_Get_Largo(im, 10, 2, 0), 2147483648u);

    // No index, or past the image: 0.
    im.get.fill(0xFF);
    EXPECT_EQ(Leer_Get(im, std::nullopt, 1, 0), 0u);
    EXPECT_EQ(Leer_Get_Largo(im, std::nullopt, 2, 0), 0u);
    EXPECT_EQ(Leer_Get(im, 300, 1, 0), 0u);
    EXPECT_EQ(Leer_Get(im, 300, 0, 1), 0xFFu);
    EXPECT_EQ(Leer_Get(im, 300, 0, 0), 0u);
    EXPECT_EQ(Leer_Get_Largo(im, 298, 2, 0), 0u);
    EXPECT_EQ(Leer_Get_Largo(im, 297, 2, 0), 0xFFFFFFFFu);
}

TEST(RegisterAccess, BitReads)
{
    RegisterImages im;
    im.get[10] = 0x80;
    im.get[11] = 0x00;
    EXPECT_EQ(Leer_Bit(im, 15, 10, 1, 0), 1);
    EXPECT_EQ(Leer_Bit(im, 7, 10, 0, 1), 1);
    EXPECT_EQ(Leer_Bit(im, 14, 10, 1, 0), 0);
    EXPECT_EQ(Leer_Bit(im, 16, 10, 1, 0), 0);
    EXPECT_EQ(Leer_Bit(im, 40, 10, 1, 0), 0);
    EXPECT_EQ(Leer_Bit(im, 15, std::nullopt, 1, 0), 0);

    im.get[10] = 0x00;
    im.get[11] = 0x0A; // bits 1 and 3
    const struct {
        int result, expected;
    } cases[] = {
        {Decodificar_4_Bits(im, 0, 1, 2, 3, 10, 1, 0), 10},
        {Decodificar_2_Bits(im, 3, 1, 10, 1, 0), 3},
        {Decodificar_2_Bits(im, 1, 2, 10, 1, 0), 1},
        {Decodificar_3_Bits(im, 1, 2, 3, 10, 1, 0), 5},
        {Decodificar_2_Bits(im, 0, 2, 10, 1, 0), 0},
        {Decodificar_4_Bits(im, 3, 1, 0, 2, 10, 1, 0), 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, c.expected);

    im.get[20] = 0x00;
    im.get[21] = 0x14;
    EXPECT_EQ(Decodificar_3_Bits(im, 2, 3, 4, 20, 1, 0), 5);
}

TEST(RegisterAccess, Encoders)
{
    RegisterImages im;
    auto setPut = [&im](std::uint16_t w) {
        im.put[40] = static_cast<std::uint8_t>(w >> 8);
        im.put[41] = static_cast<std::uint8_t>(w & 0xFF);
    };
    struct Case {
        std::uint16_t put;
        std::uint32_t result;
        std::uint32_t expected;
    };
    std::vector<Case> cases;
    auto add = [&](std::uint16_t put, auto&& f, std::uint32_t expected) {
        setPut(put);
        const auto before = im.put;
        cases.push_back({put, f(), expected});
        EXPECT_EQ(im.put, before); // encoders never write
    };
    add(0x00F0, [&] { return Codificar_2_Bits(im, 4, 5, 2, 40, 1, 0, 1); }, 0x00E0);
    add(0x00F0, [&] { return Codificar_2_Bits(im, 4, 5, 0, 40, 1, 0, 1); }, 0x00C0);
    add(0x00F0, [&] { return Codificar_2_Bits(im, 4, 5, 1, 40, 1, 0, 1); }, 0x00D0);
    add(0x00F0, [&] { return Codificar_2_Bits(im, 4, 5, 3, 40, 1, 0, 1); }, 0x00F0);
    add(0x00F0, [&] { return Codificar_4_Bits(im, 0, 1, 2, 3, 15, 40, 1, 0, 1); }, 0x00FF);
    add(0x00F0, [&] { return Codificar_2_Bits(im, 4, 5, 1, 40, 1, 0, 2); }, 0x00E0);
    add(0xFFF8, [&] { return Codificar_3_Bits(im, 0, 1, 2, 5, 40, 1, 0, 1); }, 0xFFFD);
    add(0x0000, [&] { return Codificar_1_Bit(im, 1, 3, 40, 1, 0); }, 0x0008);
    add(0xFFFF, [&] { return Codificar_1_Bit(im, 0, 3, 40, 1, 0); }, 0xFFF7);
    // A combination that does not fit, or a bit past the register: unchanged.
    add(0x1234, [&] { return Codificar_2_Bits(im, 4, 5, 4, 40, 1, 0, 1); }, 0x1234);
    add(0x1234, [&] { return Codificar_2_Bits(im, 4, 5, -1, 40, 1, 0, 1); }, 0x1234);
    add(0x1234, [&] { return Codificar_4_Bits(im, 0, 1, 2, 3, 20000, 40, 1, 0, 20000); }, 0x1234);
    add(0x1234, [&] { return Codificar_2_Bits(im, 4, 16, 1, 40, 1, 0, 1); }, 0x1234);
    add(0x1234, [&] { return Codificar_1_Bit(im, 1, 31, 40, 1, 0); }, 0x1234);
    for (const auto& c : cases)
        EXPECT_EQ(c.result, c.expected) << std::hex << c.put;
}

TEST(RegisterAccess, Writers)
{
    struct Case {
        bool registro;   // Escribir_Registro, else Escribir_Dato
        const char* text;
        int index, dataLen, high;
        std::vector<std::pair<int, std::uint8_t>> changed;
    };
    const Case cases[] = {
        {false, "1234", 10, 1, 0, {{10, 0x12}, {11, 0x34}}},
        {false, "1234", 10, 0, 1, {{10, 0x34}}},
        {false, "1234", 10, 0, 0, {{11, 0x34}}},
        {false, "1234", 10, 0, 7, {{11, 0x34}}},
        {false, "1234", 10, 2, 0, {}},
        {false, "12", 10, 1, 0, {{10, 0x12}, {11, 0x00}}},
        {false, "1G34", 10, 1, 0, {{10, 0x01}, {11, 0x34}}},
        {false, "abcd", 10, 1, 0, {{10, 0xAB}, {11, 0xCD}}},
        {false, "1234", 300, 1, 0, {}},
        {false, "1234", 300, 0, 1, {{300, 0x34}}},
        {false, "1234", 300, 0, 0, {}},
        {true, "00001234", 10, 1, 0, {{10, 0x12}, {11, 0x34}}},
        {true, "00001234", 10, 2, 0, {{10, 0x00}, {11, 0x00}, {12, 0x12}, {13, 0x34}}},
        {true, "0001E240", 10, 2, 0, {{10, 0x00}, {11, 0x01}, {12, 0xE2}, {13, 0x40}}},
        {true, "000000FF", 10, 0, 0, {{11, 0xFF}}},
        {true, "000000FF", 10, 0, 1, {{10, 0xFF}}},
        {true, "000000FF", 10, 0, 2, {}},
        {true, "00000100", 10, 0, 1, {}},
        {true, "00001234", 10, 3, 0, {}},
        {true, "12345678", 298, 2, 0, {}},
        {true, "12345678", 297, 2, 0, {{297, 0x12}, {298, 0x34}, {299, 0x56}, {300, 0x78}}},
    };
    for (const auto& c : cases) {
        RegisterImages im;
        im.put.fill(0xAA);
        if (c.registro)
            Escribir_Registro(im, static_cast<std::uint16_t>(c.index), c.text, c.dataLen, c.high);
        else
            Escribir_Dato(im, c.text, static_cast<std::uint16_t>(c.index), c.dataLen, c.high);
        auto expected = std::array<std::uint8_t, RegisterImages::kSetpointBytes>{};
        expected.fill(0xAA);
        for (const auto& [i, v] : c.changed)
            expected[static_cast<std::size_t>(i)] = v;
        EXPECT_EQ(im.put, expected) << c.text << " at " << c.index << " DataLen " << c.dataLen << " High "
                                    << c.high;
        EXPECT_TRUE(std::all_of(im.get.begin(), im.get.end(), [](std::uint8_t b) { return b == 0; }));
    }

    // A register with no index writes nothing (never index 0).
    RegisterImages im;
    im.put.fill(0xAA);
    const auto before = im.put;
    Escribir_Dato(im, "1234", Indice_Setpoint("0131"), 1, 0);
    Escribir_Registro(im, Indice_Setpoint("0131"), "00001234", 1, 0);
    EXPECT_EQ(im.put, before);
}

} // namespace
} // namespace kova
