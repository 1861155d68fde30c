#include "app/AppContext.h"

#include "app/Comunicacion.h"
#include "app/PrinterChooser.h"
#include "app/ReadingBox.h"
#include "app/Propiedades.h"
#include "app/UserControl1.h"
#include "link/RegisterImages.h"
#include "pages/DateTimeConfigView.h"
#include "platform/StderrLine.h"
#include "reports/AV1_REP.h"
#include "reports/AV2_REP.h"
#include "reports/Events_Rep.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPageView.h"
#include "pages/ValuePageView.h"
#include "platform/Ui.h"
#include "reports/EventsPage.h"
#include "reports/EventsPageView.h"
#include "reports/SetpointReports.h"


#include <QFile>
#include <QPrinter>

namespace kova {

// The file routines' dialogs and boxes through the program's boxes, and the
// main window's panels, caption and slave address.
class AppContext::VentanaArchivos : public IVentana_Archivos {
public:
    VentanaArchivos(Principal& window, const AppState& st) : window_(window), st_(st) {}

    std::optional<std::string> elegirArchivoAbrir() override
    {
        return ruta(ui().openFileName(QString(), QString::fromLatin1(Filtro_Abrir)));
    }
    std::optional<std::string> elegirArchivoGuardar() override
    {
        return ruta(ui().saveFileName(QString(), QString::fromLatin1(Filtro_Guardar)));
    }
    void mensaje(const std::string& texto, const std::string& titulo, Icono icono,
                 const std::string& detalle) override
    {
        ui().msgBoxDetail(QString::fromStdString(texto), MsgButtons::OKOnly,
                          icono == Icono::Critico ? MsgIcon::Critical : MsgIcon::None,
                          QString::fromStdString(titulo), QString::fromStdString(detalle));
    }
    void ponerPanel(int n, const std::string& texto) override
    {
        window_.setPanel(n, QString::fromStdString(texto));
    }
    void ponerTitulo(const std::string& titulo) override
    {
        window_.setWindowTitle(QString::fromStdString(titulo));
    }
    int Direccion_Rele() const override { return st_.Direccion_Rele; }

private:
    static std::optional<std::string> ruta(const QString& chosen)
    {
        if (chosen.isEmpty()) return std::nullopt;
        return QFile::encodeName(chosen).toStdString();
    }

