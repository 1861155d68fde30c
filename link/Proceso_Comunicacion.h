#pragma once
// Request scheduler: four queues of 500 slots and a dispatcher that hands one
// request at a time to its requester (Accion + Ejecuta) without waiting.
// Queue 0 one-shot requests, 1 periodic page reads, 2 spare, 3 the cyclic
// status read (a single slot, taken whatever its state).

#include "link/IRequester.h"
#include "link/LinkState.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kova {

class Proceso_Comunicacion {
public:
    static constexpr int kColas = 4;
    static constexpr int kSlots = 500;
    static constexpr int kCuota = 499;

    // Slot states.
    static constexpr int kEjecutando = 0;
    static constexpr int kTerminada = 1;
    static constexpr int kPendiente = 2;
    static constexpr int kLibre = 3;

    explicit Proceso_Comunicacion(LinkState& estado);

    // The engine whose AumentarErrorComm the time-out tick calls.
    void setEngine(IRequester* engine) { engine_ = engine; }

    // Number of slots of queue 3 (clamped to 0..500); used by Inicializar_Colas.
    void setLargo_Cola_Ciclica(int n);
    int Largo_Cola_Ciclica() const { return largoCiclica_; }

    // Enqueue into the first free or finished slot at or after the head;
    // gives that slot. Nothing is queued (and nothing given) when no slot is
    // found, the queue number is not 0..3, the queue has no slot or there is
    // no requester.
    std::optional<int> Agregar_Solicitud(int cola, IRequester* solicitante, std::int16_t comando);
    // Starts the next request unless one is running.
    void Despachar_Solicitud();
    // Frees every slot; the current slot indices are kept.
    void Inicializar_Colas();
    // Time-out tick: gives up a running request, counts the miss, dispatches.
    void Revisar_Comunicacion();

    int Cola_Actual() const { return colaActual_; }
    int Posicion_Actual() const { return posicionActual_; }
    IRequester* Solicitante_Actual() const { return solicitanteActual_; }
    void setSolicitante_Actual(IRequester* r) { solicitanteActual_ = r; }

    // Whether a request with this code is pending or running on any queue.
    bool Solicitud_En_Espera(std::int16_t comando) const;
    // Whether any request of this queue is pending or running.
    bool Cola_Ocupada(int cola) const;

    // State of the current slot (the request dispatched last).
    int Estado_Actual() const { return estado_[colaActual_][posicionActual_]; }
    void setEstado_Actual(int s) { estado_[colaActual_][posicionActual_] = s; }

    // Read access for tests and diagnostics; indices must be in range.
    int Estado_Solicitud(int q, int s) const { return estado_[q][s]; }
    std::int16_t Comando_Solicitud(int q, int s) const { return comando_[q][s]; }
    IRequester* Solicitante(int q, int s) const { return solicitante_[q][s]; }
    int Siguiente_Cola(int q) const { return siguiente_[q]; }
    int Contador_Cola(int q) const { return contador_[q]; }
    int Capacidad_Cola(int q) const { return capacidad_[q]; }

private:
    bool tomar(int q, int p);

    LinkState& link_;
    IRequester* engine_ = nullptr;

    std::array<std::array<int, kSlots>, kColas> estado_{};
    std::array<std::array<IRequester*, kSlots>, kColas> solicitante_{};
    std::array<std::array<std::int16_t, kSlots>, kColas> comando_{};
    std::array<int, kColas> cuota_{};
    std::array<int, kColas> contador_{};
    std::array<int, kColas> capacidad_{};
    std::array<int, kColas> siguiente_{};

    int largoCiclica_ = 0;
    IRequester* solicitanteActual_ = nullptr;
    int colaActual_ = 0;
    int posicionActual_ = 0;
};

} // namespace kova
