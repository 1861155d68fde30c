// The main window with the program's own services: the default setpoint
// file at start, New, Load and Save through the file routines, Reset Relay.

#include "app/AppContext.h"
#include "app/UserControl1.h"
#include "link/RegisterImages.h"
#include "pages/SetpointPageView.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;
using kova::test::ScriptedUi;
using kova::test::builtDefaultFile;
using kova::test::imageBytes;
using kova::test::readAll;

namespace {

QByteArray putImage()
{
    return imageBytes(processImages().put);
}
QByteArray getImage()
{
    return imageBytes(processImages().get);
}

AppState stateIn(const QString& folder)
{
    AppState st;
    st.Ruta_App = folder;
    return st;
}

// The main window with the program's own services over `folder`, its
// message boxes answered by a script.
struct ProgramWindow {
    ScriptedUi ui;
    AppState st;
    AppContext ctx{st};
    Principal w{st, ctx.services()};
    explicit ProgramWindow(const QString& folder) : st(stateIn(folder)) {}
};

} // namespace

class tst_appcontext : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

private slots:
    void init()
    {
        processImages() = RegisterImages{};
        QFile::remove(dir_.filePath("Default.KOVA2"));
    }

    void startReadsTheDefaultFile()
    {
        const QByteArray file = readAll(builtDefaultFile());
        QCOMPARE(file.size(), 4268);
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(putImage(), file.mid(198, 301));
        QCOMPARE(getImage(), putImage());
        QVERIFY(st.link.Detener_Comunicacion);
        QVERIFY(!st.link.Comunicando);
        // The window's load writes its own panels and caption after the file's.
        QCOMPARE(w.windowTitle(), QString("KOVA Ver 2.1.4 For KOVA Relays V1.xx"));
        QCOMPARE(w.panelText(6), QString("Not Communicating...."));
        QCOMPARE(w.panelText(5), QString("Address:  1"));
        QCOMPARE(ctx.archivos()->Firmware_Rele, std::string("1.01"));
        QCOMPARE(w.serialPort(), static_cast<ISerialPort*>(&ctx.MSComm1()));
        QVERIFY(w.UserControl11() && w.centralWidget()->isAncestorOf(w.UserControl11()));
    }

    void builtDefaultFileIsFoundWithoutEnvironment()
    {
        // A test program started on its own, outside ctest.
        const QByteArray sim = qgetenv("KOVA_RELAY_SIM");
        qunsetenv("KOVA_RELAY_SIM");
        const QByteArray file = readAll(builtDefaultFile());
        qputenv("KOVA_RELAY_SIM", sim);
        QCOMPARE(file.size(), 4268);
        QCOMPARE(file.left(5), QByteArray("KOVA2"));
    }

    void loadSetsTheFirmwareTextWhateverTheDefaultFileHolds()
    {
        QByteArray file = readAll(builtDefaultFile());
        file.replace(4260, 8, "1.05    ");
        {
            QFile f(dir_.filePath("Default.KOVA2"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        QCOMPARE(ctx.archivos()->Firmware_Rele, std::string("1.01"));
        // New reads the file's text, as a file load does.
        w.command("Nuevo")->trigger();
        QCOMPARE(ctx.archivos()->Firmware_Rele, std::string("1.05    "));
    }

    void fileSavedAfterLoadIsTheFileLoaded_data()
    {
        // Firmware texts as stored, one Windows-1252 byte per character.
        QTest::addColumn<QByteArray>("firmware");
        QTest::newRow("1.0ñ°é¿x") << QByteArray("1.0\xF1\xB0\xE9\xBFx");
        QTest::newRow("€Š™ÿ1234") << QByteArray("\x80\x8A\x99\xFF" "1234");
        QTest::newRow("1.01") << QByteArray("1.01    ");
    }
    void fileSavedAfterLoadIsTheFileLoaded()
    {
        QFETCH(QByteArray, firmware);
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        QByteArray file = readAll(builtDefaultFile());
        file.replace(4260, 8, firmware);
        file.replace(58, 20, QByteArray("Ana \xD1u\xF1" "ez").leftJustified(20, ' '));
        const QString loaded = dir_.filePath("firmware.KOVA2");
        {
            QFile f(loaded);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        ui.fileNames = {loaded, dir_.filePath("saved.KOVA2")};
        w.command("Load_s")->trigger();
        QCOMPARE(w.windowTitle(), "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + loaded);
        w.command("Save_s")->trigger();
        QVERIFY(ui.shown.isEmpty());
        // Saved under another name: the title names the file now worked on.
        QCOMPARE(w.windowTitle(), "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + dir_.filePath("saved.KOVA2"));
        const QByteArray saved = readAll(dir_.filePath("saved.KOVA2"));
        QCOMPARE(saved.size(), 4268);
        QCOMPARE(saved.left(50), file.left(50));
        QCOMPARE(saved.mid(58), file.mid(58)); // all but the save date
    }

    void damagedFileLoadsAndSaysWhichSettingsAreOutside()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        QByteArray file = readAll(builtDefaultFile());
        file.replace(198, 301, QByteArray(301, '\xFF'));
        const QString damaged = dir_.filePath("damaged.KOVA2");
        QVERIFY(kova::test::writeAll(damaged, file));
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        ui.fileNames = {damaged};
        w.command("Load_s")->trigger();
        QCOMPARE(putImage(), QByteArray(301, '\xFF'));
        QCOMPARE(w.windowTitle(), "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + damaged);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text,
                 QString("The file holds settings outside their ranges; correct them before sending it to a relay"));
        QCOMPARE(ui.shown[0].icon, MsgIcon::Critical);
        QVERIFY(ui.shown[0].detail.startsWith("SETPOINTS - System Setup: Sampling Frequency: 3, range 0 to 1\n"));
    }

    // At start a good default file is loaded while a setpoint page's form cannot be used: the form is named.
    void unusableFormIsNamedAtStartNotTheDefaultFile()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        QTemporaryDir forms;
        QVERIFY(kova::test::writeAll(forms.filePath("SETPAGE13.json"), "{"));
        qputenv("KOVA_FORMS_DIR", forms.path().toUtf8());
        ProgramWindow program(dir_.path());
        qunsetenv("KOVA_FORMS_DIR");
        auto& ui = program.ui;
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text,
                 QString("A setpoint page's form could not be used, so the file's settings could not be checked"));
        QCOMPARE(ui.shown[0].detail, forms.filePath("SETPAGE13.json") + ": (text): unterminated object at offset 1");
    }

    void missingDefaultFileIsReportedAndNotCreated()
    {
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("It isn't KOVA File"));
        QVERIFY(!QFile::exists(dir_.filePath("Default.KOVA2")));
        QCOMPARE(putImage(), QByteArray(301, '\0'));
        QCOMPARE(w.panelText(3), QString("COM:  1"));
    }

    void newSaveAndLoad()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        const QByteArray defaults = putImage();

        // An edit, then New: the defaults come back and the caption names the file.
        processImages().put[10] ^= 0xFF;
        st.link.Comunicando = true;
        w.command("Nuevo")->trigger();
        QCOMPARE(putImage(), defaults);
        QVERIFY(!st.link.Comunicando);
        QCOMPARE(w.windowTitle(),
                 "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + dir_.filePath("Default.KOVA2"));
        QCOMPARE(w.panelText(6), QString("Not Communicating.."));

        // Save an edited image: the file takes the engine's version text.
        processImages().put[20] = 0x5A;
        ctx.DELU().setVersion("1.05");
        const QString saved = dir_.filePath("edited.KOVA2");
        ui.fileNames.push_back(saved);
        w.command("Save_s")->trigger();
        QVERIFY(ui.shown.isEmpty());
        const QByteArray bytes = readAll(saved);
        QCOMPARE(bytes.size(), 4268);
        QCOMPARE(bytes.mid(198, 301), putImage());
        QCOMPARE(bytes.mid(4260, 8), QByteArray("1.05    "));

        // Load it back after New: images, firmware text and the engine's version.
        w.command("Nuevo")->trigger();
        QCOMPARE(putImage(), defaults);
        ctx.DELU().setVersion("1.09");
        ui.fileNames.push_back(saved);
        w.command("Load_s")->trigger();
        QCOMPARE(putImage(), bytes.mid(198, 301));
        QCOMPARE(getImage(), putImage());
        QCOMPARE(ctx.archivos()->Firmware_Rele, std::string("1.05    "));
        QCOMPARE(ctx.DELU().Version(), std::string("1.05    "));
        QCOMPARE(w.windowTitle(), "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + saved);

        // Load cancelled: the engine still takes the file's firmware text.
        ctx.DELU().setVersion("1.09");
        w.command("Load_s")->trigger();
        QCOMPARE(ctx.DELU().Version(), std::string("1.05    "));
        QVERIFY(ui.shown.isEmpty());

        // Every dialog offered both spellings of the extension.
        QCOMPARE(ui.filters.size(), 3);
        for (const QString& f : ui.filters)
            QVERIFY(f.contains("*.KOVA2") && f.contains("*.kova2"));
    }

    void resetRelayQueuesTheResetCommandOnline()
    {
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        ui.shown.clear();
        ctx.scheduler().Inicializar_Colas();
        st.link.Comunicando = true;
        st.Habilita_Reset = true;
        ui.answers.push_back(MsgAnswer::Yes);
        w.command("Reset_Relay")->trigger();
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].title, QString("KOVA Reset"));
        int pending = 0;
        for (int slot = 0; slot < Proceso_Comunicacion::kSlots; ++slot)
            if (ctx.scheduler().Estado_Solicitud(0, slot) == Proceso_Comunicacion::kPendiente) {
                ++pending;
                QCOMPARE(int(ctx.scheduler().Comando_Solicitud(0, slot)), 11);
            }
        QCOMPARE(pending, 1);
    }

    // SetPoints > System Setup offline: the page over the default file, an
    // edit kept by STORE in the scratch memory, EXIT back to the main window.
    void systemSetupOfflineFromTheMenu()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        QVERIFY(w.command("Set_page2")->isEnabled());
        for (const char* c : {"mnuFreqProtec", "mnuPowerProtec", "mnuOutputRel", "mnuInputs", "mnu_Event"})
            QVERIFY2(w.command(c)->isEnabled(), c);
        QVERIFY(w.command("mnuDateTime")->isEnabled()); // the clock page is no setpoint form
        QString title;
        bool mainEnabled = true;
        QTimer::singleShot(0, [&] {
            auto* page = qobject_cast<SetpointPageView*>(QApplication::activeModalWidget());
            QVERIFY(page);
            title = page->windowTitle();
            mainEnabled = w.isEnabled();
            QVERIFY(page->page().usable());
            page->page().editor("PhaseCT(0)")->arrowUp();  // 600 A -> 605 A
            page->Command1()->click();
            page->Command2()->click();
        });
        w.command("Set_page2")->trigger();
        QCOMPARE(title, QString("SETPOINTS - System Setup"));
        QVERIFY(mainEnabled);  // opened offline: the main window is left as it was
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("Setpoints were Saved to the Computer's Scratch memory"));
        QCOMPARE(ui.shown[0].icon, MsgIcon::None);
        QCOMPARE(processImages().get[2] * 256 + processImages().get[3], 605);
        QCOMPARE(putImage(), getImage());
        QVERIFY(w.isEnabled());
    }

    // Open pages take the link's events, the one opened last first; a page
    // that closes releases only itself, so the page under it gets them again.
    void linkEventsReachThePageStillOpen()
    {
        ProgramWindow program(dir_.path());
        struct Listener : PageLinkListener {
            int lost = 0;
            void replyPassed(const RequestSlot&) override {}
            void linkLost() override { ++lost; }
            void storeEnded(bool) override {}
        } setpoints, events;
        AppContext& ctx = program.ctx;
        ctx.setListener(&setpoints);
        ctx.setListener(&events);
        emit ctx.linkLoop().Enlace_Perdido();
        ctx.releaseListener(&events);
        emit ctx.linkLoop().Enlace_Perdido();
        ctx.releaseListener(&events); // twice: still nothing taken from the other
        emit ctx.linkLoop().Enlace_Perdido();
        ctx.releaseListener(&setpoints);
        emit ctx.linkLoop().Enlace_Perdido();
        QCOMPARE(events.lost, 1);
        QCOMPARE(setpoints.lost, 2);
    }

    // With a page open, every command of the main window, triggered through
    // its action or entered at its handler, opens nothing, queues nothing,
    // asks nothing and leaves the page's edit alone.
    void commandsOverAnOpenPageDoNothing()
    {
        QVERIFY(QFile::copy(builtDefaultFile(), dir_.filePath("Default.KOVA2")));
        ProgramWindow program(dir_.path());
        auto& [ui, st, ctx, w] = program;
        ctx.scheduler().Inicializar_Colas();
        st.Habilita_Reset = true;
        QWidget* page = nullptr;
        QStringList openedOver;
        QTimer rescue; // a window opened over the page would wait here for ever
        connect(&rescue, &QTimer::timeout, [&] {
            QWidget* top = QApplication::activeModalWidget();
            if (top && top != page) {
                openedOver << top->windowTitle();
                top->close();
            }
        });
        rescue.start(1000);
        QTimer::singleShot(0, [&] {
            auto* view = qobject_cast<SetpointPageView*>(QApplication::activeModalWidget());
            QVERIFY(view);
            page = view;
            view->page().editor("PhaseCT(0)")->arrowUp(); // 600 A -> 605 A
            st.link.Comunicando = true;                   // Reset Relay would queue its command
            for (QAction* a : w.findChildren<QAction*>()) {
                if (a->menu()) continue;
                a->trigger();
                emit a->triggered(false);
            }
            st.link.Comunicando = false;
            QCOMPARE(QApplication::activeModalWidget(), page);
            view->Command1()->click();
            view->Command2()->click();
        });
        w.command("Set_page2")->trigger();
        QCOMPARE(openedOver, QStringList{});
        for (int q = 0; q < Proceso_Comunicacion::kColas; ++q)
            QVERIFY(!ctx.scheduler().Cola_Ocupada(q));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("Setpoints were Saved to the Computer's Scratch memory"));
        QCOMPARE(processImages().get[2] * 256 + processImages().get[3], 605);
        QVERIFY(w.command("Set_page2")->isEnabled() && w.command("Nuevo")->isEnabled());
    }
};

QTEST_MAIN(tst_appcontext)
#include "tst_appcontext.moc"
