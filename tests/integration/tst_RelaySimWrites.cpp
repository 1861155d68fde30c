// Setpoint block writes (function 16) into the simulated relay's holding
// registers, read back with function 3, and failures later in a session.

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"
#include "link/DefaultSetpoints.h"

#include <QTest>

using namespace kova::test;

namespace {

// Block write frame of `count` registers at `first` carrying image bytes
// from `offset` of an image whose byte i is i & 0xFF.
Bytes patternWrite(int first, int count, int offset)
{
    Bytes f = {0x01, 0x10, static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(first & 0xFF), 0x00,
               static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(2 * count)};
    for (int i = 0; i < 2 * count; ++i)
        f.push_back(static_cast<std::uint8_t>((offset + i) & 0xFF));
    return withCrc(f);
}

Bytes blockRead(int first, int count)
{
    return withCrc({0x01, 0x03, static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(first & 0xFF), 0x00,
                    static_cast<std::uint8_t>(count)});
}

} // namespace

class TestRelaySimWrites : public QObject {
    Q_OBJECT
private slots:
    void blockWritesLandAndReadBack_data();
    void blockWritesLandAndReadBack();
    void silentFromLaterRequestMidSession();
    void corruptAndExceptionLaterInSession();
};

void TestRelaySimWrites::blockWritesLandAndReadBack_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("crcHi");
    QTest::addColumn<int>("crcLo");
    // The frames of requests 27 and 113 for an image with byte i = i: the
    // last two bytes are the known check bytes.
    QTest::newRow("block 1") << 0x0101 << 24 << 0 << 0x72 << 0x93;
    QTest::newRow("block 2") << 0x0119 << 24 << 48 << -1 << -1;
    QTest::newRow("block 3") << 0x1000 << 25 << 96 << -1 << -1;
    QTest::newRow("block 4") << 0x1019 << 25 << 146 << -1 << -1;
    QTest::newRow("block 5") << 0x1032 << 25 << 196 << -1 << -1;
    QTest::newRow("block 6") << 0x104B << 26 << 246 << 0xB2 << 0x68;
}

void TestRelaySimWrites::blockWritesLandAndReadBack()
{
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(int, offset);
    QFETCH(int, crcHi);
    QFETCH(int, crcLo);
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());

    const Bytes frame = patternWrite(first, count, offset);
    if (crcHi >= 0) {
        QCOMPARE(int(frame[frame.size() - 2]), crcHi);
        QCOMPARE(int(frame[frame.size() - 1]), crcLo);
    }
    // The reply echoes address, function, start and count.
    QCOMPARE(master.transact(frame, 8), withCrc(Bytes(frame.begin(), frame.begin() + 6)));

    for (int i = 0; i < count; ++i) {
        const int hi = (offset + 2 * i) & 0xFF, lo = (offset + 2 * i + 1) & 0xFF;
        QCOMPARE(sim.holding(first + i), hi << 8 | lo);
    }
    const Bytes back = master.transact(blockRead(first, count), 5 + 2 * count);
    QVERIFY(crcValid(back));
    QCOMPARE(int(back[2]), 2 * count);
    QVERIFY(std::equal(frame.begin() + 7, frame.end() - 2, back.begin() + 3));

    // Other blocks keep their defaults.
    using namespace kova::relaysim;
    for (const SetpointBlock& b : kDefaultSetpointBlocks)
        if (b.first != first)
            for (std::size_t i = 0; i < b.count; ++i)
                QCOMPARE(sim.holding(b.first + static_cast<int>(i)), int(b.values[i]));
}

void TestRelaySimWrites::silentFromLaterRequestMidSession()
{
    SimHarness sim({"--silent-from", "20"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    const Bytes status = withCrc({0x01, 0x04, 0x02, 0x03, 0x00, 0x04});
    for (int i = 1; i < 20; ++i)
        QCOMPARE(master.transact(status, 13).size(), size_t(13));
    // From the 20th request on nothing, not even to a write, which is not
    // carried out either.
    QVERIFY(master.transact(patternWrite(0x0101, 24, 0), 8, 300).empty());
    QVERIFY(master.transact(status, 13, 300).empty());
    QCOMPARE(sim.holding(0x0101), int(kova::relaysim::kSetpointBlock1[0]));
}

void TestRelaySimWrites::corruptAndExceptionLaterInSession()
{
    SimHarness sim({"--corrupt", "4", "--exception", "6:4"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    const Bytes status = withCrc({0x01, 0x04, 0x02, 0x03, 0x00, 0x04});
    for (int i = 1; i <= 3; ++i)
        QVERIFY(crcValid(master.transact(status, 13)));
    // 4th: the write is carried out, its reply damaged.
    const Bytes reply = master.transact(patternWrite(0x1032, 25, 196), 8);
    QCOMPARE(reply.size(), size_t(8));
    QVERIFY(!crcValid(reply));
    QVERIFY(kova::test::waitUntil([&] { return sim.holding(0x1032) == 0xC4C5; }, std::chrono::seconds(2)));
    QVERIFY(crcValid(master.transact(status, 13)));
    // 6th: an exception, nothing written.
    QCOMPARE(master.transact(patternWrite(0x1019, 25, 146), 5), withCrc({0x01, 0x90, 0x04}));
    QCOMPARE(sim.holding(0x1019), int(kova::relaysim::kSetpointBlock4[0]));
    QVERIFY(crcValid(master.transact(status, 13)));
}

QTEST_MAIN(TestRelaySimWrites)
#include "tst_RelaySimWrites.moc"
