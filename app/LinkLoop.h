#pragma once
// The main window's link loop: answers the serial port's events, times the
// replies out, hands each reply to the engine, dispatches the next request
// from the engine's events, shows the result messages of writes and relay
// commands, and refreshes the link state every 500 ms. No widgets; the main
// window owns one instance and shows what the refresh signals carry.
//
// Timers: TmrRetardoCom (10 ms one-shot, reply hand-over), Timer1 (1000 ms,
// reply time-out at the second silent tick), Timer_Comunicacion (1000 ms
// while online, runs the same time-out tick so a request that sent no frame
// never stalls the loop) and Timer2 (500 ms, status refresh). Timer1 is
// switched off at every reply and on at every send, so it is a
// CountdownTimer: the event loop's timer beneath is not given back and taken
// again for each poll.
//
// The loop installs the engine's ComunicacionFinalizada, Finalizado and
// ErrorCommActivado handlers and the port's event handler. Beyond the bare
// hand-over it makes sure that:
// - a failed reply while online counts like a missed one, and a request that
//   failed five times in a row is given up and the link is left as on a link
//   error;
// - while connecting (before the first passed reply) time-outs and failed
//   replies are counted too: each one retries, the fifth ends in the link
//   error, so a silent relay is reported instead of waited for;
// - after a time-out, or a failed reply, the next frame waits until the
//   line has been quiet for a while (late replies are dropped); a line that
//   never falls quiet ends the wait after a limit, as if it were quiet, and
//   the next request then fails by the usual counts;
// - the link error is handled once: its timers stop before the message and
//   it cannot run again until the next connect;
// - a reply is never handed over while another one is being handled (for
//   example while a result message is open); stray bytes are dropped;
// - while the setpoint send chain runs it gets every reply and every
//   time-out tick, and the loop does nothing else with them;
// - a job that takes the line over stops the loop first and starts only
//   once the request in flight is answered or timed out and the line is
//   quiet.
//
// Store transaction: a page that sends setpoints queues its block writes and
// hands their slots over (Iniciar_Grabacion). "Setpoints were Saved to the
// Relay memory" is shown once, when every one of them had a passed reply; a
// write that could not be queued shows the communication error when the
// others have been answered, and a write given up or the link lost ends the
// transaction without a word of saving. The communication error of a
// transaction carries a detail line naming the blocks the relay confirmed,
// those it refused with an exception reply (found among the bytes dropped
// after the time-out, as it is shorter than the reply awaited), those that
// may have been written (an exception code beyond 03 is given) and those not
// sent. Replies to block writes outside a transaction show nothing.
//
// Clock store: the write of the clock (93) is followed by the apply command
// (92) the engine queues after it, without a box in between; "saved" is
// shown only once 92 has passed too. A link error meanwhile says in its
// detail what the relay holds of it: the clock refused, or perhaps written
// and not applied; written and not applied (92 refused); or written and
// perhaps not applied (92 got no valid answer). A write that passed with no
// apply command to follow (dispatching stopped meanwhile) is told as the
// communication error: written, not applied.
//
// A reply that comes for a request no longer running (timed out, or given
// up with the link) shows nothing: the request was already counted as
// failed.
//
// Signals for the windows: each passed reply (queue, slot and code, once the
// engine has stored its data), each failed attempt of a request while online,
// each request given up, the link lost, the end of a store transaction and
// the start of a connect.

#include "app/Bloques_Escritos.h"
#include "link/INotifier.h"
#include "link/ISerialPort.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/Proceso_Comunicacion.h"
#include "platform/CountdownTimer.h"

#include <QBasicTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kova {

// The relay's eleven status flags in panel order: Trip, AUX1, AUX2, AUX3,
// OutOfService, BreakerOpen, BreakerClosed, BreakerEarthed,
// AutoRecloseEnable, AutoRecloseInProgress, Lockout.
using Banderas_Estado = std::array<std::uint8_t, 11>;

// The setpoint send chain as the loop sees it.
class ICadena_Grabacion {
public:
    virtual ~ICadena_Grabacion() = default;
    // The chain runs: replies and time-out ticks are its own.
    virtual bool Grabando_Setpoints() const = 0;
    // A reply was handled by the engine (passed its check or not).
    virtual void Paso_Cadena(bool opOK) = 0;
    // A time-out tick.
    virtual void Paso_Reinicio() = 0;
    // A connect ends a send still running.
    virtual void Cancelar_Grabacion() = 0;
    // The relay answered a write of setpoint block `bloque` (1 to 6) with an
    // exception reply of code `excepcion`, found among the bytes dropped
    // after a time-out.
    virtual void Bloque_Rechazado(int bloque, int excepcion)
    {
        (void)bloque;
        (void)excepcion;
    }
};

class LinkLoop : public QObject {
    Q_OBJECT
public:
    // Failures in a row after which a request is given up.
    static constexpr int kMaxFallosSolicitud = kFallosParaAbandonar;
    // Time-outs or failed replies in a row after which a connect is given up.
    static constexpr int kMaxFallosConexion = 5;

