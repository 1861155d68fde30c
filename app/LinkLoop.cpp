#include "app/LinkLoop.h"

#include "app/Bloques_Escritos.h"
#include "app/Cp1252.h"

#include <QTimerEvent>

#include <algorithm>
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
    timer1_.setInterval(1000);
    timerComunicacion_.setInterval(1000);
    timer2_.setInterval(500);
    silencio_.setSingleShot(true);
    silencio_.setInterval(50);

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
    retardoMs_ = retardoMs;
    silencio_.setInterval(silencioMs);
}

bool LinkLoop::conectando() const
{
    return conectando_ && !state_.Comunicando && !state_.Detener_Comunicacion;
}

bool LinkLoop::Conectar(int puerto, const std::string& cadenaCom, int direccion)
{
    // A connect ends a setpoint send, and a stop for one, that still runs.
    if (cadena_ != nullptr)
        cadena_->Cancelar_Grabacion();
    parando_ = false;
    listoParada_ = nullptr;
    continuacion_ = nullptr;
    ticksSinRespuesta_ = 0;
    esperandoSilencio_ = false;
    silencio_.stop();
    enErrorComm_ = false;
    conectando_ = false;
    fallosConexion_ = 0;
    for (auto& cola : fallos_)
        cola.fill(0);
    fallosSeguidos_.clear();
    grabacion_ = Grabacion{};
    reloj_ = Reloj{};
    borrado_ = Envios{};
    emit Conexion_Iniciada();

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
            // Past the limit the running countdown ends the wait.
            if (esperandoSilencio_ && !silencioAgotado())
                silencio_.start();
        }
        return;
    }
    switch (evento) {
    case CommEvent::Receive:
        timer1_.stop();
        if (!tmrRetardoCom_.isActive())
            tmrRetardoCom_.start(retardoMs_, Qt::PreciseTimer, this);
        ResetTiempo();
        break;
    case CommEvent::Send:
        ticksSinRespuesta_ = 0;
        activar(timer1_);
        break;
    }
}

void LinkLoop::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == tmrRetardoCom_.timerId())
        TmrRetardoCom_Timer();
    else
        QObject::timerEvent(e);
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
    if (parando_) {
        // Stopping: the request in flight times out at the second tick.
        if (++ticksSinRespuesta_ >= 2) {
            if (sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando) {
                sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
                marcarEnviada();
            }
            finParada();
        }
        return;
    }
    if (grabando()) {
        // A refusal of the write now waiting is on the line: taken before
        // the chain restarts or ends.
        drenarEntrada();
        cadena_->Paso_Reinicio();
        return;
    }
    ++ticksSinRespuesta_;
    if (ticksSinRespuesta_ >= 2) {
        const bool enEjecucion = sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando;
        if (enEjecucion) {
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
            marcarEnviada();
        }
        // An exception reply (shorter than the reply awaited) is on the line:
        // taken before the failure is counted and perhaps reported.
        drenarEntrada();
        if (contarFallo(enEjecucion))
            return;
        ticksSinRespuesta_ = 0;
        // Wait for a quiet line so a late reply is not taken for the next one.
        empezarSilencio();
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
        if (!silencioAgotado()) {
            silencio_.start();
            return;
        }
        // A line that never falls quiet: go ahead; the next request fails
        // on the noise and is counted like any failure.
    }
    esperandoSilencio_ = false;
    ticksSinRespuesta_ = 0;
    if (continuacion_) {
        const auto luego = std::move(continuacion_);
        continuacion_ = nullptr;
        luego();
        return;
    }
    if (conectando())
        sched_.Despachar_Solicitud(); // the scheduler's own check counts only online
    else
        sched_.Revisar_Comunicacion();
}

void LinkLoop::empezarSilencio()
{
    esperandoSilencio_ = true;
    inicioSilencio_.start();
    drenarEntrada();
    silencio_.start();
}

void LinkLoop::drenarEntrada()
{
    Trama_Rechazada rechazada;
    try {
        if (port_.portOpen())
            rechazada = engine_.Entrada_Descartada(port_.input());
    } catch (const SerialPortError&) {
    }
    if (!rechazada.trama.empty())
        tramaRechazada(rechazada);
}

