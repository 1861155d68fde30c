// The phase, ground and voltage protection pages of the program online
// against the simulated relay (default setpoints): the blocks each page reads
// in its order, the relay's curves with the delay or the multiplier row,
// one relay box unticked, and STORE sending the page's blocks in order with
// one "saved".

#include "support/PageOnline.h"
#include "pages/FormLoader.h"
#include <QCheckBox>

namespace {

// The setpoint block requests (reads 61-66, writes 27, 28, 110-113) logged
// from index `from` on, as frames, in the order sent.
std::vector<Bytes> blockFrames(const SimHarness& sim, std::size_t from)
{
    std::vector<Bytes> out;
    const auto reqs = sim.requests();
    for (std::size_t i = from; i < reqs.size(); ++i) {
        const int code = kova::test::requestCode(reqs[i]);
        if ((code >= 61 && code <= 66) || code == 27 || code == 28 || (code >= 110 && code <= 113))
            out.push_back(frameOf(reqs[i]));
    }
    return out;
}

Bytes tail(const Bytes& f, std::size_t n) { return Bytes(f.end() - static_cast<std::ptrdiff_t>(n), f.end()); }

const Bytes kRead3 = hexBytes("01 03 10 00 00 19 80 C0");
const Bytes kRead4 = hexBytes("01 03 10 19 00 19 51 07");
const Bytes kRead5 = hexBytes("01 03 10 32 00 19 21 0F");
const Bytes kRead6 = hexBytes("01 03 10 4B 00 1A B0 D7");

// The program online with every block of the connect read; a page opened
// as its menu command opens it, shown without a modal loop of its own.
struct Online {
    SimHarness sim;
    OnlineProgram program;
    std::unique_ptr<kova::SetpointPage> page;
    std::unique_ptr<kova::SetpointPageView> view;
    std::size_t from = 0;

    bool start()
    {
        if (!sim.ok() || !program.start(sim))
            return false;
        if (!QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000))
            return false;
        // The event number read after the connect's blocks.
        return QTest::qWaitFor(
            [&] {
                const auto codes = sim.requestCodes();
                return std::find(codes.begin(), codes.end(), 30) != codes.end();
            },
            5000);
    }
    bool open(const char* form, const char* command)
    {
        if (!program.arranque.principal()->command(command)->isEnabled())
            return false;
        from = sim.requests().size();
        page = std::make_unique<kova::SetpointPage>(*kova::loadPageForm(form), program.context);
        view = std::make_unique<kova::SetpointPageView>(*page, program.arranque.principal());
        page->Form_Load();
        view->show();
        return QTest::qWaitFor([&] { return page->usable(); }, 5000);
    }
    QString text(const char* editor) const
    {
        return static_cast<kova::ValueEditorWidget*>(view->widget(editor))->Text1()->text();
    }
    bool visible(const char* name) const { return view->widget(name)->isVisible(); }
    // Unticks a box, STOREs, and waits for the store's end.
    bool untickAndStore(const char* box)
    {
        auto* b = static_cast<QCheckBox*>(view->widget(box));
        if (!b->isChecked())
            return false;
        QTest::mouseClick(b, Qt::LeftButton);
        from = sim.requests().size();
        QTest::mouseClick(view->Command1(), Qt::LeftButton);
        return QTest::qWaitFor([&] { return !page->storing(); }, 20000);
    }
};

} // namespace

class tst_ProtectionPagesOverLine : public QObject {
    Q_OBJECT
private slots:
    void phaseProtections();
    void groundProtections();
    void voltageProtections();
};

