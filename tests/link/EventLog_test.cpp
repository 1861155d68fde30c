#include "ImageHelpers.h"
#include "link/RelayData.h"

#include <gtest/gtest.h>

#include <string>

namespace kova {
namespace {

using test::setActual;

struct Events : ::testing::Test {
    RegisterImages im;
    RelayData data{im};
    EventLog& log = data.events;

    std::string text(int p)
    {
        const auto v = data.DatosDeVariables(p);
        const auto* s = v.getIf<std::string>();
        return s ? *s : (v.isEmpty() ? std::string("<empty>") : std::string("<number>"));
    }
    void fillColumn0(const std::string& t)
    {
        for (int p = 83; p <= 303; ++p)
            data.values.set(p, t);
    }
    // A record of event k with newest number `newest` and a fixed stamp.
    void record(int newest, int k)
    {
        setActual(im, 0x0600, {newest});
        setActual(im, 0x0610, {k, 0x1905, 0x1D89, 0x1446, 0x0000, 0x04D2});
        setActual(im, 0x061E, {0x0002, 0x1B10});
        setActual(im, 0x0624, {0x1770, 0xFFA7});
        data.Devuelve_Datos(9);
    }
};

TEST_F(Events, Selection)
{
    const struct {
        int newest, n, k;
    } cases[] = {{57, 1, 57}, {57, 20, 38}, {3, 5, 1}, {0, 1, 1}, {3, 3, 1}, {40000, 1, 40000}, {65535, 20, 65516}};
    for (const auto& c : cases) {
        setActual(im, 0x0600, {c.newest});
        EXPECT_EQ(log.seleccionar(im, c.n), c.k) << c.newest << " " << c.n;
    }
}

TEST_F(Events, SelectingPastTheNewestMarksRows)
{
    fillColumn0("old");
    setActual(im, 0x0600, {3});
    log.seleccionar(im, 5);
    for (int p = 84; p <= 87; ++p)
        EXPECT_EQ(text(p), "old") << p;
    for (int p = 88; p <= 103; ++p)
        EXPECT_EQ(text(p), " No Trip ") << p;

    fillColumn0("old");
    setActual(im, 0x0600, {0});
    log.seleccionar(im, 1);
    EXPECT_EQ(text(83), "old");
    for (int p = 84; p <= 103; ++p)
        EXPECT_EQ(text(p), " No Trip ") << p;

    // Newest below 20: selecting the newest marks the rows past it.
    fillColumn0("old");
    setActual(im, 0x0600, {3});
    log.seleccionar(im, 1);
    EXPECT_EQ(text(86), "old");
    EXPECT_EQ(text(87), " No Trip ");
    EXPECT_EQ(text(103), " No Trip ");
    fillColumn0("old");
    setActual(im, 0x0600, {57});
    log.seleccionar(im, 1);
    EXPECT_EQ(text(103), "old");
}

TEST_F(Events, RecordDecodeFillsItsRow)
{
    record(57, 55);
    EXPECT_EQ(text(86), "55, Phase Timed OverCurrent ,12/07/2005 09:05:07");
    EXPECT_EQ(text(106), "12.34");
    ASSERT_TRUE(data.DatosDeVariables(206).holds<float>());
    EXPECT_EQ(*data.DatosDeVariables(206).getIf<float>(), 13800.0f);
    EXPECT_EQ(text(266), "60.00");
    EXPECT_EQ(text(286), "-0.89");
    EXPECT_EQ(text(126), "0.00");
    EXPECT_EQ(log.Ultimo_Numero_Evento(), 57);

    record(57, 38);
    for (int c = 0; c < 11; ++c)
        EXPECT_FALSE(data.DatosDeVariables(103 + 20 * c).isEmpty()) << c;
    EXPECT_EQ(text(103).substr(0, 3), "38,");

    // A cause without a text: two commas in a row.
    setActual(im, 0x0600, {57});
    setActual(im, 0x0610, {57, 0x0105, 0x1D89, 0x1446});
    data.Devuelve_Datos(9);
    EXPECT_EQ(text(84), "57,,12/07/2005 09:05:07");

    // Unsigned numbers.
    record(40000, 39990);
    EXPECT_EQ(text(94), "39990, Phase Timed OverCurrent ,12/07/2005 09:05:07");
    EXPECT_EQ(log.Ultimo_Numero_Evento(), 40000);
}

TEST_F(Events, RecordsOutsideTheTableAreStoredNowhere)
{
    const struct {
        int newest, k;
    } cases[] = {{57, 59}, {57, 37}, {57, 58}, {3, 65534}, {0, 1}, {40000, 39980}};
    for (const auto& c : cases) {
        for (int p = 0; p <= 400; ++p)
            data.values.set(p, "old");
        record(c.newest, c.k);
        for (int p = 0; p <= 400; ++p) {
            // Only the marking of rows past a newest number below 20 happens.
            const bool marked = c.newest < 20 && p >= 84 + c.newest && p <= 103;
            EXPECT_EQ(text(p), marked ? " No Trip " : "old") << c.newest << " " << c.k << " position " << p;
        }
    }
}

TEST_F(Events, StaleRowsOfAnEarlierRelayAreMarked)
{
    for (int k = 57; k >= 38; --k)
        record(57, k);
    for (int p = 84; p <= 103; ++p)
        EXPECT_NE(text(p).find(','), std::string::npos) << p;
    record(3, 3);
    EXPECT_EQ(text(84).substr(0, 2), "3,");
    EXPECT_EQ(text(85).substr(0, 3), "56,"); // rows 1 and 2 wait for their own records
    for (int p = 87; p <= 103; ++p)
        EXPECT_EQ(text(p), " No Trip ") << p;
}

TEST_F(Events, MarkingAndGapDetection)
{
    fillColumn0("old");
    log.Write_NotEvent(21);
    EXPECT_EQ(text(103), "old");
    log.Write_NotEvent(0);
    EXPECT_EQ(text(83), "old");
    for (int p = 84; p <= 103; ++p)
        EXPECT_EQ(text(p), " No Trip ");
    log.Write_NotEvent(-3);
    EXPECT_EQ(text(83), "old");

    RegisterImages im2;
    RelayData fresh{im2};
    EXPECT_TRUE(fresh.events.Evento_Incompleto(25));
    EXPECT_FALSE(fresh.events.Evento_Incompleto(0));
    EXPECT_FALSE(fresh.events.Evento_Incompleto(-3));
    fresh.values.set(84, "1,a");
    fresh.values.set(85, "2,b");
    EXPECT_FALSE(fresh.events.Evento_Incompleto(2));
    EXPECT_TRUE(fresh.events.Evento_Incompleto(3));
    fresh.values.set(86, "");
    EXPECT_TRUE(fresh.events.Evento_Incompleto(3));
    fresh.values.set(86, " No Trip ");
    EXPECT_FALSE(fresh.events.Evento_Incompleto(3));
    for (int p = 87; p <= 103; ++p)
        fresh.values.set(p, " No Trip ");
    EXPECT_FALSE(fresh.events.Evento_Incompleto(25));
    fresh.values.set(103, NumOrText());
    EXPECT_TRUE(fresh.events.Evento_Incompleto(25));
    EXPECT_FALSE(fresh.events.Evento_Incompleto(19));
}

TEST_F(Events, ChainCount)
{
    const struct {
        int newest, m;
    } cases[] = {{0, 1}, {1, 0}, {3, 2}, {20, 19}, {21, 19}, {57, 19}, {40000, 19}, {65535, 19}};
    for (const auto& c : cases)
        EXPECT_EQ(EventLog::eventosPorRevisar(static_cast<std::uint16_t>(c.newest)), c.m) << c.newest;
}

} // namespace
} // namespace kova
