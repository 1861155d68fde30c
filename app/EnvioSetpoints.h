#pragma once
// File > Send SetPoints To Relay: reads a setpoint file, asks for the relay's
// slave address, opens the port, identifies the relay (60), checks that the
// file's firmware suits it and writes the six setpoint blocks (27, 28, 110,
// 111, 112, 113) one after the other. The chain bypasses the request queues:
// it runs from reply to reply and from the time-out ticks the link loop hands
// it while Grabando_Setpoints is set. A silent second restarts the writes
// from block 1 (the identification, while it has not passed), four times per
// send at most.
//
// Beyond the bare chain it makes sure that:
// - the loop is stopped before the identification is sent, so no reply of an
//   earlier request can be taken for it;
// - every end of a send clears Grabando_Setpoints and stops the time-out, and
//   leaves the program offline with dispatching stopped;
// - the main window takes no command from the moment the send starts until
//   it ends;
// - a reply that fails its check ends the send with the error message;
// - the error message's detail names the blocks the relay confirmed during
//   the whole send, those it refused, those that may have been written
//   (with the exception code the relay answered, if any) and those not
//   sent;
// - an address is taken only when its rounded value is a slave address;
// - a file holding a setting outside what its page's control accepts, or a
//   relay address no master can reach, is refused before anything is sent.

#include "app/AppState.h"
#include "app/Bloques_Escritos.h"
#include "app/LinkLoop.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kova {

class KOVA200;
class Proceso_Comunicacion;

// What the send uses of the rest of the program; any member may be empty.
struct Servicios_Envio {
    // Open dialog and file read; true when a file was read.
    std::function<bool()> abrirSetpoints;
    // Firmware text of the setpoint data just read.
    std::function<std::string()> firmwareRele;
    // The main window's enabled state: off as the send starts, on at each
    // of its ends.
    std::function<void(bool)> habilitarPrincipal;
    // The relay status panel shows every lamp off.
    std::function<void()> desactivarPanel;
};

class EnvioSetpoints : public QObject, public ICadena_Grabacion {
    Q_OBJECT
public:
    // Restarts allowed in one send.
    static constexpr int kMaxReintentos = 4;

    static inline const QString kPregunta = QStringLiteral("Relay Direction: ");
    static inline const QString kTituloPregunta = QStringLiteral("Send To Relay");
    static inline const QString kDireccionInvalida = QStringLiteral("Invalid Relay direction");
    static inline const QString kNoAdmitido = QStringLiteral("Setpoints can not be saved in the relay");
    static inline const QString kErrorEnvio = QStringLiteral("Error sending File to Relay");
    static inline const QString kFueraDeRango =
        QStringLiteral("Setpoints not sent: the file holds settings outside their ranges");
    static inline const QString kFormaInservible = QStringLiteral(
        "Setpoints not sent: a setpoint page's form could not be used, so the file's settings could not be checked");

    EnvioSetpoints(AppState& state, KOVA200& engine, Proceso_Comunicacion& scheduler, LinkLoop& loop,
                   Servicios_Envio services, QObject* parent = nullptr);
    ~EnvioSetpoints() override;

    // The menu command. Returns once the address was taken (the
    // identification follows when the line is free) or the user gave up.
    void Send_Click();

    // ICadena_Grabacion
    bool Grabando_Setpoints() const override { return st_.Grabando_Setpoints; }
    void Paso_Cadena(bool opOK) override;
    void Paso_Reinicio() override;
    void Cancelar_Grabacion() override;
    void Bloque_Rechazado(int bloque, int excepcion) override;

    // While a send runs: what the relay now holds of it, as the error's
    // detail line would say; empty otherwise.
    std::string Detalle_En_Curso() const;

    int Reintentos_Grabacion() const { return reintentos_; }
    bool Version_Aceptada() const { return versionAceptada_; }

    // The slave address an answer names: its numeric value rounded halves
    // to even, when that is 1..247.
    static std::optional<std::uint8_t> Direccion_Valida(const QString& respuesta);
    // The relay takes the file: an accepted identification, not version
    // "1.02", and the file's firmware text not above the relay's (texts
    // without surrounding blanks, compared by character code).
    static bool Version_Admitida(bool firmware, std::string_view versionRele, std::string_view firmwareArchivo);

private:
    enum class Fin { Completo, PuertoCerrado, NoAdmitido, SinRespuesta, RespuestaFallida };

    // Steps 9 and 10, once the stopped loop has left the line free.
    void iniciarCadena();
    // Starts one request of the chain.
    void enviar(int accion);
    void terminar(Fin fin);
    void habilitar(bool enabled);

    AppState& st_;
    KOVA200& engine_;
    Proceso_Comunicacion& sched_;
    LinkLoop& loop_;
    Servicios_Envio svc_;
    int reintentos_ = 0;
    bool versionAceptada_ = false;
    // What became of each of the six blocks in this send.
    Bloques_Escritos escritos_;
    // The loop has stopped and the line is quiet.
    bool lineaLibre_ = false;
    // The address was taken; the chain starts when the line is free.
    bool esperandoLinea_ = false;
};

} // namespace kova
