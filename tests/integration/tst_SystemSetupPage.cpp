// The system setup page of the program online against the simulated relay
// (alternative setpoints): the page's reads after the connect, the relay's
// values shown, one edit, STORE sending exactly the edited blocks and saying
// "saved" once, a write the relay refuses, and the default file kept or read
// after a link error as the blocks read demand.

#include "support/PageOnline.h"
#include "editors/UpDownArrows.h"
#include "pages/FormLoader.h"
#include <QComboBox>
#include <QToolButton>

namespace {

// Frames of the requests logged from index `from` on with this code.
std::vector<Bytes> framesOf(const SimHarness& sim, std::size_t from, int code)
{
    std::vector<Bytes> out;
    const auto reqs = sim.requests();
    for (std::size_t i = from; i < reqs.size(); ++i)
        if (kova::test::requestCode(reqs[i]) == code)
            out.push_back(frameOf(reqs[i]));
    return out;
}

const QString kError = QStringLiteral(" Communication Error...");

// The page opened over the running program, as its menu command opens it,
// but shown without a modal loop of its own.
struct OpenPage {
    kova::SetpointPage page;
    kova::SetpointPageView view;
    OpenPage(kova::AppContext& context, QWidget* main)
        : page(*kova::loadPageForm("SETPAGE2"), context), view(page, main)
    {
        page.Form_Load();
        view.show();
    }
    QString text(const char* editor) const
    {
        return static_cast<kova::ValueEditorWidget*>(view.widget(editor))->Text1()->text();
    }
};

} // namespace

class tst_SystemSetupPage : public QObject {
    Q_OBJECT
private slots:
    void storeOnline_data();
    void storeOnline();
    void linkErrorDuringTheConnectReadsWaitsForThePageToClose();
    void slowRelayHoldsTheControlsUntilBothBlocksAreRead();
};

void tst_SystemSetupPage::storeOnline_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("block2Writes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("relay takes both") << QStringList{} << 1 << true;
    QTest::newRow("block 2 reply corrupt once") << QStringList{"--corrupt-on", "16:0x0119"} << 2 << true;
    QTest::newRow("block 2 refused") << QStringList{"--exception-on", "16:0x0119"} << 5 << false;
}

