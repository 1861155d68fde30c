// File > Send SetPoints To Relay end to end: the program with its own
// services sends a setpoint file built here byte by byte to the simulated
// relay on a pseudo-terminal; the frames the relay received are rebuilt from
// its log and checked with the tests' own CRC.

#include "app/AppContext.h"
#include "app/Comunicacion.h"
#include "app/support/AppFiles.h"
#include "app/support/ScriptedUi.h"
#include "app/support/ValidSetpoints.h"
#include "integration/support/LoggedFrames.h"
#include "integration/support/OnlineProgram.h"
#include "link/RegisterImages.h"
#include "pages/DateTimeConfigView.h"
#include "platform/StderrText.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <csignal>
#include <sstream>
#include <string>
#include <vector>

using namespace kova;
using kova::test::Bytes;
using kova::test::frameOf;
using kova::test::OnlineProgram;
using kova::test::ScriptedUi;
using kova::test::SimHarness;
using kova::test::withCrc;

namespace {

// Put byte i of the file sent: a busy pattern, every setting within its range.
std::uint8_t putByte(int i)
{
    static const SetpointImage put = kova::test::patternWithinRanges();
    return put[std::size_t(i)];
}

// A setpoint file: signature, blank texts, the Put image given (by default
// the one above), firmware "1.01".
QByteArray setpointFile(const std::function<std::uint8_t(int)>& put = putByte)
{
    QByteArray f(4268, ' ');
    f.replace(0, 5, "KOVA2");
    f.replace(50, 8, QByteArray(8, '\0'));
    for (int i = 0; i < 301; ++i) f[198 + i] = char(put(i));
    f.replace(499, 401, QByteArray(401, '\0'));
    f.replace(4260, 8, "1.01    ");
    return f;
}

Bytes head(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); }
Bytes tail(const Bytes& b, std::size_t n) { return Bytes(b.end() - std::min(n, b.size()), b.end()); }

// The program's main window and services over a folder holding the built
// default setpoint file and the file to send; COM 1 is the simulator's line.
struct Program {
    QTemporaryDir dir;
    ScriptedUi ui;
    AppState st;
    AppContext ctx{st};
    std::unique_ptr<Principal> w;
    QString file;

    explicit Program(const SimHarness& sim, const QByteArray& contents = setpointFile())
    {
        QFile::copy(kova::test::builtDefaultFile(), dir.filePath("Default.KOVA2"));
        file = dir.filePath("send.KOVA2");
        kova::test::writeAll(file, contents);
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        processImages() = RegisterImages{};
        st.Ruta_App = dir.path();
        w = std::make_unique<Principal>(st, ctx.services());
        ctx.linkLoop().setIntervals(300, 10, 50);
        ui.shown.clear();
    }
    ~Program()
    {
        try {
            ctx.MSComm1().setPortOpen(false);
        } catch (...) {
        }
    }
    // File > Send SetPoints To Relay with the file and address 1; true once it ended.
    bool send()
    {
        ui.fileNames = {file};
        ui.inputAnswers = {"1"};
        w->command("Send")->trigger();
        return QTest::qWaitFor([&] { return !st.Grabando_Setpoints && !ctx.linkLoop().deteniendo(); }, 20000);
    }
    QStringList messages() const
    {
        QStringList m;
        for (const auto& b : ui.shown) m << b.text;
        return m;
    }
};

} // namespace

class tst_SendSetpoints : public QObject {
    Q_OBJECT
private slots:
    void fileIsWrittenBlockByBlock();
    void unsuitedOrSilentRelay_data();
    void unsuitedOrSilentRelay();
    void failedReplyEndsTheSendForGood();
    void fileOutsideItsRangesIsNeverWritten();
    void termSignalDuringASendTellsWhatTheRelayHolds_data();
    void termSignalDuringASendTellsWhatTheRelayHolds();
};

void tst_SendSetpoints::fileIsWrittenBlockByBlock()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    Program p(sim);
    QVERIFY(p.w->command("Send")->isEnabled());
    QVERIFY(p.send());
    QVERIFY(sim.waitForLog("addr 104B"));
    std::vector<Bytes> frames;
    for (const auto& line : sim.requests()) frames.push_back(frameOf(line));
    QCOMPARE(frames.size(), std::size_t(7));
    QCOMPARE(frames[0], kova::test::hexBytes("01 04 00 00 00 04 F1 C9"));
    QCOMPARE(frames[1].size(), std::size_t(57));
    QCOMPARE(head(frames[1], 10), kova::test::hexBytes("01 10 01 01 00 18 30 0B 30 02"));
    QCOMPARE(tail(frames[1], 3), kova::test::hexBytes("D6 AA 10"));
    const struct { std::size_t at; const char* start; } middle[] = {
        {2, "01 10 01 19 00 18 30"}, {3, "01 10 10 00 00 19 32"}, {4, "01 10 10 19 00 19 32"},
        {5, "01 10 10 32 00 19 32"}};
    for (const auto& m : middle) QCOMPARE(head(frames[m.at], 7), kova::test::hexBytes(m.start));
    QCOMPARE(frames[6].size(), std::size_t(61));
    QCOMPARE(head(frames[6], 9), kova::test::hexBytes("01 10 10 4B 00 1A 34 99 BE"));
    QCOMPARE(tail(frames[6], 3), kova::test::hexBytes("F8 98 D9"));
    // The relay now holds the file's Put bytes 0 to 297.
    const auto relay = sim.setpointImage();
    for (int i = 0; i < 298; ++i) QCOMPARE(int(relay[std::size_t(i)]), int(putByte(i)));
    QVERIFY(p.ui.shown.isEmpty());
    QVERIFY(p.ctx.MSComm1().portOpen());
    QVERIFY(p.w->isEnabled());
    QVERIFY(!p.st.link.Comunicando);
    // The send leaves panel 6 as the file read left it.
    QCOMPARE(p.w->panelText(6), QString("Not Communicating.."));
}

