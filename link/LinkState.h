#pragma once
// Link-state flags shared by the main window, the scheduler and the engine.
// Owned by the main window's link loop; the link reads and writes them.

namespace kova {

// Failures in a row (time-outs, failed or refused replies) after which a
// request is given up.
inline constexpr int kFallosParaAbandonar = 5;

struct LinkState {
    bool Comunicando = false;          // online: the relay answered since connect
    bool Detener_Comunicacion = false; // dispatching stopped
    bool Esperando_Respuesta = false;  // connect sent, first passed reply awaited
    bool Puerto_Abierto = false;       // result of the last port-open request
};

} // namespace kova