    Principal& window_;
    const AppState& st_;
};

AppContext::AppContext(AppState& state)
    : st_(state), engine_(state.link), scheduler_(state.link),
      loop_(engine_, scheduler_, state.link, port_, &notifier_),
      enlace_(processImages(), state.link, engine_)
{
    engine_.setNotifier(&notifier_);
    engine_.setHostSerialControls({&port_});
    Servicios_Envio envio;
    envio.abrirSetpoints = [this] {
        if (!archivos_) return false;
        // The send itself refuses a file with settings outside their ranges.
        archivos_->Abrir_Setpoints(false);
        return archivos_->Archivo_Cargado;
    };
    envio.firmwareRele = [this] { return archivos_ ? archivos_->Firmware_Rele : std::string(); };
    // The send's start and ends also change what holds the commands.
    envio.habilitarPrincipal = [this](bool enabled) {
        if (!principal_) return;
        principal_->setEnabled(enabled);
        principal_->busyChanged();
    };
    envio.desactivarPanel = [this] {
        if (principal_) principal_->UserControl11()->Desactivar();
    };
    envio_ = std::make_unique<EnvioSetpoints>(st_, engine_, scheduler_, loop_, std::move(envio));
    loop_.setCadena_Grabacion(envio_.get());
    // Reading a setpoint file ends a send that still runs.
    enlace_.setAlEntrarModoArchivo([this] { envio_->Cancelar_Grabacion(); });
    loop_.setTrabajarSinRele([this] { onLinkError(); });
    // First passed reply after a connect: the relay's firmware text, and
    // from now on the data are the relay's, so a save stores the engine's
    // events, no longer a loaded file's.
    loop_.setFirmwareRele([this](const std::string& version) {
        cursor_.revisar();
        if (!archivos_) return;
        archivos_->Firmware_Rele = version;
        archivos_->Datos_De_Archivo = false;
    });
    print_ = std::make_unique<PrintCommands>(st_, *this, printServices());
    print_->pages().actualValues = {AV1_REP, AV2_REP};
    print_->pages().eventsFirst = Events_Rep;
    print_->pages().eventsMore = Events_Rep2;
    print_->pages().setpoints = {SET1_REP, SET2_REP, SET4_REP, SET11_REP, SET12_REP};
    QObject::connect(&loop_, &LinkLoop::Conexion_Iniciada, [this] { bloquesLeidos_.reset(); });
    QObject::connect(&loop_, &LinkLoop::Respuesta_Aceptada, [this](int cola, int posicion, int codigo) {
        if (codigo >= 61 && codigo <= 66) bloquesLeidos_.set(static_cast<std::size_t>(codigo - 61));
        print_->replyPassed({cola, posicion, codigo});
        if (page_) page_->replyPassed({cola, posicion, codigo});
    });
    QObject::connect(&loop_, &LinkLoop::Respuesta_Fallida, [this](int cola, int posicion, int codigo) {
        if (page_) page_->replyFailed({cola, posicion, codigo});
    });
    QObject::connect(&loop_, &LinkLoop::Solicitud_Abandonada, [this](int cola, int posicion, int codigo) {
        print_->requestGivenUp({cola, posicion, codigo});
        if (page_) page_->requestGivenUp({cola, posicion, codigo});
    });
    QObject::connect(&loop_, &LinkLoop::Enlace_Perdido, [this] {
        print_->linkLost();
        if (page_) page_->linkLost();
    });
    QObject::connect(&loop_, &LinkLoop::Grabacion_Terminada, [this](bool guardado) {
        if (page_) page_->storeEnded(guardado);
    });
}

AppContext::~AppContext()
{
    loop_.setCadena_Grabacion(nullptr);
}

void AppContext::loadDefaultFile()
{
    if (!archivos_) return;
    archivos_->Leer_Archivo(QFile::encodeName(st_.defaultSetpointFile()).toStdString());
    archivos_->Firmware_Rele = "1.01";
}

void AppContext::trabajarSinRele(bool loadDefaults)
{
    envio_->Cancelar_Grabacion();
    st_.link.Detener_Comunicacion = true;
    if (loadDefaults) loadDefaultFile();
    st_.link.Comunicando = false;
    try {
        if (port_.portOpen()) port_.output({0x00});
    } catch (const SerialPortError&) {
    }
    if (principal_) principal_->setPanel(6, LinkLoop::kFueraDeLinea);
    if (comunicacion_) comunicacion_->setLabel6(Comunicacion::kNotStablished);
    cursor_.revisar();
}

// After a link error the images are kept when they are whole (every block,
// or none, from the relay): a page may hold the user's edits. A mixture of
// blocks from the relay and from before must never be saved or sent, so
// then the defaults are loaded - but never under an open page, whose window
// shows the images: then once it has closed.
void AppContext::onLinkError()
{
    const int read = setpointBlocksRead();
    const bool mixture = read != 0 && read != 6;
    defaultsWhenPageCloses_ = mixture && page_ != nullptr;
    trabajarSinRele(mixture && !page_);
}

RegisterImages& AppContext::images() { return engine_.images(); }

bool AppContext::online() const { return st_.link.Comunicando || loop_.conectando(); }

void AppContext::enableMainWindow(bool enabled)
{
    if (principal_) principal_->setEnabled(enabled);
}

std::optional<RequestSlot> AppContext::queueRequest(int queue, int code)
{
    const auto slot = scheduler_.Agregar_Solicitud(queue, &engine_, static_cast<std::int16_t>(code));
    if (!slot) return std::nullopt;
    return RequestSlot{queue, *slot, code};
}

bool AppContext::requestWaiting(int code) const
{
    return scheduler_.Solicitud_En_Espera(static_cast<std::int16_t>(code));
}

void AppContext::beginStore(const std::vector<RequestSlot>& writes, const std::vector<int>& notQueued)
{
    std::vector<LinkLoop::Solicitud> s;
    for (const RequestSlot& w : writes) s.push_back({w.queue, w.slot, w.code});
    loop_.Iniciar_Grabacion(s, notQueued);
}

namespace {

MsgIcon boxIcon(PageHost::Icon icon)
{
    using Icon = PageHost::Icon;
    MsgIcon i = MsgIcon::None;
    switch (icon) {
    case Icon::None: break;
    case Icon::Critical: i = MsgIcon::Critical; break;
    case Icon::Exclamation: i = MsgIcon::Exclamation; break;
    case Icon::Information: i = MsgIcon::Information; break;
    case Icon::Question: i = MsgIcon::Question; break;
    }
    return i;
}

} // namespace

void AppContext::message(const std::string& text, const std::string& title, Icon icon)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, boxIcon(icon), QString::fromStdString(title));
}

bool AppContext::question(const std::string& text, const std::string& title, Icon icon)
{
    return ui().msgBox(QString::fromStdString(text), MsgButtons::YesNoDefaultNo, boxIcon(icon),
                       QString::fromStdString(title)) == MsgAnswer::Yes;
}

