#include "ImageHelpers.h"
#include "link/RelayData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kova {
namespace {

using test::setActual;
using test::setGet;

struct Decoder : ::testing::Test {
    RegisterImages im;
    RelayData data{im};
    NumOrText at(int p) { return data.DatosDeVariables(p); }
    std::string text(int p)
    {
        const NumOrText v = at(p);
        const auto* s = v.getIf<std::string>();
        return s ? *s : std::string("<not text>");
    }
};

TEST_F(Decoder, Block0StatusFlagsAndStates)
{
    const struct {
        int reg0203;
        std::vector<int> flags; // positions 1..11
    } cases[] = {
        {0x0F20, {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}},
        {0x00DF, {1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0}},
        {0x0001, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0x0040, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {0x0400, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        setActual(im, 0x0203, {c.reg0203});
        data.Devuelve_Datos(0);
        for (int p = 1; p <= 11; ++p) {
            ASSERT_TRUE(at(p).holds<std::int16_t>()) << p;
            EXPECT_EQ(*at(p).getIf<std::int16_t>(), c.flags[static_cast<std::size_t>(p - 1)])
                << std::hex << c.reg0203 << " position " << std::dec << p;
        }
    }
    setActual(im, 0x0205, {0x0005});
    setActual(im, 0x0206, {0x000A});
    data.Devuelve_Datos(0);
    const char* expected[] = {" De-energized ", " Energized ", " De-energized ", " Energized ",
                              " Open ",         " Closed ",    " Open ",         " Closed "};
    for (int p = 12; p <= 19; ++p)
        EXPECT_EQ(text(p), expected[p - 12]) << p;
}

TEST_F(Decoder, Block1Currents)
{
    setActual(im, 0x020D, {0x0000, 0x04D2, 0x0000, 0x0096});
    setActual(im, 0x0250, {0x03E8, 0x0005});
    data.Devuelve_Datos(1);
    EXPECT_EQ(text(20), "12.34");
    EXPECT_EQ(text(21), "1.50");
    EXPECT_EQ(text(25), "100.0");
    EXPECT_EQ(text(26), "0.5");
    EXPECT_EQ(text(22), "0.00");
    EXPECT_EQ(text(27), "0.0");
    EXPECT_EQ(text(28), "0.00");
}

TEST_F(Decoder, Block2VoltagesFrequencySequenceAndVtConnection)
{
    // A VT code outside the table leaves position 325 as it was: empty.
    setGet(im, 0x0101, 0x000C);
    data.Devuelve_Datos(2);
    EXPECT_TRUE(at(325).isEmpty());

    setActual(im, 0x0217, {0x0002, 0x1B10});
    setActual(im, 0x024B, {0x1770});
    data.Devuelve_Datos(2);
    ASSERT_TRUE(at(29).holds<float>());
    EXPECT_EQ(*at(29).getIf<float>(), 13800.0f);
    EXPECT_EQ(*at(35).getIf<float>(), 0.0f);
    EXPECT_EQ(text(36), "60.00");

    const struct {
        int value;
        const char* text;
    } sequences[] = {{0, " Not Sequence "}, {1, " A-B-C "}, {2, " A-C-B "}, {3, " Error "}, {0xFFFF, " Error "}};
    for (const auto& c : sequences) {
        setActual(im, 0x025E, {c.value});
        data.Devuelve_Datos(2);
        EXPECT_EQ(text(37), c.text);
    }

    const struct {
        int value;
        const char* text;
    } vt[] = {{0x0000, " Wye "}, {0x0004, " Delta-Delta "}, {0x0008, " Open Delta "}, {0xFFE3, " Wye "},
              {0x000C, " Wye "}, {0x0010, " Wye "},         {0x0008, " Open Delta "}, {0x001C, " Open Delta "}};
    for (const auto& c : vt) {
        setGet(im, 0x0101, c.value);
        data.Devuelve_Datos(2);
        EXPECT_EQ(text(325), c.text) << std::hex << c.value;
    }
}

TEST_F(Decoder, Block3PowersAndPowerFactor)
{
    const struct {
        int hi, lo;
        double value;
    } powers[] = {{0x0000, 0x007B, 1230.0}, {0xFFFF, 0xFFFF, -10.0}, {0x0001, 0xE240, 1234560.0},
                  {0x0000, 0x0000, 0.0},    {0xFFFF, 0xFF85, -1230.0}};
    for (const auto& c : powers) {
        setActual(im, 0x022F, {c.hi, c.lo});
        setActual(im, 0x0245, {c.hi, c.lo});
        data.Devuelve_Datos(3);
        ASSERT_TRUE(at(38).holds<double>());
        EXPECT_EQ(*at(38).getIf<double>(), c.value);
        EXPECT_EQ(*at(50).getIf<double>(), c.value);
    }
    const struct {
        int w;
        const char* text;
    } factors[] = {{0xFFA7, "-0.89"}, {0x0064, "1.00"}, {0x0000, "0.00"}, {0x8000, "-327.68"}, {0x0096, "1.50"}};
    for (const auto& c : factors) {
        setActual(im, 0x0247, {c.w});
        data.Devuelve_Datos(3);
        EXPECT_EQ(text(41), c.text);
    }
}

TEST_F(Decoder, PositionFortyBelongsToTheLastBlockDecoded)
{
    setActual(im, 0x0200, {0x0005, 0x1D89, 0x1446});
    setActual(im, 0x0233, {0x0000, 0x0001});
    data.Devuelve_Datos(3);
    data.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "12/07/2005 09:05:07");
    data.Devuelve_Datos(3);
    ASSERT_TRUE(at(40).holds<double>());
    EXPECT_EQ(*at(40).getIf<double>(), 10.0);

    setActual(im, 0x0200, {0, 0, 0});
    data.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "0 0");
    setActual(im, 0x0200, {0xFF85, 0x1D89, 0x1446});
    data.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "12/07/2005 09:05:07");
    data.setDatePattern("yyyy-MM-dd");
    data.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "2005-07-12 09:05:07");
    data.setDatePattern("d MMM yyyy"); // would put a blank inside the date
    data.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "12/07/2005 09:05:07");
}

