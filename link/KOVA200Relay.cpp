// KOVA200: decoded values, the event log's requests and chain, the relay
// clock write.

#include "link/KOVA200.h"

#include "link/Proceso_Comunicacion.h"
#include "text/NumberText.h"

#include <string>

namespace kova {

namespace {

// The event number at the start of column 0 of row 0, when that text holds
// a comma (a decoded event); 0 otherwise.
std::optional<std::uint32_t> numeroFila0(const RelayData& relay)
{
    const NumOrText v = relay.DatosDeVariables(EventLog::kFirstPosition);
    const auto* s = v.getIf<std::string>();
    if (s == nullptr)
        return std::nullopt;
    const auto comma = s->find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    return static_cast<std::uint32_t>(leadingDigits(std::string_view(*s).substr(0, comma)));
}

} // namespace

bool KOVA200::Devuelve_Datos(std::int32_t Bloque)
{
    return relay_.Devuelve_Datos(Bloque);
}

NumOrText KOVA200::DatosDeVariables(std::int16_t posicion) const
{
    return relay_.DatosDeVariables(posicion);
}

void KOVA200::Maintenance_Data() { relay_.Devuelve_Datos(6); }
void KOVA200::Date_Time_System() { relay_.Devuelve_Datos(8); }
void KOVA200::Fill_Cero(std::int16_t posicion_vector) { relay_.values.Fill_Cero(posicion_vector); }

void KOVA200::Leer_Evento(std::int16_t Evento)
{
    Write_EventToRead(relay_.events.seleccionar(images_, Evento));
}

void KOVA200::Write_EventToRead(std::uint16_t IntEventNumber)
{
    try {
        trama_ = {direccionByte(), 0x10, 0x06, 0x10, 0x00, 0x01, 0x02,
                  static_cast<std::uint8_t>(IntEventNumber >> 8), static_cast<std::uint8_t>(IntEventNumber & 0xFF)};
        agregarCRC();
        Enviar_Trama(11, 8);
    } catch (...) {
        // silent: no reply will come and the time-out handles it
    }
}

void KOVA200::Write_NotEvent(std::int16_t Start_Event) { relay_.events.Write_NotEvent(Start_Event); }

void KOVA200::Ultimo_Evento() { relay_.events.Ultimo_Evento(images_, relay_.datePattern()); }

bool KOVA200::Date_Time(std::int16_t Day, std::int16_t Month, std::int16_t Year, std::int16_t Hours,
                        std::int16_t Minute, std::int16_t Second)
{
    return relay_.clock.Date_Time(Day, Month, Year, Hours, Minute, Second);
}

void KOVA200::Write_Date_Time()
{
    try {
        trama_ = {direccionByte(), 0x10, 0x00, 0x90, 0x00, 0x03, 0x06};
        const auto& b = relay_.clock.buffer();
        trama_.insert(trama_.end(), b.begin(), b.end());
        agregarCRC();
        Enviar_Trama(15, 8);
    } catch (...) {
    }
}

void KOVA200::seguirRespuesta(int accion, bool valida)
{
    if (accion == 30) {
        // On pass and on failure alike: select and read the newest event.
        eventosPorRevisar_ = true;
        if (scheduler_ != nullptr) {
            scheduler_->Agregar_Solicitud(0, this, 31);
            scheduler_->Agregar_Solicitud(0, this, 90);
        }
    } else if (accion == 90) {
        // The record now in the image is decoded whether or not this reply
        // passed; the first numbered row 0 after a request 30 decides
        // whether the other events are read too.
        const std::uint32_t antes = numeroFila0(relay_).value_or(0);
        relay_.Devuelve_Datos(9);
        const auto despues = numeroFila0(relay_);
        if (despues && eventosPorRevisar_) {
            eventosPorRevisar_ = false;
            const bool sigue = *despues != antes || relay_.events.Evento_Incompleto(static_cast<int>(antes));
            if (sigue && scheduler_ != nullptr) {
                const int m = EventLog::eventosPorRevisar(relay_.events.Ultimo_Numero_Evento());
                for (int i = 1; i <= m; ++i) {
                    scheduler_->Agregar_Solicitud(0, this, static_cast<std::int16_t>(31 + i));
                    scheduler_->Agregar_Solicitud(0, this, 90);
                }
            }
        }
    } else if (accion == 93 && valida) {
        // The relay takes the clock over only once the registers were
        // written: a failed write never lets the apply command use stale
        // registers.
        if (scheduler_ != nullptr)
            scheduler_->Agregar_Solicitud(0, this, 92);
    }
}

} // namespace kova
