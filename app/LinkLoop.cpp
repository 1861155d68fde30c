#include "app/LinkLoop.h"

namespace kova {

LinkLoop::LinkLoop(KOVA200& engine, Proceso_Comunicacion& scheduler, LinkState& state, ISerialPort& port,
                   INotifier* notifier, QObject* parent)
    : QObject(parent), engine_(engine), sched_(scheduler), state_(state), port_(port), notifier_(notifier)
{
    tmrRetardoCom_.setSingleShot(true);
    tmrRetardoCom_.setInterval(10);
    timer1_.setInterval(1000);
    timerComunicacion_.setInterval(1000);
    silencio_.setSingleShot(true);
    silencio_.setInterval(50);

    connect(&tmrRetardoCom_, &QTimer::timeout, this, [this] { TmrRetardoCom_Timer(); });
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(&timerComunicacion_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
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

bool LinkLoop::Conectar(int puerto, const std::string& cadenaCom, int direccion)
{
    ticksSinRespuesta_ = 0;
    esperandoSilencio_ = false;
    silencio_.stop();
    enErrorComm_ = false;
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
    sched_.Despachar_Solicitud();
    return true;
}

void LinkLoop::MSComm1_OnComm(CommEvent evento)
{
    if (esperandoSilencio_) {
        // A late reply after a time-out: drop it, the line is not quiet yet.
        if (evento == CommEvent::Receive) {
            drenarEntrada();
            silencio_.start();
        }
        return;
    }
    switch (evento) {
    case CommEvent::Receive:
        ticksSinRespuesta_ = 0;
        timer1_.stop();
        tmrRetardoCom_.start();
        ResetTiempo();
        break;
    case CommEvent::Send:
        ticksSinRespuesta_ = 0;
        timer1_.start();
        break;
    }
}

void LinkLoop::TmrRetardoCom_Timer()
{
    tmrRetardoCom_.stop();
    IRequester* r = sched_.Solicitante_Actual();
    if (r == nullptr)
        r = &engine_;
    r->Refrescar();
}

void LinkLoop::Timer1_Timer()
{
    if (esperandoSilencio_)
        return;
    ++ticksSinRespuesta_;
    bool abandonada = false;
    if (ticksSinRespuesta_ >= 2 && sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando) {
        sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
        abandonada = contarFalloActual();
    }
    if (abandonada)
        return;
    if (ticksSinRespuesta_ >= 2) {
        ticksSinRespuesta_ = 0;
        // Wait for a quiet line so a late reply is not taken for the next one.
        esperandoSilencio_ = true;
        drenarEntrada();
        silencio_.start();
    }
    if (!state_.Comunicando)
        timer1_.stop();
    else if (!timer1_.isActive())
        timer1_.start();
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
    sched_.Revisar_Comunicacion();
}

void LinkLoop::drenarEntrada()
{
    try {
        if (port_.portOpen())
            (void)port_.input();
    } catch (const SerialPortError&) {
    }
}

bool LinkLoop::contarFalloActual()
{
    if (!state_.Comunicando)
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
    if (opOK && !state_.Comunicando) {
        state_.Comunicando = true;
        timerComunicacion_.start();
    }
    if (!opOK) {
        if (sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando)
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
        // A failed reply counts like a missed one while online.
        if (state_.Comunicando && !contarFalloActual())
            engine_.AumentarErrorComm();
    } else {
        fallos_[sched_.Cola_Actual()][sched_.Posicion_Actual()] = 0;
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
    state_.Detener_Comunicacion = true;
    state_.Comunicando = false;
    timer1_.stop();
    timerComunicacion_.stop();
    silencio_.stop();
    esperandoSilencio_ = false;
    if (notifier_ != nullptr)
        notifier_->critical(" Communication Error...", "Communication Error");
    if (trabajarSinRele_)
        trabajarSinRele_();
}

} // namespace kova
