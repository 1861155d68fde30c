// The printed event pages: grid set-up, the event blocks, which events each
// page holds, and the events page loaded unseen and always unloaded again.
#include "FakeEventsHost.h"
#include "reports/Events_Rep.h"
#include "reports/ReportLayout.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kova {
namespace {

using test::eventRun;
using test::FakeEventsHost;
using Row = std::vector<std::string>;

const ReportStamp kStamp{"07/12/2026", "03:07:09 PM", "Feeder 7            "};

Row row(const ReportCanvas& page, int r)
{
    const ReportGrid& g = page.at("GrdEventos").grid;
    return {g.cell(r, 0), g.cell(r, 1), g.cell(r, 2), g.cell(r, 3)};
}

// The event numbers of the blocks of a page (column 0 of each block's first
// row), after checking that every row of a block carries its number.
std::vector<std::string> blocks(const ReportCanvas& page)
{
    std::vector<std::string> ids;
    for (int r = 1; r <= 33; r += 11) {
        const std::string id = row(page, r)[0];
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ(row(page, r + i)[0], id) << "row " << r + i;
        if (!id.empty()) ids.push_back(id);
    }
    return ids;
}

TEST(EventsReport, GridTitlesWidthsAndAlignments)
{
    struct Case { int width; std::vector<int> widths; };
    // Halves go to the even neighbour: 2461.5 -> 2462, 820.5 -> 820, 307.5 -> 308, 102.5 -> 102.
    for (const Case& c : {Case{8205, {1641, 3282, 2462, 820}}, Case{1025, {205, 410, 308, 102}}}) {
        ReportItem grid;
        grid.width = c.width;
        grid.grid.resize(34, 4);
        Fill_Titulos_GridEventos(grid);
        EXPECT_EQ(grid.grid.colWidths, c.widths);
        EXPECT_EQ(grid.grid.colAlign, (std::vector<ReportAlign>{ReportAlign::Center, ReportAlign::Left,
                                                                ReportAlign::Left, ReportAlign::Center}));
        for (int col = 0; col < 4; ++col) {
            EXPECT_TRUE(grid.grid.isBold(0, col));
            EXPECT_FALSE(grid.grid.isBold(1, col));
            EXPECT_EQ(grid.grid.alignAt(0, col), ReportAlign::Center);
        }
    }
    FakeEventsHost host;
    std::int32_t contador = -1;
    const ReportCanvas page = Events_Rep(host, kStamp, contador);
    EXPECT_EQ(row(page, 0), (Row{"EVENT ID", "EVENT DATA", "VALUE", "UNIT"}));
    EXPECT_EQ(page.at("GrdEventos").grid.colWidths, (std::vector<int>{1641, 3282, 2462, 820}));
    EXPECT_EQ(contador, 0);
    EXPECT_TRUE(blocks(page).empty());
    EXPECT_EQ(page.text("Label195"), "Page 1");
    EXPECT_EQ(page.text("LblTime"), kStamp.horaImpresion);
}

TEST(EventsReport, BlockOfOneEvent)
{
    FakeEventsHost host;
    host.isOnline = true;
    for (const auto& [pos, v] : std::vector<std::pair<int, const char*>>{
             {84, "57, Events Clear ,03/04/2024 05:06:07"}, {104, "12.34"}, {204, "230.1"}, {264, "60.00"}, {284, "0.95"}})
        host.table[pos] = v;
    std::int32_t contador = -1;
    const ReportCanvas page = Events_Rep(host, kStamp, contador);
    EXPECT_EQ(contador, 1);
    struct Case { int r; Row expected; };
    for (const Case& c : {Case{1, {"57", "EVENT 57: Events Clear", "03/04/2024 05:06:07", " --- "}},
                          Case{2, {"57", "Phase A RMS", "12.34", " Amp "}},
                          Case{7, {"57", "Phase Vab RMS", "230.1", " Volt "}},
                          Case{10, {"57", "Frequency", "60.00", " Hz "}},
                          Case{11, {"57", "Power Factor", "0.95", " --- "}},
                          Case{12, {"", "", "", ""}}, Case{33, {"", "", "", ""}}})
        EXPECT_EQ(row(page, c.r), c.expected) << "row " << c.r;
}

TEST(EventsReport, PagesHoldThreeEventsEachUpToTwenty)
{
    // Items are numbered n, n - 1, ...; a page's blocks are given as item
    // positions (the print command's page count is tested with it).
    struct Case { int n; int page; std::vector<int> items; };
    for (const Case& c : {Case{3, 1, {1, 2, 3}}, Case{4, 2, {4}}, Case{6, 2, {4, 5, 6}}, Case{7, 3, {7}},
                          Case{18, 6, {16, 17, 18}}, Case{19, 7, {19}}, Case{20, 7, {19, 20}}}) {
        FakeEventsHost host;
        host.isOnline = true;
        host.setRows(eventRun(100, c.n));
        std::int32_t contador = -1;
        const ReportCanvas page = c.page == 1 ? Events_Rep(host, kStamp, contador)
                                              : Events_Rep2(host, kStamp, c.page, contador);
        EXPECT_EQ(contador, c.n);
        EXPECT_EQ(page.text(c.page == 1 ? "Label195" : "LblPag"), "Page " + std::to_string(c.page));
        std::vector<std::string> expected;
        for (int e : c.items)
            expected.push_back(std::to_string(100 - e + 1));
        EXPECT_EQ(blocks(page), expected) << c.n << " events, page " << c.page;
    }
}

TEST(EventsReport, PageNumbersOutsideTheReportAreRefused)
{
    FakeEventsHost host;
    std::int32_t contador = -1;
    for (int p : {0, -1, 8})
        EXPECT_THROW(Events_Rep2(host, kStamp, p, contador), std::invalid_argument) << p;
    EXPECT_EQ(contador, -1);
    EXPECT_TRUE(host.mainWindow.empty());
}

// A host whose engine table cannot be read: the events page's load fails.
struct FailingHost : FakeEventsHost {
    NumOrText DatosDeVariables(std::int16_t) const override { throw std::runtime_error("table"); }
};

TEST(EventsReport, EventsPageLoadedInFullAndAlwaysUnloaded)
{
    // A layout whose grid holds only the first block is refused before the
    // events page is loaded, naming the grid.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string json = reportLayoutText("Events_Rep");
    json.replace(json.find("\"rows\": 34"), 10, "\"rows\": 12");
    QFile f(dir.filePath("Events_Rep.json"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(json.c_str()) > 0);
    f.close();

    struct Case { const char* what; bool online, printing, shortGrid, failingHost, throws; std::vector<bool> main; };
    for (const Case& c : {Case{"online", true, false, false, false, false, {false, true}},
                          Case{"offline", false, false, false, false, false, {false, true}},
                          Case{"while values print", true, true, false, false, false, {}},
                          Case{"short grid", true, false, true, false, true, {}},
                          Case{"load fails", true, false, false, true, true, {false, true}}}) {
        FakeEventsHost plain;
        FailingHost failing;
        FakeEventsHost& host = c.failingHost ? failing : plain;
        host.isOnline = c.online;
        host.isPrinting = c.printing;
        host.setRows(eventRun(5, 5));
        host.setFile(eventRun(5, 5));
        if (c.shortGrid)
            qputenv("KOVA_LAYOUTS_DIR", dir.path().toUtf8());
        std::int32_t contador = -1;
        bool threw = false;
        std::string why;
        try { Events_Rep(host, kStamp, contador); } catch (const std::exception& e) { threw = true; why = e.what(); }
        qunsetenv("KOVA_LAYOUTS_DIR");
        if (c.shortGrid) {
            EXPECT_EQ(
                why, f.fileName().toStdString() + ": GrdEventos: a grid of 4 columns and at least 34 rows is required");
        }
        EXPECT_EQ(threw, c.throws) << c.what;
        EXPECT_EQ(host.mainWindow, c.main) << c.what;
        // The page's timer died with it: nothing queued.
        EXPECT_TRUE(host.queued.empty()) << c.what;
        EXPECT_TRUE(c.throws || contador == 5) << c.what << " " << contador;
    }
}

} // namespace
} // namespace kova
