// The connection window: its load from the shared settings, OK, Cancel,
// OFF, the connect with its save question, and the program going online
// against the simulated relay, with a link error keeping whole images.

#include "app/AppContext.h"
#include "app/support/ProgramWindow.h"
#include "app/Comunicacion.h"
#include "editors/EditorWidgets.h"
#include "link/RegisterImages.h"
#include "platform/PtyPair.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;
using kova::test::PtyPair;
using kova::test::ScriptedUi;
using kova::test::builtDefaultFile;
using kova::test::imageBytes;
using kova::test::readAll;

namespace {

using Program = kova::test::ProgramWindow;

// socat pty pair with the simulated relay on one end; COM n maps to the other.
struct SimulatedRelay {
    QTemporaryDir dir;
    QProcess socat, sim;
    QString log;
    bool start(int com, const QStringList& options)
    {
        socat.start("socat", {"pty,raw,echo=0,link=" + dir.filePath("relay"),
                              "pty,raw,echo=0,link=" + dir.filePath("com")});
        if (!socat.waitForStarted()) return false;
        if (!QTest::qWaitFor([&] { return QFile::exists(dir.filePath("relay")) && QFile::exists(dir.filePath("com")); },
                             5000))
            return false;
        log = dir.filePath("sim.log");
        sim.setProcessChannelMode(QProcess::ForwardedChannels);
        sim.start(kova::test::relaySimPath(),
                  QStringList{"--device", dir.filePath("relay"), "--log", log} + options);
        if (!sim.waitForStarted()) return false;
        if (!QTest::qWaitFor([&] { return readAll(log).startsWith("ready"); }, 5000)) return false;
        qputenv(("KOVA_COM" + QByteArray::number(com)).constData(), dir.filePath("com").toLocal8Bit());
        return true;
    }
    int requests() const { return int(readAll(log).count("\nreq ")); }
    ~SimulatedRelay()
    {
        for (QProcess* p : {&sim, &socat}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
};

} // namespace

class tst_comunicacion : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QByteArray defaults_;

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        defaults_ = readAll(dir_.filePath("Default.KOVA2")).mid(198, 301);
        QCOMPARE(defaults_.size(), 301);
    }

    void init() { processImages() = RegisterImages{}; }

