// The main window: captions, menus, panels, exit question, file commands,
// Reset Relay, About and the handshake file.

#include "app/Principal.h"
#include "app/frmAbout.h"
#include "editors/KeypadBlock.h"
#include "platform/UiNotifier.h"
#include "support/AppFiles.h"
#include "support/RecordingSerialPort.h"
#include "support/ScriptedUi.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

using namespace kova;
using kova::test::RecordingSerialPort;
using kova::test::ScriptedUi;
using kova::test::freshHandshakeFile;
using kova::test::readAll;

namespace {

// Records what the main window asks of the services around it.
struct Calls {
    QStringList log;
    QString engineVersion = QStringLiteral("1.05");
    QString firmware = QStringLiteral("1.05    ");
    int ends = 0;
    std::vector<std::pair<int, int>> queued;

    MainWindowServices services()
    {
        MainWindowServices s;
        s.readSetpointFile = [this](const QString& p) { log << "read " + p; };
        s.openSetpoints = [this] { log << "open"; };
        s.saveSetpoints = [this] { log << "save"; };
        s.engineVersion = [this] {
            log << "version?";
            return engineVersion;
        };
        s.setEngineVersion = [this](const QString& v) {
            log << "version=" + v;
            engineVersion = v;
        };
        s.firmwareRele = [this] { return firmware; };
        s.setFirmwareRele = [this](const QString& f) { firmware = f; };
        s.queueRequest = [this](int q, int c) { queued.emplace_back(q, c); };
        s.endProgram = [this] { ++ends; };
        return s;
    }

    // services() with every page, window, send and print command logged.
    MainWindowServices everyCommand()
    {
        MainWindowServices s = services();
        s.openSetpointPage = [this](const QString& form) { log << "page " + form; };
        s.openValuePage = [this](const QString& form) { log << "values " + form; };
        s.openEventsPage = [this] { log << "events"; };
        s.openClockPage = [this] { log << "clock"; };
        s.openCommunication = [this] { log << "communication"; };
        s.openProperties = [this] { log << "properties"; };
        s.sendSetpoints = [this] { log << "send"; };
        s.printActualValues = [this] { log << "print values"; };
        s.printEvents = [this] { log << "print events"; };
        s.printSetpoints = [this] { log << "print setpoints"; };
        return s;
    }
};

// Presses a command the way a screen reader, voice control or switch access
// does: the press action of its menu item or tool-bar button.
void pressAccessibly(QAction* a)
{
    for (QObject* o : a->associatedObjects()) {
        QAccessibleInterface* item = nullptr;
        if (auto* bar = qobject_cast<QToolBar*>(o)) {
            item = QAccessible::queryAccessibleInterface(bar->widgetForAction(a));
        } else if (auto* menu = qobject_cast<QWidget*>(o)) { // a menu or the menu bar
            QAccessibleInterface* m = QAccessible::queryAccessibleInterface(menu);
            item = m ? m->child(int(menu->actions().indexOf(a))) : nullptr;
        }
        if (item && item->actionInterface())
            item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
}

} // namespace

class tst_principal : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString handshake_;

private slots:
    void init()
    {
        handshake_ = freshHandshakeFile(dir_);
    }

