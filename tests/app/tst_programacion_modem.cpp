// Modem programming over a scripted modem: the bytes on the wire, how the
// answers are judged, the file "AT", the refusals, and the settings put
// back at every end.

#include "app/Programacion_Modem.h"
#include "support/AppFiles.h"
#include "support/ModemPort.h"
#include "support/RecordingSerialPort.h"
#include "support/ScriptedUi.h"
#include "platform/ComPortDevice.h"
#include "platform/FullFolder.h"
#include "platform/StderrText.h"
#include "platform/WholeFileWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace kova;
using kova::test::ModemPort;
using kova::test::RecordingSerialPort;
using kova::test::ScriptedUi;
using kova::test::readAll;

namespace {

using Answers = QList<QStringList>;

const QString kOK = "\r\nOK\r\n";
const std::string kWireDefault = "AT&F\rATE0 V0 S0=2 &W1 &Y1\r";
const std::string kWirePersonal = "ATV1E0\r+++ATH\rAT&F\rAT&K0N1\r";

// The program's folder, where "AT" lives (the working folder is another).
QString programFolder;
QString atFile() { return programFolder + "/AT"; }

// One run's world: settings that differ from the modem's, the link's port
// left open by "OFF", a scripted modem and short time limits.
struct Run {
    AppState st;
    ModemPort modem;
    RecordingSerialPort link;
    bool connecting = false;
    Programacion_Modem p{st, modem, link, [this] { return connecting; }};
    Eleccion_Modem choice{false, 1, "COM2", 4};

    Run()
    {
        st.Modo_Modem = true;
        st.Puerto_Com = 1;
        st.Velocidad = 9600;
        st.Ruta_App = programFolder;
        link.open = true;
        Tiempos_Modem t;
        t.respuestaMs = 300;
        t.pasosMs = {300, 300, 300, 300, 300, 300};
        t.guardaMs = 100;
        p.setTiempos(t);
    }
    void script(const Answers& answers)
    {
        for (const QStringList& a : answers) {
            std::vector<std::string> chunks;
            for (const QString& c : a) chunks.push_back(c.toLatin1().toStdString());
            modem.answers.push_back(chunks);
        }
    }
    bool settingsKept() const { return st.Modo_Modem && st.Puerto_Com == 1 && st.Velocidad == 9600; }
};

QStringList texts(const ScriptedUi& ui)
{
    QStringList t;
    for (const auto& b : ui.shown) t << b.text;
    return t;
}

} // namespace

class tst_programacion_modem : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QTemporaryDir work_;
    QString previous_;