void tst_SystemSetupPage::storeOnline()
{
    QFETCH(QStringList, simArgs);
    QFETCH(int, block2Writes);
    QFETCH(bool, saved);
    std::vector<std::string> args = {"--alt-setpoints"};
    for (const QString& a : simArgs)
        args.push_back(a.toStdString());
    SimHarness sim(args);
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::AppContext& context = program.context;
    kova::Principal* w = program.arranque.principal();
    QVERIFY(w->command("Set_page2")->isEnabled());
    QVERIFY(w->command("MnuPhProtec")->isEnabled());

    // After the connect sequence (its six block reads and the event number).
    QTRY_COMPARE_WITH_TIMEOUT(context.setpointBlocksRead(), 6, 10000);
    auto sent = [&sim](int code) {
        const auto codes = sim.requestCodes();
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    QTRY_VERIFY_WITH_TIMEOUT(sent(30), 5000);
    const std::size_t from = sim.requests().size();
    OpenPage open(context, w);
    QVERIFY(!w->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(open.page.usable(), 5000);
    QCOMPARE(framesOf(sim, from, 61), std::vector<Bytes>{hexBytes("01 03 01 01 00 18 15 FC")});
    QCOMPARE(framesOf(sim, from, 62), std::vector<Bytes>{hexBytes("01 03 01 19 00 18 95 FB")});

    // The relay's values.
    QCOMPARE(open.text("PhaseCT(0)"), QString("800 A"));
    QCOMPARE(open.text("Page1W2(0)"), QString("23.00 KV"));
    QCOMPARE(static_cast<QComboBox*>(open.view.widget("Combo1"))->currentText(), QString("Zero Sequence"));
    QVERIFY(open.view.widget("PhaseCT(1)")->isVisible());
    QCOMPARE(QString::fromStdString(open.page.valor("Page1C(4)")), QString("No"));
    QVERIFY(!open.view.widget("PhaseCT(9)")->isVisible());

    auto* phaseCt = static_cast<kova::ValueEditorWidget*>(open.view.widget("PhaseCT(0)"));
    QTest::mouseClick(phaseCt->UpDown1()->upButton(), Qt::LeftButton);
    QCOMPARE(open.text("PhaseCT(0)"), QString("805 A"));

    const std::size_t beforeStore = sim.requests().size();
    QTest::mouseClick(open.view.Command1(), Qt::LeftButton);
    QVERIFY(open.page.storing());
    QTRY_VERIFY_WITH_TIMEOUT(!open.page.storing(), 20000);
    QTest::qWait(1500);

    const auto block1 = framesOf(sim, beforeStore, 27);
    QCOMPARE(block1.size(), std::size_t(1));
    QCOMPARE(block1[0], hexBytes("01 10 01 01 00 18 30 00 41 03 25 00 64 00 78 08 FC 00 00 00 00 00 00 00 0F 00 0F "
                                 "00 00 00 00 00 11 01 F4 03 E8 01 F4 03 E8 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                 "00 48 89"));
    const auto block2 = framesOf(sim, beforeStore, 28);
    QCOMPARE(int(block2.size()), block2Writes);
    // Block 2 as the relay holds it (the alternative table has 0x012E = 2500).
    Bytes expected = {0x01, 0x10, 0x01, 0x19, 0x00, 0x18, 0x30};
    for (std::size_t i = 0; i < kova::relaysim::kSetpointBlock2.size(); ++i) {
        const int v = i == 0x012E - 0x0119 ? 2500 : kova::relaysim::kSetpointBlock2[i];
        expected.push_back(static_cast<std::uint8_t>(v >> 8));
        expected.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    expected = withCrc(expected);
    QCOMPARE(int(expected[expected.size() - 2]), 0x66);
    QCOMPARE(int(expected[expected.size() - 1]), 0x49);
    for (const Bytes& f : block2)
        QCOMPARE(f, expected);
    QCOMPARE(sim.holding(0x0102), 805);

    QCOMPARE(count(program.ui, kSaved), saved ? 1 : 0);
    QCOMPARE(count(program.ui, kError), saved ? 0 : 1);
    if (!saved) {
        // The relay is gone: a second STORE stores nothing anywhere, and the
        // relay's values stay (every block was read: no default file).
        QTRY_VERIFY_WITH_TIMEOUT(open.page.usable(), 3000);
        const auto get = kova::processImages().get;
        QTest::mouseClick(open.view.Command1(), Qt::LeftButton);
        QCOMPARE(count(program.ui, kError), 2);
        QVERIFY(kova::processImages().get == get);
        QCOMPARE(kova::processImages().get[8] * 256 + kova::processImages().get[9], 2300);
    }
    QCOMPARE(program.ui.shown.size(), qsizetype(saved ? 1 : 2));
    QTest::mouseClick(open.view.Command2(), Qt::LeftButton);
    QVERIFY(open.page.closed());
    QVERIFY(w->isEnabled());
}

// Block 3 of the connect is refused: the link error finds five blocks from
// the relay and block 3 from the default file. The page open then
// keeps what it shows; the default file is read once it has closed.
void tst_SystemSetupPage::linkErrorDuringTheConnectReadsWaitsForThePageToClose()
{
    SimHarness sim({"--alt-setpoints", "--exception-on", "3:0x1000"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::AppContext& context = program.context;
    auto get0102 = [] { return kova::processImages().get[2] * 256 + kova::processImages().get[3]; };

    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    OpenPage open(context, program.arranque.principal());
    QVERIFY(!open.page.usable());
    QTRY_COMPARE_WITH_TIMEOUT(count(program.ui, kError), 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(open.page.usable(), 3000);
    QCOMPARE(context.setpointBlocksRead(), 5);
    QCOMPARE(get0102(), 800);
    QCOMPARE(open.text("PhaseCT(0)"), QString("800 A"));

    open.page.Command2_Click();
    QVERIFY(open.page.closed());
    QCOMPARE(get0102(), 600);
    QCOMPARE(kova::processImages().put, kova::processImages().get);
}

// Replies half a second late: nothing on the page takes input until the
// reply to its last read, so no edit can be overwritten by the relay's data.
void tst_SystemSetupPage::slowRelayHoldsTheControlsUntilBothBlocksAreRead()
{
    SimHarness sim({"--alt-setpoints"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::AppContext& context = program.context;
    QTRY_COMPARE_WITH_TIMEOUT(context.setpointBlocksRead(), 6, 10000);
    sim.control("delay 500");
    QTRY_VERIFY_WITH_TIMEOUT(sim.waitForLog("ctl ", std::chrono::milliseconds(0)), 3000);
    if (!sim.waitForLog("ctl delay 500", std::chrono::milliseconds(0)))
        QSKIP("this simulator has no reply delay");

    std::vector<int> passed;
    std::vector<bool> usableAt;
    OpenPage* page = nullptr;
    QObject::connect(&context.linkLoop(), &kova::LinkLoop::Respuesta_Aceptada, [&](int, int, int code) {
        if (page && (code == 61 || code == 62)) {
            passed.push_back(code);
            usableAt.push_back(page->page.usable());
        }
    });
    kova::processImages().get[2] = 0;  // 0x0102 shown as 0 A until the relay's reply
    kova::processImages().get[3] = 0;
    OpenPage open(context, program.arranque.principal());
    page = &open;
    auto* phaseCt = static_cast<kova::ValueEditorWidget*>(open.view.widget("PhaseCT(0)"));
    QVERIFY(!open.view.widget("Frame1")->isEnabled());
    QVERIFY(!open.view.Command1()->isEnabled());
    QTest::mouseClick(phaseCt->UpDown1()->upButton(), Qt::LeftButton);
    QCOMPARE(open.text("PhaseCT(0)"), QString("0 A"));

    QTRY_VERIFY_WITH_TIMEOUT(open.page.usable(), 10000);
    QCOMPARE(passed, (std::vector<int>{61, 62}));
    QCOMPARE(usableAt, (std::vector<bool>{false, true}));
    QVERIFY(open.view.widget("Frame1")->isEnabled());
    QCOMPARE(open.text("PhaseCT(0)"), QString("800 A"));
    page = nullptr;
    open.page.Command2_Click();
}

QTEST_MAIN(tst_SystemSetupPage)
#include "tst_SystemSetupPage.moc"
