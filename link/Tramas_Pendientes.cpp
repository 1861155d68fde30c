#include "link/Tramas_Pendientes.h"

#include "link/RespuestaEsperada.h"

#include <algorithm>

namespace kova {

void Tramas_Pendientes::vencer(Reloj::time_point ahora)
{
    while (!tramas_.empty() && ahora - tramas_.front().hora >= kEspera)
        tramas_.pop_front();
}

void Tramas_Pendientes::enviada(const std::vector<std::uint8_t>& trama, Reloj::time_point ahora)
{
    vencer(ahora);
    if (tramas_.size() >= kMaximo)
        tramas_.pop_front();
    tramas_.push_back({trama, ahora});
}

Tramas_Pendientes::Atribucion Tramas_Pendientes::atribuir(const std::vector<std::uint8_t>& respuesta,
                                                          const std::vector<std::uint8_t>& actual,
                                                          Reloj::time_point ahora)
{
    vencer(ahora);
    const auto e = primeraQueResponde(respuesta);
    if (e == tramas_.end())
        return Atribucion::Ninguna;
    // An earlier send of the request waiting answers for the same registers.
    const bool propia = !actual.empty() && e->trama == actual;
    tramas_.erase(tramas_.begin(), e + 1);
    return propia ? Atribucion::Actual : Atribucion::Tardia;
}

std::vector<std::uint8_t> Tramas_Pendientes::descartada(const std::vector<std::uint8_t>& bytes,
                                                        Reloj::time_point ahora)
{
    vencer(ahora);
    std::vector<std::uint8_t> rechazada;
    // An exception reply also answers its frame: the relay has moved on.
    auto e = primeraQueResponde(bytes);
    if (e == tramas_.end()) {
        const auto esRechazo = [&](const Enviada& t) { return excepcionDe(bytes, t.trama); };
        e = std::find_if(tramas_.begin(), tramas_.end(), esRechazo);
        if (e != tramas_.end() && std::count_if(tramas_.begin(), tramas_.end(), esRechazo) == 1)
            rechazada = e->trama;
    }
    if (e != tramas_.end())
        tramas_.erase(tramas_.begin(), e + 1);
    return rechazada;
}

std::deque<Tramas_Pendientes::Enviada>::iterator
Tramas_Pendientes::primeraQueResponde(const std::vector<std::uint8_t>& respuesta)
{
    return std::find_if(tramas_.begin(), tramas_.end(),
                        [&](const Enviada& t) { return respondeA(respuesta, t.trama); });
}

} // namespace kova
