// The program's main window online against the simulated relay on a
// pseudo-terminal, started with a command line as a calling program starts
// it: the link state in status-bar panel 6, the relay status panel following
// the relay's status register, a relay falling silent reported once, and a
// relay that never answers reported after five time-outs.

#include "app/AppContext.h"
#include "app/UserControl1.h"
#include "app/support/ScriptedUi.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QtTest>

#include <array>
#include <string>

using kova::test::OnlineProgram;
using kova::test::ScriptedUi;
using kova::test::SimHarness;

namespace {

// The four-digit register of a request line ("req N fc F addr RRRR ...").
std::string address(const std::string& line)
{
    const auto at = line.find(" addr ");
    return at == std::string::npos ? std::string() : line.substr(at + 6, 4);
}

std::array<int, 11> flags(const kova::UserControl1& panel)
{
    std::array<int, 11> f{};
    for (int k = 0; k < kova::UserControl1::Lamparas; ++k)
        f[static_cast<std::size_t>(k)] = panel.bandera(k);
    return f;
}

std::array<int, 11> lamps(const kova::UserControl1& panel)
{
    std::array<int, 11> f{};
    for (int k = 0; k < kova::UserControl1::Lamparas; ++k)
        f[static_cast<std::size_t>(k)] = panel.encendida(k) ? 1 : 0;
    return f;
}

int errorBoxes(const ScriptedUi& ui)
{
    int n = 0;
    for (const auto& box : ui.shown)
        n += box.text == QLatin1String(" Communication Error...");
    return n;
}

} // namespace

class tst_MainWindowOnline : public QObject {
    Q_OBJECT
private slots:
    void onlineStatusPanelAndSilentRelay();
    void relaySilentFromTheStartIsReported();
};

void tst_MainWindowOnline::onlineStatusPanelAndSilentRelay()
{
    SimHarness sim({"--alt-setpoints"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    ScriptedUi& ui = program.ui;
    kova::AppContext& context = program.context;
    kova::Principal* w = program.arranque.principal();
    kova::UserControl1& panel = *w->UserControl11();
    const kova::AppState& st = program.arranque.state();

    QTRY_VERIFY_WITH_TIMEOUT(st.link.Comunicando, 10000);
    // After the connection window's watch has written its text once (3 s
    // after the connect), the 500 ms refresh shows the link state.
    QTest::qWait(3500);
    QTRY_COMPARE_WITH_TIMEOUT(w->panelText(6), QString("Comunicating..."), 2000);
    QTest::qWait(1200);
    QCOMPARE(w->panelText(6), QString("Comunicating..."));
    QVERIFY(ui.shown.isEmpty());

    // The connect sequence, the event chain the reply to 30 started, then
    // the status read over and over.
    const auto reqs = sim.requests();
    const std::vector<std::string> start = {"0000", "0101", "0119", "1000", "1019", "1032", "104B", "020D",
                                            "02D0", "027F", "022F", "024B", "026A", "025E", "0600"};
    QVERIFY(reqs.size() > start.size() + 4);
    for (std::size_t i = 0; i < start.size(); ++i)
        QCOMPARE(address(reqs[i]), start[i]);
    QCOMPARE(address(reqs[start.size()]), std::string("0610"));
    QCOMPARE(address(reqs.back()), std::string("0203"));

    // The relay's default status: Breaker Closed and Auto-Reclose Enabled.
    const std::array<int, 11> standard{0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0};
    QTRY_COMPARE_WITH_TIMEOUT(flags(panel), standard, 3000);
    QCOMPARE(lamps(panel), standard);

    // Trip, Out of Service, Breaker Closed and Lockout.
    sim.control("status 0x0891");
    const std::array<int, 11> tripped{1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
    QTRY_COMPARE_WITH_TIMEOUT(flags(panel), tripped, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(lamps(panel), tripped, 2000);

    // A setpoint edit, then the relay falls silent.
    QTRY_COMPARE_WITH_TIMEOUT(context.setpointBlocksRead(), 6, 3000);
    kova::processImages().put[7] ^= 0x01;
    const auto put = kova::processImages().put;
    const auto get = kova::processImages().get;
    sim.control("silent");
    QTRY_COMPARE_WITH_TIMEOUT(errorBoxes(ui), 1, 20000);
    const auto sent = sim.requests().size();
    QTest::qWait(4000);
    QCOMPARE(errorBoxes(ui), 1);
    QCOMPARE(ui.shown.size(), 1);
    QCOMPARE(ui.shown[0].title, QString("Communication Error"));
    QCOMPARE(ui.shown[0].icon, kova::MsgIcon::Critical);
    QCOMPARE(sim.requests().size(), sent);
    QVERIFY(!st.link.Comunicando);
    QCOMPARE(w->panelText(6), QString("Not Communicating...."));
    QCOMPARE(lamps(panel), (std::array<int, 11>{}));
    QVERIFY(w->isEnabled());
    QVERIFY(st.Habilita_Reset);
    // The relay's setpoints and the edit are kept.
    QVERIFY(kova::processImages().put == put);
    QVERIFY(kova::processImages().get == get);
}

void tst_MainWindowOnline::relaySilentFromTheStartIsReported()
{
    SimHarness sim({"--silent-from", "1"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::Principal* w = program.arranque.principal();
    const kova::AppState& st = program.arranque.state();

    QTRY_COMPARE_WITH_TIMEOUT(errorBoxes(program.ui), 1, 20000);
    const auto sent = sim.requests().size();
    QCOMPARE(sent, std::size_t(5));
    QTest::qWait(3000);
    QCOMPARE(program.ui.shown.size(), 1);
    QCOMPARE(program.ui.shown[0].title, QString("Communication Error"));
    QCOMPARE(sim.requests().size(), sent);
    QVERIFY(!st.link.Comunicando);
    QCOMPARE(w->panelText(6), QString("Not Communicating...."));
}

QTEST_MAIN(tst_MainWindowOnline)
#include "tst_MainWindowOnline.moc"