std::string AppContext::fileEvent(int column, int row) const
{
    if (!archivos_ || column < 0 || column > 10 || row < 0 || row >= 20) return {};
    return archivos_->Eventos.columna(column)[static_cast<std::size_t>(row)];
}

void AppContext::setListener(PageLinkListener* page)
{
    if (!page) return;
    std::erase(listeners_, page);
    listeners_.push_back(page);
    page_ = page;
}

void AppContext::releaseListener(PageLinkListener* page)
{
    std::erase(listeners_, page);
    page_ = listeners_.empty() ? nullptr : listeners_.back();
    if (!page_ && defaultsWhenPageCloses_) {
        defaultsWhenPageCloses_ = false;
        loadDefaultFile();
    }
}

namespace {

// A form the program refuses: the page does not open and the user is told
// which file, where and why (the built-in form is never used in its place:
// the user asked for the edited one).
void formRefused(const std::string& error)
{
    writeStderrLine("kova: " + error);
    ui().msgBoxDetail(QString::fromLatin1(AppContext::kFormRefused), MsgButtons::OKOnly, MsgIcon::Critical, kAppTitle,
                      QString::fromStdString(error));
}

} // namespace

void AppContext::openSetpointPage(const std::string& form)
{
    std::string error;
    auto f = loadPageForm(form, &error);
    if (!f) {
        formRefused(error);
        return;
    }
    SetpointPage page(std::move(*f), *this);
    SetpointPageView view(page, principal_);
    page.Form_Load();
    if (principal_) principal_->runModal(view);
    else view.exec();
}

std::unique_ptr<DateTimeConfigView> AppContext::clockPage()
{
    auto view = std::make_unique<DateTimeConfigView>(
        *this,
        [this](int dia, int mes, int anio, int hora, int minuto, int segundo) {
            return engine_.Date_Time(static_cast<std::int16_t>(dia), static_cast<std::int16_t>(mes),
                                     static_cast<std::int16_t>(anio), static_cast<std::int16_t>(hora),
                                     static_cast<std::int16_t>(minuto), static_cast<std::int16_t>(segundo));
        },
        principal_);
    view->Form_Load();
    return view;
}

void AppContext::openClockPage()
{
    auto view = clockPage();
    if (principal_) principal_->runModal(*view);
    else view->exec();
}

void AppContext::setOpenCommunication(Comunicacion* window) { comunicacion_ = window; }

void AppContext::openEventsPage()
{
    if (!principal_) return;
    EventsPage page(*this);
    EventsPageView view(page, principal_);
    page.Form_Load();
    if (page.Cargada()) principal_->runModal(view);
    // However the window went, the page closes with it.
    if (page.Cargada()) page.Cerrar_Ventana();
}

PrintServices AppContext::printServices()
{
    PrintServices s;
    s.choosePrinter = [this]() -> std::unique_ptr<QPagedPaintDevice> { return choosePrinter(principal_); };
    s.queueIdle = [this](int queue) { return !scheduler_.Cola_Ocupada(queue); };
    s.nombreRele = [this] { return archivos_ ? archivos_->Nombre_Rele : std::string(20, ' '); };
    s.waitBox = [] { return std::make_unique<ReadingBox>(); };
    s.messageDetail = [](const std::string& text, const std::string& title, Icon icon, const std::string& detail) {
        ui().msgBoxDetail(QString::fromStdString(text), MsgButtons::OKOnly, boxIcon(icon),
                          QString::fromStdString(title), QString::fromStdString(detail));
    };
    return s;
}

void AppContext::connectAtStart()
{
    if (!principal_) return;
    comunicacionSinVentana_ = std::make_unique<Comunicacion>(st_, *this, *principal_);
    comunicacionSinVentana_->Form_Load();
    comunicacionSinVentana_->Command1_Click();
}

