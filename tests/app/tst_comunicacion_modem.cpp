// The connection window's modem frame against the simulated modem: its
// "OK" runs the programming with the frame's choices, the window's buttons
// wait meanwhile, and afterwards the relay can be connected to as before.

#include "app/AppContext.h"
#include "app/Arranque.h"
#include "app/support/ProgramWindow.h"
#include "app/Comunicacion.h"
#include "link/RegisterImages.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"
#include "support/SimOnPty.h"
#include "platform/StderrText.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>

using namespace kova;
using kova::test::ScriptedUi;
using kova::test::SimOnPty;
using kova::test::builtDefaultFile;
using kova::test::freshHandshakeFile;
using kova::test::readAll;

namespace {

using Program = kova::test::ProgramWindow;

QString modemSim() { return qEnvironmentVariable("KOVA_MODEM_SIM"); }

QStringList texts(const ScriptedUi& ui)
{
    QStringList t;
    for (const auto& b : ui.shown) t << b.text;
    return t;
}

// Clicks the frame's "OK" with the modem at COM2 (rate list position 3,
// 9600) and reports whether the window's buttons were disabled while the
// first box showed.
bool programModem(Comunicacion& c, ScriptedUi& ui, bool personal)
{
    c.Combo4()->setCurrentIndex(1);
    c.Combo3()->setCurrentIndex(3);
    c.findChild<QRadioButton*>(personal ? "Option2_1" : "Option2_0")->setChecked(true);
    bool waited = true;
    ui.onShow = [&](const kova::test::ShownBox&) {
        for (const char* name : {"Command1", "Command2", "Okey", "Cancelar", "Modem"})
            waited = waited && !c.findChild<QPushButton*>(name)->isEnabled();
        ui.onShow = nullptr;
    };
    c.findChild<QPushButton*>("Modem")->click();
    return waited;
}

} // namespace

