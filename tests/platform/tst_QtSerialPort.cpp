// The serial port on QSerialPort: device mapping, settings, exclusive open,
// and the timing of its communication events.

#include "platform/ComPortDevice.h"
#include "platform/QtSerialPort.h"
#include "platform/SerialSettings.h"
#include "platform/PtyPair.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using kova::CommEvent;
using kova::QtSerialPort;
using kova::SerialPortError;
using kova::test::PtyPair;

namespace {

// Records the events a port delivers.
struct EventLog {
    std::vector<CommEvent> events;
    int count(CommEvent e) const { return static_cast<int>(std::count(events.begin(), events.end(), e)); }
    void attach(QtSerialPort& port)
    {
        port.setOnComm([this](CommEvent e) { events.push_back(e); });
    }
};

const std::vector<unsigned char> kRequest60 = {0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9};
const std::vector<unsigned char> kReply60 = {0x01, 0x04, 0x08, 0x00, 0x16, 0x00, 0x01,
                                             0x00, 0x65, 0x00, 0x00, 0x7E, 0x13};

// COM 2 open on a pseudo-terminal pair, its events logged.
struct LoggedCom2 {
    PtyPair pty;
    QtSerialPort port;
    EventLog log;
    LoggedCom2()
    {
        pty.bindCom(2);
        log.attach(port);
        port.setCommPort(2);
        port.setPortOpen(true);
    }
};

// Lets posted events run for a while (and shows a second event would come).
void settle(int ms = 60) { QTest::qWait(ms); }

// Polls the buffered count with the event loop held back (pseudo-terminal
// transfer is not instantaneous): short sleeps, at most about a second.
int bufferedWithoutEventLoop(QtSerialPort& port, int want)
{
    int count = 0;
    for (int i = 0; i < 200 && count < want; ++i) {
        count = port.inBufferCount();
        if (count < want)
            QThread::msleep(5);
    }
    return count;
}

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void settingsParse_data();
    void settingsParse();
    void comPortDevice_data();
    void comPortDevice();
    void settingsRejectedKeepPrevious();
    void missingDeviceFailsOpen();
    void openIsExclusive();
    void openDropsStaleInput();
    void receiveEventOncePerArming();
    void receiveEventAtThresholdSetIsPosted();
    void zeroThresholdsGiveNoEvents();
    void sendEventOnceTheDriverTookTheFrame();
    void sendEventWaitsForWhatTheDriverDidNotTake();
    void requestFromTheReplyHandlerTimesOut();
    void inputReadsDriverWithoutEventLoop();
    void closedPort();
    void deviceGoneClosesThePortAndTellsWhy();
    void closeDropsPostedEvents();
    void frameLargerThanTheDriverTakesLeavesWhole();
    void sendHandlerClosingThePortEndsTheRest();
    void frameWrittenBySendHandlerGetsItsOwnEvent();
    void dtrRefusedByAPseudoTerminalDoesNoHarm();
};

void TestQtSerialPort::settingsParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QChar>("parity");
    QTest::addColumn<int>("data");
    QTest::addColumn<int>("stop");
    QTest::newRow("9600 8N1") << "9600,N,8,1" << true << 9600 << QChar('N') << 8 << 1;
    QTest::newRow("1200") << "1200,N,8,1" << true << 1200 << QChar('N') << 8 << 1;
    QTest::newRow("19200 lower-case parity") << "19200,n,8,1" << true << 19200 << QChar('N') << 8 << 1;
    QTest::newRow("115200 even 7 2") << "115200,E,7,2" << true << 115200 << QChar('E') << 7 << 2;
    QTest::newRow("odd") << "4800,O,8,1" << true << 4800 << QChar('O') << 8 << 1;
    QTest::newRow("empty baud (saved text empty)") << ",N,8,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("rate the driver lacks") << "9601,N,8,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("baud only") << "9600" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("five fields") << "9600,N,8,1,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("bad parity") << "9600,X,8,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("nine data bits") << "9600,N,9,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("one and a half stop bits") << "9600,N,8,1.5" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("blank inside") << "9600, N,8,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("text baud") << "fast,N,8,1" << false << 0 << QChar() << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << QChar() << 0 << 0;
}