TEST_F(Decoder, Block4Energies)
{
    setActual(im, 0x025F, {0x0001, 0x0000, 0xFFFF, 0xFFFF});
    data.Devuelve_Datos(4);
    ASSERT_TRUE(at(51).holds<double>());
    EXPECT_EQ(*at(51).getIf<double>(), 65536.0);
    EXPECT_EQ(*at(52).getIf<double>(), 4294967295.0);
    EXPECT_EQ(text(55), "0 0");
    setActual(im, 0x0267, {0x0005, 0x1D89, 0x1446});
    data.Devuelve_Datos(4);
    EXPECT_EQ(text(55), "12/07/2005 09:05:07");
}

TEST_F(Decoder, Block5Demand)
{
    setActual(im, 0x026A, {0x0000, 0x0096, 0xFFFF, 0xFF85});
    setActual(im, 0x0270, {0x0000, 0x2710});
    setActual(im, 0x0272, {0x0005, 0x1D89, 0x1446});
    data.Devuelve_Datos(5);
    EXPECT_EQ(text(56), "1.50");
    ASSERT_TRUE(at(57).holds<float>());
    EXPECT_EQ(*at(57).getIf<float>(), -1230.0f);
    ASSERT_TRUE(at(59).holds<float>());
    EXPECT_EQ(*at(59).getIf<float>(), 100.0f);
    EXPECT_EQ(text(60), "12/07/2005 09:05:07");
    EXPECT_EQ(text(62), "0 0");
    EXPECT_EQ(text(64), "0 0");
    ASSERT_TRUE(at(63).holds<float>());
}

TEST_F(Decoder, Block6Maintenance)
{
    const struct {
        std::uint16_t reg;
        int value;
        int position;
        std::int32_t stored;
    } cases[] = {{0x02D0, 0xFFFF, 77, 65535}, {0x02D1, 2, 78, 2000},       {0x02D1, 0xFFFF, 78, 65535000},
                 {0x02D3, 7, 80, 7000},        {0x02D6, 0x8000, 83, 32768}, {0x02D4, 3, 81, 3}};
    for (const auto& c : cases) {
        setActual(im, c.reg, {c.value});
        data.Devuelve_Datos(6);
        ASSERT_TRUE(at(c.position).holds<std::int32_t>());
        EXPECT_EQ(*at(c.position).getIf<std::int32_t>(), c.stored);
    }
}

TEST_F(Decoder, Block7LastTrip)
{
    const struct {
        int w1, w2, w3;
        const char* cause;
        const char* when;
    } stamps[] = {
        {0x1905, 0x1D89, 0x1446, " Phase Timed OverCurrent ", "12/07/2005 09:05:07"},
        {0x0000, 0x0000, 0x0000, " No Trip ", "0"},
        {0x0000, 0x0009, 0x1446, " No Trip ", "0"},
        {0x0105, 0x1D89, 0x1446, "", "12/07/2005 09:05:07"},
    };
    for (const auto& c : stamps) {
        setActual(im, 0x027F, {c.w1, c.w2, c.w3});
        data.Devuelve_Datos(7);
        EXPECT_EQ(text(65), c.cause);
        EXPECT_EQ(text(66), c.when);
    }
    setActual(im, 0x0282, {0x0000, 0x04D2});
    setActual(im, 0x028C, {0x0002, 0x1B10});
    setActual(im, 0x0292, {0x1770, 0xFFA7});
    data.Devuelve_Datos(7);
    EXPECT_EQ(*at(67).getIf<float>(), 12.34f);
    EXPECT_EQ(*at(72).getIf<float>(), 13800.0f);
    EXPECT_EQ(text(75), "60.00");
    EXPECT_EQ(text(76), "-0.89");
}

TEST_F(Decoder, TableAccessAndClearing)
{
    setActual(im, 0x0203, {0x00FF});
    data.Devuelve_Datos(0);
    for (int bloque : {10, -1, 1000}) {
        const auto before = at(1);
        EXPECT_FALSE(data.Devuelve_Datos(bloque));
        EXPECT_EQ(at(1), before);
    }
    EXPECT_FALSE(data.Devuelve_Datos(0));
    for (int p : {0, 304, 400, 401, -1, 32767})
        EXPECT_TRUE(at(p).isEmpty()) << p;

    data.values.set(99, "x");
    data.values.set(132, "y");
    data.values.Fill_Cero(100);
    for (int p = 100; p <= 131; ++p) {
        ASSERT_TRUE(at(p).holds<std::int16_t>());
        EXPECT_EQ(*at(p).getIf<std::int16_t>(), 0);
    }
    EXPECT_EQ(text(99), "x");
    EXPECT_EQ(text(132), "y");
    data.values.Fill_Cero(369);
    EXPECT_TRUE(at(400).holds<std::int16_t>());
    data.values.set(400, "z");
    data.values.Fill_Cero(370);
    data.values.Fill_Cero(-1);
    EXPECT_EQ(text(400), "z");
    EXPECT_TRUE(at(0).isEmpty());
}

} // namespace
} // namespace kova
