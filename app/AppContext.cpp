#include "app/AppContext.h"

#include "app/Comunicacion.h"
#include "app/Propiedades.h"
#include "app/UserControl1.h"
#include "link/RegisterImages.h"
#include "platform/Ui.h"

#include <QFile>

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
        archivos_->Abrir_Setpoints();
        return archivos_->Archivo_Cargado;
    };
    envio.firmwareRele = [this] { return archivos_ ? archivos_->Firmware_Rele : std::string(); };
    envio.habilitarPrincipal = [this](bool enabled) {
        if (principal_) principal_->setEnabled(enabled);
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
}

AppContext::~AppContext()
{
    loop_.setCadena_Grabacion(nullptr);
}

void AppContext::trabajarSinRele(bool loadDefaults)
{
    envio_->Cancelar_Grabacion();
    st_.link.Detener_Comunicacion = true;
    if (loadDefaults && archivos_) {
        archivos_->Leer_Archivo(QFile::encodeName(st_.defaultSetpointFile()).toStdString());
        archivos_->Firmware_Rele = "1.01";
    }
    st_.link.Comunicando = false;
    try {
        if (port_.portOpen()) port_.output({0x00});
    } catch (const SerialPortError&) {
    }
    if (principal_) principal_->setPanel(6, LinkLoop::kFueraDeLinea);
    if (comunicacion_) comunicacion_->setLabel6(Comunicacion::kNotStablished);
    cursor_.revisar();
}

int AppContext::setpointBlocksRead() const
{
    int read = 0;
    for (int slot = 0; slot < Proceso_Comunicacion::kSlots; ++slot) {
        const int code = scheduler_.Comando_Solicitud(0, slot);
        if (code >= 61 && code <= 66 &&
            scheduler_.Estado_Solicitud(0, slot) == Proceso_Comunicacion::kTerminada)
            ++read;
    }
    return read;
}

// After a link error the images are kept when they are whole (every block,
// or none, from the relay): a page may hold the user's edits. A mixture of
// blocks from the relay and from before must never be saved or sent, so
// then the defaults are loaded.
void AppContext::onLinkError()
{
    const int read = setpointBlocksRead();
    trabajarSinRele(read != 0 && read != 6);
}

void AppContext::setOpenCommunication(Comunicacion* window) { comunicacion_ = window; }

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
    s.sendSetpoints = [this] { envio_->Send_Click(); };
    s.openProperties = [this] {
        if (!principal_ || !archivos_) return;
        // Not a child of the main window, which it disables.
        Propiedades window(*archivos_, *principal_);
        window.setWindowModality(Qt::ApplicationModal);
        window.Form_Load();
        principal_->runModal(window);
    };
    s.queueRequest = [this](int queue, int code) {
        scheduler_.Agregar_Solicitud(queue, &engine_, static_cast<std::int16_t>(code));
    };
    return s;
}

} // namespace kova