    static inline const std::string kGuardado = "Setpoints were Saved to the Relay memory";
    static inline const std::string kEjecutado = "Command executed";
    static inline const std::string kErrorComunicacion = " Communication Error...";
    static inline const QString kEnLinea = QStringLiteral("Comunicating...");
    static inline const QString kFueraDeLinea = QStringLiteral("Not Communicating....");

    LinkLoop(KOVA200& engine, Proceso_Comunicacion& scheduler, LinkState& state, ISerialPort& port,
             INotifier* notifier, QObject* parent = nullptr);
    ~LinkLoop() override;

    // Connect command: opens the port (request 1 at once), queues the
    // connect sequence and dispatches. Returns whether the port opened.
    bool Conectar(int puerto, const std::string& cadenaCom, int direccion);

    // Last step of the link-error handler: the connection window's
    // work-without-relay command.
    void setTrabajarSinRele(std::function<void()> hook) { trabajarSinRele_ = std::move(hook); }
    // Takes the relay's firmware text (blanks trimmed) at the first passed
    // reply of a connect.
    void setFirmwareRele(std::function<void(const std::string&)> hook) { firmwareRele_ = std::move(hook); }

    // The send chain the replies and ticks go to while it runs (not owned).
    void setCadena_Grabacion(ICadena_Grabacion* cadena) { cadena_ = cadena; }
    // Stops the loop for a job that takes the line over: dispatching stops,
    // the request in flight gets its reply (shown as usual, nothing else
    // follows) or its time-out, then the line must fall quiet; `listo` runs
    // after that. Calling it again while stopping only replaces `listo`.
    void Detener_Linea(std::function<void()> listo);
    bool deteniendo() const { return parando_; }
    // Timer2 and Timer_Comunicacion off: no status refresh, no online tick.
    void Parar_Refresco();
    // A clean start for a job on the line, as a connect has: the refresh
    // off, no quiet-line wait pending, no tick or failure counted.
    void Inicio_Limpio();
    // A frame was started outside the scheduler: its time-out counts from now.
    void Trama_Iniciada() { timer1_.start(); }
    void Parar_Timer1() { timer1_.stop(); }
    // The time-out off; `luego` runs once the line has been quiet (late
    // bytes are dropped meanwhile).
    void Esperar_Linea_Quieta(std::function<void()> luego);

    // Shorter intervals for tests (milliseconds).
    void setIntervals(int timeoutMs, int retardoMs, int silencioMs);
    // Longest wait for a quiet line (milliseconds, 2000 by default).
    void setLimiteSilencio(int ms) { limiteSilencioMs_ = ms; }
    void setRefreshInterval(int ms) { timer2_.setInterval(ms); }

    // Serial event handler (also callable).
    void MSComm1_OnComm(CommEvent evento);
    // Reply time-out tick of Timer1 and Timer_Comunicacion.
    void Timer1_Timer();
    // Status refresh tick.
    void Timer2_Timer();
    // Decodes the status block and hands the eleven flags to the panel.
    Banderas_Estado Actualiza_Valores();
    void ResetTiempo() { ticksSinRespuesta_ = 0; }

    // A request in the scheduler: queue, slot and request code.
    struct Solicitud {
        int cola = 0;
        int posicion = 0;
        int codigo = 0;
        bool operator==(const Solicitud&) const = default;
    };
    // Starts the store transaction of the block writes queued in these slots;
    // sinCola: the codes of the writes that could not be queued.
    void Iniciar_Grabacion(const std::vector<Solicitud>& escrituras, const std::vector<int>& sinCola = {});
    bool Grabacion_En_Curso() const { return grabacion_.activa; }
    // A clock store is under way: its write, or its apply command after the
    // write passed, runs, or waits while dispatching goes on.
    bool Reloj_En_Curso() const;
    // Failed attempts in a row (while online) of the requests with this code,
    // whatever their slots, since one last passed or the connect.
    int Fallos_Seguidos(int codigo) const;
    // While a store transaction or a clock store runs: what the relay now
    // holds of it, as the detail line of its error would say (a write in
    // flight may have been written; a clock not yet sent: nothing was
    // written); empty otherwise.
    std::string Detalle_En_Curso() const;

    int Ticks_Sin_Respuesta() const { return ticksSinRespuesta_; }
    bool timer1Activo() const { return timer1_.isActive(); }
    bool timerComunicacionActivo() const { return timerComunicacion_.isActive(); }
    bool timer2Activo() const { return timer2_.isActive(); }
    bool tmrRetardoComActivo() const { return tmrRetardoCom_.isActive(); }
    // Connected, no passed reply yet, dispatching not stopped.
    bool conectando() const;
    // Waiting for a quiet line after a time-out before the next frame.
    bool esperandoSilencio() const { return esperandoSilencio_; }

signals:
    // Text of status-bar panel 6.
    void Panel6(const QString& texto);
    // The status flags for the panel's properties (not yet redrawn).
    void Estado_Rele(const kova::Banderas_Estado& banderas);
    // Redraw the status panel from its properties.
    void Mostrar_Estado();
    // The link was found offline: every lamp off, the main window enabled,
    // the reset command allowed.
    void Fuera_De_Linea();

