// The power, output relay, event recorder, frequency and digital input pages
// of the program online against the simulated relay (default setpoints):
// the frames of the page's reads in order, the relay's values shown, one
// edit, and STORE sending exactly the page's blocks with the edit.

#include "support/PageOnline.h"
#include "editors/BitsWidget.h"
#include "pages/FormLoader.h"
#include <QCheckBox>
#include <QComboBox>

namespace {

// The program connected to a fresh simulator, every block read; a page
// opened over it as its menu command opens it, shown without a modal loop.
struct Online {
    explicit Online(const std::vector<std::string>& simArgs = {}) : sim(simArgs) {}
    SimHarness sim;
    OnlineProgram program;
    std::size_t from = 0;
    std::unique_ptr<kova::SetpointPage> page;
    std::unique_ptr<kova::SetpointPageView> view;

    bool start()
    {
        if (!sim.ok() || !program.start(sim))
            return false;
        const auto sent30 = [this] {
            const auto codes = sim.requestCodes();
            return std::find(codes.begin(), codes.end(), 30) != codes.end();
        };
        return QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6 && sent30(); }, 15000);
    }
    bool open(const char* form)
    {
        from = sim.requests().size();
        view.reset();
        page = std::make_unique<kova::SetpointPage>(*kova::loadPageForm(form), program.context);
        view = std::make_unique<kova::SetpointPageView>(*page, program.arranque.principal());
        page->Form_Load();
        view->show();
        return QTest::qWaitFor([this] { return page->usable(); }, 5000);
    }
    // Frames of the page's requests with these codes, in the order sent.
    std::vector<Bytes> frames(std::initializer_list<int> codes) const
    {
        std::vector<Bytes> out;
        const auto reqs = sim.requests();
        for (std::size_t i = from; i < reqs.size(); ++i)
            if (std::find(codes.begin(), codes.end(), kova::test::requestCode(reqs[i])) != codes.end())
                out.push_back(frameOf(reqs[i]));
        return out;
    }
    // Codes of the setpoint block reads and writes sent.
    std::vector<int> codesSent() const
    {
        std::vector<int> out;
        const auto all = sim.requestCodes();
        for (std::size_t i = from; i < all.size(); ++i)
            if (all[i] == 27 || all[i] == 28 || (all[i] >= 61 && all[i] <= 66) || (all[i] >= 110 && all[i] <= 113))
                out.push_back(all[i]);
        return out;
    }
    QString text(const char* editor) const
    {
        return static_cast<kova::ValueEditorWidget*>(view->widget(editor))->Text1()->text();
    }
    void choose(const char* selector, int item)
    {
        QComboBox* combo = static_cast<kova::BitsWidget*>(view->widget(selector))->Combo1();
        combo->setCurrentIndex(item);
        emit combo->activated(item);
    }
    bool store()
    {
        from = sim.requests().size();
        QTest::mouseClick(view->Command1(), Qt::LeftButton);
        return page->storing() && QTest::qWaitFor([this] { return !page->storing(); }, 20000);
    }
    int saved() const { return count(program.ui, kSaved); }
};

} // namespace

class tst_RelayFunctionPages : public QObject {
    Q_OBJECT
private slots:
    void powerProtections();
    void outputRelays();
    void eventRecorder();
    void frequencyAndDigitalInputsReadAndWriteTheirBlocks();
    void untouchedPagesStoreTheirBlocksAsRead();
};

void tst_RelayFunctionPages::powerProtections()
{
    Online on;
    QVERIFY(on.start());
    QVERIFY(on.program.arranque.principal()->command("mnuPowerProtec")->isEnabled());
    QVERIFY(on.open("SETPAGE16"));
    QCOMPARE(on.frames({61, 62, 63, 64, 65, 66}),
             (std::vector<Bytes>{hexBytes("01 03 10 4B 00 1A B0 D7"), hexBytes("01 03 10 00 00 19 80 C0"),
                                 hexBytes("01 03 10 19 00 19 51 07"), hexBytes("01 03 10 32 00 19 21 0F")}));
    QCOMPARE(on.text("Word_TresR1(0)"), QString("500 KW"));
    QCOMPARE(on.text("Byte_UnR1(0)"), QString("0.80 "));
    QCOMPARE(on.text("Word_DosR1(2)"), QString("10.0 Sec"));
    QCOMPARE(on.text("Byte_UnR1(1)"), QString("400 A"));
    QVERIFY(on.view->widget("Frame1")->x() < on.view->widget("Frame2")->x());

    auto* aux1 = static_cast<QCheckBox*>(on.view->widget("ChkGnd(13)"));
    QCOMPARE(aux1->text(), QString("Aux. 1"));
    QVERIFY(!aux1->isChecked());
    QTest::mouseClick(aux1, Qt::LeftButton);
    QVERIFY(on.store());
    QCOMPARE(on.frames({27, 28, 110, 111, 112, 113}),
             std::vector<Bytes>{hexBytes(
                 "01 10 10 4B 00 1A 34 00 C8 00 02 00 01 00 64 00 1E 01 F4 00 02 00 50 00 55 03 E8 00 02 00 4B 00 50 "
                 "03 E8 00 01 00 32 01 F4 00 04 01 F4 03 E8 00 08 01 90 00 08 01 90 00 0A 00 96 B1 8B")});
    QCOMPARE(on.sim.holding(0x1063), 0x000A);
    QCOMPARE(on.saved(), 1);
    QTest::mouseClick(on.view->Command2(), Qt::LeftButton);
    QVERIFY(on.page->closed());
    QVERIFY(on.program.arranque.principal()->isEnabled());
}

