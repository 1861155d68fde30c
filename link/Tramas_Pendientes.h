#pragma once
// Frames sent to the relay whose reply has not been seen yet, oldest first.
//
// A relay slower than the reply time-out answers a request after the next
// one has been sent. Its late reply can have the size and shape of the
// reply now awaited (the setpoint blocks 1 and 2 are both 24 registers,
// blocks 3 to 5 all 25), so shape alone cannot tell them apart. A relay
// answers one frame at a time, in the order sent, so a reply is taken for
// the answer to the oldest pending frame it fits; the frames sent before
// that one will not be answered any more. A reply that fits an earlier
// frame of another request is that request's late reply, never the answer
// to the request waiting. A frame whose reply has not come after kEspera is
// no longer expected to answer.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace kova {

class Tramas_Pendientes {
public:
    using Reloj = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kEspera{10};
    static constexpr std::size_t kMaximo = 32;

    enum class Atribucion {
        Actual,  // the reply answers the request waiting
        Tardia,  // the late reply of another request sent before
        Ninguna, // the reply of no frame sent (garbage, wrong size, exception)
    };

    // A frame has left for the relay.
    void enviada(const std::vector<std::uint8_t>& trama, Reloj::time_point ahora);
    // Which frame `respuesta` answers while the frame `actual` waits (empty:
    // the request waiting sent nothing). That frame and the ones before it
    // are no longer pending; a reply that fits no frame changes nothing.
    Atribucion atribuir(const std::vector<std::uint8_t>& respuesta, const std::vector<std::uint8_t>& actual,
                        Reloj::time_point ahora);
    // Bytes dropped unread: when they are exactly the reply, or the exception
    // reply, to a pending frame, that frame and the ones before it are no
    // longer pending. Returns the frame the bytes refused when they are an
    // exception reply that fits no other pending frame (an exception reply
    // names no register: with two such frames pending it could be either's);
    // empty otherwise.
    std::vector<std::uint8_t> descartada(const std::vector<std::uint8_t>& bytes, Reloj::time_point ahora);
    // A new line: nothing sent before can answer any more.
    void olvidar() { tramas_.clear(); }

    std::size_t size() const { return tramas_.size(); }

private:
    struct Enviada {
        std::vector<std::uint8_t> trama;
        Reloj::time_point hora;
    };
    void vencer(Reloj::time_point ahora);
    // The oldest pending frame the reply fits.
    std::deque<Enviada>::iterator primeraQueResponde(const std::vector<std::uint8_t>& respuesta);

    std::deque<Enviada> tramas_;
};

} // namespace kova
