#pragma once
// Programs a modem with an initialisation string, from the connection
// window's frame "Remote Modem Programing": either the built-in string
// (AT&F, then "ATE0 V0 S0=2 &W1 &Y1") or a personal string typed by the user
// and kept in the 100-byte record of the file "AT" in the program's folder
// (beside Default.KOVA2). No dialling.
//
// A run talks to the modem through a port of its own, opened on the chosen
// location and rate for the run and closed at its end; the relay link's port
// is only closed when "OFF" left it open, and the link's timers and queues
// are never touched. The run is refused while the link is online or a
// connect is going on. Modo_Modem, Puerto_Com and Velocidad get their values
// back at every end of a run.
//
// Every wait keeps timers and painting going and holds user input back;
// answer waits end as soon as the awaited answer is in. A termination signal
// ends any wait at once and the run with it: the modem gets no further
// command, and what it got is told (Detalle_En_Curso) on stderr as the
// program ends. All waits are measured on the monotonic clock.

#include "app/AppState.h"
#include "link/ISerialPort.h"

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kova {

// Time limits of a run, in milliseconds.
struct Tiempos_Modem {
    // Each answer of the built-in string.
    int respuestaMs = 2000;
    // The six answers of the personal string: "ATV1E0", "+++", "ATH",
    // "AT&F", "AT&K0N1" and the string itself.
    std::array<int, 6> pasosMs{10000, 2000, 10000, 10000, 5000, 20000};
    // Quiet time before and after "+++".
    int guardaMs = 1000;
    // How often the input is looked at while an answer is awaited.
    int sondeoMs = 10;
};

// The choices of the frame when its "OK" is pressed.
struct Eleccion_Modem {
    bool personal = false;   // "Personal String" chosen
    int ubicacion = -1;      // modem location: list position, COM1 = 0; -1 none
    QString ubicacionTexto;  // its text, e.g. "COM2"
    int velocidad = -1;      // baud rate list position; -1 none
};

class Programacion_Modem {
public:
    static inline const QString kConecte = QStringLiteral("Please Connect the Modem to ");
    static inline const QString kSinRespuesta = QStringLiteral("Modem Not Response");
    static inline const QString kIngrese = QStringLiteral("Enter the New string initialization");
    static inline const QString kProgramado = QStringLiteral("Modem Has Been Programed");
    static inline const QString kNoResponde = QStringLiteral("Modem doesn't response");
    static inline const QString kDesconecte =
        QStringLiteral("Disconnect the relay (OFF) before programming the modem");
    static inline const QString kSeleccione = QStringLiteral("Select the Modem Location");
    static inline const QString kErrorEscritura = QStringLiteral("Error writing file");
    // The personal string's file: in the program's folder, 100-byte records.
    static inline const QString kArchivo = QStringLiteral("AT");
    static constexpr int kLargoRegistro = 100;
    static inline const std::string kPrimero = "AT&F\r";
    static inline const std::string kSegundo = "ATE0 V0 S0=2 &W1 &Y1\r";

    // modem: the run's own port. enlace: the relay link's port, closed when
    // left open. conectando: true while a connect to the relay is going on.
    Programacion_Modem(AppState& state, ISerialPort& modem, ISerialPort& enlace,
                       std::function<bool()> conectando);

    void setTiempos(const Tiempos_Modem& t) { tiempos_ = t; }
    const Tiempos_Modem& tiempos() const { return tiempos_; }

    // The frame's "OK": one whole run with the built-in or the personal string.
    void Modem_Click(const Eleccion_Modem& eleccion);

    // Sends the personal sequence with `texto` as the last command over the
    // open modem port; true (and Modem_Programado) when the modem answered
    // "OK" to it. "ERROR" shows "Modem doesn't response"; neither shows
    // "Modem Not Response", and so does no answer at all to the first
    // command, which ends the run at once. Port errors propagate, also a
    // port that closes itself during a wait (Modem_Click tells them). The
    // program ending (a termination signal) ends it at once: false, no box.
    bool Programar_Modem(const QString& texto);
    // While a sequence of commands is under way: which of them the modem
    // got and which not, e.g. 'The modem on COM2 got "AT&F"; "ATE0 V0 S0=2
    // &W1 &Y1" was not sent.'; empty otherwise.
    std::string Detalle_En_Curso() const;
    // The path of the file "AT".
    QString Archivo_Cadena() const;

    // A quiet time of ms milliseconds: nothing is sent, user input is held
    // back; it ends at once when the program is ending.
    static void Esperar(int ms);

    // Record n of "AT" into Cadena_Modem (all its characters); a missing
    // file or record gives an empty text. Never creates the file.
    void Leer_Cadena_Modem(int n);
    // Cadena_Modem cut or blank-padded to 100 characters as record n of
    // "AT"; the file's other bytes are kept. The file is written whole or
    // left as it was: false after "Error writing file", whose detail line
    // names the file and the system's reason. An "AT" that is there but
    // cannot be read is refused the same way, never taken as empty.
    bool Grabar_Cadena_Modem(int n);

    QString Cadena_Modem;
    bool Modem_Programado = false;

private:
    // Thrown by a wait or a send once the program is ending.
    struct Terminado {};
    // The commands of one sequence, as written (no CR), and how many of
    // them went out; cleared when the sequence ends however it ends.
    class Secuencia;
    std::vector<std::string> plan_;
    std::size_t enviados_ = 0;

    enum class Resultado { Ninguno, Exito, Fallo };
    // First result line of an answer: echoed command lines ("AT...") and
    // empty lines are skipped; "OK" or "0" is success, any other line failure.
    static Resultado resultado(const std::string& respuesta);

    bool abrir();
    void cerrar();
    // "Modem Not Response" with the port and the system's reason in its
    // detail line, and the same on stderr.
    void puertoFallido(const std::string& motivo);
    void cadenaPorDefecto();
    bool cadenaPersonal(const QString& texto);
    // Sends the next command of the sequence (no further one once the
    // program is ending: Terminado).
    void enviar(const std::string& bytes);
    // Collects the input into `respuesta` until listo(respuesta) or ms passed.
    bool esperarRespuesta(int ms, const std::function<bool(const std::string&)>& listo, std::string& respuesta);
    // Sends a command, then awaits "OK" CR LF (or `tambien`) for up to ms.
    std::string paso(const std::string& comando, int ms, const char* tambien = nullptr);

    AppState& st_;
    ISerialPort& modem_;
    ISerialPort& enlace_;
    std::function<bool()> conectando_;
    Tiempos_Modem tiempos_;
};

} // namespace kova
