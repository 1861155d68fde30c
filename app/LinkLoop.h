#pragma once
// The main window's link loop: answers the serial port's events, times the
// replies out, hands each reply to the engine and dispatches the next request
// from the engine's events. No widgets; the main window owns one instance.
//
// Timers: TmrRetardoCom (10 ms one-shot, reply hand-over), Timer1 (1000 ms,
// reply time-out at the second silent tick) and Timer_Comunicacion (1000 ms
// while online, runs the same time-out tick so a request that sent no frame
// never stalls the loop).
//
// The loop installs the engine's ComunicacionFinalizada, Finalizado and
// ErrorCommActivado handlers and the port's event handler. Beyond the bare
// hand-over it makes sure that: a failed reply while online counts like a
// missed one; a request that failed five times in a row is given up and the
// link is left as on a link error; after a time-out the next frame waits
// until the line has been quiet for a while (late replies are dropped).

#include "link/INotifier.h"
#include "link/ISerialPort.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/Proceso_Comunicacion.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>
#include <string>

namespace kova {

class LinkLoop : public QObject {
    Q_OBJECT
public:
    // Failures in a row after which a request is given up.
    static constexpr int kMaxFallosSolicitud = 5;

    LinkLoop(KOVA200& engine, Proceso_Comunicacion& scheduler, LinkState& state, ISerialPort& port,
             INotifier* notifier, QObject* parent = nullptr);
    ~LinkLoop() override;

    // Connect command: opens the port (request 1 at once), queues the
    // connect sequence and dispatches. Returns whether the port opened.
    bool Conectar(int puerto, const std::string& cadenaCom, int direccion);

    // Last step of the link-error handler: the connection window's
    // work-without-relay command.
    void setTrabajarSinRele(std::function<void()> hook) { trabajarSinRele_ = std::move(hook); }

    // Shorter intervals for tests (milliseconds).
    void setIntervals(int timeoutMs, int retardoMs, int silencioMs);

    // Serial event handler (also callable).
    void MSComm1_OnComm(CommEvent evento);
    // Reply time-out tick of Timer1 and Timer_Comunicacion.
    void Timer1_Timer();
    void ResetTiempo() { ticksSinRespuesta_ = 0; }

    int Ticks_Sin_Respuesta() const { return ticksSinRespuesta_; }
    bool timer1Activo() const { return timer1_.isActive(); }
    bool timerComunicacionActivo() const { return timerComunicacion_.isActive(); }
    // Waiting for a quiet line after a time-out before the next frame.
    bool esperandoSilencio() const { return esperandoSilencio_; }

private:
    void TmrRetardoCom_Timer();
    void silencioTick();
    void onComunicacionFinalizada(bool opOK);
    void onFinalizado(bool& respuesta);
    void onErrorCommActivado();
    // Counts one failure of the running request; true when it was given up.
    bool contarFalloActual();
    void drenarEntrada();

    KOVA200& engine_;
    Proceso_Comunicacion& sched_;
    LinkState& state_;
    ISerialPort& port_;
    INotifier* notifier_;
    std::function<void()> trabajarSinRele_;

    QTimer tmrRetardoCom_;
    QTimer timer1_;
    QTimer timerComunicacion_;
    QTimer silencio_;

    int ticksSinRespuesta_ = 0;
    bool esperandoSilencio_ = false;
    bool enErrorComm_ = false;
    std::array<std::array<int, Proceso_Comunicacion::kSlots>, Proceso_Comunicacion::kColas> fallos_{};
};

} // namespace kova