void AppContext::attach(Principal& window)
{
    principal_ = &window;
    window.setSerialPort(&port_);
    // The link's 500 ms refresh: panel 6 and the relay status panel.
    QObject::connect(&loop_, &LinkLoop::Panel6, &window,
                     [&window](const QString& text) { window.setPanel(6, text); });
    QObject::connect(&loop_, &LinkLoop::Estado_Rele, &window, &Principal::ponerEstadoRele);
    QObject::connect(&loop_, &LinkLoop::Mostrar_Estado, &window, &Principal::mostrarEstadoRele);
    QObject::connect(&loop_, &LinkLoop::Fuera_De_Linea, &window, &Principal::mostrarFueraDeLinea);
    // A STORE may go on after its page closed: the commands stay held until
    // its last reply, its failure or the link's end is handled.
    const auto storeMayHaveEnded = [&window] { window.storeMayHaveEnded(); };
    for (auto signal : {&LinkLoop::Respuesta_Aceptada, &LinkLoop::Respuesta_Fallida, &LinkLoop::Solicitud_Abandonada})
        QObject::connect(&loop_, signal, &window, storeMayHaveEnded);
    for (auto signal : {&LinkLoop::Enlace_Perdido, &LinkLoop::Fuera_De_Linea})
        QObject::connect(&loop_, signal, &window, storeMayHaveEnded);
    QObject::connect(&loop_, &LinkLoop::Grabacion_Terminada, &window, storeMayHaveEnded);
    ventana_ = std::make_unique<VentanaArchivos>(window, st_);
    archivos_ = std::make_unique<Manejo_de_Archivos>(enlace_, *ventana_);
}

MainWindowServices AppContext::services()
{
    MainWindowServices s;
    s.attach = [this](Principal& w) { attach(w); };
    s.readSetpointFile = [this](const QString& path) {
        if (archivos_) archivos_->Leer_Archivo(QFile::encodeName(path).toStdString());
    };
    s.openSetpoints = [this] {
        if (archivos_) archivos_->Abrir_Setpoints();
    };
    s.saveSetpoints = [this] {
        if (archivos_) archivos_->Guardar_Setpoints();
    };
    s.firmwareRele = [this] {
        return archivos_ ? QString::fromStdString(archivos_->Firmware_Rele) : QString();
    };
    s.setFirmwareRele = [this](const QString& text) {
        if (archivos_) archivos_->Firmware_Rele = text.toStdString();
    };
    s.engineVersion = [this] { return QString::fromStdString(engine_.Version()); };
    s.setEngineVersion = [this](const QString& v) { engine_.setVersion(v.toStdString()); };
    s.openCommunication = [this] {
        if (!principal_) return;
        // Not a child of the main window: its load disables the main window,
        // which would disable its child windows too.
        Comunicacion window(st_, *this, *principal_);
        window.setWindowModality(Qt::ApplicationModal);
        window.Form_Load();
        principal_->runModal(window);
    };
    s.openValuePage = [this](const QString& form) { openValuePage(form.toStdString()); };
    s.sendSetpoints = [this] { envio_->Send_Click(); };
    s.openProperties = [this] {
        if (!principal_ || !archivos_) return;
        // Not a child of the main window, which it disables.
        Propiedades window(*archivos_, *principal_);
        window.setWindowModality(Qt::ApplicationModal);
        window.Form_Load();
        principal_->runModal(window);
    };
    s.openEventsPage = [this] { openEventsPage(); };
    s.queueRequest = [this](int queue, int code) {
        scheduler_.Agregar_Solicitud(queue, &engine_, static_cast<std::int16_t>(code));
    };
    s.openSetpointPage = [this](const QString& form) { openSetpointPage(form.toStdString()); };
    s.printActualValues = [this] { print_->P_Actual_Click(); };
    s.printEvents = [this] { print_->P_Events_Click(); };
    s.printSetpoints = [this] { print_->P_Setpoints_Click(); };
    s.openClockPage = [this] { openClockPage(); };
    s.writeUnderWay = [this] { return QString::fromStdString(writeUnderWay()); };
    s.storeUnderWay = [this] { return loop_.Grabacion_En_Curso() || loop_.Reloj_En_Curso(); };
    return s;
}

std::string AppContext::writeUnderWay() const
{
    if (const std::string d = envio_->Detalle_En_Curso(); !d.empty())
        return "while sending setpoints to the relay: " + d;
    if (const std::string d = loop_.Detalle_En_Curso(); !d.empty())
        return (loop_.Grabacion_En_Curso() ? "while storing setpoints in the relay: "
                                           : "while storing the date and time in the relay: ") +
               d;
    if (comunicacion_)
        if (const std::string d = comunicacion_->programacionModem().Detalle_En_Curso(); !d.empty())
            return "while programming the modem: " + d;
    return {};
}

void AppContext::openValuePage(const std::string& form)
{
    std::string error;
    auto f = loadPageForm(form, &error);
    if (!f) {
        formRefused(error);
        return;
    }
    std::unique_ptr<ValuePage> page = makeValuePage(std::move(*f), *this);
    ValuePageView view(*page);
    view.load(principal_);
    if (page->closed()) return;
    if (principal_) principal_->runModal(view);
    else view.exec();
}

} // namespace kova
