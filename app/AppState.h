#pragma once
// Settings and flags shared by the main window, start-up and the windows
// opened from the main window. One instance lives for the whole run.

#include "link/LinkState.h"

#include <QString>
#include <cstdint>

namespace kova {

// Window caption and the title of the exit question.
inline const QString kMainCaption = QStringLiteral("KOVA Ver 2.1.4 For KOVA Relays V1.xx");
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 4;
// "2.1.4"
QString programVersionText();

struct AppState {
    QString Ruta_App;               // program folder
    LinkState link;                 // Comunicando, Detener_Comunicacion, ...
    bool Modo_Modem = false;
    bool Modo_Linea_Comandos = false;
    bool Habilita_Reset = false;
    bool Imprimiendo = false;
    bool Cerrar_Pagina = false;
    // Print commands: the print time of the running command and the event
    // pages' count and page number.
    QString Hora_Impresion;
    std::int32_t Contador_Eventos = 0;
    std::int32_t Pagina_Eventos = 0;
    // A calling program waits on the handshake file: command-line mode, and
    // also a refused command line (the caller still waits for 1 and 2).
    bool Handshake_Activo = false;
    std::int32_t Velocidad = 0;
    std::int16_t Puerto_Com = 0;
    std::uint8_t Direccion_Rele = 0;
    // Telephone number typed in the connection window (20 characters).
    QString Telefono = QString(20, QLatin1Char(' '));
    // A setpoint file is being sent to a relay: the link loop hands its
    // replies and time-outs to the send.
    bool Grabando_Setpoints = false;

    // Ruta_App + "/Default.KOVA2"
    QString defaultSetpointFile() const;
};

} // namespace kova