void LinkLoop::tramaRechazada(const Trama_Rechazada& rechazo)
{
    const int escritura = Escritura_De_Trama(rechazo.trama);
    if (escritura == 93) {
        reloj_.escritura.Excepcion(rechazo.excepcion);
        return;
    }
    if (escritura == 92) {
        if (reloj_.escrito)
            reloj_.aplicar.Excepcion(rechazo.excepcion);
        return;
    }
    if (escritura == 13) {
        borrado_.Excepcion(rechazo.excepcion);
        return;
    }
    const int b = Bloque_De_Escritura(escritura);
    if (b == 0)
        return;
    // While the loop stops for the send, the frames on the line are still
    // the loop's own.
    if (grabando() && !parando_)
        cadena_->Bloque_Rechazado(b, rechazo.excepcion);
    else if (grabacion_.activa)
        grabacion_.escritos.Rechazado(b, rechazo.excepcion);
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
    ++fallosSeguidos_[engine_.Accion()];
    emit Respuesta_Fallida(sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion());
    int& n = fallos_[sched_.Cola_Actual()][sched_.Posicion_Actual()];
    if (++n < kMaxFallosSolicitud)
        return false;
    // Given up: the slot is freed and the link is left as on a link error.
    n = 0;
    sched_.setEstado_Actual(Proceso_Comunicacion::kLibre);
    emit Solicitud_Abandonada(sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion());
    abandonoAvisado_ = true;
    engine_.setErrorComm(true);
    onErrorCommActivado();
    return true;
}

void LinkLoop::onComunicacionFinalizada(bool opOK)
{
    Marca m(ocupado_);
    if (parando_) {
        // The reply in flight of a stopped loop: its result is shown, and
        // nothing follows it (no online switch, no count, no dispatch).
        const bool enEjecucion = sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando;
        if (opOK) {
            mensajeResultado(engine_.Accion());
            if (enEjecucion)
                sched_.setEstado_Actual(Proceso_Comunicacion::kTerminada);
        } else if (enEjecucion) {
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
            marcarEnviada();
        }
        finParada();
        return;
    }
    if (grabando()) {
        cadena_->Paso_Cadena(opOK);
        return;
    }
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
        if (enEjecucion) {
            sched_.setEstado_Actual(Proceso_Comunicacion::kPendiente);
            marcarEnviada();
        }
        const bool enLinea = state_.Comunicando;
        if (contarFallo(enEjecucion))
            return; // the link error ran: dispatching stopped, port left open
        // A failed reply counts like a missed one while online.
        if (enLinea) {
            engine_.AumentarErrorComm();
            if (enErrorComm_)
                return;
        }
    } else if (sched_.Estado_Actual() != Proceso_Comunicacion::kEjecutando) {
        // A late reply to a request already timed out or given up (after the
        // link error, for one): it was counted as failed, and a link given
        // up was told so; it shows nothing now.
    } else {
        const Solicitud s{sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion()};
        mensajeResultado(s.codigo);
        fallos_[s.cola][s.posicion] = 0;
        fallosSeguidos_.erase(s.codigo);
        fallosConexion_ = 0;
        sched_.setEstado_Actual(Proceso_Comunicacion::kTerminada);
        emit Respuesta_Aceptada(s.cola, s.posicion, s.codigo);
        respuestaDeGrabacion(s);
    }
    if (!state_.Detener_Comunicacion && !opOK) {
        // A failed or refused reply: the relay may still be sending, or may
        // have queued an earlier frame; the next frame waits for a quiet line
        // as after a time-out. The miss is already counted.
        continuacion_ = [this] {
            if (!state_.Detener_Comunicacion)
                sched_.Despachar_Solicitud();
        };
        empezarSilencio();
    } else if (!state_.Detener_Comunicacion) {
        sched_.Despachar_Solicitud();
    } else {
        try {
            port_.setPortOpen(false);
        } catch (const SerialPortError&) {
        }
        // Online, connecting (a relay of the wrong kind answered) or storing:
        // whoever waits for the relay is told it has gone.
        const bool perdido = state_.Comunicando || conectando_ || grabacion_.activa;
        state_.Comunicando = false;
        conectando_ = false;
        timerComunicacion_.stop();
        if (perdido)
            enlaceTerminado();
    }
}

void LinkLoop::Iniciar_Grabacion(const std::vector<Solicitud>& escrituras, const std::vector<int>& sinCola)
{
    grabacion_ = Grabacion{};
    grabacion_.activa = true;
    grabacion_.pendientes = escrituras;
    grabacion_.sinCola = sinCola;
    std::set<int> bloques;
    for (const Solicitud& s : escrituras)
        bloques.insert(Bloque_De_Escritura(s.codigo));
    for (int codigo : sinCola)
        bloques.insert(Bloque_De_Escritura(codigo));
    bloques.erase(0);
    grabacion_.escritos = Bloques_Escritos({bloques.begin(), bloques.end()});
    if (grabacion_.pendientes.empty())
        terminarGrabacion(false);
}

