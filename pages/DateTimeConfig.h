#pragma once
// The clock page "SETPOINTS - Date and Time": shows the relay's own clock,
// read again at every tick of its 1.5 s timer while online, and sets it from
// the date and time the user picked. Plain model over the page host; the
// view (DateTimeConfigView) shows it and runs its timer.
//
// Every way of closing the page stops its timer and enables the main
// window: OK (offline, or with the timer stopped, at once; online at the
// next tick, after one more read), the window frame and Escape (at once).

#include "pages/PageHost.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kova {

class DateTimeConfig {
public:
    static constexpr int kIntervaloTimer1 = 1500;
    static constexpr int kPosicionReloj = 40;
    static constexpr std::int32_t kBloqueReloj = 8;
    static constexpr int kLeerReloj = 91;
    static constexpr int kEscribirReloj = 93;

    static inline const std::string kNoDisponible = "Not Available";
    static inline const std::string kNoDisponibleFecha = "Not Availble";
    static inline const std::string kPregunta = "Are your sure that you want to store Date and Time?";
    static inline const std::string kTitulo = "KOVA Date and Time";
    static inline const std::string kAviso = "Enabled only on Communication Mode";

    // What the page asks of the window around it.
    struct Dialogos {
        // The store question; true for Yes.
        std::function<bool()> confirmarGrabacion;
        // Shows the notice that storing needs a connection (not modal).
        std::function<void()> mostrarAviso;
        // The page was unloaded: the window closes.
        std::function<void()> descargada;
    };
    // Packs the clock buffer the clock write sends (day, month, year, hours,
    // minute, second); false when the values cannot be sent.
    using Empaquetar_Reloj = std::function<bool(int, int, int, int, int, int)>;

    DateTimeConfig(PageHost& host, Empaquetar_Reloj dateTime, Dialogos dialogos);

    // The relay clock text split at its last blank (trailing blanks aside):
    // date, then time, each without trailing blanks ("ABC" gives "" and
    // "ABC").
    static std::pair<std::string, std::string> Separar_Fecha_Hora(std::string_view texto);

    void Form_Load();
    void Form_Activate();
    void Actualiza_Valores_de_Pantalla();
    void Timer1_Timer();
    void Okey_Click();
    // STORE with the pickers' date and time.
    void Store_Click(int dia, int mes, int anio, int hora, int minuto, int segundo);
    // The window frame or Escape.
    void Cerrar();

    const std::string& lblFecha() const { return lblFecha_; }
    const std::string& lblHora() const { return lblHora_; }
    bool Timer1() const { return timer1_; }
    bool Cerrar_Fecha_Hora() const { return cerrarFechaHora_; }
    bool descargada() const { return descargada_; }

private:
    void descargar();

    PageHost& host_;
    Empaquetar_Reloj dateTime_;
    Dialogos dialogos_;
    std::string lblFecha_ = "lblFecha";
    std::string lblHora_ = "lblHora";
    bool timer1_ = false;
    bool cerrarFechaHora_ = false;
    bool descargada_ = false;
};

} // namespace kova
