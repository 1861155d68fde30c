// The five value pages in the program online against the simulated relay:
// what each makes the program send, what it shows of the relay's values,
// and the Clear commands as the relay receives them.

#include "app/AppContext.h"
#include "pages/ValuePageView.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"
#include "text/DateText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

using kova::test::Bytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;
using kova::test::withCrc;

namespace {


std::vector<std::string> linesAfter(const SimHarness& sim, std::size_t from, const std::string& text)
{
    std::vector<std::string> out;
    const auto reqs = sim.requests();
    for (std::size_t i = from; i < reqs.size(); ++i)
        if (reqs[i].find(text) != std::string::npos) out.push_back(reqs[i]);
    return out;
}

// The codes of one queue's requests in the order sent.
std::vector<int> only(const std::vector<int>& codes, std::initializer_list<int> wanted)
{
    std::vector<int> out;
    for (int c : codes)
        if (std::find(wanted.begin(), wanted.end(), c) != wanted.end()) out.push_back(c);
    return out;
}

QString text(kova::ValuePageView& v, const char* label) { return v.label(label)->text(); }

// A page's value and unit label.
QStringList shown(kova::ValuePageView& v, int i)
{
    return {text(v, qPrintable(QString("LblMed(%1)").arg(i))), text(v, qPrintable(QString("LblUni(%1)").arg(i)))};
}

} // namespace

class tst_ValuePagesOnline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pagesShowTheRelaysValues();
    void deltaConnectionShowsTheDeltaFrame();

private:
    // Opens a page from its menu command and runs `body` while it is open
    // (inside its modal loop); the page is closed with OK afterwards.
    void onPage(OnlineProgram& program, const char* command, std::function<void(kova::ValuePageView&)> body);
    void connect(SimHarness& sim, OnlineProgram& program);
    SimHarness* sim_ = nullptr;
    std::size_t openedAt_ = 0; // requests sent before the page opened
};

void tst_ValuePagesOnline::initTestCase()
{
    // The clear commands as our own CRC makes them.
    QCOMPARE(withCrc({0x01, 0x05, 0x00, 0x08, 0xFF, 0x00}), (Bytes{0x01, 0x05, 0x00, 0x08, 0xFF, 0x00, 0x0D, 0xF8}));
    QCOMPARE(withCrc({0x01, 0x05, 0x00, 0x06, 0xFF, 0x00}), (Bytes{0x01, 0x05, 0x00, 0x06, 0xFF, 0x00, 0x6C, 0x3B}));
}

void tst_ValuePagesOnline::connect(SimHarness& sim, OnlineProgram& program)
{
    QVERIFY2(sim.ok(), sim.error().c_str());
    sim_ = &sim;
    QVERIFY(program.start(sim));
    kova::setTextLocale(kova::TextLocale{"dd/MM/yyyy"});
    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    // The connect sequence is done once only status reads go out.
    QTRY_VERIFY_WITH_TIMEOUT(sim.requests().size() > 20 && sim.codesAfter(sim.requests().size() - 4).empty(), 20000);
}

void tst_ValuePagesOnline::onPage(OnlineProgram& program, const char* command,
                                  std::function<void(kova::ValuePageView&)> body)
{
    kova::Principal* w = program.arranque.principal();
    // What an earlier page queued has been answered, and the relay has seen
    // only status reads since.
    const auto pageRequestWaits = [&] {
        for (int code : {4, 5, 6, 7, 8, 9, 10, 12, 19, 61})
            if (program.context.requestWaiting(code)) return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(!pageRequestWaits() && sim_->codesAfter(sim_->requests().size() - 3).empty(), 10000);
    openedAt_ = sim_->requests().size();
    QAction* a = w->command(command);
    QVERIFY2(a && a->isEnabled(), command);
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        kova::ValuePageView* view = nullptr;
        struct Close {
            kova::ValuePageView*& v;
            ~Close()
            {
                if (v && v->isVisible()) v->reject();
            }
        } close{view};
        QTRY_VERIFY((view = qobject_cast<kova::ValuePageView*>(QApplication::activeModalWidget())));
        QVERIFY(!w->isEnabled());
        body(*view);
        if (QTest::currentTestFailed()) return;
        // OK: the page stays until its next tick closes it.
        QTest::mouseClick(qobject_cast<QPushButton*>(view->control("Okey")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!view->isVisible(), 3000);
        ran = true;
    });
    a->trigger(); // returns when the page has closed
    QVERIFY2(ran, command);
    QVERIFY(w->isEnabled());
    QVERIFY(!program.arranque.state().Cerrar_Pagina);
}

