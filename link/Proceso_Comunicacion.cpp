#include "link/Proceso_Comunicacion.h"

#include <algorithm>

namespace kova {

Proceso_Comunicacion::Proceso_Comunicacion(LinkState& estado) : link_(estado)
{
    Inicializar_Colas();
}

void Proceso_Comunicacion::setLargo_Cola_Ciclica(int n)
{
    largoCiclica_ = std::clamp(n, 0, kSlots);
}

void Proceso_Comunicacion::Inicializar_Colas()
{
    for (int q = 0; q < kColas; ++q) {
        estado_[q].fill(kLibre);
        solicitante_[q].fill(nullptr);
        comando_[q].fill(0);
        cuota_[q] = kCuota;
        contador_[q] = 0;
        siguiente_[q] = 0;
        capacidad_[q] = kSlots - 1;
    }
    // A cyclic queue of length 0 has no slot at all (capacity -1).
    capacidad_[3] = largoCiclica_ - 1;
}

std::optional<int> Proceso_Comunicacion::Agregar_Solicitud(int cola, IRequester* solicitante, std::int16_t comando)
{
    if (cola < 0 || cola >= kColas || solicitante == nullptr)
        return std::nullopt;
    const int cap = capacidad_[cola];
    if (cap < 0)
        return std::nullopt;
    int p = siguiente_[cola];
    for (int tries = 1; tries <= kSlots + 1; ++tries) {
        const int s = estado_[cola][p];
        if (s == kLibre || s == kTerminada) {
            solicitante_[cola][p] = solicitante;
            comando_[cola][p] = comando;
            estado_[cola][p] = kPendiente;
            return p;
        }
        p = (p >= cap) ? 0 : p + 1;
    }
    return std::nullopt;
}

bool Proceso_Comunicacion::Solicitud_En_Espera(std::int16_t comando) const
{
    for (int q = 0; q < kColas; ++q)
        for (int s = 0; s < kSlots; ++s)
            if (comando_[q][s] == comando && (estado_[q][s] == kPendiente || estado_[q][s] == kEjecutando))
                return true;
    return false;
}

bool Proceso_Comunicacion::Cola_Ocupada(int cola) const
{
    return std::any_of(estado_[cola].begin(), estado_[cola].end(),
                       [](int e) { return e == kPendiente || e == kEjecutando; });
}

bool Proceso_Comunicacion::tomar(int q, int p)
{
    IRequester* r = solicitante_[q][p];
    if (r == nullptr)
        return false; // never dispatch a slot nobody asked for
    colaActual_ = q;
    posicionActual_ = p;
    contador_[q] += 1;
    solicitanteActual_ = r;
    r->setAccion(comando_[q][p]);
    estado_[q][p] = kEjecutando;
    r->Ejecuta();
    siguiente_[q] = (siguiente_[q] >= capacidad_[q]) ? 0 : siguiente_[q] + 1;
    return true;
}

void Proceso_Comunicacion::Despachar_Solicitud()
{
    if (estado_[colaActual_][posicionActual_] == kEjecutando)
        return;
    // A second pass is only useful after a quota reset in the first; queue 3
    // is then taken at the latest. Without any requester nothing happens.
    for (int pass = 0; pass < 2; ++pass) {
        for (int q = 0; q < kColas; ++q) {
            if (contador_[q] >= cuota_[q]) {
                contador_[q] = 0;
                continue;
            }
            const int cap = capacidad_[q];
            if (cap < 0)
                continue;
            if (q == 3) {
                if (tomar(3, siguiente_[3]))
                    return;
                continue;
            }
            const int looks = std::max(cap - 1, 1);
            for (int k = 0; k < looks; ++k) {
                const int p = siguiente_[q];
                if (estado_[q][p] == kPendiente && tomar(q, p))
                    return;
                siguiente_[q] = (p >= cap) ? 0 : p + 1;
            }
        }
    }
}

void Proceso_Comunicacion::Revisar_Comunicacion()
{
    if (!link_.Comunicando)
        return;
    if (estado_[colaActual_][posicionActual_] == kEjecutando)
        estado_[colaActual_][posicionActual_] = kTerminada;
    if (engine_ != nullptr)
        engine_->AumentarErrorComm();
    if (!link_.Detener_Comunicacion)
        Despachar_Solicitud();
}

} // namespace kova
