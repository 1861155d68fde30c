#include "FakePageHost.h"
#include "pages/FormLoader.h"
#include "pages/PowerPage.h"
#include "pages/ValuePage.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

using Codes = std::vector<int>;
using test::FakePageHost;
using Icon = PageHost::Icon;

PageForm form(const char* name) { return *loadPageForm(name); }

struct Page {
    FakePageHost host;
    std::unique_ptr<ValuePage> page;
    explicit Page(const char* name, bool online = false)
    {
        host.isOnline = online;
        host.habilitaReset = false;
        page = makeValuePage(form(name), host);
    }
    Codes q(int queue) { return host.codes(queue); }
    void clearQueues() { host.queued.clear(); }
};

TEST(ValuePageProtocol, MeteringPollsBeforeItShowsAndAtEveryTick)
{
    Page p("AVPAGE1", true);
    p.page->Form_Load();
    EXPECT_EQ(p.q(0), (Codes{61, 61}));
    EXPECT_EQ(p.q(1), (Codes{4, 8, 9}));
    EXPECT_TRUE(p.page->timerEnabled());
    EXPECT_EQ(p.page->interval(), 2000);
    EXPECT_EQ(p.host.decoded, (Codes{1, 2, 1, 2}));
    p.clearQueues();
    p.page->Timer1_Timer();
    EXPECT_EQ(p.q(0), (Codes{61}));
    EXPECT_EQ(p.q(1), (Codes{4, 8, 9}));
}

TEST(ValuePageProtocol, OnlineOkClosesAtTheNextTickOnce)
{
    Page p("AVPAGE2", true);
    p.page->Form_Load();
    EXPECT_TRUE(p.host.queued.empty());
    EXPECT_FALSE(p.host.mainWindowEnabled());
    EXPECT_EQ(p.page->interval(), 1500);
    p.page->Timer1_Timer();
    EXPECT_EQ(p.q(1), (Codes{7, 10}));
    EXPECT_EQ(p.host.decoded, (Codes{3, 4, 2, 3, 4, 2}));
    p.page->Okey_Click();
    p.page->Okey_Click();
    EXPECT_FALSE(p.page->closed());
    p.host.table[38] = 1230.0;
    p.page->Timer1_Timer();
    EXPECT_EQ(p.q(1), (Codes{7, 10, 7, 10}));
    EXPECT_EQ(p.page->text("LblMed(0)"), "1.23");
    EXPECT_TRUE(p.page->closed());
    EXPECT_FALSE(p.page->timerEnabled());
    EXPECT_FALSE(p.host.closeRequest);
    EXPECT_TRUE(p.host.mainWindowEnabled());
    EXPECT_EQ(p.host.mainWindow, (std::vector<bool>{false, true}));
}

// OK closes at once even when the link came up after the page opened offline.
TEST(ValuePageProtocol, OfflineDrawsOnceAndOkClosesAtOnce)
{
    for (const char* form : {"AVPAGE1", "AVPAGE2", "AVPAGE6", "AVPAGE3", "AVPAGE5"}) {
        Page p(form);
        p.page->Form_Load();
        EXPECT_EQ(p.host.decoded, p.page->form().blocks) << form;
        EXPECT_FALSE(p.page->timerEnabled()) << form;
        EXPECT_TRUE(p.page->sized()) << form;
        EXPECT_FALSE(p.host.mainWindowEnabled()) << form;
        EXPECT_TRUE(p.host.queued.empty()) << form;
        p.host.isOnline = true;
        p.page->Okey_Click();
        EXPECT_TRUE(p.page->closed()) << form;
        EXPECT_FALSE(p.host.closeRequest) << form;
        EXPECT_TRUE(p.host.mainWindowEnabled()) << form;
    }
}

