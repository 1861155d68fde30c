// The simulated relay answering as over a real serial line: the time a
// request and its reply take on the wire, and the time stamps of its log.

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"
#include "tools/relay-sim/LineTiming.h"

#include <QTest>

#include <cstdlib>
#include <sstream>

using namespace kova::test;
using namespace kova::relaysim;

namespace {

const Bytes kReadStatus = {0x01, 0x04, 0x02, 0x03, 0x00, 0x04, 0x00, 0x71};
const Bytes kReadBlock104B = {0x01, 0x03, 0x10, 0x4B, 0x00, 0x1A, 0xB0, 0xD7};

// The two time stamps ending a request line ("... at T0 T1"); false when
// the line has none.
bool stamps(const std::string& line, double& t0, double& t1)
{
    const auto at = line.rfind(" at ");
    if (at == std::string::npos)
        return false;
    std::istringstream in(line.substr(at + 4));
    return static_cast<bool>(in >> t0 >> t1);
}

} // namespace

class TestRelaySimLineTiming : public QObject {
    Q_OBJECT
private slots:
    void wireTimes_data();
    void wireTimes();
    void replyLengths();
    void connectReadsTakeTheirWireTime();
    void repliesNeverComeBeforeTheLineAllows_data();
    void repliesNeverComeBeforeTheLineAllows();
    void withoutLineTimingStampsOnlyWhenAsked();
};

void TestRelaySimLineTiming::wireTimes_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("reply");
    QTest::addColumn<long long>("micros");
    QTest::newRow("status read 9600") << 9600 << 10 << 8 << 13 << 29167LL;
    QTest::newRow("block read 9600") << 9600 << 10 << 8 << 57 << 75000LL;
    QTest::newRow("block write 19200") << 19200 << 10 << 21 << 8 << 18750LL;
    QTest::newRow("status read 9600 with parity") << 9600 << 11 << 8 << 13 << 32083LL;
    QTest::newRow("command 115200") << 115200 << 10 << 8 << 8 << 1997LL;
}

void TestRelaySimLineTiming::wireTimes()
{
    QFETCH(int, baud);
    QFETCH(int, bits);
    QFETCH(int, request);
    QFETCH(int, reply);
    QFETCH(long long, micros);
    const LineTiming line{baud, bits};
    QCOMPARE(static_cast<long long>(line.exchange(request, reply).count()), micros);
}

void TestRelaySimLineTiming::replyLengths()
{
    struct Case { Bytes frame; int length; };
    const Case cases[] = {
        {kReadStatus, 13},
        {kReadBlock104B, 57},
        {{0x01, 0x05, 0x00, 0x01, 0xFF, 0x00, 0xDD, 0xFA}, 8},
        {{0x01, 0x10, 0x00, 0x90, 0x00, 0x03, 0x06, 1, 2, 3, 4, 5, 6, 0, 0}, 8},
        {{0x01, 0x01, 0x00, 0x00, 0x00, 0x0A, 0, 0}, 7},
        {{0x01, 0x2B, 0x0E, 0x01, 0x00, 0x00, 0, 0}, 5},
        {{0x01, 0x04}, 5},
    };
    for (const Case& c : cases)
        QCOMPARE(replyLength(c.frame.data(), static_cast<int>(c.frame.size())), c.length);
}

void TestRelaySimLineTiming::connectReadsTakeTheirWireTime()
{
    // The fifteen reads of a connect at 9600 baud: 893.75 ms on the wire,
    // the floor the benchmark measures connecting against.
    const int counts[] = {4, 24, 24, 25, 25, 25, 26, 26, 7, 21, 25, 8, 21, 14, 4};
    const LineTiming line{9600, 10};
    long long total = 0;
    for (int n : counts)
        total += line.exchange(8, 5 + 2 * n).count();
    QVERIFY(std::abs(total - 893750) <= 15); // rounding of each exchange
}

void TestRelaySimLineTiming::repliesNeverComeBeforeTheLineAllows_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("replyBytes");
    QTest::newRow("status read 9600") << 9600 << kReadStatus << 13;
    QTest::newRow("block read 9600") << 9600 << kReadBlock104B << 57;
    QTest::newRow("block read 2400") << 2400 << kReadBlock104B << 57;
}

void TestRelaySimLineTiming::repliesNeverComeBeforeTheLineAllows()
{
    QFETCH(int, baud);
    QFETCH(Bytes, frame);
    QFETCH(int, replyBytes);
    SimHarness sim({"--baud", std::to_string(baud), "--line-timing", "--log-times"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    const Bytes reply = m.transact(frame, replyBytes, 3000);
    QCOMPARE(reply.size(), size_t(replyBytes));
    QVERIFY(crcValid(reply));
    QVERIFY(QTest::qWaitFor([&] { return sim.requests().size() == 1; }, 2000));
    const std::string line = sim.requests().front();
    double t0 = 0, t1 = 0;
    QVERIFY2(stamps(line, t0, t1), line.c_str());
    const double wire = LineTiming{baud, 10}.exchange(8, replyBytes).count() / 1e6;
    QVERIFY2(t1 - t0 >= wire, (line + " wire " + std::to_string(wire)).c_str());
    // The stamps end the line the tests read: the request is still known.
    QVERIFY(line.find(" reply ok at ") != std::string::npos);
    QCOMPARE(requestCode(line), frame[1] == 4 ? 2 : 66);
}

void TestRelaySimLineTiming::withoutLineTimingStampsOnlyWhenAsked()
{
    {
        SimHarness sim({"--log-times"});
        QVERIFY2(sim.ok(), sim.error().c_str());
        LineMaster m(sim.masterEnd());
        QCOMPARE(m.transact(kReadStatus, 13).size(), size_t(13));
        QVERIFY(QTest::qWaitFor([&] { return sim.requests().size() == 1; }, 2000));
        double t0 = 0, t1 = 0;
        QVERIFY(stamps(sim.requests().front(), t0, t1));
        QVERIFY(t1 >= t0 && t0 > 0);
    }
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster m(sim.masterEnd());
    QCOMPARE(m.transact(kReadStatus, 13).size(), size_t(13));
    QVERIFY(QTest::qWaitFor([&] { return sim.requests().size() == 1; }, 2000));
    QCOMPARE(sim.requests().front(), std::string("req 1 fc 4 addr 0203 count 4 reply ok"));
}

QTEST_MAIN(TestRelaySimLineTiming)
#include "tst_RelaySimLineTiming.moc"
