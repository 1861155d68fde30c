// The five printed setpoint pages over a fake page host: their data hold
// together with the page forms, values and boxes print as the pages show
// them, the rows a selector hides, the reads the page loads queue, and the
// pages loaded for a report being unloaded also when a load fails.
#include "pages/FakePageHost.h"
#include "pages/PageForm.h"
#include "reports/ReportLayout.h"
#include "reports/SetpointReportData.h"
#include "reports/SetpointReports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

namespace kova {
namespace {

using test::FakePageHost;

using Fill = ReportCanvas (*)(PageHost&, const ReportStamp&);
struct Window { const char* name; Fill fill; };
const Window kWindows[] = {{"SET1_REP", SET1_REP}, {"SET2_REP", SET2_REP}, {"SET4_REP", SET4_REP},
                           {"SET11_REP", SET11_REP}, {"SET12_REP", SET12_REP}};

const ReportStamp kStamp{"12/7/26", "12:00:00 PM", "FEEDER 3            "};

bool isValueLabel(const std::string& name)
{
    return name.rfind("LblMed(", 0) == 0 || name.rfind("LblValor(", 0) == 0;
}

// Every value label and relay box of a page is written by exactly one copy
// (a page form lacking a control or box makes the fill itself fail).
TEST(SetpointReportData, EveryValueAndBoxIsWrittenOnce)
{
    for (const Window& w : kWindows) {
        std::string error;
        const auto canvas = loadReportLayout(w.name, &error);
        const auto sources = readSetpointSources(reportLayoutText(w.name), w.name, &error);
        ASSERT_TRUE(canvas && sources) << error;
        std::map<std::string, int> written;
        for (const SetpointSource& s : *sources) {
            for (const SetpointCopy& c : s.copies) ++written[c.label];
            for (const SetpointBoxCopy& b : s.boxCopies)
                for (int i = 0; i < b.count; ++i) ++written[PageForm::boxName(b.to, b.at + i)];
        }
        for (const ReportItem& item : canvas->items()) {
            const bool value = item.kind == ReportItem::Kind::CheckBox || isValueLabel(item.name);
            EXPECT_EQ(written[item.name], value ? 1 : 0) << w.name << " " << item.name;
        }
    }
}

enum class Is { Text, Shown, Hidden, Boxes };
struct Expect {
    const char* name;
    Is is;
    const char* text = "";  // Text: the label's text; Boxes: the indices checked, "0,2"
};
struct Reg { int reg, value; };
struct Case { const char* window; std::vector<Reg> get; std::vector<Expect> expect; std::vector<Reg> put = {}; };

std::string checkedOf(const ReportCanvas& page, const std::string& array)
{
    std::string out;
    for (int i = 0; const ReportItem* box = page.find(PageForm::boxName(array, i)); ++i)
        if (box->checked)
            out += (out.empty() ? "" : ",") + std::to_string(i);
    return out;
}

TEST(SetpointReports, PrintWhatThePagesShow)
{
    const Case cases[] = {
        {"SET1_REP", {{0x0101, 0x0425}},
         {{"LblMed(0)", Is::Text, "60 Hz"}, {"LblMed(13)", Is::Text, "Delta-Delta"},
          {"LblMed(2)", Is::Text, "Residual"}, {"LblMed(17)", Is::Text, "Yes"}, {"LblMed(18)", Is::Text, "No"},
          {"LblMed(16)", Is::Text, "No"}, {"LblMed(3)", Is::Hidden}, {"Label1(9)", Is::Hidden}}},
        {"SET1_REP", {{0x0101, 0x0445}},
         {{"LblMed(2)", Is::Text, "Zero Sequence"}, {"LblMed(3)", Is::Shown}, {"Label1(9)", Is::Shown}}},
        {"SET1_REP", {{0x0101, 0x0405}}, {{"LblMed(2)", Is::Text, ""}, {"LblMed(3)", Is::Shown}}},
        {"SET1_REP",
         {{0x0102, 100}, {0x0105, 1380}, {0x011A, 5}, {0x011B, 100}, {0x012E, 100}, {0x0130, 1000}, {0x012B, 5}},
         {{"LblMed(1)", Is::Text, "100 A"}, {"LblMed(15)", Is::Text, "13.80 KV"},
          {"LblMed(19)", Is::Text, "0.05 Sec"}, {"LblMed(20)", Is::Text, "100 mSec"},
          {"LblMed(11)", Is::Text, "100 "}, {"LblMed(12)", Is::Text, "1000 KA"}, {"chkDiscrep", Is::Boxes, "0,2"},
          {"LblMed(20)", Is::Shown}}},
        {"SET1_REP", {{0x012B, 0xFFF0}}, {{"chkDiscrep", Is::Boxes, ""}}},
        {"SET2_REP", {{0x1002, 0}, {0x1004, 150}},
         {{"LblValor(1)", Is::Text, "Definite Time"}, {"frmTime", Is::Shown}, {"LblValor(2)", Is::Text, "1.5 Sec"},
          {"LblValor(2)", Is::Shown}, {"LblValor(3)", Is::Hidden}, {"Label1(3)", Is::Hidden}}},
        {"SET2_REP", {{0x1002, 6}, {0x1003, 10}},
         {{"LblValor(1)", Is::Text, "IAC Inverse"}, {"frmTime", Is::Hidden}, {"LblValor(3)", Is::Text, "1.0 "},
          {"LblValor(3)", Is::Shown}, {"Label1(3)", Is::Shown}}},
        {"SET2_REP", {{0x1002, 13}, {0x100C, 0}},
         {{"LblValor(1)", Is::Text, ""}, {"frmTime", Is::Hidden}, {"LblValor(3)", Is::Shown},
          {"LblValor(10)", Is::Shown}, {"LblValor(11)", Is::Hidden}}},
        {"SET2_REP", {{0x1001, 40}}, {{"LblValor(0)", Is::Text, "40 %CT"}}, {{0x1001, 50}}},
        {"SET4_REP", {{0x1021, 0}, {0x101F, 0x0009}, {0x1045, 0x0002}},
         {{"LblValor(9)", Is::Shown}, {"LblValor(11)", Is::Hidden}, {"ChkGnd", Is::Boxes, "0,3"},
          {"ChkPhTim", Is::Boxes, "9"}}},
        {"SET4_REP", {{0x1021, 13}}, {{"LblValor(9)", Is::Hidden}, {"LblValor(11)", Is::Shown}}},
        {"SET11_REP", {{0x105C, 0b1010}, {0x1051, 0x0001}, {0x1059, 0x0008}, {0x104B, 1500}},
         {{"ChkPhTim", Is::Boxes, "8,19,21,23"}, {"LblValor(3)", Is::Text, "15.0 Sec"}}},
        {"SET12_REP",
         {{0x105F, 1}, {0x1063, 8}, {0x105C, 0x000F}, {0x012A, 0x0025}, {0x0121, 4}, {0x0120, 0x0002},
          {0x010D, 0x0001}},
         {{"ChkPhTim", Is::Boxes, "0,11"}, {"LblMed(17)", Is::Text, "On"}, {"LblMed(18)", Is::Text, "Off"},
          {"LblMed(19)", Is::Text, "On"}, {"LblMed(20)", Is::Text, "Off"}, {"LblMed(21)", Is::Text, "Off"},
          {"LblMed(22)", Is::Text, "On"}, {"LblMed(23)", Is::Text, "Off"}, {"LblMed(24)", Is::Text, "Off"},
          {"LblMed(11)", Is::Text, "Block Trip"}, {"LblMed(12)", Is::Text, "Contact Closed"},
          {"LblMed(14)", Is::Text, "Contact Open"}, {"LblMed(3)", Is::Text, "Pulsed"},
          {"LblMed(5)", Is::Text, "Latched"}, {"LblMed(6)", Is::Shown}}},
    };
    for (const Case& c : cases) {
        FakePageHost host;
        for (const Reg& r : c.get) host.setGet(r.reg, r.value);
        for (const Reg& r : c.put) host.setPut(r.reg, r.value);
        const Fill fill = std::find_if(std::begin(kWindows), std::end(kWindows), [&](const Window& w) {
                              return std::string(w.name) == c.window;
                          })->fill;
        const ReportCanvas page = fill(host, kStamp);
        for (const Expect& e : c.expect) {
            SCOPED_TRACE(std::string(c.window) + " " + e.name);
            switch (e.is) {
            case Is::Text: EXPECT_EQ(page.text(e.name), e.text); break;
            case Is::Shown: EXPECT_TRUE(page.shown(e.name)); break;
            case Is::Hidden: EXPECT_FALSE(page.shown(e.name)); break;
            case Is::Boxes: EXPECT_EQ(checkedOf(page, e.name), e.text); break;
            }
        }
        EXPECT_EQ(page.text("LblTime"), kStamp.horaImpresion);
    }
}

TEST(SetpointReports, ReadsQueuedByThePagesLoaded)
{
    struct Run { std::vector<Fill> pages; bool online; std::vector<int> reads; };
    const std::vector<Fill> all = {SET1_REP, SET2_REP, SET4_REP, SET11_REP, SET12_REP};
    const Run runs[] = {
        {{SET4_REP}, true, {64, 63, 65, 66, 64, 65, 66, 63}},
        {all, true, {61, 62, 63, 64, 65, 66, 64, 63, 65, 66, 64, 65, 66, 63, 65, 66, 63, 64,
                     66, 63, 64, 65, 66, 63, 64, 65, 61, 62, 62, 62}},
        {all, false, {}},
    };
    for (const Run& run : runs) {
        FakePageHost host;
        host.isOnline = run.online;
        for (Fill fill : run.pages) fill(host, kStamp);
        EXPECT_EQ(host.codes(0), run.reads);
        EXPECT_TRUE(host.codes(1).empty());
        EXPECT_TRUE(host.mainWindowEnabled());
        EXPECT_EQ(host.listener, nullptr);
    }
}

// The voltage page's load fails at its first read.
struct FailingHost : FakePageHost {
    int failAt = 0;
    int calls = 0;
    std::optional<RequestSlot> queueRequest(int queue, int code) override
    {
        if (++calls == failAt) throw std::runtime_error("queue broken");
        return FakePageHost::queueRequest(queue, code);
    }
};

TEST(SetpointReports, PagesLoadedForAReportAreUnloadedWhenALoadFails)
{
    FailingHost host;
    host.isOnline = true;
    host.failAt = 5;
    EXPECT_THROW(SET4_REP(host, kStamp), std::runtime_error);
    // Ground page and voltage page each disabled the main window and gave it back.
    EXPECT_EQ(host.mainWindow, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(host.listener, nullptr);
    EXPECT_EQ(host.codes(0), (std::vector<int>{64, 63, 65, 66}));

    // The next print loads both pages again in full.
    host.failAt = 0;
    SET4_REP(host, kStamp);
    EXPECT_EQ(host.codes(0).size(), 12u);
    EXPECT_TRUE(host.mainWindowEnabled());
}

TEST(SetpointReportData, FaultsNameTheLayout)
{
    for (const char* bad : {R"({"sources": []})", R"({"sources": [{"copies": []}]})",
                            R"({"sources": [{"form": "SETPAGE3", "boxCopies": [{"from": "A", "to": "B"}]}]})",
                            R"({"sources": [{"form": "SETPAGE3", "copies": [{"label": "L"}]}]})", "[1]"}) {
        std::string error;
        EXPECT_FALSE(readSetpointSources(bad, "T", &error)) << bad;
        EXPECT_EQ(error.rfind("T: ", 0), 0u) << error;
    }
}

} // namespace
} // namespace kova
