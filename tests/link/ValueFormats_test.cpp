#include "link/ValueFormats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

namespace kova {
namespace {

void putBytes(RegisterImages& im, int at, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        im.actual[static_cast<std::size_t>(at++)] = static_cast<std::uint8_t>(b);
}

void putWords(RegisterImages& im, int at, std::initializer_list<int> words)
{
    for (int w : words) {
        putBytes(im, at, {w >> 8, w & 0xFF});
        at += 2;
    }
}

TEST(ValueFormats, ScaledUnsigned)
{
    RegisterImages im;
    putBytes(im, 26, {0x00, 0x00, 0x04, 0xD2});
    putBytes(im, 128, {0xFF, 0xFF});
    putBytes(im, 138, {0xFF, 0xFF});
    putBytes(im, 46, {0x00, 0x02, 0x1B, 0x10});
    EXPECT_EQ(Formato_6(im, 0x020D), 12.34f);
    EXPECT_EQ(Formato_6_1Word(im, 0x024B), 655.35f);
    EXPECT_EQ(Formato_4_1Word(im, 0x0250), 6553.5f);
    EXPECT_EQ(Formato_4(im, 0x0217), 13800.0f);

    // The same formats over the Get image.
    im.get[8] = 0x04;
    im.get[9] = 0xD2;
    EXPECT_EQ(Formato_6_1Word(im, 0x0105, false), 12.34f);
    EXPECT_EQ(Formato_4_1Word(im, 0x0105, false), 123.4f);
    // A register in no block reads 0, not the register at index 0.
    putBytes(im, 0, {0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(Formato_6(im, 0x0227), 0.0f);
    EXPECT_EQ(Formato_19(im, 0x0294), "0");
}

TEST(ValueFormats, SignedThirtyTwo)
{
    const struct {
        std::initializer_list<int> bytes;
        float value;
    } cases[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF}, -0.01f},
        {{0xFF, 0xFF, 0xFF, 0x85}, -1.23f},
        {{0x80, 0x00, 0x00, 0x00}, static_cast<float>(-21474836.48)},
        {{0x7F, 0xFF, 0xFF, 0xFF}, static_cast<float>(21474836.47)},
        {{0x00, 0x00, 0x00, 0x7B}, 1.23f},
    };
    for (const auto& c : cases) {
        RegisterImages im;
        putBytes(im, 78, c.bytes);
        EXPECT_EQ(Formato_5(im, 0x022F), c.value);
    }
    EXPECT_EQ(static_cast<float>(-21474836.48), -21474836.0f);
}

TEST(ValueFormats, SignedSixteenAsText)
{
    const struct {
        int w;
        const char* text;
    } cases[] = {
        {0x0000, "0"},      {0x0064, "1"},       {0x0096, "1.5"},   {0x0057, "0.87"},
        {0x7FFF, "327.67"}, {0x8000, "-327.68"}, {0xFFFF, "-0.01"}, {0xFFA7, "-0.89"},
    };
    for (const auto& c : cases) {
        RegisterImages im;
        putWords(im, 126, {c.w});
        EXPECT_EQ(Formato_19(im, 0x0247), c.text) << c.w;
    }
}

TEST(ValueFormats, SingleFromTwoRegisters)
{
    const struct {
        int hi, lo;
        float value;
    } cases[] = {
        {0x3F80, 0x0000, 1.0f}, {0xC120, 0x0000, -10.0f}, {0x4049, 0x0FDB, 3.1415927f},
        {0x0000, 0x0000, 0.0f}, {0x7F80, 0x0000, std::numeric_limits<float>::infinity()},
    };
    for (const auto& c : cases) {
        RegisterImages im;
        putWords(im, 78, {c.hi, c.lo});
        EXPECT_EQ(Formato_7(im, 0x022F), c.value);
    }
    RegisterImages im;
    putWords(im, 78, {0x7FC0, 0x0000});
    EXPECT_TRUE(std::isnan(Formato_7(im, 0x022F)));
}

TEST(ValueFormats, Stamps)
{
    const TextTables texts;
    const struct {
        int w1, w2, w3;
        bool eventoDate;
        const char* text;
    } cases[] = {
        {0x0005, 0x1D89, 0x1446, false, "12/07/2005 09:05:07"},
        {0x0005, 0x1D89, 0x1446, true, " No Trip ,12/07/2005 09:05:07"},
        {0x1905, 0x1D89, 0x1446, true, " Phase Timed OverCurrent ,12/07/2005 09:05:07"},
        {0x1F05, 0x1D89, 0x1446, true, " Ground OverCurrent Alarm,12/07/2005 09:05:07"},
        {0x0105, 0x1D89, 0x1446, true, ",12/07/2005 09:05:07"},
        {0xFF85, 0x1D89, 0x1446, true, ",12/07/2005 09:05:07"},
        {0x0005, 0x1D89, 0x1657, false, "12/07/2005 09:05:59"},
        {0x0005, 0x1D80, 0x0005, false, "12/07/2005 0"},
        {0x0000, 0x0009, 0x1446, false, "0 09:05:07"},
        {0x0000, 0x0000, 0x0000, false, "0 0"},
        {0x0000, 0x0000, 0x0000, true, " No Trip ,0 0"},
        {0x0005, 0x1C09, 0x1446, false, "00/07/2005 09:05:07"},
        {0x0005, 0x3589, 0x1446, false, "12/13/2005 09:05:07"},
        {0x0005, 0x1D98, 0x1446, false, "12/07/2005 24:05:07"},
        {0x0005, 0x0BE9, 0xF7FF, false, "31/02/2005 09:61:102"}, // no roll-over
        {0x007F, 0x3FFF, 0xFFFF, false, "31/15/2127 31:63:102"},
    };
    for (const auto& c : cases) {
        RegisterImages im;
        putWords(im, 210, {c.w1, c.w2, c.w3});
        EXPECT_EQ(Formato_8(im, 210, true, c.eventoDate, texts, "dd/MM/yyyy"), c.text) << std::hex << c.w1 << " "
                                                                                        << c.w2 << " " << c.w3;
    }

    RegisterImages im;
    putWords(im, 210, {0x0005, 0x1D89, 0x1446});
    EXPECT_EQ(Formato_8(im, 210, true, false, texts, "yyyy-MM-dd"), "2005-07-12 09:05:07");
    // From the Get image, and at the very end of the image (missing words read 0).
    im.get[10] = 0x00;
    im.get[11] = 0x05;
    im.get[12] = 0x1D;
    im.get[13] = 0x89;
    im.get[14] = 0x14;
    im.get[15] = 0x46;
    EXPECT_EQ(Formato_8(im, 10, false, false, texts, "dd/MM/yyyy"), "12/07/2005 09:05:07");
    EXPECT_EQ(Formato_8(im, 398, true, false, texts, "dd/MM/yyyy"), "0 0");
}

TEST(ValueFormats, ImageReaders)
{
    RegisterImages im;
    im.get[20] = 0x00;
    im.get[21] = 0x14;
    EXPECT_EQ(Leer_Codigo_RX2(im, 2, 3, 4, 20), 5);
    putBytes(im, 0, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(Leer_Long_RX(im, 0), 4294967295.0);
    EXPECT_EQ(Leer_Word_RX(im, 0), 65535u);
    putBytes(im, 399, {0xAB, 0xCD});
    EXPECT_EQ(Leer_Word_RX(im, 399), 0xABCDu);
    EXPECT_EQ(Leer_Word_RX(im, 400), 0u);
    EXPECT_EQ(Leer_Long_RX(im, 398), 0.0);
    EXPECT_EQ(Bit_Activo(im, 7, 400), 1);
    EXPECT_EQ(Bit_Activo(im, 4, 400), 0);
    EXPECT_EQ(Bit_Activo(im, 7, 401), 0);
    EXPECT_EQ(Leer_Word_RX2(im, 300), 0u);
    EXPECT_EQ(Leer_Long_RX2(im, 298), 0u);
}

TEST(TextTables, CauseAndStateTexts)
{
    const TextTables t;
    int filled = 0;
    for (const auto& s : t.Textos_Eventos)
        filled += s.empty() ? 0 : 1;
    EXPECT_EQ(filled, 52);
    EXPECT_EQ(t.causa(35), " Serial Comunication Trip ");
    EXPECT_EQ(t.causa(62), " Ground OverCurrent Alarm");
    EXPECT_EQ(t.causa(20), " Digital Input 1 Deactive ");
    EXPECT_EQ(t.causa(96), " KVAR Demand ");
    for (int code : {2, 97, 200, 201, 511, -1})
        EXPECT_EQ(t.causa(code), "") << code;

    const std::vector<std::string> states[] = {
        {" Energized ", " De-energized "},
        {" Open ", " Closed "},
        {" Not Sequence ", " A-B-C ", " A-C-B "},
        {" Wye ", " Delta-Delta ", " Open Delta "},
    };
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(t.Textos_Estado[k], states[k]);
    EXPECT_EQ(*t.estado(StateTexts::VtConnection, 2), " Open Delta ");
    EXPECT_EQ(t.estado(StateTexts::PhaseSequence, 3), nullptr);
}

} // namespace
} // namespace kova
