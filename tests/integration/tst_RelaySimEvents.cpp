// The simulated relay's event record, running clock and commands.

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"
#include "tools/relay-sim/RelayValues.h"

#include <QTest>

using namespace kova::test;
using namespace kova::relaysim;

namespace {

const Bytes kReadNewest = {0x01, 0x04, 0x06, 0x00, 0x00, 0x04, 0xF1, 0x41};  // request 30
const Bytes kReadRecord = {0x01, 0x04, 0x06, 0x10, 0x00, 0x16, 0x70, 0x89};  // request 90
const Bytes kReadClock = {0x01, 0x04, 0x02, 0x00, 0x00, 0x03, 0xB1, 0xB3};   // request 91
const Bytes kApplyClock = {0x01, 0x05, 0x00, 0x05, 0xFF, 0x00, 0x9C, 0x3B};  // request 92
const Bytes kReset = {0x01, 0x05, 0x00, 0x01, 0xFF, 0x00, 0xDD, 0xFA};       // request 11
const Bytes kClearEnergy = {0x01, 0x05, 0x00, 0x08, 0xFF, 0x00, 0x0D, 0xF8}; // request 12
const Bytes kClearEvents = {0x01, 0x05, 0x00, 0x09, 0xFF, 0x00, 0x5C, 0x38}; // request 13
const Bytes kClearDemand = {0x01, 0x05, 0x00, 0x06, 0xFF, 0x00, 0x6C, 0x3B}; // request 19
const Bytes kCommand2 = {0x01, 0x05, 0x00, 0x02, 0xFF, 0x00, 0x2D, 0xFA};    // request 14
const Bytes kReadStatus = {0x01, 0x04, 0x02, 0x03, 0x00, 0x04, 0x00, 0x71};  // request 2
const Bytes kReadEnergy = {0x01, 0x04, 0x02, 0x5E, 0x00, 0x0E, 0x11, 0xA4};  // request 10
const Bytes kReadDemand = {0x01, 0x04, 0x02, 0x6A, 0x00, 0x15, 0x10, 0x61};  // request 9

Bytes selectEvent(int k)
{
    return withCrc({0x01, 0x10, 0x06, 0x10, 0x00, 0x01, 0x02, static_cast<std::uint8_t>(k >> 8),
                    static_cast<std::uint8_t>(k & 0xFF)});
}

const Bytes kSelectReply = withCrc({0x01, 0x10, 0x06, 0x10, 0x00, 0x01});

std::vector<int> words(const Bytes& reply)
{
    std::vector<int> w;
    for (std::size_t i = 3; i + 3 < reply.size(); i += 2)
        w.push_back(reply[i] << 8 | reply[i + 1]);
    return w;
}

std::vector<int> asInts(const EventRecord& r) { return std::vector<int>(r.begin(), r.end()); }

// Reads the clock registers as (w1, w2, w3).
std::vector<int> clock(LineMaster& m)
{
    const Bytes r = m.transact(kReadClock, 11);
    return r.size() == 11 && crcValid(r) ? words(r) : std::vector<int>{};
}

} // namespace

class TestRelaySimEvents : public QObject {
    Q_OBJECT
private slots:
    void eventSelectionAndRecords();
    void relayWithoutEvents();
    void clearEventsLeavesEventOne();
    void controlRecordsOneMoreEvent();
    void clockRunsAndIsSetByWriteAndCommand();
    void commandsHaveVisibleEffects();
};

