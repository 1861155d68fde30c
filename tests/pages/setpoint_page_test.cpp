// The setpoint page model on the system setup form, over a fake host:
// opening on- and offline, showing the Get image and its write-back, relay
// boxes, the ground-sensing combo and the visibility rules, STORE and EXIT.

#include "FormPageTest.h"
#include "pages/SetpointPage.h"

#include <gtest/gtest.h>

using namespace kova;
using kova::test::FakePageHost;

namespace {

struct Page : kova::test::FormPageTest {
    void open() { FormPageTest::open("SETPAGE2"); }
    std::string valor(const char* name) const { return page->valor(name); }
};

} // namespace

TEST_F(Page, GroundSensingFrequencyAndBlockTripShownFromRegister0101)
{
    struct Case {
        int get, put;
        const char *combo, *frequency, *blockTrip;
        bool groundRow, openingRow;
        int putAfter;
    };
    const Case cases[] = {
        {0x0020, 0x0020, "Residual", "50 Hz", "No", false, false, 0x0020},
        {0x0040, 0x0040, "Zero Sequence", "50 Hz", "No", true, false, 0x0040},
        {0x0000, 0x0000, "", "50 Hz", "No", true, false, 0x0000},
        {0x0060, 0x0060, "", "50 Hz", "No", true, false, 0x0060},  // no item: nothing written
        {0x0040, 0x0020, "Zero Sequence", "50 Hz", "No", true, false, 0x0040},
        {0x1001, 0x0000, "", "60 Hz", "Yes", true, true, 0x1001},
        {0x0002, 0x0001, "", "", "No", true, false, 0x0001},  // bits 0-1 name no item: kept
        {0x0003, 0x0000, "", "", "No", true, false, 0x0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.get);
        host = FakePageHost{};
        host.setGet(0x0101, c.get);
        host.setPut(0x0101, c.put);
        open();
        EXPECT_EQ(valor("Combo1"), c.combo);
        EXPECT_EQ(valor("Page1C(0)"), c.frequency);
        EXPECT_EQ(valor("Page1C(4)"), c.blockTrip);
        EXPECT_EQ(page->visible("Label1(2)"), c.groundRow);
        EXPECT_EQ(page->visible("PhaseCT(1)"), c.groundRow);
        EXPECT_EQ(page->visible("Label1(20)"), c.openingRow);
        EXPECT_EQ(page->visible("PhaseCT(9)"), c.openingRow);
        EXPECT_EQ(host.put(0x0101), c.putAfter);
    }
}

TEST_F(Page, ChoicesWriteOnlyTheirOwnBits)
{
    host.setGet(0x0101, 0x0020);
    host.setPut(0x0101, 0x0020);
    open();
    host.setPut(0x0101, 0x1C25);
    page->chooseCombo("Combo1", 1);
    EXPECT_EQ(host.put(0x0101), 0x1C45);
    EXPECT_TRUE(page->visible("PhaseCT(1)"));
    page->chooseCombo("Combo1", 0);
    EXPECT_EQ(host.put(0x0101), 0x1C25);
    EXPECT_FALSE(page->visible("Label1(2)"));
    page->selector("Page1C(4)")->pick(1);
    EXPECT_EQ(host.put(0x0101), 0x1C25 | 0x1000);
    EXPECT_TRUE(page->visible("Label1(20)"));

    host.setPut(0x012F, 0xA5F0);
    page->clickBox("chkDiscrep(11)", true);
    EXPECT_EQ(host.put(0x012F), 0xA5F8);
    page->clickBox("chkDiscrep(11)", false);
    EXPECT_EQ(host.put(0x012F), 0xA5F0);
}

