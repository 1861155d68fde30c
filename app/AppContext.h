#pragma once
// Everything the main window hosts besides its widgets: the serial port, the
// relay-link engine (DELU(1)), the request scheduler, the link loop and the
// setpoint-file routines, wired together for one run of the program. It is
// also the host of the setpoint pages: their images, flags, requests, store
// transaction, main-window lock and message boxes, and the link's events for
// the page that is open.

#include "app/AppState.h"
#include "app/CursorConectando.h"
#include "app/Enlace_Archivos.h"
#include "app/EnvioSetpoints.h"
#include "app/LinkLoop.h"
#include "app/Manejo_de_Archivos.h"
#include "app/Principal.h"
#include "app/PrintCommands.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "pages/PageHost.h"
#include "platform/QtSerialPort.h"
#include "platform/UiNotifier.h"

#include <QPointer>

#include <bitset>
#include <memory>
#include <vector>

namespace kova {

class Comunicacion;
class DateTimeConfigView;

class AppContext : public PageHost {
public:
    explicit AppContext(AppState& state);
    ~AppContext() override;

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // The services the main window calls; the window attaches itself when
    // it is built (its panels, caption and serial port).
    MainWindowServices services();

    QtSerialPort& MSComm1() { return port_; }
    KOVA200& DELU() { return engine_; }
    Proceso_Comunicacion& scheduler() { return scheduler_; }
    LinkLoop& linkLoop() { return loop_; }
    // File > Send SetPoints To Relay.
    EnvioSetpoints& envio() { return *envio_; }
    // Null until the main window is built.
    Manejo_de_Archivos* archivos() const { return archivos_.get(); }
    Principal* principal() const { return principal_; }

    // Work without relay: dispatching stops, the link goes offline, an open
    // port gets one byte 0 and stays open; with loadDefaults the default
    // setpoint file is read and the firmware text becomes "1.01".
    void trabajarSinRele(bool loadDefaults);
    // How many of the six setpoint blocks had a passed read since the last
    // connect (a block read again counts once).
    int setpointBlocksRead() const { return static_cast<int>(bloquesLeidos_.count()); }

    // The box shown when a page's form is refused (its detail says which
    // file, where and why); the page does not open.
    static constexpr const char* kFormRefused = "This page could not be opened: its form is not valid.";

    // Opens a setpoint page by its form name and returns when it has closed.
    void openSetpointPage(const std::string& form);
    // The same for a value page.
    void openValuePage(const std::string& form);
    // The clock page's window over this host, placed and loaded, not shown.
    std::unique_ptr<DateTimeConfigView> clockPage();
    // Opens the clock page and returns when it has closed.
    void openClockPage();

    // --- PageHost ---------------------------------------------------------------
    RegisterImages& images() override;
    bool online() const override;
    bool comunicando() const override { return st_.link.Comunicando; }
    bool imprimiendo() const override { return st_.Imprimiendo; }
    void setHabilitaReset(bool allowed) override { st_.Habilita_Reset = allowed; }
    void enableMainWindow(bool enabled) override;
    std::optional<RequestSlot> queueRequest(int queue, int code) override;
    bool requestWaiting(int code) const override;
    int failuresInARow(int code) const override { return loop_.Fallos_Seguidos(code); }
    void beginStore(const std::vector<RequestSlot>& writes, const std::vector<int>& notQueued) override;
    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool question(const std::string& text, const std::string& title, Icon icon) override;
    bool cerrarPagina() const override { return st_.Cerrar_Pagina; }
    void setCerrarPagina(bool requested) override { st_.Cerrar_Pagina = requested; }
    bool Devuelve_Datos(std::int32_t Bloque) override { return engine_.Devuelve_Datos(Bloque); }
    NumOrText DatosDeVariables(std::int16_t posicion) const override { return engine_.DatosDeVariables(posicion); }
    void setListener(PageLinkListener* page) override;
    void releaseListener(PageLinkListener* page) override;
    std::string fileEvent(int column, int row) const override;

    // Command-line start: the connection window's load and connect, run
    // without showing it; the window is kept so its watch timer runs.
    void connectAtStart();
    // The connection window now open (shown or not), told of link changes.
    void setOpenCommunication(Comunicacion* window);
    // The busy cursor, shown from a connect that opened the port until the
    // first passed reply or the link error.
    CursorConectando& cursorConectando() { return cursor_; }

    // Actual Values > Events: the events page, shown modally.
    void openEventsPage();

    // A setpoint send, STORE or clock STORE under way and what the relay
    // now holds of it, or a modem programming under way and what the modem
    // got, as the services' writeUnderWay gives it; empty when none runs.
    std::string writeUnderWay() const;

    // File > Print: the three commands and their report pages.
    PrintCommands& printCommands() { return *print_; }

private:
    class VentanaArchivos;
    void attach(Principal& window);

    void onLinkError();
    void loadDefaultFile();
    PrintServices printServices();

    AppState& st_;
    Principal* principal_ = nullptr;
    QPointer<Comunicacion> comunicacion_;
    QtSerialPort port_;
    KOVA200 engine_;
    Proceso_Comunicacion scheduler_;
    UiNotifier notifier_;
    LinkLoop loop_;
    Enlace_Archivos enlace_;
    std::unique_ptr<VentanaArchivos> ventana_;
    std::unique_ptr<Manejo_de_Archivos> archivos_;
    CursorConectando cursor_{[this] { return loop_.conectando(); }};
    std::bitset<6> bloquesLeidos_;
    // The open pages that take the link's events, the one to tell last.
    std::vector<PageLinkListener*> listeners_;
    PageLinkListener* page_ = nullptr;
    // A link error found a mixture of blocks while a page was open: the
    // default file is read once the page has closed.
    bool defaultsWhenPageCloses_ = false;
    std::unique_ptr<EnvioSetpoints> envio_;
    std::unique_ptr<PrintCommands> print_;
    // Destroyed first: it uses everything above.
    std::unique_ptr<Comunicacion> comunicacionSinVentana_;
};

} // namespace kova
