#include "app/EnvioSetpoints.h"

#include "app/Cp1252.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "pages/SetpointRangeCheck.h"
#include "platform/Ui.h"
#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <cmath>

namespace kova {

EnvioSetpoints::EnvioSetpoints(AppState& state, KOVA200& engine, Proceso_Comunicacion& scheduler, LinkLoop& loop,
                               Servicios_Envio services, QObject* parent)
    : QObject(parent), st_(state), engine_(engine), sched_(scheduler), loop_(loop), svc_(std::move(services))
{
}

EnvioSetpoints::~EnvioSetpoints() = default;

std::optional<std::uint8_t> EnvioSetpoints::Direccion_Valida(const QString& respuesta)
{
    const double v = vb::roundHalfEven(vb::Val(respuesta.toStdString()));
    if (!std::isfinite(v) || v < 1 || v > 247)
        return std::nullopt;
    return static_cast<std::uint8_t>(v);
}

bool EnvioSetpoints::Version_Admitida(bool firmware, std::string_view versionRele, std::string_view firmwareArchivo)
{
    const std::string rele = cp1252::recortar(versionRele);
    const std::string archivo = cp1252::recortar(firmwareArchivo);
    // std::string compares characters as unsigned codes.
    return firmware && rele != "1.02" && archivo <= rele;
}

void EnvioSetpoints::habilitar(bool enabled)
{
    if (svc_.habilitarPrincipal)
        svc_.habilitarPrincipal(enabled);
}

void EnvioSetpoints::Send_Click()
{
    st_.link.Comunicando = false;
    if (svc_.desactivarPanel)
        svc_.desactivarPanel();
    st_.Grabando_Setpoints = false;
    esperandoLinea_ = false;
    // No request of the loop may still be answered when the identification
    // goes out: the loop stops now, while the user picks the file.
    lineaLibre_ = false;
    loop_.Detener_Linea([this] {
        lineaLibre_ = true;
        if (esperandoLinea_)
            iniciarCadena();
    });

    if (!svc_.abrirSetpoints || !svc_.abrirSetpoints()) {
        habilitar(true);
        return;
    }
    // The file read is what the writes would send: it is checked whole
    // before the relay is even asked for; a page whose form cannot be used
    // leaves it unchecked, so it is not sent either.
    if (const auto fuera = setpointRangeProblems(engine_.images().put); !fuera.empty()) {
        ui().msgBoxDetail(anyFormUnusable(fuera) ? kFormaInservible : kFueraDeRango, MsgButtons::OKOnly,
                          MsgIcon::Critical, kAppTitle,
                          QString::fromStdString(rangeProblemsDetail(fuera)));
        habilitar(true);
        return;
    }

    std::uint8_t direccion = 0;
    for (;;) {
        const QString actual = QString::number(st_.Direccion_Rele);
        const QString respuesta = ui().inputBox(kPregunta + actual, kTituloPregunta, actual);
        if (respuesta.isEmpty()) {
            habilitar(true);
            return;
        }
        if (const auto d = Direccion_Valida(respuesta)) {
            direccion = *d;
            break;
        }
        ui().msgBox(kDireccionInvalida, MsgButtons::OKOnly, MsgIcon::None, kAppTitle);
    }

    loop_.Parar_Refresco();
    sched_.Inicializar_Colas();
    st_.Direccion_Rele = direccion;
    engine_.setPuerto_PC(st_.Puerto_Com);
    engine_.setCadena_Com(integerText(st_.Velocidad));
    engine_.setDireccion(direccion);
    st_.Grabando_Setpoints = true;
    escritos_ = Bloques_Escritos({1, 2, 3, 4, 5, 6});
    reintentos_ = 0;
    versionAceptada_ = false;
    // Nothing may change the setpoints or the line until the send ends.
    habilitar(false);
    if (lineaLibre_)
        iniciarCadena();
    else
        esperandoLinea_ = true;
}

void EnvioSetpoints::iniciarCadena()
{
    esperandoLinea_ = false;
    if (!st_.Grabando_Setpoints)
        return;
    loop_.Inicio_Limpio();
    // The chain's replies are real replies: dispatching is stopped again at
    // every end.
    st_.link.Detener_Comunicacion = false;
    engine_.Reconocer_Controles_De_Comunicacion();
    engine_.setAccion(1);
    engine_.Ejecuta();
    if (!st_.link.Puerto_Abierto) {
        terminar(Fin::PuertoCerrado);
        return;
    }
    sched_.setSolicitante_Actual(&engine_);
    reintentos_ = 0;
    escritos_ = Bloques_Escritos({1, 2, 3, 4, 5, 6});
    enviar(60);
}

void EnvioSetpoints::enviar(int accion)
{
    if (const int b = Bloque_De_Escritura(accion))
        escritos_.Enviado(b);
    engine_.setAccion(static_cast<std::int16_t>(accion));
    engine_.Ejecuta();
    // A frame that never leaves still times out.
    loop_.Trama_Iniciada();
}

void EnvioSetpoints::Paso_Cadena(bool opOK)
{
    (void)opOK; // a refused identification also fails: the chain looks closer
    if (!st_.Grabando_Setpoints || esperandoLinea_)
        return;
    if (!engine_.Respuesta_Valida()) {
        terminar(Fin::RespuestaFallida);
        return;
    }
    if (const int b = Bloque_De_Escritura(engine_.Accion()))
        escritos_.Confirmado(b);
    switch (engine_.Accion()) {
    case 60:
        if (!Version_Admitida(engine_.Firmware(), engine_.Version(),
                              svc_.firmwareRele ? svc_.firmwareRele() : std::string())) {
            terminar(Fin::NoAdmitido);
            return;
        }
        versionAceptada_ = true;
        enviar(27);
        break;
    case 27: enviar(28); break;
    case 28: enviar(110); break;
    case 110: enviar(111); break;
    case 111: enviar(112); break;
    case 112: enviar(113); break;
    default: terminar(Fin::Completo); break;
    }
}

void EnvioSetpoints::Paso_Reinicio()
{
    if (!st_.Grabando_Setpoints || esperandoLinea_)
        return;
    if (reintentos_ >= kMaxReintentos) {
        terminar(Fin::SinRespuesta);
        return;
    }
    ++reintentos_;
    // Until the relay's identification has passed the check, nothing is
    // written: the restart asks for it again.
    const int accion = versionAceptada_ ? 27 : 60;
    loop_.Esperar_Linea_Quieta([this, accion] {
        if (st_.Grabando_Setpoints)
            enviar(accion);
    });
}

void EnvioSetpoints::Cancelar_Grabacion()
{
    esperandoLinea_ = false;
    if (!st_.Grabando_Setpoints)
        return;
    st_.Grabando_Setpoints = false;
    loop_.Parar_Timer1();
    habilitar(true);
}

void EnvioSetpoints::Bloque_Rechazado(int bloque, int excepcion)
{
    if (st_.Grabando_Setpoints)
        escritos_.Rechazado(bloque, excepcion);
}

std::string EnvioSetpoints::Detalle_En_Curso() const
{
    return st_.Grabando_Setpoints ? escritos_.Detalle() : std::string();
}

void EnvioSetpoints::terminar(Fin fin)
{
    st_.Grabando_Setpoints = false;
    esperandoLinea_ = false;
    loop_.Parar_Timer1();
    st_.link.Detener_Comunicacion = true;
    st_.link.Comunicando = false;
    if (fin == Fin::SinRespuesta || fin == Fin::RespuestaFallida) {
        try {
            if (ISerialPort* p = engine_.Comunicacion(); p != nullptr && p->portOpen())
                p->setPortOpen(false);
        } catch (const SerialPortError&) {
        }
    }
    habilitar(true);
    switch (fin) {
    case Fin::NoAdmitido:
        ui().msgBox(kNoAdmitido, MsgButtons::OKOnly, MsgIcon::Information, kAppTitle);
        break;
    case Fin::SinRespuesta:
    case Fin::RespuestaFallida:
        ui().msgBoxDetail(kErrorEnvio, MsgButtons::OKOnly, MsgIcon::Critical, kAppTitle,
                          QString::fromStdString(escritos_.Detalle()));
        break;
    default: break;
    }
}

} // namespace kova
