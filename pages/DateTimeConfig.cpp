#include "pages/DateTimeConfig.h"

namespace kova {

namespace {

std::string sinBlancosFinales(std::string_view t)
{
    const auto fin = t.find_last_not_of(' ');
    return fin == std::string_view::npos ? std::string() : std::string(t.substr(0, fin + 1));
}

} // namespace

DateTimeConfig::DateTimeConfig(PageHost& host, Empaquetar_Reloj dateTime, Dialogos dialogos)
    : host_(host), dateTime_(std::move(dateTime)), dialogos_(std::move(dialogos))
{
}

std::pair<std::string, std::string> DateTimeConfig::Separar_Fecha_Hora(std::string_view texto)
{
    const auto fin = texto.find_last_not_of(' ');
    texto = fin == std::string_view::npos ? std::string_view() : texto.substr(0, fin + 1);
    const auto p = texto.rfind(' ');
    if (p == std::string_view::npos)
        return {std::string(), sinBlancosFinales(texto)};
    return {sinBlancosFinales(texto.substr(0, p)), sinBlancosFinales(texto.substr(p + 1))};
}

void DateTimeConfig::Form_Load()
{
    if (host_.imprimiendo())
        return;
    timer1_ = true;
    if (host_.online()) {
        host_.enableMainWindow(false);
        host_.queueRequest(0, kLeerReloj);
    } else {
        lblHora_ = kNoDisponible;
        lblFecha_ = kNoDisponibleFecha;
    }
}

void DateTimeConfig::Form_Activate()
{
    if (host_.online())
        Actualiza_Valores_de_Pantalla();
}

void DateTimeConfig::Actualiza_Valores_de_Pantalla()
{
    if (!host_.online()) {
        lblHora_ = kNoDisponible;
        lblFecha_ = kNoDisponible;
        return;
    }
    host_.Devuelve_Datos(kBloqueReloj);
    auto [fecha, hora] = Separar_Fecha_Hora(host_.DatosDeVariables(kPosicionReloj).toText());
    lblFecha_ = std::move(fecha);
    lblHora_ = std::move(hora);
}

void DateTimeConfig::Timer1_Timer()
{
    if (!timer1_ || descargada_)
        return;
    if (host_.online())
        host_.queueRequest(0, kLeerReloj);
    Actualiza_Valores_de_Pantalla();
    if (cerrarFechaHora_) {
        cerrarFechaHora_ = false;
        timer1_ = false;
        host_.enableMainWindow(true);
        descargar();
    }
}

void DateTimeConfig::Okey_Click()
{
    cerrarFechaHora_ = true;
    // Online the next tick reads the clock once more and closes the page;
    // without a running timer no tick would ever come.
    if (!host_.online() || !timer1_)
        Cerrar();
}

void DateTimeConfig::Store_Click(int dia, int mes, int anio, int hora, int minuto, int segundo)
{
    if (!host_.online()) {
        if (dialogos_.mostrarAviso)
            dialogos_.mostrarAviso();
        return;
    }
    if (!dialogos_.confirmarGrabacion || !dialogos_.confirmarGrabacion())
        return;
    // The write of the clock registers only: the relay is told to take them
    // over once they were written (the link follows a passed write with the
    // apply command), never with registers left from before.
    if (dateTime_ && dateTime_(dia, mes, anio, hora, minuto, segundo))
        host_.queueRequest(0, kEscribirReloj);
}

void DateTimeConfig::Cerrar()
{
    cerrarFechaHora_ = false;
    timer1_ = false;
    host_.enableMainWindow(true);
    descargar();
}

void DateTimeConfig::descargar()
{
    if (descargada_)
        return;
    descargada_ = true;
    if (dialogos_.descargada)
        dialogos_.descargada();
}

} // namespace kova
