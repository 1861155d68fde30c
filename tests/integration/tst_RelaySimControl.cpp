// Steering the simulated relay during a run (control FIFO) and starting it
// with setpoints that differ from the default table.

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"
#include "link/DefaultSetpoints.h"

#include <QTest>

#include <algorithm>

using namespace kova::test;
using namespace kova::relaysim;

namespace {

const Bytes kReadStatus = {0x01, 0x04, 0x02, 0x03, 0x00, 0x04, 0x00, 0x71};

int status(LineMaster& m)
{
    const Bytes r = m.transact(kReadStatus, 13);
    return r.size() == 13 && crcValid(r) ? (r[3] << 8 | r[4]) : -1;
}

// One input register read over the line (function 4); -1 without a good reply.
int input(LineMaster& m, int reg)
{
    const Bytes r = m.transact(withCrc({0x01, 0x04, std::uint8_t(reg >> 8), std::uint8_t(reg), 0x00, 0x01}), 7);
    return r.size() == 7 && crcValid(r) ? (r[3] << 8 | r[4]) : -1;
}

std::size_t count(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

} // namespace

class TestRelaySimControl : public QObject {
    Q_OBJECT
private slots:
    void statusChangesDuringRun();
    void fallsSilentAndTalksAgain();
    void answersLateWhenToldTo();
    void refusesWhenToldTo();
    void alternativeSetpoints();
    void singleSetpointOverride();
    void inputRegistersAtStartAndDuringRun();
    void badOptionsAreRefused();
};

void TestRelaySimControl::statusChangesDuringRun()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(status(m), int(0x0280));
    sim.control("status 0x0F21");
    QVERIFY(sim.waitForLog("ctl status 0F21"));
    QCOMPARE(status(m), 0x0F21);
    sim.control("status 1");
    QVERIFY(sim.waitForLog("ctl status 0001"));
    QCOMPARE(status(m), 0x0001);
    sim.control("status banana");
    QVERIFY(sim.waitForLog("ctl unknown 'status banana'"));
    QCOMPARE(status(m), 0x0001);
}

void TestRelaySimControl::fallsSilentAndTalksAgain()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(status(m), int(0x0280));
    sim.control("silent");
    QVERIFY(sim.waitForLog("ctl silent"));
    QVERIFY(m.transact(kReadStatus, 13, 300).empty());
    QVERIFY(m.transact(kReadStatus, 13, 300).empty());
    sim.control("talk");
    QVERIFY(sim.waitForLog("ctl talk"));
    QCOMPARE(status(m), int(0x0280));
    const auto req = sim.requests();
    QCOMPARE(req.size(), size_t(4));
    QVERIFY(req[1].ends_with("reply silent"));
    QVERIFY(req[3].ends_with("reply ok"));
}

