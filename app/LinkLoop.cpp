#include "app/LinkLoop.h"

#include "app/Cp1252.h"

#include <cmath>

namespace kova {

namespace {

// Marks a flag for the time it is in scope and restores it after.
class Marca {
public:
    explicit Marca(bool& flag) : flag_(flag), antes_(flag) { flag_ = true; }
    ~Marca() { flag_ = antes_; }
    Marca(const Marca&) = delete;
    Marca& operator=(const Marca&) = delete;

private:
    bool& flag_;
    bool antes_;
};

// A decoded flag as a byte: nothing or no number is 0, other numbers are
// rounded and kept within 0..255.
std::uint8_t comoByte(const NumOrText& v)
{
    const auto n = v.toNumber();
    if (!n || !std::isfinite(*n))
        return 0;
    const double r = std::nearbyint(*n);
    if (r <= 0)
        return 0;
    if (r >= 255)
        return 255;
    return static_cast<std::uint8_t>(r);
}

} // namespace

LinkLoop::LinkLoop(KOVA200& engine, Proceso_Comunicacion& scheduler, LinkState& state, ISerialPort& port,
                   INotifier* notifier, QObject* parent)
    : QObject(parent), engine_(engine), sched_(scheduler), state_(state), port_(port), notifier_(notifier)
{
    tmrRetardoCom_.setSingleShot(true);
    tmrRetardoCom_.setInterval(10);
    timer1_.setInterval(1000);
    timerComunicacion_.setInterval(1000);
    timer2_.setInterval(500);
    silencio_.setSingleShot(true);
    silencio_.setInterval(50);

    connect(&tmrRetardoCom_, &QTimer::timeout, this, [this] { TmrRetardoCom_Timer(); });
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(&timerComunicacion_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(&silencio_, &QTimer::timeout, this, [this] { silencioTick(); });

    port_.setOnComm([this](CommEvent e) { MSComm1_OnComm(e); });
    engine_.events.ComunicacionFinalizada = [this](bool ok) { onComunicacionFinalizada(ok); };
    engine_.events.Finalizado = [this](bool& r) { onFinalizado(r); };
    engine_.events.ErrorCommActivado = [this] { onErrorCommActivado(); };
    sched_.setEngine(&engine_);
    engine_.setScheduler(&sched_);
}

LinkLoop::~LinkLoop()
{
    port_.setOnComm(nullptr);
    engine_.events.ComunicacionFinalizada = nullptr;
    engine_.events.Finalizado = nullptr;
    engine_.events.ErrorCommActivado = nullptr;
}

void LinkLoop::setIntervals(int timeoutMs, int retardoMs, int silencioMs)
{
    timer1_.setInterval(timeoutMs);
    timerComunicacion_.setInterval(timeoutMs);
    tmrRetardoCom_.setInterval(retardoMs);
    silencio_.setInterval(silencioMs);
}

void LinkLoop::activar(QTimer& t)
{
    if (!t.isActive())
        t.start();
}

bool LinkLoop::conectando() const
{
    return conectando_ && !state_.Comunicando && !state_.Detener_Comunicacion;
}

bool LinkLoop::Conectar(int puerto, const std::string& cadenaCom, int direccion)
{
    ticksSinRespuesta_ = 0;
    esperandoSilencio_ = false;
    silencio_.stop();
    enErrorComm_ = false;
    conectando_ = false;
    fallosConexion_ = 0;
    for (auto& cola : fallos_)
        cola.fill(0);

    sched_.setLargo_Cola_Ciclica(1);
    state_.Detener_Comunicacion = false;
    sched_.Inicializar_Colas();
    engine_.setPuerto_PC(static_cast<std::int16_t>(puerto));
    engine_.setCadena_Com(cadenaCom);
    engine_.setDireccion(static_cast<std::int16_t>(direccion));
    engine_.Reconocer_Controles_De_Comunicacion();
    engine_.setAccion(1);
    engine_.Ejecuta();

    sched_.Agregar_Solicitud(0, &engine_, 60);
    for (int c = 61; c <= 66; ++c)
        sched_.Agregar_Solicitud(0, &engine_, static_cast<std::int16_t>(c));
    sched_.Agregar_Solicitud(3, &engine_, 2);
    for (int c = 4; c <= 10; ++c)
        sched_.Agregar_Solicitud(0, &engine_, static_cast<std::int16_t>(c));
    sched_.Agregar_Solicitud(0, &engine_, 30);

    if (!state_.Puerto_Abierto) {
        sched_.Inicializar_Colas();
        return false;
    }
    state_.Esperando_Respuesta = true;
    conectando_ = true;
    sched_.Despachar_Solicitud();
    // Times the connect out even when no frame could leave.
    activar(timer1_);
    return true;
}

void LinkLoop::MSComm1_OnComm(CommEvent evento)
{
    if (ocupado_ || esperandoSilencio_) {
        // Bytes while a reply is handled, or a late reply after a time-out:
        // dropped; after a time-out the line must first fall quiet.
        if (evento == CommEvent::Receive) {
            drenarEntrada();
            if (esperandoSilencio_)
                silencio_.start();
        }
        return;
    }
    switch (evento) {
    case CommEvent::Receive:
        timer1_.stop();
        activar(tmrRetardoCom_);
        ResetTiempo();
        break;
    case CommEvent::Send:
        ticksSinRespuesta_ = 0;
        activar(timer1_);
        break;
    }
}

void LinkLoop::TmrRetardoCom_Timer()
{
    tmrRetardoCom_.stop();
    if (ocupado_)
        return;
    Marca m(ocupado_);
    IRequester* r = sched_.Solicitante_Actual();
    if (r == nullptr)
        r = &engine_;
    r->Refrescar();
}

void LinkLoop::Timer1_Timer()
{
    if (esperandoSilencio_ || ocupado_)
        return;
    ++ticksSinRespuesta_;
    if (ticksSinRespuesta_ >= 2) {
        const bool enEjecucion = sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando;
        if (enEjecucion)
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
        if (contarFallo(enEjecucion))
            return;
        ticksSinRespuesta_ = 0;
        // Wait for a quiet line so a late reply is not taken for the next one.
        esperandoSilencio_ = true;
        drenarEntrada();
        silencio_.start();
    }
    if (state_.Comunicando || conectando())
        activar(timer1_);
    else
        timer1_.stop();
}

void LinkLoop::silencioTick()
{
    if (!esperandoSilencio_)
        return;
    int pendientes = 0;
    try {
        pendientes = port_.portOpen() ? port_.inBufferCount() : 0;
    } catch (const SerialPortError&) {
    }
    if (pendientes > 0) {
        drenarEntrada();
        silencio_.start();
        return;
    }
    esperandoSilencio_ = false;
    ticksSinRespuesta_ = 0;
    if (conectando())
        sched_.Despachar_Solicitud(); // the scheduler's own check counts only online
    else
        sched_.Revisar_Comunicacion();
}

void LinkLoop::drenarEntrada()
{
    try {
        if (port_.portOpen())
            engine_.Entrada_Descartada(port_.input());
    } catch (const SerialPortError&) {
    }
}

bool LinkLoop::contarFallo(bool enEjecucion)
{
    if (conectando()) {
        if (++fallosConexion_ < kMaxFallosConexion)
            return false;
        engine_.setErrorComm(true);
        onErrorCommActivado();
        return true;
    }
    if (!state_.Comunicando || !enEjecucion)
        return false;
    int& n = fallos_[sched_.Cola_Actual()][sched_.Posicion_Actual()];
    if (++n < kMaxFallosSolicitud)
        return false;
    // Given up: the slot is freed and the link is left as on a link error.
    n = 0;
    sched_.setEstado_Actual(Proceso_Comunicacion::kLibre);
    engine_.setErrorComm(true);
    onErrorCommActivado();
    return true;
}

void LinkLoop::onComunicacionFinalizada(bool opOK)
{
    Marca m(ocupado_);
    if (opOK && !state_.Comunicando && !state_.Detener_Comunicacion) {
        // First passed reply: online. Once dispatching is stopped (a file
        // was loaded, the link was given up) a reply still in flight no
        // longer switches the program online: it only closes the port.
        state_.Comunicando = true;
        conectando_ = false;
        activar(timer2_);
        if (firmwareRele_)
            firmwareRele_(cp1252::recortar(engine_.Version()));
    }
    if (!opOK) {
        const bool enEjecucion = sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando;
        if (enEjecucion)
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
        const bool enLinea = state_.Comunicando;
        if (contarFallo(enEjecucion))
            return; // the link error ran: dispatching stopped, port left open
        // A failed reply counts like a missed one while online.
        if (enLinea) {
            engine_.AumentarErrorComm();
            if (enErrorComm_)
                return;
        }
    } else {
        mensajeResultado(engine_.Accion());
        fallos_[sched_.Cola_Actual()][sched_.Posicion_Actual()] = 0;
        fallosConexion_ = 0;
        sched_.setEstado_Actual(Proceso_Comunicacion::kTerminada);
    }
    if (!state_.Detener_Comunicacion) {
        sched_.Despachar_Solicitud();
    } else {
        try {
            port_.setPortOpen(false);
        } catch (const SerialPortError&) {
        }
        state_.Comunicando = false;
        timerComunicacion_.stop();
    }
}

void LinkLoop::mensajeResultado(int accion)
{
    const std::string* texto = nullptr;
    bool exclamacion = false;
    switch (accion) {
    case 28:
        if (omitirMensajeGuardado_) {
            omitirMensajeGuardado_ = false;
            return;
        }
        [[fallthrough]];
    case 27:
    case 93:
    case 113:
        texto = &kGuardado;
        exclamacion = true;
        break;
    case 11:
    case 12:
    case 13:
        texto = &kEjecutado;
        break;
    default:
        return;
    }
    timerComunicacion_.stop();
    timer1_.stop();
    timer2_.stop();
    if (notifier_ != nullptr) {
        if (exclamacion)
            notifier_->exclamation(*texto, "KOVA");
        else
            notifier_->information(*texto, "KOVA");
    }
    activar(timerComunicacion_);
    activar(timer1_);
    activar(timer2_);
}

void LinkLoop::Timer2_Timer()
{
    if (!state_.Comunicando) {
        timer2_.stop();
        emit Fuera_De_Linea();
        emit Panel6(kFueraDeLinea);
        return;
    }
    activar(timerComunicacion_);
    Actualiza_Valores();
    emit Mostrar_Estado();
    emit Panel6(kEnLinea);
}

Banderas_Estado LinkLoop::Actualiza_Valores()
{
    engine_.Devuelve_Datos(0);
    Banderas_Estado b{};
    for (int k = 1; k <= 11; ++k)
        b[static_cast<std::size_t>(k - 1)] = comoByte(engine_.DatosDeVariables(static_cast<std::int16_t>(k)));
    emit Estado_Rele(b);
    return b;
}

void LinkLoop::onFinalizado(bool& respuesta)
{
    if (engine_.Accion() == 1)
        state_.Puerto_Abierto = respuesta;
}

void LinkLoop::onErrorCommActivado()
{
    if (enErrorComm_)
        return;
    enErrorComm_ = true;
    Marca m(ocupado_);
    // A connect given up waits for no first reply any more.
    if (conectando_)
        state_.Esperando_Respuesta = false;
    conectando_ = false;
    state_.Detener_Comunicacion = true;
    state_.Comunicando = false;
    timer1_.stop();
    timerComunicacion_.stop();
    timer2_.stop();
    tmrRetardoCom_.stop();
    silencio_.stop();
    esperandoSilencio_ = false;
    if (notifier_ != nullptr)
        notifier_->critical(kErrorComunicacion, "Communication Error");
    if (trabajarSinRele_)
        trabajarSinRele_();
    // The refresh then shows the offline state.
    activar(timer2_);
}

} // namespace kova
