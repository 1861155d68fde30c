// The simulated relay failing on purpose: silence, corrupted CRC and
// exception replies, at any point of a session.

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"

#include <QTest>

using namespace kova::test;

namespace {

const Bytes kRead60 = {0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9};
const Bytes kRead2 = {0x01, 0x04, 0x02, 0x03, 0x00, 0x04, 0x00, 0x71};
const Bytes kRead61 = {0x01, 0x03, 0x01, 0x01, 0x00, 0x18, 0x15, 0xFC};

// Block 1 write with 48 zero bytes (the frame of request 27 for an all-zero
// image).
Bytes zeroBlock1Write()
{
    Bytes f = {0x01, 0x10, 0x01, 0x01, 0x00, 0x18, 0x30};
    f.insert(f.end(), 48, 0x00);
    f.push_back(0x37);
    f.push_back(0xA1);
    return f;
}

} // namespace

class TestRelaySimFailures : public QObject {
    Q_OBJECT
private slots:
    void silentFromNthRequest();
    void corruptNthReply();
    void corruptReplyToMatchingWriteStillWrites();
    void exceptionForNthRequest();
    void exceptionForBlockWriteEveryTime();
    void writeOutsideTheMapIsRefused();
};

void TestRelaySimFailures::silentFromNthRequest()
{
    SimHarness sim({"--silent-from", "3"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    QCOMPARE(master.transact(kRead60, 13).size(), size_t(13));
    QCOMPARE(master.transact(kRead2, 13).size(), size_t(13));
    QVERIFY(master.transact(kRead2, 13, 400).empty());
    QVERIFY(master.transact(kRead60, 13, 400).empty());
    const auto req = sim.requests();
    QCOMPARE(req.size(), size_t(4));
    QVERIFY(req[2].ends_with("reply silent"));
    QVERIFY(req[3].ends_with("reply silent"));
}

void TestRelaySimFailures::corruptNthReply()
{
    SimHarness sim({"--corrupt", "2"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    const Bytes good = master.transact(kRead60, 13);
    QVERIFY(crcValid(good));
    const Bytes bad = master.transact(kRead60, 13);
    QCOMPARE(bad.size(), size_t(13));
    QVERIFY(!crcValid(bad));
    // Same data, only the check bytes differ.
    QVERIFY(std::equal(good.begin(), good.end() - 2, bad.begin()));
    QVERIFY(crcValid(master.transact(kRead60, 13)));
}

void TestRelaySimFailures::corruptReplyToMatchingWriteStillWrites()
{
    SimHarness sim({"--corrupt-on", "16:0x0101"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    QCOMPARE(sim.holding(0x0102), 600);
    // The relay takes the write but the reply is damaged on the way back.
    const Bytes reply = master.transact(zeroBlock1Write(), 8);
    QCOMPARE(reply.size(), size_t(8));
    QVERIFY(!crcValid(reply));
    QVERIFY(std::equal(reply.begin(), reply.begin() + 6, zeroBlock1Write().begin()));
    QVERIFY(kova::test::waitUntil([&] { return sim.holding(0x0102) == 0; }, std::chrono::seconds(2)));
    // Only the first such write by default; the retry gets a good reply.
    QCOMPARE(master.transact(zeroBlock1Write(), 8),
             (Bytes{0x01, 0x10, 0x01, 0x01, 0x00, 0x18, 0x90, 0x3F}));
}

void TestRelaySimFailures::exceptionForNthRequest()
{
    SimHarness sim({"--exception", "1:2"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    QCOMPARE(master.transact(kRead60, 5), withCrc({0x01, 0x84, 0x02}));
    QCOMPARE(master.transact(kRead60, 13).size(), size_t(13));
}

void TestRelaySimFailures::exceptionForBlockWriteEveryTime()
{
    SimHarness sim({"--exception-on", "16:0x0101:3"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    for (int i = 0; i < 3; ++i) {
        // The 5-byte exception reply never reaches the 8-byte threshold.
        const int before = master.receiveEvents;
        QCOMPARE(master.transact(zeroBlock1Write(), 8, 300), withCrc({0x01, 0x90, 0x03}));
        QCOMPARE(master.receiveEvents, before);
    }
    QCOMPARE(sim.holding(0x0102), 600); // nothing written
    // Reads of the same block are answered normally.
    const Bytes block = master.transact(kRead61, 53);
    QCOMPARE(block.size(), size_t(53));
    QVERIFY(crcValid(block));
}

void TestRelaySimFailures::writeOutsideTheMapIsRefused()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    // Two registers across the end of block 1 and the start of block 2 are
    // one block write no more: refused as an illegal address.
    QCOMPARE(master.transact(withCrc({0x01, 0x10, 0x01, 0x18, 0x00, 0x02, 0x04, 0, 1, 0, 2}), 5),
             withCrc({0x01, 0x90, 0x02}));
    // Function 6 is not one the relay speaks.
    QCOMPARE(master.transact(withCrc({0x01, 0x06, 0x01, 0x02, 0x00, 0x05}), 5), withCrc({0x01, 0x86, 0x01}));
    QCOMPARE(sim.holding(0x0102), 600);
}

QTEST_MAIN(TestRelaySimFailures)
#include "tst_RelaySimFailures.moc"