void TestRelaySimControl::answersLateWhenToldTo()
{
    // Started late: nothing within 200 ms, then the whole reply.
    SimHarness sim({"--reply-delay", "400"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QVERIFY(m.transact(kReadStatus, 13, 200).empty());
    QVERIFY(QTest::qWaitFor([&] { return m.port.inBufferCount() >= 13; }, 3000));
    const Bytes late = m.port.input();
    QCOMPARE(late.size(), size_t(13));
    QVERIFY(crcValid(late));
    QCOMPARE(late[3] << 8 | late[4], 0x0280);

    // delay 0 ends it; a malformed delay changes nothing.
    sim.control("delay 0");
    QVERIFY(sim.waitForLog("ctl delay 0"));
    QCOMPARE(status(m), int(0x0280));
    sim.control("delay soon");
    QVERIFY(sim.waitForLog("ctl unknown 'delay soon'"));
    QCOMPARE(status(m), int(0x0280));

    // A request keeps the delay it arrived under, and the ones after it wait
    // for their turn: the identification read sent while answers are
    // 600 ms late comes first, the status read sent once the delay ended
    // right after it.
    sim.control("delay 600");
    QVERIFY(sim.waitForLog("ctl delay 600"));
    m.port.output({0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9});
    QTest::qWait(200);
    sim.control("delay 0");
    QVERIFY(QTest::qWaitFor([&] { return count(sim.logLines(), "ctl delay 0") == 2; }, 3000));
    m.port.output(kReadStatus);
    QTest::qWait(100);
    QCOMPARE(m.port.inBufferCount(), 0);
    QVERIFY(QTest::qWaitFor([&] { return m.port.inBufferCount() >= 26; }, 3000));
    const Bytes both = m.port.input();
    QCOMPARE(both.size(), size_t(26));
    QCOMPARE(both[3] << 8 | both[4], 22);        // the device type first
    QCOMPARE(both[16] << 8 | both[17], 0x0280);  // then the status
}

void TestRelaySimControl::refusesWhenToldTo()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    sim.control("refuse 4 0203");
    QVERIFY(sim.waitForLog("ctl refuse 4 0203"));
    QCOMPARE(m.transact(kReadStatus, 5), withCrc({0x01, 0x84, 0x04}));
    QVERIFY(input(m, 0x0204) >= 0); // another register is still read
    sim.control("refuse 4 banana");
    QVERIFY(sim.waitForLog("ctl unknown 'refuse 4 banana'"));
    sim.control("accept");
    QVERIFY(sim.waitForLog("ctl accept"));
    QCOMPARE(status(m), int(0x0280));
    QVERIFY(sim.requests()[0].ends_with("reply exception 4"));
}

void TestRelaySimControl::alternativeSetpoints()
{
    SimHarness sim({"--alt-setpoints"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    int differing = 0;
    for (const SetpointBlock& b : kDefaultSetpointBlocks)
        for (std::size_t i = 0; i < b.count; ++i) {
            const int reg = b.first + static_cast<int>(i);
            int expected = b.values[i];
            for (const SetpointChange& c : kAlternativeSetpointChanges)
                if (c.reg == reg)
                    expected = c.value;
            QCOMPARE(sim.holding(reg), expected);
            differing += expected != b.values[i];
        }
    QCOMPARE(differing, int(kAlternativeSetpointChanges.size()));

    // Read over the line too: block 1 carries 800 A at 0x0102.
    LineMaster m(sim.masterEnd());
    const Bytes r = m.transact({0x01, 0x03, 0x01, 0x01, 0x00, 0x18, 0x15, 0xFC}, 53);
    QCOMPARE(r.size(), size_t(53));
    QCOMPARE(r[5] << 8 | r[6], 800);
}

void TestRelaySimControl::singleSetpointOverride()
{
    SimHarness sim({"--setpoint", "0x1064=300", "--setpoint", "0x0109=30"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    QCOMPARE(sim.holding(0x1064), 300);
    QCOMPARE(sim.holding(0x0109), 30);
    QCOMPARE(sim.holding(0x010A), int(kSetpointBlock1[9]));
}

void TestRelaySimControl::inputRegistersAtStartAndDuringRun()
{
    SimHarness sim({"--input", "0x020D=1234", "--input", "515=0x0F21"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(input(m, 0x020D), 1234);
    QCOMPARE(status(m), 0x0F21); // 515 = 0x0203 wins over --status
    QCOMPARE(sim.dump().at({'i', 0x0203}), 0x0F21);

    // Hex register and value; a register the relay keeps itself, or a
    // malformed command, changes nothing.
    struct Step { const char* command; const char* logged; int reg, value; };
    for (const Step& s : {Step{"input 020D 04d3", "ctl input 020D 04D3", 0x020D, 0x04D3},
                          Step{"input 203 1", "ctl input 0203 0001", 0x0203, 1},
                          Step{"input 0600 0009", "ctl input 0600 refused", 0x0600, 5},
                          Step{"input 020D 10000", "ctl unknown 'input 020D 10000'", 0x020D, 0x04D3},
                          Step{"input 020D", "ctl unknown 'input 020D'", 0x020D, 0x04D3}}) {
        sim.control(s.command);
        QVERIFY2(sim.waitForLog(s.logged), s.command);
        QCOMPARE(input(m, s.reg), s.value);
    }
    QCOMPARE(sim.dump().at({'i', 0x0203}), 1);
}

void TestRelaySimControl::badOptionsAreRefused()
{
    // A register outside every setpoint block, or a malformed number: the
    // simulator does not start.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--setpoint", "0x0200=1"}, {"--address", "300"}, {"--events", "-1"}, {"--clock", "2005-13-01 00:00:00"},
             {"--corrupt-on", "16"}, {"--reply-delay", "-1"}, {"--input", "0x0201=1"}, {"--input", "0x0610=1"},
             {"--input", "0x0700=1"}, {"--input", "1=0x10000"}, {"--input", "0x020D"}}) {
        SimHarness sim(args);
        QVERIFY2(!sim.ok(), args[0].c_str());
    }
}

QTEST_MAIN(TestRelaySimControl)
#include "tst_RelaySimControl.moc"