private slots:
    void initTestCase()
    {
        previous_ = QDir::currentPath();
        programFolder = dir_.path();
        QVERIFY(QDir::setCurrent(work_.path())); // never where "AT" goes
    }
    void cleanupTestCase() { QDir::setCurrent(previous_); }
    void init() { QFile::remove(atFile()); }
    void cleanup() { QVERIFY(!QFile::exists("AT")); }

    void defaultString_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("wire");
        QTest::addColumn<QString>("result");
        const QString both = QString::fromStdString(kWireDefault);
        const QString first = "AT&F\r";
        QTest::newRow("verbal then numeric OK")
            << Answers{{"AT&F\r\r\nOK\r\n"}, {"ATE0 V0 S0=2 &W1 &Y1\r0\r"}} << both << "Modem Has Been Programed";
        QTest::newRow("echo then 4") << Answers{{"AT&F\r\r\nOK\r\n"}, {"ATE0 V0 S0=2 &W1 &Y1\r4\r"}} << both
                                     << "Modem doesn't response";
        QTest::newRow("verbal ERROR") << Answers{{kOK}, {"\r\nERROR\r\n"}} << both << "Modem doesn't response";
        QTest::newRow("answers in chunks")
            << Answers{{"AT&F\r\r\nO", "K\r\n"}, {"ATE0 V0 S0=2 &W1 &Y1\r", "0", "\r"}} << both
            << "Modem Has Been Programed";
        QTest::newRow("refusal in chunks")
            << Answers{{"AT&F\r\r\nO", "K\r\n"}, {"ATE0 V0 S0=2 &W1 &Y", "1\r", "4\r"}} << both
            << "Modem doesn't response";
        QTest::newRow("silent modem") << Answers{} << first << "Modem Not Response";
        QTest::newRow("echo only to AT&F goes on") << Answers{{"AT&F\r"}, {"0\r"}} << both
                                                   << "Modem Has Been Programed";
        QTest::newRow("no result line to the second") << Answers{{kOK}, {"ATE0 V0 S0=2 &W1 &Y1\r"}} << both
                                                      << "Modem Not Response";
        QTest::newRow("leftovers of the first dropped") << Answers{{kOK + "\r\nERROR\r\n"}, {"0\r"}} << both
                                                        << "Modem Has Been Programed";
        QTest::newRow("other result line fails") << Answers{{kOK}, {"\r\nNO CARRIER\r\n"}} << both
                                                 << "Modem doesn't response";
    }

    void defaultString()
    {
        QFETCH(Answers, answers);
        QFETCH(QString, wire);
        QFETCH(QString, result);
        ScriptedUi ui;
        Run r;
        r.script(answers);
        r.p.Modem_Click(r.choice);
        QCOMPARE(QString::fromStdString(r.modem.wire()), wire);
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", result}));
        QCOMPARE(ui.shown[0].buttons, MsgButtons::OKCancel);
        QCOMPARE(ui.shown[1].title, QString("KOVA"));
        // Opened on the chosen location and rate with DTR, closed at the end.
        QCOMPARE(r.modem.calls.front(), std::string("DTR=1"));
        QCOMPARE(r.modem.calls[1], std::string("open 2 19200,N,8,1"));
        QCOMPARE(r.modem.calls[r.modem.calls.size() - 2], std::string("DTR=0"));
        QCOMPARE(r.modem.calls.back(), std::string("close"));
        QVERIFY(!r.link.open);
        QVERIFY(r.settingsKept());
    }

    void personalString_data()
    {
        QTest::addColumn<QString>("typed"); // "" is Cancel
        QTest::addColumn<QByteArray>("fileBefore");
        QTest::addColumn<QString>("lastAnswer");
        QTest::addColumn<QString>("defaultShown");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::addColumn<QByteArray>("lastCommand");
        QTest::addColumn<QString>("result"); // "" none
        const QByteArray blanks94(94, ' ');
        const QByteArray atx = "ATX" + QByteArray(97, ' ');
        QTest::newRow("typed with blanks, OK") << "  ATS0=1  " << QByteArray() << "ATS0=1\r" + kOK << ""
                                               << "ATS0=1" + blanks94 << QByteArray("ATS0=1\r")
                                               << "Modem Has Been Programed";
        QTest::newRow("ERROR, later records kept") << "ATS0=1" << atx + "REST" << "\r\nERROR\r\n" << "ATX"
                                                   << "ATS0=1" + blanks94 + "REST" << QByteArray("ATS0=1\r")
                                                   << "Modem doesn't response";
        QTest::newRow("no answer to the last") << "ATS0=1" << atx << "" << "ATX" << "ATS0=1" + blanks94
                                               << QByteArray("ATS0=1\r") << "Modem Not Response";
        QTest::newRow("input cancelled keeps the file") << "" << atx << "" << "ATX" << atx << QByteArray("\r")
                                                        << "Modem Not Response";
        QTest::newRow("input cancelled creates no file") << "" << QByteArray() << kOK << "" << QByteArray()
                                                         << QByteArray("\r") << "Modem Has Been Programed";
        QTest::newRow("code page 1252") << "ATS0=1 \u00f1" << QByteArray() << kOK << ""
                                        << "ATS0=1 \xf1" + QByteArray(92, ' ') << QByteArray("ATS0=1 \xf1\r")
                                        << "Modem Has Been Programed";
    }

    void personalString()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, fileBefore);
        QFETCH(QString, lastAnswer);
        QFETCH(QString, defaultShown);
        QFETCH(QByteArray, fileAfter);
        QFETCH(QByteArray, lastCommand);
        QFETCH(QString, result);
        if (!fileBefore.isNull()) {
            QFile f(atFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(fileBefore);
        }
        ScriptedUi ui;
        ui.inputAnswers.push_back(typed);
        Run r;
        r.choice.personal = true;
        r.script({{kOK}, {kOK}, {kOK}, {kOK}, {"AT&K0N1\r" + kOK}, {lastAnswer}});
        r.p.Modem_Click(r.choice);

        QCOMPARE(ui.inputs.size(), 1);
        QCOMPARE(ui.inputs[0].prompt, QString("Enter the New string initialization"));
        QCOMPARE(ui.inputs[0].title, QString());
        QCOMPARE(ui.inputs[0].defaultText, defaultShown);
        QCOMPARE(QFile::exists(atFile()), !fileAfter.isNull());
        QCOMPARE(readAll(atFile()), fileAfter);
        QCOMPARE(QByteArray::fromStdString(r.modem.wire()), QByteArray::fromStdString(kWirePersonal) + lastCommand);
        QStringList expected{"Please Connect the Modem to COM2"};
        if (!result.isEmpty()) expected << result;
        QCOMPARE(texts(ui), expected);
        QCOMPARE(r.p.Modem_Programado, result == "Modem Has Been Programed");
        // The quiet times around "+++", on the monotonic clock.
        QCOMPARE(r.modem.sent[1].bytes, std::string("+++"));
        QVERIFY(r.modem.sent[1].ms - r.modem.sent[0].ms >= 100);
        QVERIFY(r.modem.sent[2].ms - r.modem.sent[1].ms >= 100);
        QCOMPARE(r.modem.calls.back(), std::string("close"));
        QVERIFY(r.settingsKept());
    }

    void stopsBeforeSending_data()
    {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("connecting");
        QTest::addColumn<int>("location");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("failOpen");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("linkClosed");
        const QString prompt = "Please Connect the Modem to COM2";
        const QString refusal = "Disconnect the relay (OFF) before programming the modem";
        QTest::newRow("online") << false << true << false << 1 << false << false << QStringList{refusal} << false;
        QTest::newRow("connecting, personal") << true << false << true << 1 << false << false << QStringList{refusal}
                                              << false;
        QTest::newRow("no location") << false << false << false << -1 << false << false
                                     << QStringList{"Select the Modem Location"} << false;
        QTest::newRow("cancel at the prompt") << false << false << false << 1 << true << false
                                              << QStringList{prompt} << false;
        QTest::newRow("cancel at the prompt, personal") << true << false << false << 1 << true << false
                                                        << QStringList{prompt} << false;
        QTest::newRow("port does not open") << false << false << false << 1 << false << true
                                            << QStringList{prompt, "Invalid Number Port: COM 2"} << true;
    }

    void stopsBeforeSending()
    {
        QFETCH(bool, personal);
        QFETCH(bool, online);
        QFETCH(bool, connecting);
        QFETCH(int, location);
        QFETCH(bool, cancel);
        QFETCH(bool, failOpen);
        QFETCH(QStringList, messages);
        QFETCH(bool, linkClosed);
        ScriptedUi ui;
        if (cancel) ui.answers.push_back(MsgAnswer::Cancel);
        Run r;
        r.st.link.Comunicando = online;
        r.connecting = connecting;
        r.modem.failOpen = failOpen;
        r.choice.personal = personal;
        r.choice.ubicacion = location;
        r.p.Modem_Click(r.choice);
        QCOMPARE(texts(ui), messages);
        if (online || connecting) QCOMPARE(ui.shown[0].icon, MsgIcon::Exclamation);
        if (failOpen) {
            QCOMPARE(ui.shown[1].title, QString("Communication error"));
            QCOMPARE(ui.shown[1].icon, MsgIcon::Critical);
            QCOMPARE(ui.shown[1].detail, QString("no such device")); // the port's reason
        }
        QVERIFY(r.modem.sent.empty());
        QVERIFY(!r.modem.portOpen());
        QCOMPARE(r.link.open, !linkClosed);
        QCOMPARE(r.st.link.Comunicando, online);
        // Refused runs ask for no string and write no file.
        QCOMPARE(ui.inputs.size(), personal && !online && !connecting ? 1 : 0);
        QVERIFY(r.settingsKept());
    }

    // A modem silent from the first command of the personal string: the run ends after that command's
    // wait, sending nothing more, before the next command's wait would have passed.
    void personalStringSilentModemEndsAfterTheFirstCommand()
    {
        ScriptedUi ui;
        ui.inputAnswers.push_back("ATS0=1");
        Run r;
        r.choice.personal = true;
        Tiempos_Modem t = r.p.tiempos();
        t.pasosMs = {300, 5000, 5000, 5000, 5000, 5000};
        t.guardaMs = 5000;
        r.p.setTiempos(t);
        QElapsedTimer clock;
        clock.start();
        r.p.Modem_Click(r.choice);
        const qint64 took = clock.elapsed();
        QCOMPARE(QString::fromStdString(r.modem.wire()), QString("ATV1E0\r"));
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", "Modem Not Response"}));
        QVERIFY(!r.p.Modem_Programado);
        QCOMPARE(r.modem.calls.back(), std::string("close"));
        QVERIFY(r.settingsKept());
        QVERIFY2(took < 5000, qPrintable(QString::number(took)));
    }

    // A port that fails under the run (a write refused, or the device gone
    // right after "+++", which closes the port) ends it at once, told as a
    // modem that does not answer: the port and the reason in the detail line
    // and on stderr. No wait runs on over the closed port.
    void portFailingMidwayIsTold_data()
    {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<int>("failOutputAt");
        QTest::addColumn<int>("loseAfterOutput");
        QTest::addColumn<QString>("wire");
        QTest::addColumn<QString>("reason");
        QTest::newRow("default string, write refused") << false << 2 << 0 << "AT&F\r" << "cannot write";
        QTest::newRow("personal string, device gone after +++")
            << true << 0 << 2 << "ATV1E0\r+++" << "input: the device went away: Input/output error";
    }

    void portFailingMidwayIsTold()
    {
        QFETCH(bool, personal);
        QFETCH(int, failOutputAt);
        QFETCH(int, loseAfterOutput);
        QFETCH(QString, wire);
        QFETCH(QString, reason);
        ScriptedUi ui;
        ui.inputAnswers.push_back("");
        Run r;
        r.choice.personal = personal;
        Tiempos_Modem t = r.p.tiempos();
        t.pasosMs = {300, 60000, 60000, 60000, 60000, 60000};
        r.p.setTiempos(t);
        r.modem.failOutputAt = failOutputAt;
        r.modem.loseAfterOutput = loseAfterOutput;
        r.script({{kOK}});
        const QByteArray err = kova::test::stderrOf([&] { r.p.Modem_Click(r.choice); });
        const QString detail = "COM2 (" + QString::fromStdString(comPortDevice(2)) + "): " + reason;
        QCOMPARE(texts(ui), (QStringList{"Please Connect the Modem to COM2", "Modem Not Response"}));
        QCOMPARE(ui.shown[1].detail, detail);
        QCOMPARE(ui.shown[1].title, QString("KOVA"));
        QCOMPARE(QString::fromUtf8(err), "kova: Modem Not Response: " + detail + "\n");
        QCOMPARE(QString::fromStdString(r.modem.wire()), wire);
        QCOMPARE(r.modem.pollsAfterLoss, 0);
        QVERIFY(!r.modem.portOpen());
        QVERIFY(!r.p.Modem_Programado);
        QVERIFY(r.settingsKept());
    }

    void unwritableFileStillProgramsTheTypedString()
    {
        QVERIFY(QDir().mkdir(atFile()));
        ScriptedUi ui;
        ui.inputAnswers.push_back("ATS0=3");
        Run r;
        r.choice.personal = true;
        r.script({{kOK}, {kOK}, {kOK}, {kOK}, {kOK}, {kOK}});
        r.p.Modem_Click(r.choice);
        QVERIFY(QDir().rmdir(atFile()));
        QCOMPARE(texts(ui), (QStringList{"Error writing file", "Please Connect the Modem to COM2",
                                         "Modem Has Been Programed"}));
        QCOMPARE(ui.shown[0].detail, atFile() + ": not a file");
        QVERIFY(QByteArray::fromStdString(r.modem.wire()).endsWith("AT&K0N1\rATS0=3\r"));
    }

    // A write that fails (a full disk) leaves the old "AT" byte for byte, no
    // temporary file, and names the system's reason; each step of the write
    // is the whole-file writer's own test.
    void failedWriteKeepsTheOldFile()
    {
        const QByteArray old = QByteArray("ATS0=1").leftJustified(200, ' ');
        QVERIFY(kova::test::writeAll(atFile(), old));
        ScriptedUi ui;
        Run r;
        r.p.Cadena_Modem = "ATS0=3";
        {
            const FileWriteFault fault(FileWriteFault::Step::Write, ENOSPC);
            QVERIFY(!r.p.Grabar_Cadena_Modem(2));
        }
        QCOMPARE(readAll(atFile()), old);
        QCOMPARE(test::folderNames(programFolder), QStringList{"AT"});
        QCOMPARE(texts(ui), QStringList{"Error writing file"});
        QCOMPARE(ui.shown[0].detail, atFile() + ": " + std::strerror(ENOSPC));
        QVERIFY(r.p.Grabar_Cadena_Modem(2));
        QCOMPARE(readAll(atFile()), old.left(100) + QByteArray("ATS0=3").leftJustified(100, ' '));
    }

    // An "AT" that is there but cannot be read is not taken as empty, which
    // would blank its other records: the save is refused with the system's
    // reason and the file stays as it was.
    void unreadableFileIsRefusedAndKept_data()
    {
        QTest::addColumn<bool>("ioError");
        QTest::newRow("no read permission") << false;
        QTest::newRow("input/output error") << true;
    }

    void unreadableFileIsRefusedAndKept()
    {
        QFETCH(bool, ioError);
        const QByteArray old = QByteArray("ATX").leftJustified(100, ' ') + "REST";
        if (ioError) {
            QVERIFY(QFile::link("/proc/self/mem", atFile())); // any read of its start fails with EIO
        } else {
            QVERIFY(kova::test::writeAll(atFile(), old));
            QVERIFY(QFile::setPermissions(atFile(), QFile::WriteOwner));
            // A folder the other user may write to: only the read stops the save.
            QVERIFY(QFile::setPermissions(programFolder, QFile::Permissions(0x7777)));
        }
        ScriptedUi ui;
        Run r;
        r.p.Cadena_Modem = "ATS0=3";
        // Root reads every file: the check runs as another user.
        const bool root = ::geteuid() == 0;
        if (!ioError && root) ::setfsuid(65534);
        const bool saved = r.p.Grabar_Cadena_Modem(1);
        if (!ioError && root) ::setfsuid(0);
        QVERIFY(!saved);
        QCOMPARE(texts(ui), QStringList{"Error writing file"});
        QCOMPARE(ui.shown[0].detail, atFile() + ": " + std::strerror(ioError ? EIO : EACCES));
        QCOMPARE(test::folderNames(programFolder), QStringList{"AT"});
        QVERIFY(QFile::setPermissions(programFolder, QFile::Permissions(0x7000)));
        if (ioError) {
            QCOMPARE(QFileInfo(atFile()).symLinkTarget(), QString("/proc/self/mem"));
        } else {
            QVERIFY(QFile::setPermissions(atFile(), QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(readAll(atFile()), old);
        }
    }

    void esperarLastsItsTime()
    {
        QElapsedTimer clock;
        clock.start();
        Programacion_Modem::Esperar(1000);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 1000 && took < 1500, qPrintable(QString::number(took)));
    }
};

QTEST_GUILESS_MAIN(tst_programacion_modem)
#include "tst_programacion_modem.moc"
