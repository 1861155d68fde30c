#pragma once
// Everything the main window hosts besides its widgets: the serial port, the
// relay-link engine (DELU(1)), the request scheduler, the link loop and the
// setpoint-file routines, wired together for one run of the program.

#include "app/AppState.h"
#include "app/LinkLoop.h"
#include "app/Manejo_de_Archivos.h"
#include "app/Principal.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "platform/QtSerialPort.h"
#include "platform/UiNotifier.h"

#include <memory>

namespace kova {

class AppContext {
public:
    explicit AppContext(AppState& state);
    ~AppContext();

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // The services the main window calls; the window attaches itself when
    // it is built (its panels, caption and serial port).
    MainWindowServices services();

    QtSerialPort& MSComm1() { return port_; }
    KOVA200& DELU() { return engine_; }
    Proceso_Comunicacion& scheduler() { return scheduler_; }
    LinkLoop& linkLoop() { return loop_; }
    // Null until the main window is built.
    Manejo_de_Archivos* archivos() const { return archivos_.get(); }

private:
    class EnlaceArchivos;
    class VentanaArchivos;
    void attach(Principal& window);

    AppState& st_;
    QtSerialPort port_;
    KOVA200 engine_;
    Proceso_Comunicacion scheduler_;
    UiNotifier notifier_;
    LinkLoop loop_;
    std::unique_ptr<EnlaceArchivos> enlace_;
    std::unique_ptr<VentanaArchivos> ventana_;
    std::unique_ptr<Manejo_de_Archivos> archivos_;
};

} // namespace kova
