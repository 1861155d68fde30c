// The frequency, power, output relay, digital input and event recorder
// pages over a fake host: texts of the Get image, arrows, relay boxes and
// choices writing only their own bits, values that name no item, the pulse
// time rows of the output relays, and each page's reads, writes and the
// blocks EXIT gives back (the protection pages' as well).

#include "FormPageTest.h"
#include "pages/SetpointPage.h"

#include <gtest/gtest.h>

using namespace kova;
using kova::test::FakePageHost;

namespace {

struct Pages : kova::test::FormPageTest {};

} // namespace

TEST_F(Pages, EditorTextsOfTheGetImage)
{
    struct Case {
        const char* form;
        int reg, raw;
        const char *control, *text;
    };
    const Case cases[] = {
        {"SETPAGE15", 0x1049, 999, "Byte_UnR1(0)", "9.99 Hz"},
        {"SETPAGE15", 0x104A, 1, "Byte_UnR1(3)", "0.01 Hz"},
        {"SETPAGE15", 0x104B, 10, "Page15W2(0)", "0.1 Sec"},
        {"SETPAGE15", 0x104B, 1005, "Page15W2(0)", "10.1 Sec"},
        {"SETPAGE15", 0x1050, 60000, "Page15W2(1)", "600.0 Sec"},
        {"SETPAGE16", 0x105A, 1, "Word_TresR1(0)", "10 KW"},
        {"SETPAGE16", 0x105A, 65000, "Word_TresR1(0)", "650000 KW"},
        {"SETPAGE16", 0x1064, 1500, "Word_TresR1(3)", "15000 KVAR"},
        {"SETPAGE16", 0x1052, 100, "Byte_UnR1(0)", "1.00 "},
        {"SETPAGE16", 0x1057, 95, "Byte_UnR1(4)", "0.95 "},
        {"SETPAGE16", 0x1054, 50, "Word_DosR1(2)", "0.5 Sec"},
        {"SETPAGE16", 0x105E, 65000, "Word_DosR1(1)", "650.0 Sec"},
        {"SETPAGE16", 0x1060, 5, "Byte_UnR1(1)", "5 A"},
        {"SETPAGE17", 0x010E, 2000, "Byte_UnR1(0)", "2000 mSec"},
        {"SETPAGE17", 0x0111, 100, "Byte_UnR1(3)", "100 mSec"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.control + " " + std::to_string(c.raw));
        fresh();
        host.setGet(c.reg, c.raw);
        open(c.form);
        EXPECT_EQ(page->valor(c.control), c.text);
    }
}

TEST_F(Pages, ArrowsStepByTheRangeOfTheValue)
{
    struct Case {
        const char* form;
        int reg, raw;
        const char* control;
        bool up;
        int put;
    };
    const Case cases[] = {
        {"SETPAGE16", 0x1060, 5, "Byte_UnR1(1)", true, 10},
        {"SETPAGE16", 0x1060, 5000, "Byte_UnR1(1)", false, 4995},
        {"SETPAGE16", 0x1054, 50, "Word_DosR1(2)", true, 100},
        {"SETPAGE16", 0x1054, 1000, "Word_DosR1(2)", true, 1100},
        {"SETPAGE16", 0x105D, 999, "Word_TresR1(1)", true, 1000},
        {"SETPAGE16", 0x105D, 10000, "Word_TresR1(1)", true, 10100},
        {"SETPAGE15", 0x104B, 990, "Page15W2(0)", true, 1000},
        {"SETPAGE15", 0x104B, 1000, "Page15W2(0)", true, 1100},
        {"SETPAGE17", 0x0110, 1900, "Byte_UnR1(2)", true, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.control + " " + std::to_string(c.raw));
        fresh();
        host.setGet(c.reg, c.raw);
        host.setPut(c.reg, c.raw);
        open(c.form);
        if (c.up)
            page->editor(c.control)->arrowUp();
        else
            page->editor(c.control)->arrowDown();
        EXPECT_EQ(host.put(c.reg), c.put);
    }
}

