// The two printed actual-value pages: what each line shows for what the
// engine's table holds, and which frames print.
#include "reports/AV1_REP.h"
#include "reports/AV2_REP.h"

#include "pages/FakePageHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace kova {
namespace {

using Table = std::vector<std::pair<int, NumOrText>>;

const ReportStamp kStamp{"07/12/2026", "03:07:09 PM", "FEEDER 3            "};

// The engine's table as the test sets it; a block decoded may bring more.
struct Host : test::FakePageHost {
    std::map<int, Table> onDecode;
    bool Devuelve_Datos(std::int32_t Bloque) override
    {
        FakePageHost::Devuelve_Datos(Bloque);
        for (const auto& [pos, v] : onDecode[Bloque])
            table[pos] = v;
        return false;
    }
};

ReportCanvas fill(int page, Host& host) { return page == 1 ? AV1_REP(host, kStamp) : AV2_REP(host, kStamp); }

ReportCanvas fill(int page, const Table& table)
{
    Host host;
    for (const auto& [pos, v] : table)
        host.table[pos] = v;
    return fill(page, host);
}

std::string med(int i) { return "LblMed(" + std::to_string(i) + ")"; }
std::string uni(int i) { return "LblUni(" + std::to_string(i) + ")"; }

TEST(ActualValueReports, NumericLinesShowTheFormattedValueAndUnit)
{
    struct Case { int page; Table table; std::vector<int> labels; const char* value; const char* unit; };
    const Case cases[] = {
        {1, {{20, "1234.50"}}, {10}, "1.23", "KA"},
        {1, {{25, "12.3"}}, {15}, "12.30", "%"},
        {1, {{36, "60.00"}}, {0}, "60.00", "Hz"},
        {1, {{35, 230.45}}, {9, 22}, "230.5", "V"},  // half away from zero
        {1, {{38, -1500}}, {25}, "-1.50", "KW"},
        {1, {{40, 2500000}}, {27}, "2.50", "MVA"},
        {1, {{41, "-0.87"}}, {28}, "0.87", "Lead"},
        {1, {{51, 12345}}, {29}, "12345", "KWH"},
        {1, {{54, 99.6}}, {32}, "100", "KVARH"},
        {1, {{29, 13800}}, {3, 19}, "13.80", "KV"},
        {1, {{32, 7967.4}}, {6}, "7.97", "KV"},
        {1, {{27, "2"}}, {17}, "2.00", "%"},
        {1, {{28, "0.5"}}, {18}, "0.50", "A"},
        {1, {{46, -250}}, {54}, "-250.00", "VAR"},
        {1, {{50, 150}}, {58}, "150.0", "VA"},
        // No line keeps the line before's number (999.95 rounds to 1000.0).
        {1, {{30, 120.0}, {31, 999.95}}, {5, 21}, "1000.0", "V"},
        // A text that is no number prints as it is, with no unit, and no fault.
        {1, {{36, "abc"}}, {0}, "abc", ""},
        // Never read: the formatter's zero.
        {1, {}, {10}, "0.00", "A"},
        {2, {{57, 2500}}, {1}, "2.50", "KW"},
        {2, {{59, 120}, {61, 999950}}, {4}, "1000.0", "KW"},
        {2, {{63, "-12.5"}}, {5}, "-12.50", "VAR"},
        {2, {{56, 80}}, {0}, "80.00", "A"},
        {2, {{71, 3}}, {12}, "3.00", "A"},
        {2, {{72, 480}}, {13}, "480.0", "V"},
        {2, {{75, 59.95}}, {16}, "59.95", "Hz"},
        {2, {{76, "-0.50"}}, {17}, "0.50", "Lead"},
        {2, {{76, 0}}, {17}, "0.00", "Lag"},
        {2, {{78, 5000}}, {18}, "5.00", "KA"},
        {2, {{80, "1500000"}}, {20}, "1.50", "MA"},
    };
    for (const Case& c : cases) {
        const ReportCanvas page = fill(c.page, c.table);
        for (int i : c.labels) {
            EXPECT_EQ(page.text(med(i)), c.value) << "page " << c.page << " " << med(i);
            EXPECT_EQ(page.text(uni(i)), c.unit) << "page " << c.page << " " << uni(i);
        }
    }
}

TEST(ActualValueReports, TextLinesAndStampsPrintAsTheRelayGivesThem)
{
    // Text lines print the relay's text as it is, blanks and all.
    struct Case { int page; int position; const char* text; const char* label; };
    const Case texts[] = {{1, 37, "ABC", "LblMed(1)"}, {1, 37, "", "LblMed(1)"}, {1, 325, " Wye ", "LblMed(2)"},
                          {2, 65, " No Trip ", "LblMed(6)"}, {2, 66, "03/04/2024 05:06:07", "LblMed(7)"},
                          {2, 77, "12", "LblMed(24)"}, {2, 81, "3", "LblMed(23)"}, {2, 82, "4", "LblMed(22)"},
                          {2, 83, "20", "LblMed(21)"}};
    for (const Case& c : texts)
        EXPECT_EQ(fill(c.page, {{c.position, c.text}}).text(c.label), c.text) << c.label;

    struct Stamp { int page; int position; const char* entry; const char* date; const char* time; };
    const Stamp stamps[] = {
        {1, 55, "12/07/2005 09:05:07", "12/07/2005", "09:05:07"},
        {2, 60, "03/04/2024 05:06:07", "03/04/2024", "05:06:07"},
        {2, 62, "01/02/2024 10:11:12", "01/02/2024", "10:11:12"},
        {2, 64, "0 0", "0", "0"},
    };
    for (const Stamp& s : stamps) {
        const ReportCanvas page = fill(s.page, {{s.position, s.entry}});
        const std::string n = std::to_string((s.position - 60) / 2);
        EXPECT_EQ(page.text(s.page == 1 ? "lblEnergyDate" : "LblDemandDate(" + n + ")"), s.date) << s.entry;
        EXPECT_EQ(page.text(s.page == 1 ? "lblEnergyTime" : "LblDemandTime(" + n + ")"), s.time) << s.entry;
    }
}

TEST(ActualValueReports, TheVtConnectionChoosesTheFrames)
{
    struct Case { const char* vt; bool star; bool delta; bool perPhase; int totalsTop; const char* totalsCaption; };
    const Case cases[] = {
        {" Wye ", true, false, true, 9705, ""},
        {" Open Delta ", false, true, false, 7605, "Power And Energy"},
        {" Delta-Delta ", false, true, false, 7605, "Power And Energy"},
        {" Error ", true, false, false, 7605, "Power And Energy"},
        {"", true, false, false, 7605, "Power And Energy"},
    };
    for (const Case& c : cases) {
        const ReportCanvas page = fill(1, {{325, c.vt}});
        EXPECT_EQ(page.shown("OD_DD_VT1(0)"), c.star) << c.vt;
        EXPECT_EQ(page.shown("OD_DD_VT1(1)"), c.delta) << c.vt;
        EXPECT_EQ(page.shown("LblMed(3)"), c.star) << c.vt;
        EXPECT_EQ(page.shown("LblMed(19)"), c.delta) << c.vt;
        EXPECT_EQ(page.shown("Frame2"), c.perPhase) << c.vt;
        EXPECT_EQ(page.at("Frame2").top, 7605) << c.vt;
        EXPECT_TRUE(page.shown("Frame1")) << c.vt;
        EXPECT_EQ(page.at("Frame1").top, c.totalsTop) << c.vt;
        EXPECT_EQ(page.text("Frame1"), c.totalsCaption) << c.vt;
        // The frame's lines move with it.
        EXPECT_EQ(page.at("LblMed(25)").top, c.totalsTop + 450) << c.vt;
        EXPECT_EQ(page.at("lblEnergyTime").top, c.totalsTop + 2250) << c.vt;
        // The angle line is never filled or printed.
        for (const char* hidden : {"lblAngle", "LblUniAngle", "LblMed(23)", "LblUni(23)"})
            EXPECT_TRUE(!page.shown(hidden) && page.text(hidden).empty()) << hidden;
    }
}

TEST(ActualValueReports, BlocksAreDecodedBeforeTheirPositionsAreRead)
{
    // Each value arrives only with its block; the voltage frame follows the
    // connection text read before blocks 3, 4 and 2 are decoded again, the
    // power frames the text read after.
    Host one;
    one.onDecode = {{1, {{20, 100}, {325, " Open Delta "}}}, {2, {{36, 60}}}, {3, {{38, 2000}, {325, " Wye "}}},
                    {4, {{51, 7}, {55, "01/02/2024 10:11:12"}}}};
    const ReportCanvas p1 = fill(1, one);
    EXPECT_EQ(one.decoded, (std::vector<int>{1, 2, 3, 4, 2}));
    for (const auto& [label, text] : std::vector<std::pair<const char*, const char*>>{
             {"LblMed(10)", "100.0"}, {"LblMed(0)", "60.00"}, {"LblMed(25)", "2.00"}, {"LblMed(29)", "7"},
             {"lblEnergyTime", "10:11:12"}, {"LblMed(2)", " Open Delta "}})
        EXPECT_EQ(p1.text(label), text) << label;
    EXPECT_TRUE(p1.shown("OD_DD_VT1(1)"));
    EXPECT_TRUE(p1.shown("Frame2"));
    EXPECT_EQ(p1.at("Frame1").top, 9705);

    Host two;
    two.onDecode = {{5, {{56, 10}, {60, "a b"}}}, {7, {{65, "Cause"}, {75, 50}}}, {6, {{83, "9"}, {78, 1}}}};
    const ReportCanvas p2 = fill(2, two);
    EXPECT_EQ(two.decoded, (std::vector<int>{5, 7, 6}));
    for (const auto& [label, text] : std::vector<std::pair<const char*, const char*>>{
             {"LblMed(0)", "10.00"}, {"LblDemandTime(0)", "b"}, {"LblMed(6)", "Cause"},
             {"LblMed(16)", "50.00"}, {"LblMed(21)", "9"}, {"LblMed(18)", "1.00"}})
        EXPECT_EQ(p2.text(label), text) << label;
}

} // namespace
} // namespace kova