    void loadSetsDefaultsPanelsAndCaption()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Ruta_App = "/opt/kova";
        st.link.Comunicando = true;
        st.Modo_Modem = true;
        st.Imprimiendo = true;
        st.Puerto_Com = 4;
        keypadBlock().Calc_Tipo = 0;
        MainWindowServices svc = calls.services();
        svc.attach = [&](Principal& p) {
            calls.log << "attach";
            QCOMPARE(p.panelText(3), QString("COM: 4")); // design text, load not run yet
        };
        Principal w(st, svc);
        QCOMPARE(w.windowTitle(), QString("KOVA Ver 2.1.4 For KOVA Relays V1.xx"));
        QCOMPARE(w.panelText(3), QString("COM:  1"));
        QCOMPARE(w.panelText(4), QString("Baud Rate:  9600"));
        QCOMPARE(w.panelText(5), QString("Address:  1"));
        QCOMPARE(w.panelText(6), QString("Not Communicating...."));
        QCOMPARE(w.panelText(1), QString());
        QCOMPARE(w.panelText(2), QString());
        QCOMPARE(calls.log, (QStringList{"attach", "read /opt/kova/Default.KOVA2"}));
        QCOMPARE(int(keypadBlock().Calc_Tipo), 1);
        QVERIFY(!st.link.Comunicando);
        QVERIFY(!st.Modo_Modem);
        QVERIFY(!st.Imprimiendo);
        QCOMPARE(calls.firmware, QString("1.01"));
        QVERIFY(w.isEnabled());
        QVERIFY(ui.shown.isEmpty());
    }

    void loadInCommandLineModeKeepsTheLineAndReadsNoFile()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Modo_Linea_Comandos = true;
        st.Velocidad = 19200;
        st.Puerto_Com = 2;
        st.Direccion_Rele = 17;
        Principal w(st, calls.services());
        QVERIFY(calls.log.isEmpty());
        QCOMPARE(w.panelText(3), QString("COM:  2"));
        QCOMPARE(w.panelText(4), QString("Baud Rate:  19200"));
        QCOMPARE(w.panelText(5), QString("Address:  17"));
    }

    void menuTreeCaptionsAndShortcuts()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        Principal w(st, calls.services());

        struct Item {
            const char* name;
            const char* caption;
            const char* shortcut;
            bool enabled;
        };
        const Item items[] = {
            {"Nuevo", "&New", "Ctrl+N", true},
            {"Load_s", "&Load", "Ctrl+L", true},
            {"Save_s", "&Save", "Ctrl+S", true},
            {"Send", "Send SetPoints To &Relay", "", false},
            {"Imprimir", "Print", "", true},
            {"P_Setpoints", "&SetPoints", "", false},
            {"P_Actual", "Actual &Values", "", false},
            {"P_Events", "&Events", "", false},
            {"Salida", "&Exit", "", true},
            {"Set_page2", "S&ystem Setup", "", false},
            {"MnuPhProtec", "&Phase Protections ", "", false},
            {"MnuGndProtec", "&Ground Protections", "", false},
            {"MnuVoltProtec", "&Voltage Protections", "", false},
            {"mnuFreqProtec", "Fre&quency Protections", "", false},
            {"mnuPowerProtec", "Power Protections", "", false},
            {"mnuOutputRel", "&Output Relays", "", false},
            {"mnuInputs", "&Digital Inputs", "", false},
            {"mnu_Event", "E&vent Recorder", "", false},
            {"mnuDateTime", "&Date and Time System", "", false},
            {"Reset_Relay", "&Reset Relay", "", true},
            {"AV_page1", "&Metering Data", "", false},
            {"mnuPowerData", "&Power and Energy Data", "", false},
            {"MnuDemandData", "&Demand Data", "", false},
            {"AV_page2", "Maintenance Data", "", false},
            {"AV_page3", "Last &Trip Data", "", false},
            {"AV_page4", "&Events", "", false},
            {"Setup", "S&etup", "", true},
            {"Comunica", "&Communication", "F5", false},
            {"RELAY_P", "Relay &Properties", "", false},
            {"About", "&About", "", true},
        };
        for (const auto& it : items) {
            QAction* a = w.command(it.name);
            QVERIFY2(a, it.name);
            QCOMPARE(a->text(), QString(it.caption));
            QCOMPARE(a->shortcut(), QKeySequence(QString(it.shortcut)));
            QCOMPARE(a->isEnabled(), it.enabled);
            QVERIFY2(a->isVisible(), it.name);
        }

        // Top menus in order, with their items and separators in order.
        const QList<QAction*> top = w.menuBar()->actions();
        QStringList topCaptions;
        for (QAction* a : top) topCaptions << a->text();
        QCOMPARE(topCaptions, (QStringList{"&File", "&SetPoints", "Actual &Values", "S&etup", "&About"}));
        auto names = [](QMenu* m) {
            QStringList out;
            for (QAction* a : m->actions()) out << (a->isSeparator() ? "-" : a->objectName());
            return out;
        };
        QCOMPARE(names(top[0]->menu()), (QStringList{"Nuevo", "-", "Load_s", "Save_s", "Send", "Imprimir", "-", "Salida"}));
        QCOMPARE(names(top[0]->menu()->actions()[5]->menu()), (QStringList{"P_Setpoints", "P_Actual", "P_Events"}));
        QCOMPARE(names(top[1]->menu()).size(), 12);
        QCOMPARE(names(top[1]->menu())[10], QString("-"));
        QCOMPARE(names(top[2]->menu()), (QStringList{"AV_page1", "mnuPowerData", "MnuDemandData", "AV_page2", "AV_page3", "AV_page4"}));
        QCOMPARE(names(top[3]->menu()), (QStringList{"Comunica", "RELAY_P"}));
        QVERIFY(!top[4]->menu());
    }

    void communicationCommandNeedsItsWindow()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        int opened = 0;
        MainWindowServices svc = calls.services();
        svc.openCommunication = [&] { ++opened; };
        Principal w(st, svc);
        QVERIFY(w.command("Comunica")->isEnabled());
        w.command("Comunica")->trigger();
        QCOMPARE(opened, 1);
        pressAccessibly(w.command("Comunica"));
        QCOMPARE(opened, 2);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keySequence(&w, QKeySequence(Qt::Key_F5));
        QCOMPARE(opened, 3);
    }

    // While a page is open (or a send, a STORE or a box outside commands is under way) no command runs over it,
    // however it is reached: its action is disabled (menu, tool bar, shortcut,
    // accessibility press) and its handler, entered all the same, does
    // nothing; nor does the close box, in either mode. Afterwards every command is as it was.
    void commandsDoNothingWhileAPageIsOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("commandLine");
        for (const char* name :
             {"Nuevo", "Load_s", "Save_s", "Send", "P_Setpoints", "P_Actual", "P_Events", "Salida", "Set_page2",
              "MnuPhProtec", "MnuGndProtec", "MnuVoltProtec", "mnuFreqProtec", "mnuPowerProtec", "mnuOutputRel",
              "mnuInputs", "mnu_Event", "mnuDateTime", "Reset_Relay", "AV_page1", "mnuPowerData", "MnuDemandData",
              "AV_page2", "AV_page3", "AV_page4", "Comunica", "RELAY_P", "About", "Toolbar1_1", "Toolbar1_2",
              "Toolbar1_3", "Toolbar1_4", "Toolbar1_5", "Toolbar1_6"})
            QTest::newRow(name) << QString(name) << false;
        QTest::newRow("Salida, command line") << QString("Salida") << true;
    }

    void commandsDoNothingWhileAPageIsOpen()
    {
        QFETCH(QString, command);
        QFETCH(bool, commandLine);
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer::Yes);
        Calls calls;
        AppState st;
        st.Modo_Linea_Comandos = commandLine;
        st.link.Comunicando = true;
        st.Habilita_Reset = true;
        MainWindowServices svc = calls.everyCommand();
        bool storing = false;
        int storeAsked = 0;
        svc.storeUnderWay = [&] { return ++storeAsked, storing; };
        Principal* window = nullptr;
        bool enabledInside = true, runningInside = false, open = false, closedInside = true;
        svc.openSetpointPage = [&](const QString& form) {
            calls.log << "page " + form;
            if (std::exchange(open, true)) return;
            QAction* a = window->command(command);
            enabledInside = a->isEnabled();
            runningInside = window->commandRunning();
            a->trigger();
            if (!a->shortcut().isEmpty()) QTest::keySequence(window, a->shortcut());
            pressAccessibly(a);
            emit a->triggered(false); // as if its enabled state were not looked at
            closedInside = window->close();
        };
        Principal w(st, svc);
        window = &w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        std::map<QAction*, bool> before;
        for (QAction* a : w.findChildren<QAction*>()) before[a] = a->isEnabled();
        calls.log.clear();
        w.command("MnuPhProtec")->trigger();
        QCOMPARE(calls.log, QStringList{"page SETPAGE3"});
        QVERIFY(!enabledInside);
        QVERIFY(runningInside);
        QVERIFY(!closedInside);
        QVERIFY(calls.queued.empty());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(calls.ends, 0);
        QVERIFY(w.isVisible());
        QVERIFY(!w.commandRunning());
        for (QAction* a : w.findChildren<QAction*>()) QVERIFY2(a->isEnabled() == before[a], qPrintable(a->objectName()));

        // The command reached again, and the close box: true when both are refused and nothing ran.
        const auto refused = [&] {
            QAction* a = w.command(command);
            const bool enabled = a->isEnabled();
            pressAccessibly(a);
            emit a->triggered(false);
            return !enabled && !w.close() && w.isVisible() && calls.log == QStringList{"page SETPAGE3"} &&
                   calls.queued.empty() && calls.ends == 0;
        };
        // A send of a setpoint file: the command, reached all the same, does nothing until the send ends; told
        // of the send, the commands are disabled, and as they were after it.
        st.Grabando_Setpoints = true;
        pressAccessibly(w.command(command));
        emit w.command(command)->triggered(false);
        QCOMPARE(calls.log, QStringList{"page SETPAGE3"});
        QVERIFY(calls.queued.empty() && ui.shown.isEmpty() && calls.ends == 0);
        w.busyChanged();
        QVERIFY(refused());
        st.Grabando_Setpoints = false;
        w.busyChanged();
        for (QAction* a : w.findChildren<QAction*>()) QVERIFY2(a->isEnabled() == before[a], qPrintable(a->objectName()));

        // A box raised outside a command (the link lost while idle): the same while it is up.
        bool refusedInBox = false;
        ui.onShow = [&](const auto&) { refusedInBox = refused(); };
        UiNotifier().critical(" Communication Error...", "Communication Error");
        ui.onShow = nullptr;
        QVERIFY(refusedInBox);
        QCOMPARE(ui.shown.size(), 1);
        for (QAction* a : w.findChildren<QAction*>()) QVERIFY2(a->isEnabled() == before[a], qPrintable(a->objectName()));

        // A STORE under way after its page closed (the clock's): the same until its end is looked at, once the
        // link has handled the request it told of; with nothing held, nothing is looked at.
        storing = true;
        w.busyChanged();
        QVERIFY(refused());
        storing = false;
        w.storeMayHaveEnded();
        QVERIFY(!w.command(command)->isEnabled());
        QCoreApplication::processEvents();
        for (QAction* a : w.findChildren<QAction*>()) QVERIFY2(a->isEnabled() == before[a], qPrintable(a->objectName()));
        const int asked = storeAsked;
        w.storeMayHaveEnded();
        QCoreApplication::processEvents();
        QCOMPARE(storeAsked, asked);
    }

    void actualValueCommandsOpenTheirPages()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        QStringList opened;
        MainWindowServices svc = calls.services();
        svc.openValuePage = [&](const QString& form) { opened << form; };
        Principal w(st, svc);
        for (const char* name : {"AV_page1", "mnuPowerData", "MnuDemandData", "AV_page2", "AV_page3", "Toolbar1_4"}) {
            QVERIFY2(w.command(name)->isEnabled(), name);
            w.command(name)->trigger();
        }
        QCOMPARE(opened, (QStringList{"AVPAGE1", "AVPAGE2", "AVPAGE6", "AVPAGE3", "AVPAGE5", "AVPAGE1"}));
        QVERIFY(!w.command("AV_page4")->isEnabled());
        w.Toolbar1_ButtonClick(4);
        QCOMPARE(opened.size(), 7);
    }

    void toolBarButtons()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        Principal w(st, calls.services());
        const char* texts[] = {"Open File", "Save File", "Print File", "All Actual Values", "Store", "Help"};
        for (int i = 1; i <= 6; ++i) {
            QAction* a = w.command(QString("Toolbar1_%1").arg(i));
            QVERIFY(a);
            QCOMPARE(a->text(), QString(texts[i - 1]));
            QVERIFY(!a->icon().isNull());
        }
        calls.log.clear();
        calls.firmware = "1.03";
        for (int i : {3, 5, 6}) w.command(QString("Toolbar1_%1").arg(i))->trigger();
        QVERIFY(calls.log.isEmpty());
        QCOMPARE(calls.firmware, QString("1.03"));
        // Open and Save of the tool bar leave the version texts alone.
        w.command("Toolbar1_1")->trigger();
        w.command("Toolbar1_2")->trigger();
        QCOMPARE(calls.log, (QStringList{"open", "save"}));
        QCOMPARE(calls.firmware, QString("1.03"));
        QVERIFY(ui.shown.isEmpty());
    }

    void fileCommands()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Ruta_App = "/srv/k";
        Principal w(st, calls.services());

        calls.log.clear();
        st.link.Comunicando = true;
        w.command("Nuevo")->trigger();
        QVERIFY(!st.link.Comunicando);
        QCOMPARE(calls.log, QStringList{"read /srv/k/Default.KOVA2"});

        // Load: the engine takes the file's firmware text, even after a cancel.
        calls.log.clear();
        calls.firmware = "1.02";
        w.command("Load_s")->trigger();
        QCOMPARE(calls.log, (QStringList{"open", "version=1.02"}));
        QCOMPARE(calls.engineVersion, QString("1.02"));

        // Save: the file takes the engine's version.
        calls.log.clear();
        calls.engineVersion = "1.07";
        w.command("Save_s")->trigger();
        QCOMPARE(calls.log, (QStringList{"version?", "save"}));
        QCOMPARE(calls.firmware, QString("1.07"));
    }

    // With the longest texts and the window at its narrowest, the panels lie side by side in the status bar, each text
    // whole.
    void statusPanelsReadableAtTheMinimumWidth()
    {
        Calls calls;
        AppState st;
        Principal w(st, calls.services());
        for (int n = 3; const char* text : {"COM:  8", "Baud Rate: 19200", "Address: 247", "Not Communicating...."})
            w.setPanel(n++, text);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1, w.height());
        QTRY_COMPARE(w.width(), w.minimumWidth());
        QRect previous;
        for (int i = 1; i <= 6; ++i) {
            auto* panel = w.findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
            QVERIFY2(panel && !panel->geometry().intersects(std::exchange(previous, panel->geometry()))
                    && panel->parentWidget()->rect().contains(panel->geometry())
                    && panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text()),
                qPrintable(QString::number(i)));
        }
    }

    void resetRelay_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<int>("queuedCount");
        QTest::newRow("offline") << false << true << int(MsgAnswer::Yes) << "Only Communication Mode " << "KOVA" << 0;
        QTest::newRow("online yes") << true << true << int(MsgAnswer::Yes) << "Are you sure?" << "KOVA Reset" << 1;
        QTest::newRow("online no") << true << true << int(MsgAnswer::No) << "Are you sure?" << "KOVA Reset" << 0;
        QTest::newRow("not allowed") << true << false << int(MsgAnswer::Yes) << "" << "" << 0;
    }

    void resetRelay()
    {
        QFETCH(bool, online);
        QFETCH(bool, allowed);
        QFETCH(int, answer);
        QFETCH(QString, shownText);
        QFETCH(QString, shownTitle);
        QFETCH(int, queuedCount);
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer(answer));
        Calls calls;
        AppState st;
        Principal w(st, calls.services());
        st.link.Comunicando = online;
        st.Habilita_Reset = allowed;
        w.setEnabled(false);
        w.command("Reset_Relay")->trigger();
        if (shownText.isEmpty()) {
            QVERIFY(ui.shown.isEmpty());
        } else {
            QCOMPARE(ui.shown.size(), 1);
            QCOMPARE(ui.shown[0].text, shownText);
            QCOMPARE(ui.shown[0].title, shownTitle);
            QCOMPARE(ui.shown[0].icon, online ? MsgIcon::Question : MsgIcon::Information);
        }
        QCOMPARE(int(calls.queued.size()), queuedCount);
        if (queuedCount) QCOMPARE(calls.queued[0], std::make_pair(0, 11));
        QVERIFY(w.isEnabled());
    }

    void closeBoxNoKeepsTheWindow()
    {
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer::No);
        Calls calls;
        AppState st;
        RecordingSerialPort port;
        port.open = true;
        Principal w(st, calls.services());
        w.setSerialPort(&port);
        w.show();
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString(" Are You Sure ?"));
        QCOMPARE(ui.shown[0].title, QString("KOVA Ver 2.1.4 For KOVA Relays V1.xx"));
        QCOMPARE(ui.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(ui.shown[0].icon, MsgIcon::Question);
        QVERIFY(port.open);
        QVERIFY(port.written.empty());
        QCOMPARE(calls.ends, 0);
        QVERIFY(!QFile::exists(handshake_));
    }

    void closeBoxYesWritesZeroAndEnds()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        RecordingSerialPort port;
        port.open = true;
        Principal w(st, calls.services());
        w.setSerialPort(&port);
        w.show();
        QVERIFY(w.close());
        QCOMPARE(port.written, std::vector<std::uint8_t>{0x00});
        QVERIFY(!port.open);
        QCOMPARE(calls.ends, 1);
        // Interactive mode leaves the handshake file alone.
        QVERIFY(!QFile::exists(handshake_));
    }

    void exitWithClosedPortTouchesNothing()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        RecordingSerialPort port;
        Principal w(st, calls.services());
        w.setSerialPort(&port);
        w.show();
        w.command("Salida")->trigger();
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY(port.written.empty());
        QCOMPARE(port.closes, 0);
        QCOMPARE(calls.ends, 1);
        QVERIFY(!w.isVisible());
    }

    void exitWithOpenPortWritesOneZeroAndCloses()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        RecordingSerialPort port;
        port.open = true;
        Principal w(st, calls.services());
        w.setSerialPort(&port);
        w.show();
        w.command("Salida")->trigger();
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(port.written, std::vector<std::uint8_t>{0x00});
        QVERIFY(!port.open);
        QCOMPARE(port.closes, 1);
        QCOMPARE(calls.ends, 1);
        QVERIFY(!w.isVisible());
    }

    void exitNoDoesNothing()
    {
        ScriptedUi ui;
        ui.answers.push_back(MsgAnswer::No);
        Calls calls;
        AppState st;
        Principal w(st, calls.services());
        w.show();
        w.command("Salida")->trigger();
        QCOMPARE(calls.ends, 0);
        QVERIFY(w.isVisible());
    }

    void commandLineCloseAsksNothingAndWritesTwo()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Modo_Linea_Comandos = true;
        st.Handshake_Activo = true;
        RecordingSerialPort port;
        port.open = true;
        {
            QFile f(handshake_);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("ABCDEFGH");
        }
        Principal w(st, calls.services());
        w.setSerialPort(&port);
        w.show();
        w.Form_Activate();
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100434445464748"));
        QVERIFY(w.close());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(port.written, std::vector<std::uint8_t>{0x00});
        QVERIFY(!port.open);
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200434445464748"));
        QCOMPARE(calls.ends, 1);
        // Nothing after the unload writes 1 again.
        w.Form_Activate();
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200434445464748"));
    }

    void modalWindowReactivatesTheMainWindow()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Modo_Linea_Comandos = true;
        st.Handshake_Activo = true;
        Principal w(st, calls.services());
        w.show();
        w.Form_Activate();
        // A calling program wrote something else meanwhile.
        {
            QFile f(handshake_);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromHex("0000"));
        }
        QDialog d(&w);
        QTimer::singleShot(0, &d, &QDialog::accept);
        w.runModal(d);
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0100"));
    }

    void signalEndsWithoutTheQuestion()
    {
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Handshake_Activo = true; // a refused command line: interactive, caller waiting
        Principal w(st, calls.services());
        w.show();
        w.terminateBySignal();
        QVERIFY(ui.shown.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(calls.ends, 1);
        QCOMPARE(readAll(handshake_), QByteArray::fromHex("0200"));
    }

    void handshakeFolderMissingKeepsTheWindow()
    {
        qputenv("KOVA_HANDSHAKE_FILE", dir_.filePath("missing/dir/prueba.txt").toLocal8Bit());
        ScriptedUi ui;
        Calls calls;
        AppState st;
        st.Modo_Linea_Comandos = true;
        st.Handshake_Activo = true;
        Principal w(st, calls.services());
        w.show();
        w.Form_Activate();
        QVERIFY(w.isVisible());
        QVERIFY(ui.shown.isEmpty());
    }

    void aboutWindow()
    {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.lblVersion()->text(), QString("Version: 2.1.4"));
        QStringList titles;
        for (int i = 0; i < 3; ++i)
            titles << about.findChild<QLabel*>(QString("lblTitle_%1").arg(i))->text();
        QCOMPARE(titles, (QStringList{"Velmora", "KOVA - Setup", "DELU - Setup"}));
        QTimer::singleShot(0, &about, [&] { about.findChild<QPushButton*>("cmdOK")->click(); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_principal)
#include "tst_principal.moc"