TEST_F(Pages, BoxesAndChoicesWriteOnlyTheirOwnBits)
{
    struct Case {
        const char* form;
        const char* control;
        int item;  // a box: 1 ticks
        int reg, before, after;
    };
    const Case cases[] = {
        {"SETPAGE15", "ChkPhTim(6)", 1, 0x104C, 0xF0F0, 0xF0F4},
        {"SETPAGE15", "ChkPhTim(0)", 1, 0x1047, 0x0000, 0x0001},
        {"SETPAGE16", "ChkGnd(13)", 1, 0x1063, 0xA5A0, 0xA5A2},
        {"SETPAGE16", "ChkGnd(15)", 1, 0x1063, 0x0007, 0x000F},
        {"SETPAGE16", "ChkPhTim(11)", 1, 0x1059, 0x0000, 0x0008},
        {"SETPAGE16", "ChkGnd(4)", 1, 0x105F, 0x0100, 0x0101},
        {"SETPAGE15", "Page3C(1)", 2, 0x104D, 0xFFF0, 0xFFF2},
        {"SETPAGE15", "Page3C(0)", 0, 0x1048, 0x8003, 0x8000},
        {"SETPAGE4", "Page1C(2)", 8, 0x0122, 0xABC3, 0xABC8},
        {"SETPAGE4", "Page1C(4)", 9, 0x0123, 0x0000, 0x0009},
        {"SETPAGE4", "Page1C(5)", 1, 0x0120, 0x0003, 0x0007},
        {"SETPAGE4", "Page1C(1)", 0, 0x0120, 0xFFFF, 0xFFFE},
        {"SETPAGE9", "Page9(3)", 1, 0x012A, 0x0024, 0x0064},
        {"SETPAGE9", "Page9(2)", 0, 0x012A, 0xFFFF, 0xFFDF},
        {"SETPAGE9", "Page9(5)", 1, 0x012A, 0x0000, 0x0004},
        {"SETPAGE17", "Page1C(3)", 1, 0x010D, 0x0000, 0x0040},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.control);
        fresh();
        open(c.form);
        host.setPut(c.reg, c.before);
        if (Bits* s = page->selector(c.control))
            s->pick(c.item);
        else
            page->clickBox(c.control, c.item != 0);
        EXPECT_EQ(host.put(c.reg), c.after);
    }
}

