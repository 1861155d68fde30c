#include "pages/DateTimeConfig.h"
#include "link/RelayClock.h"
#include "pages/FakePageHost.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace kova;
using kova::test::FakePageHost;

namespace {

// The clock page over a fake host; the clock buffer is packed as the
// engine packs it, and the page's questions and notices are recorded.
struct Reloj {
    FakePageHost host;
    RelayClock clock;
    std::vector<std::array<int, 6>> packed;
    bool answerYes = true;
    int questions = 0, notices = 0, unloads = 0;
    DateTimeConfig page{host,
                        [this](int d, int m, int y, int h, int mi, int s) {
                            packed.push_back({d, m, y, h, mi, s});
                            return clock.Date_Time(d, m, y, h, mi, s);
                        },
                        {[this] {
                             ++questions;
                             return answerYes;
                         },
                         [this] { ++notices; }, [this] { ++unloads; }}};

    explicit Reloj(bool online) { host.isOnline = online; }
    void relayClock(const std::string& text) { host.table[DateTimeConfig::kPosicionReloj] = text; }
};

} // namespace

TEST(ClockPage, RelayClockTextSplitsIntoDateAndTime)
{
    const struct { const char* text; const char* date; const char* time; } cases[] = {
        {"22/06/2005 14:03:07", "22/06/2005", "14:03:07"}, {"0 0", "0", "0"}, {"ABC", "", "ABC"},
        {"", "", ""}, {"22/06/2005 14:03:07  ", "22/06/2005", "14:03:07"}, {"2005-06-22 1:03:07", "2005-06-22", "1:03:07"}};
    for (const auto& c : cases) {
        const auto [date, time] = DateTimeConfig::Separar_Fecha_Hora(c.text);
        EXPECT_EQ(date, c.date) << c.text;
        EXPECT_EQ(time, c.time) << c.text;
    }
}

TEST(ClockPage, OfflineShowsNotAvailableAndClosesAtOnce)
{
    Reloj r(false);
    r.page.Form_Load();
    EXPECT_EQ(r.page.lblHora(), "Not Available");
    EXPECT_EQ(r.page.lblFecha(), "Not Availble");
    EXPECT_TRUE(r.page.Timer1());
    r.page.Form_Activate();
    EXPECT_EQ(r.page.lblFecha(), "Not Availble");
    r.page.Timer1_Timer();
    EXPECT_EQ(r.page.lblHora(), "Not Available");
    EXPECT_EQ(r.page.lblFecha(), "Not Available");
    r.page.Store_Click(31, 12, 2099, 23, 59, 59);
    EXPECT_EQ(r.notices, 1);
    EXPECT_EQ(r.questions, 0);
    EXPECT_FALSE(r.page.descargada());
    EXPECT_TRUE(r.host.queued.empty());
    EXPECT_TRUE(r.host.mainWindow.empty());
    r.page.Okey_Click();
    EXPECT_TRUE(r.page.descargada());
    EXPECT_EQ(r.unloads, 1);
    EXPECT_FALSE(r.page.Timer1());
    EXPECT_EQ(r.host.mainWindow, std::vector<bool>{true});
    EXPECT_TRUE(r.host.queued.empty());
    EXPECT_TRUE(r.host.decoded.empty());
}

TEST(ClockPage, OnlineReadsEveryTickAndClosesAtTheTickAfterOk)
{
    Reloj r(true);
    r.relayClock("0 0");
    r.page.Form_Load();
    EXPECT_EQ(r.host.mainWindow, std::vector<bool>{false});
    EXPECT_EQ(r.host.codes(), std::vector<int>{91});
    r.page.Form_Activate();
    EXPECT_EQ(r.host.decoded, std::vector<int>{8});
    EXPECT_EQ(r.page.lblFecha(), "0");
    EXPECT_EQ(r.page.lblHora(), "0");
    r.relayClock("22/06/2005 14:03:07");
    r.page.Timer1_Timer();
    EXPECT_EQ(r.host.codes(), (std::vector<int>{91, 91}));
    EXPECT_EQ(r.page.lblFecha(), "22/06/2005");
    EXPECT_EQ(r.page.lblHora(), "14:03:07");
    r.page.Okey_Click();
    EXPECT_FALSE(r.page.descargada());
    EXPECT_TRUE(r.page.Cerrar_Fecha_Hora());
    r.relayClock("22/06/2005 14:03:09");
    r.page.Timer1_Timer();
    EXPECT_EQ(r.host.codes(), (std::vector<int>{91, 91, 91}));
    EXPECT_EQ(r.page.lblHora(), "14:03:09");
    EXPECT_TRUE(r.page.descargada());
    EXPECT_FALSE(r.page.Timer1());
    EXPECT_FALSE(r.page.Cerrar_Fecha_Hora());
    EXPECT_EQ(r.host.mainWindow, (std::vector<bool>{false, true}));
    EXPECT_EQ(r.host.decoded, (std::vector<int>{8, 8, 8}));
}

TEST(ClockPage, StoreAsksThenQueuesOnlyTheClockWrite)
{
    for (const bool yes : {true, false}) {
        Reloj r(true);
        r.answerYes = yes;
        r.page.Form_Load();
        r.page.Store_Click(31, 12, 2099, 23, 59, 59);
        EXPECT_EQ(r.questions, 1);
        EXPECT_EQ(r.notices, 0);
        EXPECT_FALSE(r.page.descargada());
        if (!yes) {
            EXPECT_EQ(r.host.codes(), std::vector<int>{91});
            EXPECT_TRUE(r.packed.empty());
            continue;
        }
        EXPECT_EQ(r.packed, (std::vector<std::array<int, 6>>{{31, 12, 2099, 23, 59, 59}}));
        EXPECT_EQ(r.clock.buffer(), (std::array<std::uint8_t, 6>{0x00, 0x63, 0x33, 0xF7, 0xEE, 0x4E}));
        EXPECT_EQ(r.host.codes(), (std::vector<int>{91, 93}));
    }
}

TEST(ClockPage, ClockThatCannotBeSentIsNotWritten)
{
    Reloj r(true);
    r.page.Form_Load();
    r.page.Store_Click(30, 2, 2001, 10, 0, 0);
    EXPECT_EQ(r.host.codes(), std::vector<int>{91});
}

TEST(ClockPage, EveryCloseStopsTheTimerAndEnablesTheMainWindow)
{
    for (const bool online : {true, false}) {
        Reloj r(online);
        r.page.Form_Load();
        r.page.Cerrar();
        EXPECT_TRUE(r.page.descargada()) << online;
        EXPECT_FALSE(r.page.Timer1());
        EXPECT_TRUE(r.host.mainWindow.back());
        EXPECT_EQ(r.unloads, 1);
        r.page.Timer1_Timer();
        EXPECT_EQ(r.host.codes().size(), online ? 1u : 0u);
    }
}

TEST(ClockPage, LoadDoesNothingWhilePrinting)
{
    Reloj r(true);
    r.host.isPrinting = true;
    r.page.Form_Load();
    EXPECT_FALSE(r.page.Timer1());
    EXPECT_EQ(r.page.lblFecha(), "lblFecha");
    EXPECT_EQ(r.page.lblHora(), "lblHora");
    EXPECT_TRUE(r.host.queued.empty());
    EXPECT_TRUE(r.host.mainWindow.empty());
    // Without a running timer OK closes at once.
    r.page.Okey_Click();
    EXPECT_TRUE(r.page.descargada());
}