    // A request had a passed reply; its data are in the images.
    void Respuesta_Aceptada(int cola, int posicion, int codigo);
    // A request failed once while online: its reply failed its check or was
    // refused, or it timed out.
    void Respuesta_Fallida(int cola, int posicion, int codigo);
    // A request failed too often and was given up (the link error follows):
    // five times in a row, or its miss was the fifth of the link in a row.
    void Solicitud_Abandonada(int cola, int posicion, int codigo);
    // The link went offline: link error, or the port closed at a reply while
    // dispatching was stopped.
    void Enlace_Perdido();
    // The store transaction ended; guardado when the relay took every write.
    void Grabacion_Terminada(bool guardado);
    // A connect starts (nothing read from the relay yet).
    void Conexion_Iniciada();

protected:
    // TmrRetardoCom's tick.
    void timerEvent(QTimerEvent* e) override;

private:
    void TmrRetardoCom_Timer();
    void silencioTick();
    // Starts the quiet-line wait: bytes in are dropped, the limit counts from now.
    void empezarSilencio();
    // The quiet-line wait has lasted its limit.
    bool silencioAgotado() const { return inicioSilencio_.hasExpired(limiteSilencioMs_); }
    void onComunicacionFinalizada(bool opOK);
    void onFinalizado(bool& respuesta);
    void onErrorCommActivado();
    // The reply in flight of a stopped loop, or its time-out, came.
    void finParada();
    void terminarParada();
    bool grabando() const { return cadena_ != nullptr && cadena_->Grabando_Setpoints(); }
    // Counts one failure of the running request (time-out or failed reply);
    // true when the link was given up.
    bool contarFallo(bool enEjecucion);
    void mensajeResultado(int accion);
    enum class Icono { Critico, Exclamacion, Informacion };
    // A message box with the loop's timers stopped while it is open.
    void mostrar(Icono icono, const std::string& texto, const std::string& titulo, const std::string& detalle = {});
    void respuestaDeGrabacion(const Solicitud& s);
    // The request running now is a write of the transaction: it went out
    // and failed.
    void marcarEnviada();
    // The relay refused this frame (an exception reply dropped unread).
    void tramaRechazada(const Trama_Rechazada& rechazo);
    // The detail line of a store's or clock store's error: what the relay
    // now holds of it; empty when none is under way.
    std::string detalleGrabacion() const;
    // A critical box, with its detail line when there is one.
    void critico(const std::string& texto, const std::string& titulo, const std::string& detalle);
    void terminarGrabacion(bool guardado);
    void enlaceTerminado();
    void drenarEntrada();
    // A timer switched on keeps its countdown when it already runs.
    template <class Timer>
    static void activar(Timer& t)
    {
        if (!t.isActive())
            t.start();
    }

    KOVA200& engine_;
    Proceso_Comunicacion& sched_;
    LinkState& state_;
    ISerialPort& port_;
    INotifier* notifier_;
    std::function<void()> trabajarSinRele_;
    std::function<void(const std::string&)> firmwareRele_;
    ICadena_Grabacion* cadena_ = nullptr;
    // Stopping for a job on the line; `listoParada_` runs when stopped.
    bool parando_ = false;
    std::function<void()> listoParada_;
    // Runs instead of the next dispatch when the line has been quiet.
    std::function<void()> continuacion_;

    // One-shot: stopped at its tick, which gives it back to the event loop.
    QBasicTimer tmrRetardoCom_;
    int retardoMs_ = 10;
    CountdownTimer timer1_{[this] { Timer1_Timer(); }};
    QTimer timerComunicacion_;
    QTimer timer2_;
    QTimer silencio_;
    QElapsedTimer inicioSilencio_;
    int limiteSilencioMs_ = 2000;

    int ticksSinRespuesta_ = 0;
    bool esperandoSilencio_ = false;
    bool enErrorComm_ = false;
    // The request given up was told (Solicitud_Abandonada) for the link
    // error now being raised.
    bool abandonoAvisado_ = false;
    // A reply is being handled, or a message of the loop is open: receive
    // events only drop what came in.
    bool ocupado_ = false;
    bool conectando_ = false;
    int fallosConexion_ = 0;
    struct Grabacion {
        bool activa = false;
        std::vector<Solicitud> pendientes;
        std::vector<int> sinCola;
        // What became of each block of the store.
        Bloques_Escritos escritos;
    } grabacion_;
    // The clock store under way: its write (93) and its apply command (92).
    struct Reloj {
        Envios escritura;
        Envios aplicar;
        // 93 passed and its 92 waits.
        bool escrito = false;
    } reloj_;
    // The events clear command's sends since its last passed reply.
    Envios borrado_;
    std::array<std::array<int, Proceso_Comunicacion::kSlots>, Proceso_Comunicacion::kColas> fallos_{};
    std::map<int, int> fallosSeguidos_;
};

} // namespace kova
