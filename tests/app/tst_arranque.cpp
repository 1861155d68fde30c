// Start-up with and without a command line.

#include "app/Arranque.h"
#include "app/frmSplash.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace kova;
using kova::test::ScriptedUi;
using kova::test::freshHandshakeFile;
using kova::test::readAll;

namespace {
Arranque::Options quick(bool catchSignals = false)
{
    Arranque::Options o;
    o.splashMs = 100;
    o.catchTerminationSignals = catchSignals;
    return o;
}

struct Recorder {
    QStringList reads;
    int ends = 0;
    MainWindowServices services()
    {
        MainWindowServices s;
        s.readSetpointFile = [this](const QString& p) { reads << p; };
        s.endProgram = [this] { ++ends; };
        return s;
    }
};

// A start-up with recording services and counting connects at start, the
// scripted UI answering its message boxes.
struct Start {
    ScriptedUi ui;
    Recorder rec;
    int connects = 0;
    Arranque a;
    explicit Start(Arranque::Options options = quick()) : a(options)
    {
        a.setServices(rec.services());
        a.setConnectAtStart([this] { ++connects; });
    }
};
} // namespace

class tst_arranque : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString handshake_;

private slots:
    void init()
    {
        handshake_ = freshHandshakeFile(dir_);
        qputenv("KOVA_APP_DIR", dir_.path().toLocal8Bit());
    }

    void commandLineMode()
    {
        Start start;
        auto& [ui, rec, connects, a] = start;
        a.Main({"9600,N,8,1", "2", "17"});
        AppState& st = a.state();
        QVERIFY(st.Modo_Linea_Comandos);
        QVERIFY(st.Habilita_Reset);
        QCOMPARE(st.Velocidad, 9600);
        QCOMPARE(int(st.Puerto_Com), 2);
        QCOMPARE(int(st.Direccion_Rele), 17);
        QCOMPARE(st.Ruta_App, dir_.path());
        QCOMPARE(connects, 1);
        Principal* w = a.principal();
        QVERIFY(w && w->isVisible() && w->isEnabled());
        QVERIFY(!w->setupMenu()->isVisible());
        QVERIFY(!w->aboutMenu()->isVisible());
        QVERIFY(rec.reads.isEmpty());
        QCOMPARE(w->panelText(3), QString("COM:  2"));
        QCOMPARE(w->panelText(5), QString("Address:  17"));
        QVERIFY(ui.shown.isEmpty());
        for (QWidget* tl : QApplication::topLevelWidgets())
            QVERIFY2(!qobject_cast<frmSplash*>(tl) || !tl->isVisible(), "no splash");
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100"));

        QVERIFY(w->close());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200"));
        QVERIFY(a.ended());
        QCOMPARE(rec.ends, 1);
    }

    void refusedCommandLineStartsNormallyAndStillAnswers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no comma") << QStringList{"9600", "2", "17"};
        QTest::newRow("port 0") << QStringList{"9600,N,8,1", "17"};
        QTest::newRow("baud") << QStringList{"38400,N,8,1", "2", "17"};
        QTest::newRow("no blank") << QStringList{"9600,N,8,1"};
    }

    void refusedCommandLineStartsNormallyAndStillAnswers()
    {
        QFETCH(QStringList, args);
        Start start;
        auto& [ui, rec, connects, a] = start;
        a.Main(args);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("Invalid command line"));
        QCOMPARE(ui.shown[0].title, QString("KOVA"));
        AppState& st = a.state();
        QVERIFY(!st.Modo_Linea_Comandos);
        QCOMPARE(connects, 0);
        QCOMPARE(st.Velocidad, 9600);
        QCOMPARE(int(st.Puerto_Com), 1);
        QCOMPARE(int(st.Direccion_Rele), 1);
        QCOMPARE(rec.reads, QStringList{dir_.path() + "/Default.KOVA2"});
        Principal* w = a.principal();
        QVERIFY(w->setupMenu()->isVisible());
        QVERIFY(w->aboutMenu()->isVisible());
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100"));

        // Interactive closing asks the question; Yes ends and writes 2.
        QVERIFY(w->close());
        QCOMPARE(ui.shown.size(), 2);
        QCOMPARE(ui.shown[1].text, QString(" Are You Sure ?"));
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200"));
        QVERIFY(a.ended());
    }

    void interactiveStartShowsTheSplashFirst()
    {
        Start start;
        auto& [ui, rec, connects, a] = start;
        frmSplash* seen = nullptr;
        QString version, platform;
        bool mainWindowYet = true;
        // Look at the screen while the splash wait runs.
        QTimer::singleShot(30, [&] {
            for (QWidget* tl : QApplication::topLevelWidgets())
                if (auto* s = qobject_cast<frmSplash*>(tl); s && s->isVisible()) {
                    seen = s;
                    version = s->label("lblVersion")->text();
                    platform = s->label("lblPlatform")->text();
                }
            mainWindowYet = a.principal() != nullptr;
        });
        QElapsedTimer clock;
        clock.start();
        a.Main({});
        QVERIFY(clock.elapsed() >= 100);
        QVERIFY(seen);
        QVERIFY(!mainWindowYet);
        QCOMPARE(version, QString("Version 2.1.4"));
        QCOMPARE(platform, QString("For Linux"));
        for (QWidget* tl : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmSplash*>(tl));
        QVERIFY(ui.shown.isEmpty());
        QVERIFY(!a.state().Modo_Linea_Comandos);
        QVERIFY(a.state().Habilita_Reset);
        QVERIFY(a.principal()->isVisible());
        QVERIFY(a.principal()->aboutMenu()->isVisible());
        QCOMPARE(a.principal()->windowTitle(), QString("KOVA Ver 2.1.4 For KOVA Relays V1.xx"));
        // No calling program: no handshake file.
        QVERIFY(!QFile::exists(handshake_));
        ui.answers.push_back(MsgAnswer::Yes);
        QVERIFY(a.principal()->close());
        QVERIFY(!QFile::exists(handshake_));
    }

    void splashTextsAndLabels()
    {
        frmSplash s;
        const std::pair<const char*, const char*> labels[] = {
            {"lblCompany", "Velmora"},      {"lblVersion", "Version 2.1.4"},
            {"lblPlatform", "For Linux"},   {"lblProductName", "KOVA"},
            {"lblCompanyProduct", "VELMORA"},
        };
        for (auto [name, text] : labels) {
            QLabel* l = s.label(name);
            QVERIFY2(l, name);
            QCOMPARE(l->text(), QString(text));
            QCOMPARE(l->font().family(), QString("Arial"));
        }
        QVERIFY(!s.findChild<QLabel*>("imgLogo")->pixmap().isNull());
    }

    void termSignalDuringCommandLineModeRunsTheUnload()
    {
        Start start(quick(true));
        auto& [ui, rec, connects, a] = start;
        a.Main({"9600,N,8,1", "1", "1"});
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100"));
        ::raise(SIGTERM);
        QTRY_VERIFY(a.ended());
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200"));
        QVERIFY(ui.shown.isEmpty());
        QVERIFY(!a.principal()->isVisible());
    }

    void refusedCommandLineNamesTheExpectedForm()
    {
        Start start;
        start.a.Main({"19200", "2", "5"});
        QCOMPARE(start.ui.shown.size(), 1);
        QCOMPARE(start.ui.shown[0].text, QString("Invalid command line"));
        QCOMPARE(start.ui.shown[0].detail,
                 QString("Expected: \"<baud rate>,N,8,1\" <COM port 1-32767> <slave address 1-247>; baud rate 1200, "
                         "2400, 4800, 9600 or 19200"));
        QCOMPARE(start.ui.shown[0].icon, MsgIcon::Critical);
    }

    // A calling program that gives up ends the program whatever box is
    // open: the box closes, the unload runs and answers 2. Real boxes here.
    void termSignalClosesAnOpenBoxAndEnds_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("invalid command line, SIGTERM") << QStringList{"19200", "2", "5"} << SIGTERM
                                                       << "Invalid command line";
        QTest::newRow("invalid command line, SIGINT") << QStringList{"9600,N,8,1", "2", "0"} << SIGINT
                                                      << "Invalid command line";
        QTest::newRow("main window box, SIGTERM") << QStringList{"9600,N,8,1", "2", "5"} << SIGTERM
                                                  << "Only Communication Mode ";
        QTest::newRow("main window box, SIGHUP") << QStringList{"9600,N,8,1", "2", "5"} << SIGHUP
                                                 << "Only Communication Mode ";
    }

    void termSignalClosesAnOpenBoxAndEnds()
    {
        QFETCH(QStringList, args);
        QFETCH(int, signalNumber);
        QFETCH(QString, boxText);
        std::signal(SIGHUP, SIG_DFL); // whatever the test runner was started with
        Recorder rec;
        Arranque a(quick(true));
        a.setServices(rec.services());
        QString seen, detail;
        bool boxGone = false;
        auto signalInBox = [&] {
            QTimer::singleShot(50, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    seen = box->text();
                    detail = box->informativeText();
                }
                ::raise(signalNumber);
                QTimer::singleShot(100, [&] { boxGone = QApplication::activeModalWidget() == nullptr; });
            });
        };
        // Should the box stay open, the test fails instead of waiting forever.
        QTimer rescue;
        rescue.setSingleShot(true);
        connect(&rescue, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
        rescue.start(5000);
        QElapsedTimer clock;
        clock.start();
        if (boxText == "Invalid command line") {
            signalInBox();
            a.Main(args);
            QCOMPARE(detail, Arranque::kExpectedCommandLine);
            // The splash wait is skipped.
            QVERIFY(clock.elapsed() < 3000);
        } else {
            a.Main(args);
            QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100"));
            signalInBox();
            a.principal()->Reset_Relay_Click();
        }
        QCOMPARE(seen, boxText);
        QTRY_VERIFY(a.ended());
        QTRY_VERIFY(boxGone);
        QCOMPARE(rec.ends, 1);
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200"));
        QVERIFY(!a.principal() || !a.principal()->isVisible());
        // Boxes opened while the program ends answer at once.
        QCOMPARE(ui().msgBox("late", MsgButtons::YesNoCancel, MsgIcon::Question, "t"), MsgAnswer::Cancel);
    }

    void termSignalDuringTheSplashEndsItsWait()
    {
        Arranque::Options o = quick(true);
        o.splashMs = 5000;
        Start start(o);
        QTimer::singleShot(50, [] { ::raise(SIGTERM); });
        QElapsedTimer clock;
        clock.start();
        start.a.Main({});
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(start.a.ended());
        QCOMPARE(start.rec.ends, 1);
        QVERIFY(start.ui.shown.isEmpty());
    }

    void termSignalInInteractiveModeAsksNothing()
    {
        Start start(quick(true));
        auto& [ui, rec, connects, a] = start;
        a.Main({});
        ::raise(SIGINT);
        QTRY_VERIFY(a.ended());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(rec.ends, 1);
    }
};

QTEST_MAIN(tst_arranque)
#include "tst_arranque.moc"