void TestRelaySimEvents::eventSelectionAndRecords()
{
    SimHarness sim({"--events", "25"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());

    const auto newest = words(m.transact(kReadNewest, 13));
    const Stamp s25 = generatedEventStamp(25);
    QCOMPARE(newest, (std::vector<int>{25, s25.w1, s25.w2, s25.w3}));

    // Selecting event 25 with the frame of request 31, then the record.
    const Bytes select25 = selectEvent(25);
    QCOMPARE(select25, (Bytes{0x01, 0x10, 0x06, 0x10, 0x00, 0x01, 0x02, 0x00, 0x19, 0x03, 0x0A}));
    QCOMPARE(m.transact(select25, 8), kSelectReply);
    QCOMPARE(words(m.transact(kReadRecord, 49)), asInts(generatedEvent(25)));

    // The 20th newest (request 50 selects k = 6).
    QCOMPARE(selectEvent(6), (Bytes{0x01, 0x10, 0x06, 0x10, 0x00, 0x01, 0x02, 0x00, 0x06, 0x42, 0xC2}));
    QCOMPARE(m.transact(selectEvent(6), 8), kSelectReply);
    const auto rec6 = words(m.transact(kReadRecord, 49));
    QCOMPARE(rec6, asInts(generatedEvent(6)));
    QVERIFY(rec6[4] != 0 || rec6[5] != 0); // measurements are there

    // A number the relay does not hold reads back with an empty record.
    QCOMPARE(m.transact(selectEvent(30), 8), kSelectReply);
    std::vector<int> empty(kEventRecordLength, 0);
    empty[0] = 30;
    QCOMPARE(words(m.transact(kReadRecord, 49)), empty);
}

void TestRelaySimEvents::relayWithoutEvents()
{
    SimHarness sim({"--events", "0"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(words(m.transact(kReadNewest, 13)), (std::vector<int>{0, 0, 0, 0}));
    QCOMPARE(m.transact(selectEvent(1), 8), kSelectReply);
    std::vector<int> empty(kEventRecordLength, 0);
    empty[0] = 1;
    QCOMPARE(words(m.transact(kReadRecord, 49)), empty);
}

void TestRelaySimEvents::clearEventsLeavesEventOne()
{
    SimHarness sim({"--events", "25", "--clock", "2006-03-04 05:06:07"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(m.transact(kClearEvents, 8), kClearEvents);

    const auto newest = words(m.transact(kReadNewest, 13));
    QCOMPARE(newest.size(), size_t(4));
    QCOMPARE(newest[0], 1);
    QCOMPARE(newest[1], 1 << 7 | 6); // cause 1 " Events Clear ", year 2006
    QCOMPARE(newest[2], 3 << 10 | 4 << 5 | 5);
    QCOMPARE(newest[3] >> 10, 6);

    QCOMPARE(m.transact(selectEvent(1), 8), kSelectReply);
    const auto rec = words(m.transact(kReadRecord, 49));
    QCOMPARE(rec[0], 1);
    QCOMPARE(rec[1], newest[1]);
    QCOMPARE(rec[2], newest[2]);
    // Event 25 is gone.
    QCOMPARE(m.transact(selectEvent(25), 8), kSelectReply);
    QCOMPARE(words(m.transact(kReadRecord, 49))[1], 0);
}

void TestRelaySimEvents::controlRecordsOneMoreEvent()
{
    SimHarness sim({"--events", "25"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    for (int newest : {26, 27}) {
        sim.control("event");
        QVERIFY(sim.waitForLog("ctl event " + std::to_string(newest)));
        const Stamp s = generatedEventStamp(static_cast<std::uint16_t>(newest));
        QCOMPARE(words(m.transact(kReadNewest, 13)), (std::vector<int>{newest, s.w1, s.w2, s.w3}));
        QCOMPARE(m.transact(selectEvent(newest), 8), kSelectReply);
        QCOMPARE(words(m.transact(kReadRecord, 49)), asInts(generatedEvent(static_cast<std::uint16_t>(newest))));
    }
    QCOMPARE(sim.dump().at({'i', 0x0600}), 27);
}

void TestRelaySimEvents::clockRunsAndIsSetByWriteAndCommand()
{
    SimHarness sim({"--clock", "2005-07-12 09:05:07"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());

    auto c = clock(m);
    QCOMPARE(c.size(), size_t(3));
    QCOMPARE(c[0], 0x0005);
    QCOMPARE(c[1], 0x1D89);
    QVERIFY(c[2] >= 0x1446 && c[2] < 0x1446 + 30); // 09:05:07, a few tenths on
    QTest::qWait(1100);
    const auto later = clock(m);
    QVERIFY(later[2] >= c[2] + 10); // it runs

    // Request 93's frame for 31 Dec 2099 23:59:00: nothing changes until
    // command 5 takes it over.
    const Bytes write93 = withCrc({0x01, 0x10, 0x00, 0x90, 0x00, 0x03, 0x06, 0x00, 99, 13303 >> 8, 13303 & 0xFF,
                                   (59 * 1024) >> 8, 0x00});
    QCOMPARE(m.transact(write93, 8), withCrc({0x01, 0x10, 0x00, 0x90, 0x00, 0x03}));
    QCOMPARE(clock(m)[0], 0x0005);
    QCOMPARE(m.transact(kApplyClock, 8), kApplyClock);
    c = clock(m);
    QCOMPARE(c[0], 99);
    QCOMPARE(c[1], 13303);
    QVERIFY(c[2] >= 59 * 1024 && c[2] < 59 * 1024 + 30);

    // The clock write of 12 July 2005 09:05:07 as the engine builds it.
    const Bytes write2005 = {0x01, 0x10, 0x00, 0x90, 0x00, 0x03, 0x06, 0x00, 0x05,
                             0x1D, 0x89, 0x14, 0x46, 0x75, 0x89};
    QCOMPARE(m.transact(write2005, 8), withCrc({0x01, 0x10, 0x00, 0x90, 0x00, 0x03}));
    QCOMPARE(m.transact(kApplyClock, 8), kApplyClock);
    c = clock(m);
    QCOMPARE(c[0], 0x0005);
    QCOMPARE(c[1], 0x1D89);
    QVERIFY(c[2] >= 0x1446 && c[2] < 0x1446 + 30);
}

void TestRelaySimEvents::commandsHaveVisibleEffects()
{
    SimHarness sim({"--status", "0x0A81", "--clock", "2007-08-09 10:11:12"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());

    // Reset clears Trip and Lockout, leaves the breaker and reclose bits.
    QCOMPARE(words(m.transact(kReadStatus, 13))[0], 0x0A81);
    QCOMPARE(m.transact(kReset, 8), kReset);
    QCOMPARE(words(m.transact(kReadStatus, 13))[0], 0x0280);

    // Clear energy: counters zero, the clear stamped with the relay clock.
    auto energy = words(m.transact(kReadEnergy, 33));
    QCOMPARE(energy.size(), size_t(14));
    QCOMPARE(energy[1] << 16 | energy[2], 123456);
    QCOMPARE(m.transact(kClearEnergy, 8), kClearEnergy);
    energy = words(m.transact(kReadEnergy, 33));
    QCOMPARE(energy[0], 1); // phase sequence untouched
    for (int i = 1; i <= 8; ++i)
        QCOMPARE(energy[i], 0);
    QCOMPARE(energy[9], 7);                            // year 2007, no cause
    QCOMPARE(energy[10], 8 << 10 | 9 << 5 | 10);       // 9 Aug, 10 h
    QCOMPARE(energy[11] >> 10, 11);                    // 11 min

    // Clear demand: every demand value and stamp zero.
    auto demand = words(m.transact(kReadDemand, 47));
    QVERIFY(demand[0] != 0 || demand[1] != 0);
    QCOMPARE(m.transact(kClearDemand, 8), kClearDemand);
    demand = words(m.transact(kReadDemand, 47));
    QCOMPARE(demand, std::vector<int>(21, 0));

    // A command without an effect is still answered.
    QCOMPARE(m.transact(kCommand2, 8), kCommand2);
    QCOMPARE(words(m.transact(kReadStatus, 13))[0], 0x0280);
}

QTEST_MAIN(TestRelaySimEvents)
#include "tst_RelaySimEvents.moc"