void TestQtSerialPort::settingsParse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    const auto s = kova::parseSerialSettings(text.toStdString());
    QCOMPARE(s.has_value(), ok);
    if (!ok)
        return;
    QFETCH(int, baud);
    QFETCH(QChar, parity);
    QFETCH(int, data);
    QFETCH(int, stop);
    QCOMPARE(s->baud, baud);
    QCOMPARE(QChar(s->parity), parity);
    QCOMPARE(s->dataBits, data);
    QCOMPARE(s->stopBits, stop);
}

void TestQtSerialPort::comPortDevice_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("env");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1 default") << 1 << QString() << "/dev/ttyS0";
    QTest::newRow("COM3 default") << 3 << QString() << "/dev/ttyS2";
    QTest::newRow("COM12 default") << 12 << QString() << "/dev/ttyS11";
    QTest::newRow("COM1 from environment") << 1 << "/dev/ttyUSB0" << "/dev/ttyUSB0";
    QTest::newRow("empty variable ignored") << 2 << "" << "/dev/ttyS1";
    QTest::newRow("COM0 has no device") << 0 << QString() << QString();
    QTest::newRow("negative has no device") << -4 << QString() << QString();
}

void TestQtSerialPort::comPortDevice()
{
    QFETCH(int, n);
    QFETCH(QString, env);
    QFETCH(QString, device);
    const QByteArray var = "KOVA_COM" + QByteArray::number(n);
    if (env.isNull())
        qunsetenv(var.constData());
    else
        qputenv(var.constData(), env.toUtf8());
    QCOMPARE(QString::fromStdString(kova::comPortDevice(n)), device);
    qunsetenv(var.constData());
}

void TestQtSerialPort::settingsRejectedKeepPrevious()
{
    QtSerialPort port;
    QCOMPARE(port.settings(), std::string("9600,N,8,1"));
    port.setSettings("19200,N,8,1");
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.setSettings(",N,8,1"));
    QCOMPARE(port.settings(), std::string("19200,N,8,1"));

    // Also while open: a bad text changes nothing, a good one applies.
    PtyPair pty;
    pty.bindCom(5);
    port.setCommPort(5);
    port.setPortOpen(true);
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.setSettings("9600,Q,8,1"));
    QCOMPARE(port.settings(), std::string("19200,N,8,1"));
    port.setSettings("1200,N,8,1");
    QCOMPARE(port.settings(), std::string("1200,N,8,1"));
    QVERIFY(port.portOpen());
}

void TestQtSerialPort::missingDeviceFailsOpen()
{
    QtSerialPort port;
    qputenv("KOVA_COM7", "/nonexistent/kova-port");
    port.setCommPort(7);
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.setPortOpen(true));
    QVERIFY(!port.portOpen());
    qunsetenv("KOVA_COM7");

    port.setCommPort(0);
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.setPortOpen(true));
    QVERIFY(!port.portOpen());

    port.setPortOpen(false); // closing a closed port is no error
    QVERIFY(!port.portOpen());
}

void TestQtSerialPort::openIsExclusive()
{
    PtyPair pty;
    pty.bindCom(4);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString alias = dir.filePath("alias");
    QVERIFY(QFile::link(QString::fromStdString(pty.slavePath()), alias));
    qputenv("KOVA_COM6", alias.toUtf8());

    QtSerialPort first, second, viaAlias;
    first.setCommPort(4);
    second.setCommPort(4);
    viaAlias.setCommPort(6);
    first.setPortOpen(true);
    QVERIFY(first.portOpen());
    QCOMPARE(first.deviceName(), pty.slavePath());

    QVERIFY_THROWS_EXCEPTION(SerialPortError, second.setPortOpen(true));
    QVERIFY(!second.portOpen());
    QVERIFY_THROWS_EXCEPTION(SerialPortError, viaAlias.setPortOpen(true));
    QVERIFY(!viaAlias.portOpen());
    QVERIFY(first.portOpen());

    first.setPortOpen(false);
    second.setPortOpen(true);
    QVERIFY(second.portOpen());
    qunsetenv("KOVA_COM6");
}