void LinkLoop::marcarEnviada()
{
    if (engine_.Accion() == 93)
        reloj_.escritura.Enviado();
    else if (engine_.Accion() == 92 && reloj_.escrito)
        reloj_.aplicar.Enviado();
    else if (engine_.Accion() == 13)
        borrado_.Enviado();
    if (!grabacion_.activa)
        return;
    const Solicitud s{sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion()};
    const auto& p = grabacion_.pendientes;
    if (std::find(p.begin(), p.end(), s) != p.end())
        grabacion_.escritos.Enviado(Bloque_De_Escritura(s.codigo));
}

std::string LinkLoop::detalleGrabacion() const
{
    std::string d;
    if (grabacion_.activa) {
        Bloques_Escritos escritos = grabacion_.escritos;
        // A write of the transaction in flight has gone out: it may be written.
        const Solicitud s{sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion()};
        const auto& p = grabacion_.pendientes;
        if (sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando && std::find(p.begin(), p.end(), s) != p.end())
            escritos.Enviado(Bloque_De_Escritura(s.codigo));
        d = escritos.Detalle();
    }
    // The clock store: its write, or its apply command, in flight has gone
    // out too.
    Reloj reloj = reloj_;
    if (sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando) {
        if (engine_.Accion() == 93)
            reloj.escritura.Enviado();
        else if (engine_.Accion() == 92 && reloj.escrito)
            reloj.aplicar.Enviado();
    }
    const std::string delReloj = Detalle_Reloj(reloj.escritura, reloj.aplicar);
    if (!delReloj.empty())
        d += (d.empty() ? "" : " ") + delReloj;
    return d;
}

int LinkLoop::Fallos_Seguidos(int codigo) const
{
    const auto it = fallosSeguidos_.find(codigo);
    return it == fallosSeguidos_.end() ? 0 : it->second;
}

bool LinkLoop::Reloj_En_Curso() const
{
    const int accion = engine_.Accion();
    const bool enVuelo = sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando;
    if (enVuelo && (accion == 93 || (accion == 92 && reloj_.escrito)))
        return true;
    // Once dispatching has stopped, what waits is never sent.
    return !state_.Detener_Comunicacion &&
           (sched_.Solicitud_En_Espera(93) || (reloj_.escrito && sched_.Solicitud_En_Espera(92)));
}

std::string LinkLoop::Detalle_En_Curso() const
{
    if (grabacion_.activa)
        return detalleGrabacion();
    if (!Reloj_En_Curso())
        return {};
    // A clock store whose write has not gone out yet: nothing of it is in the relay.
    const std::string d = detalleGrabacion();
    return d.empty() ? kNadaEscrito : d;
}

void LinkLoop::respuestaDeGrabacion(const Solicitud& s)
{
    if (!grabacion_.activa)
        return;
    auto& p = grabacion_.pendientes;
    const auto it = std::find(p.begin(), p.end(), s);
    if (it == p.end())
        return;
    p.erase(it);
    grabacion_.escritos.Confirmado(Bloque_De_Escritura(s.codigo));
    if (p.empty())
        terminarGrabacion(grabacion_.sinCola.empty());
}

void LinkLoop::terminarGrabacion(bool guardado)
{
    // A write that could not be queued: told once the others are answered.
    const bool sinCola = !grabacion_.sinCola.empty();
    const std::string detalle = detalleGrabacion();
    grabacion_ = Grabacion{};
    if (guardado)
        mostrar(Icono::Exclamacion, kGuardado, "KOVA");
    else if (sinCola)
        mostrar(Icono::Critico, kErrorComunicacion, "Communication Error", detalle);
    emit Grabacion_Terminada(guardado);
}

void LinkLoop::enlaceTerminado()
{
    reloj_ = Reloj{};
    borrado_ = Envios{};
    if (grabacion_.activa) {
        // The link error's box already told what the relay holds.
        grabacion_.sinCola.clear();
        terminarGrabacion(false);
    }
    emit Enlace_Perdido();
}

