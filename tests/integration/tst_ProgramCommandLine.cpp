// The program as a calling program starts it: a command line naming baud,
// port and slave address, the simulated relay on a pseudo-terminal as that
// port. It connects at once, answers through the handshake file and ends
// cleanly on SIGTERM and SIGHUP.

#include "support/SimHarness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using kova::test::SimHarness;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool anyContains(const std::vector<std::string>& lines, const std::string& text)
{
    for (const auto& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}
// The program built beside the simulator.
QString programPath()
{
    return QFileInfo(qEnvironmentVariable("KOVA_RELAY_SIM")).dir().absoluteFilePath("../../kova");
}

// The test's environment with an offscreen screen and the program's own
// folder (Default.KOVA2, the modem file) in appDir.
QProcessEnvironment programEnvironment(const QString& appDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KOVA_APP_DIR", appDir);
    return env;
}

} // namespace

class tst_ProgramCommandLine : public QObject {
    Q_OBJECT
private slots:
    void connectsAtOnceAndAnswersTheCaller()
    {
        SimHarness sim({"--address", "5"});
        QVERIFY2(sim.ok(), sim.error().c_str());
        QTemporaryDir dir;
        const QString handshake = dir.filePath("prueba.txt");

        QProcess kova;
        QProcessEnvironment env = programEnvironment(dir.path());
        env.insert("KOVA_COM2", QString::fromStdString(sim.masterEnd()));
        env.insert("KOVA_HANDSHAKE_FILE", handshake);
        kova.setProcessEnvironment(env);
        kova.setProcessChannelMode(QProcess::ForwardedChannels);
        kova.start(programPath(), {"9600,N,8,1", "2", "5"});
        QVERIFY(kova.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(readAll(handshake), QByteArray::fromHex("0100"), 10000);
        // Identification first, then the setpoint blocks, later the cyclic status read.
        QVERIFY(sim.waitForLog("fc 4 addr 0203", std::chrono::seconds(15)));
        const auto requests = sim.requests();
        QVERIFY(!requests.empty());
        QVERIFY2(requests.front().find("fc 4 addr 0000 count 4") != std::string::npos, requests.front().c_str());
        for (const char* block : {"fc 3 addr 0101", "fc 3 addr 0119", "fc 3 addr 1000", "fc 3 addr 1019",
                                  "fc 3 addr 1032", "fc 3 addr 104B"})
            QVERIFY2(anyContains(requests, block), block);

        kova.terminate(); // SIGTERM
        QVERIFY(kova.waitForFinished(10000));
        QCOMPARE(kova.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kova.exitCode(), 0);
        QCOMPARE(readAll(handshake), QByteArray::fromHex("0200"));
    }

    // A fresh account: no desktop folder yet, no user-dirs file. The folder
    // is made and the caller gets its record.
    void handshakeOnAFreshAccount()
    {
        SimHarness sim;
        QVERIFY2(sim.ok(), sim.error().c_str());
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("home"));
        const QString handshake = dir.filePath("home/Desktop/prueba.txt");
        QProcess kova;
        QProcessEnvironment env = programEnvironment(dir.path());
        env.insert("HOME", dir.filePath("home"));
        env.remove("XDG_CONFIG_HOME");
        env.remove("KOVA_HANDSHAKE_FILE");
        env.insert("KOVA_COM1", QString::fromStdString(sim.masterEnd()));
        kova.setProcessEnvironment(env);
        kova.start(programPath(), {"9600,N,8,1", "1", "1"});
        QVERIFY(kova.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(readAll(handshake), QByteArray::fromHex("0100"), 10000);
        kova.terminate(); // SIGTERM
        QVERIFY(kova.waitForFinished(10000));
        QCOMPARE(kova.exitCode(), 0);
        QCOMPARE(readAll(handshake), QByteArray::fromHex("0200"));
    }

    // A calling program that gives up while the program waits on its
    // "Invalid command line" box: the program still ends at once, cleanly,
    // answering 2. So it does when its terminal closes (SIGHUP).
    void termSignalWhileTheInvalidCommandLineBoxIsOpen_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void termSignalWhileTheInvalidCommandLineBoxIsOpen()
    {
        QFETCH(int, signalNumber);
        std::signal(SIGHUP, SIG_DFL); // the program inherits what the test runner was started with
        QTemporaryDir dir;
        const QString handshake = dir.filePath("prueba.txt");
        QProcess kova;
        QProcessEnvironment env = programEnvironment(dir.path());
        env.insert("KOVA_HANDSHAKE_FILE", handshake);
        kova.setProcessEnvironment(env);
        kova.start(programPath(), {"19200", "2", "5"});
        QVERIFY(kova.waitForStarted());
        // The program says so on stderr just before the box opens.
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += kova.readAllStandardError()).contains("kova: invalid command line"), 15000);
        QVERIFY2(err.contains("Expected: \"<baud rate>,N,8,1\" <COM port 1-32767> <slave address 1-247>; baud rate "
                              "1200, 2400, 4800, 9600 or 19200\n"),
                 err.constData());
        QTest::qWait(200);
        QVERIFY(readAll(handshake).isEmpty());

        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(kova.processId()), signalNumber);
        QVERIFY(kova.waitForFinished(10000));
        // Well under the splash's three seconds: nothing waited.
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(kova.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kova.exitCode(), 0);
        QCOMPARE(readAll(handshake), QByteArray::fromHex("0200"));
    }
};

QTEST_MAIN(tst_ProgramCommandLine)
#include "tst_ProgramCommandLine.moc"