void tst_ValuePagesOnline::pagesShowTheRelaysValues()
{
    SimHarness sim;
    OnlineProgram program;
    connect(sim, program);
    if (QTest::currentTestFailed()) return;

    onPage(program, "AV_page1", [&](kova::ValuePageView& v) {
        const std::size_t openedAt = openedAt_;
        // At once: 61 twice on the one-shot queue, 4, 8, 9 on the page queue;
        // then 61, 4, 8, 9 at every tick.
        QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(openedAt).size() >= 9, 5000);
        const auto codes = sim.codesAfter(openedAt);
        const std::vector<int> atOnce(codes.begin(), codes.begin() + 5), tick(codes.begin() + 5, codes.begin() + 9);
        QCOMPARE(only(atOnce, {61}), (std::vector<int>{61, 61}));
        QCOMPARE(only(atOnce, {4, 8, 9}), (std::vector<int>{4, 8, 9}));
        QCOMPARE(only(tick, {61}), (std::vector<int>{61}));
        QCOMPARE(only(tick, {4, 8, 9}), (std::vector<int>{4, 8, 9}));
        QCOMPARE(v.windowTitle(), QString("ACTUAL VALUES - Metering"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(v, 10), (QStringList{"125.4", "A"}), 3000);
        QCOMPARE(shown(v, 3), (QStringList{"13.80", "KV"}));
        QCOMPARE(shown(v, 5), (QStringList{"13.81", "KV"}));
        QCOMPARE(shown(v, 6), (QStringList{"7.97", "KV"}));
        QCOMPARE(shown(v, 0), (QStringList{"60.00", "Hz"}));
        QCOMPARE(text(v, "LblMed(1)"), QString(" A-B-C "));
        QCOMPARE(shown(v, 15), (QStringList{"1.20", "%"}));
        QVERIFY(v.control("OD_DD_VT1(0)")->isVisible());
        QVERIFY(!v.control("OD_DD_VT1(1)")->isVisible());
    });

    onPage(program, "mnuPowerData", [&](kova::ValuePageView& v) {
        const std::size_t openedAt = openedAt_;
        // Nothing at load; 7 and 10 at every tick.
        QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(openedAt).size() >= 2, 5000);
        const auto codes = sim.codesAfter(openedAt);
        QCOMPARE(std::vector<int>(codes.begin(), codes.begin() + 2), (std::vector<int>{7, 10}));
        QTRY_COMPARE_WITH_TIMEOUT(shown(v, 0), (QStringList{"2.85", "MW"}), 3000);
        QCOMPARE(shown(v, 1), (QStringList{"950.0", "KVAR"}));
        QCOMPARE(shown(v, 2), (QStringList{"3.00", "MVA"}));
        QCOMPARE(shown(v, 3), (QStringList{"0.95", "Lag"}));
        QCOMPARE(shown(v, 4), (QStringList{"123456", "KWH"}));
        QCOMPARE(shown(v, 15), (QStringList{"999.3", "KVA"}));
        QCOMPARE(text(v, "lblEnergyDate"), QString("15/01/2005"));
        QCOMPARE(text(v, "lblEnergyTime"), QString("08:30:00"));
        QVERIFY(v.control("Frame2")->isVisible());

        const std::size_t clearAt = sim.requests().size();
        QTest::mouseClick(qobject_cast<QPushButton*>(v.control("Clear")), Qt::LeftButton);
        QCOMPARE(program.ui.shown.last().text, QString("Are your sure that you want to clear Energy?"));
        QCOMPARE(program.ui.shown.last().title, QString("KOVA Clear Energy"));
        QTRY_COMPARE_WITH_TIMEOUT(linesAfter(sim, clearAt, "fc 5 ").size(), std::size_t(1), 5000);
        QVERIFY(linesAfter(sim, clearAt, "fc 5 ")[0].find("fc 5 addr 0008 value FF00 reply ok") != std::string::npos);
        QTRY_COMPARE_WITH_TIMEOUT(program.ui.shown.last().text, QString("Command executed"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(v, 4), (QStringList{"0", "KWH"}), 6000);
    });

    onPage(program, "MnuDemandData", [&](kova::ValuePageView& v) {
        QTRY_COMPARE_WITH_TIMEOUT(shown(v, 1), (QStringList{"2.70", "MW"}), 3000);
        QCOMPARE(shown(v, 3), (QStringList{"160.3", "A"}));
        QCOMPARE(shown(v, 5), (QStringList{"1.15", "MVAR"}));
        QCOMPARE(text(v, "LblDemandDate(0)"), QString("03/06/2005"));
        QCOMPARE(text(v, "LblDemandTime(0)"), QString("14:15:20"));
        const std::size_t boxes = program.ui.shown.size();
        const std::size_t clearAt = sim.requests().size();
        QTest::mouseClick(qobject_cast<QPushButton*>(v.control("Clear(0)")), Qt::LeftButton);
        QCOMPARE(program.ui.shown.last().text, QString("Are your sure that you want to clear demand?"));
        QTRY_COMPARE_WITH_TIMEOUT(linesAfter(sim, clearAt, "fc 5 ").size(), std::size_t(1), 5000);
        QVERIFY(linesAfter(sim, clearAt, "fc 5 ")[0].find("fc 5 addr 0006 value FF00 reply ok") != std::string::npos);
        // Clearing the demand brings no "Command executed".
        QTest::qWait(500);
        QCOMPARE(program.ui.shown.size(), boxes + 1);
    });

    onPage(program, "AV_page2", [&](kova::ValuePageView& v) {
        QCOMPARE(v.windowTitle(), QString("ACTUAL VALUES - Maintenance Data"));
        QTRY_COMPARE_WITH_TIMEOUT(text(v, "LblMed(0)"), QString("12"), 3000);
        QCOMPARE(shown(v, 4), (QStringList{"45.00", "KA"}));
    });

    onPage(program, "AV_page3", [&](kova::ValuePageView& v) {
        QTRY_COMPARE_WITH_TIMEOUT(text(v, "LblMed(0)"), QString(" Phase Timed OverCurrent "), 3000);
        QCOMPARE(text(v, "LblMed(1)"), QString("10/07/2005 16:42:17"));
        QCOMPARE(shown(v, 4), (QStringList{"851.0", "A"}));
        QCOMPARE(shown(v, 10), (QStringList{"59.98", "Hz"}));
        QCOMPARE(shown(v, 11), (QStringList{"0.87", "Lag"}));
    });
}

void tst_ValuePagesOnline::deltaConnectionShowsTheDeltaFrame()
{
    SimHarness sim({"--setpoint", "0x0101=0x1025"});
    OnlineProgram program;
    connect(sim, program);
    if (QTest::currentTestFailed()) return;
    onPage(program, "Toolbar1_4", [&](kova::ValuePageView& v) {
        QCOMPARE(v.objectName(), QString("AVPAGE1"));
        QTRY_COMPARE_WITH_TIMEOUT(text(v, "LblMed(2)"), QString(" Delta-Delta "), 3000);
        QVERIFY(v.control("OD_DD_VT1(1)")->isVisible());
        QVERIFY(!v.control("OD_DD_VT1(0)")->isVisible());
        QCOMPARE(shown(v, 19), (QStringList{"13.80", "KV"}));
    });
}

QTEST_MAIN(tst_ValuePagesOnline)
#include "tst_ValuePagesOnline.moc"