TEST_F(Pages, AFieldValueWithoutItemShowsNoSelectionAndWritesNothing)
{
    struct Case {
        const char* form;
        int reg, value;
        const char* selector;
    };
    const Case cases[] = {
        {"SETPAGE15", 0x1048, 3, "Page3C(0)"},
        {"SETPAGE15", 0x104D, 0xFFFF, "Page3C(1)"},
        {"SETPAGE4", 0x0121, 12, "Page1C(0)"},
        {"SETPAGE4", 0x0123, 0x000F, "Page1C(4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.selector);
        fresh();
        host.setGet(c.reg, c.value);
        host.setPut(c.reg, 0x1230);
        open(c.form);
        EXPECT_EQ(page->ListIndex(c.selector), -1);
        EXPECT_EQ(page->valor(c.selector), "");
        EXPECT_EQ(host.put(c.reg), 0x1230);
    }
    fresh();
    host.setGet(0x1048, 2);
    open("SETPAGE15");
    EXPECT_EQ(page->valor("Page3C(0)"), "U/F");
}

TEST_F(Pages, EventClassesShownFromTheirBits)
{
    host.setGet(0x012A, 0x0024);
    open("SETPAGE9");
    for (int i = 0; i < 8; ++i) {
        const std::string name = "Page9(" + std::to_string(i) + ")";
        EXPECT_EQ(page->valor(name), i == 2 || i == 5 ? "On" : "Off") << name;
    }
    EXPECT_EQ(host.put(0x012A), 0x0024);
}

TEST_F(Pages, PulseTimeRowShownOnlyForAPulsedRelay)
{
    host.setGet(0x010D, 0x0004);
    host.setGet(0x010E, 700);
    host.setPut(0x010E, 700);
    open("SETPAGE17");
    const char* types[] = {"Latched", "Pulsed", "Latched", "Latched"};
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(page->valor("Page1C(" + n + ")"), types[i]) << i;
        EXPECT_EQ(page->visible("Label1(" + n + ")"), i == 1) << i;
        EXPECT_EQ(page->visible("Byte_UnR1(" + n + ")"), i == 1) << i;
    }
    EXPECT_TRUE(page->visible("Label1(8)"));  // a type row stays

    host.setPut(0x010D, 0x00F0);
    page->selector("Page1C(0)")->pick(1);
    EXPECT_EQ(host.put(0x010D), 0x00F1);
    EXPECT_TRUE(page->visible("Label1(0)"));
    EXPECT_TRUE(page->visible("Byte_UnR1(0)"));
    EXPECT_EQ(page->valor("Byte_UnR1(0)"), "700 mSec");
    page->selector("Page1C(0)")->pick(0);
    EXPECT_EQ(host.put(0x010D), 0x00F0);
    EXPECT_FALSE(page->visible("Label1(0)"));
    EXPECT_FALSE(page->visible("Byte_UnR1(0)"));
    EXPECT_EQ(host.put(0x010E), 700);  // hidden, kept and stored as it is
}

TEST_F(Pages, ReadsWritesAndBlocksGivenBackOnExit)
{
    struct Case {
        const char* form;
        std::vector<int> reads, writes;
        std::vector<int> restored;  // blocks 1..6
    };
    const Case cases[] = {
        {"SETPAGE15", {65, 66, 63, 64}, {112, 113}, {3, 4, 5, 6}},
        {"SETPAGE16", {66, 63, 64, 65}, {113}, {3, 4, 5, 6}},
        {"SETPAGE17", {61, 62}, {27}, {1, 2}},
        {"SETPAGE4", {62}, {28}, {2}},
        {"SETPAGE9", {62}, {28}, {2}},
        {"SETPAGE3", {63, 64, 65, 66}, {110, 111, 113}, {3, 4}},
        {"SETPAGE13", {64, 63, 65, 66}, {111, 113}, {3, 4, 5, 6}},
        {"SETPAGE14", {64, 65, 66, 63}, {111, 112, 113}, {3, 4, 5, 6}},
    };
    // One register in each block that no control of these pages shows.
    const int inBlock[] = {0x0106, 0x011C, 0x1005, 0x101A, 0x1033, 0x104B};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        fresh();
        host.isOnline = true;
        open(c.form);
        EXPECT_EQ(host.codes(), c.reads);
        EXPECT_EQ(host.mainWindow, std::vector<bool>{false});
        for (int code : c.reads)
            host.pass(code);
        ASSERT_TRUE(page->usable());
        page->Command1_Click();
        ASSERT_EQ(host.stores.size(), 1u);
        std::vector<int> stored;
        for (const RequestSlot& s : host.stores[0].first)
            stored.push_back(s.code);
        EXPECT_EQ(stored, c.writes);
        EXPECT_TRUE(host.messages.empty());
        page->storeEnded(true);

        for (int reg : inBlock)
            host.setPut(reg, 0x5A5A);
        page->Command2_Click();
        EXPECT_TRUE(page->closed());
        for (int b = 1; b <= 6; ++b) {
            const bool back = std::find(c.restored.begin(), c.restored.end(), b) != c.restored.end();
            const int reg = inBlock[b - 1];
            EXPECT_EQ(host.put(reg), back ? host.get(reg) : 0x5A5A) << "block " << b;
        }
        EXPECT_EQ(host.mainWindow, (std::vector<bool>{false, true}));
    }
}
