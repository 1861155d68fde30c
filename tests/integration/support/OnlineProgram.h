#pragma once
// The program started with the command line "9600,N,8,1 1 1" (or as a user
// starts it, then connected), COM 1 being the simulator's line, in a
// temporary folder holding the default setpoint file; message boxes go to a
// scripted UI instead of the screen.

#include "app/AppContext.h"
#include "app/Arranque.h"
#include "app/Comunicacion.h"
#include "app/support/AppFiles.h"
#include "app/support/ScriptedUi.h"
#include "link/RegisterImages.h"
#include "integration/support/SimHarness.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace kova::test {

struct OnlineProgram {
    QTemporaryDir dir;
    ScriptedUi ui;
    kova::Arranque arranque{kova::Arranque::Options{0, false}};
    kova::AppContext context{arranque.state()};
    std::function<void()> endProgram; // where set, stands for the program's own ending

    OnlineProgram() = default;
    explicit OnlineProgram(kova::Arranque::Options options) : arranque(options) {}

    bool start(const SimHarness& sim) { return begin(sim, {"9600,N,8,1", "1", "1"}); }

    // Started as a user starts it (no command line, Setup shown), then
    // connected from the connection window with its default settings,
    // answering No to the save question; the window is closed again.
    bool startInteractive(const SimHarness& sim)
    {
        if (!begin(sim, {})) return false;
        ui.answers.push_back(kova::MsgAnswer::No);
        kova::Comunicacion window(arranque.state(), context, *arranque.principal());
        window.Form_Load();
        const bool connected = window.Command1_Click();
        window.Cancelar_Click();
        return connected;
    }

    bool begin(const SimHarness& sim, const QStringList& arguments)
    {
        if (!QFile::copy(builtDefaultFile(), dir.filePath("Default.KOVA2"))) return false;
        qputenv("KOVA_APP_DIR", dir.path().toLocal8Bit());
        qputenv("KOVA_HANDSHAKE_FILE", dir.filePath("prueba.txt").toLocal8Bit());
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        kova::processImages() = kova::RegisterImages{};
        kova::MainWindowServices services = context.services();
        if (endProgram) services.endProgram = endProgram;
        arranque.setServices(services);
        arranque.setConnectAtStart([this] { context.connectAtStart(); });
        arranque.Main(arguments);
        return arranque.principal() != nullptr;
    }
    ~OnlineProgram()
    {
        try {
            context.MSComm1().setPortOpen(false);
        } catch (...) {
        }
    }
};

} // namespace kova::test