void tst_SendSetpoints::unsuitedOrSilentRelay_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("detail");
    const QString refused = "Setpoints can not be saved in the relay";
    const QString error = "Error sending File to Relay";
    const QString mix = " The relay may now hold a mix of old and new setpoints.";
    QTest::newRow("version 1.02") << QStringList{"--version", "102"} << QList<int>{60} << refused << true << "";
    QTest::newRow("other type") << QStringList{"--type", "21"} << QList<int>{60} << refused << true << "";
    QTest::newRow("silent at block 2") << QStringList{"--silent-from", "3"} << QList<int>{60, 27, 28, 27, 27, 27, 27}
        << error << false
        << "The relay confirmed block 1. Block 2 got no valid answer: it may have been written. Blocks 3 to 6 were "
           "not sent." + mix;
    QTest::newRow("silent from the start") << QStringList{"--silent-from", "1"} << QList<int>{60, 60, 60, 60, 60}
                                           << error << false << "Nothing was written to the relay.";
    QTest::newRow("noise from block 3")
        << QStringList{"--noise-from", "4"} << QList<int>{60, 27, 28, 110} << error << false
        << "The relay confirmed blocks 1 and 2. Block 3 got no valid answer: it may have been written. Blocks 4 to 6 "
           "were not sent." + mix;
    // Each restart writes blocks 1 and 2 again and is refused block 3 again.
    const QList<int> block3FiveTimes = {60, 27, 28, 110, 27, 28, 110, 27, 28, 110, 27, 28, 110, 27, 28, 110};
    QTest::newRow("block 3 refused") << QStringList{"--exception-on", "16:0x1000:3"} << block3FiveTimes << error
        << false
        << "The relay confirmed blocks 1 and 2. The relay refused block 3: it was not written. Blocks 4 to 6 were "
           "not sent." + mix;
    // Exception code 04 (device failure) may follow a write partly done.
    QTest::newRow("block 3 device failure") << QStringList{"--exception-on", "16:0x1000:4"} << block3FiveTimes
        << error << false
        << "The relay confirmed blocks 1 and 2. The relay answered block 3 with exception code 04 (device failure): "
           "it may have been written. Blocks 4 to 6 were not sent." + mix;
}

void tst_SendSetpoints::unsuitedOrSilentRelay()
{
    QFETCH(QStringList, options);
    QFETCH(QList<int>, codes);
    QFETCH(QString, message);
    QFETCH(bool, portOpen);
    QFETCH(QString, detail);
    std::vector<std::string> args;
    for (const QString& o : options) args.push_back(o.toStdString());
    SimHarness sim(args);
    QVERIFY2(sim.ok(), sim.error().c_str());
    Program p(sim);
    QVERIFY(p.send());
    QTest::qWait(400);
    const auto got = sim.requestCodes();
    QCOMPARE(QList<int>(got.begin(), got.end()), codes);
    QCOMPARE(p.messages(), QStringList{message});
    QCOMPARE(p.ui.shown[0].title, QString("KOVA"));
    QCOMPARE(p.ui.shown[0].detail, detail);
    QCOMPARE(p.ctx.MSComm1().portOpen(), portOpen);
    QVERIFY(p.w->isEnabled());
}