TEST(ValuePageProtocol, LinkDropStopsPollingAndKeepsValues)
{
    Page p("AVPAGE6", true);
    p.page->Form_Load();
    p.host.table[56] = 118.5f;
    p.page->Timer1_Timer();
    p.host.isOnline = false;
    p.clearQueues();
    p.page->Timer1_Timer();
    EXPECT_TRUE(p.host.queued.empty());
    EXPECT_FALSE(p.page->timerEnabled());
    EXPECT_EQ(p.page->text("LblMed(0)"), "118.5");
    p.page->Okey_Click();
    EXPECT_TRUE(p.page->closed());
}

TEST(ValuePageProtocol, ClearCommands)
{
    using M = FakePageHost::Message;
    const M offline = {"Enabled only on Communication Mode", "", Icon::Information};
    const struct {
        const char* form;
        bool online;
        std::deque<bool> answers;
        M box; // title "" for the page's own Clear title
        bool question;
        Codes queued;
    } cases[] = {
        {"AVPAGE2", false, {}, offline, false, {}},
        {"AVPAGE6", false, {}, offline, false, {}},
        {"AVPAGE3", false, {}, offline, false, {}},
        {"AVPAGE2", true, {false}, {"Are your sure that you want to clear Energy?", "", Icon::Information}, true, {}},
        {"AVPAGE2", true, {true}, {"Are your sure that you want to clear Energy?", "", Icon::Information}, true, {kClearEnergyRequest}},
        {"AVPAGE6", true, {true}, {"Are your sure that you want to clear demand?", "", Icon::Information}, true, {19}},
        {"AVPAGE3", true, {true}, {"Are your sure that you want to clear Maintenance Data?", "", Icon::Question}, true, {12}},
    };
    const std::map<std::string, std::string> titles = {
        {"AVPAGE2", "KOVA Clear Energy"}, {"AVPAGE6", "KOVA Clear Demand"}, {"AVPAGE3", "KOVA Clear Maintenance Data"}};
    for (const auto& c : cases) {
        Page p(c.form, c.online);
        p.page->Form_Load();
        p.host.answers = c.answers;
        p.page->Clear_Click();
        const auto& shown = c.question ? p.host.questions : p.host.messages;
        ASSERT_EQ(p.host.questions.size() + p.host.messages.size(), 1u) << c.form;
        ASSERT_EQ(shown.size(), 1u) << c.form;
        EXPECT_EQ(shown[0].text, c.box.text) << c.form;
        EXPECT_EQ(shown[0].title, titles.at(c.form)) << c.form;
        EXPECT_EQ(shown[0].icon, c.box.icon) << c.form;
        EXPECT_EQ(p.q(0), c.queued) << c.form;
    }
}

TEST(ValuePageProtocol, LastTripOfflineAllowsReset)
{
    Page off("AVPAGE5");
    off.page->Form_Load();
    EXPECT_TRUE(off.host.habilitaReset);
    EXPECT_FALSE(off.page->timerEnabled());
    Page on("AVPAGE5", true);
    on.page->Form_Load();
    EXPECT_FALSE(on.host.habilitaReset);
    EXPECT_TRUE(on.page->timerEnabled());
    on.page->Timer1_Timer();
    EXPECT_EQ(on.q(1), (Codes{6}));
}

TEST(ValuePageProtocol, PrintJobLoadDoesNothing)
{
    for (const char* form : {"AVPAGE1", "AVPAGE2", "AVPAGE5"}) {
        Page p(form, true);
        p.host.isPrinting = true;
        p.page->Form_Load();
        EXPECT_FALSE(p.page->sized()) << form;
        EXPECT_TRUE(p.host.mainWindowEnabled()) << form;
        EXPECT_FALSE(p.page->timerEnabled()) << form;
        EXPECT_TRUE(p.host.decoded.empty() && p.host.queued.empty()) << form;
        EXPECT_EQ(p.page->text("LblMed(1)"), "###.##") << form;
        EXPECT_FALSE(p.host.habilitaReset) << form;
        if (auto* power = dynamic_cast<PowerPage*>(p.page.get())) {
            EXPECT_EQ(power->unidades(), (std::vector<std::int16_t>{3, 5, 4, 11}));
        }
    }
}

