#include "link/RegisterImages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kova {
namespace {

struct LookupCase {
    const char* address;
    std::optional<std::uint16_t> index;
};

TEST(RegisterMap, SetpointLookup)
{
    const LookupCase cases[] = {
        {"0101", 0},   {"0105", 8},   {"010D", 24},  {"0118", 46},  {"0119", 48},
        {"0130", 94},  {"1000", 96},  {"1018", 144}, {"1019", 146}, {"1031", 194},
        {"1032", 196}, {"104A", 244}, {"104B", 246}, {"1064", 296}, {"104b", 246},
        {"101", 0},    {"0100", {}},  {"0131", {}},  {"1065", {}},  {"", {}},
        {"FFFF", {}},  {"01G1", {}},  {" 101", {}},  {"00101", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Indice_Setpoint(c.address), c.index) << c.address;
}

TEST(RegisterMap, ActualValueLookup)
{
    const LookupCase cases[] = {
        {"0200", 0},   {"0203", 6},   {"0205", 10},  {"0206", 12},  {"20D", 26},   {"020d", 26},
        {"0223", 70},  {"0226", 76},  {"022F", 78},  {"0247", 126}, {"024B", 128}, {"0250", 138},
        {"025E", 144}, {"0267", 162}, {"026A", 168}, {"027F", 210}, {"0292", 248}, {"02D0", 252},
        {"02D6", 264}, {"0600", 266}, {"0610", 298}, {"0611", 300}, {"0614", 306}, {"061E", 326},
        {"0624", 338}, {"0625", 340}, {"0227", {}},  {"022E", {}},  {"0248", {}},  {"0253", {}},
        {"0294", {}},  {"02CF", {}},  {"02D7", {}},  {"05FF", {}},  {"0626", {}},  {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Indice_ActualValue(c.address), c.index) << c.address;
}

TEST(RegisterMap, RestoreBlockCopiesExactlyThatBlock)
{
    struct Case {
        int block;
        int first, last; // bytes copied; first > last: nothing
    };
    const Case cases[] = {{1, 0, 47}, {3, 96, 145}, {6, 246, 297}, {0, 1, 0}, {7, 1, 0}, {-1, 1, 0}};
    for (const auto& c : cases) {
        RegisterImages im;
        for (std::size_t i = 0; i < im.get.size(); ++i) {
            im.get[i] = static_cast<std::uint8_t>(i & 0xFF);
            im.put[i] = 0xEE;
        }
        const auto getBefore = im.get;
        Restaurar_Bloque(im, c.block);
        for (int i = 0; i < static_cast<int>(im.put.size()); ++i) {
            const bool inBlock = i >= c.first && i <= c.last;
            EXPECT_EQ(im.put[static_cast<std::size_t>(i)], inBlock ? (i & 0xFF) : 0xEE)
                << "block " << c.block << " byte " << i;
        }
        EXPECT_EQ(im.get, getBefore);
    }
}

TEST(RegisterMap, CopyPutToGet)
{
    RegisterImages im;
    for (std::size_t i = 0; i < im.put.size(); ++i) {
        im.put[i] = static_cast<std::uint8_t>(i * 7);
        im.get[i] = 0x55;
    }
    const auto putBefore = im.put;
    Copiar_Put_A_Get(im);
    EXPECT_EQ(im.get, im.put);
    EXPECT_EQ(im.put, putBefore);
}

TEST(RegisterMap, BlocksAreContiguous)
{
    int bytes = 0;
    for (const auto& b : Bloques_Setpoints) {
        EXPECT_EQ(setpointIndex(b.first), bytes);
        bytes += 2 * b.registers();
    }
    EXPECT_EQ(bytes, 298);
    bytes = 0;
    for (const auto& b : Bloques_ActualValues) {
        EXPECT_EQ(actualValueIndex(b.first), bytes);
        bytes += 2 * b.registers();
    }
    EXPECT_EQ(bytes, 342);
}

TEST(RegisterMap, WriteFrameNamesTheBlockItWrites)
{
    const struct { std::vector<std::uint8_t> trama; int bloque; } casos[] = {
        {{1, 16, 0x01, 0x01, 0, 24}, 1}, {{1, 16, 0x01, 0x19, 0, 24}, 2}, {{1, 16, 0x10, 0x00, 0, 25}, 3},
        {{1, 16, 0x10, 0x19, 0, 25}, 4}, {{1, 16, 0x10, 0x32, 0, 25}, 5}, {{1, 16, 0x10, 0x4B, 0, 26}, 6},
        {{1, 3, 0x01, 0x01, 0, 24}, 0},  // a read of block 1
        {{1, 16, 0x01, 0x02, 0, 1}, 0},  // a write inside block 1
        {{1, 16, 0x00, 0x90, 0, 3}, 0},  // the clock
        {{1, 16, 0x01}, 0},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Bloque_De_Trama(c.trama), c.bloque) << int(c.trama[1]);
}

} // namespace
} // namespace kova