void TestQtSerialPort::openDropsStaleInput()
{
    PtyPair pty;
    pty.bindCom(8);
    QtSerialPort port;
    port.setCommPort(8);
    port.setPortOpen(true);
    pty.write({0xAA, 0xBB});
    QVERIFY(QTest::qWaitFor([&] { return port.inBufferCount() == 2; }, 2000));
    port.setPortOpen(false);
    port.setPortOpen(true);
    QCOMPARE(port.inBufferCount(), 0);
    QVERIFY(port.input().empty());
}

void TestQtSerialPort::receiveEventOncePerArming()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setRThreshold(13);

    // The reply arrives in pieces; the event comes once the 13th byte is in.
    pty.write({kReply60.begin(), kReply60.begin() + 5});
    settle();
    QCOMPARE(log.count(CommEvent::Receive), 0);
    pty.write({kReply60.begin() + 5, kReply60.end()});
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Receive) == 1; }, 2000));

    // More bytes before Input is read: no second event.
    pty.write({0x01, 0x02, 0x03});
    pty.write(kReply60);
    settle(100);
    QCOMPARE(log.count(CommEvent::Receive), 1);

    std::vector<std::uint8_t> got = port.input();
    QCOMPARE(got.size(), kReply60.size() + 3 + kReply60.size());
    QVERIFY(std::equal(kReply60.begin(), kReply60.end(), got.begin()));
    QCOMPARE(port.inBufferCount(), 0);

    // Reading re-armed it: the next full reply gives exactly one more event.
    pty.write(kReply60);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Receive) == 2; }, 2000));
    settle(100);
    QCOMPARE(log.count(CommEvent::Receive), 2);

    // Setting the threshold again re-arms it too: the buffered 13 bytes are
    // enough at once.
    port.setRThreshold(13);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Receive) == 3; }, 2000));
    settle();
    QCOMPARE(log.count(CommEvent::Receive), 3);
    QCOMPARE(log.count(CommEvent::Send), 0);
}

void TestQtSerialPort::receiveEventAtThresholdSetIsPosted()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    pty.write(kReply60);
    QVERIFY(QTest::qWaitFor([&] { return port.inBufferCount() == 13; }, 2000));

    port.setRThreshold(8);
    QCOMPARE(log.count(CommEvent::Receive), 0); // not from inside the call
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Receive) == 1; }, 2000));

    // Input read before a posted event was delivered: that event is stale
    // and never arrives. Poll the driver without the event loop so the
    // event is posted but cannot be delivered before input() runs.
    QCOMPARE(port.input().size(), size_t(13));
    pty.write(kReply60);
    QCOMPARE(bufferedWithoutEventLoop(port, 13), 13);
    QCOMPARE(port.input().size(), size_t(13));
    settle();
    QCOMPARE(log.count(CommEvent::Receive), 1);
}

void TestQtSerialPort::zeroThresholdsGiveNoEvents()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setRThreshold(0);
    port.setSThreshold(0);
    port.output(kRequest60);
    pty.write(kReply60);
    QCOMPARE(pty.readAtLeast(8), QByteArray(reinterpret_cast<const char*>(kRequest60.data()), 8));
    QVERIFY(QTest::qWaitFor([&] { return port.inBufferCount() == 13; }, 2000));
    settle(100);
    QVERIFY(log.events.empty());
}