TEST_F(Page, EditorTexts)
{
    struct Case {
        int reg, raw;
        const char *control, *text;
    };
    const Case cases[] = {
        {0x0102, 500, "PhaseCT(0)", "500 A"},   {0x0103, 5, "PhaseCT(1)", "5 A"},
        {0x0105, 6900, "Page1W2(0)", "69.00 KV"}, {0x0105, 10, "Page1W2(0)", "0.10 KV"},
        {0x011A, 5, "PhaseCT(8)", "0.05 Sec"},  {0x012E, 9995, "PhaseCT(5)", "9995 "},
        {0x011B, 100, "PhaseCT(9)", "100 mSec"}, {0x0130, 5000, "PhaseCT(6)", "5000 KA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        host = FakePageHost{};
        host.setGet(c.reg, c.raw);
        open();
        EXPECT_EQ(valor(c.control), c.text);
    }
}

TEST_F(Page, BoxesShownFromTheImageWriteBackOnlyWhenTicked)
{
    host.setGet(0x012B, 0x0001);
    host.setPut(0x012B, 0x0008);
    open();
    EXPECT_TRUE(page->checked("chkDiscrep(0)"));
    EXPECT_FALSE(page->checked("chkDiscrep(3)"));
    EXPECT_EQ(host.put(0x012B), 0x0009);
}

TEST_F(Page, OpeningOnlineOfflineAndWhilePrinting)
{
    host.isOnline = true;
    open();
    EXPECT_EQ(host.codes(), (std::vector<int>{61, 62}));
    for (const auto& q : host.queued)
        EXPECT_FALSE(q.habilitaReset);
    EXPECT_TRUE(host.habilitaReset);
    EXPECT_EQ(host.mainWindow, std::vector<bool>{false});
    EXPECT_EQ(host.listener, page.get());

    host = FakePageHost{};
    open();
    EXPECT_TRUE(host.queued.empty());
    EXPECT_TRUE(host.mainWindow.empty());
    EXPECT_TRUE(page->usable());

    host = FakePageHost{};
    host.isOnline = true;
    host.isPrinting = true;
    host.setGet(0x012B, 0x000F);
    open();
    EXPECT_TRUE(host.queued.empty());
    EXPECT_TRUE(host.mainWindow.empty());
    EXPECT_EQ(page->selector("Page1C(0)")->ListCount(), 0);
    EXPECT_FALSE(page->checked("chkDiscrep(0)"));
    EXPECT_EQ(valor("PhaseCT(0)"), "");
}

TEST_F(Page, OpenedOnlineTakesNoInputUntilItsReadsAreAnswered)
{
    host.isOnline = true;
    host.setGet(0x0102, 600);
    open();
    EXPECT_EQ(valor("PhaseCT(0)"), "600 A");
    EXPECT_FALSE(page->usable());
    EXPECT_TRUE(page->exitUsable());
    page->clickBox("chkDiscrep(0)", true);
    page->Command1_Click();
    EXPECT_FALSE(page->checked("chkDiscrep(0)"));
    EXPECT_TRUE(host.stores.empty());

    // The relay's values arrive; block 1's reply alone is not enough, nor
    // are both while another read of block 1 still waits.
    host.setGet(0x0102, 805);
    host.waiting = {61};
    host.pass(61);
    EXPECT_FALSE(page->usable());
    host.pass(62);
    EXPECT_FALSE(page->usable());
    host.waiting.clear();
    page->replyPassed({0, 99, 61});
    EXPECT_TRUE(page->usable());
    EXPECT_EQ(valor("PhaseCT(0)"), "805 A");

    // A link lost while waiting ends the wait as well.
    host = FakePageHost{};
    host.isOnline = true;
    open();
    host.setGet(0x0102, 900);
    host.isOnline = false;
    host.listener->linkLost();
    EXPECT_TRUE(page->usable());
    EXPECT_EQ(valor("PhaseCT(0)"), "900 A");
}

TEST_F(Page, StoreOnlineIsOneTransactionThatHoldsThePage)
{
    host.isOnline = true;
    open();
    host.pass(61);
    host.pass(62);
    ASSERT_TRUE(page->usable());
    host.refuse = {28};
    page->Command1_Click();
    ASSERT_EQ(host.stores.size(), 1u);
    EXPECT_EQ(host.stores[0].first, (std::vector<RequestSlot>{{0, 2, 27}}));
    EXPECT_EQ(host.stores[0].second, std::vector<int>{28});
    EXPECT_FALSE(page->usable());
    EXPECT_FALSE(page->exitUsable());
    EXPECT_FALSE(page->Form_Unload());
    page->Command2_Click();
    EXPECT_FALSE(page->closed());
    page->storeEnded(false);
    EXPECT_TRUE(page->usable());
    EXPECT_TRUE(host.messages.empty());

    host.refuse.clear();
    page->Command1_Click();
    EXPECT_EQ(host.codes(), (std::vector<int>{61, 62, 27, 27, 28}));
    EXPECT_TRUE(host.stores[1].second.empty());
}

TEST_F(Page, StoreOfflineCopiesThePutImageAndSaysSo)
{
    open();
    host.im.put[3] = 0x11;
    host.im.put[250] = 0x22;
    host.im.put[300] = 0x33;
    for (int n = 1; n <= 2; ++n) {
        page->Command1_Click();
        EXPECT_EQ(host.im.get, host.im.put);
        ASSERT_EQ(host.messages.size(), std::size_t(n));
        EXPECT_EQ(host.messages.back().text, "Setpoints were Saved to the Computer's Scratch memory");
        EXPECT_EQ(host.messages.back().title, "KOVA");
        EXPECT_EQ(host.messages.back().icon, PageHost::Icon::None);
    }
    EXPECT_FALSE(page->closed());
    EXPECT_TRUE(host.queued.empty());
}

TEST_F(Page, StoreAfterTheLinkWentCopiesNothing)
{
    host.isOnline = true;
    open();
    host.isOnline = false;
    host.listener->linkLost();
    host.im.put[3] = 0x11;
    const auto get = host.im.get;
    page->Command1_Click();
    EXPECT_EQ(host.im.get, get);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, " Communication Error...");
    EXPECT_EQ(host.messages[0].title, "Communication Error");
    EXPECT_EQ(host.messages[0].icon, PageHost::Icon::Critical);
}

TEST_F(Page, ExitAndFrameCloseRestoreThePagesBlocksOnly)
{
    for (bool byFrame : {false, true}) {
        SCOPED_TRACE(byFrame);
        host = FakePageHost{};
        host.isOnline = true;
        open();
        host.im.put[0] = 0x01;   // block 1
        host.im.put[60] = 0x02;  // block 2
        host.im.put[150] = 0x04; // block 4
        int closes = 0;
        page->onClose = [&] { ++closes; };
        if (byFrame)
            EXPECT_TRUE(page->Form_Unload());
        else
            page->Command2_Click();
        EXPECT_EQ(host.im.put[0], host.im.get[0]);
        EXPECT_EQ(host.im.put[60], host.im.get[60]);
        EXPECT_EQ(host.im.put[150], 0x04);
        EXPECT_EQ(host.mainWindow, (std::vector<bool>{false, true}));
        EXPECT_TRUE(page->closed());
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(host.listener, nullptr);
    }
}