void tst_SendSetpoints::failedReplyEndsTheSendForGood()
{
    SimHarness sim({"--corrupt-on", "16:0x0119"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    Program p(sim);
    QVERIFY(p.send());
    QCOMPARE(sim.requestCodes(), (std::vector<int>{60, 27, 28}));
    QCOMPARE(p.messages(), QStringList{"Error sending File to Relay"});
    QCOMPARE(p.ui.shown[0].icon, MsgIcon::Critical);
    QVERIFY(!p.ctx.MSComm1().portOpen());
    QVERIFY(p.w->isEnabled());

    // A connect afterwards reads the relay and writes nothing to it.
    Comunicacion window(p.st, p.ctx, *p.w);
    window.Form_Load();
    p.ui.answers = {MsgAnswer::No};
    QVERIFY(window.Command1_Click());
    QVERIFY(QTest::qWaitFor([&] { return p.st.link.Comunicando && sim.requests().size() >= 3 + 15; }, 15000));
    QTest::qWait(1000);
    const auto after = sim.requestCodes();
    QCOMPARE(after[3], 60);
    for (std::size_t i = 3; i < after.size(); ++i)
        QVERIFY2(after[i] != 27 && after[i] != 28 && (after[i] < 110 || after[i] > 113),
                 std::to_string(after[i]).c_str());
    QCOMPARE(p.messages(), (QStringList{"Error sending File to Relay",
                                         "SetPoints Will be Lost, Do you want to save it?"}));
}

// A file with one setting outside its range: refused before the port opens.
void tst_SendSetpoints::fileOutsideItsRangesIsNeverWritten()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    SetpointImage put = kova::test::patternWithinRanges();
    kova::test::putSetpointWord(put, 0x0102, 5001);
    Program p(sim, setpointFile([&](int i) { return put[std::size_t(i)]; }));
    QVERIFY(p.send());
    QVERIFY(p.w->isEnabled());
    QTest::qWait(400);
    QCOMPARE(sim.requests(), std::vector<std::string>{});
    QCOMPARE(p.messages(), QStringList{"Setpoints not sent: the file holds settings outside their ranges"});
    QCOMPARE(p.ui.shown[0].icon, MsgIcon::Critical);
    QCOMPARE(p.ui.shown[0].detail, "SETPOINTS - System Setup: Phase CT Rating Primary: 5001 A, range 5 A to 5000 A");
    QVERIFY(!p.ctx.MSComm1().portOpen());
}

// A calling program ends the program (started with its command line, so
// online) while File > Send waits for the relay's reply to block 3, or a clock STORE (its page open or closed)
// for its apply command's: one line on stderr says what the relay holds, and the handshake file still
// gets its record 2. The terminal closing (SIGHUP) or Ctrl+C ends it the same way.
void tst_SendSetpoints::termSignalDuringASendTellsWhatTheRelayHolds_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("clockPage"); // empty for the send; "open" or "closed" for the clock STORE
    QTest::addColumn<QString>("told");
    const QString send = "while sending setpoints to the relay: The relay confirmed blocks 1 and 2. Block 3 got no "
                         "valid answer: it may have been written. Blocks 4 to 6 were not sent. The relay may now "
                         "hold a mix of old and new setpoints.";
    const QString clock = "while storing the date and time in the relay: The clock was written; the command to "
                          "apply it got no valid answer: it may not have been applied.";
    QTest::newRow("SIGTERM") << SIGTERM << "SIGTERM" << "" << send;
    QTest::newRow("SIGHUP") << SIGHUP << "SIGHUP" << "" << send;
    QTest::newRow("clock STORE, SIGTERM") << SIGTERM << "SIGTERM" << "open" << clock;
    QTest::newRow("clock STORE after its page closed, SIGINT") << SIGINT << "SIGINT" << "closed" << clock;
}

void tst_SendSetpoints::termSignalDuringASendTellsWhatTheRelayHolds()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, name);
    QFETCH(QString, clockPage);
    QFETCH(QString, told);
    std::signal(SIGHUP, SIG_DFL); // whatever the test runner was started with
    SimHarness sim({"--busy-on", clockPage.isEmpty() ? "16:0x1000:4000" : "5:0x0005:4000"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program(Arranque::Options{0, true});
    bool ended = false;
    program.endProgram = [&] { ended = true; };
    const QString file = program.dir.filePath("send.KOVA2");
    QVERIFY(kova::test::writeAll(file, setpointFile()));
    QVERIFY(program.start(sim));
    QVERIFY(QTest::qWaitFor([&] { return program.arranque.state().link.Comunicando; }, 10000));
    // The relay's time-out is longer than its busy hold: no restart.
    program.context.linkLoop().setIntervals(6000, 10, 50);
    program.ui.fileNames = {file};
    program.ui.inputAnswers = {"1"};
    std::unique_ptr<DateTimeConfigView> page;
    const QByteArray text = kova::test::stderrOf([&] {
        if (clockPage.isEmpty()) {
            program.arranque.principal()->command("Send")->trigger();
        } else {
            page = program.context.clockPage();
            page->show();
            page->Store()->click();
        }
        QVERIFY(QTest::qWaitFor([&] { return program.context.DELU().Accion() == (page ? 92 : 110); }, 10000));
        if (clockPage == "closed") {
            page->Okey()->click();
            QVERIFY(QTest::qWaitFor([&] { return !page->isVisible(); }, 3000));
        }
        QTest::qWait(200);
        ::raise(signalNumber);
        QVERIFY(QTest::qWaitFor([&] { return ended; }, 5000));
    });
    QVERIFY2(text.contains("kova: ended by " + name.toLatin1() + " " + told.toLatin1() + "\n"), text.constData());
    QCOMPARE(text.count("kova: ended by"), 1);
    QCOMPARE(kova::test::readAll(program.dir.filePath("prueba.txt")), QByteArray::fromHex("0200"));
    QCOMPARE(program.ui.shown.size(), clockPage.isEmpty() ? 0 : 1); // only the clock STORE's question
}

QTEST_MAIN(tst_SendSetpoints)
#include "tst_SendSetpoints.moc"