void TestQtSerialPort::sendEventOnceTheDriverTookTheFrame()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setRThreshold(13);
    port.setSThreshold(8);
    port.output(kRequest60);
    QCOMPARE(log.count(CommEvent::Send), 0); // posted, never from inside output()
    QCoreApplication::sendPostedEvents();
    QCOMPARE(log.count(CommEvent::Send), 1);
    QCOMPARE(pty.readAtLeast(8), QByteArray(reinterpret_cast<const char*>(kRequest60.data()), 8));

    // One event per frame.
    port.output(kRequest60);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 2; }, 2000));
    settle(100);
    QCOMPARE(log.count(CommEvent::Send), 2);
    QCOMPARE(log.count(CommEvent::Receive), 0);
}

void TestQtSerialPort::sendEventWaitsForWhatTheDriverDidNotTake()
{
    // The far end reads nothing until the pty is full: no send event until the rest has left.
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setSettings("115200,N,8,1");
    std::vector<unsigned char> big(32 * 1024);
    std::ranges::generate(big, [i = 0u]() mutable { ++i; return static_cast<unsigned char>(i * 13 + i / 256); });
    port.setSThreshold(8);
    port.output(big);
    settle(300);
    QCOMPARE(log.count(CommEvent::Send), 0);
    QByteArray got;
    QVERIFY(QTest::qWaitFor([&] { return (got += pty.readAvailable()).size() >= qsizetype(big.size()); }, 10000));
    QCOMPARE(got, QByteArray(reinterpret_cast<const char*>(big.data()), qsizetype(big.size())));
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 1; }, 10000));
}

void TestQtSerialPort::requestFromTheReplyHandlerTimesOut()
{
    // As the link loop: the reply handler sends the next request, events meanwhile are dropped.
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    std::string trace; // 'S' send, 'R' receive, 'T' time-out, 'D' dropped while handling
    bool handling = false;
    QTimer timeOut;
    QObject::connect(&timeOut, &QTimer::timeout, [&] { trace += 'T'; });
    port.setOnComm([&](CommEvent e) {
        trace += handling ? 'D' : e == CommEvent::Send ? 'S' : 'R';
        if (handling || e == CommEvent::Send)
            return handling ? void() : timeOut.start(200);
        handling = true;
        timeOut.stop();
        (void)port.input();
        port.output(kRequest60);
        handling = false;
    });
    port.setRThreshold(13);
    port.setSThreshold(8);
    port.output(kRequest60);
    pty.write(kReply60);
    QCOMPARE(pty.readAtLeast(16).size(), qsizetype(16)); // and the second request, never answered
    QVERIFY(QTest::qWaitFor([&] { return trace.find('T') != std::string::npos; }, 3000));
    QCOMPARE(trace, std::string("SRST"));
}

void TestQtSerialPort::inputReadsDriverWithoutEventLoop()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    pty.write(kReply60);
    // No event loop runs here: the port must fetch the bytes from the
    // driver itself.
    QCOMPARE(bufferedWithoutEventLoop(port, 13), 13);
    const auto got = port.input();
    QCOMPARE(got, std::vector<std::uint8_t>(kReply60.begin(), kReply60.end()));
}

void TestQtSerialPort::closedPort()
{
    QtSerialPort port;
    QVERIFY(!port.portOpen());
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.input());
    QVERIFY_THROWS_EXCEPTION(SerialPortError, port.output(kRequest60));
    QCOMPARE(port.inBufferCount(), 0);
    port.setRThreshold(13); // thresholds may be set while closed
    port.setSThreshold(8);
}

