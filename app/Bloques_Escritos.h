#pragma once
// What a setpoint send or STORE left in the relay, for the detail line of
// its error message (and the line written when the program is ended while
// one runs). Each block of the send or store is in one of four states:
// - confirmed: a passed reply at least once;
// - refused: every write of it got the relay's exception reply, so the
//   relay did not carry it out;
// - no valid answer: a write of it went out and got no reply the program
//   could take (silence, a spoiled reply, or none yet): it may have been
//   written;
// - not sent.
// Blocks are numbered 1 to 6 as the setpoint blocks are everywhere else.

#include <map>
#include <string>
#include <vector>

namespace kova {

class Bloques_Escritos {
public:
    Bloques_Escritos() = default;
    // bloques: the blocks of the send or store, in order.
    explicit Bloques_Escritos(std::vector<int> bloques) : bloques_(std::move(bloques)) {}

    const std::vector<int>& Bloques() const { return bloques_; }
    // A write of block b went out.
    void Enviado(int b) { ++estado_[b].envios; }
    // The relay confirmed a write of block b.
    void Confirmado(int b) { estado_[b].confirmado = true; }
    // The relay answered a write of block b with an exception reply.
    void Rechazado(int b) { ++estado_[b].rechazos; }

    // Plain sentences: the blocks confirmed, refused (not written), with no
    // valid answer (may have been written) and not sent; "Nothing was
    // written to the relay." when no block was or may have been written; and
    // a word on a mix of old and new setpoints when one block may hold new
    // values and another old ones.
    std::string Detalle() const;

private:
    struct Estado {
        int envios = 0;
        int rechazos = 0;
        bool confirmado = false;
    };
    std::vector<int> bloques_;
    std::map<int, Estado> estado_;
};

} // namespace kova