    void loadShowsTheSettings_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("modem");
        QTest::addColumn<bool>("online");
        QTest::addColumn<int>("baudIndex");
        QTest::addColumn<QString>("portText");
        QTest::newRow("9600 COM 3") << 9600 << 3 << false << false << 3 << "COM 3";
        QTest::newRow("19200 COM 8 modem online") << 19200 << 8 << true << true << 4 << "COM 8";
        QTest::newRow("38400 COM 12") << 38400 << 12 << false << false << -1 << "";
    }

    void loadShowsTheSettings()
    {
        QFETCH(int, baud);
        QFETCH(int, port);
        QFETCH(bool, modem);
        QFETCH(bool, online);
        QFETCH(int, baudIndex);
        QFETCH(QString, portText);
        ScriptedUi ui;
        Program p(dir_.path());
        p.st.Velocidad = baud;
        p.st.Puerto_Com = std::int16_t(port);
        p.st.Direccion_Rele = 17;
        p.st.Modo_Modem = modem;
        p.st.link.Comunicando = online;
        p.st.Telefono = "5551234             ";
        Comunicacion c(p.st, p.ctx, *p.w);
        QCOMPARE(c.windowTitle(), QString("COMMUNICATION CONTROL"));
        c.Form_Load();
        QVERIFY(!p.w->isEnabled());
        QCOMPARE(c.Combo2()->currentIndex(), baudIndex);
        QCOMPARE(c.Combo3()->currentIndex(), baudIndex);
        QCOMPARE(c.Combo1()->currentText(), portText);
        QCOMPARE(c.Byte_UnR1()->Value(), 17);
        QCOMPARE(c.Option1(0)->isChecked(), modem);
        QCOMPARE(c.Option1(1)->isChecked(), !modem);
        QCOMPARE(c.Label6()->text(), QString(online ? "Communication Stablished" : "Communication Not Stablished"));
        QCOMPARE(c.Text1()->text(), QString("5551234"));
        QCOMPARE(c.Combo1()->count(), 8);
        // OK keeps a setting its list cannot show.
        c.Okey_Click();
        QCOMPARE(p.st.Velocidad, baud);
        QCOMPARE(int(p.st.Puerto_Com), port);
        QVERIFY(p.w->isEnabled());
    }

    // The box shows the number without its padding, so what is typed follows it; it is kept padded to 20.
    void telephoneShownWithoutBlanksKeptPadded_data()
    {
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("kept");
        const QString blank(20, ' ');
        QTest::newRow("blank") << blank << "5551234" << "" << "5551234" + QString(13, ' ');
        QTest::newRow("number") << "5551234" + QString(13, ' ') << "9" << "5551234" << "55512349" + QString(12, ' ');
        QTest::newRow("25 typed") << blank << "1234567890123456789012345" << "" << "12345678901234567890";
    }

    void telephoneShownWithoutBlanksKeptPadded()
    {
        QFETCH(QString, held);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        ScriptedUi ui;
        Program p(dir_.path());
        p.st.Telefono = held;
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QCOMPARE(c.Text1()->text(), shown);
        c.show();
        QTest::keyClicks(c.Text1(), typed);
        QCOMPARE(p.st.Telefono, kept);
        c.Okey_Click();
        Comunicacion again(p.st, p.ctx, *p.w);
        again.Form_Load();
        QCOMPARE(again.Text1()->text(), kept.trimmed());
    }

    void openedFromTheMenuTheWindowTakesInput()
    {
        ScriptedUi ui;
        Program p(dir_.path());
        p.w->show();
        bool windowEnabled = false, mainEnabled = true;
        QString title;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            Comunicacion* c = nullptr;
            for (QWidget* tl : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<Comunicacion*>(tl); found && found->isVisible()) c = found;
            if (!c) return;
            title = c->windowTitle();
            windowEnabled = c->isEnabled() && c->Combo1()->isEnabled();
            mainEnabled = p.w->isEnabled();
            poll.stop();
            if (windowEnabled) c->findChild<QPushButton*>("Cancelar")->click();
            else c->Cancelar_Click();
        });
        poll.start();
        p.w->command("Comunica")->trigger();
        QCOMPARE(title, QString("COMMUNICATION CONTROL"));
        QVERIFY(windowEnabled);
        QVERIFY(!mainEnabled);
        QVERIFY(p.w->isEnabled());
    }

    void okWritesTheAddressIntoTheImageOnly()
    {
        ScriptedUi ui;
        Program p(dir_.path());
        p.ctx.DELU().setDireccion(1);
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        const QByteArray getBefore = imageBytes(processImages().get);
        c.Byte_UnR1()->setValue(17);
        c.Combo1()->setCurrentIndex(2);
        c.Combo2()->setCurrentIndex(4);
        c.Okey_Click();
        QCOMPARE(int(p.st.Direccion_Rele), 17);
        QCOMPARE(int(processImages().put[46]), 17);
        QCOMPARE(imageBytes(processImages().get), getBefore);
        QCOMPARE(int(p.st.Puerto_Com), 3);
        QCOMPARE(p.st.Velocidad, 19200);
        QCOMPARE(p.w->panelText(5), QString("Address:  17"));
        QCOMPARE(p.w->panelText(4), QString("Baud Rate:  19200"));
        QCOMPARE(p.w->panelText(3), QString("COM: 3"));
        QCOMPARE(int(p.ctx.DELU().Direccion()), 1);
        QVERIFY(p.w->isEnabled());
        QCOMPARE(c.result(), int(QDialog::Accepted));
    }

    void cancelAndEscapeChangeNothing()
    {
        ScriptedUi ui;
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.Byte_UnR1()->setValue(40);
        c.Combo2()->setCurrentIndex(0);
        c.reject(); // Escape
        QCOMPARE(int(p.st.Direccion_Rele), 1);
        QCOMPARE(p.st.Velocidad, 9600);
        QVERIFY(p.w->isEnabled());
        QCOMPARE(c.result(), int(QDialog::Rejected));
    }

    void offWritesOneZeroAndKeepsThePortOpen()
    {
        ScriptedUi ui;
        PtyPair pty;
        pty.bindCom(4);
        Program p(dir_.path());
        QtSerialPort& port = p.ctx.MSComm1();
        port.setCommPort(4);
        port.setPortOpen(true);
        QVERIFY(port.portOpen());
        processImages().put[5] ^= 0xFF;
        p.ctx.archivos()->Firmware_Rele = "1.07";
        p.st.link.Comunicando = true;
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.Command2_Click();
        QCOMPARE(pty.readAtLeast(1, 1000), QByteArray(1, '\0'));
        QTest::qWait(50);
        QCOMPARE(pty.readAvailable(), QByteArray());
        QVERIFY(port.portOpen());
        QVERIFY(p.st.link.Detener_Comunicacion);
        QVERIFY(!p.st.link.Comunicando);
        QCOMPARE(imageBytes(processImages().put), defaults_);
        QCOMPARE(p.ctx.archivos()->Firmware_Rele, std::string("1.01"));
        QCOMPARE(p.w->panelText(6), QString("Not Communicating...."));
        QCOMPARE(c.Label6()->text(), QString("Communication Not Stablished"));
        port.setPortOpen(false);
    }

    void unloadSendsOneZeroThenClosesThePort()
    {
        ScriptedUi ui;
        PtyPair pty;
        pty.bindCom(5);
        Program p(dir_.path());
        p.st.Modo_Linea_Comandos = true;
        p.st.Handshake_Activo = false;
        p.ctx.MSComm1().setCommPort(5);
        p.ctx.MSComm1().setPortOpen(true);
        p.w->show();
        p.w->terminateBySignal();
        QVERIFY(!p.ctx.MSComm1().portOpen());
        QCOMPARE(pty.readAtLeast(1, 1000), QByteArray(1, '\0'));
        QVERIFY(ui.shown.isEmpty());
    }

    void connectCancelledChangesNothing()
    {
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer::Cancel);
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.Byte_UnR1()->setValue(9);
        c.Combo1()->setCurrentIndex(5);
        QVERIFY(!c.Command1_Click());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("SetPoints Will be Lost, Do you want to save it?"));
        QCOMPARE(ui.shown[0].buttons, MsgButtons::YesNoCancel);
        QCOMPARE(ui.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.shown[0].title, QString("KOVA Ver 2.1.4 For KOVA Relays V1.xx"));
        QCOMPARE(int(p.st.Direccion_Rele), 1);
        QCOMPARE(int(p.st.Puerto_Com), 1);
        QCOMPARE(int(p.ctx.DELU().Puerto_PC()), 0);
        QVERIFY(!p.ctx.MSComm1().portOpen());
        QVERIFY(c.Botones()->isEnabled());
        QVERIFY(!c.TmrStateCom().isActive());

        // Yes with a cancelled save dialog aborts too.
        ui.answers.push_back(MsgAnswer::Yes);
        QVERIFY(!c.Command1_Click());
        QCOMPARE(int(p.st.Puerto_Com), 1);
        QVERIFY(!p.ctx.MSComm1().portOpen());
    }

    void connectWithModemOpensNothing()
    {
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer::No);
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.Option1(0)->click();
        QVERIFY(p.st.Modo_Modem);
        c.Byte_UnR1()->setValue(5);
        c.Combo1()->setCurrentIndex(1);
        QVERIFY(!c.Command1_Click());
        QVERIFY(!p.ctx.MSComm1().portOpen());
        QCOMPARE(int(p.ctx.DELU().Puerto_PC()), 2);
        QCOMPARE(p.ctx.DELU().Cadena_Com(), std::string("9600"));
        QCOMPARE(int(p.ctx.DELU().Direccion()), 5);
        QCOMPARE(p.w->panelText(3), QString("COM: 2"));
        QCOMPARE(p.w->panelText(5), QString("Address:  5"));
        QVERIFY(!c.TmrStateCom().isActive());
    }

    // A screen reader checks a radio button by its toggle action, without a
    // click: the choice holds all the same, and with Modem chosen ON opens
    // and sends nothing on a port that would open.
    void communicationTypeChosenByAScreenReader()
    {
        ScriptedUi ui;
        PtyPair pty;
        pty.bindCom(6);
        Program p(dir_.path());
        p.st.Puerto_Com = 6;
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.show();
        const auto toggle = [&c](int option) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.Option1(option));
            QVERIFY(a && a->actionInterface());
            a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        toggle(0);
        QVERIFY(c.Option1(0)->isChecked());
        QVERIFY(p.st.Modo_Modem);
        ui.answers.push_back(MsgAnswer::No);
        QVERIFY(!c.Command1_Click());
        QVERIFY(!p.ctx.MSComm1().portOpen());
        QTest::qWait(100);
        QCOMPARE(pty.readAvailable(), QByteArray());

        toggle(1);
        QVERIFY(!p.st.Modo_Modem);
        ui.answers.push_back(MsgAnswer::No);
        QVERIFY(c.Command1_Click());
        QVERIFY(p.ctx.MSComm1().portOpen());
        p.ctx.MSComm1().setPortOpen(false);
        qunsetenv("KOVA_COM6");
    }

    void connectToAMissingPortSendsNothing()
    {
        ScriptedUi ui;
        qputenv("KOVA_COM7", dir_.filePath("no-such-device").toLocal8Bit());
        Program p(dir_.path());
        p.st.Modo_Linea_Comandos = true; // no question
        p.st.Puerto_Com = 7;
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QVERIFY(!c.Command1_Click());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("Invalid Number Port: COM 7"));
        QCOMPARE(ui.shown[0].detail,
                 dir_.filePath("no-such-device") +
                     QString::fromUtf8(": no such device \u2014 KOVA_COM7 names this device, which does not exist"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!p.ctx.MSComm1().portOpen());
        QVERIFY(!c.TmrStateCom().isActive());
        QVERIFY(c.Botones()->isEnabled());
        for (int q = 0; q < 4; ++q)
            QCOMPARE(p.ctx.scheduler().Estado_Solicitud(q, 0), Proceso_Comunicacion::kLibre);
    }

    void goesOnlineAndKeepsWholeImagesOnALinkError()
    {
        if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
        SimulatedRelay relay;
        // 1 identification + 6 blocks + 2 values answered, then silence.
        QVERIFY(relay.start(1, {"--alt-setpoints", "--silent-from", "10"}));
        ScriptedUi ui;
        Program p(dir_.path());
        p.ctx.linkLoop().setIntervals(100, 5, 20);
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        ui.answers.push_back(MsgAnswer::No);
        QVERIFY(p.ctx.archivos()->Datos_De_Archivo); // Default.KOVA2 loaded
        QVERIFY(c.Command1_Click());
        QVERIFY(c.TmrStateCom().isActive());
        QTRY_VERIFY_WITH_TIMEOUT(p.st.link.Comunicando, 5000);
        QVERIFY(!p.ctx.archivos()->Datos_De_Archivo);
        QTRY_COMPARE_WITH_TIMEOUT(p.ctx.setpointBlocksRead(), 6, 5000);
        // The relay's setpoints (which differ from the default file) are in.
        QVERIFY(imageBytes(processImages().put) != defaults_);
        QCOMPARE(imageBytes(processImages().get), imageBytes(processImages().put));
        processImages().put[7] ^= 0x01; // the user's edit
        const QByteArray edited = imageBytes(processImages().put);

        QTRY_COMPARE_WITH_TIMEOUT(ui.shown.size(), 2, 15000);
        QCOMPARE(ui.shown[1].text, QString(" Communication Error..."));
        QCOMPARE(ui.shown[1].title, QString("Communication Error"));
        QVERIFY(!p.st.link.Comunicando);
        QCOMPARE(imageBytes(processImages().put), edited);
        QCOMPARE(p.w->panelText(6), QString("Not Communicating...."));
        QCOMPARE(c.Label6()->text(), QString("Communication Not Stablished"));
        // Reported once; nothing more goes out.
        const int sent = relay.requests();
        QTest::qWait(800);
        QCOMPARE(ui.shown.size(), 2);
        QCOMPARE(relay.requests(), sent);
        p.ctx.MSComm1().setPortOpen(false);
    }

    void linkErrorDuringTheBlockReadsLoadsTheDefaults()
    {
        if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
        SimulatedRelay relay;
        // Identification and two blocks answered, then silence.
        QVERIFY(relay.start(1, {"--alt-setpoints", "--silent-from", "4"}));
        ScriptedUi ui;
        Program p(dir_.path());
        p.ctx.linkLoop().setIntervals(100, 5, 20);
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        ui.answers.push_back(MsgAnswer::No);
        QVERIFY(c.Command1_Click());
        QTRY_VERIFY_WITH_TIMEOUT(p.ctx.setpointBlocksRead() == 2, 5000);
        processImages().put[7] ^= 0x01; // an edit on a mixture of two setpoint sets
        QTRY_COMPARE_WITH_TIMEOUT(ui.shown.size(), 2, 15000);
        QCOMPARE(ui.shown[1].text, QString(" Communication Error..."));
        QCOMPARE(imageBytes(processImages().put), defaults_);
        QCOMPARE(imageBytes(processImages().get), defaults_);
        p.ctx.MSComm1().setPortOpen(false);
    }

    // From ON until the first passed reply or the end of the connect, every
    // window shows the busy cursor; each way of ending restores it once.
    void busyCursorWhileConnecting_data()
    {
        QTest::addColumn<QStringList>("relayOptions");
        QTest::addColumn<QString>("end");
        QTest::newRow("first reply") << QStringList{} << "reply";
        QTest::newRow("link error") << QStringList{"--silent-from", "1"} << "error";
        QTest::newRow("OFF") << QStringList{"--silent-from", "1"} << "off";
        QTest::newRow("New") << QStringList{"--silent-from", "1"} << "new";
    }

    void busyCursorWhileConnecting()
    {
        QFETCH(QStringList, relayOptions);
        QFETCH(QString, end);
        if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
        SimulatedRelay relay;
        QVERIFY(relay.start(3, relayOptions));
        ScriptedUi ui;
        Program p(dir_.path());
        p.st.Modo_Linea_Comandos = true;
        p.st.Puerto_Com = 3;
        p.st.Direccion_Rele = 1;
        p.ctx.linkLoop().setIntervals(100, 5, 20);
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(c.Command1_Click());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        if (end == "off") c.Command2_Click();
        if (end == "new") p.w->Nuevo_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::overrideCursor(), 10000);
        if (end == "reply") QVERIFY(p.st.link.Comunicando);
        if (end == "error") QCOMPARE(ui.shown.last().text, QString(" Communication Error..."));
        // Texts and timers as before.
        QVERIFY(c.TmrStateCom().isActive());
        p.ctx.MSComm1().setPortOpen(false);
    }

    void portListShowsTheDevices()
    {
        for (int n = 1; n <= 8; ++n)
            qunsetenv(("KOVA_COM" + QByteArray::number(n)).constData());
        qputenv("KOVA_COM2", "/dev/ttyUSB0");
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        qunsetenv("KOVA_COM2");
        QCOMPARE(c.Combo1()->count(), 8);
        QCOMPARE(c.Combo1()->itemText(1), QString("COM 2"));
        QCOMPARE(c.Combo1()->itemData(0, Qt::ToolTipRole).toString(),
                 QString("/dev/ttyS0 (set KOVA_COM1 to use another device)"));
        QCOMPARE(c.Combo1()->itemData(1, Qt::ToolTipRole).toString(), QString("/dev/ttyUSB0 (from KOVA_COM2)"));
        const QStringList lines = c.Combo1()->toolTip().split('\n');
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines[1], QString("COM 2: /dev/ttyUSB0 (from KOVA_COM2)"));
        QCOMPARE(lines[7], QString("COM 8: /dev/ttyS7 (set KOVA_COM8 to use another device)"));
    }

    // A screen reader reads each control of the communication type by its own caption.
    void communicationTypeControlsHaveTheirOwnNames()
    {
        Program p(dir_.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.show();
        const auto name = [](QWidget* w) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            return a ? a->text(QAccessible::Name) : QString();
        };
        QCOMPARE(name(c.Option1(0)), QString("Modem"));
        QCOMPARE(name(c.Option1(1)), QString("RS485/422"));
        QCOMPARE(name(c.Text1()), QString("Telephone Number"));
    }

    void statusTimerShowsTheLinkOnceOnline()
    {
        if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
        SimulatedRelay relay;
        QVERIFY(relay.start(2, {}));
        ScriptedUi ui;
        Program p(dir_.path());
        p.st.Modo_Linea_Comandos = true;
        p.st.Puerto_Com = 2;
        p.st.Direccion_Rele = 1;
        // The link's own 500 ms refresh would overwrite the watch's text.
        p.ctx.linkLoop().setRefreshInterval(60000);
        p.ctx.connectAtStart();
        QVERIFY(ui.shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(p.st.link.Comunicando, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(p.w->panelText(6), QString("Communicating...."), 8000);
        QCOMPARE(p.w->panelText(3), QString("COM: 2"));
        p.ctx.MSComm1().setPortOpen(false);
    }
};

QTEST_MAIN(tst_comunicacion)
#include "tst_comunicacion.moc"