// Block writes are confirmed by their store transaction, not one by one.
void LinkLoop::mensajeResultado(int accion)
{
    switch (accion) {
    case 93:
        // The clock is applied by the command (92) the engine queues after
        // its write: "saved" follows that command's reply.
        reloj_ = Reloj{};
        reloj_.escritura.Confirmado();
        reloj_.escrito = true;
        if (!sched_.Solicitud_En_Espera(92)) {
            // No apply command follows (dispatching stopped meanwhile): the
            // clock was written, not applied.
            const std::string detalle = Detalle_Reloj(reloj_.escritura, reloj_.aplicar);
            reloj_ = Reloj{};
            mostrar(Icono::Critico, kErrorComunicacion, "Communication Error", detalle);
        }
        break;
    case 92:
        if (!reloj_.escrito)
            break;
        reloj_ = Reloj{};
        mostrar(Icono::Exclamacion, kGuardado, "KOVA");
        break;
    case 13:
        borrado_ = Envios{};
        [[fallthrough]];
    case 11:
    case 12:
        mostrar(Icono::Informacion, kEjecutado, "KOVA");
        break;
    default:
        break;
    }
}

void LinkLoop::mostrar(Icono icono, const std::string& texto, const std::string& titulo, const std::string& detalle)
{
    const bool enLinea = state_.Comunicando;
    timerComunicacion_.stop();
    timer1_.stop();
    timer2_.stop();
    if (notifier_ != nullptr) {
        switch (icono) {
        case Icono::Critico:
            critico(texto, titulo, detalle);
            break;
        case Icono::Exclamacion:
            notifier_->exclamation(texto, titulo);
            break;
        case Icono::Informacion:
            notifier_->information(texto, titulo);
            break;
        }
    }
    if (enLinea) {
        activar(timerComunicacion_);
        activar(timer1_);
    }
    activar(timer2_);
}

void LinkLoop::critico(const std::string& texto, const std::string& titulo, const std::string& detalle)
{
    if (detalle.empty())
        notifier_->critical(texto, titulo);
    else
        notifier_->criticalDetail(texto, titulo, detalle);
}

void LinkLoop::Detener_Linea(std::function<void()> listo)
{
    state_.Detener_Comunicacion = true;
    listoParada_ = std::move(listo);
    if (parando_)
        return;
    parando_ = true;
    if (esperandoSilencio_) {
        // A time-out's quiet-line wait is running: the stop ends with it.
        continuacion_ = [this] { terminarParada(); };
        return;
    }
    bool abierto = false;
    try {
        abierto = port_.portOpen();
    } catch (const SerialPortError&) {
    }
    const bool enVuelo = abierto && (sched_.Estado_Actual() == Proceso_Comunicacion::kEjecutando ||
                                     tmrRetardoCom_.isActive() || ocupado_);
    if (enVuelo)
        activar(timer1_); // its reply, or its time-out, ends the stop
    else
        finParada();
}

void LinkLoop::finParada()
{
    timer1_.stop();
    timerComunicacion_.stop();
    Esperar_Linea_Quieta([this] { terminarParada(); });
}

void LinkLoop::terminarParada()
{
    parando_ = false;
    const auto listo = std::move(listoParada_);
    listoParada_ = nullptr;
    if (listo)
        listo();
}

void LinkLoop::Parar_Refresco()
{
    timer2_.stop();
    timerComunicacion_.stop();
}

void LinkLoop::Inicio_Limpio()
{
    Parar_Refresco();
    timer1_.stop();
    silencio_.stop();
    esperandoSilencio_ = false;
    continuacion_ = nullptr;
    parando_ = false;
    listoParada_ = nullptr;
    ticksSinRespuesta_ = 0;
    enErrorComm_ = false;
    conectando_ = false;
    reloj_ = Reloj{};
    borrado_ = Envios{};
    fallosConexion_ = 0;
    for (auto& cola : fallos_)
        cola.fill(0);
    fallosSeguidos_.clear();
}

void LinkLoop::Esperar_Linea_Quieta(std::function<void()> luego)
{
    timer1_.stop();
    continuacion_ = std::move(luego);
    ticksSinRespuesta_ = 0;
    empezarSilencio();
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
    // The engine's count of misses in a row ended the link: the request whose
    // miss ended it is given up with it, and told so before the box.
    if (!abandonoAvisado_ && state_.Comunicando && !grabando() && !parando_)
        emit Solicitud_Abandonada(sched_.Cola_Actual(), sched_.Posicion_Actual(), engine_.Accion());
    abandonoAvisado_ = false;
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
    // With what a store, clock store or events clear under way left in the relay.
    if (notifier_ != nullptr) {
        std::string detalle = detalleGrabacion();
        if (const std::string delBorrado = Detalle_Borrado(borrado_); !delBorrado.empty())
            detalle += (detalle.empty() ? "" : " ") + delBorrado;
        critico(kErrorComunicacion, "Communication Error", detalle);
    }
    if (trabajarSinRele_)
        trabajarSinRele_();
    enlaceTerminado();
    // The refresh then shows the offline state.
    activar(timer2_);
}

} // namespace kova