void tst_ProtectionPagesOverLine::phaseProtections()
{
    Online o;
    QVERIFY(o.start());
    QVERIFY(o.open("SETPAGE3", "MnuPhProtec"));
    QCOMPARE(blockFrames(o.sim, o.from), (std::vector<Bytes>{kRead3, kRead4, kRead5, kRead6}));

    QCOMPARE(QString::fromStdString(o.page->valor("Page3C(0)")), QString("ANSI Normal Inv"));
    QCOMPARE(o.text("Byte_UnR1(1)"), QString("1.0 "));
    QVERIFY(o.visible("Byte_UnR1(1)"));
    QVERIFY(!o.visible("frmTime"));
    QCOMPARE(QString::fromStdString(o.page->valor("Page3C(1)")), QString("Definite Time"));
    QCOMPARE(o.text("Word_TresR1(4)"), QString("5.0 Sec"));
    QVERIFY(o.visible("Word_TresR1(4)"));
    QVERIFY(!o.visible("Byte_UnR1(7)"));

    QVERIFY(o.untickAndStore("ChkPhTim(0)"));
    QTRY_COMPARE_WITH_TIMEOUT(count(o.program.ui, kSaved), 1, 3000);
    const auto sent = blockFrames(o.sim, o.from);
    QCOMPARE(sent.size(), std::size_t(3));
    QCOMPARE(sent[0], hexBytes("01 10 10 00 00 19 32 00 00 00 64 00 02 00 0A 00 64 00 00 00 01 03 20 00 32 00 00 "
                               "00 02 00 14 00 00 00 0A 01 F4 00 00 00 00 00 00 00 02 00 5A 03 E8 00 04 00 0F 01 "
                               "F4 00 08 D7 91"));
    QCOMPARE(sent[1], blockWrite(0x1019, kova::relaysim::kSetpointBlock4));
    QCOMPARE(tail(sent[1], 2), hexBytes("4B 52"));
    QCOMPARE(sent[2], blockWrite(0x104B, kova::relaysim::kSetpointBlock6));
    QCOMPARE(tail(sent[2], 2), hexBytes("10 4B"));
    QCOMPARE(o.sim.holding(0x1000), 0);
    QTest::qWait(500);
    QCOMPARE(count(o.program.ui, kSaved), 1);
    QCOMPARE(o.program.ui.shown.size(), qsizetype(1));
    QTest::mouseClick(o.view->Command2(), Qt::LeftButton);
    QVERIFY(o.page->closed());
}

void tst_ProtectionPagesOverLine::groundProtections()
{
    Online o;
    QVERIFY(o.start());
    QVERIFY(o.open("SETPAGE13", "MnuGndProtec"));
    QCOMPARE(blockFrames(o.sim, o.from), (std::vector<Bytes>{kRead4, kRead3, kRead5, kRead6}));
    QCOMPARE(QString::fromStdString(o.page->valor("Page3C(0)")), QString("ANSI Very Inv"));
    QCOMPARE(o.text("Byte_UnR1(1)"), QString("0.5 "));
    QVERIFY(!o.visible("frmTime"));

    QVERIFY(o.untickAndStore("ChkPhTim(0)"));
    QTRY_COMPARE_WITH_TIMEOUT(count(o.program.ui, kSaved), 1, 3000);
    const auto sent = blockFrames(o.sim, o.from);
    QCOMPARE(sent.size(), std::size_t(2));
    QCOMPARE(sent[0], blockWrite(0x1019, kova::relaysim::kSetpointBlock4, {{0x101F, 0}}));
    QCOMPARE(Bytes(sent[0].begin(), sent[0].begin() + 11), hexBytes("01 10 10 19 00 19 32 00 0A 03 E8"));
    QCOMPARE(tail(sent[0], 6), hexBytes("00 01 00 50 57 C2"));
    QCOMPARE(sent[1], blockWrite(0x104B, kova::relaysim::kSetpointBlock6));
    QCOMPARE(o.sim.holding(0x101F), 0);
    o.page->Command2_Click();
}

void tst_ProtectionPagesOverLine::voltageProtections()
{
    Online o;
    QVERIFY(o.start());
    QVERIFY(o.open("SETPAGE14", "MnuVoltProtec"));
    QCOMPARE(blockFrames(o.sim, o.from), (std::vector<Bytes>{kRead4, kRead5, kRead6, kRead3}));
    QVERIFY(o.untickAndStore("ChkPhTim(4)"));
    QTRY_COMPARE_WITH_TIMEOUT(count(o.program.ui, kSaved), 1, 3000);
    const auto sent = blockFrames(o.sim, o.from);
    QCOMPARE(sent.size(), std::size_t(3));
    QCOMPARE(sent[0], blockWrite(0x1019, kova::relaysim::kSetpointBlock4));
    QCOMPARE(sent[1], blockWrite(0x1032, kova::relaysim::kSetpointBlock5, {{0x1037, 0}}));
    QCOMPARE(sent[2], blockWrite(0x104B, kova::relaysim::kSetpointBlock6));
    QCOMPARE(o.sim.holding(0x1037), 0);
    o.page->Command2_Click();
}

QTEST_MAIN(tst_ProtectionPagesOverLine)
#include "tst_ProtectionPagesOverLine.moc"