class tst_comunicacion_modem : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QTemporaryDir work_;
    QString previous_;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work_.path())); // "AT" lives in the program's folder, not here
    }
    void cleanupTestCase() { QDir::setCurrent(previous_); }
    void init() { processImages() = RegisterImages{}; }

    void programsTheModemThenConnectsToTheRelay()
    {
        SimOnPty modem, relay;
        QVERIFY(modem.start(2, modemSim(), {}));
        QVERIFY(relay.start(1, qEnvironmentVariable("KOVA_RELAY_SIM"), {}));
        ScriptedUi ui;
        Program p(dir_.path());
        p.ctx.linkLoop().setIntervals(100, 5, 20);
        Comunicacion c(p.st, p.ctx, *p.w);
        c.show();
        c.Form_Load();
        QVERIFY(programModem(c, ui, false));
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", "Modem Has Been Programed"}));
        QCOMPARE(modem.received(), QByteArray("AT&F\rATE0 V0 S0=2 &W1 &Y1\r"));
        QVERIFY(c.isVisible());
        QVERIFY(c.findChild<QPushButton*>("Command1")->isEnabled());
        QCOMPARE(int(p.st.Puerto_Com), 1);
        QCOMPARE(p.st.Velocidad, 9600);
        QVERIFY(!p.st.Modo_Modem);

        ui.answers.push_back(MsgAnswer::No);
        QVERIFY(c.Command1_Click());
        QTRY_VERIFY_WITH_TIMEOUT(p.st.link.Comunicando, 5000);
        QVERIFY(readAll(relay.log).contains("\nreq "));
        QCOMPARE(modem.received().size(), 26); // nothing more reached the modem
        p.ctx.MSComm1().setPortOpen(false);
    }

    void defaultStringAnswers_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QByteArray>("received");
        const QByteArray both = "AT&F\rATE0 V0 S0=2 &W1 &Y1\r";
        QTest::newRow("refused") << QStringList{"--error-on", "S0=2"} << "Modem doesn't response" << both;
        QTest::newRow("silent") << QStringList{"--silent"} << "Modem Not Response" << QByteArray("AT&F\r");
        QTest::newRow("silent from the second") << QStringList{"--silent-from", "2"} << "Modem Not Response"
                                                << both;
    }

    void defaultStringAnswers()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, result);
        QFETCH(QByteArray, received);
        SimOnPty modem;
        QVERIFY(modem.start(2, modemSim(), options));
        ScriptedUi ui;
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QElapsedTimer clock;
        clock.start();
        programModem(c, ui, false);
        const qint64 took = clock.elapsed();
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", result}));
        QCOMPARE(modem.received(), received);
        // A silent modem is given its 2 s and no more than a little extra.
        if (result == "Modem Not Response") QVERIFY2(took >= 2000 && took < 5000, qPrintable(QString::number(took)));
    }

    void personalStringWithItsQuietTimes()
    {
        SimOnPty modem;
        QVERIFY(modem.start(2, modemSim(), {}));
        QFile::remove(dir_.filePath("AT"));
        ScriptedUi ui;
        ui.inputAnswers.push_back("  ATS0=1  ");
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QVERIFY(programModem(c, ui, true));
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", "Modem Has Been Programed"}));
        QCOMPARE(readAll(dir_.filePath("AT")), "ATS0=1" + QByteArray(94, ' '));
        QVERIFY(!QFile::exists("AT"));
        const auto rx = modem.chunks("rx");
        QCOMPARE(modem.received(), QByteArray("ATV1E0\r+++ATH\rAT&F\rAT&K0N1\rATS0=1\r"));
        int plus = -1;
        for (int i = 0; i < rx.size(); ++i)
            if (rx[i].second == "+++") plus = i;
        QVERIFY(plus > 0 && plus + 1 < rx.size());
        QVERIFY(rx[plus].first - rx[plus - 1].first >= 1000);
        QVERIFY(rx[plus + 1].first - rx[plus].first >= 1000);
        // The modem took it as an escape: OK after its quiet second, before "ATH".
        const auto tx = modem.chunks("tx");
        QVERIFY(std::any_of(tx.begin(), tx.end(), [&](const auto& t) {
            return t.second == "\r\nOK\r\n" && t.first >= rx[plus].first + 1000 && t.first <= rx[plus + 1].first;
        }));
        QCOMPARE(int(p.st.Puerto_Com), 1);
        QCOMPARE(p.st.Velocidad, 9600);
    }

    // The modem's line goes away right after "+++": the run stops at once
    // with "Modem Not Response", the port and the system's reason in its
    // detail line and on stderr; the window is usable again.
    void lineLostAfterTheEscapeIsTold()
    {
        SimOnPty modem;
        QVERIFY(modem.start(2, modemSim(), {"--silent-from", "2"}));
        const QString device = qEnvironmentVariable("KOVA_COM2");
        ScriptedUi ui;
        ui.inputAnswers.push_back("");
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QTimer unplug;
        connect(&unplug, &QTimer::timeout, [&] {
            if (modem.received().contains("+++")) {
                unplug.stop();
                modem.unplug();
            }
        });
        unplug.start(10);
        const QByteArray err = kova::test::stderrOf([&] { programModem(c, ui, true); });
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", "Modem Not Response"}));
        const QString detail = ui.shown[1].detail;
        QVERIFY2(detail.startsWith("COM2 (" + device + "): ") &&
                     detail.endsWith(QString::fromLocal8Bit(std::strerror(EIO))),
                 qPrintable(detail));
        QCOMPARE(QString::fromUtf8(err), "kova: Modem Not Response: " + detail + "\n");
        QCOMPARE(modem.received(), QByteArray("ATV1E0\r+++"));
        QVERIFY(c.findChild<QPushButton*>("Modem")->isEnabled());
    }

    void nothingSentWithoutAFreeLine_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<int>("location");
        QTest::addColumn<QString>("message");
        QTest::newRow("online") << true << 1 << "Disconnect the relay (OFF) before programming the modem";
        QTest::newRow("no location") << false << -1 << "Select the Modem Location";
    }

    void nothingSentWithoutAFreeLine()
    {
        QFETCH(bool, online);
        QFETCH(int, location);
        QFETCH(QString, message);
        qunsetenv("KOVA_COM2"); // an open would fail loudly
        ScriptedUi ui;
        Program p(dir_.path());
        p.st.link.Comunicando = online;
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.Combo4()->setCurrentIndex(location);
        c.findChild<QPushButton*>("Modem")->click();
        QCOMPARE(texts(ui), QStringList{message});
        QCOMPARE(ui.shown[0].title, QString("KOVA"));
        QVERIFY(c.findChild<QPushButton*>("Modem")->isEnabled());
    }

    // A termination signal while the modem is programmed: every wait ends at once, the modem gets no further
    // command, stderr names what it got, and the program ends as ever (handshake 2).
    void termSignalEndsTheProgrammingAtOnce_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("personal");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("raiseAfter");
        QTest::addColumn<QString>("line");
        QTest::newRow("SIGTERM awaiting the answer to ATH")
            << SIGTERM << true << QStringList{"--silent-from", "3"} << QByteArray("ATV1E0\r+++ATH\r")
            << "kova: ended by SIGTERM while programming the modem: The modem on COM2 got \"ATV1E0\", \"+++\" and "
               "\"ATH\"; \"AT&F\", \"AT&K0N1\" and \"ATS0=1\" were not sent.\n";
        QTest::newRow("SIGINT in the quiet second before +++")
            << SIGINT << true << QStringList{} << QByteArray("ATV1E0\r")
            << "kova: ended by SIGINT while programming the modem: The modem on COM2 got \"ATV1E0\"; \"+++\", \"ATH\", "
               "\"AT&F\", \"AT&K0N1\" and \"ATS0=1\" were not sent.\n";
        QTest::newRow("SIGHUP awaiting the built-in string's answer")
            << SIGHUP << false << QStringList{"--silent-from", "2"} << QByteArray("AT&F\rATE0 V0 S0=2 &W1 &Y1\r")
            << "kova: ended by SIGHUP while programming the modem: The modem on COM2 got \"AT&F\" and "
               "\"ATE0 V0 S0=2 &W1 &Y1\".\n";
    }

    void termSignalEndsTheProgrammingAtOnce()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, personal);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, raiseAfter);
        QFETCH(QString, line);
        std::signal(SIGHUP, SIG_DFL); // whatever the test runner was started with
        SimOnPty modem;
        QVERIFY(modem.start(2, modemSim(), options));
        const QString handshake = freshHandshakeFile(dir_);
        qputenv("KOVA_APP_DIR", dir_.path().toLocal8Bit());
        ScriptedUi ui;
        ui.inputAnswers.push_back("ATS0=1");
        Arranque a(Arranque::Options{0, true});
        AppContext ctx{a.state()};
        bool ended = false;
        MainWindowServices services = ctx.services();
        services.endProgram = [&] { ended = true; };
        a.setServices(services);
        a.Main({"19200", "2", "5"}); // refused: an interactive start that answers its caller
        Comunicacion c(a.state(), ctx, *a.principal());
        c.Form_Load();
        QElapsedTimer sinceSignal;
        QTimer raise;
        connect(&raise, &QTimer::timeout, [&] { // the signal comes 300 ms into the wait after raiseAfter
            if (modem.received() != raiseAfter) return;
            raise.stop();
            QTimer::singleShot(300, [&] { sinceSignal.start(); ::raise(signalNumber); });
        });
        raise.start(10);
        const QByteArray err = kova::test::stderrOf([&] { programModem(c, ui, personal); });
        QVERIFY(sinceSignal.isValid());
        QVERIFY2(sinceSignal.elapsed() < 1000, qPrintable(QString::number(sinceSignal.elapsed())));
        QCOMPARE(QString::fromUtf8(err), line);
        QVERIFY(ended);
        QCOMPARE(readAll(handshake), QByteArray::fromHex("0200"));
        QTest::qWait(1200); // the modem's own quiet time passes: nothing more comes
        QCOMPARE(modem.received(), raiseAfter);
        QCOMPARE(texts(ui), (QStringList{"Invalid command line", "Please Connect the Modem to COM2"}));
    }
};

QTEST_MAIN(tst_comunicacion_modem)
#include "tst_comunicacion_modem.moc"