TEST(ValuePageProtocol, FrameCloseLeavesNoCloseRequest)
{
    FakePageHost host;
    host.isOnline = true;
    auto first = makeValuePage(form("AVPAGE6"), host);
    first->Form_Load();
    first->Okey_Click();
    EXPECT_TRUE(host.closeRequest);
    first->closeByFrame();
    EXPECT_TRUE(first->closed());
    EXPECT_FALSE(first->timerEnabled());
    EXPECT_TRUE(host.mainWindowEnabled());
    for (const char* form : {"AVPAGE1", "AVPAGE3"}) {
        host.closeRequest = true; // left by a page that never cleared it
        auto next = makeValuePage(kova::form(form), host);
        next->Form_Load();
        next->Timer1_Timer();
        EXPECT_FALSE(next->closed()) << form;
    }
}

TEST(ValuePageValues, DecodedEntriesIntoLabels)
{
    const struct {
        const char* form;
        int position;
        NumOrText entry;
        const char* label;
        const char* number;
        const char* unit; // nullptr: the label has no unit label
    } cases[] = {
        {"AVPAGE1", 20, "1500.00", "LblMed(10)", "1.50", "KA"},
        {"AVPAGE1", 25, "12.5", "LblMed(15)", "12.50", "%"},
        {"AVPAGE1", 29, 13800.0f, "LblMed(3)", "13.80", "KV"},
        {"AVPAGE1", 29, 13800.0f, "LblMed(19)", "13.80", "KV"},
        {"AVPAGE1", 35, 13800.0f, "LblMed(9)", "13.80", "KV"},
        {"AVPAGE1", 35, 12000.0f, "LblMed(22)", "12.00", "KV"},
        {"AVPAGE1", 37, " A-B-C ", "LblMed(1)", " A-B-C ", nullptr},
        {"AVPAGE1", 36, "60.00", "LblMed(0)", "60.00", "Hz"},
        {"AVPAGE1", 21, NumOrText(), "LblMed(11)", "0.00", "A"},
        {"AVPAGE1", 22, "Error", "LblMed(12)", "Error", ""},
        {"AVPAGE1", 325, NumOrText(), "LblMed(2)", "", nullptr},
        {"AVPAGE2", 41, -0.95f, "LblMed(3)", "0.95", "Lead"},
        {"AVPAGE2", 41, 0.95f, "LblMed(3)", "0.95", "Lag"},
        {"AVPAGE2", 51, std::int32_t{1234567}, "LblMed(4)", "1234567", "KWH"},
        {"AVPAGE2", 53, std::int32_t{0}, "LblMed(6)", "0", "KVARH"},
        {"AVPAGE2", 38, 1230.0, "LblMed(0)", "1.23", "KW"},
        {"AVPAGE2", 39, -2500000.0, "LblMed(1)", "-2.50", "MVAR"},
        {"AVPAGE2", 40, 999.0, "LblMed(2)", "999.0", "VA"},
        {"AVPAGE2", 47, 316670.0, "LblMed(13)", "316.7", "KVAR"},
        {"AVPAGE2", 55, "0 0", "lblEnergyDate", "0", nullptr},
        {"AVPAGE2", 55, "0 0", "lblEnergyTime", "0", nullptr},
        {"AVPAGE2", 55, "12/07/2005 09:05:07", "lblEnergyDate", "12/07/2005", nullptr},
        {"AVPAGE2", 55, "12/07/2005 09:05:07", "lblEnergyTime", "09:05:07", nullptr},
        {"AVPAGE2", 55, "X", "lblEnergyDate", "", nullptr},
        {"AVPAGE6", 57, 0.0f, "LblMed(1)", "0.00", "W"},
        {"AVPAGE6", 57, 2500.0f, "LblMed(1)", "2.50", "KW"},
        {"AVPAGE6", 61, 999950.0f, "LblMed(4)", "1000.0", "KW"},
        {"AVPAGE6", 60, "0 0", "LblDemandDate(0)", "0", nullptr},
        {"AVPAGE6", 64, "04/06/2005 10:45:30", "LblDemandTime(2)", "10:45:30", nullptr},
        {"AVPAGE3", 77, std::int32_t{12}, "LblMed(0)", "12", nullptr},
        {"AVPAGE3", 78, std::int32_t{5000}, "LblMed(4)", "5.00", "KA"},
        {"AVPAGE3", 83, std::int32_t{27}, "LblMed(3)", "27", nullptr},
        {"AVPAGE5", 65, " No Trip ", "LblMed(0)", " No Trip ", nullptr},
        {"AVPAGE5", 66, "0", "LblMed(1)", "0", nullptr},
        {"AVPAGE5", 76, "-0.5", "LblMed(11)", "0.50", "Lead"},
        {"AVPAGE5", 75, "59.98", "LblMed(10)", "59.98", "Hz"},
        {"AVPAGE5", 74, 13660.0f, "LblMed(9)", "13.66", "KV"},
    };
    for (const auto& c : cases) {
        Page p(c.form);
        p.host.table[c.position] = c.entry;
        p.page->Form_Load();
        EXPECT_EQ(p.page->text(c.label), c.number) << c.form << " " << c.label;
        const std::string unit = unitLabelOf(c.label);
        if (c.unit) {
            EXPECT_EQ(p.page->text(unit), c.unit) << c.form << " " << c.label;
        }
    }
}

