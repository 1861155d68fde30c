#pragma once
// The program started with the command line "9600,N,8,1 1 1", COM 1 being
// the simulator's line, in a temporary folder holding the default setpoint
// file; message boxes go to a scripted UI instead of the screen.

#include "app/AppContext.h"
#include "app/Arranque.h"
#include "app/support/AppFiles.h"
#include "app/support/ScriptedUi.h"
#include "link/RegisterImages.h"
#include "integration/support/SimHarness.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace kova::test {

struct OnlineProgram {
    QTemporaryDir dir;
    ScriptedUi ui;
    kova::Arranque arranque{kova::Arranque::Options{0, false}};
    kova::AppContext context{arranque.state()};

    bool start(const SimHarness& sim)
    {
        if (!QFile::copy(builtDefaultFile(), dir.filePath("Default.KOVA2"))) return false;
        qputenv("KOVA_APP_DIR", dir.path().toLocal8Bit());
        qputenv("KOVA_HANDSHAKE_FILE", dir.filePath("prueba.txt").toLocal8Bit());
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        kova::processImages() = kova::RegisterImages{};
        arranque.setServices(context.services());
        arranque.setConnectAtStart([this] { context.connectAtStart(); });
        arranque.Main({"9600,N,8,1", "1", "1"});
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