// The device going away closes the port; the reads and writes that follow
// say why, in the system's words.
void TestQtSerialPort::deviceGoneClosesThePortAndTellsWhy()
{
    LoggedCom2 com;
    com.pty.hangUp();
    // A look at the line (as a wait for an answer polls it) notices.
    QCOMPARE(com.port.inBufferCount(), 0);
    QTRY_VERIFY(!com.port.portOpen());
    for (const bool reading : {true, false}) {
        try {
            if (reading) com.port.input();
            else com.port.output(kRequest60);
            QFAIL("no error");
        } catch (const SerialPortError& e) {
            QCOMPARE(QString(e.what()), QString(reading ? "input: " : "output: ") + "the device went away: "
                                            + QString::fromLocal8Bit(std::strerror(EIO)));
        }
    }
}

void TestQtSerialPort::closeDropsPostedEvents()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    pty.write(kReply60);
    QVERIFY(QTest::qWaitFor([&] { return port.inBufferCount() == 13; }, 2000));
    port.setSThreshold(8);
    port.output(kRequest60);
    port.setRThreshold(13); // posts a receive event
    port.setPortOpen(false);
    settle(300);
    QVERIFY(log.events.empty());
}

void TestQtSerialPort::frameLargerThanTheDriverTakesLeavesWhole()
{
    // More than a pseudo-terminal holds unread: what the driver does not
    // take at once follows from the event loop, in order, and one send
    // event comes once all of it has left.
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setSettings("115200,N,8,1");
    std::vector<unsigned char> big(6000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<unsigned char>(i * 7 + i / 256);
    port.setSThreshold(8);
    port.output(big);
    QByteArray got;
    QVERIFY(QTest::qWaitFor([&] {
        got += pty.readAvailable();
        return got.size() >= static_cast<qsizetype>(big.size());
    }, 5000));
    QCOMPARE(got, QByteArray(reinterpret_cast<const char*>(big.data()), static_cast<qsizetype>(big.size())));
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 1; }, 5000));
    settle(100);
    QCOMPARE(log.count(CommEvent::Send), 1);
}

void TestQtSerialPort::sendHandlerClosingThePortEndsTheRest()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setOnComm([&line](CommEvent e) {
        line.log.events.push_back(e);
        line.port.setPortOpen(false);
    });
    port.setSThreshold(8);
    port.output(kRequest60);
    port.output(kRequest60);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 1; }, 2000));
    settle(200);
    QCOMPARE(log.count(CommEvent::Send), 1);
    // Opened again, the port counts frames anew.
    port.setOnComm([&line](CommEvent e) { line.log.events.push_back(e); });
    port.setPortOpen(true);
    port.output(kRequest60);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 2; }, 2000));
    settle(100);
    QCOMPARE(log.count(CommEvent::Send), 2);
}

void TestQtSerialPort::frameWrittenBySendHandlerGetsItsOwnEvent()
{
    LoggedCom2 line;
    auto& [pty, port, log] = line;
    port.setOnComm([&line](CommEvent e) {
        line.log.events.push_back(e);
        if (line.log.count(CommEvent::Send) == 1)
            line.port.output(kRequest60);
    });
    port.setSThreshold(8);
    port.output(kRequest60);
    QVERIFY(QTest::qWaitFor([&] { return log.count(CommEvent::Send) == 2; }, 2000));
    settle(100);
    QCOMPARE(log.count(CommEvent::Send), 2);
    QCOMPARE(pty.readAtLeast(16).size(), qsizetype(16));
}

QTEST_MAIN(TestQtSerialPort)
#include "tst_QtSerialPort.moc"

void TestQtSerialPort::dtrRefusedByAPseudoTerminalDoesNoHarm()
{
    PtyPair pty;
    pty.bindCom(7);
    QtSerialPort port;
    QVERIFY(port.dtrEnable());
    port.setDTREnable(false); // closed: taken at the next open
    port.setCommPort(7);
    port.setPortOpen(true);
    port.setDTREnable(true);
    port.setDTREnable(false);
    QVERIFY(!port.dtrEnable());
    QVERIFY(port.portOpen());
    port.output({0x41});
    QCOMPARE(pty.readAtLeast(1), QByteArray("A"));
}
