// The program's serial port against the simulated relay over a socat pty
// pair, and the simulator checked by an independent master (mbpoll).

#include "integration/support/LineMaster.h"
#include "integration/support/SimHarness.h"
#include "link/DefaultSetpoints.h"
#include "tools/relay-sim/RelayValues.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <map>
#include <memory>

using kova::test::LineMaster;
using kova::test::SimHarness;
using kova::test::Bytes;

namespace {

// Reads registers with mbpoll; returns reference -> value.
std::map<int, int> mbpoll(const SimHarness& sim, const QStringList& args)
{
    std::map<int, int> out;
    const QString exe = QStandardPaths::findExecutable("mbpoll");
    if (exe.isEmpty())
        return out;
    QProcess p;
    p.start(exe, QStringList{"-m", "rtu", "-a", "1", "-b", "9600", "-P", "none", "-1", "-o", "1"} + args
                     + QStringList{QString::fromStdString(sim.masterEnd())});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(2000);
        return out;
    }
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression row(R"(^\[(\d+)\]:\s+(-?\d+))", QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out[m.captured(1).toInt()] = m.captured(2).toInt();
    }
    return out;
}

} // namespace

class TestSerialLine : public QObject {
    Q_OBJECT
private slots:
    void identificationRequestRoundTrip();
    void mbpollReadsIdentification();
    void mbpollReadsSetpointsAndValues();
    void otherSlaveAddressIsNotAnswered();
};

void TestSerialLine::identificationRequestRoundTrip()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());

    const Bytes request = {0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9};
    const Bytes reply = master.transact(request, 13);
    // The identification 22, 1, 101, 0 with the relay's own CRC.
    QCOMPARE(reply, (Bytes{0x01, 0x04, 0x08, 0x00, 0x16, 0x00, 0x01, 0x00, 0x65, 0x00, 0x00, 0x7E, 0x13}));
    QVERIFY(kova::test::crcValid(reply));
    QTest::qWait(200);
    QCOMPARE(master.receiveEvents, 1);
    QCOMPARE(master.sendEvents, 1);
    // The simulator saw exactly our frame.
    QCOMPARE(sim.requests(), std::vector<std::string>{"req 1 fc 4 addr 0000 count 4 reply ok"});
}

void TestSerialLine::mbpollReadsIdentification()
{
    if (QStandardPaths::findExecutable("mbpoll").isEmpty())
        QSKIP("mbpoll is not installed");
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    // Input registers, references from 1: reference 1 is register 0x0000.
    const auto regs = mbpoll(sim, {"-t", "3", "-r", "1", "-c", "4"});
    QCOMPARE(regs, (std::map<int, int>{{1, 22}, {2, 1}, {3, 101}, {4, 0}}));

    SimHarness other({"--type", "21", "--model", "2", "--version", "150"});
    QVERIFY2(other.ok(), other.error().c_str());
    QCOMPARE(mbpoll(other, {"-t", "3", "-r", "1", "-c", "4"}),
             (std::map<int, int>{{1, 21}, {2, 2}, {3, 150}, {4, 0}}));
}

void TestSerialLine::mbpollReadsSetpointsAndValues()
{
    if (QStandardPaths::findExecutable("mbpoll").isEmpty())
        QSKIP("mbpoll is not installed");
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    using namespace kova::relaysim;
    // Every setpoint block from the holding registers (-0: references are
    // register numbers).
    for (const SetpointBlock& b : kDefaultSetpointBlocks) {
        const auto regs = mbpoll(sim, {"-t", "4", "-0", "-r", QString::number(b.first), "-c", QString::number(b.count)});
        QCOMPARE(regs.size(), b.count);
        for (std::size_t i = 0; i < b.count; ++i)
            QCOMPARE(regs.at(static_cast<int>(b.first + i)) & 0xFFFF, static_cast<int>(b.values[i]));
    }
    // Actual values from the input registers, block by block as the
    // program reads them.
    const std::pair<int, int> reads[] = {{0x020D, 26}, {0x022F, 25}, {0x024B, 8}, {0x025E, 14},
                                         {0x026A, 21}, {0x027F, 21}, {0x02D0, 7}, {0x0203, 4}};
    std::map<int, int> seen;
    for (const auto& [start, count] : reads) {
        const auto regs = mbpoll(sim, {"-t", "3", "-0", "-r", QString::number(start), "-c", QString::number(count)});
        QCOMPARE(static_cast<int>(regs.size()), count);
        for (const auto& [r, v] : regs)
            seen[r] = v & 0xFFFF;
    }
    for (const RegisterValue& rv : kActualValues)
        QCOMPARE(seen.at(rv.reg), static_cast<int>(rv.value));
    QCOMPARE(seen.at(0x0203), static_cast<int>(kDefaultStatus));
    QVERIFY(seen.at(0x020D) != 0 || seen.at(0x020E) != 0);
}

void TestSerialLine::otherSlaveAddressIsNotAnswered()
{
    SimHarness sim({"--address", "5"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    LineMaster master(sim.masterEnd());
    // Slave 1 is not there: silence.
    QVERIFY(master.transact({0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9}, 13, 300).empty());
    // Slave 5 answers.
    const Bytes reply = master.transact({0x05, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF0, 0x4D}, 13);
    QCOMPARE(reply.size(), size_t(13));
    QCOMPARE(reply[0], std::uint8_t(0x05));
    QVERIFY(kova::test::crcValid(reply));
    // A frame with a bad CRC is ignored like a real slave does.
    QVERIFY(master.transact({0x05, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF0, 0x4E}, 13, 300).empty());
}

QTEST_MAIN(TestSerialLine)
#include "tst_SerialLine.moc"