void tst_RelayFunctionPages::outputRelays()
{
    Online on;
    QVERIFY(on.start());
    QVERIFY(on.open("SETPAGE17"));
    QCOMPARE(on.frames({61, 62}),
             (std::vector<Bytes>{hexBytes("01 03 01 01 00 18 15 FC"), hexBytes("01 03 01 19 00 18 95 FB")}));
    const char* types[] = {"Pulsed", "Latched", "Pulsed", "Latched"};
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        QCOMPARE(static_cast<kova::BitsWidget*>(on.view->widget("Page1C(" + n + ")"))->Combo1()->currentText(),
                 QString(types[i]));
        QCOMPARE(on.view->widget("Byte_UnR1(" + n + ")")->isVisible(), i % 2 == 0);
        QCOMPARE(on.view->widget("Label1(" + n + ")")->isVisible(), i % 2 == 0);
    }
    QCOMPARE(on.text("Byte_UnR1(0)"), QString("500 mSec"));

    on.choose("Page1C(1)", 1);
    QVERIFY(on.view->widget("Byte_UnR1(1)")->isVisible());
    QCOMPARE(on.text("Byte_UnR1(1)"), QString("1000 mSec"));
    QVERIFY(on.store());
    const Bytes expected = blockWrite(0x0101, kova::relaysim::kSetpointBlock1, {{0x010D, 0x0015}});
    QCOMPARE(int(expected[expected.size() - 2]), 0xF6);
    QCOMPARE(int(expected[expected.size() - 1]), 0xB2);
    QCOMPARE(on.frames({27, 28, 110, 111, 112, 113}), std::vector<Bytes>{expected});
    QCOMPARE(on.sim.holding(0x010D), 0x0015);
    QCOMPARE(on.saved(), 1);
}

void tst_RelayFunctionPages::eventRecorder()
{
    Online on;
    QVERIFY(on.start());
    QVERIFY(on.open("SETPAGE9"));
    QCOMPARE(on.frames({61, 62, 63, 64, 65, 66}), std::vector<Bytes>{hexBytes("01 03 01 19 00 18 95 FB")});
    QCOMPARE(on.page->valor("Page9(2)"), std::string("On"));
    on.choose("Page9(2)", 0);  // "System Events:"
    QVERIFY(on.store());
    const Bytes expected = blockWrite(0x0119, kova::relaysim::kSetpointBlock2, {{0x012A, 0x00DF}});
    QCOMPARE(int(expected[expected.size() - 2]), 0x0A);
    QCOMPARE(int(expected[expected.size() - 1]), 0xDD);
    QCOMPARE(on.frames({27, 28, 110, 111, 112, 113}), std::vector<Bytes>{expected});
    QCOMPARE(on.sim.holding(0x012A), 0x00DF);
    QCOMPARE(on.saved(), 1);
}

void tst_RelayFunctionPages::frequencyAndDigitalInputsReadAndWriteTheirBlocks()
{
    Online on;
    QVERIFY(on.start());
    QVERIFY(on.open("SETPAGE15"));
    QCOMPARE(on.codesSent(), (std::vector<int>{65, 66, 63, 64}));
    QVERIFY(on.store());
    QCOMPARE(on.codesSent(), (std::vector<int>{112, 113}));
    QCOMPARE(on.saved(), 1);
    QTest::mouseClick(on.view->Command2(), Qt::LeftButton);

    QVERIFY(on.open("SETPAGE4"));
    QCOMPARE(on.codesSent(), std::vector<int>{62});
    QCOMPARE(on.page->valor("Page1C(2)"), std::string("Remote Trip"));
    QVERIFY(on.store());
    QCOMPARE(on.codesSent(), std::vector<int>{28});
    QCOMPARE(on.saved(), 2);
}

// Every setpoint page opened over settings whose bit fields hold uncommon values (codes no item names, bits beside
// the fields set), left untouched and stored: it writes its blocks and the relay keeps every register as it was.
void tst_RelayFunctionPages::untouchedPagesStoreTheirBlocksAsRead()
{
    std::vector<std::string> args;
    for (const char* set : {"0x0101=0xF7C9", "0x010D=0x5ABB", "0x0120=0xFFFD", "0x0121=0x1234", "0x012A=0x0026",
             "0x012B=0xFFF5", "0x1002=0xF00C"})
        args.insert(args.end(), {"--setpoint", set});
    Online on(args);
    QVERIFY(on.start());
    const auto asRead = on.sim.setpointImage();
    for (const std::string& form : kova::pageFormNames()) {
        const auto f = kova::loadPageForm(form);
        if (f->isValuePage() || !QByteArray(form.c_str()).startsWith("SETPAGE"))
            continue;
        QVERIFY2(on.open(form.c_str()), form.c_str());
        QVERIFY2(on.store(), form.c_str());
        QCOMPARE(on.codesSent(), f->writeCodes);
        QVERIFY2(on.sim.setpointImage() == asRead, form.c_str());
        QTest::mouseClick(on.view->Command2(), Qt::LeftButton);
    }
    QCOMPARE(on.saved(), 9);
}

QTEST_MAIN(tst_RelayFunctionPages)
#include "tst_RelayFunctionPages.moc"