TEST(ValuePageValues, StaleNumberNeverShows)
{
    // The maximum amps are drawn right before the maximum kilowatts.
    Page p("AVPAGE6");
    p.host.table[59] = 120.0f;
    p.host.table[61] = 999950.0f;
    p.page->Form_Load();
    EXPECT_EQ(p.page->text("LblMed(3)"), "120.0");
    EXPECT_EQ(p.page->text("LblMed(4)"), "1000.0");
    EXPECT_EQ(p.page->text("LblUni(4)"), "KW");
}

TEST(ValuePageLayout, MeteringVoltageFrameFollowsTheVtConnection)
{
    const struct {
        const char* vt;
        bool wye, delta;
    } cases[] = {
        {" Wye ", true, false}, {" Open Delta ", false, true}, {" Delta-Delta ", false, true},
        {"", true, false},      {" Error ", true, false},
    };
    for (const auto& c : cases) {
        Page p("AVPAGE1");
        p.host.table[325] = c.vt;
        p.page->Form_Load();
        EXPECT_EQ(p.page->visible("OD_DD_VT1(0)"), c.wye) << c.vt;
        EXPECT_EQ(p.page->visible("OD_DD_VT1(1)"), c.delta) << c.vt;
    }
    // Any other text leaves the frames as the last drawing set them.
    Page p("AVPAGE1");
    p.host.table[325] = " Open Delta ";
    p.page->Form_Load();
    p.host.table[325] = "";
    p.page->Actualiza_Valores();
    EXPECT_TRUE(p.page->visible("OD_DD_VT1(1)"));
    EXPECT_FALSE(p.page->visible("OD_DD_VT1(0)"));
}

TEST(ValuePageLayout, PowerPageByVtConnection)
{
    const struct {
        const char* vt;
        bool frame2;
        int frame1, clear, okey;
    } cases[] = {
        {" Wye ", true, 3120, 4320, 6360}, {" wye", true, 3120, 4320, 6360},
        {" Open Delta ", false, 500, 1700, 3740}, {"", false, 500, 1700, 3740},
    };
    for (const auto& c : cases) {
        Page p("AVPAGE2");
        p.host.table[325] = c.vt;
        p.page->Form_Load();
        EXPECT_EQ(p.page->visible("Frame2"), c.frame2) << c.vt;
        EXPECT_TRUE(p.page->visible("Frame1")) << c.vt;
        EXPECT_EQ(p.page->top("Frame2"), 465) << c.vt;
        EXPECT_EQ(p.page->top("Frame1"), c.frame1) << c.vt;
        EXPECT_EQ(p.page->top("Clear"), c.clear) << c.vt;
        EXPECT_EQ(p.page->top("Okey"), c.okey) << c.vt;
    }
}

} // namespace
} // namespace kova
